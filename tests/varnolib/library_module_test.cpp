// The shape of VarnoLib64.dll as loaded by this program through the ordinal import library:
// an export table with ordinals only, and nothing imported but system DLLs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "companion/varnolib.h"

namespace {

const BYTE* LoadedLibrary() {
    // Calling through the import makes sure the DLL is the one this program imported.
    EXPECT_EQ(StartLibrary(-1), 0);
    return reinterpret_cast<const BYTE*>(GetModuleHandleA("VarnoLib64.dll"));
}

const IMAGE_DATA_DIRECTORY& Directory(const BYTE* image, int index) {
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const IMAGE_NT_HEADERS64* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[index];
}

TEST(LibraryModule, ExportsTheSixOrdinalsWithoutNames) {
    const BYTE* image = LoadedLibrary();
    ASSERT_NE(image, nullptr);
    const IMAGE_DATA_DIRECTORY& entry = Directory(image, IMAGE_DIRECTORY_ENTRY_EXPORT);
    ASSERT_NE(entry.VirtualAddress, 0u);
    const IMAGE_EXPORT_DIRECTORY* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + entry.VirtualAddress);
    EXPECT_EQ(exports->NumberOfNames, 0u);

    const DWORD* functions = reinterpret_cast<const DWORD*>(image + exports->AddressOfFunctions);
    std::set<DWORD> ordinals;
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i)
        if (functions[i] != 0)
            ordinals.insert(exports->Base + i);
    EXPECT_EQ(ordinals, (std::set<DWORD>{2, 3, 10, 11, 12, 15}));

    HMODULE module = reinterpret_cast<HMODULE>(const_cast<BYTE*>(image));
    EXPECT_EQ(GetProcAddress(module, "InitLibrary"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "ShowAboutBox"), nullptr);
}

TEST(LibraryModule, ImportsSystemLibrariesOnly) {
    const BYTE* image = LoadedLibrary();
    ASSERT_NE(image, nullptr);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                          "msvcrt.dll",   "advapi32.dll", "ucrtbase.dll"};
    const IMAGE_DATA_DIRECTORY& entry = Directory(image, IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(entry.VirtualAddress, 0u);
    int count = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + entry.VirtualAddress);
         import->Name != 0; ++import, ++count) {
        std::string name = reinterpret_cast<const char*>(image + import->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const bool allowed = system.count(name) != 0 || name.rfind("api-ms-win-", 0) == 0;
        EXPECT_TRUE(allowed) << "imports " << name;
    }
    EXPECT_GT(count, 0);
}

} // namespace
