// Which code the digestors take: the x86 SHA extensions and vector units where the processor has them,
// the portable code everywhere else.
#pragma once

// Set on x86-64 targets, where engine/*_x86.cpp and engine/*_sse41/avx2/avx512.cpp hold the
// processor-specific paths.
#if defined(__x86_64__) || defined(_M_X64)
#define DIGESTOR_SHA_X86 1
#else
#define DIGESTOR_SHA_X86 0
#endif

// True when the processor has the SHA extensions and SSE4.1 (CPUID leaf 7 EBX bit 29, leaf 1 ECX
// bit 19); asked once. Always false where this build has no SHA-extension code.
bool CpuHasShaExtensions();

// SHA digestors created while this is set use the portable code even on a processor with SHA
// extensions or AVX2 (SHA-512's message schedule), so tests run both paths on one machine. Digestors
// already made keep the path they took.
void ForcePortableSha(bool portable);

// The path a SHA-1 or SHA-256 digestor created now takes.
bool UseShaExtensions();

// The widest vector unit the BLAKE3, XXH3, SHA-512 and SHA-3 code may use, in rising order: each level
// includes those below it. Avx2 also means BMI1 and BMI2 (SHA-3's chi with andn, the SHA-512 rounds
// rotating with rorx); Avx512 means AVX-512 F and VL. A level counts only where the system saves its
// registers (XGETBV).
enum class VectorLevel { Portable, Sse2, Sse41, Avx2, Avx512 };

// The processor's level, asked once; Portable where this build has no vector code.
VectorLevel CpuVectorLevel();

// Digestors created while a limit is set use no vector unit above it, so tests run every path on one
// machine and compare it with the portable one. Digestors already made keep the path they took.
void LimitVectorLevel(VectorLevel limit);

// The level a digestor created now takes: the processor's, within the limit.
VectorLevel UseVectorLevel();

// The path a SHA-512 digestor created now takes: the message schedule in vector registers (AVX2, or
// AVX-512 VL's where the level allows) unless the portable SHA code is forced or the vector level is
// limited below Avx2.
bool UseSha512Avx2();

// The paths of the digestors that have several, and the digestors that have them.
enum class CodePath { Portable, Sse2, Sse41, Avx2, Avx512, ShaExtensions, Count };
enum class PathUser { Sha1, Sha256, Sha512, Sha3, Blake3, Xxh3, Count };

// Each digestor with several paths counts the one it takes when it is made: the digests are the same
// on every path, so only the counts show a test which one a processor and a limit gave.
void CountCodePath(PathUser user, CodePath path);
unsigned CodePathCount(PathUser user, CodePath path);

// Counts path for user and hands back code, the code of that path: `return Chosen(user, path, code);`.
template <typename Code> Code Chosen(PathUser user, CodePath path, Code code) {
    CountCodePath(user, path);
    return code;
}

// Tests take the processor for one without the vector units above level (one without AVX-512, or
// without AVX2), so that the choice's regard for the processor is seen apart from the limit's.
void PretendVectorLevel(VectorLevel level);
