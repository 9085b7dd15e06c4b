#!/usr/bin/env bash
# console_program.sh CMD CTRL_C WINE_RUN WORK VERSION: DigestorCmd.exe under Wine on a tree in WORK.
set -euo pipefail
cmd=$1 ctrl_c=$2 wine_run=$3 work=$4 version=$5
source "$(dirname "$0")/console_helpers.sh"
md5() { md5sum <"$1" | cut -c1-32; }
# ctrl_c CODE WHAT ARGS...: as run, with Ctrl+C while it reads $stream, a pipe that DIGESTOR_READ_PIPES lets
# through (kept open by us, fed by cat). One worker, so the files before it are surely done.
ctrl_c() {
    rm -f "$work/go" && code=0
    DIGESTOR_WORKERS=1 DIGESTOR_READ_PIPES=1 "$wine_run" "$ctrl_c" "$W\\go" "$(printf '"%s" ' "$(win "$cmd")" "${@:3}")" \
        >"$work/out" 2>"$work/err" &
    local helper=$!
    exec 3<>"$stream" && fill "$2" && { cat /dev/zero >"$stream" 2>/dev/null 3>&- & }
    touch "$work/go" && { wait $helper || code=$?; } && exec 3>&- && wait && finish "$1" "$2"
}
# fill WHAT [FD]: a MiB into $stream (fd 3, or FD), which the program under test must read first; a start held up
# behind other Wine programs is no failure, a program that reads nothing in minutes is.
fill() { timeout 300 head -c 1048576 /dev/zero >&"${2:-3}" || fail "$1: standard input was not read"; }

rm -rf "$work" && mkdir -p "$work/d/sub/deeper" "$work/lists" && trap 'rm -rf "$work"' EXIT
printf abc >"$work/d/a.txt" && printf x >"$work/d/sub/é & 100%.txt"
head -c 300000 /dev/urandom >"$work/d/sub/deeper/big.bin"
W=$(win "$work") rule=$(printf '%080d' 0 | tr 0 -)

run 0 "digest" -o "$W\\lists\\d.txt" "$W\\d"
cp "$work/out" "$work/plain" && run 0 "digest, --progress" --progress -o "$W\\lists\\d.txt" "$W\\d"
cmp "$work/out" "$work/plain" || fail "--progress changed standard output"
# In walk order: depth first, each folder's entries sorted by name as Wine lists them.
expected=$(for f in a.txt sub/deeper/big.bin "sub/é & 100%.txt"; do echo "$(md5 "$work/d/$f") <- MD5 -> $(win "$work/d/$f")"; done)
[[ $out == "$expected" ]] || fail "lines: $out"$'\n'"expected: $expected"
cmp <(printf '%s\r\n%17s%s\r\n%s\r\n\r\n' "$rule" "" "Digestor v$version - List of checksums" "$rule"
    cat "$work/out") "$work/lists/d.txt" || fail "the -o list is not the saved list's bytes"
run 0 "check" -c "$W\\lists\\d.txt"
has "$W\\d\\sub\\é & 100%.txt: OK" && tally "3 checked, 3 OK, 0 failed, 0 missing, 0 not checked"

# German, lines of other algorithms (RFC 1320 MD4, the README's CRC32), a path, a failure line.
printf '%s\r\n' "$rule" "$(printf '%17sDigestor v%s - Liste der Pr\xfcfsummen' "" "$version")" "$rule" "" \
    "a448017aaf21d8525fc10ae87aa6729d <- MD4 -> $W\\d\\a.txt" "ca6598d0 <- CRC32 -> a.txt" "$W\\d\\a.txt" \
    $'(\xd6ffnen fehlgeschlagen) <- MD5 -> a.txt' \
    "$(md5 "$work/d/sub/é & 100%.txt") <- MD5 -> "$'sub\\\xe9 & 100%.txt' >"$work/d/de.txt"
