"""Deadlines, parallel global runs and response times: a logon or a call that
hangs for an hour ends a single run with message 1033 and a global run with
its summary (", Timeout=k") at the deadline; values of TIMEOUT= and PARALLEL=
out of range give message 1035 before any logon; a parallel global run prints
byte for byte what the sequential run prints; TIMES adds "Logon time" and
"Call time" in every form."""

import os
import random
import re

import prtg_contract
from e2e import normalise, run_captured, run_program
from scenarios_foundation import error_doc, profile
from scenarios_global import (DONE, HEADER, MARK, OPEN_XML, group, item_profile, lines, pxa, pxa_xml, sensor,
                              state)
from scenarios_rfc import progress, rfc_error_block
from scenarios_sensors import SENSOR, SINCE, brennick_channel, brennick_key, quillon_channel, system, xml_channel

HOUR = 3600000

# PRD and QAS answer; REF refuses every logon, EXC fails its call; HNG hangs in
# the logon and CAL in the call for an hour; ERR ends in the RFC error
# handler; TIM answers after 200 ms of logon and 100 ms of call.
LANDSCAPE = ("[landscape]\njournal = journal.txt\n\n"
             + system("PRD", "prdhost", lines=pxa(5, 4711))
             + system("QAS", "qas-host", sysnr="01", client="200", password="secret2", lines=pxa(6, 815))
             + system("REF", "refhost", sysnr="02", lines=["refuse_logon = yes"])
             + system("EXC", "exchost", sysnr="03", lines=["receive_rc = 2", "exception = NO_DATA_AVAILABLE"])
             + system("HNG", "hnghost", sysnr="04", lines=["logon_delay_ms = %d" % HOUR])
             + system("CAL", "calhost", sysnr="05", lines=["delay_ms = %d" % HOUR])
             + system("ERR", "errhost", sysnr="06", lines=["error_handler = call"])
             + system("TIM", "timhost", sysnr="07", lines=pxa(7, 77) + ["logon_delay_ms = 200", "delay_ms = 100"]))


def listed(destination, host, sysnr, **more):
    return profile(destination=destination, hostname=host, sysnr=sysnr, gwhost=host, gwservice="sapgw" + sysnr,
                   **more)


PROFILES = {
    "PRD.P00": profile(),
    "QAS.P00": listed("QAS", "qas-host", "01", client="200", password="{pw:secret2}"),
    "REF.P00": listed("REF", "refhost", "02"),
    "NOUSER.P00": profile(destination="NOU", user=None),
    "EXC.P00": listed("EXC", "exchost", "03"),
    "HNG.P00": listed("HNG", "hnghost", "04"),
    "CAL.P00": listed("CAL", "calhost", "05"),
    "ERR.P00": listed("ERR", "errhost", "06"),
    "TIM.P00": listed("TIM", "timhost", "07"),
}
STATE = {
    "PRD.P00": ("prdhost", "PRD", "00", "100"),
    "HNG.P00": ("hnghost", "HNG", "04", "100"),
    "CAL.P00": ("calhost", "CAL", "05", "100"),
}


def files(**more):
    return dict({"landscape.ini": LANDSCAPE}, **PROFILES, **more)


def states(*pairs):
    return "".join(state(name, *STATE[name], word) for name, word in pairs)


def summary_xml(item, systems, processed, failed, timeouts):
    return "\n<Text>(***) %s: NoSystems=%d, Processed=%d, Failed=%d, Timeout=%d</Text>\n\n</Prtg>\n\n" % (
        item, systems, processed, failed, timeouts)


def deadline_doc(seconds, step, destination):
    return error_doc("Error 1033: Timeout after %d s in the %s to %s..." % (seconds, step, destination))


NO_LOGON = {"journal.txt": None}  # the library was never even asked

