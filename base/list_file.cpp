#include "base/list_file.h"

#include <string.h>

#include "base/app_state.h"
#include "base/scoped_handle.h"

namespace {

const int SeparatorLength = 80;
const int TitleIndent = 17;
const int FailureLineSize = 2048; // wsprintfA writes at most 1024 characters of it

BOOL PlainWrite(HANDLE file, const void* bytes, DWORD length) {
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, NULL) && written == length;
}

SaveWriteFunction Write = PlainWrite;

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
// not. On failure target is as it was and temporary still exists.
bool PutInPlace(const char* temporary, const char* target, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExA(temporary, target, MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ReplaceFileA(target, temporary, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL)) {
        return false;
    }
    if (GetFileAttributesA(target) != attributes) {
        SetFileAttributesA(target, attributes);
    }
    return true;
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

void SetSaveWriteFunction(SaveWriteFunction write) { Write = write ? write : PlainWrite; }

bool WriteInPlace(const char* target, const std::string& text) {
    // A replace ignores the read-only attribute: a read-only file stays.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    std::string folder = FolderOf(target);
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "dig", 0, temporary)) {
        return false;
    }
    bool written = false;
    {
        ScopedFile file(
            CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
        written = file.IsValid() && Write(file.Get(), text.data(), static_cast<DWORD>(text.size())) &&
                  FlushFileBuffers(file.Get());
        written = file.Close() && written;
    }
    if (written && PutInPlace(temporary, target, attributes)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}
