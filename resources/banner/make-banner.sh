#!/usr/bin/env bash
# Makes the options dialog's banner, resources/banner/banner.png (730 x 130): a piece of the bundled
# cel frame before and after smoothing, enlarged so the stairs show, beside the effect's name. The
# build turns it into the 32-bit bitmap the plug-in carries. Needs dist/tessaline
# (bash scripts/build.sh native tessaline), oiiotool and the DejaVu fonts.
#   bash resources/banner/make-banner.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
frame=data/cel/bench_cel_collage_1920x1080_opaque.png
crop=105x65+1345+765  # the back of the car
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dist/tessaline "$frame" "$work/smoothed.png" --softness 100
for name in before after; do
  source=$frame
  [ "$name" = after ] && source=$work/smoothed.png
  oiiotool "$source" --cut "$crop" --origin +0+0 --fullpixels --resize:filter=box 210x130 --ch R,G,B \
    -o "$work/$name.png"
done
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
small=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
oiiotool --create 730x130 3 --fill:color=0.12,0.16,0.22 730x130+0+0 --fill:color=0.95,0.55,0.15 4x90+452+20 \
  -o "$work/banner.exr"
# Each picture is pasted onto the banner (the image pasted comes first, then the one it goes on).
oiiotool "$work/before.png" "$work/banner.exr" --paste +10+0 -o "$work/banner.exr"
oiiotool "$work/after.png" "$work/banner.exr" --paste +230+0 -o "$work/banner.exr"
oiiotool "$work/banner.exr" \
  --text:x=474:y=74:size=46:font="$font":color=1,1,1 "tessaline" \
  --text:x=476:y=102:size=15:font="$small":color=0.8,0.85,0.9 "smooth edges for cel animation" \
  -d uint8 -o resources/banner/banner.png
echo resources/banner/banner.png
