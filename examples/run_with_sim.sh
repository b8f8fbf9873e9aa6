#!/usr/bin/env bash
# Starts vantor-sim on a port in a private port folder, runs a command against it, and stops
# the simulator again.   run_with_sim.sh SIM PORT COMMAND [ARGS...]
set -euo pipefail
sim=$1 port=$2
shift 2
VANTOR_PORT_DIR=$(mktemp -d)
export VANTOR_PORT_DIR
coproc SIM { exec "$sim" --port "$port"; }
cleanup() {
  echo quit >&"${SIM[1]}" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  rm -rf "$VANTOR_PORT_DIR"
}
trap cleanup EXIT
while read -r -t 10 line <&"${SIM[0]}"; do
  [ "$line" = "ready COM$port" ] && break
done
[ -e "$VANTOR_PORT_DIR/COM$port" ] || { echo "vantor-sim did not publish COM$port" >&2; exit 1; }
"$@"
