#!/usr/bin/env bash
# A shot through the real plug-in (dist/tessaline --via-plugin) runs one session of the plug-in's
# host per worker, whatever the number of frames. A `wine` of our own ahead on PATH counts the
# host's starts and records their process ids, and can make a start die at once, as a crashing host
# would. Checks:
#   - 6 frames on 2 threads start the host twice; a frame wider than a layer may be (30001 pixels,
#     which the host refuses) fails alone, and the other frames are byte-identical to the native
#     path's;
#   - a host that dies fails its frame only: the next frame gets a new host, and the run says so;
#   - a host whose accounts do not balance at the end fails the run, in its own words;
#   - Ctrl-C (SIGINT) in the middle of a shot leaves no host process and no temporary file.
# Needs the native and win64 trees built.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/win64/wineprefix"
scripts/wine-run.sh "$WINEPREFIX" cmd /c exit >/dev/null 2>&1  # makes the prefix on first use
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
real_wine=$(command -v wine)
mkdir "$work/bin"
cat >"$work/bin/wine" <<EOF
#!/bin/sh
echo \$\$ >>"$work/starts"
if [ -e "$work/die-once" ]; then rm -f "$work/die-once"; exit 9; fi
if [ -e "$work/unbalanced" ]; then "$real_wine" "\$@"; echo "accounts: 1 handle not freed" >&2; exit 3; fi
exec "$real_wine" "\$@"
EOF
chmod +x "$work/bin/wine"
export PATH="$work/bin:$PATH"
tool=dist/tessaline
failed=0
expect() {  # description condition...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
starts() { if [ -f "$work/starts" ]; then wc -l <"$work/starts"; else echo 0; fi; }

oiiotool data/cel/bench_cel_collage_1920x1080_opaque.png --cut 320x180+800+450 -o "$work/small.png"
mkdir "$work/shot"
for f in 1 2 3 5 6; do cp "$work/small.png" "$work/shot/in.$f.png"; done
oiiotool --pattern checker:width=7:height=1 30001x1 4 -d uint8 -o "$work/shot/in.4.png"
"$tool" "$work/shot/in.#.png" "$work/shot/native.#.png" --frames 1-6 --quiet

# Two workers, two sessions; the wide frame fails alone.
rc=0
"$tool" --via-plugin "$work/shot/in.#.png" "$work/shot/plugin.#.png" --frames 1-6 --threads 2 2>"$work/log" || rc=$?
expect "6 frames on 2 threads start the host twice (started $(starts))" [ "$(starts)" -eq 2 ]
refused_alone() {
  [ "$rc" -eq 1 ] && grep -q "frame 4: the plug-in host refused the frame" "$work/log" && [ ! -e "$work/shot/plugin.4.png" ]
}
expect "the refused frame fails alone (exit $rc: $(head -c 300 "$work/log"))" refused_alone
same_as_native() {
  for f in "$@"; do cmp -s "$work/shot/native.$f.png" "$work/shot/plugin.$f.png" || return 1; done
}
expect "the other frames are byte-identical to the native path's" same_as_native 1 2 3 5 6

# A host that dies at its start fails one frame; the next frame starts a new one.
rm -f "$work/starts" "$work/shot/plugin."*
touch "$work/die-once"
rc=0
"$tool" --via-plugin "$work/shot/in.#.png" "$work/shot/plugin.#.png" --frames 1-3 --threads 1 2>"$work/log" || rc=$?
restarted() {
  [ "$rc" -eq 1 ] && [ "$(starts)" -eq 2 ] && [ ! -e "$work/shot/plugin.1.png" ] && same_as_native 2 3 &&
    grep -q "frame 1: the plug-in host stopped on this frame.*a new host starts for the next frame" "$work/log"
}
expect "a dead host fails its frame and is started again (exit $rc, $(starts) starts: $(head -c 300 "$work/log"))" restarted

# A session whose accounts do not balance: its frames are written, the run fails with its words.
rm -f "$work/starts" "$work/shot/plugin."* "$work/unbalanced-log"
touch "$work/unbalanced"
rc=0
"$tool" --via-plugin "$work/shot/in.#.png" "$work/shot/plugin.#.png" --frames 1-2 --threads 1 2>"$work/log" || rc=$?
rm -f "$work/unbalanced"
judged() { [ "$rc" -eq 1 ] && same_as_native 1 2 && grep -q "unbalanced.*status 3.*1 handle not freed" "$work/log"; }
expect "unbalanced accounts fail the run (exit $rc: $(head -c 300 "$work/log"))" judged

# Ctrl-C in the middle of a shot of full frames.
rm -f "$work/starts"
mkdir "$work/long"
for f in $(seq 1 12); do cp data/cel/bench_cel_collage_1920x1080_opaque.png "$work/long/in.$f.png"; done
set -m  # else a background job ignores SIGINT
"$tool" --via-plugin "$work/long/in.#.png" "$work/long/out.#.png" --frames 1-12 --threads 2 --quiet 2>"$work/log" &
run=$!
set +m
for _ in $(seq 600); do
  [ -e "$work/long/out.2.png" ] && break
  kill -0 "$run" 2>/dev/null || break
  sleep 0.1
done
kill -INT "$run"
rc=0
wait "$run" || rc=$?
alive=0
while read -r pid; do kill -0 "$pid" 2>/dev/null && alive=1; done <"$work/starts"
leftovers=$(find "$work/long" -name '.*tmp*' | wc -l)
cleaned_up() { [ "$rc" -eq 130 ] && [ "$alive" -eq 0 ] && [ "$leftovers" -eq 0 ] && grep -q "interrupted" "$work/log"; }
expect "an interrupt ends the hosts and leaves no temporary file (exit $rc, $(starts) hosts, alive $alive, leftovers $leftovers)" cleaned_up
exit $failed