SCENARIOS = [
    # --- a single run at its deadline ---------------------------------------------------
    dict(name="deadline: a single run whose logon hangs ends with 1033 naming the logon, after its progress lines",
         program="Holdrun", library=True, args=["HNG", "PXA-INFO TIMEOUT=1 #"], files=files(), status=2, xml=True,
         stdout=progress("PXA-INFO TIMEOUT=1 ", "HNG.P00, hnghost, HNG, 04, 100") + deadline_doc(1, "logon", "HNG"),
         min_seconds=1, timeout=6),
    dict(name="deadline: a single run whose call hangs ends with 1033 naming the call, the PRTG form in mode Brennick",
         program="Brennick", library=True, args=["CAL", "PXA-INFO,TIMEOUT=2"], files=files(), status=2,
         stdout=deadline_doc(2, "call", "CAL"), min_seconds=2, timeout=7),
    dict(name="deadline: the destination-file line, then the whole document (mode Quillon, TIMEOUT=1)",
         program="PoolMetrics-Quillon", library=True, args=["HNG", "PXA-INFO TIMEOUT=1"],
         files=files(**{"SapRfc.HNG": "DEST=HNG\r\nTYPE=A\r\nASHOST=hnghost\r\nSYSNR=04\r\n"}), status=2,
         stdout="* SapRfc.Ini.......: HNG<\n" + deadline_doc(1, "logon", "HNG"), min_seconds=1, timeout=6),
]

# The same through the NetWeaver library alone: the watchdog does not depend on
# which library blocks.
for step, destination in (("logon", "HNG"), ("call", "CAL")):
    SCENARIOS.append(dict(
        name="deadline: through the NetWeaver library, a hung %s ends with 1033 naming it" % step,
        program="Brennick", nwrfc=True, args=[destination, "PXA-INFO TIMEOUT=1"], files=files(), status=2,
        stdout=deadline_doc(1, step, destination), min_seconds=1, timeout=6,
        platforms=("native", "wine", "wine64")))

# --- a global run at its deadline, sequential and parallel alike ---------------------------
for width in (1, 3):
    SCENARIOS.append(dict(
        name="deadline: item run, PARALLEL=%d: a hung logon gets State=Timeout, the last finished system's channels"
             % width,
        program="Holdrun", library=True, args=["x", "PXA-INFO TIMEOUT=2 PARALLEL=%d #" % width, "ITEM=Main"],
        # What the system in progress printed before it hung comes before its
        # state line, in a parallel run too.
        files=files(**{"Overseer.Prf": item_profile("PRD.P00#MISSING.P00#HNG.P00#QAS.P00#"),
                       "SapRfc.HNG": "DEST=HNG\r\nTYPE=A\r\nASHOST=hnghost\r\nSYSNR=04\r\n"}), status=0,
        stdout=HEADER + "* hh:mm:ss PXA-INFO TIMEOUT=2 PARALLEL=%d # ITEM=Main State=Executing\n" % width
        + OPEN_XML + states(("PRD.P00", "Processed")) + "* SapRfc.Ini.......: HNG&lt;\n" + states(("HNG.P00", "Timeout"))
        + pxa_xml(5, 4711) + summary_xml("Main", 4, 1, 2, 2) + DONE,
        min_seconds=2, timeout=7))
    # Deadline and width from the allocation text of the global sensor file.
    SCENARIOS.append(dict(
        name="deadline: global file, PARALLEL=%d from the allocation: a hung call, Brennick lines" % width,
        program="Brennick", library=True, args=["GLOBAL", "CALLS"],
        files=files(**{"SAP Overseer.Gbl": lines(
            group("CALLS", "PRD.P00#CAL.P00#QAS.P00#"),
            sensor("CALLS", "PXA-INFO:TIMEOUT=2:PARALLEL=%d," % width + MARK + ",Item=Calls"))}),
        status=0, stdout="\n" + brennick_channel("PRD_P00", "Size of the gaps in PXA", "5", "#")
        + brennick_channel("PRD_P00", "No.of generated programs", "4711", "#")
        + "\n# (***) Calls: NoSystems=3, Processed=1, Failed=2, Timeout=2\n\n",
        min_seconds=2, timeout=7))
