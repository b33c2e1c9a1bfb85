#!/usr/bin/env bash
# Times the real plug-in inside the simulated host (dist/tessaline.aex in dist/fxhost.exe, under
# Wine) on the bundled 1920x1080 and 3840x2160 collages at 8 bits and in float, asked for the whole
# layer and for a window of it, as a viewer showing part of a layer asks. For each it prints the
# milliseconds the smart pre-render and render of a frame took (the host's clock around the two
# commands, so neither Wine's start nor the frame stream counts; fastest and median of the frames),
# how much of that the host spent making the worlds the plug-in asked for (fresh memory under Wine
# is slow to make; the host program keeps freed blocks for the next frame, as a real host keeps a
# pool, so the first frame pays most of it), and the most memory those worlds (scratch pictures,
# edge maps) held at once.
#
#   bash bench/plugin_request.sh
#   PLUGIN=old/tessaline.aex bash bench/plugin_request.sh     # another build of the plug-in, same host
#
# Environment: PLUGIN_BENCH_FRAMES (frames per setting, default 12), PLUGIN_BENCH_WINDOW (the window
# at 1080p, default 301,207,1333,901; twice that at 4K). Needs the win64 tree built
# (scripts/build.sh win64); run it on an otherwise idle machine.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
plugin="${PLUGIN:-$root/dist/tessaline.aex}"
host="$root/dist/fxhost.exe"
frames="${PLUGIN_BENCH_FRAMES:-12}"
window="${PLUGIN_BENCH_WINDOW:-301,207,1333,901}"
export WINEPREFIX="${WINEPREFIX:-$root/build/win64/wineprefix}" WINEDEBUG=-all
for file in "$plugin" "$host"; do
  [ -f "$file" ] || { echo "plugin_request.sh: $file is missing; run: bash scripts/build.sh win64" >&2; exit 1; }
done
plugin="$(cd "$(dirname "$plugin")" && pwd)/$(basename "$plugin")"

work="$(mktemp -d "${TMPDIR:-/tmp}/tessaline-request-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use

# A stream of `count` requests of an 8-bit PPM picture, at 8 bits or in float (each byte / 255),
# with the effect's defaults (tools/fxhost/include/fxhost/frame_protocol.h has the layout).
make_stream() {  # picture depth count output
  python3 - "$@" <<'PYTHON'
import array, struct, sys
path, depth, count, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = open(path, 'rb').read()
fields, at = [], 0
while len(fields) < 4:  # magic, width, height, maxval
    while data[at:at + 1].isspace(): at += 1
    end = at
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[at:end]); at = end
at += 1
width, height = int(fields[1]), int(fields[2])
n = width * height
rgb = data[at:at + 3 * n]
if depth == 8:
    argb = bytearray(4 * n)
    argb[0::4] = b'\xff' * n
    for c in range(3): argb[c + 1::4] = rgb[c::3]
else:
    scale = [v / 255 for v in range(256)]
    argb = array.array('f', bytes(16 * n))
    argb[0::4] = array.array('f', [1.0]) * n
    for c in range(3): argb[c + 1::4] = array.array('f', map(scale.__getitem__, rgb[c::3]))
slots = [10, 70, 0, 0, 0, 0xFFFFFFFF, 0, 0, 0]  # the effect's defaults, in its parameter order
head = b'FXF2' + struct.pack('<3I', depth, width, height) + struct.pack('<I6i2I', 0, 0, 0, 0, 0, 0, 0, 1, 1)
head += struct.pack('<I', len(slots)) + struct.pack('<%dI' % len(slots), *slots)
with open(out, 'wb') as f:
    for _ in range(count): f.write(head + bytes(argb))
PYTHON
}

printf '%-10s %-6s %-20s %9s %9s %16s %11s\n' frame depth request fastest median "of which worlds" "worlds peak"
for size in 1920x1080 3840x2160; do
  scale=$([ "$size" = 1920x1080 ] && echo 1 || echo 2)
  request=$(echo "$window" | awk -F, -v s="$scale" '{ printf "%d,%d,%d,%d", $1 * s, $2 * s, $3 * s, $4 * s }')
  oiiotool "$root/data/cel/bench_cel_collage_${size}_opaque.png" --ch R,G,B -d uint8 -o "$work/picture.ppm"
  for depth in 8 32; do
    make_stream "$work/picture.ppm" "$depth" "$frames" "$work/stream"
    for asked in whole "$request"; do
      options=(--timing)
      [ "$asked" = whole ] || options+=(--request "$asked")
      # An older plug-in may leave checkouts out; the timing line comes all the same.
      wine "$host" "Z:$plugin" render "${options[@]}" <"$work/stream" >/dev/null 2>"$work/log" || true
      line=$(grep '^timing: ' "$work/log") || { cat "$work/log" >&2; exit 1; }
      # timing: N frame(s), fastest F ms, median M ms, of which the host made the plug-in's worlds in
      # W ms a frame; they held at most B bytes at once
      echo "$line" | grep -o '[0-9.]\+' | xargs | awk -v f="$size" -v d="$depth" -v r="$asked" '{
        printf "%-10s %-6s %-20s %6.1f ms %6.1f ms %13.1f ms %8.1f MB\n", f, d, r, $2, $3, $4, $5 / 1048576 }'
    done
  done
done
