#!/usr/bin/env bash
# Runs a Wine test program beside the update service's stand-in and the probe peer, each
# steered through a fresh control folder: ZX_UPDATE_PEER_CONTROL and ZX_PEER_CONTROL
# (Unix paths; Wine sees them on Z:). The two single-peer wrappers, one inside the other.
#   with-peers.sh <update port> <probe port> <test program> [arguments...]
set -uo pipefail
wine_dir="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -lt 3 ]; then
  echo "usage: with-peers.sh <update port> <probe port> <test program> [args...]" >&2
  exit 2
fi
update_port="$1"; probe_port="$2"; shift 2
exec "$wine_dir/with-update-peer.sh" "$update_port" "$wine_dir/e2e/run-with-peer.sh" "$probe_port" "$@"
