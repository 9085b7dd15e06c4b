#!/usr/bin/env bash
# digest_set_bench.sh BIN WORK: MD5, SHA-1, SHA-256 and SHA-512 of one 1 GiB file under Wine, each alone
# and the four from one read with one lane and with every processor (bench_digest_set.exe prints the
# figures and the goals' verdicts), the digests checked against md5sum, sha1sum, sha256sum and sha512sum.
# BIN is the Windows tree's bin/; WORK keeps the file (gib.bin) between runs.
set -euo pipefail
bin=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work"
work=$(realpath "$work")
source "$here/bench/bench_figures.sh"
file=$work/gib.bin
[[ -f $file && $(stat -c %s "$file") == 1073741824 ]] || head -c 1073741824 /dev/urandom >"$file"

"$here/scripts/wine-run" --prepare
output=$("$here/scripts/wine-run" "$bin/bench_digest_set.exe" "$(windows "$file")" | tr -d '\r')
grep -v '^digest ' <<<"$output"
for tool in md5 sha1 sha256 sha512; do
    expected=$("${tool}sum" "$file" | cut -d' ' -f1)
    grep -qx "digest ${tool^^} $expected" <<<"$output" ||
        { echo "digest_set_bench: ${tool^^} is not ${tool}sum's $expected" >&2; exit 1; }
done
echo "(the four digests are those of md5sum, sha1sum, sha256sum and sha512sum)"
