// The keys that make Explorer load the DLL: its two classes, the Digests page on files, the Digestor
// menu on files, folders and drives, their place among the approved extensions, and Digestor.exe
// under "Open with" of checksum lists. The keys are data, one table (registration_keys.h) that
// DllRegisterServer, DllUnregisterServer, the installer's source and the tests all read.
#pragma once

#include <windows.h>

#include <string>

// Writes every value of the table under hive (HKEY_CURRENT_USER for a portable copy's regsvr32), with
// dllPath as the server and the Digestor.exe beside it as the program: the classes under the hive's
// Software\Classes, the approved-extension values under its Software\Microsoft\... key.
HRESULT RegisterExtension(HKEY hive, const std::wstring& dllPath);

// Removes exactly the table's values from hive, then each of their keys left empty and its parents
// left empty, up to Software\Classes or Software\Microsoft\Windows\CurrentVersion: a key that holds
// anything else (.md5 with its own default value, another program's OpenWithProgids) stays.
HRESULT UnregisterExtension(HKEY hive);
