#!/usr/bin/env bash
# Whole-process timings of PoolMetrics against the emulated landscape (no
# delay), beside a minimal program that only prints one line.
#   bench/run.sh [BUILD_DIR]      (after ./build.sh build)
# Prints (a) native single run vs minimal static C program, (b) the Windows
# build under Wine vs a minimal Windows program, (c) global runs over 1, 100
# and 1000 systems with the time per system, (d) peak resident memory, (e)
# the deadline: when the document of a run against a hung system arrives,
# (f) a global run over 200 systems that each take 100 ms to log on, one
# after the other and 20 at once, (g) peak memory of a parallel run's parent
# and of one of its children, (h) a native single run through the NetWeaver
# RFC library vs the classic one, (i) the 64-bit Windows program (NetWeaver
# library) under Wine vs a minimal 64-bit Windows program, (j) what the
# NetWeaver library's journal shows per system of a global run, (k) a run
# served by a kept answer (CACHE=) vs the minimal program that loads the RFC
# library, (l) the ratios of (a) and (k) with the programs run in turn.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
for tool in hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool: apt-get install hyperfine time" >&2; exit 1; }
done
work=$build/bench
rm -rf "$work" && mkdir -p "$work"
cd "$work"

gcc -O2 -static -o minimal "$here/minimal.c"
# The same, linked against the shared C library as a program that loads a
# library at run time must be.
gcc -O2 -o minimal-shared "$here/minimal.c"
# The same, loading the RFC library at run time and looking up its operations.
gcc -O2 -o minimal-loader "$here/minimal_loader.c" -ldl
gcc -O2 -o interleaved "$here/interleaved.c"
x86_64-w64-mingw32-gcc -O2 -static -o minimal-loader64.exe "$here/minimal_loader.c"
i686-w64-mingw32-gcc -O2 -static -o minimal.exe "$here/minimal.c"
x86_64-w64-mingw32-gcc -O2 -static -o minimal64.exe "$here/minimal.c"
password=$(echo secret1 | "$build/bin/PoolMetricsProfile" encode)

# A landscape of N systems S0001.. and a listing of all of them; a third
# argument is a setting every system gets (a delay, say).
make_landscape() {
  local n=$1 dir=$2 setting=${3:-}
  mkdir -p "$dir"
  : > "$dir/landscape.ini"
  local listing=""
  for i in $(seq -f '%04g' 1 "$n"); do
    printf '[system S%s]\nashost = host%s\nsysnr = 00\nclient = 100\nuser = MONITOR\npassword = secret1\n%s\n' \
      "$i" "$i" "$setting" >> "$dir/landscape.ini"
    printf 'Extcompany.: Bench\nDestination: S%s\nClient.....: 100\nUser.......: monitor\nPassword...: %s\nLanguage...: E\nMode.......: R/3\nHostname...: host%s\nSysnr......: 00\nGwhost.....: host%s\nGwservice..: sapgw00\n' \
      "$i" "$password" "$i" "$i" > "$dir/S$i.P00"
    listing+="S$i.P00#"
  done
  # The listing is cut into lines of 150 names' worth of text.
  printf '%s' "$listing" | fold -w 150 | sed 's/^/# Gsng: BENCH       /' > "$dir/Overseer.Prf"
  ln -sf "$build/bin/PoolMetrics" "$dir/PoolMetrics-Holdrun"
}

make_landscape 1 single
make_landscape 100 g100
make_landscape 1000 g1000
make_landscape 1 hung 'delay_ms = 3600000'
make_landscape 200 slow200 'logon_delay_ms = 100'
# The same listing of 1000 profiles, all of them logging on to one emulated
# system: what grows is the program's own memory, not the landscape's.
mkdir -p p1000 && cp g1000/*.P00 g1000/Overseer.Prf p1000/ && head -n 6 g1000/landscape.ini > p1000/landscape.ini
sed -i 's/^Hostname...: .*/Hostname...: host0001/' p1000/*.P00
ln -sf "$build/bin/PoolMetrics" p1000/PoolMetrics-Holdrun
# The program beside the NetWeaver library alone (the build's bin holds
# both, and the classic one wins), run in the same working directories.
mkdir -p nw
cp "$build/bin/PoolMetrics" nw/PoolMetrics-Holdrun
cp "$build/bin/libsapnwrfc.so" nw/
# Single sensor run under Wine: drive D: is the working directory.
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wineserver -p || true
cp "$build/windows/bin/PoolMetrics.exe" single/PoolMetrics-Holdrun.exe
cp "$build/windows/bin/librfc32.dll" single/
cp minimal.exe single/
for dir in hung slow200; do
  cp "$build/windows/bin/PoolMetrics.exe" $dir/PoolMetrics-Holdrun.exe
  cp "$build/windows/bin/librfc32.dll" $dir/
