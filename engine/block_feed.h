// The block buffering and padding the SHA family shares (FIPS 180-4 5.1): the
// bytes gather into blocks of BlockSize, whole blocks go to the compression
// straight from the caller's bytes; the padding is a 1 bit, zeros, and the
// message length in bits, big-endian, in the last LengthSize bytes of a block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/byte_order.h"

// Feeds length bytes into the message whose count bytes so far left count %
// BlockSize of them in buffer; compress(blocks, n) digests n whole blocks.
template <size_t BlockSize, typename Compress>
void FeedBlocks(uint8_t* buffer, uint64_t& count, const uint8_t* bytes, uint32_t length, Compress compress) {
    const size_t index = size_t(count % BlockSize);
    count += length;
    if (index != 0) {
        const size_t part = BlockSize - index;
        if (length < part) {
            std::memcpy(buffer + index, bytes, length);
            return;
        }
        std::memcpy(buffer + index, bytes, part);
        compress(buffer, 1);
        bytes += part;
        length -= uint32_t(part);
    }
    const size_t blocks = length / BlockSize;
    if (blocks != 0)
        compress(bytes, blocks);
    std::memcpy(buffer, bytes + blocks * BlockSize, length % BlockSize);
}

// Pads the message of count bytes, count % BlockSize of them in buffer, and
// compresses the last block or two. A length field of 16 bytes takes the byte
// count's top three bits in its high word.
template <size_t BlockSize, size_t LengthSize, typename Compress>
void PadBlocks(uint8_t* buffer, uint64_t count, Compress compress) {
    static_assert(LengthSize == 8 || LengthSize == 16, "FIPS 180-4 lengths are 64 or 128 bits");
    size_t index = size_t(count % BlockSize);
    buffer[index++] = 0x80;
    if (index > BlockSize - LengthSize) {
        std::memset(buffer + index, 0, BlockSize - index);
        compress(buffer, 1);
        index = 0;
    }
    std::memset(buffer + index, 0, BlockSize - 8 - index);
    if (LengthSize == 16)
        StoreBE64(buffer + BlockSize - 16, count >> 61);
    StoreBE64(buffer + BlockSize - 8, count << 3);
    compress(buffer, 1);
}
