#include "shell/digests_page.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <new>
#include <string>
#include <vector>

#include "shell/com_object.h"
#include "shell/page_dialog.h"
#include "shell/selection.h"

namespace {

// Explorer's handle on the page: the selection from Initialize, the page made in AddPages. Everything
// else lives with the page, which outlives this object when the sheet stays open.
class DigestsPage : public ComObject<IShellExtInit, IShellPropSheetExt> {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        static const QITAB interfaces[] = {
            QITABENT(DigestsPage, IShellExtInit),
            QITABENT(DigestsPage, IShellPropSheetExt),
            {0, 0},
        };
        return QISearch(this, interfaces, riid, object);
    }

    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) override {
        try {
            return ReadSelection(data, m_paths);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    IFACEMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam) override {
        try {
            if (!addPage || m_paths.empty()) {
                return E_INVALIDARG;
            }
            HPROPSHEETPAGE page = CreateDigestsSheetPage(m_paths);
            if (!page) {
                return E_OUTOFMEMORY;
            }
            if (!addPage(page, lParam)) {
                DestroyPropertySheetPage(page);
                return E_FAIL;
            }
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    IFACEMETHODIMP ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }

private:
    ~DigestsPage() override {}

    std::vector<std::wstring> m_paths;
};

} // namespace

HRESULT CreateDigestsPage(REFIID riid, void** object) {
    *object = NULL;
    DigestsPage* page = new (std::nothrow) DigestsPage;
    if (!page) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = page->QueryInterface(riid, object);
    page->Release();
    return result;
}
