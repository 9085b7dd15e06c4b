#include "shell/digests_page.h"

HRESULT CreateDigestsPage(REFIID, void** object) {
    *object = NULL;
    return E_NOTIMPL;
}
