// CPUID for the SHA extensions, and the switch that lets tests force the portable path.
#include "engine/cpu_features.h"

#include <atomic>
#include <cstdint>

#if DIGESTOR_SHA_X86
#ifdef _MSC_VER
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace {

// Read by every digestor the console's workers create, written only by tests.
std::atomic<bool> PortableForced{false};

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

bool ReadShaExtensions() {
    if (Cpuid(0, 0).eax < 7) // leaf 7 not there
        return false;
    const bool sse41 = (Cpuid(1, 0).ecx >> 19) & 1; // the SHA code also uses SSSE3's byte shuffle
    const bool sha = (Cpuid(7, 0).ebx >> 29) & 1;
    return sse41 && sha;
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
