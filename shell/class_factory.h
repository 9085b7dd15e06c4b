// The class factory of each of the DLL's classes: it makes the object that its create function makes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "shell/com_object.h"

// Makes a new object and asks it for riid; the object's own reference goes with the answer.
typedef HRESULT (*CreateFunction)(REFIID riid, void** object);

class ClassFactory : public ComObject<IClassFactory> {
public:
    // A factory with count 1, owned by the caller.
    explicit ClassFactory(CreateFunction create) : m_create(create) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() override {}

    CreateFunction m_create;
};