SCENARIOS.append(dict(
    name="deadline: the command line's TIMEOUT= wins over the allocation's",
    program="Brennick", library=True, args=["GLOBAL", "CALLS", "TIMEOUT=1"],
    files=files(**{"SAP Overseer.Gbl": lines(
        group("CALLS", "PRD.P00#CAL.P00#"), sensor("CALLS", "PXA-INFO:TIMEOUT=600," + MARK + ",Item=Calls"))}),
    status=0, stdout="\n" + brennick_channel("PRD_P00", "Size of the gaps in PXA", "5", "#")
    + brennick_channel("PRD_P00", "No.of generated programs", "4711", "#")
    + "\n# (***) Calls: NoSystems=2, Processed=1, Failed=1, Timeout=1\n\n",
    min_seconds=1, timeout=6))

# --- message 1035: refused before anything is looked up or connected ------------------------
BAD_GBL = lines(group("BAD", "PRD.P00#"), sensor("BAD", "PXA-INFO:TIMEOUT=1000," + MARK + ",Item=Bad"))
for label, args, message in [
    ("TIMEOUT=0", ["PRD", "PXA-INFO TIMEOUT=0 #"], "TIMEOUT=0, use 1 to 900"),
    ("TIMEOUT=901", ["PRD", "PXA-INFO TIMEOUT=901"], "TIMEOUT=901, use 1 to 900"),
    ("TIMEOUT=abc", ["PRD", "PXA-INFO,TIMEOUT=abc,CH=1"], "TIMEOUT=abc, use 1 to 900"),
    ("PARALLEL=65 in an item run", ["x", "PXA-INFO PARALLEL=65", "ITEM=Main"], "PARALLEL=65, use 1 to 64"),
    ("PARALLEL= empty", ["x", "PXA-INFO PARALLEL=", "ITEM=Main"], "PARALLEL=, use 1 to 64"),
    ("TIMEOUT=1000 in the allocation text", ["GLOBAL", "BAD", "#"], "TIMEOUT=1000, use 1 to 900"),
]:
    SCENARIOS.append(dict(
        name="1035: " + label, program="Holdrun", library=True, args=args,
        files=files(**{"Overseer.Prf": item_profile("PRD.P00#"), "SAP Overseer.Gbl": BAD_GBL}), status=2,
        stdout=error_doc("Error 1035: Invalid Value %s..." % message), after=NO_LOGON, timeout=5))


# --- a parallel run prints what the sequential run prints ------------------------------------
# Six systems log on through destination files; their profiles name a host
# that does not exist, and each has a password of its own: a child that
# logged on with another's SapRfc.ini would be refused. Six at once contend
# for the lock on it.
DESTINATIONS = ["DS%d" % i for i in range(1, 7)]
IDENTICAL_LANDSCAPE = LANDSCAPE + "".join(
    system(d, "%shost" % d.lower(), sysnr="1%s" % d[2], password="pw-%s" % d, lines=pxa(10 + i, 100 + i))
    for i, d in enumerate(DESTINATIONS))
IDENTICAL_FILES = dict(files(), **{"landscape.ini": IDENTICAL_LANDSCAPE})
for d in DESTINATIONS:
    IDENTICAL_FILES["%s.P00" % d] = listed(d, "nohost", "99", password="{pw:pw-%s}" % d)
    IDENTICAL_FILES["SapRfc.%s" % d] = "DEST=%s\r\nTYPE=A\r\nASHOST=%shost\r\nSYSNR=1%s\r\n" % (d, d.lower(), d[2])
# Failing (refused, invalid, failed call), skipped (missing, empty, outside
# the directory) and succeeding systems.
IDENTICAL_LISTING = ("PRD.P00#REF.P00#MISSING.P00##NOUSER.P00#..\\PRD.P00#EXC.P00#"
                     + "".join("%s.P00#" % d for d in DESTINATIONS) + "QAS.P00#")
