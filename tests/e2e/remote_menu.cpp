#include "tests/e2e/remote_menu.h"

#include <tlhelp32.h>

#include "tests/e2e/process_harness.h"

namespace {

const DWORD kRemoteThreadTimeoutMs = 10000;

// Base address of a module in another process, by file name (case-insensitive).
BYTE* RemoteModuleBase(DWORD processId, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    BYTE* base = nullptr;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32First(snapshot, &entry); more && !base; more = Module32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szModule, name) == 0)
            base = entry.modBaseAddr;
    }
    CloseHandle(snapshot);
    return base;
}

// The address of module!function in the other process: the same offset from its base as here.
void* RemoteProc(DWORD processId, HMODULE local, const char* moduleName, const char* function) {
    BYTE* remoteBase = RemoteModuleBase(processId, moduleName);
    FARPROC here = GetProcAddress(local, function);
    if (!remoteBase || !here)
        return nullptr;
    return remoteBase + (reinterpret_cast<BYTE*>(here) - reinterpret_cast<BYTE*>(local));
}

// Runs routine(parameter) on a new thread of process and returns its exit code.
bool RunRemoteThread(HANDLE process, void* routine, void* parameter, DWORD& exitCode) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(routine),
                                       parameter, 0, nullptr);
    if (!thread)
        return false;
    bool ended = WaitForSingleObject(thread, kRemoteThreadTimeoutMs) == WAIT_OBJECT_0;
    ended = ended && GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    return ended;
}

// Memory in another process, released at the end of the scope.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* Address() const { return address_; }
    bool Write(const void* data, size_t size) const {
        SIZE_T written = 0;
        return WriteProcessMemory(process_, address_, data, size, &written) && written == size;
    }
    bool Read(void* data, size_t size) const {
        SIZE_T read = 0;
        return ReadProcessMemory(process_, address_, data, size, &read) && read == size;
    }

private:
    HANDLE process_;
    void* address_;
};

} // namespace

bool ReadMenuFromInside(HANDLE process, DWORD processId, HWND window, MenuProbeRequest& request,
                        std::string& error) {
    const char* const probeName = "e2e_menu_probe.dll";
    const std::string probePath = JoinPath(BinDirectory(), probeName);
    HMODULE probe = LoadLibraryA(probePath.c_str()); // here too, for the entry's offset
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!probe) {
        error = "cannot load " + probePath;
        return false;
    }

    bool ok = false;
    DWORD result = 0;
    void* loadLibrary = RemoteProc(processId, kernel, "kernel32.dll", "LoadLibraryA");
    RemoteMemory path(process, probePath.size() + 1);
    RemoteMemory remoteRequest(process, sizeof(request));
    if (!loadLibrary || !path.Address() || !remoteRequest.Address()) {
        error = "cannot prepare the program's memory";
    } else if (!path.Write(probePath.c_str(), probePath.size() + 1) ||
               !RunRemoteThread(process, loadLibrary, path.Address(), result)) {
        error = "cannot load the probe into the program";
    } else {
        void* entry = RemoteProc(processId, probe, probeName, kMenuProbeEntry);
        request.window = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
        if (!entry) {
            error = "the probe is not loaded in the program";
        } else if (!remoteRequest.Write(&request, sizeof(request)) ||
                   !RunRemoteThread(process, entry, remoteRequest.Address(), result) ||
                   !remoteRequest.Read(&request, sizeof(request))) {
            error = "the probe did not run in the program";
        } else {
            ok = true;
        }
    }
    FreeLibrary(probe);
    return ok;
}
