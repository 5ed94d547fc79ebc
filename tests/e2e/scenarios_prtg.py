"""What PRTG receives in its own mode (EXEXML): standard output is one
document PRTG takes, everything else the other modes print goes to standard
error; the check of that contract itself; channel names once per document;
RFC errors as error document 1036 in single, global and parallel runs; a
standard error that nobody reads; the wrapper for PRTG's SSH sensor."""

import fcntl
import os
import shutil
import subprocess
import threading

import prtg_contract
from e2e import normalise, run_program
from scenarios_deadlines import files, identical
from scenarios_rfc import rfc_error_block
from scenarios_global import DONE, HEADER, OPEN_XML, item_profile
from scenarios_sensors import SENSOR, STARTUP, system, xml_channel

SCENARIOS = []

HERE = os.path.dirname(os.path.abspath(__file__))
GOOD = b"\n<Prtg>\n<Result><Channel>a</Channel><Value>1</Value></Result>\n</Prtg>\n"


# --- the check itself: it catches what PRTG refuses ------------------------------------
def check_catches(platform, scenario_dir, program):
    cases = [
        ("a stray line before the document", b"* 10:15:30 SAP PoolMetrics Vers 4.3 / 29.08.22\n" + GOOD,
         "text outside the document"),
        ("junk after the document element", GOOD + b"* hh:mm:ss SAP PoolMetrics now processed...\n",
         "text outside the document"),
        ("a channel name twice", GOOD.replace(b"</Prtg>", b"<Result><Channel>a</Channel><Value>2</Value></Result>\n"
                                              b"</Prtg>"), "channel names twice"),
        ("a decimal value without <Float>", GOOD.replace(b"<Value>1<", b"<Value>1.5<"), "without <Float>1</Float>"),
        ("a text over 2,000 characters", b"<Prtg><Error>1</Error><Text>" + b"x" * 2001 + b"</Text></Prtg>",
         "a <Text> of 2001 characters"),
        ("not well-formed", b"<Prtg><Text>R&D</Text></Prtg>", "not well-formed"),
    ]
    problems = []
    if prtg_contract.check(GOOD):
        problems.append("a good document fails the check: %s" % prtg_contract.check(GOOD))
    for label, output, expected in cases:
        found = prtg_contract.check(output)
        if not any(expected in p for p in found):
            problems.append("%s: not caught (%s)" % (label, found))
    # And on real output: mode Holdrun prints its progress lines on standard
    # output, as it always has, which PRTG would refuse; mode EXEXML does not.
    for name, args, refused in [("PoolMetrics-Holdrun", ["PRD", "PXA-INFO #"], True),
                                ("PoolMetrics", ["PRD", "PXA-INFO @"], False)]:
        copy = os.path.join(os.path.dirname(program), name + platform.exe)
        if copy != program:
            shutil.copy(program, copy)
        out, _ = run_program(platform, scenario_dir, copy, args).communicate(timeout=30)
        found = prtg_contract.check(normalise(out))
        if bool(found) != refused:
            problems.append("%s %s: the check says %s" % (name, " ".join(args), found or "nothing"))
    return problems


SCENARIOS.append(dict(name="PRTG check: catches a stray line, junk, repeated names, a bare decimal, a long text",
                      library=True, files=files(), custom=check_catches, platforms=("native", "wine", "wine64")))


# --- channel names once per document ------------------------------------------------------
# Three sensor types name their channels alike; TOTAL-DURATIONS comes first
# in the table of sensor types.
TWO = {"TOTAL-DURATIONS": ("TOTAL_DURATIONS", [11, 22, 33, 44, 55]), "TOTAL-ROWS": ("TOTAL_ROWS", [1, 2, 3, 4, 5])}
FIELDS = ["UPDATE", "DELETE", "INSERT", "DIRECT", "SEQUENTIAL"]
TWO_LANDSCAPE = system("PRD", "prdhost", lines=STARTUP + [
    "value %s.%s = %d" % (structure, field, value)
    for structure, values in TWO.values() for field, value in zip(FIELDS, values)])


def two_channels(rename):
    """The last system's channels, a repeated name with its keyword in front
    where `rename`."""
    seen, out = set(), ""
    for keyword in ("TOTAL-DURATIONS", "TOTAL-ROWS"):
        for (label, unit, _, _), value in zip(SENSOR[keyword][1], TWO[keyword][1]):
            out += xml_channel(keyword + ": " + label if rename and label in seen else label, str(value), unit)
            seen.add(label)
    return out


