// DigestorCmd.exe: digests files and folders as the window does, and checks
// files against saved lists, from a console.
#include <windows.h>

#include <new>

#include <string>

#include "base/list_reading.h"
#include "base/program_identity.h"
#include "base/program_state.h"
#include "console/check_command.h"
#include "console/console_output.h"
#include "console/digest_command.h"
#include "console/exit_code.h"
#include "console/stop_request.h"

namespace {

const char* const Usage[] = {
    "usage: DigestorCmd [-a ALGORITHM] [-o LIST] [-q] [--] PATH...   digest files and folders",
    "       DigestorCmd -a ALGORITHM --record LIST [-q] [--] PATH...  record files and folders in LIST",
    "       DigestorCmd -c [--new] [-q] [--] LIST...                  check files against lists",
    "       DigestorCmd --update [--new] [-q] [--] LIST               check, then bring LIST up to date",
    "  -a  MD2, MD4, MD5 (the default), CRC32, SHA1, SHA256 or SHA512, in any case, SHA-256 too",
    "  -o  the lines to LIST as well, as the window saves its list     -q  only what is not OK",
    "  -c  LIST: saved by Digestor or written with -o, md5sum/sha1sum/sha256sum/sha512sum files",
    "      (escaped lines too), BSD tags (SHA256 (path) = ...) and SFV files (the zip CRC)",
    "  --record  a *sum list that also keeps each file's size and last-write time, so that a check",
    "      tells CORRUPTED (changed, time as recorded) from MODIFIED (edited); --new: NEW files",
    "  --update  MODIFIED files get their new digest, NEW ones (--new) are added, MISSING ones",
    "      dropped; CORRUPTED ones keep their record",
    "  --  ends the options           -h, --help, /?  this text",
    "exit code 0: all is well (MODIFIED and NEW too), 1: a file failed, is corrupted or missing,",
    "          nothing to check or Ctrl+C,",
    "          2: bad usage, a list that cannot be read or written, output that cannot be written"};

struct Options {
    bool help;
    bool check;
    bool update;
    bool findNew;
    bool quiet;
    bool algorithm;
    DigestKind kind;
    const char* list;   // -o
    const char* record; // --record
    int first;          // the first PATH or LIST
};

// Reads the options; the empty text, or what is wrong with them in one line.
std::string ReadOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        const std::string option = argv[i];
        const bool value = i + 1 < argc;
        if (option == "--") {
            ++i;
            break;
        } else if (option == "-h" || option == "--help") {
            options.help = true;
        } else if (option == "-c") {
            options.check = true;
        } else if (option == "--update") {
            options.update = true;
        } else if (option == "--new") {
            options.findNew = true;
        } else if (option == "--record") {
            if (!value) {
                return "--record needs a file name";
            }
            options.record = argv[++i];
        } else if (option == "-q") {
            options.quiet = true;
        } else if (option == "-a") {
            if (!value) {
                return "-a needs an algorithm";
            }
            if (!FindAlgorithm(argv[++i], options.kind)) {
                return std::string("unknown algorithm ") + argv[i];
            }
            options.algorithm = true;
        } else if (option == "-o") {
            if (!value) {
                return "-o needs a file name";
            }
            options.list = argv[++i];
        } else {
            return "unknown option " + option;
        }
    }
    // The Windows way to ask, as the first argument.
    if (i == 1 && argc > 1 && std::string(argv[1]) == "/?") {
        options.help = true;
    }
    options.first = i;
    if (options.help) {
        return std::string();
    }
    const char* checking = options.update ? "--update" : options.check ? "-c" : NULL;
    if (options.check && options.update) {
        return "-c or --update, not both";
    }
    if (checking && options.algorithm) {
        return std::string(checking) + " takes no -a: each line names its algorithm";
    }
    if (checking && (options.list || options.record)) {
        return std::string(checking) + " takes no " + (options.list ? "-o" : "--record");
    }
    if (options.findNew && !checking) {
        return "--new goes with -c or --update";
    }
    if (options.record && !options.algorithm) {
        return "--record needs -a: the list names one algorithm";
    }
    if (options.record && options.list) {
        return "--record takes no -o";
    }
    if (i >= argc) {
        return checking ? "no LIST to check" : "no PATH to digest";
    }
    if (options.update && i + 1 < argc) {
        return "--update takes one LIST";
    }
    return std::string();
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
    Options options = {false, false, false, false, false, false, DigestMD5, NULL, NULL, 1};
    const std::string wrong = ReadOptions(argc, argv, options);
    if (options.help) {
        for (const char* line : Usage) {
            PutLine(StandardOutput, line);
        }
        return ExitSuccess;
    }
    if (!wrong.empty()) {
        Complain(wrong + "; DigestorCmd -h shows how to call it");
        return ExitTrouble;
    }
    if (!LoadEnglish()) {
        Complain("lang\\1033.dll is missing beside the program");
        return ExitTrouble;
    }
    CatchStop();
    char** names = argv + options.first;
    int count = argc - options.first;
    if (options.check || options.update) {
        const CheckRequest request = {options.update, options.findNew, options.quiet};
        return CheckLists(names, count, request);
    }
    const DigestRequest request = {options.kind, options.list, options.record, options.quiet};
    return DigestPaths(names, count, request);
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
