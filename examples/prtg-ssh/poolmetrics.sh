#!/bin/sh
# PoolMetrics for PRTG's "SSH Script Advanced" sensor on a Linux host: copy
# it into /var/prtg/scriptsxml (every file there shows in PRTG's list of
# scripts) and give the sensor the parameters "PRD TOTAL-ROWS": the profile
# name and the sensor type, then, if wanted, keywords such as TIMEOUT=30.
#
# PRTG's Windows directory search does not apply here: the profile is taken
# from the profile directory by its path ("@"). The program, the RFC library
# and the profiles lie elsewhere, readable only by the SSH user; SapRfc.ini
# and the library's trace file land in the working directory.
home=${POOLMETRICS_HOME:-/opt/poolmetrics}          # PoolMetrics and the RFC library
profiles=${POOLMETRICS_PROFILES:-/etc/poolmetrics}  # PRD.P00, ...
work=${POOLMETRICS_WORK:-/var/lib/poolmetrics}      # the working directory

if ! cd "$work" 2>/dev/null; then
  printf '<Prtg>\n<Error>1</Error>\n<Text>PoolMetrics: no working directory %s</Text>\n</Prtg>\n' "$work"
  exit 2
fi
profile=${1:-}
sensor=${2:-}
[ $# -gt 2 ] && shift 2 || shift $#
exec "$home/PoolMetrics" "$profiles/$profile" "$sensor @" "" "$@"
