// Explorer's side of the extension, for the shell tests, bench_page and explorer_shots: the DLL
// loaded from bin\ and its objects made through its own class factory, and a data object of files as
// Explorer hands one to an extension.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

// The program's folder: the DLL, Digestor.exe and lang\ lie in it.
std::wstring ProgramFolder();

// The DLL beside the program, loaded once for the process.
HMODULE ExtensionModule();

// An object of class clsid asked for riid, through the DLL's DllGetClassObject and CreateInstance.
HRESULT CreateExtensionObject(REFCLSID clsid, REFIID riid, void** object);
// The same through module, a copy of the DLL loaded from another folder.
HRESULT CreateObjectOf(HMODULE module, REFCLSID clsid, REFIID riid, void** object);

// Whether the DLL would unload now (its DllCanUnloadNow).
bool ExtensionCanUnload();

// A data object whose CF_HDROP holds paths, count 1, owned by the caller.
IDataObject* MakeDropData(const std::vector<std::wstring>& paths);

// Removes folder and everything in it (paths past 260 characters too), following no link.
void RemoveTree(const std::wstring& folder);

// A folder to make files in: the program's folder + name, as a Windows path, created empty.
std::wstring FreshFolder(const std::wstring& name);
// Writes bytes into a new file at path; false when it cannot.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
