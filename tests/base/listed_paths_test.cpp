// The paths of a recorded list as its search for new files holds them: told apart as Windows tells
// names apart, ASCII letters without regard to case and every other byte as written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/listed_paths.h"

namespace {

// Paths added as the list's, then paths the search finds and whether each is new.
struct ListedCase {
    const char* name;
    std::vector<std::string> listed;
    std::vector<std::pair<std::string, bool>> found;
} const Cases[] = {
    {"ASCII case folded",
     {"C:\\Photos\\IMG_01.JPG", "c:\\photos\\img_01.jpg"},
     {{"c:\\PHOTOS\\img_01.Jpg", false},
      {"C:\\Photos\\IMG_02.JPG", true},
      {"c:\\photos\\img_02.jpg", false}}},
    {"one byte apart, first, middle, last",
     {"C:\\data\\file1"},
     {{"D:\\data\\file1", true},
      {"C:\\daTa\\file1", false},
      {"C:\\dbta\\file1", true},
      {"C:\\data\\file2", true},
      {"C:\\data\\file", true},
      {"C:\\data\\file10", true},
      {"C:\\data\\file1", false}}},
    {"only A-Z fold: @[\\]^_ are not `{|}~ nor DEL",
     {"C:\\@[]^_"},
     {{"C:\\`{}~\x7f", true}, {"C:\\`[]^_", true}, {"C:\\@{]^_", true}, {"c:\\@[]^_", false}}},
    {"non-ASCII letters as written (UTF-8 \xc3\x84/\xc3\xa4, \xc3\x89/\xc3\xa9, \xd0\x96/\xd0\xb6)",
     {"C:\\\xc3\x84rger.TXT", "C:\\Caf\xc3\xa9\\\xd0\x96.txt"},
     {{"c:\\\xc3\x84RGER.txt", false},
      {"C:\\\xc3\xa4rger.TXT", true},
      {"C:\\CAF\xc3\xa9\\\xd0\x96.TXT", false},
      {"C:\\Caf\xc3\x89\\\xd0\x96.txt", true},
      {"C:\\Caf\xc3\xa9\\\xd0\xb6.txt", true}}},
    {"listed after a search began", {}, {{"C:\\a", true}, {"C:\\A", false}}},
};

TEST(ListedPaths, TellsPathsApartAsWindowsComparesNames) {
    for (const ListedCase& c : Cases) {
        ListedPaths listed;
        for (const std::string& path : c.listed) {
            listed.Add(path);
        }
        for (const auto& found : c.found) {
            EXPECT_EQ(listed.Insert(found.first), found.second) << c.name << ": " << found.first;
        }
    }
    // A path listed once the search has begun is held all the same.
    ListedPaths listed;
    EXPECT_TRUE(listed.Insert("C:\\first"));
    listed.Add("C:\\later");
    EXPECT_FALSE(listed.Insert("c:\\LATER"));
    EXPECT_FALSE(listed.Insert("C:\\first"));
}

// A disk's worth of names a digit or a letter apart: none is taken for another.
TEST(ListedPaths, HoldsManyPathsApart) {
    const int count = 200000;
    auto path = [](int n, const char* name) {
        return "C:\\Folder" + std::to_string(n / 100) + "\\" + name + std::to_string(n % 100) + ".TXT";
    };
    ListedPaths listed;
    listed.Reserve(count);
    for (int n = 0; n < count; ++n) {
        listed.Add(path(n, n % 2 ? "File" : "Photo"));
    }
    int wrong = 0;
    for (int n = 0; n < count; ++n) {
        wrong += listed.Insert(path(n, n % 2 ? "file" : "PHOTO")) ? 1 : 0; // listed
        wrong += listed.Insert(path(n, n % 2 ? "Photo" : "File")) ? 0 : 1; // not listed
        wrong += listed.Insert(path(n + count, "file")) ? 0 : 1;           // beyond the list
    }
    for (int n = 0; n < count; ++n) {
        wrong += listed.Insert(path(n + count, "FILE")) ? 1 : 0; // found before
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
