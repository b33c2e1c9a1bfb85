#!/usr/bin/env bash
# Makes the release archive a user unpacks into After Effects' plug-in folder:
#   dist/tessaline-<version>-win64.zip
#     tessaline/tessaline.aex
#     tessaline/tessaline-manual/index.html and its pictures (the manual the plug-in links to)
#     tessaline/NOTICE.txt and tessaline/licences/ (the runtime linked into the plug-in)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh win64 tessaline_aex tessaline_manual
version=$(sed -n 's/^#define TESSALINE_VERSION_\(MAJOR\|MINOR\|BUGFIX\) \([0-9]*\)$/\2/p' Source/effect_identity.h |
  paste -sd.)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/tessaline
mkdir -p "$root/licences"
cp dist/tessaline.aex "$root/"
cp -r dist/tessaline-manual "$root/"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$root/licences/gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$root/licences/mingw-w64-runtime.txt"
cat > "$root/NOTICE.txt" <<NOTICE
tessaline $version for Adobe After Effects, 64-bit Windows.

Unpack this folder into After Effects' plug-in folder and restart After Effects; the effect is in
Effect > NORVA > tessaline. The manual is tessaline-manual/index.html (also reached from the
effect's About box and options dialog).

tessaline.aex contains, linked in, the GCC runtime libraries (libstdc++, libgcc; GPL version 3 with
the GCC Runtime Library Exception, which allows this use) and the mingw-w64 runtime and winpthreads
(permissive licences); their terms are in licences/. The manual's pictures are made from drawings of
the Open Clip Art Library (public domain).
NOTICE
archive=dist/tessaline-$version-win64.zip
rm -f "$archive"
(cd "$stage" && /usr/bin/python3 -m zipfile -c "$OLDPWD/$archive" tessaline)
echo "$archive"