run 0 "German list in cp1252" -c "$W\\d\\de.txt"
has "sub\\é & 100%.txt: OK" && tally "3 checked, 3 OK, 0 failed, 0 missing, 2 not checked"
(cd "$work/d" && md5sum a.txt && md5sum -b sub/deeper/big.bin) >"$work/d/sums.md5"
run 0 "md5sum file, paths relative to it" -c "$W\\d\\sums.md5"
has "sub/deeper/big.bin: OK"
printf abd >"$work/d/a.txt" && rm "$work/d/sub/deeper/big.bin"
run 1 "changed and removed" -c -q "$W\\lists\\d.txt"
[[ $out == "$W\\d\\a.txt: FAILED"$'\n'*"big.bin: MISSING" ]] || fail "changed and removed: $out"
tally "3 checked, 1 OK, 1 failed, 1 missing, 0 not checked"
run 2 "unreadable list" -c "$W\\lists\\none.txt"
grep -qF none.txt <<<"$err" || fail "the message does not name the list: $err"
stream=$work/d/stream && mkfifo "$stream"
ctrl_c 1 "Ctrl+C while digesting" -o "$W\\lists\\stopped.txt" "$W\\d\\de.txt" "$W\\d\\stream"
has "$(md5 "$work/d/de.txt") <- MD5 -> $W\\d\\de.txt"
[[ $(ls "$work/lists") == d.txt ]] || fail "Ctrl+C left a list: $(ls "$work/lists")"
printf '%s  d/de.txt\n%s  d/stream\n' "$(md5 "$work/d/de.txt")" "$(md5 /dev/null)" >"$work/stopped.md5"
ctrl_c 1 "Ctrl+C while checking" -c "$W\\stopped.md5"
tally "1 checked, 1 OK, 0 failed, 0 missing, 0 not checked"
# Ctrl+C while standard input, a pipe, has delivered a MiB and then nothing: as bytes and as a list.
for call in "--sum -" "-c -"; do
    rm -f "$work/go" && code=0 && exec 3<>"$stream"
    "$wine_run" "$ctrl_c" "$W\\go" "\"$(win "$cmd")\" $call" <"$stream" >"$work/out" 2>"$work/err" &
    helper=$! && fill "Ctrl+C reading standard input: $call" && touch "$work/go" && { wait $helper || code=$?; }
    exec 3>&- && finish 1 "Ctrl+C reading standard input: $call" && [[ -z $out && $err == *stopped* ]] ||
        fail "Ctrl+C reading standard input: $call: $out $err"
done
# Two runs held in a pipe after a MiB of it. The one redirected shows no progress line, not after 2 s
# either; the one with --progress shows one at once ("..." for what it does not know yet), then once
# a second the files and bytes done of all (the pipe's bytes unknown), the speed, the time left and
# the file being read.
mkfifo "$work/d/held" && exec 3<>"$stream" 4<>"$work/d/held"
held() { DIGESTOR_READ_PIPES=1 "$wine_run" "$cmd" "${@:2}" "$W\\d\\de.txt" "$W\\d\\$1" >/dev/null 2>"$work/err.$1" 3>&- 4>&- & }
held held && runs=$! && fill "the redirected run" 4 && held stream --progress && runs="$runs $!" && fill "--progress"
readouts='^1/2 files, 1\.0 MB/\.\.\., [0-9.]+ (bytes|[KMG]B)/s, \.\.\. left  .*\\stream *$'
lines() { tr '\r' '\n' <"$work/err.stream" | grep .; }
shown() { [[ $(lines | wc -l) -ge 3 && $(lines | tail -n 1) =~ $readouts ]]; } # 2 s after the first
for _ in $(seq 1000); do shown && break || sleep 0.1; done
exec 3>&- 4>&- && wait $runs
shown && [[ ! -s $work/err.held ]] || fail "progress lines: $(lines); redirected: $(<"$work/err.held")"
[[ $(head -c 80 "$work/err.stream") == $'\r'"$(printf '%-79s' "0/... files, 0 bytes/..., .../s, ... left")" ]] ||
    fail "the first progress line: $(head -c 80 "$work/err.stream")"
# On a console (a pseudo-terminal, which Wine takes for one) a check shows the line once it has
# lasted 2 s, not with -q, --status or --no-progress: four checks held in their pipes until the last
# shows it.
flags=(-q --status --no-progress "") ttys=()
for k in 0 1 2 3; do
    mkfifo "$work/d/tty$k" && printf '%s  tty%s\n' "$(md5 /dev/null)" $k >"$work/d/tty$k.md5"
    exec {fd}<>"$work/d/tty$k" && ttys+=("$fd")
    (for held in "${ttys[@]}"; do exec {held}>&-; done # each pipe's end is the test's alone
        DIGESTOR_READ_PIPES=1 exec script -qec "$(printf '%q ' "$wine_run" "$cmd" -c ${flags[k]} "$W\\d\\tty$k.md5")" \
            "$work/tty$k" </dev/null >/dev/null) & fill "a console's check ${flags[k]}" "$fd"
done
for _ in $(seq 1000); do grep -q " files, " "$work/tty3" && break || sleep 0.1; done
for fd in "${ttys[@]}"; do exec {fd}>&-; done && wait
grep -q " files, " "$work/tty3" && ! grep " files, " "$work/tty"[012] || fail "on a console: $(cat "$work"/tty?)"