IDENTICAL_FILES["Overseer.Prf"] = item_profile(IDENTICAL_LISTING)


def identical(parameters, listing=None, status=0, widths=(4, 64), check=None):
    """Runs the listing sequentially and with each width; the outputs on both
    streams must be the same bytes (times of day masked) and end with the
    same status. In PRTG's mode standard output is one document PRTG takes."""
    def run(platform, scenario_dir, program):
        if listing:
            with open(os.path.join(scenario_dir, "Overseer.Prf"), "w") as f:
                f.write(item_profile(listing))
        exexml = prtg_contract.mode_of(os.path.basename(program)) == "exexml"
        outputs = []
        for width in (1,) + widths:
            proc = run_program(platform, scenario_dir, program, ["x", parameters + " PARALLEL=%d" % width, "ITEM=Same"])
            try:
                out, err = proc.communicate(timeout=20)
            except Exception:
                proc.kill()
                return ["PARALLEL=%d did not finish" % width]
            # The parameters, and so the "State=Executing" line, name the width.
            streams = tuple(normalise(text).replace(b"PARALLEL=%d" % width, b"PARALLEL=n").decode("latin-1")
                            for text in (out, prtg_contract.program_lines(err)))
            outputs.append((width, proc.returncode, streams))
        problems = []
        _, first_status, (first, first_err) = outputs[0]
        if first_status != status:
            problems.append("sequential run: exit status %d, expected %d" % (first_status, status))
        if exexml:
            problems += ["PRTG would not take it: " + p for p in prtg_contract.check(first.encode("latin-1"))]
        if check:
            problem = check(first + first_err)
            if problem:
                problems.append(problem)
        for width, code, streams in outputs[1:]:
            if (code, streams) != (first_status, (first, first_err)):
                problems.append("PARALLEL=%d differs (status %d, sequential %d):\n--- sequential\n%s\n%s\n--- parallel\n%s\n%s"
                                % (width, code, first_status, first, first_err, streams[0], streams[1]))
        return problems
    return run


def destinations_processed(out):
    states = re.findall(r"(DS\d)\.P00, nohost, DS\d, 99, 100 State=(.*)", out)
    if not states or any(word != "Processed" for _, word in states):
        return "systems not processed through their destination files:\n%s" % out
    return None


# Brennick: PRD's six channels and the first four of DS1's fill the run's ten.
for program_name, parameters, listing, shown in [
        ("Brennick", "HEAP-MEMORY #", "REF.P00#PRD.P00#MISSING.P00##..\\PRD.P00#EXC.P00#DS1.P00#", "Statistic.DS1_P00"),
        ("Holdrun", "PXA-INFO #", None, "<Value>815</Value>"),
        ("PoolMetrics-Quillon", "PXA-INFO #", None, "> Size of the gaps in PXA: 6 #")]:
    SCENARIOS.append(dict(
        name="parallel: %s %s prints byte for byte what the sequential run prints" % (program_name, parameters),
        program=program_name, library=True, files=IDENTICAL_FILES,
        custom=identical(parameters, listing=listing, check=lambda out, shown=shown: destinations_processed(out) or (
            None if shown in out else "%r is not in the sequential output:\n%s" % (shown, out))), timeout=60))


# Through the NetWeaver library, the classic destination files are not
# used: with a progress mark every child says so for its system, exactly as
# the sequential run does, in every caller mode.
def destinations_not_used(out):
    missing = [d for d in DESTINATIONS
               if "* SapRfc.%s not used: no DEST=%s in sapnwrfc.ini, direct logon" % (d, d) not in out]
    return "no \"not used\" line for %s:\n%s" % (", ".join(missing), out) if missing else None


