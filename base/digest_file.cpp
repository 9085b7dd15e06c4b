#include "base/digest_file.h"

#include "base/code_page.h"
#include "base/long_path.h"

namespace {

// Work goes in blocks of ReadBlockSize, the steps at which a stop is honoured
// and progress is shown. Reads take chunks of many blocks, because under Wine
// every read call costs about as much as digesting a block.
const DWORD ReadBlockSize = 1024;
const DWORD ReadChunkSize = 64 * ReadBlockSize;

// Tests read named pipes too, the only streams whose reads they can hold and
// break at will; DIGESTOR_READ_PIPES in the environment lets them through.
bool PipesAllowed() {
    static const bool allowed = GetEnvironmentVariableA("DIGESTOR_READ_PIPES", NULL, 0) != 0;
    return allowed;
}

} // namespace

Verdict CheckVerdict(FileOutcome outcome, const std::string& digest, const std::string& expected) {
    return outcome == FileOpenFailed   ? VerdictMissing
           : outcome == FileReadFailed ? VerdictReadError
           : digest == expected        ? VerdictOK
                                       : VerdictFailed;
}

Verdict RecordVerdict(FileOutcome outcome, const std::string& digest, const std::string& expected,
                      const FileRecord& recorded, const FileRecord& found) {
    const Verdict verdict = CheckVerdict(outcome, digest, expected);
    if (verdict != VerdictFailed) {
        return verdict;
    }
    return SameWriteTime(recorded.written, found.written) ? VerdictCorrupted : VerdictModified;
}

HANDLE OpenToRead(const char* path) { return OpenToRead(ToWide(path)); }

HANDLE OpenToRead(const std::wstring& path) {
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return file;
    }
    DWORD type = GetFileType(file);
    if (type == FILE_TYPE_DISK || (type == FILE_TYPE_PIPE && PipesAllowed())) {
        return file;
    }
    CloseHandle(file);
    SetLastError(ERROR_BAD_DEVICE);
    return INVALID_HANDLE_VALUE;
}

FileOutcome DigestOpenFile(HANDLE file, IDigestor* digestor, BlockCheck check, void* context) {
    digestor->Reset();
    BYTE chunk[ReadChunkSize];
    DWORD chunkLength = 0;
    DWORD offset = 0;
    ULONGLONG done = 0;
    for (;;) {
        if (!check(done, context)) {
            return FileStopped;
        }
        if (offset == chunkLength) {
            offset = 0;
            if (!ReadFile(file, chunk, ReadChunkSize, &chunkLength, NULL)) {
                return FileReadFailed;
            }
            if (chunkLength == 0) {
                break;
            }
        }
        DWORD block = chunkLength - offset < ReadBlockSize ? chunkLength - offset : ReadBlockSize;
        digestor->Update(chunk + offset, block);
        done += block;
        offset += block;
    }
    digestor->Finish();
    return FileDigested;
}
