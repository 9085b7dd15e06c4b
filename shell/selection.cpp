#include "shell/selection.h"

#include <shellapi.h>

HRESULT ReadSelection(IDataObject* data, std::vector<std::wstring>& paths) {
    paths.clear();
    if (!data) {
        return E_INVALIDARG;
    }
    FORMATETC format = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        return E_INVALIDARG;
    }
    HRESULT result = S_OK;
    HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
    if (!drop) {
        result = E_INVALIDARG;
    } else {
        try {
            UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
            paths.reserve(count);
            for (UINT i = 0; i < count; ++i) {
                UINT length = DragQueryFileW(drop, i, NULL, 0);
                std::wstring path(length + 1, L'\0');
                path.resize(DragQueryFileW(drop, i, &path[0], length + 1));
                if (!path.empty()) {
                    paths.push_back(path);
                }
            }
        } catch (...) {
            paths.clear();
            result = E_OUTOFMEMORY;
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return result;
}
