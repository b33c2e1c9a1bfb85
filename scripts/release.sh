#!/usr/bin/env bash
# Makes the two release archives:
#   dist/tessaline-<version>-win64.zip, which a user unpacks into After Effects' plug-in folder:
#     tessaline/tessaline.aex
#     tessaline/tessaline-manual/index.html and its pictures (the manual the plug-in links to)
#     tessaline/NOTICE.txt and tessaline/licences/ (the runtime linked into the plug-in)
#   dist/tessaline-<version>-ofx.zip, for OpenFX hosts on Linux and 64-bit Windows:
#     tessaline-ofx/tessaline.ofx.bundle/ (the folder that goes into the OpenFX plug-in folder)
#     tessaline-ofx/tessaline-manual/, NOTICE.txt and licences/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh win64 tessaline_aex tessaline_manual tessaline_ofx
bash scripts/build.sh native tessaline_ofx tessaline_ofx_icon
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

ofx=$stage/tessaline-ofx
mkdir -p "$ofx/licences"
cp -r dist/tessaline.ofx.bundle dist/tessaline-manual "$ofx/"
cp "$root"/licences/* "$ofx/licences/"
cat > "$ofx/NOTICE.txt" <<NOTICE
tessaline $version for OpenFX hosts (Nuke, DaVinci Resolve and Fusion, Natron, Flame, Vegas and
others), on 64-bit Linux and 64-bit Windows.

Copy the folder tessaline.ofx.bundle into your OpenFX plug-in folder and restart the host:
  Linux:    /usr/OFX/Plugins
  Windows:  C:\Program Files\Common Files\OFX\Plugins
or into any folder named by the OFX_PLUGIN_PATH environment variable. The effect is listed under
NORVA > tessaline. The manual is tessaline-manual/index.html.

Both binaries contain, linked in, the GCC runtime libraries (libstdc++, libgcc; GPL version 3 with
the GCC Runtime Library Exception, which allows this use); the Windows one also the mingw-w64
runtime and winpthreads (permissive licences). Their terms are in licences/.
NOTICE
archive=dist/tessaline-$version-ofx.zip
rm -f "$archive"
(cd "$stage" && /usr/bin/python3 -m zipfile -c "$OLDPWD/$archive" tessaline-ofx)
echo "$archive"
