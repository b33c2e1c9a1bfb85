#!/usr/bin/env bash
# Builds everything and smooths the bundled cel frame with the default settings.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh all
mkdir -p out
input=data/cel/bench_cel_collage_1920x1080_opaque.png
output=out/bench_cel_collage_1920x1080_smoothed.png
dist/tessaline "$input" "$output"
echo "smoothed $input -> $output"
