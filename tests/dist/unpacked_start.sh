#!/usr/bin/env bash
# unpacked_start.sh ZIP DRIVER WINE_RUN WORK
# Unpacks ZIP into the empty folder WORK/unpacked, checks that it holds exactly the six shipped
# files, starts the unpacked Digestor.exe on one file through the driver (which answers, waits
# for the run and prints the list) and expects the file's MD5 result line and exit code 1.
set -euo pipefail
zip=$1 driver=$2 wine_run=$3 work=$4

fail() { echo "unpacked_start: $*" >&2; exit 1; }

[[ -f $zip ]] || fail "no zip at $zip"
rm -rf "$work"
mkdir -p "$work/unpacked" "$work/data"
trap 'rm -rf "$work"' EXIT

expected=$'Digestor.exe\nDigestorCmd.exe\nReadMe.txt\nVarnoLib64.dll\nlang/1031.dll\nlang/1033.dll'
listed=$(cmake -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
[[ $listed == "$expected" ]] || fail "zip holds:"$'\n'"$listed"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

# RFC 1321: MD5("abc").
printf 'abc' >"$work/data/abc.txt"
data=$(realpath "$work/data/abc.txt")
windows_data="Z:${data//\//\\}"
status=0
output=$("$wine_run" "$driver" --close -- "Z:$(realpath "$work/unpacked")/Digestor.exe" "$windows_data") ||
    status=$?
echo "$output"
line="900150983cd24fb0d6963f7d28e17f72 <- MD5 -> $windows_data"
grep -qxF -- "  $line" <<<"${output//$'\r'/}" || fail "no result line '$line'"
[[ $status == 1 ]] || fail "exit status $status, expected 1"
echo "unpacked_start: ok"
