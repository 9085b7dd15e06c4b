#!/usr/bin/env bash
# console_bench.sh BIN WORK: times DigestorCmd.exe under Wine beside md5sum.
#   - `DigestorCmd -c` on a list of one 256 MiB file against `md5sum -c` (goal: at most 1.1 x its time),
#     and on its SHA256SUMS line against `sha256sum -c` (the same goal)
#   - the digest of 10,000 files of 1 KiB (goal: at least 5,000 files a second)
# BIN is the Windows tree's bin/, WORK a folder for the test data (shared with run_bench.sh and
# kept between runs). Each figure is the best of three runs of the whole program, Wine's start included.
set -euo pipefail
bin=$(realpath "$1")
mkdir -p "$2"
work=$(realpath "$2")
wine_run=$(cd "$(dirname "$0")/.." && pwd)/scripts/wine-run
big=$work/big.bin small=$work/small runs=3

[[ -f $big && $(stat -c %s "$big") == 268435456 ]] || head -c 268435456 /dev/urandom >"$big"
if [[ ! -d $small || $(find "$small" -type f | wc -l) != 10000 ]]; then
    rm -rf "$small" && mkdir -p "$small"
    head -c $((10000 * 1024)) /dev/urandom | split -b 1024 -a 5 -d - "$small/f"
fi
(cd "$work" && md5sum big.bin >big.md5 && sha256sum big.bin >big.sha256)
windows() { local p=$1; echo "Z:${p//\//\\}"; }

# best COMMAND...: the shortest of $runs wall times of COMMAND, in seconds; it must succeed.
best() {
    for _ in $(seq $runs); do
        local t0 t1
        t0=$(date +%s.%N) && "$@" >/dev/null && t1=$(date +%s.%N) && awk "BEGIN { print $t1 - $t0 }"
    done | sort -g | head -1
}
calc() { awk "BEGIN { print $1 }"; }

"$wine_run" --prepare
native_check=$(cd "$work" && best md5sum -c big.md5)
wine_check=$(best "$wine_run" "$bin/DigestorCmd.exe" -c "$(windows "$work/big.md5")")
native_sha=$(cd "$work" && best sha256sum -c big.sha256)
wine_sha=$(best "$wine_run" "$bin/DigestorCmd.exe" -c "$(windows "$work/big.sha256")")
wine_small=$(best "$wine_run" "$bin/DigestorCmd.exe" "$(windows "$small")")
[[ $("$wine_run" "$bin/DigestorCmd.exe" "$(windows "$small")" | wc -l) == 10000 ]] ||
    { echo "console_bench: DigestorCmd did not list 10,000 files" >&2; exit 1; }

printf '\n%-40s %10s %10s %10s\n' "DigestorCmd" "Wine" "md5sum" "ratio"
printf '%-40s %9.3fs %9.3fs %9.2fx   (goal <= 1.10x md5sum)\n' "-c, one 256 MiB file (md5sum -c)" \
    "$wine_check" "$native_check" "$(calc "$wine_check / $native_check")"
printf '%-40s %9.3fs %9.3fs %9.2fx   (goal <= 1.10x sha256sum)\n' "-c, SHA256SUMS of it (sha256sum -c)" \
    "$wine_sha" "$native_sha" "$(calc "$wine_sha / $native_sha")"
printf '%-40s %9.3fs %10s %10.0f files/s   (goal >= 5000 files/s)\n' "10,000 files of 1 KiB, MD5" \
    "$wine_small" "" "$(calc "10000 / $wine_small")"
