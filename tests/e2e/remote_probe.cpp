#include "tests/e2e/remote_probe.h"

#include <tlhelp32.h>

namespace {

const char* const kProbeName = "e2e_menu_probe.dll";
const DWORD kRemoteThreadTimeoutMs = 10000;

// The probe beside the running program.
std::string ProbePath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t separator = folder.find_last_of("\\/");
    folder = separator == std::string::npos ? std::string(".") : folder.substr(0, separator);
    return folder + "\\" + kProbeName;
}

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

bool RunProbeInside(HANDLE process, DWORD processId, const char* entry, void* request, size_t size,
                    bool readBack, DWORD& result, std::string& error) {
    const std::string probePath = ProbePath();
    HMODULE probe = LoadLibraryA(probePath.c_str()); // here too, for the entry's offset
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!probe) {
        error = "cannot load " + probePath;
        return false;
    }

    bool ok = false;
    DWORD loaded = 0;
    void* loadLibrary = RemoteProc(processId, kernel, "kernel32.dll", "LoadLibraryA");
    RemoteMemory path(process, probePath.size() + 1);
    RemoteMemory remoteRequest(process, size);
    if (!loadLibrary || !path.Address() || !remoteRequest.Address()) {
        error = "cannot prepare the program's memory";
    } else if (!path.Write(probePath.c_str(), probePath.size() + 1) ||
               !RunRemoteThread(process, loadLibrary, path.Address(), loaded)) {
        error = "cannot load the probe into the program";
    } else {
        void* routine = RemoteProc(processId, probe, kProbeName, entry);
        if (!routine) {
            error = std::string("the probe is not loaded in the program or lacks ") + entry;
        } else if (!remoteRequest.Write(request, size) ||
                   !RunRemoteThread(process, routine, remoteRequest.Address(), result) ||
                   (readBack && !remoteRequest.Read(request, size))) {
            error = "the probe did not run in the program";
        } else {
            ok = true;
        }
    }
    FreeLibrary(probe);
    return ok;
}
