// The class identifiers of the Explorer extension, in the binary form COM takes and the text form
// the registry holds. Each is written once, here.
#pragma once

#include <windows.h>

// The Digests page in a file's Properties (IShellExtInit, IShellPropSheetExt).
// {2E54BD62-B2F5-4F43-A1C1-C3514C3B3099}
const CLSID ClsidDigestsPage = {0x2e54bd62, 0xb2f5, 0x4f43, {0xa1, 0xc1, 0xc3, 0x51, 0x4c, 0x3b, 0x30, 0x99}};
#define DIGESTS_PAGE_CLSID_TEXT L"{2E54BD62-B2F5-4F43-A1C1-C3514C3B3099}"

// The Digestor menu in the context menu of files, folders and drives (IShellExtInit, IContextMenu).
// {8BCB1EED-0CDF-400C-9092-C17D8373D15A}
const CLSID ClsidDigestorMenu = {
    0x8bcb1eed, 0x0cdf, 0x400c, {0x90, 0x92, 0xc1, 0x7d, 0x83, 0x73, 0xd1, 0x5a}};
#define DIGESTOR_MENU_CLSID_TEXT L"{8BCB1EED-0CDF-400C-9092-C17D8373D15A}"
