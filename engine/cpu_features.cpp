// CPUID for the SHA extensions and the vector units, and the switches that let tests force the
// portable paths.
#include "engine/cpu_features.h"

#include <atomic>
#include <cstdint>

#if DIGESTOR_SHA_X86
#ifdef _MSC_VER
#include <immintrin.h>
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace {

// Read by every digestor the console's workers create, written only by tests.
std::atomic<bool> PortableForced{false};
std::atomic<VectorLevel> VectorLimit{VectorLevel::Avx512};
std::atomic<VectorLevel> Pretended{VectorLevel::Avx512};
std::atomic<unsigned> PathCounts[int(PathUser::Count)][int(CodePath::Count)];

#if DIGESTOR_SHA_X86
struct CpuidResult {
    uint32_t eax, ebx, ecx, edx;
};

CpuidResult Cpuid(uint32_t leaf, uint32_t subleaf) {
#ifdef _MSC_VER
    int r[4];
    __cpuidex(r, int(leaf), int(subleaf));
    return {uint32_t(r[0]), uint32_t(r[1]), uint32_t(r[2]), uint32_t(r[3])};
#else
    unsigned a, b, c, d;
    __cpuid_count(leaf, subleaf, a, b, c, d);
    return {a, b, c, d};
#endif
}

// XCR0: which register states the system saves on a thread switch. Only asked once OSXSAVE is seen.
uint64_t ExtendedControlRegister0() {
#ifdef _MSC_VER
    return _xgetbv(0);
#else
    uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (uint64_t(high) << 32) | low;
#endif
}

bool ReadShaExtensions() {
    if (Cpuid(0, 0).eax < 7) // leaf 7 not there
        return false;
    const bool sse41 = (Cpuid(1, 0).ecx >> 19) & 1; // the SHA code also uses SSSE3's byte shuffle
    const bool sha = (Cpuid(7, 0).ebx >> 29) & 1;
    return sse41 && sha;
}

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1; }

VectorLevel ReadVectorLevel() {
    const uint32_t maxLeaf = Cpuid(0, 0).eax;
    const CpuidResult one = Cpuid(1, 0);
    // SSE2 is part of x86-64; SSE4.1 is leaf 1 ECX bit 19 (SSSE3, bit 9, comes with it).
    if (!Bit(one.ecx, 19) || !Bit(one.ecx, 9))
        return VectorLevel::Sse2;
    // AVX2 needs OSXSAVE (ECX bit 27) and the system saving the XMM and YMM halves (XCR0 bits 1, 2).
    if (maxLeaf < 7 || !Bit(one.ecx, 27) || (ExtendedControlRegister0() & 0x06) != 0x06)
        return VectorLevel::Sse41;
    const CpuidResult seven = Cpuid(7, 0);
    if (!Bit(seven.ebx, 5) || !Bit(seven.ebx, 3) || !Bit(seven.ebx, 8)) // AVX2, BMI1, BMI2
        return VectorLevel::Sse41;
    // AVX-512 F (EBX bit 16) and VL (bit 31), with the opmask and upper ZMM states saved (XCR0 5..7).
    if (!Bit(seven.ebx, 16) || !Bit(seven.ebx, 31) || (ExtendedControlRegister0() & 0xE0) != 0xE0)
        return VectorLevel::Avx2;
    return VectorLevel::Avx512;
}
#endif

} // namespace

bool CpuHasShaExtensions() {
#if DIGESTOR_SHA_X86
    static const bool has = ReadShaExtensions();
    return has;
#else
    return false;
#endif
}

void ForcePortableSha(bool portable) { PortableForced = portable; }

bool UseShaExtensions() { return !PortableForced && CpuHasShaExtensions(); }

VectorLevel CpuVectorLevel() {
#if DIGESTOR_SHA_X86
    static const VectorLevel level = ReadVectorLevel();
    const VectorLevel pretended = Pretended;
    return level < pretended ? level : pretended;
#else
    return VectorLevel::Portable;
#endif
}

void LimitVectorLevel(VectorLevel limit) { VectorLimit = limit; }

VectorLevel UseVectorLevel() {
    const VectorLevel cpu = CpuVectorLevel(), limit = VectorLimit;
    return cpu < limit ? cpu : limit;
}

bool UseSha512Avx2() { return !PortableForced && UseVectorLevel() >= VectorLevel::Avx2; }

void CountCodePath(PathUser user, CodePath path) {
    PathCounts[int(user)][int(path)].fetch_add(1, std::memory_order_relaxed);
}

unsigned CodePathCount(PathUser user, CodePath path) { return PathCounts[int(user)][int(path)]; }

void PretendVectorLevel(VectorLevel level) { Pretended = level; }
