// The class factory of each of the DLL's classes: it makes the object that its create function makes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "shell/module_lock.h"

// Makes a new object and asks it for riid; the object's own reference goes with the answer.
typedef HRESULT (*CreateFunction)(REFIID riid, void** object);

class ClassFactory : public IClassFactory {
public:
    // A factory with count 1, owned by the caller.
    explicit ClassFactory(CreateFunction create) : m_refCount(1), m_create(create) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    virtual ~ClassFactory() {}

    LONG m_refCount;
    CreateFunction m_create;
    ModuleReference m_module;
};
