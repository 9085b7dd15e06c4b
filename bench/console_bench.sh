#!/usr/bin/env bash
# console_bench.sh BIN WORK: times DigestorCmd.exe under Wine beside md5sum, with every worker (the
# default: one per processor) and with one (DIGESTOR_WORKERS=1), and says of each figure whether it
# meets its goal. The checks (-c) of md5sum lists of the files run_bench.sh digests:
#   - 10,000 files of 1 KiB: at least 8,000 files a second, and 1.8 x the pace of one worker
#   - 8 files of 32 MiB: at most 0.6 x the time of `md5sum -c`, and 1.8 x the pace of one worker
#   - one 256 MiB file: at most 1.05 x the time of `md5sum -c`
# and, with one goal each, the same file's SHA256SUMS line against `sha256sum -c` (1.1 x its time)
# and the digest of the 10,000 files (at least 5,000 files a second), and their recording into a
# recorded list (--record, SHA-256) against a plain SHA-256 digest run (at most 1.05 x its time).
# The check of the 10,000 files is timed beside the same check by the DigestorCmd.exe of commit
# 29a535f, an older build that read one file at a time: one worker at least its pace, every worker
# beyond it. That build is made once from the repository's own history (WORK/past-29a535f, its
# DigestorCmd target alone, with the same MinGW toolchain file); without the commit (a shallow
# clone) the row says "not measured".
# BIN is the Windows tree's bin/, WORK a folder for the test data (shared with run_bench.sh and
# kept between runs). Each figure is the best of three runs of the whole program, less the time
# Wine takes to start it and end it (that of a check of one small file, printed too).
set -euo pipefail
bin=$(realpath "$1")
mkdir -p "$2"
work=$(realpath "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$here/scripts/wine-run
runs=3
past=29a535f # the older build the check of the small files is timed beside

source "$(dirname "$0")/bench_figures.sh"
make_data
(cd "$work" && md5sum big.bin >big.md5 && sha256sum big.bin >big.sha256)
(cd "$work" && md5sum eight/* >eight.md5 && find small -type f | sort | xargs md5sum >small.md5)
(cd "$work" && md5sum small/f00000 >one.md5)

# past_bin: the bin/ of commit $past's DigestorCmd.exe, built on first use; nothing when the history
# lacks the commit or it does not build (its log then stays in the build folder).
past_bin() {
    local dir=$work/past-$past
    if [[ ! -f $dir/build/bin/DigestorCmd.exe ]]; then
        git -C "$here" cat-file -e "$past^{commit}" 2>/dev/null || return 0
        [[ -f $dir/src/CMakeLists.txt ]] ||
            { rm -rf "$dir/src" && mkdir -p "$dir/src" && git -C "$here" archive "$past" | tar -x -C "$dir/src"; }
        echo "console_bench: building DigestorCmd.exe of $past in $dir/build" >&2
        { cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DDIGESTOR_GTEST_SOURCE=/nonexistent &&
            cmake --build "$dir/build" --target DigestorCmd; } >"$dir/build.log" 2>&1 ||
            { echo "console_bench: $past did not build, see $dir/build.log" >&2; return 0; }
    fi
    echo "$dir/build/bin"
}
past_dir=$(past_bin)

one() { DIGESTOR_WORKERS=1 "$@"; }
cmd() { "$wine_run" "$bin/DigestorCmd.exe" "$@"; }
check() { cmd -c -q "$(windows "$work/$1")"; } # LIST: the files of work/LIST checked

"$wine_run" --prepare
start=$(best check one.md5)
native_big=$(cd "$work" && best md5sum -c big.md5)
native_eight=$(cd "$work" && best md5sum -c eight.md5)
native_small=$(cd "$work" && best md5sum -c small.md5)
native_sha=$(cd "$work" && best sha256sum -c big.sha256)
# Each Wine figure less the start.
less_start() { calc "$1 - $start"; }
wine_big=$(less_start "$(best check big.md5)")
one_big=$(less_start "$(best one check big.md5)")
wine_eight=$(less_start "$(best check eight.md5)")
one_eight=$(less_start "$(best one check eight.md5)")
# The 10,000 files with every worker, with one and, when built, by $past (less its own start), in
# turns: a load that comes and goes on a shared machine weighs on the three alike.
past_check() { "$wine_run" "$past_dir/DigestorCmd.exe" -c -q "$(windows "$work/$1")"; }
small_turns() {
    for _ in $(seq $runs); do
        echo "all $(once check small.md5)"
        echo "one $(once one check small.md5)"
        [[ -z $past_dir ]] || echo "past $(once past_check small.md5)"
    done
}
small_times=$(small_turns)
best_of() { awk -v key="$1" '$1 == key { print $2 }' <<<"$small_times" | sort -g | head -1; }
wine_small=$(less_start "$(best_of all)")
one_small=$(less_start "$(best_of one)")
if [[ -n $past_dir ]]; then
    past_start=$(best past_check one.md5)
    past_small=$(calc "$(best_of past) - $past_start")
    [[ $("$wine_run" "$past_dir/DigestorCmd.exe" -c "$(windows "$work/small.md5")" | grep -c ': OK') == 10000 ]] ||
        { echo "console_bench: $past's DigestorCmd -c did not find 10,000 files OK" >&2; exit 1; }
fi
wine_sha=$(less_start "$(best check big.sha256)")
wine_digest=$(less_start "$(best cmd "$(windows "$small")")")
sha_digest=$(less_start "$(best cmd -a SHA256 "$(windows "$small")")")
sha_record=$(less_start "$(best cmd -a SHA256 --record "$(windows "$work/small.sha256")" "$(windows "$small")")")
[[ $(grep -c '^# size=' "$work/small.sha256") == 10000 ]] ||
    { echo "console_bench: --record did not record 10,000 files" >&2; exit 1; }
[[ $(cmd "$(windows "$small")" | wc -l) == 10000 ]] ||
    { echo "console_bench: DigestorCmd did not list 10,000 files" >&2; exit 1; }
[[ $(cmd -c "$(windows "$work/small.md5")" | grep -c ': OK') == 10000 ]] ||
    { echo "console_bench: DigestorCmd -c did not find 10,000 files OK" >&2; exit 1; }

sha_ratio=$(calc "$wine_sha / $native_sha")
digest_rate=$(calc "10000 / $wine_digest")
record_ratio=$(calc "$sha_record / $sha_digest")
printf '\nDigestorCmd.exe under Wine, %d processors: every worker (all) and one (one), less %.3f s of\n' \
    "$(nproc)" "$start"
printf "Wine's start and end\n"
row_head "md5sum"
small_rows "-c, 10,000 files of 1 KiB: files a second"
row_head "$past"
if [[ -n $past_dir ]]; then
    printf '%-44s %8.3fs %8.3fs %8.3fs   %s\n' "-c, the 10,000 files beside $past's" "$wine_small" "$one_small" \
        "$past_small" "($past: one file at a time, less its own start, $(printf %.3f "$past_start") s)"
    past_all=$(calc "$past_small / $wine_small") past_one=$(calc "$past_small / $one_small")
    printf '%-44s %8.2fx %8.2fx %9s   %-30s %s\n' "  pace against $past's" "$past_all" "$past_one" "" \
        "one >= 1.00x" "$(verdict "$past_one" '>=' 1)"
    printf '%-44s %9s %9s %9s   %-30s %s\n' "" "" "" "" "all > 1.00x" "$(verdict "$past_all" '>' 1)"
else
    printf '%-44s %9s %9s %9s   %s\n' "-c, the 10,000 files beside $past's" "" "" "not measured" \
        "$(git -C "$here" cat-file -e "$past^{commit}" 2>/dev/null &&
            echo "(it did not build: $work/past-$past/build.log)" || echo "(the history lacks $past: a shallow clone)")"
fi
row_head "md5sum"
file_rows "-c, 8 files of 32 MiB" "-c, one 256 MiB file" "md5sum -c"
printf '%-44s %8.3fs %9s %8.3fs   %-30s %s\n' "-c, SHA256SUMS of it (sha256sum -c)" "$wine_sha" "" "$native_sha" \
    "<= 1.10x sha256sum -c" "$(verdict "$sha_ratio" '<=' 1.1)"
printf '%-44s %8.0f/s %9s %9s   %-30s %s\n' "digest of the 10,000 files: files a second" "$digest_rate" "" "" \
    ">= 5000 files/s" "$(verdict "$digest_rate" '>=' 5000)"
printf '%-44s %8.3fs\n' "--record of the 10,000 files, SHA-256" "$sha_record"
printf '%-44s %8.3fs\n' "  a plain SHA-256 digest of them" "$sha_digest"
printf '%-44s %8.2fx %9s %9s   %-30s %s\n' "  --record against the digest" "$record_ratio" "" "" "<= 1.05x" \
    "$(verdict "$record_ratio" '<=' 1.05)"
