#!/usr/bin/env bash
# Runs a Wine test program beside the update service's peer, which the program controls
# through files in a fresh control folder (ZX_PEER_CONTROL, a Unix path; Wine sees it on Z:).
#   run-with-update-peer.sh <port> <test program> [arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../peer-lib.sh
. "$here/../peer-lib.sh"
if [ $# -lt 2 ]; then
  echo "usage: run-with-update-peer.sh <port> <test program> [args...]" >&2
  exit 2
fi
port="$1"; shift
zx_start_peer run-with-update-peer listening "$here/update-peer.py" "$port"
ZX_PEER_CONTROL="$control" "$ZX_SOURCE_DIR/tools/wine-exec" "$@"
