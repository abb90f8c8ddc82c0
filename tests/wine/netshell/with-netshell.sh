#!/usr/bin/env bash
# Runs a command with the stand-in connection manager installed in the session's prefix:
# the stand-in copied into system32 as netshell.dll and registered as the connection
# manager class (in-process, 64-bit view). Both are taken out again at the end, also on
# failure, so that the tests of a machine without a network shell see none.
#   with-netshell.sh <stand-in dll> <command or test program> [args...]
# A test program (*.exe) runs through tools/wine-exec; a wrapper (*.sh) runs as it is.
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: with-netshell.sh <stand-in dll> <command> [args...]" >&2
  exit 2
fi
if [ -z "${ZX_WINE_SESSION:-}" ]; then
  echo "with-netshell: no Wine session; run this under tools/wine-session" >&2
  exit 2
fi
dll="$1"; shift
system32="$WINEPREFIX/drive_c/windows/system32"
key='HKLM\Software\Classes\CLSID\{BA126AD1-2166-11D1-B1D0-00805FC1270E}'
remove() {
  wine reg delete "$key" /f /reg:64 </dev/null >/dev/null 2>&1
  rm -f "$system32/netshell.dll"
}
trap remove EXIT
[ -e "$system32/netshell.dll" ] && { echo "with-netshell: a netshell.dll is installed already" >&2; exit 1; }
cp "$dll" "$system32/netshell.dll" || exit 1
wine reg add "$key\\InprocServer32" /ve /d 'C:\windows\system32\netshell.dll' /f /reg:64 </dev/null >/dev/null 2>&1 &&
  wine reg add "$key\\InprocServer32" /v ThreadingModel /d Both /f /reg:64 </dev/null >/dev/null 2>&1 ||
  { echo "with-netshell: could not register the stand-in" >&2; exit 1; }
runner=("$ZX_SOURCE_DIR/tools/wine-exec")
case "$1" in *.sh) runner=() ;; esac
"${runner[@]}" "$@"
