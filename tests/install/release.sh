#!/usr/bin/env bash
# release.sh SOURCE WORK: the release of SOURCE's last commit, made by `make dist` in two clones in
# other folders (WORK/a/x, WORK/bb/yy, each with another build folder), a few seconds apart, under
# other user names, time zones and umasks: both dist/ and both build dist/ folders hold the same
# bytes, and the executables' and the zip's times are the commit's. Then the first clone makes it
# again with a throw-away certificate: every executable and DLL in the zip and in the package and the
# package itself verify with osslsigncode, SHA256SUMS checks, and a changed byte fails the check.
set -euo pipefail
src=$(realpath "$1") work=$(realpath -m "$2")
commit=$(git -C "$src" rev-parse HEAD) epoch=$(git -C "$src" log -1 --format=%ct)
fail() { echo "release: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work"

# build CLONE BUILD USER TZ UMASK [MAKE ARGS...]: make dist in a clone of the commit, output in $work/log
build() {
    [[ -d $1 ]] || { git clone -q --no-checkout "$src" "$1" && git -C "$1" checkout -q "$commit"; }
    (cd "$1" && umask "$5" && env -u SOURCE_DATE_EPOCH USER="$3" LOGNAME="$3" TZ="$4" \
        nice -n 10 make --no-print-directory dist WIN64_DIR="$2" "${@:6}") >"$work/log" 2>&1 ||
        { tail -n 30 "$work/log"; fail "make dist in $1 failed"; }
}
a=$work/a/x b=$work/bb/yy
start=$SECONDS
build "$a" build/win64 alice UTC 022
[[ $(grep -c '^-- Not signed: ' "$work/log") == 1 ]] || fail "an unsigned build does not say so in one line"
sleep 3
build "$b" out/w bob Asia/Tokyo 002
echo "release: two builds of ${commit:0:12} in $((SECONDS - start)) s"
same=true
diff -r "$a/dist" "$b/dist" || same=false
diff -r "$a/build/win64/dist" "$b/out/w/dist" || same=false # names the executable that differs
$same || fail "two builds of $commit differ"

export TZ=UTC
stamp=$(date -d "@$epoch" '+%a %b %e %H:%M:%S %Y')
for file in "$a"/build/win64/dist/stage/{*.exe,*.dll,lang/*.dll}; do # the PE header and the exports
    dump=$(x86_64-w64-mingw32-objdump -p "$file")
    grep -qxP "Time/Date\t+$stamp" <<<"$dump" && ! grep '^Time/Date stamp' <<<"$dump" | grep -vq "\s$(printf %x "$epoch")\$" ||
        fail "${file##*/} is not stamped $stamp"
done
python3 - "$a"/dist/*.zip "$epoch" <<'EOF' || fail "the zip's entries are not dated as the commit"
import sys, time, zipfile
year, month, day, hour, minute, second = time.gmtime(int(sys.argv[2]))[:6]
want = (year, month, day, hour, minute, second - second % 2)  # the zip's two-second steps
sys.exit(any(entry.date_time != want for entry in zipfile.ZipFile(sys.argv[1]).infolist()))
EOF

cert=$work/cert
mkdir -p "$cert"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Digestor release test" \
    -addext extendedKeyUsage=codeSigning -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null
openssl rand -hex 16 >"$cert/password"
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/test.pfx" -passout "file:$cert/password"
build "$a" build/win64 alice UTC 022 SIGN_CERT="$cert/test.pfx" SIGN_PASSWORD_FILE="$cert/password"
(cd "$a/dist" && sha256sum -c --strict --quiet SHA256SUMS) || fail "SHA256SUMS does not fit the signed packages"
mkdir "$work/zip" "$work/msi"
(cd "$work/zip" && cmake -E tar xf "$a"/dist/*.zip)
msiextract -C "$work/msi" "$a"/dist/*.msi >/dev/null
verify() { osslsigncode verify -CAfile "$cert/cert.pem" -in "$1" >"$work/verify.txt" 2>&1; }
mapfile -t signed < <(ls "$a"/dist/*.msi; find "$work/zip" "$work/msi" -iname '*.exe' -o -iname '*.dll')
[[ ${#signed[@]} == $((2 * $(find "$work/zip" -iname '*.exe' -o -iname '*.dll' | wc -l) + 1)) ]] ||
    fail "the package does not hold the zip's executables: ${signed[*]}"
for file in "${signed[@]}"; do
    verify "$file" && grep -q 'Message digest algorithm *: SHA256' "$work/verify.txt" ||
        fail "$file: $(cat "$work/verify.txt")"
done
# One byte in the middle inverted: in an executable, in the package's cabinet.
for file in "$work/zip/Digestor.exe" "$a"/dist/*.msi; do
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 255
open(sys.argv[2], "wb").write(b)' "$file" "$work/altered"
    ! verify "$work/altered" || fail "${file##*/} with a byte changed passes the check"
done
echo "release: the same bytes twice, ${#signed[@]} signed files verified, in $((SECONDS - start)) s"