for program_name, parameters in [("Holdrun", "PXA-INFO #"), ("Varnock", "PXA-INFO $"), ("Brennick", "HEAP-MEMORY #"),
                                 ("PoolMetrics-Quillon", "PXA-INFO %"), ("PoolMetrics", "PXA-INFO @")]:
    SCENARIOS.append(dict(
        name="parallel: %s %s through the NetWeaver library prints byte for byte what the sequential run prints"
        % (program_name, parameters),
        program=program_name, nwrfc=True, files=IDENTICAL_FILES, platforms=("native", "wine", "wine64"),
        custom=identical(parameters, widths=(2, 64), check=destinations_not_used), timeout=60))
SCENARIOS.append(dict(
    name="parallel: a child ended by the RFC error handler ends the run there, status 1, as the sequential run",
    program="Holdrun", library=True, files=files(),
    custom=identical("PXA-INFO #", listing="PRD.P00#EXC.P00#ERR.P00#QAS.P00#", status=1, widths=(3,),
                     check=lambda out: None if out.endswith(rfc_error_block(
                         "RfcReceive", "RFC_ERROR_SYSTEM_FAILURE", "connection closed by the emulated system ERR"))
                     else "the output does not end with the error block:\n" + out),
    timeout=30))


# --- TIMES: "Logon time" and "Call time" in every form ---------------------------------------
PXA_HEADER = "(TIM" + SENSOR["PXA-INFO"][0] + SINCE
PXA_CHANNELS = [("Size of the gaps in PXA", "7"), ("No.of generated programs", "77")]
TIM_FILES = files(**{"Overseer.Prf": item_profile("PRD.P00#TIM.P00#")})
# Mode EXEXML takes its profiles from PRTG's directory only.
PRTG_TIM_FILES = {"landscape.ini": LANDSCAPE,
                  "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\TIM.P00": PROFILES["TIM.P00"]}
# The emulated TIM answers its logon after 200 ms and its call after 100 ms.
MINIMUM = {b"Logon": 200, b"Call": 100}


def measured(pattern):
    """A mask: each measured time becomes "n", or shows itself when it cannot
    be the emulated system's (too short, or far too long)."""
    expression = re.compile(pattern)

    def mask(out):
        def replace(m):
            value = int(m.group("ms"))
            ok = MINIMUM[m.group("step")] <= value < 10000
            return m.group(0)[:m.start("ms") - m.start(0)] + (b"n" if ok else b"UNLIKELY-" + m.group("ms"))
        return expression.sub(replace, out)
    return mask


XML_TIMES = measured(rb"<Channel>(?P<step>Logon|Call) time</Channel>\n<Unit>TimeResponse</Unit>\n<Value>(?P<ms>\d+)")


def xml_times():
    return "".join(xml_channel(label, value, "#") for label, value in PXA_CHANNELS) + "".join(
        "\n<Result><Channel>%s time</Channel>\n<Unit>TimeResponse</Unit>\n<Value>n</Value></Result>\n" % step
        for step in ("Logon", "Call"))


for program_name in ("PoolMetrics", "Holdrun"):
    SCENARIOS.append(dict(
        name="TIMES: %s: the two channels after the system's own, unit TimeResponse" % program_name,
        program=program_name, library=True, args=["TIM", "PXA-INFO TIMES"],
        files=PRTG_TIM_FILES if program_name == "PoolMetrics" else TIM_FILES, status=0, xml=True,
        mask=XML_TIMES, stdout="\n<Prtg>\n\n<Text>" + PXA_HEADER + "</Text>\n" + xml_times() + "\n</Prtg>\n",
        timeout=6))
