#include "tests/run/fake_taskbar.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex LogLock;
std::vector<TaskbarCallRecord> Calls;
std::atomic<int> Created{0};
std::atomic<long> CallsOnReleased{0};
std::atomic<bool> CreationFails{false};

class FakeTaskbar;
std::vector<FakeTaskbar*> Objects; // index = creation number - 1; under LogLock

class FakeTaskbar : public ITaskbarList3 {
public:
    explicit FakeTaskbar(int number) : number(number) {}

    LONG References() const { return references.load(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_ITaskbarList || iid == IID_ITaskbarList2 ||
            iid == IID_ITaskbarList3) {
            *object = static_cast<ITaskbarList3*>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    // Kept allocated at zero so that a late call is seen, not undefined.
    ULONG STDMETHODCALLTYPE AddRef() override {
        CheckAlive();
        return static_cast<ULONG>(++references);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        CheckAlive();
        return static_cast<ULONG>(--references);
    }

    HRESULT STDMETHODCALLTYPE HrInit() override { return Record(TaskbarCall::HrInit, NULL, 0, 0); }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND window, ULONGLONG completed, ULONGLONG total) override {
        return Record(TaskbarCall::SetProgressValue, window, completed, total);
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND window, TBPFLAG state) override {
        return Record(TaskbarCall::SetProgressState, window, static_cast<ULONGLONG>(state), 0);
    }

    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

private:
    void CheckAlive() {
        if (references.load() <= 0) {
            ++CallsOnReleased;
        }
    }

    // Checks the count on entry and again after yielding a few times, so that a
    // release racing with the call has room to land inside it.
    HRESULT Record(TaskbarCall call, HWND window, ULONGLONG first, ULONGLONG second) {
        CheckAlive();
        {
            std::lock_guard<std::mutex> guard(LogLock);
            Calls.push_back({number, call, window, first, second});
        }
        for (int i = 0; i < 3; ++i) {
            SwitchToThread();
        }
        CheckAlive();
        return S_OK;
    }

    const int number;
    std::atomic<LONG> references{1};
};

class FakeTaskbarFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    // A static object: COM's references do not decide its life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = NULL;
        if (outer != NULL) {
            return CLASS_E_NOAGGREGATION;
        }
        if (CreationFails.load()) {
            return E_OUTOFMEMORY;
        }
        FakeTaskbar* taskbar;
        {
            std::lock_guard<std::mutex> guard(LogLock);
            taskbar = new FakeTaskbar(static_cast<int>(Objects.size()) + 1);
            Objects.push_back(taskbar);
        }
        ++Created;
        HRESULT result = taskbar->QueryInterface(iid, object);
        taskbar->Release(); // the caller's reference, if any, is now the only one
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

FakeTaskbarFactory Factory;

} // namespace

bool RegisterFakeTaskbarClass() {
    DWORD cookie;
    return SUCCEEDED(CoRegisterClassObject(CLSID_TaskbarList, &Factory, CLSCTX_INPROC_SERVER,
                                           REGCLS_MULTIPLEUSE, &cookie));
}

void ResetFakeTaskbar() {
    std::lock_guard<std::mutex> guard(LogLock);
    Calls.clear();
    Objects.clear(); // deliberately not deleted, see the header
    Created = 0;
    CallsOnReleased = 0;
    CreationFails = false;
}

void SetFakeTaskbarCreationFails(bool fails) { CreationFails = fails; }

int FakeTaskbarsCreated() { return Created.load(); }

LONG FakeTaskbarReferences(int object) {
    std::lock_guard<std::mutex> guard(LogLock);
    return Objects.at(static_cast<size_t>(object - 1))->References();
}

long FakeTaskbarCallsOnReleased() { return CallsOnReleased.load(); }

std::vector<TaskbarCallRecord> FakeTaskbarCalls() {
    std::lock_guard<std::mutex> guard(LogLock);
    return Calls;
}