done
# A kernel built without 32-bit support runs no 32-bit Windows program: the
# parts that need one say so and leave it out.
wine32=yes
(cd single && wine minimal.exe >/dev/null 2>&1) || { wine32=; echo "(no 32-bit Wine on this machine: its parts are left out)"; }
wine_hung=() wine_parallel=()
if [ -n "$wine32" ]; then
  wine_hung=('wine PoolMetrics-Holdrun.exe S0001 TOTAL-ROWS,TIMEOUT=2')
  wine_parallel=('wine PoolMetrics-Holdrun.exe x TOTAL-ROWS,PARALLEL=20 ITEM=Bench')
fi

echo "== (a) native: one sensor run vs a minimal static C program"
(cd single && hyperfine -N --warmup 20 --runs 300 --export-json ../a.json \
  './PoolMetrics-Holdrun S0001 TOTAL-ROWS' '../minimal' '../minimal-shared' "../minimal-loader $build/bin/librfccm.so")
echo "== (b) Windows build under Wine vs a minimal Windows program"
[ -n "$wine32" ] && (cd single && hyperfine -N --warmup 5 --runs 60 --export-json ../b.json \
  'wine PoolMetrics-Holdrun.exe S0001 TOTAL-ROWS' 'wine minimal.exe')
echo "== (c) global runs over 1, 100 and 1000 systems"
for n in 1 100 1000; do
  dir=$([ "$n" = 1 ] && echo single || echo "g$n")
  [ "$n" = 1 ] && printf '# Gsng: BENCH       S0001.P00#\n' > single/Overseer.Prf
  (cd "$dir" && hyperfine -N --warmup 2 --runs $([ "$n" = 1000 ] && echo 5 || echo 20) --export-json "../c$n.json" \
    "./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench")
done
python3 - <<'PY'
import json
def mean(f, i=0): return json.load(open(f))["results"][i]
a, m = mean("a.json"), mean("a.json", 1)
d, l = mean("a.json", 2), mean("a.json", 3)
print("(a) native: %.3f ms per run, minimal %.3f ms, ratio %.2f (shared-libc minimal %.3f ms, ratio %.2f)" % (
    a["mean"]*1e3, m["mean"]*1e3, a["mean"]/m["mean"], d["mean"]*1e3, a["mean"]/d["mean"]))
print("(a) native: against a minimal program that loads the RFC library and looks up its operations: "
      "%.3f ms, ratio %.2f" % (l["mean"]*1e3, a["mean"]/l["mean"]))
import os
if os.path.exists("b.json"):
    b, w = mean("b.json"), mean("b.json", 1)
    print("(b) Wine:   %.1f ms per run, minimal %.1f ms, ratio %.2f" % (b["mean"]*1e3, w["mean"]*1e3, b["mean"]/w["mean"]))
for n in (1, 100, 1000):
    r = mean("c%d.json" % n)
    cpu = r["user"] + r["system"]
    print("(c) %4d systems: %.2f ms wall, %.3f ms wall and %.3f ms CPU per system" % (n, r["mean"]*1e3, r["mean"]*1e3/n, cpu*1e3/n))
PY
echo "== (d) peak resident memory"
peak() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; }
(cd single && echo "single run:  $(peak ./PoolMetrics-Holdrun S0001 TOTAL-ROWS) KB  (minimal program: $(peak ../minimal) KB)")
(cd g100 && echo "100 systems: $(peak ./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench) KB")
(cd g1000 && echo "1000 systems: $(peak ./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench) KB")
(cd single && echo "1 profile of one system: $(peak ./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench) KB")
(cd p1000 && echo "1000 profiles of one system: $(peak ./PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench) KB")

