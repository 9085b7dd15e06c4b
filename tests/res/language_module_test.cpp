// The language modules lang\1031.dll and lang\1033.dll, mapped the way the
// program maps them: the 21 strings with their placeholders, menu 2000 with
// the five commands, and no code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/res/module_files.h"
#include "tests/res/template_reader.h"

namespace {

const UINT StringIds[] = {5001, 5002, 5100, 5101, 5102, 5103, 5104, 5200, 5201, 5202, 5203,
                          5300, 5301, 5302, 5303, 5304, 5305, 5400, 5401, 5402, 5403};
const UINT FolderQuestion = 5202; // one %s: the folder path
const UINT OpenFailedLine = 5203; // two %s: algorithm name, then path
const UINT MenuCommands[] = {2010, 2020, 2030, 2040, 2050};

const size_t PathCapacity = 520; // path and list line buffers, terminator included
const size_t LongestOpenablePath = 259;

struct Module {
    const char* file;
    WORD language;
};

const Module German = {"lang\\1031.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)};
const Module English = {"lang\\1033.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};

void PrintTo(const Module& module, std::ostream* out) { *out << module.file; }

// What LoadText sees: at most 1023 characters.
std::string LoadText(HMODULE module, UINT id) {
    char text[1024] = {};
    int length = LoadStringA(module, id, text, sizeof(text));
    return std::string(text, length > 0 ? length : 0);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(
            static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every string ID present, read from the string table blocks themselves: block
// n holds the IDs 16 * (n - 1) to 16 * (n - 1) + 15.
std::set<UINT> StringTableIds(const LoadedModule& module) {
    std::vector<WORD> blocks;
    EnumResourceNamesA(module.Handle(), RT_STRING, CollectName, reinterpret_cast<LONG_PTR>(&blocks));
    std::set<UINT> ids;
    for (WORD block : blocks) {
        ResourceBytes bytes = module.Find(RT_STRING, MAKEINTRESOURCEA(block));
        TemplateReader reader(bytes.data, bytes.size);
        for (UINT i = 0; i < 16; ++i) {
            uint16_t length = reader.Word();
            reader.Skip(length * 2u);
            if (reader.Ok() && length != 0)
                ids.insert((block - 1u) * 16u + i);
        }
        EXPECT_TRUE(reader.Ok()) << "string block " << block << " runs past its resource";
    }
    return ids;
}

// Command IDs of a menu and all its popups; separators carry none.
void CollectCommands(HMENU menu, std::multiset<UINT>& commands, std::vector<std::string>& problems) {
    int count = GetMenuItemCount(menu);
    if (count <= 0)
        problems.push_back("empty menu or popup");
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) {
            problems.push_back("unreadable item");
            continue;
        }
        if (info.hSubMenu != NULL) {
            CollectCommands(info.hSubMenu, commands, problems);
            continue;
        }
        if (info.fType & MFT_SEPARATOR)
            continue;
        commands.insert(info.wID);
        char text[128] = {};
        if (GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION) <= 0)
            problems.push_back("command " + std::to_string(info.wID) + " has no text");
    }
}

std::multiset<UINT> MenuCommandIds(const LoadedModule& module, std::vector<std::string>& problems) {
    std::multiset<UINT> commands;
    HMENU menu = LoadMenuA(module.Handle(), MAKEINTRESOURCEA(2000));
    if (menu == NULL) {
        problems.push_back("no menu 2000");
        return commands;
    }
    CollectCommands(menu, commands, problems);
    DestroyMenu(menu);
    return commands;
}

class LanguageModule : public ::testing::TestWithParam<Module> {
protected:
    void SetUp() override { ASSERT_NE(module_.Handle(), (HMODULE)NULL) << "cannot load " << path_; }

    std::string path_ = FileBesideTest(GetParam().file);
    LoadedModule module_ = LoadedModule::AsLibrary(path_);
};

TEST_P(LanguageModule, EveryStringLoadsAndIsNotEmpty) {
    for (UINT id : StringIds) {
        std::string text = LoadText(module_.Handle(), id);
        EXPECT_FALSE(text.empty()) << "string " << id;
        EXPECT_LT(text.size(), 1023u) << "string " << id << " is cut by LoadText";
    }
}

TEST_P(LanguageModule, OnlyTheTwoFormatsCarryPlaceholders) {
    for (UINT id : StringIds) {
        std::string text = LoadText(module_.Handle(), id);
        size_t expected = id == FolderQuestion ? 1 : id == OpenFailedLine ? 2 : 0;
        EXPECT_EQ(Count(text, "%"), expected) << "string " << id << ": " << text;
        EXPECT_EQ(Count(text, "%s"), expected) << "string " << id << ": " << text;
    }
}

TEST_P(LanguageModule, StringTableHoldsExactlyThe21Ids) {
    EXPECT_EQ(StringTableIds(module_), std::set<UINT>(std::begin(StringIds), std::end(StringIds)));
}

TEST_P(LanguageModule, MenuHoldsTheFiveCommandsOnceEach) {
    std::vector<std::string> problems;
    std::multiset<UINT> commands = MenuCommandIds(module_, problems);
    EXPECT_EQ(commands, std::multiset<UINT>(std::begin(MenuCommands), std::end(MenuCommands)));
    EXPECT_TRUE(problems.empty()) << problems.front();
}

// Formatted texts must fit the buffers they are formatted into.
TEST_P(LanguageModule, FormattedTextsFitTheirBuffers) {
    // Captions are "Digestor: <string>" in 128 bytes.
    for (UINT caption : {5104u, 5401u})
        EXPECT_LE(std::string("Digestor: ").size() + LoadText(module_.Handle(), caption).size(), 127u)
            << "string " << caption;

    // The failure line replaces a list entry, so with the longest algorithm name
    // and the longest path the files can open it must stay a list line.
    std::string path(LongestOpenablePath, 'p');
    std::string format = LoadText(module_.Handle(), OpenFailedLine);
    char line[1024] = {};
    wsprintfA(line, format.c_str(), "CRC32", path.c_str());
    EXPECT_LT(strlen(line), PathCapacity) << line;

    std::string question = LoadText(module_.Handle(), FolderQuestion);
    wsprintfA(line, question.c_str(), path.c_str());
    EXPECT_LT(strlen(line), PathCapacity) << "folder question";
}

TEST_P(LanguageModule, ResourcesAreTaggedWithTheModulesLanguage) {
    EXPECT_NE(FindResourceExA(module_.Handle(), RT_MENU, MAKEINTRESOURCEA(2000), GetParam().language),
              (HRSRC)NULL);
    EXPECT_NE(
        FindResourceExA(module_.Handle(), RT_STRING, MAKEINTRESOURCEA(5001 / 16 + 1), GetParam().language),
        (HRSRC)NULL);
}

// Loading the module must run nothing and pull in no other library.
TEST_P(LanguageModule, HasNoEntryPointAndNoImports) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module_.Handle());
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const IMAGE_NT_HEADERS64* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    ASSERT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_NE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u);

    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress != 0 && imports.Size != 0) {
        const IMAGE_IMPORT_DESCRIPTOR* first =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        EXPECT_EQ(first->Name, 0u) << "imports a library";
    }
}

