// Reading lists in every form a check reads.
#include <gtest/gtest.h>

#include "base/digest_in_text.h"
#include "base/list_reading.h"
#include "base/sum_line.h"

namespace {

const std::string Abc = "900150983cd24fb0d6963f7d28e17f72"; // MD5 of "abc", RFC 1321
const std::string Rule = std::string(80, '-') + "\r\n";

std::string Heading(const char* text) { return Rule + std::string(17, ' ') + text + "\r\n" + Rule + "\r\n"; }

// The entries as "kind|digest|path" lines, the kind "-" for entries not checked and followed by "*"
// where the digest's length alone told it and other kinds share that length.
std::string Read(const std::string& text, const std::string& listPath = std::string()) {
    std::string shown;
    for (const ListEntry& e : ReadListText(text, listPath)) {
        shown +=
            (e.isResult ? std::to_string(e.algorithm) + (e.byLength ? "*|" : "|") + e.digest + "|" : "-|") +
            e.path + "\n";
    }
    return shown;
}

TEST(ReadListText, TakesResultLinesOfEveryFormAndSkipsTheHeadingInEitherLanguage) {
    EXPECT_EQ(Read(Heading("Digestor v3 - List of checksums") + Abc + " <- MD5 -> C:\\a b.txt\r\n\r\n" + Abc +
                   " <- md2 -> a\r\n"),
              "2|" + Abc + "|C:\\a b.txt\n0|" + Abc + "|a\n");
    EXPECT_EQ(Read(Heading("Digestor v3 - Liste der Pr\374fsummen") + "CA6598D0 <- CRC32 -> x -> y\r\n"),
              "3|ca6598d0|x -> y\n");
    EXPECT_EQ(Read(Abc + "  sub/a.txt\n900150983CD24FB0D6963F7D28E17F72 *\xE9 & 100%.bin\n"),
              "2*|" + Abc + "|sub/a.txt\n2*|" + Abc + "|\xE9 & 100%.bin\n");
    // Paths not digested, failure lines, digests of the wrong length or algorithm, no path, a
    // control character in the path (a NUL byte would cut it to another file's name).
    for (const std::string& line : std::vector<std::string>{
             "C:\\a.txt", "(cannot open) <- MD5 -> C:\\a.txt", "ca6598d0 <- MD5 -> a", Abc + " <- CRC32 -> a",
             Abc + " <- SHA1 -> a", Abc + " a", Abc + " <- MD4 -> ", Rule.substr(0, 80),
             Abc + " <- MD5 -> a" + std::string(1, '\0') + ".txt", Abc + "  a\tb", Abc + " *a\x1b",
             Abc + "  a\x7f"}) {
        EXPECT_EQ(Read(line + "\r\n" + line + "\r\n"), "-|" + line + "\n-|" + line + "\n");
    }
}

// The published "abc" digests of FIPS 180-4, and the zip CRC of "abc".
const std::string Sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string Sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string Sha512 = "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                           "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f";

TEST(ReadListText, TakesTheSumFilesBsdTagsAndSfvFilesOfOtherTools) {
    const std::string cases[][2] = {
        // sha1sum, sha256sum, sha512sum (binary mode too), the algorithm told by the length
        {Sha1 + "  a.txt", "4|" + Sha1 + "|a.txt"},
        {Sha256 + " *b c.iso", "5*|" + Sha256 + "|b c.iso"},
        {Sha512 + "  d", "6*|" + Sha512 + "|d"},
        // an escaped name; one that holds a line end is not checked
        {"\\" + Sha256 + "  dir\\\\x", "5*|" + Sha256 + "|dir\\x"},
        {"\\" + Sha256 + "  a\\nb", "-|\\" + Sha256 + "  a\\nb"},
        // sha256sum --tag and the BSD tools; SHA384 and MD2 are not theirs here
        {"SHA256 (x (1).txt) = " + Sha256, "5|" + Sha256 + "|x (1).txt"},
        {"MD5 (a) = " + Abc, "2|" + Abc + "|a"},
        {"SHA384 (a) = " + Sha512.substr(0, 96), "-|SHA384 (a) = " + Sha512.substr(0, 96)},
        {"MD2 (a) = " + Abc, "-|MD2 (a) = " + Abc},
        {"SHA1 (a)" + Sha1, "-|SHA1 (a)" + Sha1},
        {"\\SHA256 (p\\\\q\\nr) = " + Sha256, "-|\\SHA256 (p\\\\q\\nr) = " + Sha256},
        {"\\SHA256 (p\\\\q) = " + Sha256, "5|" + Sha256 + "|p\\q"},
        {"\\SHA256 (p\\q) = " + Sha256, "-|\\SHA256 (p\\q) = " + Sha256},
        // openssl dgst, with the names of OpenSSL 1.1 and 3.0; those the program lacks are not checked
        {"SHA2-256(x (1).txt)= " + Sha256, "5|" + Sha256 + "|x (1).txt"},
        {"SHA256(b)= " + Sha256, "5|" + Sha256 + "|b"},
        {"SHA2-512(d)= " + Sha512, "6|" + Sha512 + "|d"},
        {"SHA1(a)= " + Sha1, "4|" + Sha1 + "|a"},
        {"MD5(a (2))= " + Abc, "2|" + Abc + "|a (2)"},
        {"BLAKE2B-512(a)= " + Sha512, "-|BLAKE2B-512(a)= " + Sha512},
        {"SHA2-512/256(a)= " + Sha256, "-|SHA2-512/256(a)= " + Sha256},
        {"MD2(a)= " + Abc, "-|MD2(a)= " + Abc},
        {"(a)= " + Abc, "-|(a)= " + Abc},
        {"MD5()= " + Abc, "-|MD5()= " + Abc},
        // SFV, with the zip CRC; a line without one
        {"sub\\file.bin 352441C2", "7|352441c2|sub\\file.bin"},
        {"file.bin", "-|file.bin"},
        {Sha1.substr(0, 30) + "  a", "-|" + Sha1.substr(0, 30) + "  a"},
        {Sha256.substr(0, 63) + "g  a", "-|" + Sha256.substr(0, 63) + "g  a"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Read("\xEF\xBB\xBF; made by a tool\n" + c[0] + "\n"), c[1] + "\n") << c[0];
    }
    // Bad input: a line of a megabyte without a line end, binary bytes: read, never checked.
    const std::string binary("\x7f"
                             "ELF\x02\x01\x01\0\0\0\n\xff\xfe\r\n",
                             16);
    for (const std::string& text : {std::string(1 << 20, 'a'), binary, std::string()})
        for (const ListEntry& e : ReadListText(text))
            EXPECT_FALSE(e.isResult) << e.path.substr(0, 20);
    // Under Digestor's heading only its own lines count: a path ending in eight hex digits stays a path.
    EXPECT_EQ(Read(Heading("Digestor v3 - List of checksums") + "C:\\IMG 20230101\r\n"),
              "-|C:\\IMG 20230101\n");
}

// The "abc" digests of b3sum 1.2, xxhsum 0.8.1 (-H3, -H2) and Python's hashlib (SHA-3).
const std::string Sha3_256 = "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532";
const std::string Sha3_512 = "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e"
                             "10e116e9192af3c91a7ec57647e3934057340b4cf408d5a56592f8274eec53f0";
const std::string Blake3 = "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85";
const std::string Xxh3 = "78af5f94892f3950", Xxh128 = "06b05ab6733a618578af5f94892f3950";

// A line's algorithm: its tag, else the list's name, else its length.
TEST(ReadListText, TellsTheNewerKindsByTagThenListNameThenLength) {
    const std::string cases[][3] = {
        // tags as xxhsum --tag and the BSD tools write them, openssl dgst's; a tag beats the name
        {"", "XXH3 (f) = " + Xxh3, "11|" + Xxh3 + "|f"},
        {"", "XXH128 (f) = " + Xxh128, "12|" + Xxh128 + "|f"},
        {"", "SHA3-256 (f) = " + Sha3_256, "8|" + Sha3_256 + "|f"},
        {"", "SHA3-512 (f) = " + Sha3_512, "9|" + Sha3_512 + "|f"},
        {"l.sha256", "BLAKE3 (f) = " + Blake3, "10|" + Blake3 + "|f"},
        {"", "SHA3-256(f)= " + Sha3_256, "8|" + Sha3_256 + "|f"},
        // xxhsum's lines; 16 digits are XXH3's alone
        {"", "XXH3_" + Xxh3 + "  f", "11|" + Xxh3 + "|f"},
        {"", Xxh3 + "  f", "11|" + Xxh3 + "|f"},
        // by length alone, the kind such lines most often mean, and others to try
        {"", Xxh128 + "  f", "2*|" + Xxh128 + "|f"},
        {"sums.txt", Blake3 + "  f", "5*|" + Blake3 + "|f"},
        {"", Sha3_512 + "  f", "6*|" + Sha3_512 + "|f"},
        // the list's extension or name, in any case
        {"C:\\l.blake3", Blake3 + "  f", "10|" + Blake3 + "|f"},
        {"d/l.B3", Blake3 + "  f", "10|" + Blake3 + "|f"},
        {"d\\B3SUMS", Blake3 + "  f", "10|" + Blake3 + "|f"},
        {"SHA3-256SUMS.txt", Sha3_256 + "  f", "8|" + Sha3_256 + "|f"},
        {"l.sha3", Sha3_256 + "  f", "8|" + Sha3_256 + "|f"},
        {"l.sha3", Sha3_512 + "  f", "9|" + Sha3_512 + "|f"},
        {"l.SHA3-512", Sha3_512 + "  f", "9|" + Sha3_512 + "|f"},
        {"l.xxh128", Xxh128 + "  f", "12|" + Xxh128 + "|f"},
        {"l.xxh3", Xxh3 + "  f", "11|" + Xxh3 + "|f"},
        {"l.sha256", Sha256 + "  f", "5|" + Sha256 + "|f"},
        {"MD5SUMS", Abc + "  f", "2|" + Abc + "|f"},
        // an older list's name with a line of another length: the length tells, as it always did
        {"l.md5", Sha256 + "  f", "5*|" + Sha256 + "|f"},
        // bad input: a newer kind's list with a line of another length, a tag with a digest of the
        // wrong length, xxhsum's little-endian tag
        {"l.blake3", Sha512 + "  f", "-|" + Sha512 + "  f"},
        {"l.xxh3", Xxh128 + "  f", "-|" + Xxh128 + "  f"},
        {"l.sha3", Abc + "  f", "-|" + Abc + "  f"},
        {"", "BLAKE3 (f) = " + Sha512, "-|BLAKE3 (f) = " + Sha512},
        {"", "XXH3 (f) = " + Xxh128, "-|XXH3 (f) = " + Xxh128},
        {"", "XXH3_LE (f) = " + Xxh3, "-|XXH3_LE (f) = " + Xxh3}};
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c[1] + "\n", c[0]), c[2] + "\n") << c[0] << ": " << c[1];
    }
}

