// Throughput benchmark for the digest engine, measured against reference
// implementations on the same bytes:
//   MD5   vs OpenSSL MD5 (EVP interface)
//   MD4   vs OpenSSL MD4 (EVP interface, legacy provider)
//   CRC32 vs zlib crc32
//   MD2   alone (no reference)
//   SHA-1, SHA-256, SHA-512 vs OpenSSL (EVP interface), ours both with the
//         SHA extensions or AVX2 (where the processor has them) and portable
//   SHA3-256, SHA3-512 vs OpenSSL (EVP interface)
//   BLAKE3 vs `b3sum --num-threads 1`, XXH3 vs `xxhsum -H3`, XXH128 vs
//         `xxhsum -H2`: the tools digest one 1 GiB file (build/bench/engine-1GiB.bin,
//         or $DIGESTOR_BENCH_FILE; written once) and ours reads the same file
//         in 64 KiB pieces, each timed in processor time (the tools' own,
//         from getrusage); ours on the buffer too
//
// Every case digests one shared 64 MiB buffer of pseudo-random bytes (fixed
// seed), fed in 1024-byte pieces; the SHA, SHA-3, BLAKE3 and XXH3 cases,
// whose goals are stated for 64 KiB updates (the program reads files in
// 64 KiB pieces), in 64 KiB pieces. After the
// Google Benchmark run a summary table gives MB/s (1 MB = 10^6 bytes) and the
// speed ratios ours/reference against their goals. A missed goal is reported,
// never turned into a failing exit code.
//
// Run-time switches are the usual Google Benchmark flags, for example
// --benchmark_filter=MD5, --benchmark_repetitions=9 or
// --benchmark_enable_random_interleaving=false (on by default here).

#include "engine/cpu_features.h"
#include "engine/digestor.h"

#include <benchmark/benchmark.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr size_t kBufferBytes = size_t(64) * 1024 * 1024; // 64 MiB
constexpr uint32_t kPieceBytes = 1024;                    // one Update call
constexpr uint32_t kShaPieceBytes = 64 * 1024;            // one Update call in the SHA cases
constexpr uint64_t kSeed = 0x44696765'73746F72ull;        // fixed seed

// Repetitions per case; the summary uses the best (highest throughput)
// repetition, which is the steadiest figure on a busy machine.
constexpr int kRepetitions = 5;
// MD2 is slow (about 7 s per pass over the buffer on a 2.4 GHz core) and no
// ratio depends on it, so it gets fewer repetitions to keep the run short.
constexpr int kRepetitionsMD2 = 2;
constexpr double kMinTimeSeconds = 0.25;

// Benchmark names, also the keys of the summary.
const char* const kOursMD2 = "Ours_MD2";
const char* const kOursMD4 = "Ours_MD4";
const char* const kOursMD5 = "Ours_MD5";
const char* const kOursCRC32 = "Ours_CRC32";
const char* const kOpenSslMD4 = "OpenSSL_MD4";
const char* const kOpenSslMD5 = "OpenSSL_MD5";
const char* const kZlibCRC32 = "zlib_crc32";
const char* const kOursSHA1 = "Ours_SHA1_64K";
const char* const kOursSHA1Portable = "Ours_SHA1_portable_64K";
const char* const kOpenSslSHA1 = "OpenSSL_SHA1_64K";
const char* const kOursSHA256 = "Ours_SHA256_64K";
const char* const kOursSHA256Portable = "Ours_SHA256_portable_64K";
const char* const kOpenSslSHA256 = "OpenSSL_SHA256_64K";
const char* const kOursSHA512 = "Ours_SHA512_64K";
const char* const kOursSHA512Portable = "Ours_SHA512_portable_64K";
const char* const kOursSHA512Avx2 = "Ours_SHA512_AVX2_64K";
const char* const kOpenSslSHA512 = "OpenSSL_SHA512_64K";
const char* const kOursSHA3_256 = "Ours_SHA3_256_64K";
const char* const kOpenSslSHA3_256 = "OpenSSL_SHA3_256_64K";
const char* const kOursSHA3_512 = "Ours_SHA3_512_64K";
const char* const kOpenSslSHA3_512 = "OpenSSL_SHA3_512_64K";
const char* const kOursBLAKE3 = "Ours_BLAKE3_64K";
const char* const kOursXXH3 = "Ours_XXH3_64K";
const char* const kOursXXH128 = "Ours_XXH128_64K";
// The 1 GiB file, ours and the tools.
const char* const kOursBLAKE3File = "Ours_BLAKE3_file";
const char* const kB3sum = "b3sum_1_thread_file";
const char* const kOursXXH3File = "Ours_XXH3_file";
const char* const kXxhsumH3 = "xxhsum_H3_file";
const char* const kOursXXH128File = "Ours_XXH128_file";
const char* const kXxhsumH2 = "xxhsum_H2_file";

