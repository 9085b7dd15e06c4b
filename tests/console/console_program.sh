#!/usr/bin/env bash
# console_program.sh CMD CTRL_C WINE_RUN WORK VERSION: DigestorCmd.exe under Wine on a tree in WORK.
set -euo pipefail
cmd=$1 ctrl_c=$2 wine_run=$3 work=$4 version=$5
fail() { echo "console_program: $*" >&2; exit 1; }
win() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }
md5() { md5sum <"$1" | cut -c1-32; }
# run CODE WHAT ARGS...: DigestorCmd ARGS must exit with CODE; output raw in $work/out, text in $out.
finish() { out=$(iconv -f cp1252 -t utf-8 "$work/out" | tr -d '\r') err=$(<"$work/err")
    [[ $code == "$1" ]] || fail "$2: exit $code, not $1; out: $out; err: $err"; }
run() { code=0; "$wine_run" "$cmd" "${@:3}" >"$work/out" 2>"$work/err" || code=$?; finish "$1" "$2"; }
has() { for line; do grep -qxF -- "$line" <<<"$out" || fail "no line '$line' in: $out"; done; }
# ctrl_c CODE WHAT ARGS...: as run, with Ctrl+C while it reads $stream (kept open by us, fed by cat).
ctrl_c() {
    rm -f "$work/go" && code=0
    "$wine_run" "$ctrl_c" "$W\\go" "$(printf '"%s" ' "$(win "$cmd")" "${@:3}")" >"$work/out" 2>"$work/err" &
    local helper=$!
    exec 3<>"$stream" && timeout 60 head -c 1048576 /dev/zero >&3 && { cat /dev/zero >"$stream" 2>/dev/null 3>&- & }
    touch "$work/go" && { wait $helper || code=$?; } && exec 3>&- && wait && finish "$1" "$2"
}

rm -rf "$work" && mkdir -p "$work/d/sub/deeper" "$work/lists" && trap 'rm -rf "$work"' EXIT
printf abc >"$work/d/a.txt" && printf x >"$work/d/sub/é & 100%.txt"
head -c 300000 /dev/urandom >"$work/d/sub/deeper/big.bin"
W=$(win "$work") rule=$(printf '%080d' 0 | tr 0 -)

run 0 "digest" -o "$W\\lists\\d.txt" "$W\\d"
# In walk order: depth first, each folder's entries sorted by name as Wine lists them.
expected=$(for f in a.txt sub/deeper/big.bin "sub/é & 100%.txt"; do echo "$(md5 "$work/d/$f") <- MD5 -> $(win "$work/d/$f")"; done)
[[ $out == "$expected" ]] || fail "lines: $out"$'\n'"expected: $expected"
cmp <(printf '%s\r\n%17s%s\r\n%s\r\n\r\n' "$rule" "" "Digestor v$version - List of checksums" "$rule"
    cat "$work/out") "$work/lists/d.txt" || fail "the -o list is not the saved list's bytes"
run 0 "check" -c "$W\\lists\\d.txt"
has "$W\\d\\sub\\é & 100%.txt: OK" "3 checked, 3 OK, 0 failed, 0 missing, 0 not checked"

# German, lines of other algorithms (RFC 1320 MD4, the README's CRC32), a path, a failure line.
printf '%s\r\n' "$rule" "$(printf '%17sDigestor v%s - Liste der Pr\xfcfsummen' "" "$version")" "$rule" "" \
    "a448017aaf21d8525fc10ae87aa6729d <- MD4 -> $W\\d\\a.txt" "ca6598d0 <- CRC32 -> a.txt" "$W\\d\\a.txt" \
    $'(\xd6ffnen fehlgeschlagen) <- MD5 -> a.txt' >"$work/d/de.txt"
run 0 "German list" -c "$W\\d\\de.txt"
has "2 checked, 2 OK, 0 failed, 0 missing, 2 not checked"
(cd "$work/d" && md5sum a.txt && md5sum -b sub/deeper/big.bin) >"$work/d/sums.md5"
run 0 "md5sum file, paths relative to it" -c "$W\\d\\sums.md5"
has "sub/deeper/big.bin: OK"
printf abd >"$work/d/a.txt" && rm "$work/d/sub/deeper/big.bin"
run 1 "changed and removed" -c -q "$W\\lists\\d.txt"
[[ $out == "$W\\d\\a.txt: FAILED"*"big.bin: MISSING"$'\n'"3 checked, 1 OK, 1 failed, 1 missing, 0 not checked" ]] ||
    fail "changed and removed: $out"
run 2 "unreadable list" -c "$W\\lists\\none.txt"
grep -qF none.txt <<<"$err" || fail "the message does not name the list: $err"
stream=$work/d/stream && mkfifo "$stream"
ctrl_c 1 "Ctrl+C while digesting" -o "$W\\lists\\stopped.txt" "$W\\d\\de.txt" "$W\\d\\stream"
has "$(md5 "$work/d/de.txt") <- MD5 -> $W\\d\\de.txt"
[[ $(ls "$work/lists") == d.txt ]] || fail "Ctrl+C left a list: $(ls "$work/lists")"
printf '%s  d/de.txt\n%s  d/stream\n' "$(md5 "$work/d/de.txt")" "$(md5 /dev/null)" >"$work/stopped.md5"
ctrl_c 1 "Ctrl+C while checking" -c "$W\\stopped.md5"
has "1 checked, 1 OK, 0 failed, 0 missing, 0 not checked"
echo "console_program: ok"
