#!/usr/bin/env bash
# Runs a Wine test program beside the update service's stand-in speaking TLS
# (update-peer.py <port> <control> tls: TLS on <port>, plain http on <port> + 1, both for
# "localhost"), with the peer's throw-away root in the session prefix's machine root store
# for the run. ZX_UPDATE_PEER_CONTROL (a Unix path; Wine sees it on Z:) and
# ZX_UPDATE_PEER_PORT are set for the program, as with-update-peer.sh sets them.
#   with-tls-peer.sh <port> <root helper, zx_test_root.exe> <test program> [arguments...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../peer-lib.sh
. "$here/../peer-lib.sh"
if [ $# -lt 3 ]; then
  echo "usage: with-tls-peer.sh <port> <root helper> <test program> [args...]" >&2
  exit 2
fi
port="$1" helper="$2"
shift 2
zx_start_peer with-tls-peer port "$here/../update-peer.py" "$port" tls
run="$ZX_SOURCE_DIR/tools/wine-exec"
root="Z:$control/certs/root.der"
ZX_WINE_TIMEOUT=60 "$run" "$helper" add "$root" || { echo "with-tls-peer: the test root was not added" >&2; exit 1; }
ZX_UPDATE_PEER_CONTROL="$control" ZX_UPDATE_PEER_PORT="$(cat "$control/port")" "$run" "$@"
result=$?
# The prefix is thrown away after the session; taking the root out keeps later tests of
# the same session from trusting it.
ZX_WINE_TIMEOUT=60 "$run" "$helper" remove "$root" || result=1
exit "$result"
