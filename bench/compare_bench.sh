#!/usr/bin/env bash
# compare_bench.sh BIN WORK: times DigestorCmd.exe --compare under Wine (XXH128, the default) and
# says of each figure whether it meets its goal:
#   - two trees of 8 files of 256 MiB, in the page cache: at most 1.2 x the time of GNU `diff -rq`
#   - 10,000 pairs of 1 KiB files: at most 2.2 x the time of one -c of a 10,000-line XXH128 list
#     (xxhsum -H2 --tag) over the same files
#   - two trees of 8 files of 32 MiB, each side reading as a disk of its own would
#     (DIGESTOR_SIDE_DELAY, milliseconds a MiB): at most 0.6 x the time of reading them one after
#     the other (one run of DigestorCmd over both trees, whose workers read as one disk)
# BIN is the Windows tree's bin/, WORK a folder for the test data (shared with console_bench.sh and
# kept between runs). Each figure is the best of three runs of the whole program, less the time
# Wine takes to start it and end it (that of a comparison of two small files, printed too).
set -euo pipefail
source "$(dirname "$0")/bench_figures.sh"
bench_folders "$1" "$2"
runs=3
delay=10 # milliseconds a MiB: a disk of 100 MiB/s
make_data
# copy FROM TO: TO a copy of FROM, made once.
copy() { [[ -d $2 && $(du -sb "$2" | cut -f1) == $(du -sb "$1" | cut -f1) ]] || { rm -rf "$2" && cp -a "$1" "$2"; }; }
tree=$work/compare-256
if [[ ! -d $tree || $(find "$tree" -type f -size 256M | wc -l) != 8 ]]; then
    rm -rf "$tree" && mkdir -p "$tree"
    head -c $((8 * 256 * 1048576)) /dev/urandom | split -b $((256 * 1048576)) -a 1 -d - "$tree/q"
fi
copy "$tree" "$work/compare-256-copy"
copy "$small" "$work/small-copy"
copy "$eight" "$work/eight-copy"
(cd "$work" && find small -type f | sort | xargs xxhsum -H2 --tag >small.xxh128 2>/dev/null)

# cmd ARGS...: DigestorCmd.exe ARGS, its counts on standard error left out.
cmd() { "$wine_run" "$bin/DigestorCmd.exe" "$@" 2>/dev/null; }
# compare NAME: the folder WORK/NAME with its copy, which must hold the same.
compare() { cmd --compare "$(windows "$work/$1")" "$(windows "$work/$1-copy")"; }
delayed() { DIGESTOR_SIDE_DELAY=$delay "$@"; }
cat "$work/small/f00000" >"$work/one-a" && cat "$work/small/f00000" >"$work/one-b"

"$wine_run" --prepare
start=$(best cmd --compare "$(windows "$work/one-a")" "$(windows "$work/one-b")")
less_start() { calc "$1 - $start"; }
page_cache() { cat "$tree"/* "$work/compare-256-copy"/* >/dev/null; }
page_cache
native_tree=$(best diff -rq "$tree" "$work/compare-256-copy")
wine_tree=$(less_start "$(best compare compare-256)")
wine_small=$(less_start "$(best compare small)")
check_small=$(less_start "$(best cmd -c -q "$(windows "$work/small.xxh128")")")
delayed_compare=$(less_start "$(best delayed compare eight)")
delayed_apart=$(less_start "$(best delayed cmd -a XXH128 --sum "$(windows "$eight")" "$(windows "$work/eight-copy")")")
[[ $(cmd --compare -v "$(windows "$small")" "$(windows "$work/small-copy")" 2>/dev/null | grep -c '^SAME: ') == 10000 ]] ||
    { echo "compare_bench: --compare did not find 10,000 files the same" >&2; exit 1; }

tree_ratio=$(calc "$wine_tree / $native_tree")
small_ratio=$(calc "$wine_small / $check_small")
delay_ratio=$(calc "$delayed_compare / $delayed_apart")
printf '\nDigestorCmd.exe --compare under Wine, %d processors, less %.3f s of Wine'"'"'s start and end\n' \
    "$(nproc)" "$start"
one_row "two trees of 8 x 256 MiB, --compare" "$wine_tree" ""
one_row "  diff -rq" "$native_tree" ""
ratio_row "  against diff -rq" "$tree_ratio" "<= 1.20x diff -rq" '<=' 1.2
one_row "10,000 pairs of 1 KiB, --compare" "$wine_small" ""
one_row "  -c of an XXH128 list of one side" "$check_small" ""
ratio_row "  against the check" "$small_ratio" "<= 2.20x -c" '<=' 2.2
one_row "two trees of 8 x 32 MiB, a disk each side" "$delayed_compare" ""
one_row "  read one after the other" "$delayed_apart" ""
ratio_row "  against one after the other" "$delay_ratio" "<= 0.60x" '<=' 0.6
