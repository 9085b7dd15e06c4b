// Explorer's side of the extension, for the shell tests, bench_page and explorer_shots: the DLL
// loaded from bin\ and its objects made through its own class factory, and a data object of files as
// Explorer hands one to an extension.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <functional>
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

// The Digests page of paths, made as Explorer makes it (Initialize with a data object, then AddPages),
// in a modeless property sheet titled caption, after the pages in front (Explorer's General page,
// say), and shown. Null when the extension gave no page; the pages in front are then destroyed. The
// caller destroys the sheet.
HWND OpenDigestsSheet(const std::vector<std::wstring>& paths, const wchar_t* caption,
                      std::vector<HPROPSHEETPAGE> front = std::vector<HPROPSHEETPAGE>());
// A control of the sheet's current page.
HWND PageControl(HWND sheet, int id);
// A report list's cell, through LVM_GETITEMTEXTW as a screen reader reads it.
std::wstring ListCell(HWND list, int row, int column);

// Handles the calling thread's messages until done() holds (true) or limitMs have passed (false).
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);
