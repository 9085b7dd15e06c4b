#include "base/list_file.h"

#include <string.h>

#include "base/code_page.h"
#include "base/digest_file.h"
#include "base/long_path.h"
#include "base/program_state.h"
#include "base/scoped_handle.h"

namespace {

const int SeparatorLength = 80;
const int TitleIndent = 17;
const int FailureLineSize = 2048; // wsprintfA writes at most 1024 characters of it

BOOL PlainWrite(HANDLE file, const void* bytes, DWORD length) {
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, NULL) && written == length;
}

BOOL PlainReplace(const char* target, const char* replacement) {
    return ReplaceFileA(target, replacement, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
}

BOOL PlainMove(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH); }

SaveWriteFunction WriteBytes = PlainWrite;
SaveReplaceFunction Replace = PlainReplace;
SaveMoveFunction Move = PlainMove;

// The folder part of path, its last separator included; empty when none.
std::string FolderOf(const char* path) {
    const char* slash = strrchr(path, '\\');
    const char* other = strrchr(path, '/');
    if (other > slash) {
        slash = other;
    }
    return slash ? std::string(path, slash + 1) : std::string();
}

// Puts the complete file temporary in target's place. An existing target is
// replaced with ReplaceFileA, which keeps its attributes and security; its
// attributes are set again afterwards for platforms whose ReplaceFileA does
// not. A replace can fail after it has moved the old file away (the
// platform's "unable to move replacement" results): the new file then
// follows into the empty place, or stays where it is.
SaveOutcome PutInPlace(const char* temporary, const char* target, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Move(temporary, target) ? SaveDone : SaveFailed;
    }
    if (Replace(target, temporary)) {
        if (GetFileAttributesA(target) != attributes) {
            SetFileAttributesA(target, attributes);
        }
        return SaveDone;
    }
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
        return SaveFailed; // the old list is still in its place
    }
    return Move(temporary, target) ? SaveDone : SaveAside;
}

} // namespace

std::string ListHeading(const char* heading) {
    std::string separator(SeparatorLength, '-');
    separator += "\r\n";
    std::string text = separator;
    text.append(TitleIndent, ' ');
    text += AppTitle;
    text += " - ";
    text += heading ? heading : "";
    text += "\r\n";
    text += separator;
    text += "\r\n";
    return text;
}

std::string ResultLine(const std::string& digest, const char* name, const char* path) {
    return digest + " <- " + name + " -> " + path;
}

std::string FailureLine(const char* format, const char* name, const char* path) {
    char line[FailureLineSize];
    wsprintfA(line, format, name, path);
    return line;
}

bool ReadListFile(const char* path, std::string& text) {
    ScopedFile file(OpenToRead(path));
    std::string bytes;
    // Room for the whole file at once: a list of a million lines is not held twice while it grows.
    LARGE_INTEGER size = {};
    if (file.IsValid() && GetFileSizeEx(file.Get(), &size) && size.QuadPart < (1LL << 40)) {
        bytes.reserve(static_cast<size_t>(size.QuadPart) + 1);
    }
    char chunk[64 * 1024];
    DWORD length = 0;
    while (file.IsValid() && ReadFile(file.Get(), chunk, sizeof chunk, &length, NULL)) {
        if (length == 0) {
            MakeListText(bytes);
            text.swap(bytes);
            return true;
        }
        bytes.append(chunk, length);
    }
    return false;
}

void SetSaveFunctions(SaveWriteFunction write, SaveReplaceFunction replace, SaveMoveFunction move) {
    WriteBytes = write ? write : PlainWrite;
    Replace = replace ? replace : PlainReplace;
    Move = move ? move : PlainMove;
}

SaveOutcome WriteInPlace(const char* target, const std::string& text, std::string& aside) {
    ListSave save(target);
    save.Write(text);
    return save.Commit(aside);
}

ListSave::ListSave(const char* target) : m_target(target), m_file(INVALID_HANDLE_VALUE), m_failed(true) {
    // A replace ignores the read-only attribute: a read-only file stays.
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return;
    }
    const std::string folder = FolderOf(target);
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "dig", 0, temporary)) {
        return;
    }
    m_temporary = FullPath(temporary);
    m_file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    m_failed = m_file == INVALID_HANDLE_VALUE;
    if (m_failed) {
        DeleteFileA(m_temporary.c_str());
        m_temporary.clear();
    }
}

ListSave::~ListSave() { Drop(); }

void ListSave::Drop() {
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    if (!m_temporary.empty()) {
        DeleteFileA(m_temporary.c_str());
        m_temporary.clear();
    }
    m_failed = true;
}

bool ListSave::Flush() {
    if (!m_failed && !m_buffer.empty()) {
        m_failed = !WriteBytes(m_file, m_buffer.data(), static_cast<DWORD>(m_buffer.size()));
    }
    m_buffer.clear();
    return !m_failed;
}

bool ListSave::Write(const std::string& text) {
    if (m_failed) {
        return false;
    }
    // A MiB at a time: few writes, and little held.
    const size_t BufferSize = 1 << 20;
    std::string bytes = ToUtf8(text);
    if (m_buffer.empty()) {
        m_buffer.swap(bytes); // a whole list at once is not copied again
    } else {
        m_buffer += bytes;
    }
    return m_buffer.size() < BufferSize || Flush();
}

SaveOutcome ListSave::Commit(std::string& aside) {
    bool written = Flush() && FlushFileBuffers(m_file);
    if (m_file != INVALID_HANDLE_VALUE) {
        written = CloseHandle(m_file) && written;
        m_file = INVALID_HANDLE_VALUE;
    }
    const DWORD attributes = GetFileAttributesA(m_target.c_str());
    if (!written || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))) {
        Drop();
        return SaveFailed;
    }
    const SaveOutcome outcome = PutInPlace(m_temporary.c_str(), m_target.c_str(), attributes);
    if (outcome == SaveAside) {
        aside = m_temporary;
    }
    if (outcome != SaveFailed) {
        m_temporary.clear(); // the file is in place, or kept aside
    }
    Drop();
    return outcome;
}
