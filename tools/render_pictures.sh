#!/bin/sh
# Renders every picture under resources/pictures to PNG and builds contact
# sheets, so the pictures can be checked by eye at their working sizes.
#
#   tools/render_pictures.sh OUTDIR
#
# OUTDIR receives:
#   24/<name>.png, 96/<name>.png    every picture at 24 and 96 pixels
#   16/buttons/<id>.png             the palette buttons at their own 16 pixels
#   sheet-24.png, sheet-96.png      contact sheets of the block pictures and marks
#   sheet-buttons-16.png, sheet-buttons-64.png   contact sheets of the buttons
#
# Needs rsvg-convert (Debian package librsvg2-bin; ImageMagick's convert is used
# when it is missing) and ImageMagick's montage for the sheets.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
out=$1
src=$(cd "$(dirname "$0")/../resources/pictures" && pwd)

if command -v rsvg-convert >/dev/null 2>&1; then
    render() { rsvg-convert -w "$2" -h "$2" --keep-aspect-ratio -b white -o "$3" "$1"; }
elif command -v convert >/dev/null 2>&1; then
    echo "rsvg-convert not found (apt-get install -y librsvg2-bin); using ImageMagick" >&2
    render() { convert -background white -density 384 "$1" -resize "$2x$2" "$3"; }
else
    echo "neither rsvg-convert nor ImageMagick convert is installed" >&2
    exit 1
fi

mkdir -p "$out/16/buttons" "$out/24/buttons" "$out/96/buttons" "$out/64/buttons"

count=0
for svg in "$src"/*.svg "$src"/buttons/*.svg; do
    [ -e "$svg" ] || continue
    rel=${svg#"$src"/}
    png=${rel%.svg}.png
    render "$svg" 24 "$out/24/$png"
    render "$svg" 96 "$out/96/$png"
    case $rel in
    buttons/*)
        render "$svg" 16 "$out/16/$png"
        render "$svg" 64 "$out/64/$png"
        ;;
    esac
    count=$((count + 1))
done
echo "rendered $count pictures into $out"

if ! command -v montage >/dev/null 2>&1; then
    echo "montage not found (apt-get install -y imagemagick): no contact sheets" >&2
    exit 0
fi

# One contact sheet: 16 pictures a row, each labelled with its file name.
sheet() { # size, output, files...
    size=$1
    dest=$2
    shift 2
    montage -label '%t' -pointsize 9 -background white -tile 16x \
        -geometry "+$((size / 6 + 4))+4" "$@" "$dest"
}

# Block pictures, marks and cursor in id order, each colour block picture
# followed by its monochrome twin.
blocks=""
ids=$(for f in "$out"/24/*.png; do basename "$f" .png; done | sort -n)
for id in $ids; do
    if [ "$id" -lt 500 ]; then
        blocks="$blocks $id.png"
        [ -e "$out/24/$((id + 500)).png" ] && blocks="$blocks $((id + 500)).png"
    elif [ ! -e "$out/24/$((id - 500)).png" ]; then
        blocks="$blocks $id.png"
    fi
done
for size in 24 96; do
    files=""
    for f in $blocks; do files="$files $out/$size/$f"; done
    # shellcheck disable=SC2086
    sheet "$size" "$out/sheet-$size.png" $files
done

buttons=$(for f in "$out"/16/buttons/*.png; do basename "$f"; done | sort -n)
for size in 16 64; do
    files=""
    for f in $buttons; do files="$files $out/$size/buttons/$f"; done
    # shellcheck disable=SC2086
    sheet "$size" "$out/sheet-buttons-$size.png" $files
done
echo "contact sheets: $out/sheet-24.png $out/sheet-96.png" \
    "$out/sheet-buttons-16.png $out/sheet-buttons-64.png"
