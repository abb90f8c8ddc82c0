#!/usr/bin/env bash
# Runs a Wine test program beside the update service's peer, which the program controls
# through files in a fresh control folder (ZX_PEER_CONTROL, a Unix path; Wine sees it on Z:).
#   run-with-update-peer.sh <port> <test program> [arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
port="$1"; shift
control="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/update-peer.XXXXXX")"
python3 "$here/update-peer.py" "$port" "$control" &
peer=$!
trap 'touch "$control/stop"; wait "$peer" 2>/dev/null; rm -rf "$control"' EXIT
ZX_PEER_CONTROL="$control" "$ZX_SOURCE_DIR/tools/wine-exec" "$@"
