#!/usr/bin/env bash
# compare_program.sh CMD HOLD WINE_RUN WORK: DigestorCmd.exe --compare under Wine on trees made in WORK.
set -euo pipefail
cmd=$1 hold=$2 wine_run=$3 work=$4
source "$(dirname "$0")/console_helpers.sh"
rm -rf "$work" && mkdir -p "$work" && trap 'rm -rf "$work"' EXIT
W=$(win "$work")
# put FILE BYTES: FILE, with its folders, holding BYTES random bytes.
put() { mkdir -p "$(dirname "$1")" && head -c "$2" /dev/urandom >"$1"; }
# oracle ORIGINAL COPY: the verdicts of diff -rq's lines, a folder's "Only in" as its files and empty folders.
oracle() {
    { diff -rq "$1" "$2" || true; } | while IFS= read -r line; do
        if [[ $line == "Files "* ]]; then
            line=${line#"Files $1/"} && echo "DIFFERENT: ${line%% and *}" && continue
        fi
        local dir=${line#Only in } name=${line##*: } verdict=EXTRA root=$2
        dir=${dir%%: *} && [[ $dir == "$1" || $dir == "$1"/* ]] && verdict=MISSING root=$1
        dir=${dir#"$root"} && dir=${dir#/}
        (cd "$root" && find "${dir:+$dir/}$name" -type d -empty -printf "$verdict: %p/\n" -o -type f -printf "$verdict: %p\n")
    done
}

# DIFFERENT (the same size, and another), MISSING and EXTRA (files and folders) against diff -rq.
d=$work/d
for f in a.txt b.bin sub/c.dat sub/deep/e.txt sub/deep/f.txt g.txt h.txt; do put "$d/o/$f" $((RANDOM % 3000 + 1)); done
cp -a "$d/o" "$d/c" && put "$d/c/b.bin" "$(stat -c %s "$d/o/b.bin")" && echo more >>"$d/c/g.txt"
rm -r "$d/c/h.txt" "$d/c/sub/deep" && put "$d/c/new.txt" 10 && put "$d/c/more/x.bin" 20 && mkdir "$d/c/more/none"
run 1 "against diff -rq" --compare "$W\\d\\o" "$W\\d\\c"
expected=$(oracle "$d/o" "$d/c" | sort)
[[ $(sort <<<"$out") == "$expected" ]] || fail "against diff -rq: $out"$'\n'"expected: $expected"
tally "10 compared, 2 same, 2 different, 3 missing, 3 extra, 0 moved, 0 read errors"
default=$(<"$work/out")
run 1 "--quiet" --compare --quiet "$W\\d\\o" "$W\\d\\c" && [[ $(<"$work/out") == "$default" ]] || fail "--quiet: $out"
run 1 "--status" --compare --status "$W\\d\\o" "$W\\d\\c" && [[ -z $out && -z $err ]] || fail "--status: $out $err"
run 1 "-v" --compare -v "$W\\d\\o" "$W\\d\\c" && has "SAME: a.txt" "SAME: sub/c.dat" "DIFFERENT: b.bin"
# A recorded list of the original, written in the same read, which a check then passes.
run 1 "--record" --compare -a sha256 --record "$W\\d\\o.sha256" "$W\\d\\o" "$W\\d\\c"
[[ $out == "$(tr -d '\r' <<<"$default")" ]] || fail "--record changed the findings: $out"
(cd "$d" && sha256sum -c --strict --quiet o.sha256) || fail "sha256sum -c does not pass the recorded list"
run 0 "the recorded list checked" -c "$W\\d\\o.sha256" && [[ $(grep -c ': OK$' <<<"$out") == 7 ]] || fail "-c: $out"

# Every other verdict, in path order, byte for byte: a name in another case (paired), in NFD in the
# copy (paired, said so), MOVED (by name first, then in path order), empty folders, empty files,
# device names, a path past 260 characters, a file past 4 GiB differing only in its last byte, links
# (each folder once) and a file held without sharing on each side.
h=$work/h long=$(printf '%0120d' 0)
for side in o c; do
    mkdir -p "$h/$side/kept" "$h/$side/real" "$h/$side/$long/$long" && ln -s real "$h/$side/link"
    ln -s .. "$h/$side/real/up" && printf n >"$h/$side/nul.txt" && printf r >"$h/$side/real/f.txt"
    printf l >"$h/$side/lo.txt" && printf l >"$h/$side/lc.txt" && : >"$h/$side/zero.txt"
    truncate -s 4G "$h/$side/big.bin"
done
printf a >>"$h/o/big.bin" && printf b >>"$h/c/big.bin" && printf aux >"$h/o/aux.h" && printf AUX >"$h/c/aux.h"
nfc=caf$'\xc3\xa9'.txt nfd=cafe$'\xcc\x81'.txt && printf c >"$h/o/$nfc" && printf c >"$h/c/$nfd"
mkdir "$h/o/empty" "$h/c/more" && printf f >"$h/o/$long/$long/f.txt" && printf g >"$h/c/$long/$long/f.txt"
put "$h/o/old/x.jpg" 1000 && mkdir -p "$h/c/new" "$h/o/p" "$h/c/q" "$h/c/r" && cp "$h/o/old/x.jpg" "$h/c/new/"
for f in o/p/a o/p/b c/q/b c/r/a; do printf same >"$h/$f.txt"; done
printf r >"$h/o/Readme.TXT" && printf r >"$h/c/README.txt" && : >"$h/o/zero2.txt" && printf 1 >"$h/c/zero2.txt"
rm -f "$work/go" && "$wine_run" "$hold" "$W\\go" "$W\\h\\o\\lo.txt" "$W\\h\\c\\lc.txt" &
holder=$!
for _ in $(seq 600); do [[ ! -e $work/go.held ]] && kill -0 $holder 2>/dev/null && sleep 0.5; done
[[ -e $work/go.held ]] || fail "the files were not held"
run 1 "every verdict" --compare "$W\\h\\o" "$W\\h\\c"
touch "$work/go" && wait $holder || fail "the holder failed"
cmp <(printf '%s\r\n' "DIFFERENT: $long/$long/f.txt" "DIFFERENT: aux.h" "DIFFERENT: big.bin" \
    "SAME: $nfc (in the copy in another Unicode form: $nfd)" "MISSING: empty/" "READ ERROR: lc.txt (copy)" \
    "READ ERROR: lo.txt (original)" "EXTRA: more/" "MOVED: old/x.jpg -> new/x.jpg" "MOVED: p/a.txt -> r/a.txt" \
    "MOVED: p/b.txt -> q/b.txt" "DIFFERENT: zero2.txt") "$work/out" || fail "every verdict: $out"
tally "17 compared, 6 same, 4 different, 1 missing, 1 extra, 3 moved, 2 read errors, 1 in another Unicode form"
# Alone, a name in another case passes; one in another Unicode form does not.
n=$work/n && mkdir -p "$n/o" "$n/c" && printf r >"$n/o/Readme.TXT" && printf r >"$n/c/README.txt"
run 0 "a name in another case" --compare "$W\\n\\o" "$W\\n\\c"
printf c >"$n/o/$nfc" && printf c >"$n/c/$nfd" && run 1 "a name in NFD" --compare "$W\\n\\o" "$W\\n\\c"

# A copy inside the original, left out of its walk; links to an ancestor and to a folder: each once.
i=$work/i && put "$i/a.bin" 100 && put "$i/s/b.bin" 200 && ln -s s "$i/link" && ln -s .. "$i/s/up"
mkdir "$i/backup" && cp -a "$i/a.bin" "$i/s" "$i/link" "$i/backup/"
run 0 "a copy inside the original" --compare -v "$W\\i" "$W\\i\\backup"
[[ $out == $'SAME: a.bin\nSAME: '@(link|s)/b.bin && $err == *"left out"* ]] || fail "inside: $out $err"
tally "2 compared, 2 same, 0 different, 0 missing, 0 extra, 0 moved, 0 read errors"

# A side that cannot be read, the same folder twice (through a link), bad usage: exit 2.
ln -s o "$h/same"
run 2 "the same folder twice" --compare "$W\\h\\o" "$W\\h\\same" && [[ $err == *"are the same"* ]] || fail "$err"
run 2 "no copy" --compare "$W\\h\\o" "$W\\h\\none" && [[ $err == *"cannot read the copy"* ]] || fail "$err"
run 2 "no original" --compare "$W\\h\\none" "$W\\h\\o" && [[ $err == *"cannot read the original"* ]] || fail "$err"
for usage in "--compare $W\\h\\o" "--compare -c $W\\h\\o $W\\h\\c" "-v $W\\h\\o" "--compare -v -q $W\\h\\o $W\\h\\c"; do
    run 2 "usage: $usage" $usage && [[ -z $out && $err == *"DigestorCmd -h"* ]] || fail "usage: $usage: $err"
done
echo "compare_program: ok"