TWO_TYPES = {"landscape.ini": TWO_LANDSCAPE, "Overseer.Prf": item_profile("PRD.P00#"),
             "PRD.P00": files()["PRD.P00"]}
for library, program_name, marks, rename in [
        ("classic", "PoolMetrics", "@", True), ("classic", "Holdrun", "", False),
        ("NetWeaver", "PoolMetrics", "@", True), ("NetWeaver", "Holdrun", "", False)]:
    SCENARIOS.append(dict(
        name="channel names: %s global run over TOTAL-ROWS TOTAL-DURATIONS through the %s library%s" % (
            program_name, library, ": a repeated name gets its keyword" if rename else ": as always, names repeat"),
        program=program_name, library=library == "classic", nwrfc=library == "NetWeaver", files=TWO_TYPES,
        args=["x", "TOTAL-ROWS TOTAL-DURATIONS %s" % marks, "ITEM=Two"], status=0,
        stdout=OPEN_XML + two_channels(rename)
        + "\n<Text>(***) Two: NoSystems=1, Processed=1, Failed=0</Text>\n\n</Prtg>\n\n",
        **({"stderr": HEADER + "* hh:mm:ss TOTAL-ROWS TOTAL-DURATIONS State=Executing\n"
            + ("* RFC-Library......: {nwlib}, NetWeaver RFC 7500.0.0 (emulated SAP landscape)\n"
               if library == "NetWeaver" else "")
            + "\n* hh:mm:ss PRD.P00, prdhost, PRD, 00, 100 State=Processed\n" + DONE} if marks else {}),
        platforms=("native", "wine", "wine64") if library == "NetWeaver" else ("native", "wine")))


# --- an RFC error in global runs: 1036, sequential and parallel alike --------------------
def error_1036(out):
    want = prtg_contract.rfc_error_document(rfc_error_block(
        "RfcReceive", "RFC_ERROR_SYSTEM_FAILURE", "connection closed by the emulated system ERR"))
    return None if out.startswith(want) and out.endswith(rfc_error_block(
        "RfcReceive", "RFC_ERROR_SYSTEM_FAILURE", "connection closed by the emulated system ERR")) else (
        "not the error document 1036 and the block after the lines:\n" + out)


SCENARIOS.append(dict(
    name="PRTG: an RFC error in a global run with progress is error document 1036, in parallel as in sequence",
    program="PoolMetrics", library=True, files=files(),
    custom=identical("PXA-INFO @", listing="PRD.P00#EXC.P00#ERR.P00#QAS.P00#", status=1, widths=(3,),
                     check=error_1036),
    timeout=30))


# --- standard error never delays the document ------------------------------------------
def unread_standard_error(platform, scenario_dir, program):
    """200 systems through destination files, with progress: some 40 KB of
    lines for standard error, a pipe of one page that nobody reads."""
    read_end, write_end = os.pipe()
    try:
        fcntl.fcntl(write_end, 1031, 4096)  # F_SETPIPE_SZ: the smallest pipe
    except OSError:
        pass
    command = platform.command(program, ["x", "PXA-INFO @ TIMEOUT=50", "ITEM=Many"])
    proc = subprocess.Popen(command, cwd=scenario_dir, env=platform.env, stdout=subprocess.PIPE,
                            stderr=write_end)
    os.close(write_end)
    timer = threading.Timer(40, proc.kill)
    timer.start()
    try:
        out = proc.stdout.read()
        status = proc.wait()
    finally:
        timer.cancel()
        os.close(read_end)
    problems = []
    if status != 0:
        problems.append("exit status %d (killed after 40 s: %d)" % (status, -9))
    text = normalise(out).decode("latin-1")
    if not text.endswith("<Text>(***) Many: NoSystems=200, Processed=200, Failed=0</Text>\n\n</Prtg>\n\n"):
        problems.append("not the whole document:\n" + text[-500:])
    problems += prtg_contract.check(normalise(out))
    return problems


def many_files():
    given = files()
    names = ["S%03d.P00" % n for n in range(200)]
    for name in names:
        given[name] = given["PRD.P00"]
    given["SapRfc.PRD"] = "DEST=PRD\r\nTYPE=A\r\nASHOST=prdhost\r\nSYSNR=00\r\n"
    given["Overseer.Prf"] = item_profile("".join(n + "#" for n in names))
    return given


SCENARIOS.append(dict(name="PRTG: a standard error that nobody reads never holds up the document",
                      program="PoolMetrics", library=True, files=many_files(), custom=unread_standard_error,
                      platforms=("native", "wine", "wine64"), timeout=60))


