#!/usr/bin/env bash
# The command-line tool's paths must give the same file to the byte: its own engine, and a real
# plug-in: with --via-plugin (the default) the After Effects plug-in (dist/tessaline.aex) rendering
# inside the simulated host under Wine, with --via-ofx the OpenFX bundle's Linux binary in the
# simulated OpenFX host. Every depth (the bundled frame as 8-bit PNG, 16-bit TIFF and float EXR)
# in every key mode. Needs the native tree built (and the win64 tree for --via-plugin); prints one
# line per case and exits non-zero on any difference.
#   bash tests/via_plugin_check.sh [--via-plugin|--via-ofx]
set -euo pipefail
via=${1:---via-plugin}
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/win64/wineprefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frame=data/cel/bench_cel_collage_1920x1080_opaque.png
cp "$frame" "$work/frame8.png"
oiiotool "$frame" -d uint16 -o "$work/frame16.tif"
oiiotool "$frame" -d float -o "$work/frame32.exr"
if [ "$via" = --via-plugin ]; then
  scripts/wine-run.sh "$WINEPREFIX" cmd /c exit >/dev/null 2>&1  # makes the prefix on first use
fi

modes=("" "--key-color 207,232,245 --key-color-threshold 30" "--key-color 0,0,0 --invert --softness 100 --bias 50")
failed=0
for input in "$work"/frame8.png "$work"/frame16.tif "$work"/frame32.exr; do
  extension=${input##*.}
  for mode in "${modes[@]}"; do
    read -ra options <<<"$mode"
    dist/tessaline "$input" "$work/native.$extension" "${options[@]}"
    dist/tessaline "$via" "$input" "$work/plugin.$extension" "${options[@]}"
    verdict=same
    cmp -s "$work/native.$extension" "$work/plugin.$extension" || { verdict=DIFFERENT; failed=1; }
    echo "$verdict $via: $(basename "$input") ${mode:-(defaults)}"
  done
done
exit $failed
