#!/usr/bin/env bash
# Runs one fuzz target for a bounded time.
#   run.sh SECONDS TARGET SEED_CORPUS WORK_CORPUS
# New inputs go to WORK_CORPUS; a crash is written there as crash-* and makes
# the run fail. Copy a crash into SEED_CORPUS once it is fixed: it then
# guards against the fault on every test run.
set -euo pipefail
seconds=$1 target=$2 seeds=$3 work=$4
mkdir -p "$work" "$seeds"
# Absolute paths: some targets change their working directory.
seeds=$(cd "$seeds" && pwd) work=$(cd "$work" && pwd)
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=20000 \
  -artifact_prefix="$work/" -print_final_stats=1 "$work" "$seeds" 2>&1 | tail -n 20
