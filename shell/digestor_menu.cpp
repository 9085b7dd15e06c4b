#include "shell/digestor_menu.h"

HRESULT CreateDigestorMenu(REFIID, void** object) {
    *object = NULL;
    return E_NOTIMPL;
}
