// Every language module's texts drawn in the font of the program's dialogs: each character comes out
// as a glyph of that font or of a font linked to it, never as the box a font draws for a character it
// lacks. The output names the fonts each language's characters were drawn with.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/language_choice.h"
#include "drive/wide_text.h"
#include "res/resource.h"
#include "tests/lang/module_strings.h"

namespace {

INT_PTR CALLBACK Untouched(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The font the dialog manager makes from the program's dialog templates.
LOGFONTW DialogFont() {
    LOGFONTW font = {};
    HWND dialog =
        CreateDialogParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_QUICKSUM), NULL, Untouched, 0);
    if (dialog) {
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
        DestroyWindow(dialog);
    }
    return font;
}

const wchar_t FontKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\";

// The face a face name stands for; the name itself when it stands for none.
std::wstring Substitute(const std::wstring& face) {
    wchar_t substitute[LF_FACESIZE] = L"";
    DWORD size = sizeof substitute;
    return RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(FontKey) + L"FontSubstitutes").c_str(),
                        face.c_str(), RRF_RT_REG_SZ, NULL, substitute, &size) == ERROR_SUCCESS
               ? substitute
               : face;
}

// The faces the system draws a face's missing characters with, in the order it tries them: those
// linked to the face, or to the face it stands for.
std::vector<std::wstring> LinkedFaces(const std::wstring& face) {
    wchar_t list[4096] = L"";
    DWORD size = sizeof list;
    std::vector<std::wstring> faces;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(FontKey) + L"FontLink\\SystemLink").c_str(),
                     Substitute(face).c_str(), RRF_RT_REG_MULTI_SZ, NULL, list, &size) != ERROR_SUCCESS) {
        return faces;
    }
    for (const wchar_t* entry = list; *entry; entry += wcslen(entry) + 1) { // "file,face[,scaling]"
        const std::wstring text = entry;
        const size_t comma = text.find(L',');
        if (comma != std::wstring::npos) {
            faces.push_back(text.substr(comma + 1, text.find(L',', comma + 1) - comma - 1));
        }
    }
    return faces;
}

// The ink of a drawing, cut to its bounding box (a linked font's glyph sits on the base font's
// baseline, not on its own); empty when nothing was drawn.
std::vector<DWORD> Ink(const std::vector<DWORD>& pixels, int width) {
    const int height = static_cast<int>(pixels.size()) / width;
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF) {
                left = (std::min)(left, x);
                right = (std::max)(right, x);
                top = (std::min)(top, y);
                bottom = (std::max)(bottom, y);
            }
        }
    }
    std::vector<DWORD> ink;
    if (right < 0) {
        return ink;
    }
    ink.push_back(static_cast<DWORD>(right - left));
    for (int y = top; y <= bottom; ++y) {
        ink.insert(ink.end(), pixels.begin() + y * width + left, pixels.begin() + y * width + right + 1);
    }
    return ink;
}

// Characters drawn one at a time, black on white, into a bitmap of their own.
class Canvas {
public:
    Canvas() : dc_(CreateCompatibleDC(NULL)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), NULL, 0);
        SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    // The character's ink, drawn black on white.
    std::vector<DWORD> Draw(HFONT font, wchar_t character) {
        HGDIOBJ previous = SelectObject(dc_, font);
        RECT all = {0, 0, Width, Height};
        SetBkColor(dc_, RGB(255, 255, 255));
        SetTextColor(dc_, RGB(0, 0, 0));
        ExtTextOutW(dc_, Height / 2, Height / 4, ETO_OPAQUE, &all, &character, 1, NULL);
        GdiFlush();
        SelectObject(dc_, previous);
        return Ink(std::vector<DWORD>(pixels_, pixels_ + Width * Height), Width);
    }
    bool Has(HFONT font, wchar_t character) {
        HGDIOBJ previous = SelectObject(dc_, font);
        WORD glyph = 0;
        const bool has =
            GetGlyphIndicesW(dc_, &character, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
        SelectObject(dc_, previous);
        return has;
    }
    std::wstring Face(HFONT font) {
        HGDIOBJ previous = SelectObject(dc_, font);
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc_, LF_FACESIZE, face);
        SelectObject(dc_, previous);
        return face;
    }

private:
    static const int Width = 64;
    static const int Height = 48;
    HDC dc_;
    HBITMAP bitmap_ = NULL;
    DWORD* pixels_ = NULL;
};

// Characters that draw nothing by nature: spaces, controls and the marks of direction and joining.
bool Invisible(wchar_t character) {
    WORD type = 0;
    GetStringTypeW(CT_CTYPE1, &character, 1, &type);
    return (type & (C1_SPACE | C1_CNTRL)) || (character >= 0x200B && character <= 0x200F) ||
           (character >= 0x202A && character <= 0x202E) || (character >= 0x2060 && character <= 0x206F) ||
           character == 0xFEFF || character == 0x00AD;
}

