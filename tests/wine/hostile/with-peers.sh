#!/usr/bin/env bash
# Runs a Wine test program beside the update service's stand-in and the probe peer, each
# steered through a fresh control folder: ZX_UPDATE_PEER_CONTROL and ZX_PEER_CONTROL
# (Unix paths; Wine sees them on Z:).
#   with-peers.sh <update port> <probe port> <test program> [arguments...]
set -uo pipefail
wine_dir="$(cd "$(dirname "$0")/.." && pwd)"
update_port="$1"; probe_port="$2"; shift 2
update="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/update-peer.XXXXXX")"
probe="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/probe-peer.XXXXXX")"
python3 "$wine_dir/update-peer.py" "$update_port" "$update" </dev/null >/dev/null 2>&1 &
update_peer=$!
python3 "$wine_dir/e2e/probe-peer.py" "$probe_port" "$probe" </dev/null >/dev/null 2>&1 &
probe_peer=$!
trap 'touch "$update/stop" "$probe/stop"; wait "$update_peer" "$probe_peer" 2>/dev/null; rm -rf "$update" "$probe"' EXIT
for _ in $(seq 200); do
  [ -f "$update/port" ] && break
  kill -0 "$update_peer" 2>/dev/null || { echo "with-peers: the update peer did not start" >&2; exit 1; }
  sleep 0.05
done
[ -f "$update/port" ] || { echo "with-peers: the update peer did not start listening" >&2; exit 1; }
ZX_UPDATE_PEER_CONTROL="$update" ZX_PEER_CONTROL="$probe" "$ZX_SOURCE_DIR/tools/wine-exec" "$@"
