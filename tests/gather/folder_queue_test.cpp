// The folder queue: order, the ring wrapping at capacity, and the statuses of refused operations.
#include "gather/folder_queue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Words: "+p" pushes p, "-p" pops and expects p, "#N" is a path of N characters; an ending "/F", "/T" or
// "/E" expects Full, TooLong or Empty instead of Ok.
void Play(FolderQueue& q, const std::string& script) {
    std::istringstream words(script);
    for (std::string w; words >> w;) {
        const size_t slash = w.find('/');
        const char want = slash == std::string::npos ? 'O' : w[slash + 1];
        std::string path = w.substr(1, slash - 1);
        if (!path.empty() && path[0] == '#')
            path = std::string(std::stoul(path.substr(1)) - 1, 'p') + 'z'; // a cut end shows
        std::vector<char> out(PathBufferSize, 'x');
        if (w[0] == '+')
            q.Push(path.c_str());
        else
            EXPECT_EQ(std::string(q.Pop(out.data())), path) << w;
        EXPECT_EQ(q.status, want == 'F' ? Full : want == 'T' ? TooLong : want == 'E' ? Empty : Ok) << w;
    }
}

// A drop of n folders, twice round the ring: each comes back once and in order.
std::string Drop(int n) {
    std::string push, pop;
    for (int i = 0; i < n; ++i)
        push += " +" + std::to_string(i), pop += " -" + std::to_string(i);
    return push + " +x/F" + pop + " -/E" + push + pop;
}

TEST(FolderQueue, Scripts) {
    const std::tuple<int32_t, QueueStatus, std::string> cases[] = {
        {3, Ok, "+a +b -a +c -b -c -/E"},                            // first in, first out
        {3, Ok, "+a +b +c +d/F -a +d -b +e -c -d -e -/E +f -f -/E"}, // the ring wraps, nothing lost
        {1, Ok, Drop(1)},
        {1025, Ok, Drop(1025)},
        {3000, Ok, Drop(3000)},
        {0, Ok, "+a/F -/E"},
        {4, Ok, "-/E -/E +a -a -/E +b -b"}, // empty pops move nothing
        {2, Ok, "+#519 +#520/T +#4000/T +a -#519 -a"},
        {1, Ok, "+a +#520/T -a"}, // too long even when full
        {2, Ok, "+ +a - -a -/E"}, // an empty path is a path
        {-1, NoMemory, "+a/F -/E"},
        {INT32_MIN, NoMemory, "+a/F -/E"},
    };
    for (const auto& [capacity, created, script] : cases) {
        FolderQueue q = FolderQueue::Create(capacity);
        EXPECT_EQ(q.status, created) << capacity;
        Play(q, script);
        q.Free();
        q.Free();
        EXPECT_EQ(q.storage, nullptr);
        Play(q, "+a/F -/E"); // a freed queue refuses all
    }
}

} // namespace
