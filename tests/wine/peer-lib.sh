# shellcheck shell=bash
# Shared by the peer wrappers: a fresh control folder, a Python peer started in it, and a
# wait until the peer says it is ready. Any failure ends the wrapper with a message, so
# that a test never runs against a peer that is not there.
#   zx_start_peer <label> <ready file> <peer script> <port> [further peer arguments...]
# Sets `control` (the folder) and `peer` (its process); on exit the peer is told to stop,
# waited for, and the folder removed.
zx_start_peer() {
  local label="$1" ready="$2" script="$3" port="$4"
  shift 4
  control="$(mktemp -d "${ZX_BUILD_DIR:-/tmp}/$label.XXXXXX")" ||
    { echo "$label: could not make a control folder" >&2; exit 1; }
  [ -d "$control" ] || { echo "$label: could not make a control folder" >&2; exit 1; }
  python3 "$script" "$port" "$control" "$@" </dev/null >/dev/null &
  peer=$!
  trap 'touch "$control/stop"; wait "$peer" 2>/dev/null; rm -rf "$control"' EXIT
  for _ in $(seq 200); do
    [ -f "$control/$ready" ] && return 0
    kill -0 "$peer" 2>/dev/null || { echo "$label: the peer ended before it was ready" >&2; exit 1; }
    sleep 0.05
  done
  echo "$label: the peer was not ready within 10 s" >&2
  exit 1
}