# PRTG users type keywords as arguments of their own: those of the run
# control count from the fourth argument on (the rest is ignored there).
for program_name in ("PoolMetrics", "Holdrun"):
    SCENARIOS.append(dict(
        name="TIMES: %s: a fourth argument TIMES adds the two channels" % program_name,
        program=program_name, library=True, args=["TIM", "PXA-INFO", "x", "TIMES"],
        files=PRTG_TIM_FILES if program_name == "PoolMetrics" else TIM_FILES, status=0, xml=True,
        mask=XML_TIMES, stdout="\n<Prtg>\n\n<Text>" + PXA_HEADER + "</Text>\n" + xml_times() + "\n</Prtg>\n",
        timeout=6))
SCENARIOS += [
    dict(name="TIMES: Brennick: in mSec, keyed by their own labels", program="Brennick", library=True,
         args=["TIM", "PXA-INFO,TIMES"], files=TIM_FILES, status=0,
         mask=measured(rb"Statistic\.(?P<step>Logon|Call)_time: (?P<ms>\d+)"),
         stdout="\n# " + PXA_HEADER + "".join(brennick_channel(brennick_key(label), label, value, "#")
                                             for label, value in PXA_CHANNELS)
         + "".join(brennick_channel("%s_time" % step, "%s time" % step, "n", "mSec") for step in ("Logon", "Call"))
         + "\n", timeout=6),
    dict(name="TIMES: Quillon lines in mSec", program="PoolMetrics-Quillon", library=True,
         args=["TIM", "PXA-INFO", "times"], files=TIM_FILES, status=0,
         mask=measured(rb"> (?P<step>Logon|Call) time: (?P<ms>\d+)"),
         stdout="\n# " + PXA_HEADER + "".join(quillon_channel(label, value, "#") for label, value in PXA_CHANNELS)
         + "".join(quillon_channel("%s time" % step, "n", "mSec") for step in ("Logon", "Call")) + "\n", timeout=6),
    dict(name="TIMES: Quillon CH=3 selects the logon time", program="PoolMetrics-Quillon", library=True,
         args=["TIM", "PXA-INFO,TIMES,CH=3"], files=TIM_FILES, status=0,
         mask=lambda out: re.sub(rb"^(\d+)\n$", lambda m: b"n\n" if 200 <= int(m.group(1)) < 10000 else m.group(0), out),
         stdout="n\n", timeout=6),
    dict(name="TIMES: a global run adds them to each system's channels", program="Holdrun", library=True,
         args=["x", "PXA-INFO TIMES", "ITEM=Timed"], files=TIM_FILES, status=0, xml=True, mask=XML_TIMES,
         stdout=OPEN_XML + xml_times() + "\n<Text>(***) Timed: NoSystems=2, Processed=2, Failed=0</Text>\n\n"
         "</Prtg>\n\n", timeout=6),
    dict(name="TIMES: only a word of its own: ITEM=Downtimes does not switch it on", program="Holdrun", library=True,
         args=["x", "PXA-INFO", "ITEM=Downtimes"], files=TIM_FILES, status=0, xml=True,
         stdout=OPEN_XML + "".join(xml_channel(label, value, "#") for label, value in PXA_CHANNELS)
         + "\n<Text>(***) Downtimes: NoSystems=2, Processed=2, Failed=0</Text>\n\n</Prtg>\n\n", timeout=6),
]


