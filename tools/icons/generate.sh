#!/usr/bin/env bash
# Redraws every icon into resources/icons and the contact sheet docs/icons.png.
# Needs the Qt 5 development files, fonts-dejavu-core, imagemagick (the spinner
# GIF, which Qt cannot write) and optipng (smaller files). The output is
# committed; neither the build nor CI runs this.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/draw-icons
icons=$root/resources/icons
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT

cmake -S "$root/tools/icons" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j4 >/dev/null

# Start from an empty folder, so a picture dropped from the catalogue does not linger.
rm -rf "$icons"
"$build/draw-icons" --icons "$icons" --frames "$frames" --sheet "$root/docs/icons.png"

# The animated spinner: the 18 frames, 6/100 s each, looping forever.
"${CONVERT:-convert}" -delay 6 -loop 0 -dispose previous "$frames"/spinner_*.png "$icons/ic_spinner.gif"

find "$icons" "$root/docs/icons.png" -name '*.png' -print0 | xargs -0 optipng -quiet -o2 -strip all
echo "generate: $(find "$icons" -type f | wc -l) files in resources/icons, $(du -sh "$icons" | cut -f1)"
