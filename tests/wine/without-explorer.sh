#!/usr/bin/env bash
# Runs a test program with Wine's desktop process (explorer.exe) ended, as a lower
# program could end Explorer, and brings the desktop back afterwards. Every Wine call here
# is detached from CTest's pipes: a desktop started by one of them would hold them open.
#   without-explorer.sh <test.exe> [gtest arguments...]
set -uo pipefail
if [ -z "${ZX_WINE_SESSION:-}" ]; then
  echo "without-explorer.sh: no Wine session; run this under tools/wine-session" >&2
  exit 2
fi
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
timeout 30 wine taskkill /F /IM explorer.exe </dev/null >/dev/null 2>&1
ZX_EXPLORER_ENDED=1 timeout --kill-after=5 "${ZX_WINE_TIMEOUT:-60}" wine "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
# The next tests open addresses through the desktop again.
timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
exit $status
