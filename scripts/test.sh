#!/usr/bin/env bash
# Builds every tree and runs every test: native, under the sanitizers, under Wine, and a short fuzz
# run. Ends with one summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh all

log=$(mktemp)
trap 'rm -f "$log"; WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true' EXIT
status=0
run_ctest() {
  echo "== $1 =="
  (cd "$2" && ctest --output-on-failure -j 2) 2>&1 | tee -a "$log" || status=1
}
run_ctest "native tests" build/native
run_ctest "tests under AddressSanitizer and UndefinedBehaviorSanitizer" build/sanitize
run_ctest "Windows tests under Wine" build/win64

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
