// DllRegisterServer and DllUnregisterServer against a private hive: HKEY_CURRENT_USER of this process
// pointed at HKCU\Software\DigestorTest\Hive, so the DLL writes what regsvr32 would, and the whole
// hive is read back.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/registration_keys.h"
#include "shell/shell_ids.h"
#include "drive/explorer_host.h"

namespace {

const wchar_t TestKey[] = L"Software\\DigestorTest";

typedef HRESULT(STDAPICALLTYPE* ServerFunction)();

// One export of the DLL called with HKEY_CURRENT_USER standing for hive.
HRESULT CallWithHive(const char* name, HKEY hive) {
    ServerFunction function =
        reinterpret_cast<ServerFunction>(reinterpret_cast<void*>(GetProcAddress(ExtensionModule(), name)));
    if (!function || RegOverridePredefKey(HKEY_CURRENT_USER, hive) != ERROR_SUCCESS) {
        return E_UNEXPECTED;
    }
    HRESULT result = function();
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    return result;
}

struct Tree {
    std::set<std::wstring> keys;
    std::set<std::wstring> values; // key|name|value, every one a string
};

void Read(HKEY parent, const std::wstring& path, Tree& tree) {
    HKEY key = NULL;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    wchar_t name[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = ARRAYSIZE(name), type = 0;
        BYTE data[4096] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        if (RegEnumValueW(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS) {
            break;
        }
        std::wstring value = type == REG_SZ ? reinterpret_cast<wchar_t*>(data) : L"(not a string)";
        tree.values.insert(path + L"|" + name + L"|" + value);
    }
    std::set<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) {
            break;
        }
        children.insert(path.empty() ? name : path + L"\\" + name);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children) {
        tree.keys.insert(child);
        Read(parent, child, tree);
    }
}

void Replace(std::wstring& text, const std::wstring& word, const std::wstring& by) {
    size_t at = text.find(word);
    if (at != std::wstring::npos) {
        text.replace(at, word.size(), by);
    }
}

// A value and the keys above it.
void Add(Tree& tree, const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    tree.values.insert(key + L"|" + name + L"|" + value);
    for (size_t at = key.find(L'\\'); at != std::wstring::npos; at = key.find(L'\\', at + 1)) {
        tree.keys.insert(key.substr(0, at));
    }
    tree.keys.insert(key);
}

// What was there before: a class of .md5 and another program's list of programs for it.
void AddOthers(Tree& tree) {
    Add(tree, L"Software\\Classes\\.md5", L"", L"md5file");
    Add(tree, L"Software\\Classes\\.md5\\OpenWithProgids", L"Other.List", L"");
}

} // namespace

TEST(Registration, WritesExactlyTheTableAndTakesExactlyItAway) {
    RegDeleteTreeW(HKEY_CURRENT_USER, TestKey);
    HKEY hive = NULL;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(TestKey) + L"\\Hive").c_str(), 0, NULL, 0,
                              KEY_ALL_ACCESS, NULL, &hive, NULL),
              ERROR_SUCCESS);
    Tree others;
    AddOthers(others);
    ASSERT_EQ(RegSetKeyValueW(hive, L"Software\\Classes\\.md5", NULL, REG_SZ, L"md5file", sizeof L"md5file"),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(hive, L"Software\\Classes\\.md5\\OpenWithProgids", L"Other.List", REG_SZ, L"",
                              sizeof L""),
              ERROR_SUCCESS);

    wchar_t dll[MAX_PATH * 2];
    GetModuleFileNameW(ExtensionModule(), dll, ARRAYSIZE(dll));
    const std::wstring exe = ProgramFolder() + L"\\Digestor.exe";
    Tree expected = others;
    for (const RegistryEntry& entry : RegistryTable) {
        std::wstring texts[3] = {entry.key, entry.name, entry.value};
        for (std::wstring& text : texts) {
            Replace(text, L"{page}", DIGESTS_PAGE_CLSID_TEXT);
            Replace(text, L"{menu}", DIGESTOR_MENU_CLSID_TEXT);
            Replace(text, L"[DLL]", dll);
            Replace(text, L"[EXE]", exe);
        }
        Add(expected, (entry.root == InClasses ? L"Software\\Classes\\" : L"") + texts[0], texts[1],
            texts[2]);
    }
    // A few of them written out, so that a wrong line in the table shows.
    const std::wstring classes = L"Software\\Classes\\";
    for (const std::wstring& value : {
             classes + L"CLSID\\" DIGESTOR_MENU_CLSID_TEXT L"\\InprocServer32||" + dll,
             classes + L"CLSID\\" DIGESTS_PAGE_CLSID_TEXT L"\\InprocServer32|ThreadingModel|Apartment",
             classes + L"*\\shellex\\ContextMenuHandlers\\Digestor||" DIGESTOR_MENU_CLSID_TEXT,
             classes + L"Drive\\shellex\\ContextMenuHandlers\\Digestor||" DIGESTOR_MENU_CLSID_TEXT,
             classes + L"*\\shellex\\PropertySheetHandlers\\DigestorDigests||" DIGESTS_PAGE_CLSID_TEXT,
             classes + L".sfv\\OpenWithProgids|Digestor.ChecksumList|",
             classes + L"Digestor.ChecksumList\\shell\\open\\command||\"" + exe + L"\" /check \"%1\"",
             std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved|") +
                 DIGESTOR_MENU_CLSID_TEXT + L"|Digestor menu",
         }) {
        EXPECT_EQ(expected.values.count(value), 1u)
            << "not in the table: " << std::string(value.begin(), value.end());
    }

    ASSERT_EQ(CallWithHive("DllRegisterServer", hive), S_OK);
    Tree registered;
    Read(hive, L"", registered);
    EXPECT_EQ(registered.values, expected.values);
    EXPECT_EQ(registered.keys, expected.keys);

    // Registering again changes nothing; unregistering leaves the others' values and what lies above
    // Software\Microsoft\Windows\CurrentVersion, and nothing of the table.
    ASSERT_EQ(CallWithHive("DllRegisterServer", hive), S_OK);
    ASSERT_EQ(CallWithHive("DllUnregisterServer", hive), S_OK);
    Tree left;
    Read(hive, L"", left);
    Tree kept = others;
    Add(kept, L"Software\\Microsoft\\Windows\\CurrentVersion", L"", L"");
    kept.values.erase(L"Software\\Microsoft\\Windows\\CurrentVersion||");
    EXPECT_EQ(left.values, kept.values);
    EXPECT_EQ(left.keys, kept.keys);
    // Unregistering what is not there is no failure.
    EXPECT_EQ(CallWithHive("DllUnregisterServer", hive), S_OK);

    RegCloseKey(hive);
    RegDeleteTreeW(HKEY_CURRENT_USER, TestKey);
}
