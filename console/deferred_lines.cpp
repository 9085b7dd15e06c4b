#include "console/deferred_lines.h"

namespace {

// The lines held in memory before they go to the file.
const size_t BufferSize = 64 * 1024;
// Between lines in the file: no line holds it.
const char LineEnd = '\0';

// A file of the temporary folder that goes when it is closed; INVALID_HANDLE_VALUE when none could be made.
HANDLE MakeWaitingFile() {
    char folder[MAX_PATH + 1];
    char name[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > sizeof folder || !GetTempFileNameA(folder, "dig", 0, name)) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
}

// Puts out the lines of text, each ended by LineEnd; what follows the last one is kept in line.
void PutLines(OutputStream stream, const char* text, size_t length, std::string& line) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != LineEnd) {
            line += text[i];
            continue;
        }
        PutLine(stream, line);
        line.clear();
    }
}

} // namespace

DeferredLines::DeferredLines() : m_file(NULL), m_stored(0), m_stays(false), m_count(0) {}

DeferredLines::~DeferredLines() {
    if (m_file != NULL && m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
    }
}

void DeferredLines::Add(const std::string& line) {
    m_buffer += line;
    m_buffer += LineEnd;
    ++m_count;
    if (m_buffer.size() < BufferSize || m_stays) {
        return;
    }
    if (m_file == NULL) {
        m_file = MakeWaitingFile();
    }
    // Without a file, or once a write failed, the lines stay in memory.
    DWORD written = 0;
    m_stays = m_file == INVALID_HANDLE_VALUE ||
              !WriteFile(m_file, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &written, NULL) ||
              written != m_buffer.size();
    if (!m_stays) {
        m_stored += written;
        m_buffer.clear();
    }
}

void DeferredLines::PutAll(OutputStream stream) {
    std::string line;
    LARGE_INTEGER start = {};
    if (m_stored > 0 && SetFilePointerEx(m_file, start, NULL, FILE_BEGIN)) {
        char chunk[64 * 1024];
        DWORD length = 0;
        for (ULONGLONG left = m_stored;
             left > 0 && ReadFile(m_file, chunk, sizeof chunk, &length, NULL) && length > 0; left -= length) {
            length = static_cast<DWORD>(length < left ? length : left);
            PutLines(stream, chunk, length, line);
        }
    }
    PutLines(stream, m_buffer.data(), m_buffer.size(), line);
}