constexpr uint64_t kFileBytes = uint64_t(1) << 30;
std::string g_filePath = "build/bench/engine-1GiB.bin";

std::vector<uint8_t> g_buffer;

// splitmix64: small, fast and identical on every platform and compiler
// (unlike the distributions of <random>). Bytes are taken little-end first
// so the buffer does not depend on the host byte order.
void FillBuffer(std::vector<uint8_t>& buffer, uint64_t seed) {
    uint64_t state = seed;
    for (size_t i = 0; i < buffer.size(); i += 8) {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        for (size_t k = 0; k < 8 && i + k < buffer.size(); ++k) {
            buffer[i + k] = static_cast<uint8_t>(z >> (8 * k));
        }
    }
}

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBufferBytes));
}

// ---------------------------------------------------------------------------
// Benchmarked cases

// Avx2: no vector unit above AVX2 (SHA-512's schedule without AVX-512's rotations).
enum class ShaPath { Fastest, Portable, Avx2 };

// Our engine: Reset, Update(ptr, piece) x (64 MiB / piece), Finish, DigestText.
void BM_Ours(benchmark::State& state, DigestKind kind, uint32_t pieceBytes, ShaPath path) {
    IDigestor* digestor = nullptr;
    ForcePortableSha(path == ShaPath::Portable);
    if (path == ShaPath::Avx2)
        LimitVectorLevel(VectorLevel::Avx2);
    try {
        digestor = CreateDigestor(kind);
    } catch (const std::bad_alloc&) {
        state.SkipWithError("CreateDigestor: out of memory");
        return;
    }
    ForcePortableSha(false);
    LimitVectorLevel(VectorLevel::Avx512);
    const uint8_t* const data = g_buffer.data();
    std::string text;
    for (auto _ : state) {
        digestor->Reset();
        for (size_t offset = 0; offset < kBufferBytes; offset += pieceBytes) {
            digestor->Update(data + offset, pieceBytes);
        }
        digestor->Finish();
        text = digestor->DigestText();
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
    }
    digestor->Release();
    SetThroughput(state);
}

// OpenSSL through EVP: Init, Update(ptr, piece) x (64 MiB / piece), Final.
void BM_OpenSsl(benchmark::State& state, const EVP_MD* md, uint32_t pieceBytes) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context == nullptr) {
        state.SkipWithError("EVP_MD_CTX_new failed");
        return;
    }
    const uint8_t* const data = g_buffer.data();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    bool failed = false;
    for (auto _ : state) {
        int ok = EVP_DigestInit_ex(context, md, nullptr);
        for (size_t offset = 0; offset < kBufferBytes; offset += pieceBytes) {
            ok &= EVP_DigestUpdate(context, data + offset, pieceBytes);
        }
        ok &= EVP_DigestFinal_ex(context, digest, &digestLength);
        failed |= (ok != 1);
        benchmark::DoNotOptimize(digest);
        benchmark::ClobberMemory();
    }
    EVP_MD_CTX_free(context);
    if (failed) {
        state.SkipWithError("an EVP digest call failed");
        return;
    }
    SetThroughput(state);
}

