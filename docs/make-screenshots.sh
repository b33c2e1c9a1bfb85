#!/usr/bin/env bash
# Screenshots of the real options dialog in English and Japanese, for the README and the manual:
# dist/fxhost.exe opens it as After Effects would, under Wine on a virtual display of its own, and
# the dialog is cut out of the screen. Writes docs/pictures/options-dialog-{en,ja}.png.
#   bash docs/make-screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh win64 tessaline_aex fxhost_program tessaline_manual
export WINEPREFIX="$PWD/build/win64/wineprefix" WINEDEBUG=-all
# Wine's programs stay bound to the display of the first one: none may be left from before.
wineserver -k 2>/dev/null || true

display=""
for n in $(seq 150 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
scripts/wine-run.sh "$WINEPREFIX" cmd /c exit >/dev/null 2>&1  # makes and sets up the prefix

# shot LANGUAGE-TAG NAME [ENVIRONMENT...]: opens the dialog, waits for it, cuts it out, closes it.
shot() {
  local tag=$1 name=$2
  shift 2
  env "$@" wine dist/fxhost.exe dist/tessaline.aex dialog --language "$tag" >/dev/null 2>&1 &
  local geometry=""
  for _ in $(seq 200); do
    geometry=$(xwininfo -name tessaline 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
      /Width:/ {w=$NF} /Height:/ {h=$NF} END {if (w) printf "%dx%d+%d+%d", w, h, x, y}') || true
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  [ -n "$geometry" ] || { echo "make-screenshots: the dialog did not appear" >&2; exit 1; }
  sleep 1  # every control drawn
  xwd -root | xwdtopnm 2>/dev/null >"$work/screen.pnm"
  oiiotool "$work/screen.pnm" --cut "$geometry" --origin +0+0 --fullpixels -d uint8 -o "docs/pictures/$name"
  wineserver -k
  echo "docs/pictures/$name ($geometry)"
}

shot en_US options-dialog-en.png
shot ja_JP options-dialog-ja.png LC_ALL=ja_JP.UTF-8
