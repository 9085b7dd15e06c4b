// The screenshot encoder, read back by an independent reader (bit-wise CRC, own inflate of
// stored blocks) and checked against constants of the PNG format.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/e2e/png_reader.h"
#include "tests/e2e/png_writer.h"

namespace {

std::vector<uint8_t> Pattern(int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return rgb;
}

void ExpectRoundTrip(int width, int height) {
    std::vector<uint8_t> rgb = Pattern(width, height);
    PngPicture picture;
    std::string error;
    ASSERT_TRUE(ReadStoredPng(EncodePng(width, height, rgb.data()), picture, error)) << error;
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    EXPECT_TRUE(picture.rgb == rgb);
}

TEST(PngWriter, OnePixel) { ExpectRoundTrip(1, 1); }

TEST(PngWriter, RowsOfOddWidth) { ExpectRoundTrip(3, 5); }

TEST(PngWriter, ImageDataAcrossSeveralStoredBlocks) {
    // 200 x 150 pixels are 90,150 bytes of rows: two stored blocks (at most 65,535 bytes each).
    ExpectRoundTrip(200, 150);
}

TEST(PngWriter, ImageDataOfExactlyOneFullBlock) {
    // 5 rows of 1 + 3 * 4369 bytes: 65,535 bytes, one full block and nothing after it.
    ExpectRoundTrip(4369, 5);
}

TEST(PngWriter, FileStartsWithSignatureAndHeaderAndEndsWithTheStandardIend) {
    std::vector<uint8_t> rgb = Pattern(640, 480);
    std::vector<uint8_t> png = EncodePng(640, 480, rgb.data());
    ASSERT_GT(png.size(), 33u + 12u);
    const uint8_t start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', // signature
                             0,    0,   0,   13,  'I',  'H',  'D',  'R',  // header chunk
                             0,    0,   2,   128, 0,    0,    1,    224,  // 640 x 480
                             8,    2,   0,   0,   0};                     // 8-bit RGB
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + sizeof(start)),
              std::vector<uint8_t>(start, start + sizeof(start)));
    // Every PNG ends with these twelve bytes: the empty IEND chunk and its CRC.
    const uint8_t end[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(std::vector<uint8_t>(png.end() - sizeof(end), png.end()),
              std::vector<uint8_t>(end, end + sizeof(end)));
}

TEST(PngReader, RefusesADamagedFile) {
    std::vector<uint8_t> rgb = Pattern(4, 4);
    std::vector<uint8_t> png = EncodePng(4, 4, rgb.data());
    png[png.size() / 2] ^= 0x01;
    PngPicture picture;
    std::string error;
    EXPECT_FALSE(ReadStoredPng(png, picture, error));
    EXPECT_NE(error, "");
}

} // namespace
