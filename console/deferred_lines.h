// Lines that go out only later, after others, without being held all along: past a MiB they wait
// in a file of the temporary folder, which goes when they are out.
#pragma once

#include <windows.h>

#include <string>

#include "console/console_output.h"

class DeferredLines {
public:
    DeferredLines();
    ~DeferredLines();
    DeferredLines(const DeferredLines&) = delete;
    DeferredLines& operator=(const DeferredLines&) = delete;

    void Add(const std::string& line);
    size_t Count() const { return m_count; }
    // Every line added, in order, on stream.
    void PutAll(OutputStream stream);

private:
    HANDLE m_file;        // where the lines wait past the buffer; none when it could not be made
    ULONGLONG m_stored;   // bytes there
    bool m_stays;         // a write failed: the lines after those stored stay in memory
    std::string m_buffer; // the lines after those stored
    size_t m_count;
};
