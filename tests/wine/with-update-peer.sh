#!/usr/bin/env bash
# Runs a Wine test program beside the update service's stand-in (update-peer.py), which
# the program controls through files in a fresh control folder: ZX_UPDATE_PEER_CONTROL
# (a Unix path; Wine sees it on Z:) and ZX_UPDATE_PEER_PORT are set for it.
#   with-update-peer.sh <port, 0 for any free one> <test program> [arguments...]
# The test program may also be another wrapper of this kind (a *.sh, e.g.
# e2e/run-with-peer.sh <port> <program>), which then runs beside this peer.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=peer-lib.sh
. "$here/peer-lib.sh"
if [ $# -lt 2 ]; then
  echo "usage: with-update-peer.sh <port> <test program> [args...]" >&2
  exit 2
fi
port="$1"; shift
zx_start_peer with-update-peer port "$here/update-peer.py" "$port"
runner=("$ZX_SOURCE_DIR/tools/wine-exec")
case "$1" in *.sh) runner=() ;; esac
ZX_UPDATE_PEER_CONTROL="$control" ZX_UPDATE_PEER_PORT="$(cat "$control/port")" "${runner[@]}" "$@"
