#!/usr/bin/env bash
# Times the command-line tool on a whole shot: 24 frames of 1920x1080 made from
# data/cel/bench_cel_collage_1920x1080_opaque.png (the frame as it is, flipped, mirrored and turned,
# in turn), smoothed with --threads 1 and with --threads 2, by the tool's own engine and through the
# real plug-in (--via-plugin: dist/tessaline.aex in dist/fxhost.exe under Wine, one host session per
# worker), in the same run. Prints each time, the speed-up from the second thread, the plug-in's
# time over the native one at the same --threads, and whether both paths wrote the same bytes. Each
# setting runs SEQ_REPEAT times, alternating, and the fastest run counts.
#
#   bash bench/sequence.sh
#   SEQ_THREADS=4 SEQ_REPEAT=3 bash bench/sequence.sh      # compare 1 with 4 threads, best of 3
#   SEQ_PLUGIN=0 bash bench/sequence.sh                    # the native path alone
#
# Environment: TESSALINE_BENCH_BUILD_DIR (default build/native), SEQ_FRAMES (24), SEQ_THREADS (2),
# SEQ_REPEAT (2), SEQ_PLUGIN (1; the plug-in path needs the win64 tree built). Run it on an
# otherwise idle machine with at least SEQ_THREADS cores.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
frames="${SEQ_FRAMES:-24}"
plugin="${SEQ_PLUGIN:-1}"
threads="${SEQ_THREADS:-2}"
repeat="${SEQ_REPEAT:-2}"
source_frame="$root/data/cel/bench_cel_collage_1920x1080_opaque.png"
release_build tessaline
tool="$root/dist/tessaline"
if [ "$plugin" = 1 ]; then
  for file in "$root/dist/tessaline.aex" "$root/dist/fxhost.exe"; do
    [ -f "$file" ] || { echo "sequence.sh: $file is missing; run: bash scripts/build.sh win64 (or SEQ_PLUGIN=0)" >&2; exit 1; }
  done
  export WINEPREFIX="${WINEPREFIX:-$root/build/win64/wineprefix}"
  "$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/tessaline-sequence-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
variants=("" --flip --flop --rotate180)
for i in "${!variants[@]}"; do
  oiiotool "$source_frame" ${variants[$i]} -o "$work/variant$i.png"
done
for ((f = 1; f <= frames; f++)); do
  cp "$work/variant$((f % ${#variants[@]})).png" "$(printf '%s/in.%04d.png' "$work" "$f")"
done

# Seconds one run of the tool takes: run THREADS OUTPUT-NAME [OPTION...]. Wine starts cold each
# time (its server ended), as on a farm machine that runs one shot.
time_run() {
  local threads=$1 name=$2
  shift 2
  if [ "$plugin" = 1 ]; then wineserver -k 2>/dev/null || true; fi
  local start=$EPOCHREALTIME
  "$tool" "$@" "$work/in.####.png" "$work/$name.####.png" --threads "$threads" --quiet
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

native1="" nativeN="" plugin1="" pluginN=""
for ((r = 1; r <= repeat; r++)); do
  native1=$(smaller "$(time_run 1 native)" "$native1")
  nativeN=$(smaller "$(time_run "$threads" native)" "$nativeN")
  if [ "$plugin" = 1 ]; then
    plugin1=$(smaller "$(time_run 1 plugin --via-plugin)" "$plugin1")
    pluginN=$(smaller "$(time_run "$threads" plugin --via-plugin)" "$pluginN")
  fi
done
same=""
if [ "$plugin" = 1 ]; then
  same="byte-identical"
  for ((f = 1; f <= frames; f++)); do
    cmp -s "$(printf '%s/native.%04d.png' "$work" "$f")" "$(printf '%s/plugin.%04d.png' "$work" "$f")" || same="DIFFERENT"
  done
fi

awk -v n="$frames" -v n1="$native1" -v nn="$nativeN" -v p1="$plugin1" -v pn="$pluginN" -v threads="$threads" \
  -v repeat="$repeat" -v same="$same" 'BEGIN {
  printf "shot: %d frames of 1920x1080, 8-bit RGBA PNG, default settings; fastest of %d runs each\n", n, repeat
  printf "%-13s %-22s %-22s %s\n", "", "--threads 1", "--threads " threads, "speed-up"
  printf "%-13s %7.2f s (%5.2f f/s)   %7.2f s (%5.2f f/s)   %.2fx\n", "native", n1, n / n1, nn, n / nn, n1 / nn
  if (p1 != "") {
    printf "%-13s %7.2f s (%5.2f f/s)   %7.2f s (%5.2f f/s)   %.2fx\n", "--via-plugin", p1, n / p1, pn, n / pn, p1 / pn
    printf "--via-plugin over native: %.2fx at --threads 1, %.2fx at --threads %d; frames %s\n", p1 / n1, pn / nn, threads, same
  }
}'
[ "$same" != DIFFERENT ]
