#!/usr/bin/env bash
# Builds the command-line tool and the plug-ins, smooths the bundled cel frame with the default
# settings, then renders it again through the real plug-in under Wine and through the OpenFX
# bundle, and says whether the files are the same to the byte.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh native tessaline tessaline_ofx
bash scripts/build.sh win64 tessaline_aex fxhost_program
mkdir -p out
input=data/cel/bench_cel_collage_1920x1080_opaque.png
native=out/bench_cel_collage_1920x1080_smoothed.png
plugin=out/bench_cel_collage_1920x1080_smoothed_via_plugin.png
dist/tessaline "$input" "$native"
echo "smoothed $input -> $native"
export WINEPREFIX="$PWD/build/win64/wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
scripts/wine-run.sh "$WINEPREFIX" cmd /c exit >/dev/null 2>&1  # makes the prefix on first use
dist/tessaline --via-plugin "$input" "$plugin"
echo "smoothed $input -> $plugin through dist/tessaline.aex under Wine"
ofx=out/bench_cel_collage_1920x1080_smoothed_via_ofx.png
dist/tessaline --via-ofx "$input" "$ofx"
echo "smoothed $input -> $ofx through dist/tessaline.ofx.bundle"
if cmp -s "$native" "$plugin" && cmp -s "$native" "$ofx"; then
  echo "both plug-ins and the command-line tool agree to the byte"
else
  echo "the plug-ins and the command-line tool DIFFER" >&2
  exit 1
fi
