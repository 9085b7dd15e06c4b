// What every COM object of the DLL has alike: its reference count and its hold on the module.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "shell/module_lock.h"

// Implements AddRef and Release of Interfaces for the class derived from it, which answers
// QueryInterface. The count starts at 1, the creator's reference; the last Release deletes the
// object through its virtual destructor. The DLL stays loaded while the object lives.
template <class... Interfaces> class ComObject : public Interfaces... {
public:
    IFACEMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refCount); }
    IFACEMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0) {
            delete this;
        }
        return count;
    }

protected:
    ComObject() : m_refCount(1) {}
    virtual ~ComObject() {}

private:
    LONG m_refCount;
    ModuleReference m_module;
};
