#!/usr/bin/env bash
# Runs a test program with Wine's desktop process (explorer.exe) ended, as a lower
# program could end Explorer. Wine does not serve the desktop's shell again once its
# desktop process has been ended, so this runs in a prefix and wineserver of its own,
# leaving the session's desktop to the tests that follow. Every Wine call here is
# detached from CTest's pipes: a desktop started by one of them would hold them open.
#   without-explorer.sh <test.exe> [gtest arguments...]
set -uo pipefail
if [ -z "${ZX_WINE_SESSION:-}" ] || [ -z "${ZX_SOURCE_DIR:-}" ] || [ -z "${ZX_BUILD_DIR:-}" ]; then
  echo "without-explorer.sh: no Wine session; run this under tools/wine-session" >&2
  exit 2
fi
# shellcheck source=../../tools/lib/wine-env.sh
. "$ZX_SOURCE_DIR/tools/lib/wine-env.sh"
log="$(mktemp)"
prefix="$ZX_BUILD_DIR/wineprefix-without-explorer"
zx_wine_environment "$prefix"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -f "$log"
}
trap cleanup EXIT
zx_wine_prepare_prefix "$prefix" </dev/null >/dev/null 2>&1 || { echo "without-explorer.sh: prefix setup failed" >&2; exit 1; }
rm -f "$prefix/opened-urls.log"
wineserver -p
# The desktop first, as in the session, then ended.
timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
timeout 30 wine taskkill /F /IM explorer.exe </dev/null >/dev/null 2>&1
ZX_EXPLORER_ENDED=1 timeout --kill-after=5 "${ZX_WINE_TIMEOUT:-60}" wine "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
exit $status
