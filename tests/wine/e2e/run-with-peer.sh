#!/usr/bin/env bash
# Runs a Wine test program beside the probe peer, which the program controls through
# files in a fresh control folder (ZX_PEER_CONTROL, a Unix path; Wine sees it on Z:).
#   run-with-peer.sh <port> <test program> [arguments...]
# The test program may also be another wrapper of this kind (a *.sh), which then runs
# beside this peer.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ $# -lt 2 ]; then
  echo "usage: run-with-peer.sh <port> <test program> [args...]" >&2
  exit 2
fi
port="$1"; shift
control="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/probe-peer.XXXXXX")"
python3 "$here/probe-peer.py" "$port" "$control" &
peer=$!
trap 'touch "$control/stop"; wait "$peer" 2>/dev/null; rm -rf "$control"' EXIT
runner=("$ZX_SOURCE_DIR/tools/wine-exec")
case "$1" in *.sh) runner=() ;; esac
ZX_PEER_CONTROL="$control" "${runner[@]}" "$@"
