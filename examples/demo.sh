#!/usr/bin/env bash
# Runs PoolMetrics against the demo's emulated SAP landscape.
#   examples/demo.sh [BUILD_DIR]
#   DEMO_LIBRARY=nwrfc examples/demo.sh   the same through the NetWeaver RFC library
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build}" && pwd)/bin
work=$(cd "${1:-$here/../build}" && pwd)/demo
rm -rf "$work" && mkdir -p "$work"
cp "$here"/landscape.ini "$here"/*.P00 "$here"/Overseer.Prf "$here/SAP Overseer.Gbl" "$work"/
# The name "Holdrun" selects a PRTG XML front-end mode that takes the profile
# from the current directory (PRTG's own mode searches PRTG's installation).
if [ "${DEMO_LIBRARY:-classic}" = nwrfc ]; then
  # The program loads its library from its own directory, where the classic
  # one would win: a copy of it beside the NetWeaver library alone.
  cp "$bin/PoolMetrics" "$work/PoolMetrics-Holdrun"
  cp "$bin/libsapnwrfc.so" "$work/"
  echo "(through the NetWeaver RFC library: $work/libsapnwrfc.so)"
  echo
else
  ln -sf "$bin/PoolMetrics" "$work/PoolMetrics-Holdrun"
fi
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
  # User and password from the environment, as PRTG hands them to a sensor
  # from the device's "Credentials for Windows Systems": PRDPRTG.P00 holds
  # neither.
  echo '$ prtg_windowsuser=monitor prtg_windowspassword=... ./PoolMetrics-Holdrun PRDPRTG TOTAL-ROWS,CREDENTIALS=WINDOWS'
  set +e
  prtg_windowsuser=monitor prtg_windowspassword='Prd#Monitor2026' ./PoolMetrics-Holdrun PRDPRTG TOTAL-ROWS,CREDENTIALS=WINDOWS
  echo "(exit status $?)"
  set -e
  echo
fi
echo "The demo runs in $work; DEMO_ALL=1 $0 shows more requests."
