#include "base/size_count.h"

#include <string.h>

#include "base/long_path.h"

namespace {

// How often the end cancels the work's pending I/O again: a query that starts after one cancel is
// caught by the next.
const DWORD CancelInterval = 20;

} // namespace

SizeCount::SizeCount()
    : m_thread(NULL), m_work(NULL), m_context(NULL), m_files(0), m_bytes(0), m_ending(0), m_complete(0) {}

SizeCount::~SizeCount() { End(); }

bool SizeCount::Start(Work work, void* context) {
    if (m_thread) {
        return false;
    }
    m_work = work;
    m_context = context;
    m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
    return m_thread != NULL;
}

DWORD WINAPI SizeCount::Run(LPVOID self) {
    SizeCount& count = *static_cast<SizeCount*>(self);
    count.m_work(count, count.m_context);
    if (count.Going()) {
        InterlockedExchange(&count.m_complete, 1);
    }
    return 0;
}

bool SizeCount::Add(ULONGLONG bytes) {
    InterlockedExchangeAdd64(&m_bytes, static_cast<LONG64>(bytes));
    InterlockedIncrement64(&m_files);
    return Going();
}

ULONGLONG SizeCount::Files() const {
    return static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<volatile LONG64*>(&m_files), 0, 0));
}

ULONGLONG SizeCount::Bytes() const {
    return static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<volatile LONG64*>(&m_bytes), 0, 0));
}

void SizeCount::End() {
    if (!m_thread) {
        return;
    }
    InterlockedExchange(&m_ending, 1);
    while (WaitForSingleObject(m_thread, CancelInterval) == WAIT_TIMEOUT) {
        CancelSynchronousIo(m_thread);
    }
    CloseHandle(m_thread);
    m_thread = NULL;
}

ULONGLONG SizeByAttributes(const char* path) {
    if (strncmp(path, "\\\\.\\", 4) == 0 || path[0] == '\0') {
        return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
