#include "base/code_page.h"

#include <string.h>

#include "base/utf8.h"

namespace {

UINT LegacyCodePage() {
    UINT codePage = CP_ACP;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return codePage == 0 || codePage == CP_UTF8 ? 1252 : codePage;
}

std::wstring Widen(UINT codePage, const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(codePage, 0, wide.data(), size, NULL, 0, NULL, NULL);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, &narrow[0], length, NULL, NULL);
    return narrow;
}

} // namespace

bool CodePageIsUtf8() { return GetACP() == CP_UTF8; }

std::wstring ToWide(const std::string& text) { return Widen(CP_ACP, text); }

bool ToNarrow(const std::wstring& wide, std::string& narrow) {
    narrow.clear();
    if (wide.empty()) {
        return true;
    }
    int size = static_cast<int>(wide.size());
    if (CodePageIsUtf8()) {
        // A lone surrogate has no UTF-8 form; the flag refuses it.
        int length =
            WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, NULL, 0, NULL, NULL);
        if (length > 0) {
            narrow.resize(static_cast<size_t>(length));
            WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, &narrow[0], length, NULL,
                                NULL);
            return true;
        }
        narrow = Narrow(CP_UTF8, wide);
        return false;
    }
    BOOL defaultUsed = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, NULL, 0, NULL, &defaultUsed);
    narrow.resize(static_cast<size_t>(length > 0 ? length : 0));
    if (length > 0) {
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &narrow[0], length, NULL,
                            &defaultUsed);
    }
    return length > 0 && !defaultUsed;
}

size_t CharacterCut(const char* text, size_t length, size_t limit) {
    if (length <= limit) {
        return length;
    }
    if (CodePageIsUtf8()) {
        return Utf8Cut(text, limit);
    }
    // Double-byte code pages: step over whole characters.
    size_t cut = 0;
    for (;;) {
        size_t next = cut + (IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1);
        if (next > limit) {
            return cut;
        }
        cut = next;
    }
}

std::string CutText(const std::string& text, size_t limit) {
    return text.substr(0, CharacterCut(text.data(), text.size(), limit));
}

void CopyCut(char* buffer, size_t size, const char* text) {
    size_t length = CharacterCut(text, strlen(text), size - 1);
    memcpy(buffer, text, length);
    buffer[length] = '\0';
}

std::string ToUtf8(const std::string& text) {
    return CodePageIsUtf8() ? text : Narrow(CP_UTF8, Widen(CP_ACP, text));
}

void MakeListText(std::string& bytes) {
    if (!IsUtf8(bytes) || !CodePageIsUtf8()) {
        bytes = FromListBytes(bytes);
    }
}

std::string FromListBytes(const std::string& bytes) {
    if (IsUtf8(bytes)) {
        return CodePageIsUtf8() ? bytes : Narrow(CP_ACP, Widen(CP_UTF8, bytes));
    }
    return Narrow(CP_ACP, Widen(LegacyCodePage(), bytes));
}
