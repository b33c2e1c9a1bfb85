#!/usr/bin/env bash
# Builds every tree and runs every test: native, under the sanitizers, under Wine, and a short fuzz
# run. Ends with one summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh all

log=$(mktemp)
xvfb=""
trap 'rm -f "$log"; WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
      [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true' EXIT

# The options dialog's tests need a display: a virtual one of their own, on the first free number.
start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "test.sh: cannot start Xvfb; the dialog tests will fail" >&2
}
status=0
run_ctest() {
  echo "== $1 =="
  (cd "$2" && ctest --output-on-failure -j 2) 2>&1 | tee -a "$log" || status=1
}
run_ctest "native tests" build/native
run_ctest "tests under AddressSanitizer and UndefinedBehaviorSanitizer" build/sanitize
start_display
run_ctest "Windows tests under Wine (display ${DISPLAY:-none})" build/win64

echo "== the command-line tool through the real plug-in =="
if bash tests/via_plugin_check.sh 2>&1 | tee -a "$log"; then
  crossChecked=1 crossFailed=0
else
  status=1
  crossChecked=0 crossFailed=1
fi

echo "== fuzzing the engine =="
if FUZZ_NO_BUILD=1 bash fuzz/run.sh "${FUZZ_SECONDS:-60}"; then
  echo "fuzz: passed"
  fuzzed=1 fuzzFailed=0
else
  status=1
  fuzzed=0 fuzzFailed=1
fi

passed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" |
  awk '{p += $1 - $2; f += $2} END {print p + 0, f + 0}')
read -r p f <<<"$passed"
echo "all: $((p + fuzzed + crossChecked)) passed, $((f + fuzzFailed + crossFailed)) failed"
exit $status
