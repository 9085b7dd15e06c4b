// The algorithms' names, and the kinds the algorithm boxes offer. Standard C++
// only, so the portable list reading shares them.
#pragma once

#include <stddef.h>

#include "engine/digestor.h"

// The last kind the engine makes: arrays indexed by kind have KindCount places.
const DigestKind LastDigestKind = DigestXXH128;
const size_t KindCount = static_cast<size_t>(LastDigestKind) + 1;

// The kinds every algorithm box offers, in box order: a box's selection is an
// index into this table, never a DigestKind itself. The zip CRC of SFV files
// is read by checks only, and no box offers it.
extern const DigestKind BoxKinds[12];
const size_t BoxKindCount = sizeof(BoxKinds) / sizeof(BoxKinds[0]);

// The place of kind in BoxKinds; -1 for a kind no box offers.
int BoxPosition(DigestKind kind);

// The name of any kind, as result lines, tags and boxes carry it: "SHA256",
// "SHA3-256", "BLAKE3", ..., and "CRC32 (zip)" for the zip CRC of SFV files.
// MD5 for a value that is no kind, as the engine makes MD5 for it.
const char* KindName(DigestKind kind);
