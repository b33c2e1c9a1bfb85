#!/usr/bin/env bash
# Installs everything tessaline builds, tests and benchmarks with, from Debian's packages only.
# Idempotent: packages already present are left alone. Waits for the package lock instead of failing
# when another apt or dpkg run holds it.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  python3 python3-markdown                    # the ABI test's facts from the table; the manual's HTML
  clang libclang-rt-14-dev                    # libFuzzer and the sanitizer runtimes
  libgtest-dev libgmock-dev googletest libbenchmark-dev libgegl-dev
  libopenimageio-dev openimageio-tools
  libopenexr-dev                             # the tool's tests make luminance/chroma EXR files
  g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils          # the options dialog under Xvfb in tests
  fonts-wine fonts-ipafont-gothic            # title-bar buttons, and the dialog's Japanese font
  x11-apps netpbm                            # screenshots of the dialog (xwd, xwdtopnm)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=600 -y -q)
echo "install-deps: installing ${missing[*]}"
apt-get "${apt_opts[@]}" update
apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}"
