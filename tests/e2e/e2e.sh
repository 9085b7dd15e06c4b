#!/usr/bin/env bash
# e2e.sh CASE BIN SOURCE ZIP WORK [MODULE]: the real Digestor.exe worked from outside by
# digestor_drive under Wine (the locale comes from WINE_RUN_LOCALE).
#   road     a folder tree on the command line, Yes, the run, the list saved through the save
#            dialog and compared byte by byte; MODULE (1031, 1036) is the language module expected
#   start    the main window's words are MODULE's (1025, 1041, 1036), mirrored for Arabic
#   startup  exit codes without language modules (0) and beside a refusing library (0)
#   dist     the release zip unpacked into an empty folder digests a file; its DigestorCmd and
#            sha256sum check the release's SHA256SUMS
set -euo pipefail
case=$1 bin=$2 src=$3 zip=$4 work=$5 module=${6:-}

fail() { echo "e2e $case: $*" >&2; exit 1; }
win() { local path; path=$(realpath "$1"); printf 'Z:%s' "${path//\//\\}"; }
# drive ACTION... -- PROGRAM ARGS...: the driver's output (CR LF made LF) in $out, its code in $code
drive() {
    code=0
    out=$("$src/scripts/wine-run" "$bin/digestor_drive.exe" "$@") || code=$?
    out=${out//$'\r'/}
    printf '%s\n' "$out"
}
copy() { mkdir -p "$1" && cp -r "${@:2}" "$1"; } # copy FOLDER FILE...: lang/ stays a folder
md5() { md5sum <"$1" | cut -c1-32; }

rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# Wine takes its system language, and file names in the locale's character set, only from a locale
# that is installed (else English and ASCII: no "ü").  Such a locale is built here.
installed_locale() {
    if [[ $(LC_ALL=$WINE_RUN_LOCALE locale charmap 2>/dev/null) != UTF-8 ]]; then
        mkdir -p "$work/locale"
        localedef -i "${WINE_RUN_LOCALE%%.*}" -f UTF-8 "$work/locale/$WINE_RUN_LOCALE"
        export LOCPATH=$work/locale
    fi
}
text() { LC_ALL=C sed -n "s/^ *$1 \"\(.*\)\"\r\?\$/\1/p" "$src/lang/$module.rc"; }

road() {
    installed_locale
    # Wine, like NTFS, lists a folder's entries sorted by name; the walk is depth first.
    local tree=$work/tree files=(abc.txt empty sub/deeper/random.bin sub/grün.txt zz.txt) f
    mkdir -p "$tree/sub/deeper"
    printf 'abc' >"$tree/abc.txt"
    : >"$tree/empty"
    head -c 70000 /dev/urandom >"$tree/sub/deeper/random.bin"
    printf 'message digest' >"$tree/sub/grün.txt"
    printf '%s\n' {1..500} >"$tree/zz.txt"

    drive run save "$(win "$work")\\saved.txt" dismiss close -- "$(win "$bin/Digestor.exe")" "$(win "$tree")"
    [[ $code == 1 ]] || fail "exit code $code after closing, expected 1"
    [[ $out == *"question: "*"$(win "$tree")"*" -> Yes"* ]] || fail "no folder question"
    [[ $out == *"message: Digestor: $(text IDS_SAVED)"* ]] || fail "no saved notice"

    local version=${zip##*/Digestor-} separator heading
    version=${version%-win64.zip}
    separator=$(printf '%080d' 0 | tr 0 -)
    heading=$(text IDS_SAVE_HEADING)
    [[ -n $heading ]] || fail "no heading in lang/$module.rc"
    {
        printf '%s\r\n' "$separator" "                 Digestor v$version - $heading" "$separator" ""
        for f in "${files[@]}"; do
            printf '%s <- MD5 -> %s\\%s\r\n' "$(md5 "$tree/$f")" "$(win "$tree")" "${f//\//\\}"
        done
    } >"$work/expected.txt"
    cmp "$work/expected.txt" "$work/saved.txt" || {
        diff <(od -c "$work/expected.txt") <(od -c "$work/saved.txt") | head -n 20
        fail "the saved list is not as expected"
    }
    # The console checks the window's list, whatever its language (the tally is on standard error).
    local checked
    checked=$("$src/scripts/wine-run" "$bin/DigestorCmd.exe" -c "$(win "$work/saved.txt")" 2>&1) ||
        fail "DigestorCmd -c on the saved list: $checked"
    [[ ${checked//$'\r'/} == *"${#files[@]} checked, ${#files[@]} OK, 0 failed"* ]] || fail "$checked"
}

start() {
    installed_locale
    drive words close -- "$(win "$bin/Digestor.exe")"
    [[ $code == 1 ]] || fail "exit code $code after closing, expected 1"
    local menu layout=left-to-right
    menu=$(LC_ALL=C sed -n 's/^ *POPUP "\(.*\)"\r\?$/\1/p' "$src/lang/$module.rc" | head -n 1)
    [[ $module == 1025 ]] && layout=right-to-left
    grep -qxF "start: $(text IDS_START)" <<<"$out" || fail "the start button is not lang/$module.rc's"
    grep -qxF "layout: $layout" <<<"$out" || fail "the main window is not $layout"
    # Wine keeps a menu to its process; where another process can read it, it is the module's.
    if grep -q '^menu: ' <<<"$out"; then
        grep -qxF "menu: $menu" <<<"$out" || fail "the first menu title is not lang/$module.rc's '$menu'"
    fi
}

startup() {
    copy "$work/nolang" "$bin/Digestor.exe" "$bin/VarnoLib64.dll"
    drive close -- "$(win "$work/nolang/Digestor.exe")"
    [[ $code == 0 ]] || fail "exit code $code without language modules, expected 0"
    grep -qxF "message: ERROR: LANGUAGE NOT FOUND! Please re-install the program. -> OK" <<<"$out" ||
        fail "no ERROR box without language modules"

    copy "$work/refusing" "$bin/Digestor.exe" "$bin/refusing/VarnoLib64.dll" "$bin/lang"
    drive close -- "$(win "$work/refusing/Digestor.exe")"
    [[ $code == 0 ]] || fail "exit code $code beside a refusing library, expected 0"
    [[ $out == "Digestor exited with code 0" ]] || fail "a refused start showed something"
}

dist() {
    mkdir -p "$work/unpacked"
    (cd "$work/unpacked" && cmake -E tar xf "$zip")
    printf 'abc' >"$work/abc.txt"
    drive run list close -- "$(win "$work/unpacked/Digestor.exe")" "$(win "$work/abc.txt")"
    [[ $code == 1 ]] || fail "exit code $code, expected 1"
    grep -qxF "  $(md5 "$work/abc.txt") <- MD5 -> $(win "$work/abc.txt")" <<<"$out" || fail "no result line"

    local sums=${zip%/*}/SHA256SUMS checked packages
    (cd "${zip%/*}" && sha256sum -c --strict SHA256SUMS) || fail "sha256sum -c $sums"
    checked=$("$src/scripts/wine-run" "$work/unpacked/DigestorCmd.exe" -c "$(win "$sums")" 2>&1) ||
        fail "DigestorCmd -c $sums: $checked"
    packages=$(ls "${zip%/*}"/Digestor-*-win64.{zip,msi} 2>/dev/null | wc -l)
    [[ ${checked//$'\r'/} == *"$packages checked, $packages OK, 0 failed"* ]] || fail "$checked"
}

"$case"
echo "e2e $case: ok"