# --- keyword values past the parameter field of 127 characters ----------------------------
# The values are read from the whole words, so a long item name before
# TIMEOUT= never makes a hung system hold up the run.
LONG_ITEM = "i" * 150
# A global file's line is read in pieces of 199 characters: the allocation's
# parameters can reach past 127 characters, but not far.
LONG_WORD = "PXA-INFO:" + "x" * 118 + ":TIMEOUT=1"
SCENARIOS += [
    dict(name="deadline: TIMEOUT= after an item name that reaches past the parameter field, a hung logon",
         program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=%s TIMEOUT=1" % LONG_ITEM],
         files=files(**{"Overseer.Prf": item_profile("PRD.P00#HNG.P00#")}), status=0, xml=True,
         stdout=OPEN_XML + pxa_xml(5, 4711) + summary_xml(LONG_ITEM[:90], 2, 1, 1, 1), min_seconds=1, timeout=8,
         platforms=("native", "wine", "wine64")),
    dict(name="deadline: TIMEOUT= in an allocation whose parameters reach past the field, a hung call",
         program="Brennick", library=True, args=["GLOBAL", "CALLS"],
         files=files(**{"SAP Overseer.Gbl": lines(
             group("CALLS", "PRD.P00#CAL.P00#"), sensor("CALLS", LONG_WORD + "," + MARK + ",Item=Calls"))}),
         status=0, stdout="\n" + brennick_channel("PRD_P00", "Size of the gaps in PXA", "5", "#")
         + brennick_channel("PRD_P00", "No.of generated programs", "4711", "#")
         + "\n# (***) Calls: NoSystems=2, Processed=1, Failed=1, Timeout=1\n\n", min_seconds=1, timeout=8,
         platforms=("native", "wine", "wine64")),
]


# --- a deadline that passes while the listing is still read ---------------------------------
def grown(name, size=3 << 29, line=1 << 20):
    """A setup: the file `name` grows to `size` bytes (1.5 GB) of empty lines
    of `line` bytes each (zero bytes, a line feed at the end). The file is
    sparse: it costs the disk almost nothing, and reading it takes seconds,
    natively and under Wine (and half a minute in the sanitizer build)."""
    def setup(scenario_dir, platform):
        with open(platform.host_path(scenario_dir, name), "r+b") as f:
            f.seek(0, os.SEEK_END)
            start = f.tell()
            for end in range(start + line, size, line):
                f.seek(end - 1)
                f.write(b"\n")
    return setup


def no_logon(scenario_dir, platform):
    """The library was loaded, but no system was logged on to."""
    path = os.path.join(scenario_dir, "journal.txt")
    text = open(path, encoding="latin-1").read() if os.path.exists(path) else ""
    return "a logon was made:\n" + text if "RfcOpen" in text else None


# The listing is read to its end before the run knows its deadline (a global
# file's allocation can give it): the deadline, counted from the start, has
# passed when the first system would be started, and the run answers at once
# with its summary, every name not reached.
SCENARIOS += [
    dict(name="deadline: passed while a huge item profile is read: the summary at once, every name not reached",
         program="Holdrun", library=True, args=["x", "PXA-INFO TIMEOUT=1", "ITEM=Big"],
         files=files(**{"Overseer.Prf": item_profile("PRD.P00#QAS.P00#")}), setup=grown("Overseer.Prf"),
         status=0, xml=True, stdout=OPEN_XML + summary_xml("Big", 2, 0, 2, 2), min_seconds=1, timeout=90,
         check=no_logon, platforms=("native", "wine", "wine64")),
    dict(name="deadline: TIMEOUT= of the allocation of a huge global file, passed while it is read",
         program="PoolMetrics-Quillon", library=True, args=["GLOBAL", "BIG"],
         files=files(**{"SAP Overseer.Gbl": lines(
             group("BIG", "PRD.P00#QAS.P00#"), sensor("BIG", "PXA-INFO:TIMEOUT=1," + MARK + ",Item=Big"))}),
         setup=grown("SAP Overseer.Gbl"), status=0,
         stdout="\n\n# (***) Big: NoSystems=2, Processed=0, Failed=2, Timeout=2\n\n", min_seconds=1, timeout=90,
         check=no_logon, platforms=("native", "wine", "wine64")),
]


# --- the RFC error handler against the deadline -----------------------------------------------
# ERL's error handler fires after a delay that lands around the deadline of
# 1 s; whichever comes first, the run prints one outcome, whole: the error
# block (status 1), or the deadline's document (a global run's summary,
# status 0; a single run's message 1033, status 2), byte for byte what the
# same run prints when nothing races. POOLMETRICS_RACE_RUNS sets how often
# each run is raced (8 by default).
RACE_RUNS = int(os.environ.get("POOLMETRICS_RACE_RUNS", "8"))
RACE_FILES = files(**{"Overseer.Prf": item_profile("PRD.P00#ERL.P00#"), "ERL.P00": listed("ERL", "erlhost", "12")})


