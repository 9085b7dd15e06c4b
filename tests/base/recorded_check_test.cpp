// A recorded check's Windows side, under Wine: the verdict of a file with a
// record, and the files under the recorded folders that the list lacks.
#include <windows.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/digest_file.h"
#include "base/long_path.h"
#include "gather/new_files.h"

namespace {

TEST(RecordVerdict, TellsDecayFromAnEditByTheLastWriteTime) {
    const unsigned long long at = 133536836967890123ULL, max = ~0ULL;
    const struct {
        FileOutcome outcome;
        const char* digest;
        FileRecord recorded, found;
        Verdict verdict;
    } cases[] = {
        {FileOpenFailed, "ab", {1, at}, {1, at}, VerdictMissing},
        {FileReadFailed, "cd", {1, at}, {1, at}, VerdictReadError},
        {FileDigested, "ab", {1, at}, {2, at + 99 * SameTimeTicks}, VerdictOK},
        {FileDigested, "cd", {1, at}, {1, at}, VerdictCorrupted},
        {FileDigested, "cd", {1, at}, {5, at}, VerdictCorrupted}, // no writer changed the size
        {FileDigested, "cd", {1, at}, {1, at + SameTimeTicks}, VerdictCorrupted},
        {FileDigested, "cd", {1, at}, {1, at - SameTimeTicks}, VerdictCorrupted},
        {FileDigested, "cd", {1, at}, {1, at + SameTimeTicks + 1}, VerdictModified},
        {FileDigested, "cd", {1, at}, {1, at - SameTimeTicks - 1}, VerdictModified},
        {FileDigested, "cd", {1, at}, {1, at * 2}, VerdictModified}, // a time in the future
        {FileDigested, "cd", {1, 0}, {1, 1}, VerdictCorrupted},
        {FileDigested, "cd", {1, max}, {1, 0}, VerdictModified},
        {FileDigested, "cd", {1, 0}, {1, max}, VerdictModified},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordVerdict(c.outcome, c.digest, "ab", c.recorded, c.found), c.verdict)
            << c.digest << " " << c.recorded.written << " " << c.found.written;
    }
}

TEST(FindNewFiles, FindsEachUnlistedFileOnceButNotTheList) {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string root =
        FullPath(std::string(temp) + "digestor_new_files_" + std::to_string(GetCurrentProcessId()));
    for (const char* file : {"list.sha256", "Photos\\a.jpg", "Photos\\B.JPG", "Photos\\new.jpg",
                             "Photos\\sub\\deep.txt", "other\\x.txt"}) {
        std::filesystem::create_directories(std::filesystem::path(root + "\\" + file).parent_path());
        std::ofstream(root + "\\" + file) << file;
    }
    // Overlapping folders, one relative with '/', the list's own folder among them.
    ListedPaths listed;
    for (const std::string& path : {root + "\\Photos\\a.jpg", root + "/photos/b.jpg"}) {
        listed.Add(FullPath(path));
    }
    const std::vector<std::string> found =
        FindNewFiles(root + "\\list.sha256", {"Photos", "photos/sub", root}, listed);
    std::vector<std::string> sorted = found;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{root + "\\Photos\\new.jpg", root + "\\Photos\\sub\\deep.txt",
                                                root + "\\other\\x.txt"}));
    EXPECT_EQ(found.back(), root + "\\other\\x.txt"); // the walk of Photos came first
    std::filesystem::remove_all(root);
}

} // namespace
