#!/bin/sh
# PoolMetrics for PRTG's "SSH Script Advanced" sensor on a Linux host: copy
# it into /var/prtg/scriptsxml (every file there shows in PRTG's list of
# scripts) and give the sensor the parameters "PRD TOTAL-ROWS": the profile
# name and the sensor type, then, if wanted, keywords such as TIMEOUT=30.
# "x 'TOTAL-ROWS ITEM=All:Systems'" runs over the systems of Overseer.Prf,
# "GLOBAL HITRATES" over those of "SAP Overseer.Gbl".
#
# PRTG's Windows directory search does not apply here. The wrapper changes
# into the profile folder and names the profile there ("@"), so that the
# program finds every file of a run beside the profiles (the profile, the
# item profile, the global sensor file and the profiles they list), and a
# profile folder of any length serves. The program, the RFC library and the
# profiles lie elsewhere, readable only by the SSH user. SapRfc.ini and the
# RFC library's trace file land in the profile folder too, so the SSH user
# must be able to write there.
home=${POOLMETRICS_HOME:-/opt/poolmetrics}          # PoolMetrics and the RFC library
profiles=${POOLMETRICS_PROFILES:-/etc/poolmetrics}  # PRD.P00, Overseer.Prf, SAP Overseer.Gbl, ...

# The program's folder as the profile folder sees it.
case $home in
  /*) ;;
  *) home=$(pwd)/$home ;;
esac

if ! cd "$profiles" 2>/dev/null; then
  # PRTG reads one XML document: the folder's name with its control
  # characters shown as "?" and its markup characters escaped.
  shown=$(printf '%s' "$profiles" | tr '\001-\037' '[?*]' | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g')
  printf '<Prtg>\n<Error>1</Error>\n<Text>PoolMetrics: the profile folder %s cannot be entered; set POOLMETRICS_PROFILES to the folder that holds the profiles, readable and writable by the SSH user</Text>\n</Prtg>\n' "$shown"
  exit 2
fi
profile=${1:-}
sensor=${2:-}
[ $# -gt 2 ] && shift 2 || shift $#
exec "$home/PoolMetrics" "$profile" "$sensor @" "" "$@"