// zlib: crc32(c, ptr, 1024) x 65536.
void BM_ZlibCrc32(benchmark::State& state) {
    const uint8_t* const data = g_buffer.data();
    for (auto _ : state) {
        uLong crc = crc32(0L, Z_NULL, 0);
        for (size_t offset = 0; offset < kBufferBytes; offset += kPieceBytes) {
            crc = crc32(crc, data + offset, kPieceBytes);
        }
        benchmark::DoNotOptimize(crc);
    }
    SetThroughput(state);
}

// Our engine on the 1 GiB file: read in 64 KiB pieces (as the program reads),
// each piece to Update; the process's processor time, the reads' included.
std::string OursOnFile(DigestKind kind) {
    std::FILE* file = std::fopen(g_filePath.c_str(), "rb");
    if (file == nullptr)
        return std::string();
    std::setvbuf(file, nullptr, _IONBF, 0);
    IDigestor* digestor = CreateDigestor(kind);
    std::vector<uint8_t> piece(kShaPieceBytes);
    for (size_t n; (n = std::fread(piece.data(), 1, piece.size(), file)) != 0;)
        digestor->Update(piece.data(), static_cast<uint32_t>(n));
    std::fclose(file);
    digestor->Finish();
    std::string text = digestor->DigestText();
    digestor->Release();
    return text;
}

