#!/usr/bin/env bash
# Digests computed on the Linux side, with tools that share no code with the
# program, for whole runs of the program under Wine to be checked against.
#
#   linux_digests.sh files|sparse TEST_EXE SOURCE_DIR WORK_PARENT
#
# files:  twelve files of 0..3 MiB of random bytes, each with its MD2 (md2.pl),
#         MD4 (openssl), MD5 (md5sum) and CRC32 (gzip's trailer).
# sparse: one sparse file of 5 GiB with a few bytes that are not zero, with its
#         MD5 (md5sum).
#
# Writes a manifest of tab-separated lines "<kind> <algorithm> <digest> <path>"
# (kind "file" or "sparse", path as Windows sees it), runs TEST_EXE through
# scripts/wine-run with the manifest's path in DIGESTOR_ORACLE_MANIFEST and
# returns the program's exit status. The work folder is made fresh below
# WORK_PARENT and removed at the end, unless DIGESTOR_ORACLE_KEEP=1.
#
# Needs bash, coreutils, gzip, openssl and perl (perl-base is enough).
set -euo pipefail

die() {
    echo "linux_digests.sh: $*" >&2
    exit 1
}

(($# == 4)) || die "usage: linux_digests.sh files|sparse TEST_EXE SOURCE_DIR WORK_PARENT"
mode=$1
test_exe=$2
source_dir=$3
work_parent=$4
[[ $mode == files || $mode == sparse ]] || die "unknown mode '$mode'"
[[ -f $test_exe ]] || die "no test program $test_exe"
[[ -x $source_dir/scripts/wine-run ]] || die "no $source_dir/scripts/wine-run"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

for tool in md5sum gzip od tail head cut stat tr wc truncate dd mktemp openssl perl; do
    command -v "$tool" >/dev/null 2>&1 || die "'$tool' not found; run scripts/install-deps first"
done

mkdir -p "$work_parent"
work=$(mktemp -d "$(cd "$work_parent" && pwd -P)/oracle-$mode.XXXXXX")
cleanup() {
    if [[ ${DIGESTOR_ORACLE_KEEP:-} == 1 ]]; then
        echo "linux_digests.sh: kept $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The path Windows sees: Wine maps the Unix root to drive Z:.
windows_path() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

# --- the tools, each checked against published values before use ---------------------------------

md5_of() { md5sum <"$1" | cut -d' ' -f1; }

# OpenSSL 3 keeps MD4 in its legacy provider; older ones have it built in.
md4_options=()
md4_text() {
    local out
    out=$(openssl dgst -md4 "${md4_options[@]}") || return 1
    printf "%s" "${out##* }" # "MD4(stdin)= <digest>"
}
if [[ $(printf abc | md4_text 2>/dev/null) != a448017aaf21d8525fc10ae87aa6729d ]]; then
    md4_options=(-provider legacy -provider default)
    [[ $(printf abc | md4_text 2>/dev/null) == a448017aaf21d8525fc10ae87aa6729d ]] ||
        die "openssl gives no MD4 (RFC 1320: MD4(abc) = a448017aaf21d8525fc10ae87aa6729d)"
fi
md4_of() { md4_text <"$1"; }

# gzip's trailer holds the common CRC-32 (register starting at all ones, result
# inverted), least significant byte first.
gzip_crc() {
    local b0 b1 b2 b3
    read -r b0 b1 b2 b3 < <(gzip -1 -c | tail -c 8 | od -An -tx1 -N4)
    printf '%s%s%s%s' "$b3" "$b2" "$b1" "$b0"
}
# The program's CRC32 starts from 0 and is not inverted. The register update
# is linear, so for n bytes M:  crc0(M) = crc(M) XOR crc(n zero bytes).
crc_of() {
    local file=$1 size
    size=$(stat -c %s "$file")
    printf '%08x' $((0x$(gzip_crc <"$file") ^ 0x$(head -c "$size" /dev/zero | gzip_crc)))
}
crc_check() {
    local text=$1 expected=$2 file="$work/crc-check"
    printf '%s' "$text" >"$file"
    [[ $(crc_of "$file") == "$expected" ]] ||
        die "CRC32 through gzip: '$text' gives $(crc_of "$file"), expected $expected"
    rm -f "$file"
}
# The register-0 CRC's published values: check value and two short texts.
crc_check 123456789 2dfd2d88
crc_check abc ca6598d0
crc_check a 3ab551ce

[[ $(printf abc | md5sum | cut -d' ' -f1) == 900150983cd24fb0d6963f7d28e17f72 ]] ||
    die "md5sum disagrees with RFC 1321 on abc"

manifest="$work/manifest.txt"
: >"$manifest"

# --- the files ----------------------------------------------------------------------------------

make_files() {
    local max=$((3 * 1048576))
    # Block boundaries of the 1024-byte reads, exact multiples of the block,
    # the largest size, and three sizes nobody chose.
    local sizes=(0 1 1023 1024 1025 2048 65536 1048576 "$max")
    local i random
    for i in 1 2 3; do
        random=$(od -An -tu4 -N4 /dev/urandom | tr -d ' ')
        sizes+=($((random % (max + 1))))
    done

    local files=() name
    for i in "${!sizes[@]}"; do
        # One name with a blank: the path goes into the line as it is.
        if ((i == 7)); then name="file $i.bin"; else name="file$i.bin"; fi
        head -c "${sizes[i]}" /dev/urandom >"$work/$name"
        files+=("$work/$name")
    done
    echo "linux_digests.sh: file sizes ${sizes[*]}"

    # MD2 in Perl is the slow one: it runs beside the others.
    perl "$here/md2.pl" "${files[@]}" >"$work/md2.txt" &
    local md2_pid=$!

    local algorithm file
    for algorithm in MD4 MD5 CRC32; do
        for file in "${files[@]}"; do
            case $algorithm in
            MD4) digest=$(md4_of "$file") ;;
            MD5) digest=$(md5_of "$file") ;;
            CRC32) digest=$(crc_of "$file") ;;
            esac
            printf 'file\t%s\t%s\t%s\n' "$algorithm" "$digest" "$(windows_path "$file")" >>"$manifest"
        done
    done

    wait "$md2_pid" || die "md2.pl failed"
    local line
    i=0
    while IFS= read -r line; do
        # md2.pl prints "<digest>  <file>" in the order it was given the files.
        [[ ${line#*  } == "${files[i]}" ]] || die "md2.pl printed '$line' for ${files[i]}"
        printf 'file\tMD2\t%s\t%s\n' "${line%%  *}" "$(windows_path "${files[i]}")" >>"$manifest"
        i=$((i + 1))
    done <"$work/md2.txt"
    ((i == ${#files[@]})) || die "md2.pl printed $i digests for ${#files[@]} files"
}

# --- the sparse file ----------------------------------------------------------------------------

make_sparse() {
    local file="$work/sparse 5 GiB.bin"
    truncate -s 5G "$file"
    # Some bytes that are not zero at odd places: the first block, across a
    # block boundary, around 2^31 and 2^32 (where 32-bit counters turn), and
    # the last bytes, so the digest is not the one of zeros alone.
    local offset
    for offset in 1 1021 2147483647 4294967291 4294968321 $((5 * 1073741824 - 7)); do
        head -c 7 /dev/urandom | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
    done
    [[ $(stat -c %s "$file") == 5368709120 ]] || die "the sparse file is not 5 GiB"
    local started=$SECONDS digest
    digest=$(md5_of "$file")
    echo "linux_digests.sh: md5sum of 5 GiB took $((SECONDS - started)) s"
    printf 'sparse\tMD5\t%s\t%s\n' "$digest" "$(windows_path "$file")" >>"$manifest"
}

if [[ $mode == files ]]; then make_files; else make_sparse; fi

echo "linux_digests.sh: $(wc -l <"$manifest") manifest lines; running $(basename "$test_exe") under Wine"
export DIGESTOR_ORACLE_MANIFEST
DIGESTOR_ORACLE_MANIFEST=$(windows_path "$manifest")
status=0
started=$SECONDS
"$source_dir/scripts/wine-run" "$test_exe" || status=$?
echo "linux_digests.sh: the Windows side took $((SECONDS - started)) s, exit status $status"
exit "$status"
