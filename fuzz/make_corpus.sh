#!/usr/bin/env bash
# fuzz/make_corpus.sh MAKEIMAGES OUT_DIR: writes the TGA fuzz seeds into
# OUT_DIR: the game's generated images cropped to 8 x 8 and cut short, and
# hand-made headers of every type, depth and extreme size, with and without
# an ID field. Nothing large is kept: the seeds are made afresh each run.
set -euo pipefail
makeimages=${1:?usage: fuzz/make_corpus.sh MAKEIMAGES OUT_DIR}
out=${2:?usage: fuzz/make_corpus.sh MAKEIMAGES OUT_DIR}
mkdir -p "$out"
images=$(mktemp -d)
trap 'rm -rf "$images"' EXIT
"$makeimages" "$images" >/dev/null 2>&1

byte() { printf "\\x$(printf %02x $(($1 & 255)))"; }

# header ID_LENGTH TYPE WIDTH HEIGHT DEPTH: the 18 header bytes.
header() {
    byte "$1"; byte 0; byte "$2"; byte 0; byte 0; byte 0; byte 0; byte 0; byte 0; byte 0; byte 0; byte 0
    byte "$3"; byte $(($3 >> 8)); byte "$4"; byte $(($4 >> 8)); byte "$5"; byte 0
}

field() {  # field FILE OFFSET: the little-endian 16-bit value there
    od -An -tu2 -j"$2" -N2 --endian=little "$1" | tr -d ' '
}

slice() {  # slice FILE OFFSET COUNT
    dd if="$1" iflag=skip_bytes,count_bytes skip="$2" count="$3" status=none
}

crop=8
for image in "$images"/*.tga; do
    name=$(basename "$image" .tga)
    type=$(od -An -tu1 -j2 -N1 "$image" | tr -d ' ')
    width=$(field "$image" 12)
    depth=$(od -An -tu1 -j16 -N1 "$image" | tr -d ' ')
    pixel=$((depth / 8))
    {
        header 0 "$type" "$crop" "$crop" "$depth"
        for row in $(seq 0 $((crop - 1))); do
            slice "$image" $((18 + row * width * pixel)) $((crop * pixel))
        done
    } >"$out/$name-crop.tga"
    slice "$image" 0 10 >"$out/$name-cut-header.tga"
    slice "$image" 0 $((18 + 3 * pixel)) >"$out/$name-cut-pixels.tga"
done

for type in 0 1 2 3 9 10 11; do
    for depth in 8 15 16 24 32; do
        for size in 0 1 32767 65535; do
            { header 0 "$type" "$size" "$size" "$depth"; printf '%064d' 7; } \
                >"$out/type$type-depth$depth-size$size.tga"
        done
    done
done
for id in 3 255; do
    { header "$id" 2 2 2 24; printf "%0$((id + 12))d" 5; } >"$out/id$id-2x2x24.tga"
done
echo "fuzz seeds: $(ls "$out" | wc -l) files in $out" >&2
