// InitLibrary and StartLibrary: the arguments and the environment they accept, checked in this
// process (common controls 6 by manifest) and in fresh probe processes; and the refusing build.
#include <gtest/gtest.h>

#include "companion/varnolib.h"

#include <commctrl.h>
#include "tests/varnolib/window_test_helpers.h"

namespace {

// Runs varnolib_probe.exe on a DLL (see the probe for the meaning of its arguments and exit code).
DWORD RunProbe(const std::string& library, bool commonControls, bool startFirst) {
    std::string commandLine = "\"" + ProgramFolder() + "varnolib_probe.exe\" \"" + library + "\" " +
                              (commonControls ? "1" : "0") + " " + (startFirst ? "1" : "0");
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return 1000;
    }
    DWORD exitCode = 1001;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else {
        ADD_FAILURE() << "probe did not end: " << commandLine;
        TerminateProcess(process.hProcess, 1001);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

const DWORD StartFirstAccepted = 1, InitAccepted = 2, StartAccepted = 4;

TEST(LibraryStart, AcceptsTheProgramsArguments) {
    InitCommonControls();
    ASSERT_NE(InitLibrary(3, 2, 4, 0), 0);
    EXPECT_NE(StartLibrary(1), 0);
}

TEST(LibraryStart, RefusesOtherArgumentsAndThenRefusesToStart) {
    InitCommonControls();
    const int32_t wrong[][4] = {{0, 0, 0, 0}, {2, 2, 4, 0}, {3, 3, 4, 0}, {3, 2, 5, 0},
                                {3, 2, 4, 1}, {0, 4, 2, 3}, {-3, 2, 4, 0}};
    for (const auto& args : wrong) {
        ASSERT_NE(InitLibrary(3, 2, 4, 0), 0);
        EXPECT_EQ(InitLibrary(args[0], args[1], args[2], args[3]), 0)
            << args[0] << ", " << args[1] << ", " << args[2] << ", " << args[3];
        EXPECT_EQ(StartLibrary(1), 0) << "started after a refused InitLibrary";
    }
}

TEST(LibraryStart, StartAcceptsModeOneOnly) {
    InitCommonControls();
    ASSERT_NE(InitLibrary(3, 2, 4, 0), 0);
    EXPECT_EQ(StartLibrary(0), 0);
    EXPECT_EQ(StartLibrary(2), 0);
    EXPECT_EQ(StartLibrary(-1), 0);
    EXPECT_NE(StartLibrary(1), 0);
}

TEST(LibraryStart, FreshProcessWithCommonControlsStarts) {
    EXPECT_EQ(RunProbe(ProgramFolder() + "VarnoLib64.dll", true, false), InitAccepted | StartAccepted);
}

TEST(LibraryStart, StartBeforeInitIsRefused) {
    EXPECT_EQ(RunProbe(ProgramFolder() + "VarnoLib64.dll", true, true), InitAccepted | StartAccepted);
}

TEST(LibraryStart, FreshProcessWithoutCommonControlsIsRefused) {
    EXPECT_EQ(RunProbe(ProgramFolder() + "VarnoLib64.dll", false, false), 0u);
}

TEST(LibraryStart, RefusingBuildRefusesWhereTheRealOneStarts) {
    EXPECT_EQ(RunProbe(ProgramFolder() + "refusing\\VarnoLib64.dll", true, false), 0u);
}

} // namespace
