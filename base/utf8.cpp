#include "base/utf8.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

bool IsUtf8(const std::string& bytes) {
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || i + length > size) {
            return false;
        }
        const unsigned char second = length > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0x80;
        // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

size_t Utf8Cut(const char* text, size_t limit) {
    size_t cut = limit;
    // The byte at the cut starts the character that no longer fits.
    while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut]))) {
        --cut;
    }
    return cut;
}

size_t Utf8Characters(const std::string& text) {
    size_t characters = 0;
    for (const char byte : text) {
        characters += !IsContinuation(static_cast<unsigned char>(byte));
    }
    return characters;
}
