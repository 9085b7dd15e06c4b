// A large file's BLAKE3 digest from several lanes, under Wine: sizes that give one part or many, a
// last part of one partial chunk or of a whole part, against the single-threaded engine (itself held
// to b3sum by the engine tests); the check on the caller's thread, a stop and a file shorter than said.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/blake3_parallel.h"
#include "base/scoped_handle.h"
#include "engine/digestor.h"
#include "tests/base/temp_file.h"

namespace {

const ULONGLONG KiB = 1024, MiB = 1024 * KiB;

std::string EngineDigest(const std::vector<uint8_t>& bytes) {
    DigestorHolder digestor(DigestBLAKE3);
    digestor->Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    digestor->Finish();
    return digestor->DigestText();
}

// What the check saw, and from which byte on it says stop.
struct Watch {
    DWORD thread;
    bool otherThread;
    bool backwards;
    ULONGLONG last;
    ULONGLONG stopFrom;
};

bool Check(ULONGLONG done, void* context) {
    Watch& watch = *static_cast<Watch*>(context);
    watch.otherThread |= GetCurrentThreadId() != watch.thread;
    watch.backwards |= done < watch.last;
    watch.last = done;
    return done < watch.stopFrom;
}

struct Outcome {
    FileOutcome outcome;
    std::string digest;
    Watch watch;
};

Outcome Digest(const std::string& path, ULONGLONG size, int lanes, ULONGLONG stopFrom = ~0ull) {
    Outcome result = {FileStopped, std::string(), {GetCurrentThreadId(), false, false, 0, stopFrom}};
    ScopedFile file(OpenToRead(path.c_str()));
    EXPECT_TRUE(file.IsValid());
    result.outcome =
        DigestBlake3Parallel(path.c_str(), file.Get(), size, lanes, Check, &result.watch, result.digest);
    return result;
}

} // namespace

TEST(Blake3Parallel, EverySplitGivesTheEngineDigest) {
    // Parts are powers of two of chunks, at least 64, about four a lane.
    const struct {
        ULONGLONG size;
        int lanes;
        const char* what;
    } cases[] = {
        {5 * MiB + 777, 4, "eleven parts, the last one partial chunk"},
        {4 * MiB, 4, "sixteen parts, a power of two, the last part whole"},
        {3 * MiB + 100 * KiB + 5, 2, "seven parts, the last one 101 chunks"},
        {128 * KiB + 1, 2, "three parts, the last one byte"},
        {64 * KiB, 3, "one part of 64 chunks"},
        {1, 2, "one byte"},
        {0, 2, "nothing"},
        {2 * MiB + 3, 1, "the caller alone"},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> bytes =
            RandomBytes(static_cast<size_t>(c.size), static_cast<unsigned>(c.size));
        const std::string path = TempFile("b3_", bytes);
        const Outcome got = Digest(path, c.size, c.lanes);
        EXPECT_EQ(got.outcome, FileDigested) << c.what;
        EXPECT_EQ(got.digest, EngineDigest(bytes)) << c.what;
        EXPECT_FALSE(got.watch.otherThread) << c.what;
        EXPECT_FALSE(got.watch.backwards) << c.what;
        EXPECT_EQ(got.watch.last, c.size) << c.what;
        DeleteFileA(path.c_str());
    }
}

TEST(Blake3Parallel, AStopOrAShortFileDigestsNothing) {
    const std::vector<uint8_t> bytes = RandomBytes(static_cast<size_t>(8 * MiB), 7);
    const std::string path = TempFile("b3_", bytes);
    const Outcome stopped = Digest(path, bytes.size(), 4, 2 * MiB);
    EXPECT_EQ(stopped.outcome, FileStopped);
    EXPECT_EQ(stopped.digest, "");
    const Outcome shorter = Digest(path, bytes.size() + 5 * KiB, 4);
    EXPECT_EQ(shorter.outcome, FileReadFailed);
    EXPECT_EQ(shorter.digest, "");
    DeleteFileA(path.c_str());
}
