#!/usr/bin/env bash
# run_bench.sh BIN WORK: times runs of the real Digestor.exe under Wine beside md5sum, with every
# worker (the default: one per processor) and with one (DIGESTOR_WORKERS=1), and says of each
# figure whether it meets its goal:
#   - 10,000 files of 1 KiB: at least 8,000 files a second, and 1.8 x the pace of one worker
#   - 8 files of 32 MiB, MD5: at most 0.6 x md5sum's time, and 1.8 x the pace of one worker
#   - one 256 MiB file, MD5: at most 1.05 x md5sum's time
#   - one 1 GiB file, BLAKE3 (/alg BLAKE3): 1.6 x the pace of one worker, its parts hashed side by side
#   - 100,000 files of 100 bytes in 100 folders, given as their folder: the walk and the run
#     together (from the Yes to the folder question to the run's end) within 15 s
#   - 400,000 files of 100 bytes in 400 folders, the same way: at most 4.4 x the time of the
#     100,000, the window answering within 250 ms all along; the peak working set of that run
#   - a file list of 1,000,000 lines cleared (Edit > Clear list) and closed (the close box), each
#     within 2 s; the lines are the 10,000 file names listed 100 times by the list box itself, and
#     the working set they take (at most 120 bytes a line beyond its text)
# BIN is the Windows tree's bin/ (Digestor.exe, digestor_drive.exe); WORK a folder for the test
# data, kept between runs. Digestor gets the file or folder on its command line, so the run starts
# at once after the walk; each figure is the best of three runs (the tree: of two), from the
# appearance of the progress dialog to its end, as digestor_drive reports it. Under Wine every file
# opened is a few calls to the single wineserver, which all workers share: the line "Wine's own
# floor" times the bare opens, reads and closes of the 10,000 files by as many threads
# (bench_open_floor.exe), the most any run under Wine here can reach.
set -euo pipefail
bin=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$here/scripts/wine-run
runs=3
tree_runs=2

mkdir -p "$work"
work=$(realpath "$work")
tree=$work/tree
source "$here/bench/bench_figures.sh"
make_data
gib=$work/gib.bin
[[ -f $gib && $(stat -c %s "$gib") == 1073741824 ]] || head -c 1073741824 /dev/urandom >"$gib"
make_tree "$tree" 100
tree400=$work/tree400k
make_tree "$tree400" 400

now() { date +%s.%N; }
best() { sort -g | head -1; }

# Native: md5sum, page cache warm.
md5sum "$big" "$eight"/* >/dev/null
native() { # COMMAND... -> the best of $runs wall times
    for _ in $(seq $runs); do
        local t0 t1
        t0=$(now) && "$@" >/dev/null && t1=$(now) && calc "$t1 - $t0"
    done | best
}
native_big=$(native md5sum "$big")
native_eight=$(native md5sum "$eight"/m0 "$eight"/m1 "$eight"/m2 "$eight"/m3 "$eight"/m4 "$eight"/m5 \
    "$eight"/m6 "$eight"/m7)
native_small=$(native sh -c 'find "$1" -type f -print0 | xargs -0 md5sum' - "$small")

"$wine_run" --prepare
# digestor FIGURE PATH ENTRIES [ALG] -> seconds: one run over PATH; FIGURE is "run" (the progress
# dialog's time) or "walk and run"; ALG, when given, goes to the command line as /alg (MD5 otherwise).
# Checks the count of result lines, and for a few files each line against md5sum (b3sum for BLAKE3). Many lines are counted in the list saved through the save dialog: the
# driver's list takes two messages from outside a line.
# The working set and the slowest answer of the window in the last run go to $last.
saved=$work/saved.txt last=$work/last_run.txt
digestor() {
    local figure=$1 path=$2 entries=$3 alg=${4:-} output lines tag=MD5 sum=md5sum
    local actions=(run list close) choice=()
    [[ -z $alg ]] || choice=(/alg "$alg")
    [[ $alg != BLAKE3 ]] || tag=BLAKE3 sum=b3sum
    if ((entries > 8)); then
        rm -f "$saved"
        actions=(run save "$(windows "$saved")" dismiss memory close)
    fi
    output=$("$wine_run" "$bin/digestor_drive.exe" "${actions[@]}" -- "$(windows "$bin/Digestor.exe")" \
        "${choice[@]}" "$(windows "$path")")
    output=${output//$'\r'/}
    grep -E '^(memory|slowest answer):' <<<"$output" >"$last" || true
    lines=$( ((entries > 8)) && grep -c " <- $tag -> " "$saved" || grep -c " <- $tag -> " <<<"$output")
    [[ $lines == "$entries" ]] ||
        { echo "run_bench: not $entries result lines: $(head -n 5 <<<"$output")" >&2; exit 1; }
    if ((entries <= 8)); then
        local file expected
        for file in $( ((entries == 1)) && echo "$path" || find "$path" -type f); do
            expected="$($sum "$file" | cut -d' ' -f1) <- $tag -> $(windows "$file")"
            grep -qxF "  $expected" <<<"$output" || { echo "run_bench: wrong result: $output" >&2; exit 1; }
        done
    fi
    sed -n "s/^$figure: \([0-9.]*\) s.*/\1/p" <<<"$output"
}
# timed WORKERS FIGURE PATH ENTRIES [RUNS [ALG]] -> the best of the runs; WORKERS empty: the default.
timed() {
    local workers=$1 figure=$2 path=$3 entries=$4 count=${5:-$runs} alg=${6:-}
    for _ in $(seq "$count"); do
        if [[ -n $workers ]]; then
            DIGESTOR_WORKERS=$workers digestor "$figure" "$path" "$entries" "$alg"
        else
            digestor "$figure" "$path" "$entries" "$alg"
        fi
    done | best
}
wine_big=$(timed "" run "$big" 1)
one_big=$(timed 1 run "$big" 1)
wine_gib=$(timed "" run "$gib" 1 $runs BLAKE3)
one_gib=$(timed 1 run "$gib" 1 $runs BLAKE3)
gib_gain=$(calc "$one_gib / $wine_gib")
wine_eight=$(timed "" run "$eight" 8)
one_eight=$(timed 1 run "$eight" 8)
wine_small=$(timed "" run "$small" 10000)
one_small=$(timed 1 run "$small" 10000)
wine_tree=$(timed "" "walk and run" "$tree" 100000 $tree_runs)
answer_tree=$(sed -n 's/^slowest answer: \([0-9]*\) ms/\1/p' "$last")
wine_tree400=$(timed "" "walk and run" "$tree400" 400000 1)
answer_tree400=$(sed -n 's/^slowest answer: \([0-9]*\) ms/\1/p' "$last")
peak_tree400=$(sed -n 's/^memory: .*, \([0-9.]*\) MiB at its peak/\1/p' "$last")
tree_ratio=$(calc "$wine_tree400 / $wine_tree")
processors=$(nproc)
floor() { # THREADS -> files a second, the best of $runs
    for _ in $(seq $runs); do
        "$wine_run" "$bin/bench_open_floor.exe" "$(windows "$small")" "$1" | tr -d '\r' |
            sed -n 's/.* \([0-9]*\) files a second/\1/p'
    done | sort -g | tail -1
}
floor_all=$(floor "$processors")
floor_one=$(floor 1)

