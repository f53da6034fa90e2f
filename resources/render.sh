#!/usr/bin/env bash
# Renders the images of the program from their SVG sources in art/ and writes
# the results next to this script; both the sources and the results are kept
# in the repository, so a build needs neither rsvg-convert nor ImageMagick.
# Run it after changing a drawing: resources/render.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render <svg> <size> <png>: one square PNG with alpha.
render() {
    rsvg-convert --width "$2" --height "$2" --keep-aspect-ratio "art/$1" -o "$3"
}

# The program icon (icon resource 128): 16, 32, 48 and 256 pixels in one .ico;
# the 256-pixel picture is also kept as a PNG for the documentation.
mkdir -p png
sizes=(16 32 48 256)
frames=()
for size in "${sizes[@]}"; do
    render velmora.svg "$size" "$work/icon-$size.png"
    frames+=("$work/icon-$size.png")
done
convert "${frames[@]}" velmora.ico
cp "$work/icon-256.png" png/velmora-256.png


# render_size <svg> <width> <height> <png>: a picture that is not square.
render_size() {
    rsvg-convert --width "$2" --height "$3" "$1" -o "$4"
}

# The About box's title picture (PNG 136), 280 x 90 at 96 DPI, with its
# renderings at 1.5x and 2x.
render_size images/about-title.svg 280 90 images/136-about-title.png
render_size images/about-title.svg 420 135 images/136-about-title-150.png
render_size images/about-title.svg 560 180 images/136-about-title-200.png

# Pictures of the buttons, lists and menus (resources/images, listed in
# images.rc), each at the side it is drawn with at 96 DPI (1x) and at 1.5x and
# 2x of it for the larger display scales: images/<id>-<name>.png,
# <id>-<name>-150.png and <id>-<name>-200.png. The program draws the one
# nearest to the size it needs (platform/Dpi.h). Tool-bar buttons 30, the
# entry buttons of the Advanced window 32, list, menu and strip pictures 16.
while read -r id name side; do
    render "../images/$name.svg" "$side" "images/$id-$name.png"
    render "../images/$name.svg" "$(((side * 3 + 1) / 2))" "images/$id-$name-150.png"
    render "../images/$name.svg" "$((side * 2))" "images/$id-$name-200.png"
done <<'LIST'
130 add 30
131 advanced 30
132 allow 30
133 deny 30
134 read-only 30
137 back 16
147 entry-remove 32
148 entry-reload 32
149 entry-add 32
159 change-owner 30
163 main-menu 16
172 access-allowed 16
173 access-denied 16
174 access-read-only 16
175 owner 16
176 cell-empty 16
177 cell-dropdown 16
178 cell-ticked 16
179 non-ntfs 16
180 bookmark 16
181 clipboard 16
LIST
