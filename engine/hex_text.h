// Digest bytes as lower-case hexadecimal text, shared by the 16-byte digestors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Each byte as two digits ("%02x"), in order, without separators.
inline std::string HexText(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text(count * 2, '0');
    for (size_t i = 0; i < count; ++i) {
        text[2 * i] = digits[bytes[i] >> 4];
        text[2 * i + 1] = digits[bytes[i] & 0x0F];
    }
    return text;
}
