#include "base/digest_set.h"

// One lane: the caller's own thread feeds every digestor in turn.

DigestSet::DigestSet(const std::vector<DigestKind>& kinds, int) : m_kinds(kinds) {
    m_digestors.reserve(kinds.size());
    try {
        for (DigestKind kind : kinds) {
            m_digestors.push_back(CreateDigestor(kind));
        }
    } catch (...) {
        for (IDigestor* digestor : m_digestors) {
            digestor->Release();
        }
        throw;
    }
}

DigestSet::~DigestSet() {
    for (IDigestor* digestor : m_digestors) {
        digestor->Release();
    }
}

size_t DigestSet::Count() const { return m_kinds.size(); }

DigestKind DigestSet::Kind(size_t index) const { return m_kinds[index]; }

int DigestSet::Lanes() const { return 1; }

void DigestSet::Reset() {
    for (IDigestor* digestor : m_digestors) {
        digestor->Reset();
    }
}

void DigestSet::Update(const uint8_t* bytes, uint32_t length) {
    for (IDigestor* digestor : m_digestors) {
        digestor->Update(bytes, length);
    }
}

void DigestSet::Finish() {
    for (IDigestor* digestor : m_digestors) {
        digestor->Finish();
    }
}

std::string DigestSet::DigestText(size_t index) const { return m_digestors[index]->DigestText(); }

FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context) {
    const DWORD ChunkSize = 256 * 1024;
    std::vector<BYTE> chunk(ChunkSize);
    set.Reset();
    ULONGLONG done = 0;
    for (;;) {
        if (!check(done, context)) {
            return FileStopped;
        }
        DWORD length = 0;
        if (!ReadFile(file, chunk.data(), ChunkSize, &length, NULL)) {
            return FileReadFailed;
        }
        if (length == 0) {
            break;
        }
        set.Update(chunk.data(), length);
        done += length;
    }
    set.Finish();
    return FileDigested;
}