# Names that are devices or lose a trailing dot unless taken literally, every script, a path of
# over 260 characters, one of over 519 (cut, reported, kept in the -o list), a web of folder links.
n=$work/n long=$(printf '%0120d' 0) && mkdir -p "$n/apache." "$n/$long/$long" "$n/far/$long/$long/$long/$long/x"
names=(nul.txt aux.h com1.log apache./in.txt Ābc.txt Abc.txt Привет.txt 日本語.txt "$long/$long/f.txt")
for f in "${names[@]}" far/$long/$long/$long/$long/x/g; do printf %s "$f" >"$n/$f"; done
for i in 1 2; do mkdir "$n/f$i" && printf $i >"$n/f$i/w" && ln -s "../f$((3 - i))" "$n/f$i/l"; done
far="(path too long) <- $(win "$n/far/$long/$long/$long/$long/x/g")" && far=${far:0:519} # a list line's length
run 1 "names, long paths, links" -o "$W\\n.txt" "$W\\n"
# A file reached through links shows only its digest: which path reaches it first is the walk's choice.
expected=$(for f in "${names[@]}"; do echo "$(md5 "$n/$f") <- MD5 -> $(win "$n/$f")"; done
    echo "$far" && for i in 1 2; do md5 "$n/f$i/w"; done)
[[ $(sed 's/ <- MD5 -> .*\\f[12]\\.*//' <<<"$out" | sort) == "$(sort <<<"$expected")" ]] ||
    fail "lines: $out"$'\n'"expected: $expected"
[[ $err == *"path too long"* ]] && grep -qxF "$far"$'\r' "$work/n.txt" || fail "too long: $err"
run 0 "check names" -c "$W\\n.txt"
has "$W\\n\\Привет.txt: OK" && tally "11 checked, 11 OK, 0 failed, 0 missing, 1 not checked"
# A device is no file; a file another program holds open for writing (cmd's >>, as a logger would) is read.
run 1 "device" '\\.\nul'
[[ $out == '(cannot open) <- MD5 -> \\.\nul' && $err == *'cannot open \\.\nul'* ]] || fail "device: $out $err"
echo held >"$work/held.txt" && held="$(md5 "$work/held.txt") <- MD5 -> $W\\held.txt"$'\r'
"$wine_run" cmd /c "$(win "$cmd") $W\\held.txt >>$W\\held.txt" </dev/null || fail "held: exit $?"
[[ $(tail -n 1 "$work/held.txt") == "$held" ]] || fail "held: $(<"$work/held.txt")"
# Standard output to a pipe nobody reads any more.
mkfifo "$work/closed" && exec 4<>"$work/closed" 5>"$work/closed" 4<&- && code=0
"$wine_run" "$cmd" "$W\\n" >&5 2>"$work/err" || code=$?
exec 5>&- && [[ $code == 2 && $(<"$work/err") == *"cannot write to standard output"* ]] || fail "closed pipe: $code"

# The SHA family against coreutils; their *sum files (a "*" line, an escaped name), --tag lines, an
# SFV file with the zip CRC (gzip's trailer holds it), a UTF-8 name; lines not understood.
s=$work/s && mkdir -p "$s/sub" && printf abc >"$s/a.txt" && head -c 70000 /dev/urandom >"$s/sub/x.bin"
printf 'Grüße' >"$s/Prüfung.txt"
run 0 "SHA-256" -a sha-256 "$W\\s\\a.txt"
[[ $out == "$(sha256sum <"$s/a.txt" | cut -c1-64) <- SHA256 -> $W\\s\\a.txt" ]] || fail "SHA-256: $out"
crc() { gzip -c <"$1" | tail -c8 | od -An -tx4 -N4 | tr -d ' '; }
(cd "$s" && sha1sum a.txt && sha256sum -b sub/x.bin && sha512sum Prüfung.txt && sha256sum --tag a.txt &&
    printf '\\%s  sub\\\\x.bin\n' "$(sha256sum <sub/x.bin | cut -c1-64)" && md5sum --tag a.txt) >"$s/SUMS"
printf '; made on Linux\r\nsub\\x.bin %s\r\nPrüfung.txt %s\r\n' "$(crc "$s/sub/x.bin")" "$(crc "$s/Prüfung.txt")" >"$s/s.sfv"
printf 'SHA384 (a.txt) = %096d\n' 0 >>"$s/SUMS"
for list in SUMS s.sfv; do
    run 0 "$list" -c "$W\\s\\$list"
    has "Prüfung.txt: OK"
done
has "sub\\x.bin: OK" && [[ $(grep -c ': OK$' <<<"$out") == 2 ]] || fail "SFV: $out"
run 0 "sums" -c "$W\\s\\SUMS" && [[ $(grep -c ': OK$' <<<"$out") == 6 && $err == *"WARNING: 1 line is improperly formatted"* ]] ||
    fail "sums: $out $err"
