#!/usr/bin/env bash
# Runs a Wine test program beside the probe peer, which the program controls through
# files in a fresh control folder (ZX_PEER_CONTROL, a Unix path; Wine sees it on Z:).
#   run-with-peer.sh <port> <test program> [arguments...]
# The test program may also be another wrapper of this kind (a *.sh), which then runs
# beside this peer.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../peer-lib.sh
. "$here/../peer-lib.sh"
if [ $# -lt 2 ]; then
  echo "usage: run-with-peer.sh <port> <test program> [args...]" >&2
  exit 2
fi
port="$1"; shift
zx_start_peer run-with-peer ready "$here/probe-peer.py" "$port"
runner=("$ZX_SOURCE_DIR/tools/wine-exec")
case "$1" in *.sh) runner=() ;; esac
ZX_PEER_CONTROL="$control" "${runner[@]}" "$@"