def raced(args, error_status, deadline_status):
    def run(platform, scenario_dir, program):
        exexml = prtg_contract.mode_of(os.path.basename(program)) == "exexml"

        def once(erl):
            with open(os.path.join(scenario_dir, "landscape.ini"), "w") as f:
                f.write(LANDSCAPE + system("ERL", "erlhost", sysnr="12", lines=erl))
            proc, elapsed = run_captured(platform, platform.command(program, args), "race", cwd=scenario_dir,
                                         env=platform.env, timeout=20)
            return (proc.returncode, normalise(proc.stdout), normalise(prtg_contract.program_lines(proc.stderr))), elapsed

        # The outcomes as they are when nothing races; the handler fires about
        # `lead` seconds after the start, plus its delay.
        error, lead = once(["error_handler = call"])
        deadline, _ = once(["delay_ms = %d" % HOUR])
        problems = []
        if error[0] != error_status or b"RFC error\n" not in error[1] + error[2]:
            problems.append("the error handler's run: status %d, expected %d:\n%s" % (
                error[0], error_status, (error[1] + error[2]).decode("latin-1")))
        if deadline[0] != deadline_status or not re.search(rb"Timeout=1|Error 1033", deadline[1]):
            problems.append("the deadline's run: status %d, expected %d:\n%s" % (
                deadline[0], deadline_status, deadline[1].decode("latin-1")))
        if exexml:
            for outcome in (error, deadline):
                problems += ["PRTG would not take it: " + p for p in prtg_contract.check(outcome[1])]
        if problems:
            return problems
        # The delay closes in on the point where either outcome is as likely
        # as the other: a run the handler won asks for a longer delay, one
        # the deadline won for a shorter one, in steps that halve at each
        # change down to a millisecond.
        delay, step, last = max(0, int((1.0 - lead) * 1000)), 32, None
        rng = random.Random()
        counts = [0, 0]
        for n in range(RACE_RUNS):
            tried = max(0, delay + rng.randint(-1, 1))
            got, _ = once(["delay_ms = %d" % tried, "error_handler = call"])
            if got in (error, deadline):
                at_deadline = got == deadline
                counts[at_deadline] += 1
                if last is not None and last != at_deadline:
                    step = max(1, step // 2)
                delay, last = max(0, delay - step if at_deadline else delay + step), at_deadline
                continue
            problems.append("run %d (delay %d ms): neither outcome, status %d:\n--- stdout\n%s\n--- stderr\n%s"
                            % (n + 1, tried, got[0], got[1].decode("latin-1"), got[2].decode("latin-1")))
        print("RACE [%s] %s %s: %d runs, %d ended by the error handler, %d at the deadline, delay now %d ms"
              % (platform.name, os.path.basename(program), " ".join(args), RACE_RUNS, counts[0], counts[1], delay),
              flush=True)
        return problems
    return run


for program_name, mark in (("Holdrun", "#"), ("PoolMetrics", "@")):
    SCENARIOS.append(dict(
        name="race: %s single run: the error handler against the deadline, one whole outcome each time" % program_name,
        program=program_name, library=True, files=RACE_FILES, timeout=600,
        custom=raced(["ERL", "PXA-INFO TIMEOUT=1 %s" % mark], 1, 2)))
    for width in (1, 2):
        SCENARIOS.append(dict(
            name="race: %s global run, PARALLEL=%d: the error handler against the deadline, one whole outcome each "
                 "time" % (program_name, width),
            program=program_name, library=True, files=RACE_FILES, timeout=600,
            custom=raced(["x", "PXA-INFO TIMEOUT=1 PARALLEL=%d %s" % (width, mark), "ITEM=Race"], 1, 0)))
