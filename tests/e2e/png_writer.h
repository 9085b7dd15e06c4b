// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, the image data as a zlib
// stream of uncompressed ("stored") deflate blocks.  Large files, but readable by every viewer
// and free of any compression library.
#pragma once

#include <stdint.h>

#include <vector>

// rgb holds height rows of width pixels, top row first, three bytes (red, green, blue) each.
std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgb);

// Writes EncodePng's result to path; false when the file cannot be written completely.
bool WritePngFile(const char* path, int width, int height, const uint8_t* rgb);
