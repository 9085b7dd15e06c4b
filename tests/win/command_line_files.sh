#!/bin/sh
# The files of the win_form_* tests, made on the Unix side in bin/cmd, each *sum file by md5sum,
# sha256sum or b3sum with paths relative to cmd: a.txt; the hand-over list handover.txt of 3001 files in an order
# of their own (a byte-order mark, CR LF and LF, an empty line, a name in another script), the folder
# walked amid them and a path that names nothing, the digests in list order, then the walk's;
# the folder rec to record; the folders orig and copy to compare: a.txt the same, b.txt not, c.txt the copy's alone.
set -e
rm -rf cmd
mkdir -p cmd/items cmd/walked/sub cmd/rec/sub
cd cmd
printf abc >a.txt && sha256sum a.txt >a.sha256 && b3sum a.txt >a.b3
i=0
while [ $i -lt 3000 ]; do printf %s $i >items/f$i && i=$((i + 1)); done
printf 'Grüße' >'items/Grüße.txt'
printf 1 >walked/a.bin && printf 22 >walked/sub/b.bin && printf 333 >walked/z.bin
win="Z:$(pwd -P | tr / '\\')"
{
    printf '\357\273\277'
    for n in $(seq 2999 -1 1500); do printf '%s\\items\\f%s\r\n' "$win" "$n"; done
    printf '%s\\walked\r\n\r\n%s\\items\\Grüße.txt\ncmd/gone.txt\n' "$win" "$win"
    for n in $(seq 0 1499); do printf '%s\\items\\f%s\n' "$win" "$n"; done
} >handover.txt
md5sum $(seq 2999 -1 1500 | sed 's|^|items/f|') 'items/Grüße.txt' $(seq 0 1499 | sed 's|^|items/f|') \
    walked/a.bin walked/sub/b.bin walked/z.bin >items.md5
printf x >rec/a.bin && printf yy >rec/c.bin && printf zzz >rec/sub/b.bin
sha256sum rec/a.bin rec/c.bin rec/sub/b.bin >rec.sums
mkdir orig copy && printf abc >orig/a.txt && printf x >orig/b.txt
cp orig/a.txt copy/ && printf y >copy/b.txt && printf z >copy/c.txt