echo "== (e) the deadline: a call that hangs for an hour, TIMEOUT=2"
(cd hung && hyperfine -N -i --runs 5 --export-json ../e.json \
  './PoolMetrics-Holdrun S0001 TOTAL-ROWS,TIMEOUT=2' "${wine_hung[@]}")
echo "== (f) 200 systems, 100 ms logon each: one after the other, and 20 at once"
(cd slow200 && hyperfine -N --runs 1 --export-json ../f1.json './PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench')
(cd slow200 && hyperfine -N --warmup 1 --runs 5 --export-json ../f20.json \
  './PoolMetrics-Holdrun x TOTAL-ROWS,PARALLEL=20 ITEM=Bench' \
  "${wine_parallel[@]}")
python3 - <<'PY'
import json
def result(f, i=0): return json.load(open(f))["results"][i]
e = json.load(open("e.json"))["results"]
print("(e) document after %.2f s natively" % e[0]["mean"] +
      (", %.2f s under Wine" % e[1]["mean"] if len(e) > 1 else "") + " (deadline 2 s)")
seq, f20 = result("f1.json"), json.load(open("f20.json"))["results"]
print("(f) sequential %.1f s; PARALLEL=20: %.2f s natively (%.2fx the ideal 1 s)" % (
    seq["mean"], f20[0]["mean"], f20[0]["mean"]) +
      (", %.2f s under Wine (%.2fx)" % (f20[1]["mean"], f20[1]["mean"]) if len(f20) > 1 else ""))
PY
echo "== (g) peak resident memory of a parallel run's parent (sampled) and of one child"
# The parent alone: its own high-water mark, read until it exits (the time
# command would report the largest of its children too).
(cd slow200 && python3 - <<'PY'
import subprocess, time
proc = subprocess.Popen(["./PoolMetrics-Holdrun", "x", "TOTAL-ROWS,PARALLEL=20", "ITEM=Bench"], stdout=subprocess.DEVNULL)
peak = 0
while proc.poll() is None:
    try:
        for line in open("/proc/%d/status" % proc.pid):
            if line.startswith("VmHWM:"):
                peak = max(peak, int(line.split()[1]))
    except (FileNotFoundError, ProcessLookupError):
        pass
    time.sleep(0.002)
print("parent of PARALLEL=20 over 200 systems: %d KB" % peak)
PY
)
# A child as the run starts it, given one system on its standard input.
# Its task, as a parent writes it (global/child_task.cpp): fields of a
# length, a colon and the bytes: mode, label kind, the sensor types as bits
# (TOTAL-ROWS), ",HOST=", ",NO=", "CH=", TIMES, CACHE=, CREDENTIALS=,
# progress, time left, profile directory.
task='7:Holdrun1:113:01000000000001:-1:-1:-1:01:-1:-1:01:-0:'
(cd slow200 && echo "one child: $(echo S0001.P00 | peak ./PoolMetrics-Holdrun ::listed-systems "$task") KB")
wineserver -k || true

echo "== (h) native: one sensor run through the NetWeaver library vs the classic one"
(cd single && hyperfine -N --warmup 20 --runs 300 --export-json ../h.json \
  './PoolMetrics-Holdrun S0001 TOTAL-ROWS' '../nw/PoolMetrics-Holdrun S0001 TOTAL-ROWS')
