// DigestorCmd.exe: digests files and folders as the window does, and checks
// files against saved lists, from a console.
#include <windows.h>

#include <psapi.h>

#include <new>

#include <string>

#include "base/algorithm_names.h"
#include "base/list_reading.h"
#include "base/program_identity.h"
#include "base/program_state.h"
#include "base/sum_line.h"
#include "console/check_command.h"
#include "console/compare_command.h"
#include "console/console_output.h"
#include "console/digest_command.h"
#include "console/exit_code.h"
#include "console/standard_input.h"
#include "console/stop_request.h"

namespace {

const char* const Usage[] = {
    "usage: DigestorCmd [-a ALG] [-o LIST | --sum | --tag] [-q] [--] [PATH...]  digest files and folders",
    "       DigestorCmd -a ALG --record LIST [-q] [--] PATH...          record files and folders in LIST",
    "       DigestorCmd -c [--new] [-q | --status] [--strict] [-w] [--ignore-missing] [--] [LIST...]",
    "                                                                    check files against lists",
    "       DigestorCmd --update [--new] [-q] [--] LIST                 check, then bring LIST up to date",
    "       DigestorCmd --compare [-a ALG] [--record LIST] [-v | -q | --status] [--] ORIGINAL COPY",
    "                                                                    compare a copy with its original",
    "  -a  MD2, MD4, MD5 (the default), CRC32, SHA1, SHA256, SHA512, SHA3-256, SHA3-512, BLAKE3, XXH3",
    "      or XXH128, in any case, with or without - and _ (sha-256, sha3_256, xxh-128)",
    "  -o  the lines to LIST as well, as the window saves its list",
    "  --sum  lines as sha256sum or b3sum writes them (\"digest  path\"; not MD2, MD4, CRC32), --tag  as",
    "      sha256sum --tag does (\"SHA256 (path) = digest\"): a relative PATH's files named relative, with /",
    "  -q, --quiet  only what is not OK; --status  nothing, the exit code alone",
    "  -c, --check  LIST: saved by Digestor or written with -o, the lists of md5sum ... sha512sum (escaped",
    "      lines too), b3sum, xxhsum, sha3sum, BSD tags (SHA256 (path) = ...), openssl dgst lines",
    "      (SHA256(path)= ...) and SFV files (the zip CRC); counts and warnings go to standard error.",
    "      A line's algorithm: its tag, else LIST's name (.sha3-256, .blake3, .b3, B3SUMS, ...), else the",
    "      digest's length; where kinds share it, the first file decides for all lines of that length",
    "  --strict  a line not checked is a failure      -w, --warn  name each such line on standard error",
    "  --ignore-missing  no line and no failure for a file that is missing",
    "  --record  a *sum list that also keeps each file's size and last-write time, so that a check",
    "      tells CORRUPTED (changed, time as recorded) from MODIFIED (edited); --new: NEW files",
    "  --update  MODIFIED files get their new digest, NEW ones (--new) are added, MISSING ones",
    "      dropped; CORRUPTED ones keep their record",
    "  --compare  two folders (or files) by content, names paired as Windows pairs them (case aside; a",
    "      name in another Unicode form is paired and said so): DIFFERENT, MISSING (not in the copy),",
    "      EXTRA (only in the copy), MOVED (old -> new), READ ERROR (original or copy), on standard",
    "      output with / between names; -a: XXH128 unless given; --record: a recorded list of ORIGINAL",
    "  -v, --verbose  with --compare, SAME lines too",
    "  -  as a PATH or LIST: standard input; none given, a redirected standard input is read",
    "  PATH  a file or folder; * and ? in its last name match names as a console's dir does",
    "  --progress  shows the progress line on standard error from the start, also when standard error",
    "      is redirected and with -q or --status: files and bytes done of all, speed, time left and the",
    "      file being read, rewritten in place about once a second (four times on a console);",
    "      --no-progress  never. Neither: it shows on a console once a run has lasted 2 s, not with -q",
    "      or --status",
    "  --  ends the options           -h, --help, /?  this text",
    "exit code 0: all is well (MODIFIED and NEW too), 1: a file failed, is corrupted or missing,",
    "          nothing to check, a line not checked with --strict, the copy differs, or Ctrl+C,",
    "          2: bad usage, a list that cannot be read or written, output that cannot be written,",
    "          a side of a comparison that cannot be read, or the same folder twice"};

struct Options {
    bool help;
    bool check;
    bool update;
    bool compare;
    bool verbose;
    bool findNew;
    bool quiet;
    bool status;
    bool strict;
    bool warn;
    bool ignoreMissing;
    bool progress;
    bool noProgress;
    bool algorithm;
    DigestKind kind;
    LineForm form;
    const char* list;   // -o
    const char* record; // --record
    int first;          // the first PATH or LIST
};

// The options that only switch something on, by the names they are given.
struct Switch {
    const char* name;
    const char* other; // another name for it, or null
    bool Options::*flag;
};
const Switch Switches[] = {
    {"-c", "--check", &Options::check},       {"--update", NULL, &Options::update},
    {"--new", NULL, &Options::findNew},       {"-q", "--quiet", &Options::quiet},
    {"--status", NULL, &Options::status},     {"--strict", NULL, &Options::strict},
    {"-w", "--warn", &Options::warn},         {"--ignore-missing", NULL, &Options::ignoreMissing},
    {"--progress", NULL, &Options::progress}, {"--no-progress", NULL, &Options::noProgress},
    {"-h", "--help", &Options::help},         {"--compare", NULL, &Options::compare},
    {"-v", "--verbose", &Options::verbose}};

// What is wrong with a comparison's options, in one line; the empty text when nothing is.
std::string CheckCompare(const Options& options, int argc, char** argv) {
    const char* form = options.form == LinesOfSum ? "--sum" : options.form == LinesOfTag ? "--tag" : NULL;
    const std::pair<bool, const char*> others[] = {
        {options.check, "-c"},        {options.update, "--update"},
        {options.list != NULL, "-o"}, {form != NULL, form},
        {options.findNew, "--new"},   {options.strict, "--strict"},
        {options.warn, "-w"},         {options.ignoreMissing, "--ignore-missing"}};
    if (!options.compare) {
        return options.verbose ? "-v goes with --compare" : "";
    }
    for (const auto& other : others) {
        if (other.first) {
            return std::string("--compare takes no ") + other.second;
        }
    }
    if (options.verbose && (options.quiet || options.status)) {
        return options.quiet ? "-v or --quiet, not both" : "-v or --status, not both";
    }
    if (argc - options.first != 2) {
        return "--compare takes two paths: ORIGINAL COPY";
    }
    for (int k = options.first; k < argc; ++k) {
        if (std::string(argv[k]) == StandardInputName) {
            return "--compare takes no standard input";
        }
    }
    return "";
}

// What is wrong with the options taken together, in one line; the empty text when nothing is.
std::string CheckTogether(const Options& options, int argc, char** argv) {
    // Choices every mode takes, the comparison's too.
    if (options.status && options.quiet) {
        return "--status or --quiet, not both";
    }
    if (options.progress && options.noProgress) {
        return "--progress or --no-progress, not both";
    }
    const std::string compare = CheckCompare(options, argc, argv);
    if (options.compare || !compare.empty()) {
        return compare;
    }
    const int i = options.first;
    const char* checking = options.update ? "--update" : options.check ? "-c" : NULL;
    const char* form = options.form == LinesOfSum ? "--sum" : options.form == LinesOfTag ? "--tag" : NULL;
    // The options of sha256sum -c, which only a check takes; --update rewrites the list as it finds it.
    const std::pair<bool, const char*> checkOnly[] = {{options.status, "--status"},
                                                      {options.strict, "--strict"},
                                                      {options.warn, "-w"},
                                                      {options.ignoreMissing, "--ignore-missing"}};
    if (options.check && options.update) {
        return "-c or --update, not both";
    }
    for (const auto& only : checkOnly) {
        if (only.first && !options.check) {
            return std::string(only.second) + " goes with -c";
        }
    }
    if (checking && options.algorithm) {
        return std::string(checking) + " takes no -a: each line names its algorithm";
    }
    if (checking && (options.list || options.record || form)) {
        return std::string(checking) + " takes no " +
               (options.list     ? "-o"
                : options.record ? "--record"
                                 : form);
    }
    if (options.findNew && !checking) {
        return "--new goes with -c or --update";
    }
    if (options.record && !options.algorithm) {
        return "--record needs -a: the list names one algorithm";
    }
    if (form && (options.list || options.record)) {
        return std::string(form) + " takes no " + (options.list ? "-o" : "--record");
    }
    if (options.form == LinesOfSum && !SumLineTells(options.kind)) {
        return std::string("--sum writes no ") + KindName(options.kind) +
               ": other tools' lines of its length mean "
               "another; --tag names it";
    }
    if (options.form == LinesOfTag && !TagLineNames(options.kind)) {
        return std::string("--tag names no ") + KindName(options.kind) + ": other tools mean another";
    }
    if (options.record && options.list) {
        return "--record takes no -o";
    }
    if (i >= argc && (InputIsConsole() || options.update)) {
        return checking ? "no LIST to check" : "no PATH to digest";
    }
    if (options.update && i + 1 < argc) {
        return "--update takes one LIST";
    }
    for (int k = i; k < argc && (options.update || options.record); ++k) {
        if (std::string(argv[k]) == StandardInputName) {
            return std::string(options.update ? "--update" : "--record") + " takes no standard input";
        }
    }
    return std::string();
}

// Reads the options; the empty text, or what is wrong with them in one line.
std::string ReadOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        const std::string option = argv[i];
        const bool value = i + 1 < argc;
        const Switch* found = NULL;
        for (const Switch& s : Switches) {
            found = option == s.name || (s.other && option == s.other) ? &s : found;
        }
        if (found) {
            options.*found->flag = true;
        } else if (option == "--") {
            ++i;
            break;
        } else if (option == "--sum" || option == "--tag") {
            const LineForm form = option == "--sum" ? LinesOfSum : LinesOfTag;
            if (options.form != LinesOfWindow && options.form != form) {
                return "--sum or --tag, not both";
            }
            options.form = form;
        } else if (option == "--record") {
            if (!value) {
                return "--record needs a file name";
            }
            options.record = argv[++i];
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
    return options.help ? std::string() : CheckTogether(options, argc, argv);
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
    Options options = {false, false, false, false, false,     false,         false, false, false, false,
                       false, false, false, false, DigestMD5, LinesOfWindow, NULL,  NULL,  1};
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
    ChooseProgress(options.progress                                        ? ProgressAlways
                   : options.noProgress || options.quiet || options.status ? ProgressNever
                                                                           : ProgressOnConsole);
    CatchStop();
    // No PATH or LIST: a redirected standard input, as the *sum tools read it.
    char* input[] = {const_cast<char*>(StandardInputName)};
    char** names = options.first < argc ? argv + options.first : input;
    int count = options.first < argc ? argc - options.first : 1;
    if (options.compare) {
        const CompareCommand command = {
            argv[options.first], argv[options.first + 1], options.algorithm ? options.kind : DigestXXH128,
            options.record,      options.verbose,         options.quiet,
            options.status};
        return CompareFolderCommand(command);
    }
    if (options.check || options.update) {
        const CheckRequest request = {options.update, options.findNew, options.quiet,        options.status,
                                      options.strict, options.warn,    options.ignoreMissing};
        return CheckLists(names, count, request);
    }
    const DigestRequest request = {options.kind, options.form, options.list, options.record, options.quiet};
    return DigestPaths(names, count, request);
}

// With DIGESTOR_MEMORY set, the peak working set on standard error, for the benchmarks.
void ReportMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    if (GetEnvironmentVariableA("DIGESTOR_MEMORY", NULL, 0) != 0 &&
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        Complain("peak working set: " + std::to_string(counters.PeakWorkingSetSize) + " bytes");
    }
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
    ReportMemory();
    FlushOutput();
    ClearProgress();
    return code;
}
