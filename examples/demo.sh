#!/usr/bin/env bash
# Runs PoolMetrics against the demo's emulated SAP landscape.
#   examples/demo.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build}" && pwd)/bin
work=$(cd "${1:-$here/../build}" && pwd)/demo
rm -rf "$work" && mkdir -p "$work"
cp "$here"/landscape.ini "$here"/*.P00 "$here"/Overseer.Prf "$here/SAP Overseer.Gbl" "$work"/
# The name "Holdrun" selects a PRTG XML front-end mode that takes the profile
# from the current directory (PRTG's own mode searches PRTG's installation).
ln -sf "$bin/PoolMetrics" "$work/PoolMetrics-Holdrun"
cd "$work"

run() {
  echo "\$ $*"
  set +e
  "$@"
  echo "(exit status $?)"
  set -e
  echo
}
run ./PoolMetrics-Holdrun PRD TOTAL-ROWS
if [ "${DEMO_ALL:-}" ]; then
  run ./PoolMetrics-Holdrun QAS TOTAL-HITRATIO
  run ./PoolMetrics-Holdrun DEV TOTAL-ROWS
  run ./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=All:Systems
  run ./PoolMetrics-Holdrun GLOBAL HITRATES
  # The same runs with their systems handled at once: the output is what a
  # run one system after the other prints. The second adds the response
  # times ("Logon time", "Call time") to the channels.
  run ./PoolMetrics-Holdrun x "TOTAL-ROWS,PARALLEL=3 #" ITEM=All:Systems
  run ./PoolMetrics-Holdrun GLOBAL HITRATES PARALLEL=2,TIMES
fi
echo "The demo runs in $work; DEMO_ALL=1 $0 shows more requests."
