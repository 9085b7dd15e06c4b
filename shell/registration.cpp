#include "shell/registration.h"

HRESULT RegisterExtension(HKEY, const std::wstring&) { return E_NOTIMPL; }

HRESULT UnregisterExtension(HKEY) { return E_NOTIMPL; }