void BM_OursFile(benchmark::State& state, DigestKind kind) {
    std::string text;
    for (auto _ : state) {
        text = OursOnFile(kind);
        benchmark::DoNotOptimize(text);
    }
    if (text.empty()) {
        state.SkipWithError("cannot read the 1 GiB file");
        return;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

// A reference tool's output for the 1 GiB file; "" when it did not run.
std::string ToolOutput(const std::string& command) {
    std::FILE* pipe = popen((command + " '" + g_filePath + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return std::string();
    std::string output;
    char chunk[256];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) != 0;)
        output.append(chunk, n);
    return pclose(pipe) == 0 ? output : std::string();
}

// The digest in a tool's line: the first word of hexadecimal digits only, at least 16 of them
// ("digest  path" or "XXH3 (path) = digest").
std::string DigestInToolOutput(const std::string& output) {
    size_t at = 0;
    while (at < output.size()) {
        const size_t end = output.find_first_of(" \n", at);
        const std::string word = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (word.size() >= 16 &&
            std::all_of(word.begin(), word.end(), [](char c) { return std::isxdigit(c); }))
            return word;
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return std::string();
}

// The processor time (user and system) of the tool's runs, as ours is timed: on a busy machine the wall
// clock would count the time others had the processor.
double ChildrenSeconds() {
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void BM_Tool(benchmark::State& state, const char* command) {
    std::string output;
    for (auto _ : state) {
        const double before = ChildrenSeconds();
        output = ToolOutput(command);
        state.SetIterationTime(ChildrenSeconds() - before);
        benchmark::DoNotOptimize(output);
    }
    if (output.empty()) {
        state.SkipWithError("the tool did not run (scripts/install-deps installs it)");
        return;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

// The file the tools digest: 1 GiB of splitmix64 bytes, written once and kept.
bool MakeFile() {
    if (const char* path = std::getenv("DIGESTOR_BENCH_FILE"))
        g_filePath = path;
    if (std::FILE* file = std::fopen(g_filePath.c_str(), "rb")) {
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::fclose(file);
        if (static_cast<uint64_t>(size) == kFileBytes)
            return true;
    }
    std::printf("Writing the 1 GiB file %s ...\n", g_filePath.c_str());
    std::FILE* file = std::fopen(g_filePath.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::vector<uint8_t> part(kBufferBytes);
    bool ok = true;
    for (uint64_t written = 0; ok && written < kFileBytes; written += part.size()) {
        FillBuffer(part, kSeed + written);
        ok = std::fwrite(part.data(), 1, part.size(), file) == part.size();
    }
    return std::fclose(file) == 0 && ok;
}

// ---------------------------------------------------------------------------
// Result collection: the console output as usual, plus each run's throughput
// recorded by benchmark name for the summary.

struct Samples {
    std::vector<double> perRepetition; // bytes per second
    double median = 0.0;               // from the aggregate, if reported
    bool failed = false;
    std::string error;
};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : benchmark::ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Samples& samples = m_results[run.run_name.function_name];
            if (run.error_occurred) {
                samples.failed = true;
                samples.error = run.error_message;
                continue;
            }
            const auto counter = run.counters.find("bytes_per_second");
            if (counter == run.counters.end())
                continue;
            const double rate = counter->second.value;
            if (run.run_type == Run::RT_Iteration) {
                samples.perRepetition.push_back(rate);
            } else if (run.aggregate_name == "median") {
                samples.median = rate;
            }
        }
        benchmark::ConsoleReporter::ReportRuns(runs);
    }

    // Highest throughput over the repetitions (bytes/s); 0 when absent.
    double Best(const std::string& name) const {
        const Samples* samples = Find(name);
        if (samples == nullptr)
            return 0.0;
        if (samples->perRepetition.empty())
            return samples->median;
        return *std::max_element(samples->perRepetition.begin(), samples->perRepetition.end());
    }

    // Median throughput over the repetitions (bytes/s); 0 when absent.
    double Median(const std::string& name) const {
        const Samples* samples = Find(name);
        if (samples == nullptr)
            return 0.0;
        if (samples->median > 0.0 || samples->perRepetition.empty())
            return samples->median;
        std::vector<double> v = samples->perRepetition;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return (n % 2 == 1) ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    }

    size_t Count(const std::string& name) const {
        const Samples* samples = Find(name);
        return samples == nullptr ? 0 : samples->perRepetition.size();
    }

    std::string Error(const std::string& name) const {
        const Samples* samples = Find(name);
        return (samples != nullptr && samples->failed) ? samples->error : std::string();
    }

private:
    const Samples* Find(const std::string& name) const {
        const auto it = m_results.find(name);
        return it == m_results.end() ? nullptr : &it->second;
    }

    std::map<std::string, Samples> m_results;
};

// ---------------------------------------------------------------------------
// Reference digests of the buffer, to show the measured code computes the
// right thing (informational only).

std::string HexOf(const unsigned char* bytes, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::string OursOnBuffer(DigestKind kind, uint32_t pieceBytes = kPieceBytes) {
    IDigestor* digestor = CreateDigestor(kind);
    digestor->Reset();
    for (size_t offset = 0; offset < kBufferBytes; offset += pieceBytes) {
        digestor->Update(g_buffer.data() + offset, pieceBytes);
    }
    digestor->Finish();
    std::string text = digestor->DigestText();
    digestor->Release();
    return text;
}

std::string OpenSslOnBuffer(const EVP_MD* md) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(g_buffer.data(), g_buffer.size(), digest, &length, md, nullptr) != 1) {
        return std::string();
    }
    return HexOf(digest, length);
}

void PrintCheck(const char* algorithm, const std::string& ours, const std::string& expected,
                const char* source) {
    std::printf("  %-8s %-34s %s (%s)\n", algorithm,
                ours.size() > 34 ? (ours.substr(0, 31) + "...").c_str() : ours.c_str(),
                ours == expected ? "matches" : "DIFFERS from", source);
    if (ours != expected)
        std::printf("  %-8s %-34s expected\n", "", expected.c_str());
}

void CheckDigests(const EVP_MD* md5, const EVP_MD* md4, const EVP_MD* const sha[3],
                  const EVP_MD* const sha3[2], bool fileReady) {
    std::printf("Digest check on the 64 MiB buffer (informational):\n");
    PrintCheck("MD5", OursOnBuffer(DigestMD5), OpenSslOnBuffer(md5), "OpenSSL MD5");
    if (md4 != nullptr) {
        PrintCheck("MD4", OursOnBuffer(DigestMD4), OpenSslOnBuffer(md4), "OpenSSL MD4");
    }
    // Our CRC register starts at 0 and has no final XOR; zlib starts at
    // 0xFFFFFFFF and inverts at the end, so feeding zlib the inverted start
    // value and inverting its result gives our register.
    const uLong raw =
        ~crc32(0xFFFFFFFFul, g_buffer.data(), static_cast<uInt>(g_buffer.size())) & 0xFFFFFFFFul;
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08lx", static_cast<unsigned long>(raw));
    PrintCheck("CRC32", OursOnBuffer(DigestCRC32), expected, "zlib, init 0, no final xor");
    std::snprintf(expected, sizeof expected, "%08lx",
                  crc32(0, g_buffer.data(), static_cast<uInt>(g_buffer.size())) & 0xFFFFFFFFul);
    PrintCheck("ZipCRC32", OursOnBuffer(DigestZipCRC32), expected, "zlib crc32");
    const DigestKind shaKinds[3] = {DigestSHA1, DigestSHA256, DigestSHA512};
    const char* const shaNames[3] = {"SHA1", "SHA256", "SHA512"};
    for (int i = 0; i < 3; ++i)
        PrintCheck(shaNames[i], OursOnBuffer(shaKinds[i], kShaPieceBytes), OpenSslOnBuffer(sha[i]),
                   "OpenSSL");
    for (int i = 0; i < 2; ++i)
        if (sha3[i] != nullptr)
            PrintCheck(i == 0 ? "SHA3-256" : "SHA3-512",
                       OursOnBuffer(i == 0 ? DigestSHA3_256 : DigestSHA3_512, kShaPieceBytes),
                       OpenSslOnBuffer(sha3[i]), "OpenSSL");
    std::printf("  (MD2 has no reference here and is not checked)\n");
    if (fileReady) {
        const struct {
            const char* name;
            DigestKind kind;
            const char* command;
        } tools[] = {{"BLAKE3", DigestBLAKE3, "b3sum --num-threads 1"},
                     {"XXH3", DigestXXH3, "xxhsum -H3"},
                     {"XXH128", DigestXXH128, "xxhsum -H2"}};
        std::printf("On the 1 GiB file:\n");
        for (const auto& tool : tools)
            PrintCheck(tool.name, OursOnFile(tool.kind), DigestInToolOutput(ToolOutput(tool.command)),
                       tool.command);
    }
    std::printf("\n");
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------
// Summary

constexpr double kMB = 1e6;

const char* LevelName(VectorLevel level) {
    static const char* const names[] = {"portable", "SSE2", "SSE4.1", "AVX2", "AVX-512"};
    return names[static_cast<int>(level)];
}

std::string FormatRate(const SummaryReporter& results, const char* name) {
    const double best = results.Best(name);
    if (best <= 0.0) {
        const std::string error = results.Error(name);
        return error.empty() ? "n/a" : "failed";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", best / kMB);
    return text;
}

void PrintRatioRow(const SummaryReporter& results, const char* algorithm, const char* ours,
                   const char* anchorLabel, const char* anchor, double goal) {
    const std::string oursText = FormatRate(results, ours);
    const std::string anchorText = FormatRate(results, anchor);
    const double oursBest = results.Best(ours);
    const double anchorBest = results.Best(anchor);
    char ratioBest[16] = "n/a";
    char ratioMedian[16] = "n/a";
    const char* verdict = "not measured";
    if (oursBest > 0.0 && anchorBest > 0.0) {
        const double ratio = oursBest / anchorBest;
        std::snprintf(ratioBest, sizeof ratioBest, "%.3f", ratio);
        const double oursMedian = results.Median(ours);
        const double anchorMedian = results.Median(anchor);
        if (oursMedian > 0.0 && anchorMedian > 0.0) {
            std::snprintf(ratioMedian, sizeof ratioMedian, "%.3f", oursMedian / anchorMedian);
        }
        verdict = ratio >= goal ? "ok" : "below goal";
    }
    char goalText[16] = "-";
    if (goal > 0.0)
        std::snprintf(goalText, sizeof goalText, ">= %.2f", goal);
    else if (oursBest > 0.0 && anchorBest > 0.0)
        verdict = "(no goal)";
    std::printf("%-13s %12s   %-14s %12s %10s %10s %9s   %s\n", algorithm, oursText.c_str(), anchorLabel,
                anchorText.c_str(), ratioBest, ratioMedian, goalText, verdict);
}

void PrintSummary(const SummaryReporter& results, bool md4AnchorAvailable) {
    std::printf("\n");
    std::printf("Summary: 64 MiB buffer fed in 1024-byte pieces (the SHAs: 64 KiB pieces); MB/s with\n");
    std::printf("1 MB = 10^6 bytes; SHA extensions %s; SHA-512 %s;\n",
                CpuHasShaExtensions() ? "used for SHA-1 and SHA-256" : "not on this processor",
                !UseSha512Avx2()                          ? "portable"
                : UseVectorLevel() >= VectorLevel::Avx512 ? "with the AVX-512 VL schedule"
                                                          : "with the AVX2 schedule");
    std::printf("rates are the best repetition (highest throughput), ratio = ours / reference\n");
    std::printf("(best and median); the verdict uses the best-repetition ratio.\n\n");
    std::printf("%-13s %12s   %-14s %12s %10s %10s %9s   %s\n", "Algo", "ours MB/s", "reference", "ref MB/s",
                "ratio", "ratio(med)", "goal", "verdict");
    std::printf("%s\n", std::string(101, '-').c_str());
    PrintRatioRow(results, "MD5", kOursMD5, "OpenSSL MD5", kOpenSslMD5, 0.95);
    PrintRatioRow(results, "MD4", kOursMD4, "OpenSSL MD4", kOpenSslMD4, 0.95);
    PrintRatioRow(results, "CRC32", kOursCRC32, "zlib crc32", kZlibCRC32, 0.75);
    PrintRatioRow(results, "SHA-1", kOursSHA1, "OpenSSL SHA1", kOpenSslSHA1, 0.90);
    PrintRatioRow(results, "SHA-1 port.", kOursSHA1Portable, "OpenSSL SHA1", kOpenSslSHA1, 0.0);
    PrintRatioRow(results, "SHA-256", kOursSHA256, "OpenSSL SHA256", kOpenSslSHA256, 0.90);
    PrintRatioRow(results, "SHA-256 port.", kOursSHA256Portable, "OpenSSL SHA256", kOpenSslSHA256, 0.0);
    PrintRatioRow(results, "SHA-512", kOursSHA512, "OpenSSL SHA512", kOpenSslSHA512, 0.80);
    PrintRatioRow(results, "SHA-512 AVX2", kOursSHA512Avx2, "OpenSSL SHA512", kOpenSslSHA512, 0.0);
    PrintRatioRow(results, "SHA-512 port.", kOursSHA512Portable, "OpenSSL SHA512", kOpenSslSHA512, 0.0);
    PrintRatioRow(results, "SHA3-256", kOursSHA3_256, "OpenSSL SHA3", kOpenSslSHA3_256, 0.80);
    PrintRatioRow(results, "SHA3-512", kOursSHA3_512, "OpenSSL SHA3", kOpenSslSHA3_512, 0.0);
    PrintRatioRow(results, "BLAKE3 file", kOursBLAKE3File, "b3sum 1 thr.", kB3sum, 0.80);
    PrintRatioRow(results, "XXH3 file", kOursXXH3File, "xxhsum -H3", kXxhsumH3, 0.80);
    PrintRatioRow(results, "XXH128 file", kOursXXH128File, "xxhsum -H2", kXxhsumH2, 0.80);
    std::printf("%-13s %12s   %-14s\n", "MD2", FormatRate(results, kOursMD2).c_str(), "(none)");
    std::printf("%-13s %12s   %-14s\n", "BLAKE3", FormatRate(results, kOursBLAKE3).c_str(), "(buffer)");
    std::printf("%-13s %12s   %-14s\n", "XXH3", FormatRate(results, kOursXXH3).c_str(), "(buffer)");
    std::printf("%-13s %12s   %-14s\n", "XXH128", FormatRate(results, kOursXXH128).c_str(), "(buffer)");
    std::printf("\nThe file rows read the 1 GiB file from the page cache in 64 KiB pieces; the tools map\n"
                "or read it themselves; both in processor time. Vector level for BLAKE3, XXH3, SHA-3: %s.\n",
                LevelName(UseVectorLevel()));
    if (!md4AnchorAvailable) {
        std::printf("\nNote: the OpenSSL MD4 reference was skipped (legacy provider or MD4 "
                    "unavailable).\n");
    }
    const char* const names[] = {kOursMD5,          kOpenSslMD5,   kOursMD4,         kOpenSslMD4,
                                 kOursCRC32,        kZlibCRC32,    kOursMD2,         kOursSHA1,
                                 kOursSHA1Portable, kOpenSslSHA1,  kOursSHA256,      kOursSHA256Portable,
                                 kOpenSslSHA256,    kOursSHA512,   kOursSHA512Avx2,  kOursSHA512Portable,
                                 kOpenSslSHA512,    kOursSHA3_256, kOpenSslSHA3_256, kOursSHA3_512,
                                 kOpenSslSHA3_512,  kOursBLAKE3,   kOursXXH3,        kOursXXH128,
                                 kOursBLAKE3File,   kB3sum,        kOursXXH3File,    kXxhsumH3,
                                 kOursXXH128File,   kXxhsumH2};
    for (const char* name : names) {
        const std::string error = results.Error(name);
        if (!error.empty())
            std::printf("Note: %s failed: %s\n", name, error.c_str());
    }
    std::fflush(stdout);
}

benchmark::internal::Benchmark* Configure(benchmark::internal::Benchmark* b, int repetitions) {
    return b->Unit(benchmark::kMillisecond)
        ->MinTime(kMinTimeSeconds)
        ->Repetitions(repetitions)
        ->DisplayAggregatesOnly(false);
}

} // namespace

int main(int argc, char** argv) {
    g_buffer.resize(kBufferBytes);
    FillBuffer(g_buffer, kSeed);

    // Loading "legacy" explicitly stops OpenSSL from loading "default" on its
    // own, so both are loaded.
    OSSL_PROVIDER* defaultProvider = OSSL_PROVIDER_load(nullptr, "default");
    OSSL_PROVIDER* legacyProvider = OSSL_PROVIDER_load(nullptr, "legacy");
    if (legacyProvider == nullptr) {
        std::printf("Note: the OpenSSL legacy provider could not be loaded; the OpenSSL MD4 "
                    "reference is skipped.\n");
    }
    EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    EVP_MD* md4 = legacyProvider != nullptr ? EVP_MD_fetch(nullptr, "MD4", nullptr) : nullptr;
    if (legacyProvider != nullptr && md4 == nullptr) {
        std::printf("Note: OpenSSL could not fetch MD4; the OpenSSL MD4 reference is "
                    "skipped.\n");
    }
    ERR_clear_error();
    const EVP_MD* md5ForBench = md5 != nullptr ? md5 : EVP_md5();

    // Repetitions of all cases run in random interleaved order, so a busy
    // spell on the machine is spread over every case rather than hitting one
    // side of a ratio. Given first, so --benchmark_enable_random_interleaving=
    // false on the command line still wins.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + (argc > 0 ? 1 : 0), interleave);
    arguments.push_back(nullptr);
    int argumentCount = static_cast<int>(arguments.size()) - 1;
    benchmark::Initialize(&argumentCount, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(argumentCount, arguments.data()))
        return 1;

    EVP_MD* sha[3] = {EVP_MD_fetch(nullptr, "SHA1", nullptr), EVP_MD_fetch(nullptr, "SHA256", nullptr),
                      EVP_MD_fetch(nullptr, "SHA512", nullptr)};
    EVP_MD* sha3[2] = {EVP_MD_fetch(nullptr, "SHA3-256", nullptr),
                       EVP_MD_fetch(nullptr, "SHA3-512", nullptr)};
    const bool fileReady = MakeFile();
    if (!fileReady)
        std::printf("Note: the 1 GiB file %s could not be written; the file rows are skipped.\n",
                    g_filePath.c_str());
    CheckDigests(md5ForBench, md4, sha, sha3, fileReady);

    // Registration order; the run order is interleaved (see above).
    const auto ours = [](const char* name, DigestKind kind, uint32_t pieceBytes, ShaPath path,
                         int repetitions) {
        Configure(benchmark::RegisterBenchmark(name, BM_Ours, kind, pieceBytes, path), repetitions);
    };
    const auto openSsl = [](const char* name, const EVP_MD* md, uint32_t pieceBytes) {
        Configure(benchmark::RegisterBenchmark(name, BM_OpenSsl, md, pieceBytes), kRepetitions);
    };
    ours(kOursMD5, DigestMD5, kPieceBytes, ShaPath::Fastest, kRepetitions);
    openSsl(kOpenSslMD5, md5ForBench, kPieceBytes);
    ours(kOursMD4, DigestMD4, kPieceBytes, ShaPath::Fastest, kRepetitions);
    if (md4 != nullptr)
        openSsl(kOpenSslMD4, md4, kPieceBytes);
    ours(kOursCRC32, DigestCRC32, kPieceBytes, ShaPath::Fastest, kRepetitions);
    Configure(benchmark::RegisterBenchmark(kZlibCRC32, BM_ZlibCrc32), kRepetitions);
    ours(kOursMD2, DigestMD2, kPieceBytes, ShaPath::Fastest, kRepetitionsMD2);
    ours(kOursSHA1, DigestSHA1, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    ours(kOursSHA1Portable, DigestSHA1, kShaPieceBytes, ShaPath::Portable, kRepetitions);
    ours(kOursSHA256, DigestSHA256, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    ours(kOursSHA256Portable, DigestSHA256, kShaPieceBytes, ShaPath::Portable, kRepetitions);
    ours(kOursSHA512, DigestSHA512, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    if (CpuVectorLevel() > VectorLevel::Avx2)
        ours(kOursSHA512Avx2, DigestSHA512, kShaPieceBytes, ShaPath::Avx2, kRepetitions);
    ours(kOursSHA512Portable, DigestSHA512, kShaPieceBytes, ShaPath::Portable, kRepetitions);
    if (sha[0] != nullptr && sha[1] != nullptr && sha[2] != nullptr) {
        openSsl(kOpenSslSHA1, sha[0], kShaPieceBytes);
        openSsl(kOpenSslSHA256, sha[1], kShaPieceBytes);
        openSsl(kOpenSslSHA512, sha[2], kShaPieceBytes);
    }
    ours(kOursSHA3_256, DigestSHA3_256, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    ours(kOursSHA3_512, DigestSHA3_512, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    if (sha3[0] != nullptr && sha3[1] != nullptr) {
        openSsl(kOpenSslSHA3_256, sha3[0], kShaPieceBytes);
        openSsl(kOpenSslSHA3_512, sha3[1], kShaPieceBytes);
    }
    ours(kOursBLAKE3, DigestBLAKE3, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    ours(kOursXXH3, DigestXXH3, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    ours(kOursXXH128, DigestXXH128, kShaPieceBytes, ShaPath::Fastest, kRepetitions);
    if (fileReady) {
        // Whole runs over the file in processor time: ours the process's, the tools' their own.
        const auto file = [](const char* name, DigestKind kind) {
            Configure(benchmark::RegisterBenchmark(name, BM_OursFile, kind), kRepetitions);
        };
        const auto tool = [](const char* name, const char* command) {
            Configure(benchmark::RegisterBenchmark(name, BM_Tool, command), kRepetitions)->UseManualTime();
        };
        file(kOursBLAKE3File, DigestBLAKE3);
        tool(kB3sum, "b3sum --num-threads 1");
        file(kOursXXH3File, DigestXXH3);
        tool(kXxhsumH3, "xxhsum -H3");
        file(kOursXXH128File, DigestXXH128);
        tool(kXxhsumH2, "xxhsum -H2");
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, md4 != nullptr);

    benchmark::Shutdown();
    for (EVP_MD* md : sha)
        EVP_MD_free(md);
    for (EVP_MD* md : sha3)
        EVP_MD_free(md);
    EVP_MD_free(md4);
    EVP_MD_free(md5);
    if (legacyProvider != nullptr)
        OSSL_PROVIDER_unload(legacyProvider);
    if (defaultProvider != nullptr)
        OSSL_PROVIDER_unload(defaultProvider);
    return 0;
}
