#!/usr/bin/env bash
# Builds the engine benchmark (the Release native tree, build/native) when it is missing or out of date, then runs
# it pinned to one core: the engine is single-threaded, and one core keeps the timings steady.
#
#   bash bench/run.sh                                             # the whole suite, about two minutes
#   bash bench/run.sh --benchmark_filter='1920x1080_opaque/u8'    # extra arguments go to the benchmark
#   bash bench/run.sh --benchmark_repetitions=3                   # medians and spread, about four
#
# Environment: TESSALINE_BENCH_BUILD_DIR (default build/native), TESSALINE_BENCH_CPU (default 0).
# Run it on an otherwise idle machine; a build running next to it skews every figure.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
cpu="${TESSALINE_BENCH_CPU:-0}"
release_build tessaline_bench

# A later --benchmark_min_time among the extra arguments overrides this one.
exec taskset -c "$cpu" "$build/bench/tessaline_bench" --benchmark_min_time=1 "$@"