// The lines sha256sum and sha256sum --tag wrote for these names (coreutils 9.1), read back as the names.
TEST(SumLine, WritesWhatSha256sumWritesAndReadsItBack) {
    const std::string cases[][3] = {{"a b.iso", Sha256 + "  a b.iso", "SHA256 (a b.iso) = " + Sha256},
                                    {"p\\q", "\\" + Sha256 + "  p\\\\q", "\\SHA256 (p\\\\q) = " + Sha256},
                                    {"n\nl", "\\" + Sha256 + "  n\\nl", "\\SHA256 (n\\nl) = " + Sha256},
                                    {"c\rd", "\\" + Sha256 + "  c\\rd", "\\SHA256 (c\\rd) = " + Sha256}};
    for (const auto& c : cases) {
        EXPECT_EQ(SumLine(Sha256, c[0]), c[1]);
        EXPECT_EQ(TagLine(DigestSHA256, Sha256, c[0]), c[2]);
        std::string name;
        EXPECT_TRUE(UnescapeName(c[1].substr(c[1].find("  ") + 2), name) && name == c[0]) << c[0];
    }
    // A name without a control character reads back from either line, with its algorithm.
    const std::pair<std::string, DigestKind> written[] = {{SumLine(Sha512, "dir/x\\y"), DigestSHA512},
                                                          {TagLine(DigestMD4, Abc, "dir/x\\y"), DigestMD4}};
    for (const auto& w : written) {
        const std::vector<ListEntry> read = ReadListText(w.first + "\r\n");
        ASSERT_EQ(read.size(), 1u);
        EXPECT_TRUE(read[0].isResult && read[0].path == "dir/x\\y" && read[0].algorithm == w.second)
            << w.first;
    }
    // What each form names, by DigestKind: *sum lines hold every kind but MD2, MD4 and the CRCs; no tag
    // names MD2 or a CRC.
    for (DigestKind kind = DigestMD2; kind <= DigestXXH128; ++kind) {
        EXPECT_EQ(SumLineTells(kind),
                  kind != DigestMD2 && kind != DigestMD4 && kind != DigestCRC32 && kind != DigestZipCRC32)
            << kind;
        EXPECT_EQ(TagLineNames(kind), kind != DigestMD2 && kind != DigestCRC32 && kind != DigestZipCRC32);
    }
}

