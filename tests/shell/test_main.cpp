// The shell tests' entry point. The process ends as soon as the tests have run: under load, Wine has
// been seen to fault inside GoogleTest's thread-local registry while static objects were torn down
// after every test had passed, which would report a passed run as a crash.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    fflush(stdout);
    fflush(stderr);
    ExitProcess(static_cast<UINT>(result));
}