INSTANTIATE_TEST_SUITE_P(GermanAndEnglish, LanguageModule, ::testing::Values(German, English),
                         [](const ::testing::TestParamInfo<Module>& info) {
                             return std::string(info.param.language == German.language ? "German"
                                                                                       : "English");
                         });

// Both modules offer the same strings and the same commands, so the program
// behaves alike whichever one the system language picks.
TEST(LanguageModules, GermanAndEnglishHoldTheSameIds) {
    LoadedModule german = LoadedModule::AsLibrary(FileBesideTest(German.file));
    LoadedModule english = LoadedModule::AsLibrary(FileBesideTest(English.file));
    ASSERT_NE(german.Handle(), (HMODULE)NULL);
    ASSERT_NE(english.Handle(), (HMODULE)NULL);

    EXPECT_EQ(StringTableIds(german), StringTableIds(english));
    std::vector<std::string> problems;
    EXPECT_EQ(MenuCommandIds(german, problems), MenuCommandIds(english, problems));
}

// The German wording is written in code page 1252; its umlauts must reach the
// program as the characters they are, e.g. the u-umlaut of "Prüfsummen" (5002)
// and the a-umlaut of "läuft" (5102).
TEST(LanguageModules, GermanUmlautsArriveIntact) {
    LoadedModule german = LoadedModule::AsLibrary(FileBesideTest(German.file));
    ASSERT_NE(german.Handle(), (HMODULE)NULL);

    struct Umlaut {
        UINT id;
        wchar_t character;
        unsigned char cp1252;
    };
    for (const Umlaut& umlaut : {Umlaut{5002, 0x00FC, 0xFC}, Umlaut{5102, 0x00E4, 0xE4}}) {
        SCOPED_TRACE("string " + std::to_string(umlaut.id));
        wchar_t wide[1024] = {};
        int length = LoadStringW(german.Handle(), umlaut.id, wide, 1024);
        ASSERT_GT(length, 0);
        EXPECT_NE(std::wstring(wide, length).find(umlaut.character), std::wstring::npos);

        char narrow[1024] = {};
        WideCharToMultiByte(1252, 0, wide, length + 1, narrow, sizeof(narrow), NULL, NULL);
        EXPECT_NE(std::string(narrow).find(static_cast<char>(umlaut.cp1252)), std::string::npos);

        // Through the ANSI call the program uses, where the code page is 1252.
        if (GetACP() == 1252) {
            EXPECT_NE(LoadText(german.Handle(), umlaut.id).find(static_cast<char>(umlaut.cp1252)),
                      std::string::npos);
        }
    }
}

} // namespace
