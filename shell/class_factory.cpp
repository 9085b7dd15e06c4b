#include "shell/class_factory.h"

#include <new>

IFACEMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

IFACEMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = NULL;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    try {
        return m_create(riid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ModuleAddRef();
    } else {
        ModuleRelease();
    }
    return S_OK;
}
