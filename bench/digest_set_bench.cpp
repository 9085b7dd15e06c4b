// bench_digest_set FILE [RUNS]: MD5, SHA-1, SHA-256 and SHA-512 of one file, each alone (DigestOpenFile
// with one digestor) and the four from one read (DigestOpenFileSet) with one lane and with every processor,
// each the best of RUNS (2) passes, the file read once before to have it in the cache. Prints the figures,
// the goals with their verdicts (one lane at most 1.05 x the sum of the four alone; every processor, where
// there are two or more, at most 0.7 x that sum) and the digests, as "digest KIND HEX" lines for the
// caller to check against other tools.
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

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HANDLE Open(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "bench_digest_set: cannot open %s\n", path);
        exit(1);
    }
    return file;
}

double ReadAlone(const char* path) {
    ScopedFile file(Open(path));
    std::vector<BYTE> buffer(1024 * 1024);
    const double start = Seconds();
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, NULL) && got > 0) {
    }
    return Seconds() - start;
}

// One kind alone: the best time, and the digest in text.
double Alone(const char* path, DigestKind kind, int runs, std::string& digest) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        ScopedFile file(Open(path));
        DigestorHolder digestor(kind);
        const double start = Seconds();
        if (DigestOpenFile(file.Get(), digestor.Get(), Go, NULL) != FileDigested) {
            fprintf(stderr, "bench_digest_set: read failed\n");
            exit(1);
        }
        best = std::min(best, Seconds() - start);
        digest = digestor->DigestText();
    }
    return best;
}

// The four from one read with lanes lanes: the best time; the digests must be those found alone.
double Together(const char* path, int lanes, int runs, const std::string (&alone)[KindCount], int& started) {
    DigestSet set(std::vector<DigestKind>(Kinds, Kinds + KindCount), lanes);
    started = set.Lanes();
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        ScopedFile file(Open(path));
        const double start = Seconds();
        if (DigestOpenFileSet(file.Get(), set, Go, NULL) != FileDigested) {
            fprintf(stderr, "bench_digest_set: read failed\n");
            exit(1);
        }
        best = std::min(best, Seconds() - start);
        for (int k = 0; k < KindCount; ++k) {
            if (set.DigestText(static_cast<size_t>(k)) != alone[k]) {
                fprintf(stderr, "bench_digest_set: %s from one read differs from its digest alone\n",
                        KindNames[k]);
                exit(1);
            }
        }
    }
    return best;
}

void Row(const char* label, double seconds, double sum, double goal) {
    printf("%-40s %8.3f s   %5.2f x the sum   goal <= %.2f x   %s\n", label, seconds, seconds / sum, goal,
           seconds / sum <= goal ? "met" : "missed");
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc == 3 ? atoi(argv[2]) : 2;
    if (argc < 2 || argc > 3 || runs < 1) {
        fprintf(stderr, "usage: bench_digest_set FILE [RUNS]\n");
        return 2;
    }
    const char* path = argv[1];
    ReadAlone(path); // into the cache
    const double read = ReadAlone(path);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    printf("\nFour digests of one file from one read, %lu processors, the best of %d\n",
           static_cast<unsigned long>(system.dwNumberOfProcessors), runs);
    printf("%-40s %8.3f s\n", "read alone (1 MiB reads)", read);
    std::string digests[KindCount];
    double sum = 0;
    for (int k = 0; k < KindCount; ++k) {
        const double seconds = Alone(path, Kinds[k], runs, digests[k]);
        sum += seconds;
        printf("%-40s %8.3f s\n", (std::string(KindNames[k]) + " alone").c_str(), seconds);
    }
    printf("%-40s %8.3f s\n", "the sum of the four alone", sum);
    int lanes = 0;
    const double one = Together(path, 1, runs, digests, lanes);
    Row("the four from one read, one lane", one, sum, OneLaneGoal);
    const double all = Together(path, 0, runs, digests, lanes);
    char label[64];
    snprintf(label, sizeof label, "the four from one read, %d lanes", lanes);
    if (system.dwNumberOfProcessors >= 2) {
        Row(label, all, sum, AllLanesGoal);
    } else {
        printf("%-40s %8.3f s   %5.2f x the sum   (one processor: no goal)\n", label, all, all / sum);
    }
    for (int k = 0; k < KindCount; ++k) {
        printf("digest %s %s\n", KindNames[k], digests[k].c_str());
    }
    return 0;
}
