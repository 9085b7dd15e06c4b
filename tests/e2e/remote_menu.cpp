#include "tests/e2e/remote_menu.h"

#include "tests/e2e/remote_probe.h"

bool ReadMenuFromInside(HANDLE process, DWORD processId, HWND window, MenuProbeRequest& request,
                        std::string& error) {
    request.window = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
    DWORD result = 0;
    return RunProbeInside(process, processId, kMenuProbeEntry, &request, sizeof(request), true, result,
                          error);
}
