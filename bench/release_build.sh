# Sourced by the benchmark scripts: release_build TARGET... installs what is missing (as root), makes
# the Release native tree (TESSALINE_BENCH_BUILD_DIR, default build/native) if it is not one, and
# builds the targets. Sets $root and $build.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESSALINE_BENCH_BUILD_DIR:-$root/build/native}"

release_build() {
  # Nothing to do when every package is present.
  bash "$root/scripts/install-deps.sh"
  if ! grep -qs '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt" || [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
  fi
  ninja -C "$build" "$@"
}
