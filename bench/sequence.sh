#!/usr/bin/env bash
# Times the command-line tool on a whole shot: 48 frames of 1920x1080 made from
# data/cel/bench_cel_collage_1920x1080_opaque.png (the frame as it is, flipped, mirrored and turned,
# in turn), smoothed with --threads 1 and with --threads 2 in the same run. Prints both times and
# their ratio, the speed-up from the second thread. Each setting runs SEQ_REPEAT times, alternating,
# and the fastest run counts.
#
#   bash bench/sequence.sh
#   SEQ_THREADS=4 SEQ_REPEAT=3 bash bench/sequence.sh      # compare 1 with 4 threads, best of 3
#
# Environment: TESSALINE_BENCH_BUILD_DIR (default build/native), SEQ_FRAMES (48), SEQ_THREADS (2),
# SEQ_REPEAT (2). Run it on an otherwise idle machine with at least SEQ_THREADS cores.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
frames="${SEQ_FRAMES:-48}"
threads="${SEQ_THREADS:-2}"
repeat="${SEQ_REPEAT:-2}"
source_frame="$root/data/cel/bench_cel_collage_1920x1080_opaque.png"
release_build tessaline
tool="$root/dist/tessaline"

work="$(mktemp -d "${TMPDIR:-/tmp}/tessaline-sequence-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
variants=("" --flip --flop --rotate180)
for i in "${!variants[@]}"; do
  oiiotool "$source_frame" ${variants[$i]} -o "$work/variant$i.png"
done
for ((f = 1; f <= frames; f++)); do
  cp "$work/variant$((f % ${#variants[@]})).png" "$(printf '%s/in.%04d.png' "$work" "$f")"
done

# Seconds one run of the tool takes.
time_run() {
  local start=$EPOCHREALTIME
  "$tool" "$work/in.####.png" "$work/out.####.png" --threads "$1" --quiet
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

best1="" bestN=""
for ((r = 1; r <= repeat; r++)); do
  best1=$(smaller "$(time_run 1)" "$best1")
  bestN=$(smaller "$(time_run "$threads")" "$bestN")
done

awk -v n="$frames" -v t1="$best1" -v tn="$bestN" -v threads="$threads" -v repeat="$repeat" 'BEGIN {
  printf "shot: %d frames of 1920x1080, 8-bit RGBA PNG, default settings; fastest of %d runs each\n", n, repeat
  printf "--threads 1:  %7.2f s  (%5.2f frames/s)\n", t1, n / t1
  printf "--threads %d:  %7.2f s  (%5.2f frames/s)\n", threads, tn, n / tn
  printf "speed-up with %d threads: %.2fx\n", threads, t1 / tn
}'
