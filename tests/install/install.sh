#!/usr/bin/env bash
# install.sh MSI BUILD SOURCE MSI_ARGS...: MSI under Wine in a fresh prefix (BUILD/install-prefix):
# installed silently, its files, shortcuts, program, "Send to" and every registry value of the Explorer
# extension's table (shell/registration_keys.h, read by cmake/registration_keys.cmake as the package
# was made); installed again, then a newer build made by cmake/msi.cmake with MSI_ARGS; uninstalled.
set -euo pipefail
msi=$1 build=$2 src=$3
shift 3
export WINEPREFIX=$build/install-prefix WINEDLLOVERRIDES=winemenubuilder.exe=d # no Linux menus
work=$build/install-work dir=$build/install-prefix/drive_c/Program\ Files/Digestor
target='C:\Program Files\Digestor\Digestor.exe'
fail() { echo "install: $*" >&2; exit 1; }
wine() { "$src/scripts/wine-run" "$@" | tr -d '\r'; }
win() { local path; path=$(realpath "$1"); printf 'Z:%s' "${path//\//\\}"; }
msiexec() { wine msiexec "$1" "$(win "$2")" /qn || fail "msiexec $1 $2: status $?"; }
# entries: version and maker of each uninstall entry named Digestor, one a line
entries() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | awk '/^HKEY/ {k++} {f[k, $1] = $3}
        END {for (i = 1; i <= k; i++) if (f[i, "DisplayName"] == "Digestor") print f[i, "DisplayVersion"], f[i, "Publisher"]}'
}
path() { wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v Path; }
drive() { wine "$build/bin/digestor_drive.exe" "$@"; }
# verb EXT: the default values of the static "Check with Digestor" verb on .EXT that earlier packages
# made; the extension's menu has taken its place, so that the two never both show.
verb() { wine reg query "HKLM\\Software\\Classes\\SystemFileAssociations\\.$1\\shell\\DigestorCheck" /s 2>/dev/null |
    sed -n 's/^ *(Default) *REG_SZ *//p' || true; }
lists=(md5 sha1 sha256 sha512 sfv)
# registry: KEY|NAME|VALUE of the table's values found under HKLM now, one a line, in the table's order
rows=$work/rows.txt
registry() {
    local key name value last= listing=
    while IFS='|' read -r key name value; do
        [[ $key == "$last" ]] || { listing=$(wine reg query "$key" || true); last=$key; }
        # reg prints "    NAME    REG_SZ    VALUE", the default value as (Default), an empty one shorter
        if grep -qxF "    ${name:-(Default)}    REG_SZ    $value" <<<"$listing" ||
            { [[ -z $value ]] && grep -qxF "    $name    REG_SZ" <<<"$listing"; }; then
            echo "$key|$name|$value"
        fi
    done <"$rows"
}
# ours: the table's keys that belong to Digestor alone (not OpenWithProgids, not Approved)
ours() { cut -d'|' -f1 "$rows" | grep -vE 'OpenWithProgids|Approved' | sort -u; }

clean() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; rm -rf "$work" "$WINEPREFIX"; }
clean && mkdir -p "$work" && trap clean EXIT
version=${msi##*/Digestor-} && version=${version%-win64.msi}
newer=${version%.*}.$((${version##*.} + 1))
cmake -DVERSION="$newer" -DOUT="$work/newer.msi" "$@" -P "$src/cmake/msi.cmake"
cmake -DHIVE=HKLM -DDLL="${target%\\*}\\DigestorShell64.dll" -DEXE="$target" -DOUT="$rows" \
    -P "$src/cmake/registration_keys.cmake"
[[ $(wc -l <"$rows") == $(grep -c '^ *{In' "$src/shell/registration_keys.h") ]] || fail "table read short: $(cat "$rows")"

msiexec /i "$msi"
files=(Digestor.exe DigestorShell64.dll ReadMe.txt VarnoLib64.dll)
for module in "$src"/lang/[0-9]*.rc; do files+=("lang/$(basename "$module" .rc).dll"); done
[[ " $* " == *" -DCMD=ON "* ]] && files+=(DigestorCmd.exe)
[[ $(cd "$dir" && find . -type f | cut -c3- | LC_ALL=C sort) == $(printf '%s\n' "${files[@]}" | LC_ALL=C sort) ]] ||
    fail "installed: $(cd "$dir" && find . -type f)"
[[ $(entries) == "$version VIDODi" ]] || fail "uninstall entries: $(entries)"
# The product code that the winget manifest publishes is the one Windows Installer registered.
code=$(sed -n "s/^ProductCode: '\(.*\)'\r\?\$/\1/p" "$build"/dist/winget/*.installer.yaml)
wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${code:-none}" /v DisplayName |
    grep -q 'REG_SZ *Digestor$' || fail "no uninstall entry for the manifest's product code '$code'"
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | sed -n 's/^ *ProductIcon *REG_SZ *C://p')
cmp "$src/res/digestor.ico" "$WINEPREFIX/drive_c${icon//\\//}" || fail "product icon '$icon'"
[[ $(path) == *";${target%\\*}\\"* ]] || fail "not on PATH: $(path)"
[[ $(registry) == "$(cat "$rows")" ]] || fail "registry values: $(diff <(registry) "$rows")"
for ext in "${lists[@]}"; do
    [[ -z $(verb "$ext") ]] || fail ".$ext has a static verb: $(verb "$ext")"
done
for folder in 'Start Menu/Programs' SendTo; do
    link=$(find "$WINEPREFIX/drive_c" -path "*/$folder/Digestor.lnk" -print -quit)
    [[ -n $link && $(grep -aoE '[A-Z]:\\[^[:cntrl:]]*\.exe' "$link") == "$target" ]] || fail "$folder shortcut '$link'"
done
code=0 && drive close -- "$target" || code=$?
[[ $code == 1 ]] || fail "exit code $code after closing, expected 1"
printf 'abc' >"$work/one.txt" && printf 'message digest' >"$work/two.txt"
out=$(drive run list close -- "$target" "$(win "$work/one.txt")" "$(win "$work/two.txt")") || true
for f in one two; do
    grep -qxF "  $(md5sum <"$work/$f.txt" | cut -c1-32) <- MD5 -> $(win "$work/$f.txt")" <<<"$out" || fail "no $f: $out"
done

msiexec /i "$msi" && msiexec /i "$work/newer.msi"
[[ $(entries) == "$newer VIDODi" ]] || fail "after the upgrade: $(entries)"
msiexec /x "$work/newer.msi"
left=$(entries; path | grep -F Digestor; find "$WINEPREFIX/drive_c" -iname '*digestor*'; registry
    while read -r key; do if wine reg query "$key" >/dev/null 2>&1; then echo "key $key"; fi; done < <(ours))
[[ -z $left ]] || fail "left after uninstall: $left"
echo "install: ok"
