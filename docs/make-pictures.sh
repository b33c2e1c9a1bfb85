#!/usr/bin/env bash
# Makes the manual's pictures of what each setting does: one crop of the bundled cel frame,
# smoothed with the command-line tool at a setting, enlarged four times without filtering so that
# single pixels show. Needs dist/tessaline (bash scripts/build.sh native) and oiiotool.
#   bash docs/make-pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
frame=data/cel/bench_cel_collage_1920x1080_opaque.png
crop=120x80+1340+760  # the back of the car: a curved outline and a light, flat sky behind
out=docs/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# picture NAME [tool options...]: the crop after smoothing the whole frame with those options;
# transparent pixels are shown over a grey checkerboard.
picture() {
  local name=$1
  shift
  if [ "$name" = original ]; then
    cp "$frame" "$work/$name.png"
  else
    dist/tessaline "$frame" "$work/$name.png" "$@"
  fi
  oiiotool "$work/$name.png" --cut "$crop" --origin +0+0 --fullpixels -o "$work/$name-crop.exr"
  oiiotool "$work/$name-crop.exr" --pattern checker:width=8:height=8:color1=0.55,0.55,0.55,1:color2=0.8,0.8,0.8,1 \
    120x80 4 --over --resize:filter=box 480x320 --ch R,G,B -d uint8 -o "$out/$name.png"
  echo "$out/$name.png"
}

picture original
picture default
picture softness-30 --softness 30
picture softness-100 --softness 100
picture bias-100 --bias 100
picture threshold-200 --color-threshold 200
picture key-sky --key-color 207,232,245
picture key-sky-inverted --key-color 207,232,245 --invert

# What --edges draws for the same crop: the frame dimmed, each edge pixel in red, green or blue.
dist/tessaline "$frame" "$work/smooth.png" --edges "$work/edges.png" --quiet
oiiotool "$work/edges.png" --cut "$crop" --origin +0+0 --fullpixels --resize:filter=box 480x320 -d uint8 \
  -o "$out/edges.png"
echo "$out/edges.png"
