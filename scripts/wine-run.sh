#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is made and set up on first use (serialised by a lock, since tests may start in
# parallel): windows draw their own frames (no window manager is needed under Xvfb), the options
# dialog's font "MS UI Gothic" is Debian's IPA Gothic, the title-bar buttons have their font, and
# web pages (the manual) open with Wine's browser launcher, as on a Windows with a browser.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
setup=2  # raise when the set-up below changes, so that existing prefixes get it too
if [ ! -f "$prefix/.tessaline-setup-$setup" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.tessaline-setup-$setup" ]; then
      if [ ! -f "$prefix/system.reg" ]; then
        wineboot --init >/dev/null 2>&1 || true
      fi
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'MS UI Gothic' \
        /d IPAPGothic /f >/dev/null 2>&1
      cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
      wine reg add 'HKLM\Software\Classes\.html' /ve /d htmlfile /f >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.tessaline-setup-$setup"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
