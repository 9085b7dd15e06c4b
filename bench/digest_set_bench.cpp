// bench_digest_set FILE [RUNS]: MD5, SHA-1, SHA-256 and SHA-512 of one file, each alone (DigestOpenFile
// with one digestor) and the four from one read (DigestOpenFileSet) with one lane and with every processor,
// each the best of RUNS (3) passes, taken in turns so that a machine busy with other work slows them alike,
// the file read once before to have it in the cache. Prints each figure's time and the processor time the
// process spent on it (where the second is not about twice the first, the lanes had no second processor
// to themselves) and how the time of every processor was shared between the calling thread's lane and the
// others, the goals with their verdicts (one lane at most 1.05 x the sum of the four alone; every
// processor, where there are two or more, at most 0.7 x that sum) and the digests, as "digest KIND HEX" lines
// for the caller to check against other tools.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/digest_set.h"
#include "base/digest_workers.h"
#include "base/scoped_handle.h"

namespace {

const DigestKind Kinds[] = {DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512};
const char* const KindNames[] = {"MD5", "SHA1", "SHA256", "SHA512"};
const int KindCount = sizeof Kinds / sizeof Kinds[0];
const double OneLaneGoal = 1.05;
const double AllLanesGoal = 0.7;

bool Go(ULONGLONG, void*) { return true; }

// Wall-clock and processor seconds (every thread of the process, and the calling thread alone; user and
// kernel).
struct Time {
    double wall;
    double processor;
    double caller;
};

Time Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    FILETIME created, ended, kernel, user, threadKernel, threadUser;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    GetThreadTimes(GetCurrentThread(), &created, &ended, &threadKernel, &threadUser);
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return {static_cast<double>(now.QuadPart) / frequency, seconds(kernel) + seconds(user),
            seconds(threadKernel) + seconds(threadUser)};
}

// The best (shortest) of the runs so far.
struct Best {
    Time time = {1e300, 0, 0};
    void Take(const Time& start) {
        const Time end = Now();
        if (end.wall - start.wall < time.wall) {
            time = {end.wall - start.wall, end.processor - start.processor, end.caller - start.caller};
        }
    }
};

HANDLE Open(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "bench_digest_set: cannot open %s\n", path);
        exit(1);
    }
    return file;
}

void Fail(const char* what) {
    fprintf(stderr, "bench_digest_set: %s\n", what);
    exit(1);
}

void ReadAlone(const char* path, Best& best) {
    ScopedFile file(Open(path));
    std::vector<BYTE> buffer(1024 * 1024);
    const Time start = Now();
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, NULL) && got > 0) {
    }
    best.Take(start);
}

// One kind alone, as a run digests a file; its digest in text.
void Alone(const char* path, DigestKind kind, Best& best, std::string& digest) {
    ScopedFile file(Open(path));
    DigestorHolder digestor(kind);
    const Time start = Now();
    if (DigestOpenFile(file.Get(), digestor.Get(), Go, NULL) != FileDigested) {
        Fail("read failed");
    }
    best.Take(start);
    digest = digestor->DigestText();
}

// The four from one read; the digests must be those found alone.
void Together(const char* path, DigestSet& set, Best& best, const std::string (&alone)[KindCount]) {
    ScopedFile file(Open(path));
    const Time start = Now();
    if (DigestOpenFileSet(file.Get(), set, Go, NULL) != FileDigested) {
        Fail("read failed");
    }
    best.Take(start);
    for (int k = 0; k < KindCount; ++k) {
        if (set.DigestText(static_cast<size_t>(k)) != alone[k]) {
            Fail("a digest from one read differs from the same digest alone");
        }
    }
}

void Figure(const char* label, const Time& time) {
    printf("%-36s %8.3f s %8.3f s\n", label, time.wall, time.processor);
}

void Row(const char* label, const Time& time, double sum, double goal) {
    printf("%-36s %8.3f s %8.3f s   %5.2f x the sum   goal <= %.2f x   %s\n", label, time.wall,
           time.processor, time.wall / sum, goal, time.wall / sum <= goal ? "met" : "missed");
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc == 3 ? atoi(argv[2]) : 3;
    if (argc < 2 || argc > 3 || runs < 1) {
        fprintf(stderr, "usage: bench_digest_set FILE [RUNS]\n");
        return 2;
    }
    const char* path = argv[1];
    const std::vector<DigestKind> kinds(Kinds, Kinds + KindCount);
    DigestSet oneLane(kinds, 1);
    DigestSet allLanes(kinds); // one per processor
    SYSTEM_INFO system;
    GetSystemInfo(&system);

    Best warm, read, alone[KindCount], one, all;
    std::string digests[KindCount];
    ReadAlone(path, warm); // into the cache
    for (int run = 0; run < runs; ++run) {
        ReadAlone(path, read);
        for (int k = 0; k < KindCount; ++k) {
            Alone(path, Kinds[k], alone[k], digests[k]);
        }
        Together(path, oneLane, one, digests);
        Together(path, allLanes, all, digests);
    }

    printf("\nFour digests of a 1 GiB file from one read, %lu processors, the best of %d (time, processor "
           "time)\n",
           static_cast<unsigned long>(system.dwNumberOfProcessors), runs);
    Figure("read alone (1 MiB reads)", read.time);
    Time sum = {0, 0, 0};
    for (int k = 0; k < KindCount; ++k) {
        Figure((std::string(KindNames[k]) + " alone").c_str(), alone[k].time);
        sum.wall += alone[k].time.wall;
        sum.processor += alone[k].time.processor;
    }
    Figure("the sum of the four alone", sum);
    Row("the four from one read, one lane", one.time, sum.wall, OneLaneGoal);
    char label[64];
    snprintf(label, sizeof label, "the four from one read, %d lanes", allLanes.Lanes());
    if (system.dwNumberOfProcessors >= 2) {
        Row(label, all.time, sum.wall, AllLanesGoal);
    } else {
        printf("%-36s %8.3f s %8.3f s   (one processor: no goal)\n", label, all.time.wall,
               all.time.processor);
    }
    printf("%-36s %8.3f s of the processor time, the other lanes %.3f s\n", "  the calling thread's lane",
           all.time.caller, all.time.processor - all.time.caller);
    for (int k = 0; k < KindCount; ++k) {
        printf("digest %s %s\n", KindNames[k], digests[k].c_str());
    }
    return 0;
}