# --sum and --tag lines as coreutils writes them, of relative paths: a wildcard the program expands (a
# console passes it as typed), a folder, a file; sha512sum -c and DigestorCmd -c pass them. A file that
# cannot be read has no line, only a message.
for form in --sum --tag; do
    code=0 && (cd "$s" && "$wine_run" "$cmd" -a sha512 $form 'P*.txt' sub a.txt gone >"$s/list$form" 2>"$work/err") ||
        code=$?
    [[ $code == 1 && $(<"$work/err") == *"cannot open gone"* ]] || fail "$form: exit $code: $(<"$work/err")"
    [[ $(tr -d '\r' <"$s/list$form") == "$(cd "$s" && sha512sum ${form#--sum} Prüfung.txt sub/x.bin a.txt)" ]] ||
        fail "$form: $(<"$s/list$form")"
    (cd "$s" && sha512sum -c --strict --quiet "list$form") || fail "sha512sum -c does not pass the $form list"
    run 0 "$form list" -c "$W\\s\\list$form" && has "Prüfung.txt: OK" "sub/x.bin: OK" "a.txt: OK"
done
# The lines of openssl dgst (OpenSSL 3 names SHA-256 "SHA2-256"); an algorithm the program lacks is not checked.
(cd "$s" && openssl dgst -sha256 a.txt sub/x.bin && openssl dgst -sha1 Prüfung.txt && openssl dgst -blake2b512 a.txt) >"$s/ossl"
run 0 "openssl dgst list" -c "$W\\s\\ossl" && has "a.txt: OK" "sub/x.bin: OK" "Prüfung.txt: OK" &&
    [[ $err == *"WARNING: 1 line is improperly formatted"* ]] || fail "openssl dgst: $err"
