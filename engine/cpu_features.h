// Which compression the SHA digestors take: the x86 SHA extensions where the processor has them,
// the portable code everywhere else.
#pragma once

// Set on x86-64 targets, where engine/sha_x86.cpp holds the SHA-extension compression.
#if defined(__x86_64__) || defined(_M_X64)
#define DIGESTOR_SHA_X86 1
#else
#define DIGESTOR_SHA_X86 0
#endif

// True when the processor has the SHA extensions and SSE4.1 (CPUID leaf 7 EBX bit 29, leaf 1 ECX
// bit 19); asked once. Always false where this build has no SHA-extension code.
bool CpuHasShaExtensions();

// SHA-1 and SHA-256 digestors created while this is set use the portable compression even on a
// processor with SHA extensions, so tests run both paths on one machine. Digestors already made keep
// the path they took.
void ForcePortableSha(bool portable);

// The path a SHA digestor created now takes.
bool UseShaExtensions();
