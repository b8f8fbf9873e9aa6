#!/usr/bin/env bash
# The main job: builds the suite (installing what is missing), starts the adapter simulator on a
# pseudo-terminal, writes a text into its EEPROM through libvtlink with the C example, reads it
# back, and shows the diagnostic log the library wrote.
#   scripts/run.sh [TEXT]
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build scripts/setup.sh
text=${1:-"Hello, bus"}
port=3
log=$(mktemp --suffix=.log)
trap 'rm -f "$log"' EXIT

echo "== vantor-sim --model vantor --port $port, C example writing \"$text\" to the EEPROM at A0"
examples/run_with_sim.sh build/bin/vantor-sim "$port" \
  build/bin/eeprom "$port" "$text" "$log"
echo
echo "== vtlink diagnostic log ($log)"
tr -d '\r' <"$log"
