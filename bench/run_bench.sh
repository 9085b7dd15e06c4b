#!/usr/bin/env bash
# run_bench.sh BIN WORK: times runs of the real Digestor.exe under Wine beside the native tools.
#   - one 256 MiB file with MD5 against md5sum on the same file (goal: at most 1.05 x md5sum's time)
#   - 10,000 files of 1 KiB (goal: at least 8,000 files a second, and 1.8 x one worker's pace)
#   both with one digest worker (DIGESTOR_WORKERS=1) and with the default, one per processor
#   - a file list of 200,000 lines cleared (Edit > Clear list) and closed (the close box), each
#     within 2 s; the lines are the 10,000 file names listed 20 times by the list box itself
# BIN is the Windows tree's bin/ (Digestor.exe, digestor_drive.exe); WORK a folder for the test
# data, kept between runs.  Digestor gets the file or folder on its command line, so the run starts
# at once after the walk; each figure is the best of three runs, from the appearance of the
# progress dialog to its end, as digestor_drive reports it.
set -euo pipefail
bin=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$here/scripts/wine-run
runs=3

mkdir -p "$work"
work=$(realpath "$work")
big=$work/big.bin
small=$work/small
if [[ ! -f $big || $(stat -c %s "$big") != 268435456 ]]; then
    head -c 268435456 /dev/urandom >"$big"
fi
if [[ ! -d $small || $(find "$small" -type f | wc -l) != 10000 ]]; then
    rm -rf "$small"
    mkdir -p "$small"
    head -c $((10000 * 1024)) /dev/urandom | split -b 1024 -a 5 -d - "$small/f"
fi
windows() { local p=$1; echo "Z:${p//\//\\}"; }

now() { date +%s.%N; }
best() { sort -g | head -1; }
calc() { awk "BEGIN { print $1 }"; }

# Native: md5sum, page cache warm.
md5sum "$big" >/dev/null
native_big=$(for _ in $(seq $runs); do
    t0=$(now); md5sum "$big" >/dev/null; t1=$(now); calc "$t1 - $t0"
done | best)
native_small=$(for _ in $(seq $runs); do
    t0=$(now); find "$small" -type f -print0 | xargs -0 md5sum >/dev/null; t1=$(now); calc "$t1 - $t0"
done | best)

"$wine_run" --prepare
# Digestor: one run each, best of $runs.
digestor() { # path entries -> seconds; checks the count of result lines, and the big file's line
    local path=$1 entries=$2 output
    output=$("$wine_run" "$bin/digestor_drive.exe" run list close -- "$(windows "$bin/Digestor.exe")" \
        "$(windows "$path")")
    output=${output//$'\r'/}
    [[ $(grep -c ' <- MD5 -> ' <<<"$output") == "$entries" ]] ||
        { echo "run_bench: not $entries result lines: $(head -n 5 <<<"$output")" >&2; exit 1; }
    if [[ $entries == 1 ]]; then
        local expected
        expected="$(md5sum "$path" | cut -d' ' -f1) <- MD5 -> $(windows "$path")"
        grep -qxF "  $expected" <<<"$output" || { echo "run_bench: wrong result: $output" >&2; exit 1; }
    fi
    sed -n 's/^run: \([0-9.]*\) s.*/\1/p' <<<"$output"
}
wine_big=$(for _ in $(seq $runs); do digestor "$big" 1; done | best)
wine_small=$(for _ in $(seq $runs); do digestor "$small" 10000; done | best)
one_big=$(for _ in $(seq $runs); do DIGESTOR_WORKERS=1 digestor "$big" 1; done | best)
one_small=$(for _ in $(seq $runs); do DIGESTOR_WORKERS=1 digestor "$small" 10000; done | best)

list_lines=200000
listings=()
for _ in $(seq $((list_lines / 10000))); do listings+=(dir "$(windows "$small")\\*"); done
big_list() { # -> "clear-seconds close-seconds": the list filled, cleared, filled again, closed
    local output clear close
    output=$("$wine_run" "$bin/digestor_drive.exe" "${listings[@]}" clear "${listings[@]}" close -- \
        "$(windows "$bin/Digestor.exe")")
    output=${output//$'\r'/}
    clear=$(sed -n 's/^clear: \([0-9.]*\) s.*/\1/p' <<<"$output")
    close=$(sed -n 's/^close: \([0-9.]*\) s.*/\1/p' <<<"$output")
    [[ $(grep -cx "dir: $list_lines lines" <<<"$output") == 2 && -n $clear && -n $close ]] ||
        { echo "run_bench: no clear and close of $list_lines lines: $(tail -n 3 <<<"$output")" >&2; exit 1; }
    echo "$clear $close"
}
list_times=$(for _ in $(seq $runs); do big_list; done)
list_clear=$(cut -d' ' -f1 <<<"$list_times" | best)
list_close=$(cut -d' ' -f2 <<<"$list_times" | best)

printf '\n%-40s %10s %10s %10s\n' "run" "Digestor" "native" "ratio"
printf '%-40s %9.3fs %9.3fs %9.2fx   (goal <= 1.05x md5sum)\n' "256 MiB file, MD5 (md5sum)" \
    "$wine_big" "$native_big" "$(calc "$wine_big / $native_big")"
printf '%-40s %9.3fs %9.3fs %9.2fx\n' "  the same, one worker" \
    "$one_big" "$native_big" "$(calc "$one_big / $native_big")"
printf '%-40s %9.3fs %9.3fs %9.2fx\n' "10,000 files of 1 KiB, MD5 (md5sum)" \
    "$wine_small" "$native_small" "$(calc "$wine_small / $native_small")"
printf '%-40s %10.0f %10.0f   (goal >= 8000 files/s)\n' "  files a second" \
    "$(calc "10000 / $wine_small")" "$(calc "10000 / $native_small")"
printf '%-40s %10.0f   (all / one: %.2fx, goal >= 1.80x)\n' "  files a second, one worker" \
    "$(calc "10000 / $one_small")" "$(calc "$one_small / $wine_small")"
printf '%-40s %9.3fs   (goal <= 2 s)\n' "200,000 lines in the list: clear" "$list_clear"
printf '%-40s %9.3fs   (goal <= 2 s)\n' "200,000 lines in the list: close" "$list_close"
