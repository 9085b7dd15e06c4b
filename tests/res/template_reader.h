// Bounded reader for the binary layouts inside resources (dialog and menu
// templates, icon directories). Reading past the end yields zeros and clears
// Ok(), so a truncated or misplaced field fails an assertion instead of the
// test program.
#pragma once

#include <windows.h>

#include <stdint.h>
#include <string>

// A name-or-ordinal field of a template: 0x0000 is none (read as the empty
// name), 0xFFFF is followed by an ordinal, anything else starts a name.
struct NameOrOrdinal {
    uint16_t ordinal = 0; // 0 when the field holds a name
    std::wstring name;

    static NameOrOrdinal Ordinal(uint16_t value) {
        NameOrOrdinal field;
        field.ordinal = value;
        return field;
    }
    static NameOrOrdinal Name(const wchar_t* value) {
        NameOrOrdinal field;
        field.name = value;
        return field;
    }
    bool operator==(const NameOrOrdinal& other) const {
        return ordinal == other.ordinal && name == other.name;
    }
};

inline std::string Describe(const NameOrOrdinal& field) {
    if (field.ordinal != 0)
        return "#" + std::to_string(field.ordinal);
    std::string text = "\"";
    for (wchar_t c : field.name)
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return text + "\"";
}

class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    DWORD Offset() const { return offset_; }
    DWORD Size() const { return size_; }

    uint8_t Byte() { return static_cast<uint8_t>(Little(1)); }
    uint16_t Word() { return static_cast<uint16_t>(Little(2)); }
    uint32_t Dword() { return Little(4); }
    int16_t Short() { return static_cast<int16_t>(Word()); }

    // A zero-terminated UTF-16 string.
    std::wstring String() {
        std::wstring text;
        for (uint16_t c = Word(); ok_ && c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

    NameOrOrdinal Field() {
        NameOrOrdinal field;
        uint16_t first = Word();
        if (first == 0xFFFF) {
            field.ordinal = Word();
            return field;
        }
        if (first != 0) {
            field.name += static_cast<wchar_t>(first);
            field.name += String();
        }
        return field;
    }

    // Items of dialog templates start on a DWORD boundary of the resource.
    void AlignToDword() { offset_ = (offset_ + 3) & ~3u; }

    void Skip(DWORD count) {
        if (count > size_ - offset_) {
            ok_ = false;
            offset_ = size_;
            return;
        }
        offset_ += count;
    }

private:
    uint32_t Little(DWORD count) {
        if (!ok_ || offset_ > size_ || count > size_ - offset_) {
            ok_ = false;
            return 0;
        }
        uint32_t value = 0;
        for (DWORD i = 0; i < count; ++i)
            value |= static_cast<uint32_t>(data_[offset_ + i]) << (8 * i);
        offset_ += count;
        return value;
    }

    const BYTE* data_;
    DWORD size_;
    DWORD offset_ = 0;
    bool ok_ = true;
};
