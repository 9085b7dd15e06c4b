// The registry values that make Explorer load the extension, written once: RegisterExtension and
// UnregisterExtension walk this table, cmake/registration_keys.cmake reads its lines to make the
// installer's RegistryValue elements, and the tests compare the registry with it.
//
// One entry a line, in the form {Root, L"key", L"name", L"value"}, so a regular expression reads it;
// an empty name is the key's default value, every value is a string (REG_SZ). The words in the texts:
//   {page} {menu}  the text forms of ClsidDigestsPage and ClsidDigestorMenu (shell_ids.h)
//   [DLL]          the full path of DigestorShell64.dll
//   [EXE]          the full path of Digestor.exe, which lies beside it
// A key's parents come before it, so walking the table backwards meets children first.
#pragma once

// Where a key lies: under the hive's Software\Classes, or under the hive itself.
enum RegistryRoot { InClasses, InHive };

struct RegistryEntry {
    RegistryRoot root;
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* value;
};

// clang-format off
const RegistryEntry RegistryTable[] = {
    {InClasses, L"CLSID\\{page}", L"", L"Digestor Digests page"},
    {InClasses, L"CLSID\\{page}\\InprocServer32", L"", L"[DLL]"},
    {InClasses, L"CLSID\\{page}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {InClasses, L"CLSID\\{menu}", L"", L"Digestor menu"},
    {InClasses, L"CLSID\\{menu}\\InprocServer32", L"", L"[DLL]"},
    {InClasses, L"CLSID\\{menu}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {InClasses, L"*\\shellex\\PropertySheetHandlers\\DigestorDigests", L"", L"{page}"},
    {InClasses, L"*\\shellex\\ContextMenuHandlers\\Digestor", L"", L"{menu}"},
    {InClasses, L"Directory\\shellex\\ContextMenuHandlers\\Digestor", L"", L"{menu}"},
    {InClasses, L"Drive\\shellex\\ContextMenuHandlers\\Digestor", L"", L"{menu}"},
    {InHive, L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", L"{page}", L"Digestor Digests page"},
    {InHive, L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", L"{menu}", L"Digestor menu"},
    {InClasses, L"Digestor.ChecksumList", L"", L"Checksum list"},
    {InClasses, L"Digestor.ChecksumList\\shell\\open\\command", L"", L"\"[EXE]\" /check \"%1\""},
    {InClasses, L".md5\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha1\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha256\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha512\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha3-256\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha3-512\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sha3\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".blake3\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".b3\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".xxh3\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".xxh128\\OpenWithProgids", L"Digestor.ChecksumList", L""},
    {InClasses, L".sfv\\OpenWithProgids", L"Digestor.ChecksumList", L""},
};
// clang-format on
