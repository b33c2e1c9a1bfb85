#!/usr/bin/env bash
# Builds every tree and runs every test: native, under the sanitizers, under Wine, and a short fuzz
# run. Ends with one summary line, in CTest tests and script checks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh all

xvfb=""
trap 'WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
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
# One unit throughout: CTest tests. Natively each GoogleTest case is a CTest test of its own; under
# Wine each test program is one (one Wine start per program), so the Wine figure is smaller.
ctest_passed=0 ctest_failed=0 ctest_trees=""
run_ctest() {
  local name=$1 dir=$2 label=$3 out total failed
  echo "== $name =="
  out=$(mktemp)
  (cd "$dir" && ctest --output-on-failure -j 2) 2>&1 | tee "$out" || status=1
  read -r total failed < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$out"
    echo "0 0")
  rm -f "$out"
  if [ "$total" -eq 0 ]; then
    echo "test.sh: no CTest summary from $dir" >&2
    status=1
  fi
  ctest_passed=$((ctest_passed + total - failed))
  ctest_failed=$((ctest_failed + failed))
  ctest_trees="$ctest_trees${ctest_trees:+, }$label $total"
}
run_ctest "native tests" build/native native
run_ctest "tests under AddressSanitizer and UndefinedBehaviorSanitizer" build/sanitize sanitizers
start_display
run_ctest "Windows tests under Wine (display ${DISPLAY:-none})" build/win64 Wine

# Checks that are scripts rather than CTest tests.
checks_passed=0 checks_failed=0
check() {
  if "$@"; then
    checks_passed=$((checks_passed + 1))
  else
    status=1
    checks_failed=$((checks_failed + 1))
  fi
}
echo "== the command-line tool through the real plug-ins =="
check bash tests/via_plugin_check.sh --via-plugin
check bash tests/via_plugin_check.sh --via-ofx
check bash tests/plugin_sessions_check.sh
echo "== fuzzing the engine =="
check env FUZZ_NO_BUILD=1 bash fuzz/run.sh "${FUZZ_SECONDS:-60}"

echo "summary: CTest tests: $ctest_passed passed, $ctest_failed failed ($ctest_trees);" \
  "script checks (plug-in cross-checks, plug-in sessions, fuzzing): $checks_passed passed, $checks_failed failed"
exit $status
