#include "tests/e2e/run_checks.h"

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/remote_menu.h"

std::string ResultLine(const std::string& digest, const std::string& algorithm, const std::string& path) {
    return digest + " <- " + algorithm + " -> " + path;
}

std::vector<std::string> ListEntries(HWND mainWindow) {
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    std::vector<std::string> entries;
    LRESULT count = SendPlainMessage(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        entries.push_back(ListItemText(list, static_cast<int>(i)));
    return entries;
}

HWND FindProgressDialog(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        HWND bar = GetDlgItem(window, IDC_TOTAL_PROGRESS);
        HWND cancel = GetDlgItem(window, IDC_CANCEL);
        if (ClassNameOf(window) == "#32770" && bar && cancel && ClassNameOf(bar) == "msctls_progress32")
            return window;
    }
    return nullptr;
}

bool WaitForRunEnd(DWORD processId, HWND mainWindow, DWORD timeoutMs) {
    return PollUntil(
        [&] {
            if (FindProgressDialog(processId))
                return false;
            for (const std::string& entry : ListEntries(mainWindow)) {
                if (entry.find(" <- ") == std::string::npos)
                    return false;
            }
            return true;
        },
        timeoutMs);
}

void ExpectCompletedRun(const DigestorProcess& digestor, HWND mainWindow) {
    EXPECT_EQ(FindProgressDialog(digestor.Id()), nullptr) << "the progress dialog is still there";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(mainWindow, IDC_START))) << "start stays disabled after a run";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(mainWindow, IDC_FILE_LIST))) << "the list is given back";

    // Save and clear are greyed until a run has ended; Wine keeps menu items in their process.
    MenuProbeRequest menu = MenuProbeRequest();
    menu.commands[menu.commandCount++] = IDM_SAVE_LIST;
    menu.commands[menu.commandCount++] = IDM_CLEAR_LIST;
    std::string error;
    ASSERT_TRUE(ReadMenuFromInside(digestor.Handle(), digestor.Id(), mainWindow, menu, error)) << error;
    for (uint32_t i = 0; i < menu.commandCount; ++i) {
        EXPECT_NE(menu.states[i], 0xFFFFFFFFu) << "no menu item " << menu.commands[i];
        EXPECT_EQ(menu.states[i] & (MF_GRAYED | MF_DISABLED), 0u) << "menu item " << menu.commands[i];
    }
}
