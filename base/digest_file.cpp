#include "base/digest_file.h"

namespace {

// Work goes in blocks of ReadBlockSize, the steps at which a stop is honoured
// and progress is shown. Reads take chunks of many blocks, because under Wine
// every read call costs about as much as digesting a block.
const DWORD ReadBlockSize = 1024;
const DWORD ReadChunkSize = 64 * ReadBlockSize;

} // namespace

HANDLE OpenToRead(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
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
