// Reading back the PNG files that digestor_drive writes: 8-bit RGB, unfiltered rows, image data
// in stored deflate blocks.  It checks every CRC, the zlib header and the Adler-32, and refuses
// anything else, so a test learns exactly what is wrong with a file.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top first, three bytes per pixel
};

// Fills picture from the bytes of a PNG file; on failure returns false and says why in error.
bool ReadStoredPng(const std::vector<uint8_t>& file, PngPicture& picture, std::string& error);

// The whole content of a file; empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
