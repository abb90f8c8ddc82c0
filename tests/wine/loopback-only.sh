#!/usr/bin/env bash
# Runs a Wine test program in a network namespace that holds only loopback, with a
# copy of the session's prefix and a wineserver of its own started inside the namespace
# (a server outside would still see the machine's adapters). The session's own server
# and prefix are left alone.
#   loopback-only.sh <test program> [arguments...]
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: loopback-only.sh <test program> [arguments...]" >&2
  exit 2
fi
if [ -z "${ZX_WINE_SESSION:-}" ]; then
  echo "loopback-only: no Wine session; run this under tools/wine-session" >&2
  exit 2
fi
if ! unshare -n true 2>/dev/null; then
  echo "loopback-only: cannot create a network namespace here (needs root)" >&2
  exit 77
fi
work="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/loopback-only.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp -a "$ZX_WINE_SESSION" "$work/prefix"

unshare -n env WINEPREFIX="$work/prefix" ZX_LOOPBACK_ONLY=1 bash -s "$@" <<'INNER'
set -uo pipefail
ip link set lo up
if ip -o link show | grep -v ': lo:' | grep -q .; then
  echo "loopback-only: the namespace holds more than loopback" >&2
  exit 1
fi
wineserver -p
timeout --kill-after=5 "${ZX_WINE_TIMEOUT:-120}" wine "$@"
status=$?
wineserver -k
exit $status
INNER
