#!/usr/bin/env bash
# Runs the engine fuzzer: first replays every reproducer in fuzz/regressions/, then fuzzes for
# SECONDS (default 60) from the seeds in fuzz/corpus/. New corpus entries go to a temporary
# directory, never into the repository. Exits non-zero on any finding.
#
#   fuzz/run.sh [SECONDS]
#
# Environment:
#   FUZZ_BUILD_DIR   build tree to use (default build/sanitize, the sanitizer tree that
#                    scripts/build.sh makes; built when needed)
#   FUZZ_NO_BUILD    set to use the fuzzer already built there without rebuilding it
#   FUZZ_WORK_DIR    keep the generated corpus and any crash files here instead of a temporary
#                    directory that is removed on success
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build/sanitize}"
fuzzer="$build/fuzz/engine_fuzz"

if [[ -z "${FUZZ_NO_BUILD:-}" ]]; then
  if [[ ! -f "$build/build.ninja" ]]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTESSALINE_SANITIZE=ON -DTESSALINE_FUZZ=ON
  fi
  cmake --build "$build" --target engine_fuzz
fi
if [[ ! -x "$fuzzer" ]]; then
  echo "engine_fuzz: $fuzzer is missing" >&2
  exit 1
fi

if [[ -n "${FUZZ_WORK_DIR:-}" ]]; then
  work="$FUZZ_WORK_DIR"
  mkdir -p "$work"
  keep=1
else
  work="$(mktemp -d "${TMPDIR:-/tmp}/tessaline-fuzz.XXXXXX")"
  keep=0
fi
mkdir -p "$work/corpus" "$work/artifacts"

status=0
finish() {
  if [[ $status -ne 0 ]]; then
    echo "engine_fuzz: FAILED; crash files and corpus kept in $work" >&2
  elif [[ $keep -eq 0 ]]; then
    rm -rf "$work"
  fi
}
trap finish EXIT

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# 1. Reproducers of past findings: each must now run clean.
shopt -s nullglob
regressions=()
for f in "$root"/fuzz/regressions/*; do
  [[ -f "$f" && "$(basename "$f")" != README* ]] && regressions+=("$f")
done
#    libFuzzer ends a replay with a note that it did not fuzz, which reads like a failure in a test
#    log; its output is shown only when an input fails.
if [[ ${#regressions[@]} -gt 0 ]]; then
  if ! "$fuzzer" -artifact_prefix="$work/artifacts/" "${regressions[@]}" >"$work/replay.log" 2>&1; then
    status=1
    cat "$work/replay.log" >&2
    echo "engine_fuzz: a regression input fails" >&2
    exit 1
  fi
  echo "engine_fuzz: ${#regressions[@]} regression input(s) replayed without a finding"
fi

# 2. Fuzzing from the seeds. The first corpus directory receives new entries; the seed directory is
#    only read.
echo "engine_fuzz: fuzzing for ${seconds}s"
# libFuzzer reports every new coverage point; its log is kept aside and only the summary (or, on a
# finding, the end of the log) is shown.
if ! "$fuzzer" \
    -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" \
    "$work/corpus" "$root/fuzz/corpus" >"$work/fuzz.log" 2>&1; then
  status=1
  tail -n 80 "$work/fuzz.log" >&2
  echo "engine_fuzz: finding(s) in $work/artifacts:" >&2
  ls -l "$work/artifacts" >&2 || true
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$work/fuzz.log" || true
echo "engine_fuzz: no findings"
