// The keys that make Explorer load the DLL: its two classes, the Digests page on files, the Digestor
// menu on files, folders and drives, and their place among the approved extensions. The keys are
// data, one table (registration_keys.h) that DllRegisterServer, DllUnregisterServer, the installer's
// source and the tests all read.
#pragma once

#include <windows.h>

#include <string>

// Writes every key of the table under classesRoot (HKCU\Software\Classes for a portable copy's
// regsvr32), with dllPath as the server. The approved-extension values go under the matching
// Software\Microsoft\... key of the same hive.
HRESULT RegisterExtension(HKEY hive, const std::wstring& dllPath);

// Removes exactly what RegisterExtension wrote in hive, and keys it made that are left empty.
HRESULT UnregisterExtension(HKEY hive);