std::string Hex(wchar_t character) {
    char text[8];
    wsprintfA(text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

// The family a font draws with (GetTextFace gives back a substitute's requested name).
std::string Family(HDC dc, HFONT font) {
    HGDIOBJ previous = SelectObject(dc, font);
    std::string family;
    const UINT size = GetOutlineTextMetricsW(dc, 0, NULL);
    if (size > 0) {
        std::vector<char> metrics(size);
        OUTLINETEXTMETRICW* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
        if (GetOutlineTextMetricsW(dc, size, outline)) {
            family = Utf8(reinterpret_cast<const wchar_t*>(
                metrics.data() + reinterpret_cast<UINT_PTR>(outline->otmpFamilyName)));
        }
    }
    SelectObject(dc, previous);
    return family;
}

// Every character of every module drawn in font: each one is a glyph of the font or of the first
// linked font that has it, drawn as that font draws it, and never the missing-glyph box.
void ExpectEveryScriptDrawn(LOGFONTW requested, const char* use) {
    // Without smoothing, so that a linked glyph and the same glyph drawn alone come out alike.
    requested.lfQuality = NONANTIALIASED_QUALITY;
    Canvas canvas;
    HFONT font = CreateFontIndirectW(&requested);
    const std::wstring face = canvas.Face(font);
    // The fonts in the order they are tried; a linked face the system does not have is passed over.
    HDC screen = GetDC(NULL);
    std::vector<HFONT> fonts = {font};
    std::vector<std::string> families = {Family(screen, font)};
    for (const std::wstring& linked : LinkedFaces(face)) {
        LOGFONTW single = requested;
        lstrcpynW(single.lfFaceName, linked.c_str(), LF_FACESIZE);
        HFONT candidate = CreateFontIndirectW(&single);
        const std::string family = Family(screen, candidate);
        if (family == Utf8(linked) || family == Utf8(Substitute(linked))) {
            fonts.push_back(candidate);
            families.push_back(family);
        } else {
            DeleteObject(candidate);
        }
    }
    ReleaseDC(NULL, screen);
    const std::vector<DWORD> box = canvas.Draw(font, 0x0378); // unassigned: no font has it
    std::cout << use << ": " << Utf8(requested.lfFaceName) << " is " << families[0] << " with "
              << fonts.size() - 1 << " linked fonts:";
    for (size_t k = 1; k < families.size(); ++k) {
        std::cout << (k > 1 ? ", " : " ") << families[k];
    }
    std::cout << "\n";
    for (int m = 0; m < LanguageModuleCount; ++m) {
        const uint16_t id = LanguageModules[m];
        LanguageModuleFile module(id);
        ASSERT_TRUE(module.handle) << "lang\\" << id << ".dll is missing";
        std::set<wchar_t> characters;
        for (UINT string : StringIds(module.handle)) {
            const std::wstring text = Text(module.handle, string);
            characters.insert(text.begin(), text.end());
        }
        std::map<std::string, int> drawnWith;
        std::string missing;
        for (wchar_t character : characters) {
            if (Invisible(character)) {
                continue;
            }
            const std::vector<DWORD> drawn = canvas.Draw(font, character);
            size_t holder = 0;
            while (holder < fonts.size() && !canvas.Has(fonts[holder], character)) {
                ++holder;
            }
            if (drawn == box || drawn.empty() || holder == fonts.size()) {
                missing += " " + Hex(character) + " " + Utf8(std::wstring(1, character));
                continue;
            }
            EXPECT_TRUE(drawn == canvas.Draw(fonts[holder], character))
                << use << ", " << id << ": " << Hex(character) << " is not drawn with " << families[holder];
            ++drawnWith[families[holder]];
        }
        EXPECT_TRUE(missing.empty()) << use << ", " << id << ": drawn as boxes in " << families[0]
                                     << " and the fonts linked to it:" << missing;
        std::cout << "  " << id << ":";
        for (const auto& used : drawnWith) {
            std::cout << " " << used.first << " (" << used.second << ")";
        }
        std::cout << "\n";
    }
    for (HFONT each : fonts) {
        DeleteObject(each);
    }
}

TEST(ScriptFonts, EveryLanguageDrawsItsOwnLetters) {
    const LOGFONTW dialogFont = DialogFont();
    ASSERT_NE(dialogFont.lfFaceName[0], 0) << "no dialog font";
    ExpectEveryScriptDrawn(dialogFont, "the program's dialogs");
    // The Digests tab and the about box ask for the system's dialog face at the same size.
    LOGFONTW shellFont = dialogFont;
    lstrcpynW(shellFont.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    ExpectEveryScriptDrawn(shellFont, "the Digests tab");
}

} // namespace
