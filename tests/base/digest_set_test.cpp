// Several digests from one read, under Wine: every kind at once against single digestors, files read
// ahead in pieces against DigestOpenFile and published vectors, stops, failed and broken reads, and
// memory running out.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>
#include <vector>

#include "base/digest_set.h"
#include "base/scoped_handle.h"
#include "tests/base/temp_file.h"

// Every allocation of this program is counted, and the one FailAt counts down to fails.
namespace {
volatile LONG Outstanding = 0;
volatile LONG FailAt = -1;
} // namespace

void* operator new(size_t size) {
    if (FailAt >= 0 && InterlockedDecrement(&FailAt) == -1) {
        throw std::bad_alloc();
    }
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!block) {
        throw std::bad_alloc();
    }
    InterlockedIncrement(&Outstanding);
    return block;
}
void operator delete(void* block) noexcept {
    if (block) {
        InterlockedDecrement(&Outstanding);
        HeapFree(GetProcessHeap(), 0, block);
    }
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }

namespace {

const DWORD MiB = 1024 * 1024;
const std::vector<DigestKind> AllKinds = {DigestMD2,  DigestMD4,    DigestMD5,    DigestCRC32,
                                          DigestSHA1, DigestSHA256, DigestSHA512, DigestZipCRC32};

std::string SingleDigest(DigestKind kind, const std::vector<uint8_t>& bytes) {
    DigestorHolder digestor(kind);
    digestor->Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    digestor->Finish();
    return digestor->DigestText();
}

// What a check saw: every value of done, and when to say stop.
struct CheckLog {
    std::vector<ULONGLONG> seen;
    ULONGLONG stopFrom = ~0ULL;
};

bool LogCheck(ULONGLONG done, void* context) {
    CheckLog& log = *static_cast<CheckLog*>(context);
    log.seen.push_back(done);
    return done < log.stopFrom;
}

FileOutcome DigestPath(const std::string& path, DigestSet& set, CheckLog& log, DWORD access = GENERIC_READ) {
    ScopedFile file(CreateFileA(path.c_str(), access, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_TRUE(file.IsValid()) << path;
    return DigestOpenFileSet(file.Get(), set, LogCheck, &log);
}

int ThreadCount() {
    ScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    return count;
}

TEST(DigestSet, EveryKindAtOnceInAnySplitMatchesSingleDigestors) {
    // Around the 16, 64 and 128-byte blocks, a page and a read of 64 KiB.
    const size_t lengths[] = {0,  1,   15,  16,  17,  55,  56,   63,   64,
                              65, 111, 112, 127, 128, 129, 4095, 4097, 65537};
    for (int lanes = 1; lanes <= 4; ++lanes) {
        DigestSet set(AllKinds, lanes); // one set for every case: each begins with a Reset
        ASSERT_EQ(set.Lanes(), lanes);
        ASSERT_EQ(set.Count(), AllKinds.size());
        std::mt19937 random(lanes);
        for (size_t length : lengths) {
            const std::vector<uint8_t> bytes = RandomBytes(length, static_cast<unsigned>(length));
            for (int split = 0; split < 3; ++split) {
                set.Reset();
                set.Update(reinterpret_cast<const uint8_t*>("given up"), 8); // a message given up
                set.Reset();
                for (size_t at = 0; at < length;) {
                    const size_t piece =
                        split == 0 ? length : std::min<size_t>(length - at, random() % 200 + 1);
                    set.Update(bytes.data() + at, static_cast<uint32_t>(piece));
                    at += piece;
                }
                EXPECT_EQ(set.DigestText(0), "");
                set.Finish();
                for (size_t i = 0; i < set.Count(); ++i) {
                    EXPECT_EQ(set.Kind(i), AllKinds[i]);
                    EXPECT_EQ(set.DigestText(i), SingleDigest(AllKinds[i], bytes))
                        << "kind " << AllKinds[i] << ", " << length << " bytes, split " << split << ", lanes "
                        << lanes;
                }
            }
        }
    }
    EXPECT_EQ(DigestSet({DigestMD5, DigestSHA1}, 8).Lanes(), 2); // never more lanes than kinds
}

TEST(DigestSet, FilesAroundTheReadSizeMatchDigestOpenFile) {
    const DWORD sizes[] = {0,   1,       MiB - 1,
                           MiB, MiB + 1, 6 * MiB + 4097}; // the last more than the pieces ahead
    for (int lanes : {1, 3}) {
        DigestSet set(AllKinds, lanes);
        for (DWORD size : sizes) {
            const std::string path = TempFile("set_size_", RandomBytes(size, size + 1));
            CheckLog log;
            ASSERT_EQ(DigestPath(path, set, log), FileDigested) << size;
            // Asked before each piece, at least every 1 MiB, and last with all the bytes.
            ASSERT_FALSE(log.seen.empty());
            EXPECT_EQ(log.seen.back(), size);
            for (size_t k = 1; k < log.seen.size(); ++k) {
                EXPECT_LE(log.seen[k] - log.seen[k - 1], MiB) << size;
                EXPECT_GE(log.seen[k], log.seen[k - 1]) << size;
            }
            for (size_t i = 0; i < set.Count(); ++i) {
                DigestorHolder single(set.Kind(i));
                ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
                ASSERT_EQ(DigestOpenFile(
                              file.Get(), single.Get(), [](ULONGLONG, void*) { return true; }, NULL),
                          FileDigested);
                EXPECT_EQ(set.DigestText(i), single->DigestText())
                    << "kind " << set.Kind(i) << ", " << size << " bytes, lanes " << lanes;
            }
            DeleteFileA(path.c_str());
        }
    }
}

TEST(DigestSet, FilesGivePublishedDigests) {
    const struct {
        const char* source;
        std::string text;
        const char* digests[4]; // MD5, SHA-1, SHA-256, SHA-512
    } vectors[] = {
        {"RFC 1321, FIPS 180-4: \"abc\"",
         "abc",
         {"900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d",
          "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
          "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd45"
          "4d44"
          "23643ce80e2a9ac94fa54ca49f"}},
        {"a million 'a'",
         std::string(1000000, 'a'),
         {"7707d6ae4e027c70eea2a935c2296f21", "34aa973cd4c4daa4f61eeb2bdbad27316534016f",
          "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
          "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432ce577c31beb"
          "009c"
          "5c2c49aa2e4eadb217ad8cc09b"}},
    };
    DigestSet set({DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512});
    for (const auto& vector : vectors) {
        const std::string path =
            TempFile("set_vector_", std::vector<uint8_t>(vector.text.begin(), vector.text.end()));
        CheckLog log;
        ASSERT_EQ(DigestPath(path, set, log), FileDigested);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(set.DigestText(i), vector.digests[i]) << vector.source << ", kind " << set.Kind(i);
        }
        DeleteFileA(path.c_str());
    }
}

TEST(DigestSet, StopsAndFailedReadsFinishNothing) {
    const std::string path = TempFile("set_stop_", RandomBytes(3 * MiB, 3));
    DigestSet set({DigestMD5, DigestSHA256, DigestSHA512}, 3);
    // A stop before the first read, in the middle, and with all the bytes digested.
    for (ULONGLONG stopFrom : {0ULL, ULONGLONG{MiB + 1}, ULONGLONG{3 * MiB}}) {
        CheckLog log;
        log.stopFrom = stopFrom;
        EXPECT_EQ(DigestPath(path, set, log), FileStopped) << stopFrom;
        EXPECT_GE(log.seen.back(), stopFrom);
        EXPECT_LE(log.seen.back(), stopFrom + MiB);
        EXPECT_EQ(set.DigestText(0), "") << stopFrom;
    }
    CheckLog log;
    EXPECT_EQ(DigestPath(path, set, log, FILE_READ_ATTRIBUTES), FileReadFailed); // ReadFile refused
    EXPECT_EQ(set.DigestText(2), "");
    DeleteFileA(path.c_str());
}

struct PipeRead {
    HANDLE pipe;
    DigestSet* set;
    volatile LONG checks;
    FileOutcome outcome;
};

bool CountCheck(ULONGLONG, void* context) {
    InterlockedIncrement(&static_cast<PipeRead*>(context)->checks);
    return true;
}

DWORD WINAPI ReadPipe(LPVOID context) {
    PipeRead& read = *static_cast<PipeRead*>(context);
    read.outcome = DigestOpenFileSet(read.pipe, *read.set, CountCheck, &read);
    return 0;
}

TEST(DigestSet, ABrokenReadEndsCleanlyAndTheSetDigestsOn) {
    const std::string name = "\\\\.\\pipe\\digestor_set_" + std::to_string(GetCurrentProcessId());
    ScopedFile server(CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, MiB,
                                       MiB, 0, NULL));
    ASSERT_TRUE(server.IsValid());
    ScopedFile client(CreateFileA(name.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    ASSERT_TRUE(client.IsValid());
    const std::vector<uint8_t> bytes = RandomBytes(100000, 4);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL));

    DigestSet set({DigestMD5, DigestSHA1, DigestSHA512}, 3);
    PipeRead read = {client.Get(), &set, 0, FileDigested};
    ScopedFile thread(CreateThread(NULL, 0, ReadPipe, &read, 0, NULL));
    ASSERT_TRUE(thread.IsValid());
    // The pipe's bytes are being digested, and the read after them waits for more that never come:
    // break it, again and again until the thread ends (a cancel before the read starts is lost).
    for (int k = 0; k < 1000 && read.checks < 2; ++k) {
        Sleep(20);
    }
    bool ended = false;
    for (int k = 0; k < 1000 && !ended; ++k) {
        CancelSynchronousIo(thread.Get());
        ended = WaitForSingleObject(thread.Get(), 20) == WAIT_OBJECT_0;
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(read.outcome, FileReadFailed);
    EXPECT_EQ(set.DigestText(0), "");

    const std::vector<uint8_t> other = RandomBytes(MiB + 5, 5);
    const std::string path = TempFile("set_after_", other);
    CheckLog log;
    ASSERT_EQ(DigestPath(path, set, log), FileDigested);
    for (size_t i = 0; i < set.Count(); ++i) {
        EXPECT_EQ(set.DigestText(i), SingleDigest(set.Kind(i), other));
    }
    DeleteFileA(path.c_str());
}

TEST(DigestSet, MemoryRunningOutLeavesNoLaneOrDigestorBehind) {
    const int threads = ThreadCount();
    const std::string path = TempFile("set_memory_", RandomBytes(1000, 6));
    for (LONG failing = 0;; ++failing) {
        ASSERT_LT(failing, 1000);
        const LONG outstanding = Outstanding;
        bool made = false;
        FailAt = failing;
        try {
            DigestSet set(AllKinds, 4);
            FailAt = 0; // the read buffers
            CheckLog log;
            EXPECT_THROW(DigestPath(path, set, log), std::bad_alloc);
            FailAt = -1;
            EXPECT_EQ(DigestPath(path, set, log), FileDigested);
            made = true;
        } catch (const std::bad_alloc&) {
        }
        FailAt = -1;
        EXPECT_EQ(Outstanding, outstanding) << "allocation " << failing << " failing";
        EXPECT_EQ(ThreadCount(), threads) << "allocation " << failing << " failing";
        if (made) {
            break;
        }
    }
    DeleteFileA(path.c_str());
}

} // namespace
