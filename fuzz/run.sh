#!/usr/bin/env bash
# Runs the engine fuzzer: replays every reproducer in fuzz/regressions/, then fuzzes for SECONDS
# (default 60) from the seeds in fuzz/corpus/, adding new corpus entries to a temporary directory,
# never to the repository. Exits non-zero on any finding.
#
#   fuzz/run.sh [SECONDS]
#
# Environment: FUZZ_BUILD_DIR the build tree (default build/sanitize, built when needed);
# FUZZ_NO_BUILD set to use the fuzzer already built there; FUZZ_WORK_DIR keeps the generated corpus
# and any crash files there instead of in a temporary directory removed on success.
set -euo pipefail

seconds="${1:-60}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS]" >&2; exit 2; }
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build/sanitize}"
fuzzer="$build/fuzz/engine_fuzz"
if [[ -z "${FUZZ_NO_BUILD:-}" ]]; then
  [[ -f "$build/build.ninja" ]] ||
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTESSALINE_SANITIZE=ON -DTESSALINE_FUZZ=ON
  cmake --build "$build" --target engine_fuzz
fi
[[ -x "$fuzzer" ]] || { echo "engine_fuzz: $fuzzer is missing" >&2; exit 1; }

work="${FUZZ_WORK_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/tessaline-fuzz.XXXXXX")}"
mkdir -p "$work/corpus" "$work/artifacts"
status=1
trap '[[ $status -eq 0 ]] && { [[ -n "${FUZZ_WORK_DIR:-}" ]] || rm -rf "$work"; } ||
      echo "engine_fuzz: FAILED; crash files and corpus kept in $work" >&2' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Reproducers of past findings must run clean. libFuzzer's logs (a replay ends with a note that it
# did not fuzz, fuzzing reports every new coverage point) are shown only on a failure.
shopt -s nullglob
regressions=()
for f in "$root"/fuzz/regressions/*; do
  [[ -f "$f" && "$(basename "$f")" != README* ]] && regressions+=("$f")
done
if [[ ${#regressions[@]} -gt 0 ]]; then
  if ! "$fuzzer" -artifact_prefix="$work/artifacts/" "${regressions[@]}" >"$work/replay.log" 2>&1; then
    cat "$work/replay.log" >&2
    echo "engine_fuzz: a regression input fails" >&2
    exit 1
  fi
  echo "engine_fuzz: ${#regressions[@]} regression input(s) replayed without a finding"
fi

# The first corpus directory receives new entries; the seeds are only read.
echo "engine_fuzz: fuzzing for ${seconds}s"
if ! "$fuzzer" -max_len=20000 -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$root/fuzz/corpus" >"$work/fuzz.log" 2>&1; then
  tail -n 80 "$work/fuzz.log" >&2
  echo "engine_fuzz: finding(s) in $work/artifacts:" >&2
  ls -l "$work/artifacts" >&2 || true
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$work/fuzz.log" || true
echo "engine_fuzz: no findings"
status=0