TEST(FindAlgorithm, TakesTheNamesOfEveryToolInAnyCase) {
    const std::pair<const char*, DigestKind> cases[] = {{"sha-256", DigestSHA256},
                                                        {"SHA2-256", DigestSHA256},
                                                        {"sha2-512", DigestSHA512},
                                                        {"Md5", DigestMD5},
                                                        {"crc32", DigestCRC32},
                                                        {"sha3-256", DigestSHA3_256},
                                                        {"SHA3_512", DigestSHA3_512},
                                                        {"Sha3256", DigestSHA3_256},
                                                        {"blake3", DigestBLAKE3},
                                                        {"xxh-128", DigestXXH128},
                                                        {"XXH3", DigestXXH3},
                                                        {"b3", -1},
                                                        {"CRC32 (zip)", -1},
                                                        {"SHA2256", -1},
                                                        {"SHA-384", -1},
                                                        {"SHA2-", -1},
                                                        {"", -1}};
    for (const auto& c : cases) {
        DigestKind kind = -1;
        EXPECT_EQ(FindAlgorithm(c.first, kind) ? kind : -1, c.second) << c.first;
    }
}

TEST(FindDigestInText, TakesTheFirstRunOfHexOfADigestsLength) {
    const std::string cases[][2] = {
        {"SHA256: BA78 16BF 8F01 CFEA 4141 40DE 5DAE 2223 B003 61A3 9617 7A9C B410 FF61 F200 15AD\r\n",
         Sha256},
        {Abc + "  12345678.txt", Abc}, // an md5sum line: two spaces end the run
        {"SFV 352441C2, MD5 (a) = " + Abc, "352441c2"},
        {"XXH3 (f) = " + Xxh3, ""},                               // as long as half an MD5: no digest here
        {"abc " + Abc.substr(0, 10) + " " + Abc.substr(10), Abc}, // no run from "abc" makes a digest
        {"x:\n" + Sha512.substr(0, 64) + " " + Sha512.substr(64) + " ab", Sha512},
        {"0x" + Abc + " SHA1" + Sha1 + " " + Abc + "0 " + Sha512 + "0\n" + Sha1.substr(1), ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(FindDigestInText(c[0]), c[1]) << c[0];
    }
}

} // namespace