# The newer kinds against b3sum, xxhsum and Python's hashlib; the lists and tags those tools write. A
# line's algorithm is its tag's, else its list's name's, else the one its length's first file matches,
# for the whole list; a list named for one kind never passes another's digests.
k=$work/k && mkdir -p "$k" && printf abc >"$k/a.txt" && cp "$s/sub/x.bin" "$k/x.bin" && cd "$k"
sha3() { python3 -c 'import hashlib,sys
for f in sys.argv[2:]: print(hashlib.new(sys.argv[1], open(f, "rb").read()).hexdigest() + "  " + f)' "$@"; }
xxh() { xxhsum --tag "$@" | sed 's/.* = //'; }
for call in "sha3_256:SHA3-256:$(sha3 sha3_256 x.bin)" "SHA3-512:SHA3-512:$(sha3 sha3_512 x.bin)" \
    "Blake3:BLAKE3:$(b3sum x.bin)" "xxh3:XXH3:$(xxh -H3 x.bin)" "XXH-128:XXH128:$(xxh -H2 x.bin)"; do
    IFS=: read -r alg name digest <<<"$call"
    run 0 "$alg" -a "$alg" "$W\\k\\x.bin" && [[ $out == "${digest%% *} <- $name -> $W\\k\\x.bin" ]] || fail "$alg: $out"
done
[[ $("$wine_run" "$cmd" -a blake3 --sum a.txt x.bin | tr -d '\r') == "$(b3sum a.txt x.bin)" ]] || fail "--sum blake3"
# BLAKE3 files above the size where a worker splits them, read by four lanes: parts and an odd tail, a
# power of two, and a last part of many chunks.
head -c $((5 * 1048576 + 777)) /dev/urandom >odd && head -c 4194304 odd >pow2 && head -c $((3 * 1048576 + 102405)) odd >long
[[ $(DIGESTOR_WORKERS=4 DIGESTOR_PARALLEL_FROM=1048576 "$wine_run" "$cmd" -a blake3 --sum odd pow2 long | tr -d '\r') == \
    "$(b3sum odd pow2 long)" ]] || fail "blake3 in parts"
rm odd pow2 long
b3sum a.txt x.bin >B3SUMS && cp B3SUMS b3.txt && sha3 sha3_512 x.bin a.txt >s3.txt && sha256sum a.txt x.bin >l.sha3-256
{ xxhsum --tag -H3 a.txt x.bin; xxhsum --tag -H2 a.txt; xxhsum -H2 x.bin; sha3 sha3_256 a.txt | sed 's/\(.*\)  \(.*\)/SHA3-256 (\2) = \1/'
    sha3 sha3_512 x.bin | sed 's/\(.*\)  \(.*\)/SHA3-512 (\2) = \1/'; b3sum a.txt | sed 's/\(.*\)  \(.*\)/BLAKE3 (\2) = \1/'; } >tags
{ b3sum a.txt; sha256sum x.bin; } >mixed && { echo "$(b3sum --no-names a.txt)  gone"; b3sum a.txt; } >first
sha512sum a.txt >l.blake3 && echo "BLAKE3 (a.txt) = $(sha512sum a.txt | cut -c1-128)" >>tags
cd - >/dev/null
for call in "B3SUMS:0:a.txt: OK,x.bin: OK" "b3.txt:0:a.txt: OK,x.bin: OK" "s3.txt:0:a.txt: OK,x.bin: OK" \
    "tags:0:a.txt: OK,x.bin: OK" "l.sha3-256:1:a.txt: FAILED,x.bin: FAILED" "mixed:1:a.txt: OK,x.bin: FAILED" \
    "first:1:gone: MISSING,a.txt: OK" "l.blake3:1:"; do
    IFS=: read -r list want lines <<<"$call"
    run "$want" "$list" -c "$W\\k\\$list" && IFS=, read -ra expect <<<"$lines" && has "${expect[@]}"
    [[ $list != tags ]] || [[ $(grep -c ': OK$' <<<"$out") == 7 && $err == *"WARNING: 1 line is improperly"* ]] || fail "tags: $out $err"
    [[ $list != l.blake3 ]] || [[ $err == *"no properly formatted"* ]] || fail "$list: $err"
done
printf 'nothing to check\n' >"$s/none.txt" && : >"$s/empty.txt"
for list in none.txt empty.txt; do
    run 1 "$list" -c "$W\\s\\$list" && [[ $err == *"$list: no properly formatted checksum lines found"* ]] || fail "$list: $err"
done
# Beside a list that passes, before it or after it, a list with nothing to check still fails and is named.
for lists in "list--sum none.txt" "none.txt list--sum" "empty.txt list--sum none.txt"; do
    set -- $lists && run 1 "lists $lists" -c "${@/#/$W\\s\\}" && has "a.txt: OK" &&
        [[ $err == *"${1/list--sum/$2}: no properly formatted checksum lines found"* ]] || fail "lists $lists: $err"
done
run 1 "a file that cannot be opened" "$W\\s\\gone.txt"
# A folder of far more files than the workers hold in flight: with one worker and with four, each
# file's line once, in walk order (Wine lists a folder by name), as md5sum gives them.
m=$work/many && mkdir -p "$m" && head -c $((4000 * 16)) /dev/urandom | split -b 16 -a 4 -d - "$m/f"
for workers in 1 4; do
    code=0 && (cd "$work" && DIGESTOR_WORKERS=$workers "$wine_run" "$cmd" --sum many >"$work/out" 2>"$work/err") ||
        code=$?
    finish 0 "4,000 files, $workers workers" &&
        [[ $out == "$(cd "$work" && md5sum many/*)" ]] || fail "4,000 files, $workers workers: not md5sum's lines"
done
# -o, --record and --update over them with four workers write their lists as the lines are done: each
# byte for byte as md5sum's and sha256sum's lines and the files' records make it, every file once. An
# update stopped midway, or refused by a read-only list, leaves the old list and no other file.
export DIGESTOR_WORKERS=4 && python3 -c 'import glob, os
for f in glob.glob(os.path.join(os.sys.argv[1], "*")): os.utime(f, (1577836800, 1577836800))' "$m" # 2020-01-01
run 0 "-o of 4,000 files" -o "$W\\lists\\many.txt" "$W\\many"
[[ $out == "$(cd "$work" && md5sum many/* | W=$W awk '{ print $1 " <- MD5 -> " ENVIRON["W"] "\\many\\" substr($0, 40) }')" ]] ||
    fail "-o of 4,000 files: not md5sum's lines"
cmp <(printf '%s\r\n%17s%s\r\n%s\r\n\r\n' "$rule" "" "Digestor v$version - List of checksums" "$rule"
    cat "$work/out") "$work/lists/many.txt" || fail "the -o list of 4,000 files is not its lines"
# list WHAT: the recorded list many.sha256 is $work/expected but for its recorded time, and no file is left beside it.
list() { cmp <(sed 3d "$work/many.sha256") "$work/expected" || fail "$1: the list is not as expected"
    grep -qE $'^# recorded=[0-9]{4}-..-..T..:..:..\\.[0-9]{7}Z\r$' <(sed -n 3p "$work/many.sha256") || fail "$1: its time"
    [[ -z $(find "$work" -maxdepth 1 -name '*.tmp') ]] || fail "$1: a file is left beside the list"; }
{ printf '# Digestor recorded list\n# algorithm=SHA256\n# folder=many\n'
    (cd "$work" && sha256sum many/*) | sed 's/^/# size=16 mtime=2020-01-01T00:00:00.0000000Z\n/'; } | sed 's/$/\r/' >"$work/expected"
run 0 "--record of 4,000 files" -a SHA256 --record "$W\\many.sha256" "$W\\many" && list "--record of 4,000 files"
# Of every ten files the first is OK (one in a hundred gone), the second edited, the others decayed; ten
# new ones. The list an update should make, and its lines on standard output, by Python's hashlib.
python3 - "$work" "$W\\many.sha256" <<'PY'
import hashlib, os, sys
os.chdir(sys.argv[1])
times = {2020: (1577836800, "2020-01-01T00:00:00.0000000Z"), 2021: (1609459200, "2021-01-01T00:00:00.0000000Z")}
def record(name, year):
    os.utime(name, (times[year][0],) * 2)
    data = open(name, "rb").read()
    return "# size=%d mtime=%s\r\n%s  %s\r\n" % (len(data), times[year][1], hashlib.sha256(data).hexdigest(), name)
lines, verdicts, changes = ["# Digestor recorded list\r\n# algorithm=SHA256\r\n# folder=many\r\n"], [], []
for i in range(4000):
    name, kind = "many/f%04d" % i, i % 10
    old = record(name, 2020)
    if i % 100 == 0:
        os.remove(name)
        verdicts.append(name + ": MISSING"); changes.append("dropped: " + name)
        continue
    if kind > 0:
        open(name, "wb").write(os.urandom(16))
        os.utime(name, (times[2020][0],) * 2)
    verdicts.append(name + ": " + ["OK", "MODIFIED"][kind] if kind < 2 else name + ": CORRUPTED")
    changes += [] if kind == 0 else ["updated: " + name] if kind == 1 else ["kept as recorded: " + name]
    lines.append(record(name, 2021) if kind == 1 else old)
for i in range(10):
    name = "many/g%03d" % i
    open(name, "wb").write(os.urandom(i))
    lines.append(record(name, 2021)); verdicts.append(name + ": NEW"); changes.append("added: " + name)
open("expected", "w", newline="").write("".join(lines))
open("expected.out", "w").write("\n".join(verdicts + changes + [sys.argv[2] + ": updated"]))
PY
run 1 "update of 4,000 files" --update --new "$W\\many.sha256" && list "update of 4,000 files"
[[ $out == "$(<"$work/expected.out")" ]] || fail "update of 4,000 files: $(diff <(echo "$out") "$work/expected.out" | head)"
cp "$work/many.sha256" "$work/before" && printf changed >"$m/f0001" && chmod a-w "$work/many.sha256"
run 2 "a read-only list" --update "$W\\many.sha256" && [[ $err == *"cannot write the list"* ]] || fail "read-only: $err"
chmod u+w "$work/many.sha256" && cmp "$work/before" "$work/many.sha256" && list "a read-only list"
printf '# size=0 mtime=2020-01-01T00:00:00.0000000Z\r\n%064d  d/stream\r\n' 0 >>"$work/many.sha256"
cp "$work/many.sha256" "$work/before" && ctrl_c 1 "Ctrl+C in an update" --update "$W\\many.sha256"
[[ $err == *stopped* ]] && cmp "$work/before" "$work/many.sha256" || fail "Ctrl+C in an update: $err"
[[ -z $(find "$work" -maxdepth 1 -name '*.tmp') ]] || fail "Ctrl+C in an update left a file"
unset DIGESTOR_WORKERS

# sha256sum -c's options on lists of OK, FAILED, missing and malformed lines, run as sha256sum runs in
# the same folder: the same exit code, the same verdicts on standard output (MISSING where it says
# "FAILED open or read"), the same warnings on standard error (without its "No such file" lines; a
# malformed line without "SHA256", as the lines may be of any algorithm), then the tally; --status: nothing.
g=$work/g && mkdir -p "$g" && printf abc >"$g/a" && printf xyz >"$g/b" && printf q >"$g/c"
(cd "$g" && sha256sum a b >G && echo garbage >>G && cp G L && sha256sum c | sed 's/^./0/' | tee F >>L &&
    echo "$(sha256sum <a | cut -c1-64)  gone" | tee M >>L && echo '  ' >>L && : >E &&
    sed 's/  c$/  b/' F >>F && sha256sum c >>F && echo "$(sha256sum <a | cut -c1-64)  gone too" >>L)
for list in L G M E F; do
    for options in "" --quiet --status --strict -w --ignore-missing "--ignore-missing --strict"; do
        gnu=0 && (cd "$g" && sha256sum -c $options $list >"$work/gnu.out" 2>"$work/gnu.err") || gnu=$?
        code=0 && (cd "$g" && "$wine_run" "$cmd" -c $options $list >"$work/out" 2>"$work/err") || code=$?
        finish "$gnu" "$list $options"
        [[ $out == "$(sed 's/: FAILED open or read$/: MISSING/' "$work/gnu.out")" ]] ||
            fail "$list $options: out: $out"$'\n'"sha256sum: $(<"$work/gnu.out")"
        [[ $options == --status ]] && { [[ -z $err ]] || fail "$list --status: $err"; } && continue
        [[ $(grep '^DigestorCmd: ' <<<"$err" | tr -d '\r') == "$(grep -v 'No such file' "$work/gnu.err" |
            sed 's/^sha256sum: /DigestorCmd: /; s/SHA256 checksum line/checksum line/')" ]] ||
            fail "$list $options: err: $err"$'\n'"sha256sum: $(<"$work/gnu.err")"
        [[ $(tail -n 1 <<<"$err") == *" checked, "* ]] || fail "$list $options: no tally: $err"
    done
done
# Scripts read the verdicts: on an Arabic or a Japanese system they are the same English lines.
(cd "$g" && "$wine_run" "$cmd" -c L >"$work/en.out" 2>"$work/en.err") || true
for locale in ar_SA.UTF-8 ja_JP.UTF-8; do
    (cd "$g" && WINE_RUN_LOCALE=$locale "$wine_run" "$cmd" -c L >"$work/out" 2>"$work/err") || true
    cmp -s "$work/out" "$work/en.out" && cmp -s "$work/err" "$work/en.err" ||
        fail "-c on a $locale system: $(<"$work/out") $(<"$work/err")"
done
# A list from standard input ("-", or nothing given), relative to the current folder; bytes from
# standard input as sha256sum digests them; an empty list, binary bytes and 100 MB without a line end.
for call in "-c -" "-c" "-c --quiet -"; do
    code=0 && (cd "$g" && sha256sum a b | "$wine_run" "$cmd" $call >"$work/out" 2>"$work/err") || code=$?
    finish 0 "list from standard input: $call"
    [[ $out == "$(cd "$g" && sha256sum a b | sha256sum $call)" ]] || fail "$call: $out"
done
for form in --sum --tag; do
    for call in "-a sha256 $form" "-a SHA-256 $form -"; do
        [[ $(printf abc | "$wine_run" "$cmd" $call | tr -d '\r') == "$(printf abc | sha256sum ${form#--sum})" ]] ||
            fail "standard input: $call"
    done
done
# Bytes a text reading would change (Ctrl+Z, which ends a console's typing; NUL, a lone CR, CR LF, 0xFF,
# invalid UTF-8) and 3 MiB of random bytes, piped. A list piped in the same way names a file "ÿ" in
# cp1252, one byte 0xFF, after a line whose name holds Ctrl+Z (no Windows name holds a control character).
head -c 3145728 /dev/urandom >"$work/random" && printf abc >"$g/ÿ"
for bytes in 'a\x1ab' '\0a\0' 'a\rb\r' 'a\r\nb\r\n' '\xff\xc3\x28\xed\xa0\x80' random; do
    [[ $bytes == random ]] && feed=(cat "$work/random") || feed=(printf "$bytes")
    [[ $("${feed[@]}" | "$wine_run" "$cmd" -a sha256 --sum - | tr -d '\r') == "$("${feed[@]}" | sha256sum)" ]] ||
        fail "standard input's bytes: $bytes"
done
h=$(sha256sum <"$g/ÿ" | cut -c1-64) && code=0
(cd "$g" && printf '%s  gone\x1a\r\n%s  \xff\r\n' "$h" "$h" | "$wine_run" "$cmd" -c - >"$work/out" 2>"$work/err") || code=$?
finish 0 "a list of binary bytes" && [[ $out == "ÿ: OK" ]] && tally "1 checked, 1 OK, 0 failed, 0 missing, 1 not checked" ||
    fail "a list of binary bytes: $out $err"
for input in /dev/null "$cmd" "$work/long"; do
    [[ $input != */long ]] || head -c 100000000 /dev/zero | tr '\0' a >"$input"
    code=0 && "$wine_run" "$cmd" -c - <"$input" >"$work/out" 2>"$work/err" || code=$?
    finish 1 "list $input" && [[ -z $out && $err == *"standard input: no properly formatted checksum lines found"* &&
        $(tail -n 1 <<<"$err") == "0 checked, 0 OK, 0 failed, 0 missing, "*" not checked"* ]] ||
        fail "list $input: $out $err"
done
rm "$work/long"
# A Windows user's and a GNU user's calls; a wrong one is told in a line.
for help in '/?' --help -h; do run 0 "$help" "$help" && [[ $out == usage:* ]] || fail "$help: $out"; done
for call in "-x a:unknown option -x" "-a SHA384 a:unknown algorithm SHA384" "-c -a MD5 a:-c takes no -a" \
    "--ignore-missing a:--ignore-missing goes with -c" "-c --status --quiet a:--status or --quiet, not both" \
    "--sum --tag a:--sum or --tag, not both" "-a md4 --sum a:--sum writes no MD4" \
    "-c --tag a:-c takes no --tag" "--update -:--update takes no standard input" "-a crc32 --tag a:--tag names no" \
    "--compare --progress --no-progress a b:--progress or --no-progress, not both"; do
    run 2 "${call%%:*}" ${call%%:*} && [[ $(wc -l <<<"$err") == 1 && $err == *"${call#*:}"* ]] || fail "$call: $err"
done
printf x >"$s/-x" && (cd "$s" && "$wine_run" "$cmd" -- -x) | grep -qF "$(md5 "$s/-x") <- MD5 -> $W\\s\\-x" ||
    fail "-- ends the options"
# A recorded list: sha256sum reads it; a check tells decay (time as recorded, also 1 s off as on FAT)
# from an edit, a gone file from a new one; an update takes edits, drops the gone, keeps the decay.
r=$work/r && mkdir -p "$r/Photos/sub" && for f in a b c d sub/é; do printf "$f" >"$r/Photos/$f.jpg"; done
touch -d '2020-01-01 00:00:00' "$r"/Photos/*.jpg "$r"/Photos/sub/*.jpg && list="$W\\r\\Photos.sha256"
verdicts() { grep -E ': [A-Z ]+$' <<<"$out" | sort | tr '\n' ' '; }
run 0 "record" -a SHA256 --record "$list" "$W\\r\\Photos"
(cd "$r" && sha256sum -c --strict --quiet Photos.sha256) || fail "sha256sum -c does not pass the recorded list"
grep -qx '# folder=Photos.' "$r/Photos.sha256" && [[ $(grep -cE '^# size=[0-9]+ mtime=2020-01-01T00:00:00.0000000Z.$' \
    "$r/Photos.sha256") == 5 ]] || fail "records: $(<"$r/Photos.sha256")"
printf bb >"$r/Photos/b.jpg"
run 0 "an edit alone" -c -q "$list" && [[ $(verdicts) == "Photos/b.jpg: MODIFIED " ]] || fail "edit: $out"
printf A >"$r/Photos/a.jpg" && printf C >"$r/Photos/c.jpg" && rm "$r/Photos/d.jpg" && printf n >"$r/Photos/sub/n.jpg"
touch -d '2020-01-01 00:00:00' "$r/Photos/a.jpg" && touch -d '2020-01-01 00:00:01' "$r/Photos/c.jpg"
run 1 "decay, edit, gone, new" -c --new -q "$list"
[[ $(verdicts) == "Photos/a.jpg: CORRUPTED Photos/b.jpg: MODIFIED Photos/c.jpg: CORRUPTED Photos/d.jpg: MISSING Photos/sub/n.jpg: NEW " ]] ||
    fail "verdicts: $out"
run 1 "update" --update --new "$list"
has "updated: Photos/b.jpg" "dropped: Photos/d.jpg" "added: Photos/sub/n.jpg" "kept as recorded: Photos/a.jpg"
run 1 "after the update" -c --new "$list" && [[ $(verdicts) == "Photos/a.jpg: CORRUPTED Photos/b.jpg: OK "\
"Photos/c.jpg: CORRUPTED Photos/sub/n.jpg: OK Photos/sub/é.jpg: OK " ]] || fail "after the update: $out"
[[ $(cd "$r" && { sha256sum -c Photos.sha256 2>/dev/null || true; } | grep -c ": OK$") == 3 ]] || fail "sha256sum after update"
# A list inside its own folder: neither it nor the update's new file beside it is ever NEW.
run 0 "a list in its folder" -a MD5 --record "$W\\r\\Photos\\sub\\in.md5" "$W\\r\\Photos\\sub"
run 0 "its update" --update --new "$W\\r\\Photos\\sub\\in.md5" && has "$W\\r\\Photos\\sub\\in.md5: nothing to update"
[[ $out != *NEW* && $err != *"not added"* ]] || fail "a list in its folder: $out $err"
# Hand-edited records are checked as plain lines; a list without records cannot be updated.
perl -0pi -e 's/# size=1 (mtime=\S+\r\n\S+  Photos\/a\.jpg)/# size=x $1/' "$r/Photos.sha256"
run 1 "a broken record" -c "$list" && has "Photos/a.jpg: FAILED" "Photos/c.jpg: CORRUPTED"
run 2 "a plain list" --update "$W\\d\\sums.md5" && [[ $err == *"no recorded list"* ]] || fail "plain: $err"

# Ctrl+C while a worker waits in a pipe that never delivers: exit 1, "stopped", and with one
# worker the line of the file before it; with four, no line but a right one.
for workers in 1 4; do
    code=0 && DIGESTOR_WORKERS=$workers DIGESTOR_READ_PIPES=1 "$wine_run" "$ctrl_c" - "$(printf '"%s" ' \
        "$(win "$cmd")" "$W\\s\\a.txt" '\\.\pipe\digestor-stalled')" '\\.\pipe\digestor-stalled' \
        >"$work/out" 2>"$work/err" || code=$?
    finish 1 "Ctrl+C in a silent pipe, $workers workers" && [[ $err == *stopped* ]] || fail "not stopped: $err"
    line="$(md5 "$s/a.txt") <- MD5 -> $W\\s\\a.txt"
    [[ $workers == 4 && -z $out ]] || [[ $out == "$line" ]] || fail "Ctrl+C, $workers workers: $out"
done
echo "console_program: ok"
