#!/usr/bin/env bash
# The built bundle as an OpenFX host finds it on disk: each binary exports the two entry points and
# nothing else and needs nothing of the system but its C library and libgcc (Linux; nothing newer
# than glibc 2.17 and GCC 4.8's libgcc, so that it loads on the older systems hosts run on) or
# Windows' own DLLs (Win64); the icon is a 32-bit RGBA picture of at least 128 x 128 named after
# the identifier.
#   bash tests/ofxhost/bundle_check.sh BUNDLE
# Exits 77 (skipped) when the Win64 binary has not been built, 1 on any fault.
set -euo pipefail
bundle=$1
failed=0
fail() { echo "bundle_check: $*" >&2; failed=1; }

linux=$bundle/Contents/Linux-x86-64/tessaline.ofx
exports=$(nm -D --defined-only "$linux" | awk '{print $3}' | sort | tr '\n' ' ')
[ "$exports" = "OfxGetNumberOfPlugins OfxGetPlugin " ] || fail "the Linux binary exports: $exports"
for needed in $(readelf -d "$linux" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  case $needed in
    libc.so.6 | libm.so.6 | ld-linux-x86-64.so.2 | libgcc_s.so.1) ;;
    *) fail "the Linux binary needs $needed" ;;
  esac
done
newest() { objdump -T "$linux" | grep -o "($1_[0-9.]*)\| $1_[0-9.]* " | tr -d '() ' | sort -V | tail -1; }
for floor in GLIBC_2.17 GCC_4.8.0; do
  version=$(newest "${floor%_*}")
  [ -z "$version" ] || [ "$(printf '%s\n%s\n' "$version" "$floor" | sort -V | tail -1)" = "$floor" ] ||
    fail "the Linux binary asks for $version, newer than $floor"
done

icon=$bundle/Contents/Resources/com.norva.tessaline.png
read -r width height channels format < <(oiiotool --info -v "$icon" |
  sed -n 's/.*: *\([0-9]*\) x *\([0-9]*\), \([0-9]*\) channel, \([a-z0-9]*\) png.*/\1 \2 \3 \4/p')
[ "${width:-0}" -ge 128 ] && [ "${height:-0}" -ge 128 ] && [ "$channels" = 4 ] && [ "$format" = uint8 ] ||
  fail "the icon is ${width:-?} x ${height:-?}, ${channels:-?} channels of ${format:-?}"

windows=$bundle/Contents/Win64/tessaline.ofx
if [ ! -f "$windows" ]; then
  echo "bundle_check: no Win64 binary (build the win64 tree); its checks are skipped"
  exit $((failed ? 1 : 77))
fi
dump=$(x86_64-w64-mingw32-objdump -p "$windows")
exports=$(echo "$dump" | sed -n 's/^\s*\[ *[0-9]*\] \(\S*\)$/\1/p' | sort | tr '\n' ' ')
[ "$exports" = "OfxGetNumberOfPlugins OfxGetPlugin " ] || fail "the Win64 binary exports: $exports"
for dll in $(echo "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  case $dll in
    kernel32.dll | msvcrt.dll) ;;
    *) fail "the Win64 binary imports $dll" ;;
  esac
done
[ $failed = 0 ] && echo "bundle_check: both binaries and the icon are as a host wants them"
exit $failed
