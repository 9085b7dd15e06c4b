#include "tests/e2e/png_writer.h"

#include <windows.h>

#include <array>
#include <string.h>

namespace {

// CRC-32 of PNG chunks (ISO 3309, reflected polynomial 0xEDB88320, initial and final inversion).
constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table = {};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        c = kCrcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// Adler-32 of the uncompressed data, closing the zlib stream (RFC 1950).
uint32_t Adler32(const std::vector<uint8_t>& data) {
    const uint32_t mod = 65521;
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % mod;
        b = (b + a) % mod;
    }
    return (b << 16) | a;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// Length, type, data, and the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(out.data() + typeStart, out.size() - typeStart));
}

// The zlib stream: header, stored blocks of at most 65535 bytes, Adler-32.
std::vector<uint8_t> StoredZlibStream(const std::vector<uint8_t>& raw) {
    const size_t maxBlock = 65535;
    std::vector<uint8_t> out;
    out.reserve(raw.size() + raw.size() / maxBlock * 5 + 16);
    out.push_back(0x78); // deflate, 32 KiB window
    out.push_back(0x01); // no dictionary, lowest level; 0x7801 is a multiple of 31
    size_t offset = 0;
    do {
        size_t length = raw.size() - offset < maxBlock ? raw.size() - offset : maxBlock;
        bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0); // BFINAL, BTYPE 00; the rest of the byte is padding
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(offset),
                   raw.begin() + static_cast<ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    PutBigEndian32(out, Adler32(raw));
    return out;
}

} // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgb) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> png(signature, signature + 8);

    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header.push_back(8); // bits per sample
    header.push_back(2); // colour type: RGB
    header.push_back(0); // compression: deflate
    header.push_back(0); // filter method 0
    header.push_back(0); // no interlace
    PutChunk(png, "IHDR", header);

    // Every row is preceded by its filter type, 0 (none).
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = rgb + rowBytes * static_cast<size_t>(y);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    PutChunk(png, "IDAT", StoredZlibStream(raw));
    PutChunk(png, "IEND", std::vector<uint8_t>());
    return png;
}

bool WritePngFile(const char* path, int width, int height, const uint8_t* rgb) {
    std::vector<uint8_t> png = EncodePng(width, height, rgb);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    BOOL closed = CloseHandle(file);
    return ok && closed && written == png.size();
}