echo "== (i) the 64-bit Windows program under Wine vs a minimal 64-bit Windows program"
mkdir -p single64 && cp single/landscape.ini single/S0001.P00 single64/
cp "$build/windows64/bin/PoolMetrics.exe" single64/PoolMetrics-Holdrun.exe
cp "$build/windows64/bin/sapnwrfc.dll" minimal64.exe single64/
# The 64-bit programs run through wine64 itself: the wine launcher needs
# the 32-bit Wine for its own start on some machines. Wine now and then
# fails to start a program on a loaded machine; such a measurement is taken
# once more.
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
again() { "$@" || "$@"; }
(
  export WINEPREFIX=$work/wineprefix64 WINEARCH=win64
  "$wine64" wineboot -i >/dev/null 2>&1 || true
  wineserver -p || true
  cd single64 && again hyperfine -N --warmup 5 --runs 60 --export-json ../i.json \
    "$wine64 PoolMetrics-Holdrun.exe S0001 TOTAL-ROWS" "$wine64 minimal64.exe"
  wineserver -k || true
)
python3 - <<'PY'
import json
def mean(f, i=0): return json.load(open(f))["results"][i]
c, n = mean("h.json"), mean("h.json", 1)
print("(h) native: NetWeaver %.3f ms per run, classic %.3f ms, ratio %.2f" % (n["mean"]*1e3, c["mean"]*1e3, n["mean"]/c["mean"]))
p, m = mean("i.json"), mean("i.json", 1)
print("(i) Wine 64-bit: %.1f ms per run, minimal %.1f ms, ratio %.2f" % (p["mean"]*1e3, m["mean"]*1e3, p["mean"]/m["mean"]))
PY
echo "== (k) native: a run served by a kept answer (CACHE=) vs the minimal program that loads the RFC library"
(cd single && rm -rf "$build/bin/PoolMetrics.cache" && ./PoolMetrics-Holdrun S0001 TOTAL-ROWS,CACHE=3600 >/dev/null &&
  hyperfine -N --warmup 20 --runs 500 --export-json ../k.json \
    './PoolMetrics-Holdrun S0001 TOTAL-ROWS,CACHE=3600' "../minimal-loader $build/bin/librfccm.so" &&
  valgrind --tool=callgrind --callgrind-out-file=/dev/null ./PoolMetrics-Holdrun S0001 TOTAL-ROWS,CACHE=3600 2>&1 >/dev/null |
    sed -n 's/.*Collected : /kept answer, instructions: /p')
echo "== (k) the same under Wine (64-bit program, NetWeaver library) vs the minimal loading program"
mkdir -p kept64 && cp single/landscape.ini single/S0001.P00 kept64/
cp "$build/windows64/bin/PoolMetrics.exe" kept64/PoolMetrics-Holdrun.exe
cp "$build/windows64/bin/sapnwrfc.dll" minimal-loader64.exe kept64/
(
  export WINEPREFIX=$work/wineprefix64 WINEARCH=win64
  "$wine64" wineboot -i >/dev/null 2>&1 || true
  wineserver -p || true
  cd kept64 && "$wine64" PoolMetrics-Holdrun.exe S0001 TOTAL-ROWS,CACHE=3600 >/dev/null &&
    again hyperfine -N --warmup 5 --runs 100 --export-json ../k64.json \
      "$wine64 PoolMetrics-Holdrun.exe S0001 TOTAL-ROWS,CACHE=3600" "$wine64 minimal-loader64.exe sapnwrfc.dll"
  wineserver -k || true
)
python3 - <<'PY'
import json
for name, where in (("k.json", "natively"), ("k64.json", "under Wine")):
    r = json.load(open(name))["results"]
    print("(k) %s: kept answer %.3f ms per run (median %.3f), minimal loading program %.3f ms (median %.3f), ratio %.2f"
          % (where, r[0]["mean"]*1e3, r[0]["median"]*1e3, r[1]["mean"]*1e3, r[1]["median"]*1e3,
             r[0]["median"]/r[1]["median"]))
PY
echo "== (j) the NetWeaver library's journal of a global run over 100 systems"
(cd g100 && printf '[landscape]\njournal = journal.txt\n\n' | cat - landscape.ini > journal-landscape.ini &&
  POOLMETRICS_LANDSCAPE=journal-landscape.ini ../nw/PoolMetrics-Holdrun x TOTAL-ROWS ITEM=Bench >/dev/null &&
  echo "logons: $(grep -c '^RfcOpenConnection result handle=[0-9]' journal.txt)," \
       "look-ups from the system: $(grep -c '^RfcGetFunctionDesc .*source=system' journal.txt)," \
       "from the cache: $(grep -c '^RfcGetFunctionDesc .*source=cache' journal.txt)," \
       "calls: $(grep -c '^RfcInvoke handle=' journal.txt)," \
       "connections closed: $(grep -c '^RfcCloseConnection handle=[0-9]' journal.txt)")
echo "== (l) (a) and (k) natively, the programs run in turn (the ratios to the minimal loading program)"
(cd single && ../interleaved 1000 "../minimal-loader $build/bin/librfccm.so" \
  './PoolMetrics-Holdrun S0001 TOTAL-ROWS' './PoolMetrics-Holdrun S0001 TOTAL-ROWS,CACHE=3600')