# --- PRTG on Linux: the wrapper of the SSH Script Advanced sensor -------------------------
EXAMPLES = os.path.join(HERE, "..", "..", "examples")
# A profile folder of over 200 characters: longer than the program's field of
# 96 for a profile's directory, which the wrapper must never need.
LONG_FOLDER = ["monitoring-profiles-of-the-sap-landscape-%d" % n for n in range(5)]


def ssh_wrapper(runs, given=""):
    """A custom scenario: the wrapper as the README installs it, in a folder
    of its own; the program and its library in one folder, the examples'
    profiles, item profile and global sensor file in a profile folder whose
    path is over 200 characters long, the emulated landscape elsewhere again.
    Each run (arguments, exit status, what its document must hold, where
    "{profiles}" stands for the profile folder) starts where PRTG's SSH
    session starts, and leaves nothing there. `given`: a name that the
    wrapper is given below the profile folder as its profile folder."""
    def run(platform, scenario_dir, program):
        home = os.path.join(scenario_dir, "opt")
        profiles = os.path.join(scenario_dir, *LONG_FOLDER)
        scripts = os.path.join(scenario_dir, "scriptsxml")
        session = os.path.join(scenario_dir, "home")
        for d in (home, profiles, scripts, session):
            os.makedirs(d)
        shutil.copy(program, os.path.join(home, "PoolMetrics"))
        shutil.copy(os.path.join(os.path.dirname(program), platform.library), home)
        for name in os.listdir(EXAMPLES):
            if name.endswith((".P00", ".Prf", ".Gbl")):
                shutil.copy(os.path.join(EXAMPLES, name), profiles)
        landscape = os.path.join(home, "landscape.ini")
        shutil.copy(os.path.join(EXAMPLES, "landscape.ini"), landscape)
        wrapper = os.path.join(scripts, "poolmetrics.sh")
        shutil.copy(os.path.join(EXAMPLES, "prtg-ssh", "poolmetrics.sh"), wrapper)
        env = dict(platform.env, POOLMETRICS_HOME=home, POOLMETRICS_PROFILES=os.path.join(profiles, given),
                   POOLMETRICS_LANDSCAPE=landscape)
        problems = []
        if len(profiles) <= 200:
            problems.append("the profile folder's path has only %d characters" % len(profiles))
        for args, status, wanted in runs:
            shown = "poolmetrics.sh %s: " % " ".join(args)
            proc = subprocess.run(["sh", wrapper] + args, cwd=session, env=env, capture_output=True, timeout=30)
            out = normalise(proc.stdout)
            if proc.returncode != status:
                problems.append(shown + "exit status %d: %s" % (proc.returncode, proc.stderr.decode(errors="replace")))
            if wanted.replace("{profiles}", profiles).encode() not in out:
                problems.append(shown + "not the document wanted (%s):\n%s" % (wanted, out.decode("latin-1")))
            problems += [shown + p for p in prtg_contract.check(out)]
            if status == 0 and not normalise(proc.stderr).startswith(HEADER.encode()):
                problems.append(shown + "no progress lines on standard error: %r" % proc.stderr[:200])
        if os.listdir(session):
            problems.append("files left where the SSH session started: %s" % os.listdir(session))
        return problems
    return run


SCENARIOS += [
    dict(name="PRTG on Linux: the SSH wrapper runs a single, an item and a global run from a long profile folder",
         custom=ssh_wrapper([
             (["PRD", "PXA-INFO", "TIMEOUT=30"], 0, "<Text>(PRD) Selected Information for PXA"),
             (["x", "TOTAL-ROWS ITEM=All:Systems"], 0,
              "<Text>(***) All Systems: NoSystems=3, Processed=2, Failed=1</Text>"),
             (["GLOBAL", "HITRATES"], 0, "<Text>(***) Landscape Hit Rates: NoSystems=2, Processed=2, Failed=0</Text>"),
         ]), library=True, platforms=("native",)),
    dict(name="PRTG on Linux: the SSH wrapper names a profile folder it cannot enter, escaped",
         custom=ssh_wrapper([(["PRD", "PXA-INFO"], 2, "<Error>1</Error>\n<Text>PoolMetrics: the profile folder "
                              "{profiles}/R&amp;D&lt;1&gt; cannot be entered; set POOLMETRICS_PROFILES to the folder "
                              "that holds the profiles, readable and writable by the SSH user</Text>")],
                            given="R&D<1>"),
         library=True, platforms=("native",)),
]
