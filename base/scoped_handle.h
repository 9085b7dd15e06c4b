// Closes a kernel handle when the scope that opened it ends, however it ends.
// NULL and INVALID_HANDLE_VALUE hold nothing.
#pragma once

#include <windows.h>

template <BOOL(WINAPI* CloseFunction)(HANDLE)> class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle() {
        if (IsValid()) {
            CloseFunction(m_handle);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool IsValid() const { return m_handle != NULL && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    // Closes now, for callers that need to know whether the close worked.
    bool Close() {
        bool closed = IsValid() && CloseFunction(m_handle);
        m_handle = NULL;
        return closed;
    }

private:
    HANDLE m_handle;
};

typedef ScopedHandle<CloseHandle> ScopedFile; // file or thread handle
typedef ScopedHandle<FindClose> ScopedFind;   // search started by FindFirstFileA
