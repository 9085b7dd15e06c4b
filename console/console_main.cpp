// DigestorCmd.exe: digests files and folders as the window does, and checks
// files against saved lists, from a console.
#include <windows.h>

#include <new>

#include <string>

#include "base/app_state.h"
#include "base/program_identity.h"
#include "console/check_command.h"
#include "console/console_output.h"
#include "console/digest_command.h"
#include "console/list_check.h"
#include "console/stop_request.h"

namespace {

const char* const Usage[] = {
    "usage: DigestorCmd [-a MD2|MD4|MD5|CRC32] [-o LIST] [-q] PATH...   digest files and folders",
    "       DigestorCmd -c [-q] LIST...                                  check files against lists",
    "  -a  the algorithm (MD5)       -o  the lines to LIST as well, as the window saves its list",
    "  -q  only what is not OK       -c  LIST: saved by Digestor, written with -o, or md5sum's",
    "exit code 0: all is well, 1: a file failed, is missing or Ctrl+C, 2: bad usage or list"};

struct Options {
    bool help;
    bool check;
    bool quiet;
    DigestKind kind;
    const char* list;
    int first; // the first PATH or LIST
};

// False when the arguments make no sense.
bool ReadOptions(int argc, char** argv, Options& options) {
    bool algorithm = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        std::string option = argv[i];
        bool value = i + 1 < argc;
        if (option == "-h") {
            options.help = true;
        } else if (option == "-c") {
            options.check = true;
        } else if (option == "-q") {
            options.quiet = true;
        } else if (option == "-a" && value && FindAlgorithm(argv[i + 1], options.kind)) {
            algorithm = true;
            ++i;
        } else if (option == "-o" && value) {
            options.list = argv[++i];
        } else {
            return false;
        }
    }
    options.first = i;
    return options.help || (i < argc && !(options.check && (algorithm || options.list)));
}

// The lines' wording (the failure line, the list's heading) is the English
// one, from the language module beside the program.
bool LoadEnglish() {
    char path[PathBufferSize];
    if (TakeProgramIdentity(GetModuleHandleA(NULL)) &&
        BuildLanguagePath(path, AppDirectory, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))) {
        LanguageModule = LoadLibraryA(path);
    }
    return LanguageModule != NULL;
}

int Run(int argc, char** argv) {
    Options options = {false, false, false, DigestMD5, NULL, 1};
    if (!ReadOptions(argc, argv, options) || options.help) {
        for (const char* line : Usage) {
            PutLine(options.help ? StandardOutput : StandardError, line);
        }
        return options.help ? ExitSuccess : ExitTrouble;
    }
    if (!LoadEnglish()) {
        Complain("lang\\1033.dll is missing beside the program");
        return ExitTrouble;
    }
    CatchStop();
    char** names = argv + options.first;
    int count = argc - options.first;
    return options.check ? CheckLists(names, count, options.quiet)
                         : DigestPaths(names, count, options.kind, options.list, options.quiet);
}

} // namespace

int main(int argc, char** argv) {
    // Libraries loaded later are not looked for in the current folder.
    SetDllDirectoryA("");
    int code = ExitTrouble;
    try {
        code = Run(argc, argv);
    } catch (const std::bad_alloc&) {
        Complain("not enough memory");
    }
    FlushOutput();
    ClearProgress();
    return code;
}
