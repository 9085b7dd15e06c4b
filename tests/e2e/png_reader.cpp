#include "tests/e2e/png_reader.h"

#include <windows.h>

#include <string.h>

namespace {

// Bit by bit, so that it checks the writer's table-driven CRC rather than repeating it.
uint32_t BitwiseCrc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

// Undoes a zlib stream made of stored blocks only.
bool InflateStored(const std::vector<uint8_t>& stream, std::vector<uint8_t>& raw, std::string& error) {
    if (stream.size() < 6)
        return Fail(error, "zlib stream too short");
    if ((stream[0] & 0x0F) != 8 || ((stream[0] << 8) | stream[1]) % 31 != 0 || (stream[1] & 0x20))
        return Fail(error, "bad zlib header");
    size_t pos = 2;
    bool last = false;
    while (!last) {
        if (pos + 5 > stream.size())
            return Fail(error, "deflate block header cut off");
        uint8_t header = stream[pos];
        last = (header & 1) != 0;
        if ((header >> 1) & 3)
            return Fail(error, "deflate block is not stored");
        unsigned length = stream[pos + 1] | (stream[pos + 2] << 8);
        unsigned complement = stream[pos + 3] | (stream[pos + 4] << 8);
        if ((length ^ 0xFFFFu) != complement)
            return Fail(error, "stored block length and its complement disagree");
        pos += 5;
        if (pos + length > stream.size())
            return Fail(error, "stored block cut off");
        raw.insert(raw.end(), stream.begin() + static_cast<ptrdiff_t>(pos),
                   stream.begin() + static_cast<ptrdiff_t>(pos + length));
        pos += length;
    }
    if (pos + 4 != stream.size())
        return Fail(error, "zlib stream does not end with its Adler-32");
    if (BigEndian32(&stream[pos]) != Adler32(raw))
        return Fail(error, "Adler-32 mismatch");
    return true;
}

} // namespace

bool ReadStoredPng(const std::vector<uint8_t>& file, PngPicture& picture, std::string& error) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || memcmp(file.data(), signature, 8) != 0)
        return Fail(error, "no PNG signature");

    bool sawHeader = false, sawEnd = false;
    std::vector<uint8_t> stream;
    size_t pos = 8;
    while (pos < file.size() && !sawEnd) {
        if (pos + 12 > file.size())
            return Fail(error, "chunk cut off");
        uint32_t length = BigEndian32(&file[pos]);
        if (length > file.size() - pos - 12)
            return Fail(error, "chunk longer than the file");
        std::string type(reinterpret_cast<const char*>(&file[pos + 4]), 4);
        const uint8_t* data = &file[pos + 8];
        if (BigEndian32(data + length) != BitwiseCrc32(&file[pos + 4], length + 4))
            return Fail(error, "CRC mismatch in chunk " + type);
        if (type == "IHDR") {
            if (sawHeader || pos != 8 || length != 13)
                return Fail(error, "IHDR not first, repeated or of wrong size");
            picture.width = static_cast<int>(BigEndian32(data));
            picture.height = static_cast<int>(BigEndian32(data + 4));
            if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0)
                return Fail(error, "not 8-bit RGB without interlace");
            sawHeader = true;
        } else if (type == "IDAT") {
            stream.insert(stream.end(), data, data + length);
        } else if (type == "IEND") {
            sawEnd = true;
        }
        pos += 12 + length;
    }
    if (!sawHeader || !sawEnd)
        return Fail(error, "IHDR or IEND missing");
    if (pos != file.size())
        return Fail(error, "bytes after IEND");
    if (picture.width <= 0 || picture.height <= 0)
        return Fail(error, "empty image");

    std::vector<uint8_t> raw;
    if (!InflateStored(stream, raw, error))
        return false;
    const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
    if (raw.size() != (rowBytes + 1) * static_cast<size_t>(picture.height))
        return Fail(error, "image data does not match width and height");
    picture.rgb.clear();
    picture.rgb.reserve(rowBytes * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = &raw[(rowBytes + 1) * static_cast<size_t>(y)];
        if (row[0] != 0)
            return Fail(error, "row filter other than none");
        picture.rgb.insert(picture.rgb.end(), row + 1, row + 1 + rowBytes);
    }
    return true;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<uint8_t> content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
        content.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
            read != content.size())
            content.clear();
    }
    CloseHandle(file);
    return content;
}
