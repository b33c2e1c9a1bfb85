#!/usr/bin/env bash
# Builds tessaline's build trees: native (g++: engine, tool, tests, benchmark), sanitize (clang with
# AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzer) and win64 (mingw-w64, tests run under
# Wine). Usage: scripts/build.sh [native|sanitize|win64|all] [TARGET...]   (default: all trees,
# every target; with targets, only those are built in the one tree named)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

what=${1:-all}
shift || true
targets=("$@")
jobs=${JOBS:-2}

configure_and_build() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  ninja -C "$dir" -j "$jobs" "${targets[@]}"
}

case "$what" in
  native | all) configure_and_build build/native ;;&
  sanitize | all) CXX=clang++ configure_and_build build/sanitize -DTESSALINE_SANITIZE=ON -DTESSALINE_FUZZ=ON ;;&
  win64 | all) configure_and_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ;;&
  native | sanitize | win64 | all) ;;
  *) echo "build.sh: unknown tree '$what' (use native, sanitize, win64 or all)" >&2; exit 2 ;;
esac
