#!/usr/bin/env bash
# Runs a Wine test program beside the update service's stand-in (update-peer.py), which
# the program controls through files in a fresh control folder: ZX_UPDATE_PEER_CONTROL
# (a Unix path; Wine sees it on Z:) and ZX_UPDATE_PEER_PORT are set for it.
#   with-update-peer.sh <port, 0 for any free one> <test program> [arguments...]
# The test program may also be another wrapper of this kind (a *.sh, e.g.
# e2e/run-with-peer.sh <port> <program>), which then runs beside this peer.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
port="$1"; shift
control="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/update-peer.XXXXXX")"
python3 "$here/update-peer.py" "$port" "$control" </dev/null >/dev/null 2>&1 &
peer=$!
trap 'touch "$control/stop"; wait "$peer" 2>/dev/null; rm -rf "$control"' EXIT
for _ in $(seq 200); do
  [ -f "$control/port" ] && break
  kill -0 "$peer" 2>/dev/null || { echo "with-update-peer: the peer did not start" >&2; exit 1; }
  sleep 0.05
done
[ -f "$control/port" ] || { echo "with-update-peer: the peer did not start listening" >&2; exit 1; }
runner=("$ZX_SOURCE_DIR/tools/wine-exec")
case "$1" in *.sh) runner=() ;; esac
ZX_UPDATE_PEER_CONTROL="$control" ZX_UPDATE_PEER_PORT="$(cat "$control/port")" "${runner[@]}" "$@"
