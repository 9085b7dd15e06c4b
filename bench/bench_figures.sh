# Sourced by the benchmark scripts: their folders and timing, the test data run_bench.sh,
# console_bench.sh and compare_bench.sh time, in $work (big.bin, small/, eight/), and the rows of the
# figures they share, with their goals.

# bench_folders BIN WORK: bin and work (made) in full, here (the repository) and wine_run.
bench_folders() {
    bin=$(realpath "$1") && mkdir -p "$2" && work=$(realpath "$2")
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd) && wine_run=$here/scripts/wine-run
}
# once COMMAND...: the wall time of COMMAND, in seconds; it must succeed.
once() {
    local t0 t1
    t0=$(date +%s.%N) && "$@" >/dev/null && t1=$(date +%s.%N) && awk "BEGIN { print $t1 - $t0 }"
}
# best COMMAND...: the shortest of $runs wall times of COMMAND.
best() {
    for _ in $(seq $runs); do once "$@"; done | sort -g | head -1
}
windows() { local p=$1; echo "Z:${p//\//\\}"; }
calc() { awk "BEGIN { print $1 }"; }
# verdict VALUE OP GOAL: "met" or "missed"
verdict() { awk "BEGIN { print ($1 $2 $3) ? \"met\" : \"missed\" }"; }

# make_data: one 256 MiB file, 10,000 files of 1 KiB and 8 files of 32 MiB, each made once.
make_data() {
    big=$work/big.bin small=$work/small eight=$work/eight
    [[ -f $big && $(stat -c %s "$big") == 268435456 ]] || head -c 268435456 /dev/urandom >"$big"
    if [[ ! -d $small || $(find "$small" -type f | wc -l) != 10000 ]]; then
        rm -rf "$small" && mkdir -p "$small"
        head -c $((10000 * 1024)) /dev/urandom | split -b 1024 -a 5 -d - "$small/f"
    fi
    if [[ ! -d $eight || $(find "$eight" -type f -size 32M | wc -l) != 8 ]]; then
        rm -rf "$eight" && mkdir -p "$eight"
        head -c $((8 * 32 * 1048576)) /dev/urandom | split -b $((32 * 1048576)) -a 1 -d - "$eight/m"
    fi
}

row_head() { printf '%-44s %9s %9s %9s   %-30s %s\n' "" "all" "one" "$1" "goal" "verdict"; }
# small_rows LABEL NATIVE: the 10,000 files from $wine_small, $one_small and $native_small (seconds).
small_rows() {
    local rate gain
    rate=$(calc "10000 / $wine_small") gain=$(calc "$one_small / $wine_small")
    printf '%-44s %8.0f/s %8.0f/s %8.0f/s   %-30s %s\n' "$1" "$rate" "$(calc "10000 / $one_small")" \
        "$(calc "10000 / $native_small")" ">= 8000 files/s" "$(verdict "$rate" '>=' 8000)"
    printf '%-44s %8.2fx %9s %9s   %-30s %s\n' "  all workers against one" "$gain" "" "" ">= 1.80x" \
        "$(verdict "$gain" '>=' 1.8)"
}
# file_rows EIGHT-LABEL BIG-LABEL NATIVE: the 8 files and the big one from $wine_eight, $one_eight,
# $native_eight, $wine_big, $one_big and $native_big, against the native tool NATIVE.
file_rows() {
    local ratio gain big_ratio
    ratio=$(calc "$wine_eight / $native_eight") gain=$(calc "$one_eight / $wine_eight")
    big_ratio=$(calc "$wine_big / $native_big")
    printf '%-44s %8.3fs %8.3fs %8.3fs\n' "$1" "$wine_eight" "$one_eight" "$native_eight"
    printf '%-44s %8.2fx %8.2fx %9s   %-30s %s\n' "  against $3" "$ratio" "$(calc "$one_eight / $native_eight")" "" \
        "all <= 0.60x $3" "$(verdict "$ratio" '<=' 0.6)"
    printf '%-44s %8.2fx %9s %9s   %-30s %s\n' "  all workers against one" "$gain" "" "" ">= 1.80x" \
        "$(verdict "$gain" '>=' 1.8)"
    printf '%-44s %8.3fs %8.3fs %8.3fs\n' "$2" "$wine_big" "$one_big" "$native_big"
    printf '%-44s %8.2fx %8.2fx %9s   %-30s %s\n' "  against $3" "$big_ratio" "$(calc "$one_big / $native_big")" "" \
        "all <= 1.05x $3" "$(verdict "$big_ratio" '<=' 1.05)"
}
# one_row LABEL SECONDS GOAL-TEXT OP GOAL: a figure of its own.
# one_row LABEL VALUE GOAL OP LIMIT [UNIT]: UNIT "s" unless given; an empty GOAL has no verdict.
one_row() {
    local unit=${6:-s} format='%8.3f'
    [[ $unit == s ]] || format='%8.1f'
    printf "%-44s $format%-3s %7s %9s   %-30s %s\n" "$1" "$2" "$unit" "" "" "$3" \
        "$([[ -n $3 ]] && verdict "$2" "$4" "$5")"
}
ratio_row() {
    printf '%-44s %8.2fx %9s %9s   %-30s %s\n' "$1" "$2" "" "" "$3" "$(verdict "$2" "$4" "$5")"
}
# make_tree DIR FOLDERS: FOLDERS folders of 1,000 files of 100 bytes each, made once.
make_tree() {
    local dir=$1 folders=$2 d
    [[ -d $dir && $(find "$dir" -type f | wc -l) == $((folders * 1000)) ]] && return
    rm -rf "$dir"
    for d in $(seq -w 0 $((folders - 1))); do
        mkdir -p "$dir/d$d"
        head -c $((1000 * 100)) /dev/urandom | split -b 100 -a 3 -d - "$dir/d$d/f"
    done
}
