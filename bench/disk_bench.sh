#!/usr/bin/env bash
# disk_bench.sh BIN WORK: a whole disk's worth of small files, minutes of work (`make bench-disk`,
# not part of `make bench`): 1,000,000 files of 100 bytes in 1,000 folders beside the 100,000 of
# run_bench.sh, each walked and digested by Digestor.exe from its command line (the question
# answered Yes, until the last line), saved through the save dialog; then DigestorCmd.exe over the
# million and `-c` of their saved list. Prints the times, the ratio to the 100,000 (a linear
# program gives 10x), the window's slowest answer, its working set at the end and at its peak, and
# the console's peak working set (DIGESTOR_MEMORY), with bytes a line of the checked list.
set -euo pipefail
bin=$(realpath "$1")
mkdir -p "$2"
work=$(realpath "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$here/scripts/wine-run
source "$here/bench/bench_figures.sh"
make_tree "$work/tree" 100
make_tree "$work/tree1m" 1000

"$wine_run" --prepare
window() { # TREE FILES -> prints "seconds answer-ms working-set-MiB peak-MiB"
    local saved=$work/disk_saved.txt output
    rm -f "$saved"
    output=$("$wine_run" "$bin/digestor_drive.exe" run save "$(windows "$saved")" dismiss memory close -- \
        "$(windows "$bin/Digestor.exe")" "$(windows "$1")" | tr -d '\r')
    [[ $(grep -c ' <- MD5 -> ' "$saved") == "$2" ]] ||
        { echo "disk_bench: not $2 result lines: $(tail -n 3 <<<"$output")" >&2; exit 1; }
    echo "$(sed -n 's/^walk and run: \([0-9.]*\) s.*/\1/p' <<<"$output")" \
        "$(sed -n 's/^slowest answer: \([0-9]*\) ms/\1/p' <<<"$output")" \
        "$(sed -n 's/^memory: \([0-9.]*\) MiB working set, \([0-9.]*\) MiB.*/\1 \2/p' <<<"$output")"
}
read -r t100 a100 w100 p100 <<<"$(window "$work/tree" 100000)"
read -r t1m a1m w1m p1m <<<"$(window "$work/tree1m" 1000000)"
ratio=$(calc "$t1m / $t100")

# The console: lines go out as they are done; the list is written by the shell.
list=$work/tree1m.md5
console() { # ARGS... -> "seconds peak-KiB" of DigestorCmd ARGS, the peak its own working set
    local t0 t1 stats=$work/disk_err.txt
    t0=$(date +%s.%N)
    DIGESTOR_MEMORY=1 "$wine_run" "$bin/DigestorCmd.exe" "$@" >"$work/disk_out.txt" 2>"$stats"
    t1=$(date +%s.%N)
    echo "$(calc "$t1 - $t0") $(calc "$(sed -n 's/.*peak working set: \([0-9]*\) bytes.*/\1/p' "$stats" | tr -d '\r') / 1024")"
}
read -r cdigest cdigest_kib <<<"$(console "$(windows "$work/tree1m")")"
tr -d '\r' <"$work/disk_out.txt" >"$list"
[[ $(wc -l <"$list") == 1000000 ]] || { echo "disk_bench: DigestorCmd did not list 1,000,000 files" >&2; exit 1; }
read -r ccheck ccheck_kib <<<"$(console -c -q "$(windows "$list")")"

printf '\nA whole disk under Wine, %d processors (a shared machine: figures vary with its load)\n' "$(nproc)"
printf '%-44s %10s %10s %12s %12s\n' "" "time" "answer" "working set" "peak"
printf '%-44s %9.1fs %8sms %9.1fMiB %9.1fMiB\n' "Digestor.exe, 100,000 files: walk and run" "$t100" "$a100" "$w100" "$p100"
printf '%-44s %9.1fs %8sms %9.1fMiB %9.1fMiB\n' "Digestor.exe, 1,000,000 files: walk and run" "$t1m" "$a1m" "$w1m" "$p1m"
ratio_row "  1,000,000 against 100,000 (linear: 10x)" "$ratio" "<= 11.00x" '<=' 11
one_row "  slowest answer of the window" "$a1m" "<= 250 ms" '<=' 250 ms
printf '%-44s %9.1fs %23s %9.1fMiB\n' "DigestorCmd.exe, 1,000,000 files" "$cdigest" "" "$(calc "$cdigest_kib / 1024")"
printf '%-44s %9.1fs %23s %9.1fMiB\n' "DigestorCmd.exe -c of their 1,000,000 lines" "$ccheck" "" "$(calc "$ccheck_kib / 1024")"
one_row "  its peak a line of the list" "$(calc "$ccheck_kib * 1024 / 1000000")" "<= 200 bytes" '<=' 200 bytes
