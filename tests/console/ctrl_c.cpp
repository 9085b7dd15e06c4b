// ctrl_c GO "COMMAND LINE" [PIPE]: runs the command on a console of its own with our standard
// handles, presses Ctrl+C there once the file GO exists (or, given PIPE, once the command has opened
// that named pipe, which never delivers a byte) and exits with its exit code (101: ours failed).
#include <windows.h>

int main(int argc, char** argv) {
    STARTUPINFOA start = {sizeof start};
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION child;
    DWORD code = 101;
    HANDLE pipe = argc == 4 ? CreateNamedPipeA(argv[3], PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED, 0, 1, 0,
                                               0, 0, NULL)
                            : NULL;
    OVERLAPPED opened = {};
    opened.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    // Started from Linux, Wine gives us no console to send the event through.
    if (argc < 3 || pipe == INVALID_HANDLE_VALUE || !FreeConsole() || !AllocConsole() ||
        !CreateProcessA(NULL, argv[2], NULL, NULL, TRUE, 0, NULL, NULL, &start, &child)) {
        return code;
    }
    SetConsoleCtrlHandler(NULL, TRUE); // after the start: children inherit it
    if (pipe) {
        if (!ConnectNamedPipe(pipe, &opened) && GetLastError() == ERROR_IO_PENDING)
            WaitForSingleObject(opened.hEvent, 60000); // a minute at most
    } else {
        for (int i = 0; i < 6000 && GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES; ++i) {
            Sleep(50); // five minutes at most, as long as the script waits for the program to read
        }
    }
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) ||
        WaitForSingleObject(child.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, code);
    }
    GetExitCodeProcess(child.hProcess, &code);
    return static_cast<int>(code);
}