list_lines=1000000
listings=()
for _ in $(seq $((list_lines / 10000))); do listings+=(dir "$(windows "$small")\\*"); done
# The names are "f" and five digits: 7 bytes a line with its terminator.
line_text=7
big_list() { # -> "clear-seconds close-seconds bytes-a-line": filled, cleared, filled again, closed
    local output clear close empty full
    output=$("$wine_run" "$bin/digestor_drive.exe" memory "${listings[@]}" memory clear "${listings[@]}" \
        close -- "$(windows "$bin/Digestor.exe")")
    output=${output//$'\r'/}
    clear=$(sed -n 's/^clear: \([0-9.]*\) s.*/\1/p' <<<"$output")
    close=$(sed -n 's/^close: \([0-9.]*\) s.*/\1/p' <<<"$output")
    empty=$(sed -n 's/^memory: \([0-9.]*\) MiB working set.*/\1/p' <<<"$output" | head -1)
    full=$(sed -n 's/^memory: \([0-9.]*\) MiB working set.*/\1/p' <<<"$output" | tail -1)
    [[ $(grep -cx "dir: $list_lines lines" <<<"$output") == 2 && -n $clear && -n $close && -n $full ]] ||
        { echo "run_bench: no clear and close of $list_lines lines: $(tail -n 3 <<<"$output")" >&2; exit 1; }
    echo "$clear $close $(calc "($full - $empty) * 1048576 / $list_lines - $line_text")"
}
list_times=$(for _ in $(seq 2); do big_list; done)
list_clear=$(cut -d' ' -f1 <<<"$list_times" | best)
list_close=$(cut -d' ' -f2 <<<"$list_times" | best)
list_bytes=$(cut -d' ' -f3 <<<"$list_times" | best)

printf '\nDigestor.exe under Wine, %d processors: every worker (all) and one worker (one)\n' "$processors"
row_head "md5sum"
small_rows "10,000 files of 1 KiB, MD5: files a second"
printf '%-44s %8.0f/s %8.0f/s %9s   %s\n' "  Wine's own floor: open, read, close" "$floor_all" "$floor_one" "" \
    "(bare calls, no list, no display)"
file_rows "8 files of 32 MiB, MD5" "one 256 MiB file, MD5" "md5sum"
printf '%-44s %8.3fs %8.3fs\n' "one 1 GiB file, BLAKE3" "$wine_gib" "$one_gib"
ratio_row "  all workers against one" "$gib_gain" ">= 1.60x" '>=' 1.6
one_row "100,000 files in 100 folders: walk and run" "$wine_tree" "<= 15 s" '<=' 15
one_row "400,000 files in 400 folders: walk and run" "$wine_tree400" "" '>=' 0
ratio_row "  400,000 against 100,000" "$tree_ratio" "<= 4.40x" '<=' 4.4
one_row "  slowest answer of the window, 100,000" "$answer_tree" "<= 250 ms" '<=' 250 ms
one_row "  slowest answer of the window, 400,000" "$answer_tree400" "<= 250 ms" '<=' 250 ms
one_row "  peak working set, 400,000" "$peak_tree400" "" '>=' 0 MiB
one_row "1,000,000 lines in the list: clear" "$list_clear" "<= 2 s" '<=' 2
one_row "1,000,000 lines in the list: close" "$list_close" "<= 2 s" '<=' 2
one_row "  working set a line beyond its text" "$list_bytes" "<= 120 bytes" '<=' 120 B
