// The taskbar button's progress as the shell's ITaskbarList3 is told it: a stand-in class,
// registered in the window thread's apartment, records every call of every thread.
#include <shobjidl.h>

#include "base/app_state.h"
#include "base/taskbar.h"
#include "res/resource.h"
#include "tests/win/fixture.h"

namespace {

#define STUB(name, ...)                                                                                      \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return S_OK; }

struct Recorder : ITaskbarList3, IClassFactory {
    std::mutex lock;
    std::vector<std::string> calls; // "state N" and "value done/total", in order

    void Note(const std::string& call) {
        std::lock_guard<std::mutex> hold(lock);
        calls.push_back(call);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IClassFactory)
            *out = static_cast<IClassFactory*>(this);
        else
            *out = static_cast<ITaskbarList3*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the process
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID id, void** out) override {
        return QueryInterface(id, out);
    }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
        Note("value " + std::to_string(done) + "/" + std::to_string(total));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override {
        Note("state " + std::to_string(state));
        return S_OK;
    }
    // clang-format off
    STUB(LockServer, BOOL) STUB(HrInit) STUB(AddTab, HWND) STUB(DeleteTab, HWND) STUB(ActivateTab, HWND)
    STUB(SetActiveAlt, HWND) STUB(MarkFullscreenWindow, HWND, BOOL) STUB(RegisterTab, HWND, HWND)
    STUB(UnregisterTab, HWND) STUB(SetTabOrder, HWND, HWND) STUB(SetTabActive, HWND, HWND, DWORD)
    STUB(ThumbBarAddButtons, HWND, UINT, LPTHUMBBUTTON) STUB(ThumbBarUpdateButtons, HWND, UINT, LPTHUMBBUTTON)
    STUB(ThumbBarSetImageList, HWND, HIMAGELIST) STUB(SetOverlayIcon, HWND, HICON, LPCWSTR)
    STUB(SetThumbnailTooltip, HWND, LPCWSTR) STUB(SetThumbnailClip, HWND, RECT*)
    // clang-format on
} Taskbar;

} // namespace

TEST_F(WinTest, TaskbarShowsWalksAndRunsAndIsClearedAfterEach) {
    const std::string folder = Path("tree");
    const std::vector<std::string> files = {File("tree\\a", 3000), File("tree\\b", 0),
                                            File("tree\\c", 70000)};
    DWORD cookie = 0;
    OnWindowThread([&] {
        CoRegisterClassObject(CLSID_TaskbarList, static_cast<IClassFactory*>(&Taskbar), CLSCTX_INPROC_SERVER,
                              REGCLS_MULTIPLEUSE, &cookie);
        SendMessageA(m_window, TaskbarButtonMessage, 0, 0); // the shell made the button
    });
    const std::string idle = "state " + std::to_string(TBPF_NOPROGRESS);
    Drop({folder});
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Taskbar.calls, std::vector<std::string>({"state " + std::to_string(TBPF_INDETERMINATE), idle}));
    Taskbar.calls.clear();
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    ASSERT_GE(Taskbar.calls.size(), 4u);
    EXPECT_EQ(Taskbar.calls.front(), "state " + std::to_string(TBPF_NORMAL));
    EXPECT_EQ(Taskbar.calls[1], "value 0/3");
    EXPECT_EQ(Taskbar.calls[Taskbar.calls.size() - 2], "value 3/3");
    EXPECT_EQ(Taskbar.calls.back(), idle);
    OnWindowThread([&] { CoRevokeClassObject(cookie); });
}
