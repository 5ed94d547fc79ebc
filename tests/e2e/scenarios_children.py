"""The children of a parallel global run when things go wrong around them: a
child ended from outside while it is in the RFC library fails its system
and the run goes on; a parent that is ended leaves no child behind; a system
for which no child can be started (no file descriptor, no process left) is
the parent's own; a program in a folder whose name is outside the ANSI code
page still starts its children. What the run prints is compared with the
sequential run, byte for byte."""

import os
import resource
import signal
import subprocess
import time

from e2e import normalise, run_program
from scenarios_deadlines import HOUR, LANDSCAPE as DEADLINE_LANDSCAPE, PROFILES as DEADLINE_PROFILES, identical, listed
from scenarios_global import DONE, HEADER, OPEN_XML, item_profile, pxa, pxa_xml, state, summary_xml
from scenarios_sensors import system, xml_problem

ALL = ("native", "wine", "wine64")
# DIE and DIO end their process inside the library (in the call, in the
# logon), as an operator's kill would; SLA and SLB answer after 3 s of logon.
SLOW_MS = 3000
LANDSCAPE = (DEADLINE_LANDSCAPE
             + system("DIE", "diehost", sysnr="08", lines=["process_ends = call"])
             + system("DIO", "diohost", sysnr="09", lines=["process_ends = open"])
             + system("SLA", "slahost", sysnr="10", lines=pxa(10, 100) + ["logon_delay_ms = %d" % SLOW_MS])
             + system("SLB", "slbhost", sysnr="11", lines=pxa(11, 110) + ["logon_delay_ms = %d" % SLOW_MS]))
PROFILES = dict(DEADLINE_PROFILES, **{
    "DIE.P00": listed("DIE", "diehost", "08"),
    "DIO.P00": listed("DIO", "diohost", "09"),
    "SLA.P00": listed("SLA", "slahost", "10"),
    "SLB.P00": listed("SLB", "slbhost", "11"),
})
STATE = {
    "PRD.P00": ("prdhost", "PRD", "00", "100"),
    "QAS.P00": ("qas-host", "QAS", "01", "200"),
    "HNG.P00": ("hnghost", "HNG", "04", "100"),
    "DIE.P00": ("diehost", "DIE", "08", "100"),
    "DIO.P00": ("diohost", "DIO", "09", "100"),
}


def files(listing):
    return dict({"landscape.ini": LANDSCAPE, "Overseer.Prf": item_profile(listing)}, **PROFILES)


def states(*pairs):
    return "".join(state(name, *STATE[name], word) for name, word in pairs)


# --- the processes of a scenario --------------------------------------------------------
def processes_in(scenario_dir):
    """The processes working in the scenario's directory: the program and its
    children (under Wine the children are no Unix children of their parent,
    but they keep its working directory). Zombies have gone already."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if os.readlink("/proc/%s/cwd" % entry) != scenario_dir:
                continue
            with open("/proc/%s/stat" % entry) as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue
        except OSError:
            continue  # gone meanwhile, or not ours to look at
        found.append(int(entry))
    return found


def wait_for(condition, seconds):
    """Polls `condition` for up to `seconds`; its last value."""
    until = time.time() + seconds
    while True:
        value = condition()
        if value or time.time() >= until:
            return value
        time.sleep(0.05)


def journal_text(scenario_dir):
    try:
        with open(os.path.join(scenario_dir, "journal.txt"), encoding="latin-1") as f:
            return f.read()
    except OSError:
        return ""


def end_leftovers(pids):
    """Ends, by their ids, processes of the scenario that should have gone."""
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


SCENARIOS = []

# --- a child ended from outside ---------------------------------------------------------
# Whatever its exit status (1 here, a signal below), a child that ends
# without its record fails its system; the others go on in new children.
KILLED_LISTING = "PRD.P00#DIE.P00#DIO.P00#QAS.P00#"
NW_LINE = "* RFC-Library......: {nwlib}, NetWeaver RFC 7500.0.0 (emulated SAP landscape)\n"
for program_name, parameters, library, expected in [
        ("Holdrun", "PXA-INFO PARALLEL=2 #", "classic", "{library}"),
        ("Holdrun", "PXA-INFO PARALLEL=2 #", "NetWeaver", "{library}"),
        ("PoolMetrics-Quillon", "PXA-INFO PARALLEL=3", "NetWeaver",
         "\n\n> Size of the gaps in PXA: 6 #\n> No.of generated programs: 815 #"
         "\n# (***) Kill: NoSystems=4, Processed=2, Failed=2\n\n")]:
    if expected == "{library}":
        expected = (HEADER + "* hh:mm:ss PXA-INFO PARALLEL=2 # ITEM=Kill State=Executing\n"
                    + (NW_LINE if library == "NetWeaver" else "") + OPEN_XML
                    + states(("PRD.P00", "Processed"), ("DIE.P00", "Rfc Failure"), ("DIO.P00", "Rfc Failure"),
                             ("QAS.P00", "Processed"))
                    + pxa_xml(6, 815) + summary_xml("Kill", 4, 2, 2) + DONE)
    SCENARIOS.append(dict(
        name="children: %s through the %s library: a child that ends inside the library, in the logon or the "
             "call, fails its system only, status 0" % (program_name, library),
        program=program_name, library=library == "classic", nwrfc=library == "NetWeaver",
        args=["x", parameters, "ITEM=Kill"], files=files(KILLED_LISTING), stdout=expected, status=0,
        check=lambda d, p, text=expected: "<Prtg>" in text and xml_problem(text) or None, timeout=30,
        platforms=ALL if library == "NetWeaver" else ("native", "wine")))


def killed_while_hung(platform, scenario_dir, program):
    """SIGKILL to every child once HNG hangs in its logon and PRD and QAS are
    done: HNG fails, the run ends at once with the others' output."""
    proc = run_program(platform, scenario_dir, program, ["x", "PXA-INFO PARALLEL=2 TIMEOUT=60 #", "ITEM=Kill"])
    problems = []
    try:
        journal = wait_for(lambda: (lambda j: j if j.count("RfcClose handle=") >= 2 and 'destination="HNG"' in j
                                    else None)(journal_text(scenario_dir)), 20)
        children = [pid for pid in processes_in(scenario_dir) if pid != proc.pid]
        if not journal or len(children) != 2:
            problems.append("expected two children with HNG hung, found %s; journal:\n%s"
                            % (children, journal_text(scenario_dir)))
        end_leftovers(children)
        started = time.time()
        out, _ = proc.communicate(timeout=20)
        if time.time() - started > 5:
            problems.append("the run took %.1f s after its children were killed" % (time.time() - started))
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.communicate()
    expected = (HEADER + "* hh:mm:ss PXA-INFO PARALLEL=2 TIMEOUT=60 # ITEM=Kill State=Executing\n" + OPEN_XML
                + states(("PRD.P00", "Processed"), ("HNG.P00", "Rfc Failure"), ("QAS.P00", "Processed"))
                + pxa_xml(6, 815) + summary_xml("Kill", 3, 2, 1) + DONE)
    got = normalise(out).decode("latin-1")
    if got != expected:
        problems.append("stdout differs:\n--- expected\n%s\n--- got\n%s" % (expected, got))
    if proc.returncode != 0:
        problems.append("exit status %d, expected 0" % proc.returncode)
    return problems


SCENARIOS.append(dict(
    name="children: a child killed (SIGKILL) while its system hangs in the logon: that system fails, the run "
         "goes on, status 0",
    program="Holdrun", library=True, files=files("PRD.P00#HNG.P00#QAS.P00#"), custom=killed_while_hung,
    platforms=("native",), timeout=60))


# --- a parent that is ended -------------------------------------------------------------
def parent_ended(platform, scenario_dir, program):
    """A line-mode run without a deadline: two children hang (in a logon, in a
    call) for an hour, a third waits for work. SIGTERM to the parent: within a
    few seconds none of them is left."""
    proc = run_program(platform, scenario_dir, program, ["x", "PXA-INFO PARALLEL=3", "ITEM=Hung"])
    problems = []
    children = []
    try:
        wait_for(lambda: 'RfcInvoke handle=' in journal_text(scenario_dir) or 'RfcCall handle=' in journal_text(
            scenario_dir), 30)
        children = wait_for(lambda: (lambda c: c if len(c) == 3 else None)(
            [pid for pid in processes_in(scenario_dir) if pid != proc.pid]), 10)
        if not children:
            problems.append("expected three children, found %s" % processes_in(scenario_dir))
        time.sleep(0.5)  # the hung ones are well inside the library
        proc.send_signal(signal.SIGTERM)
        proc.communicate(timeout=10)
        left = wait_for(lambda: not processes_in(scenario_dir), 5)
        if not left:
            problems.append("children left 5 s after their parent ended: %s" % processes_in(scenario_dir))
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.communicate()
        end_leftovers(processes_in(scenario_dir))
    return problems


SCENARIOS.append(dict(
    name="children: SIGTERM to the parent of a run without a deadline: no hung child outlives it",
    program="PoolMetrics-Quillon", library=True, files=files("HNG.P00#CAL.P00#PRD.P00#"), custom=parent_ended,
    platforms=ALL, timeout=60))


# --- no child can be started --------------------------------------------------------------
def nobody():
    """Root's processes are not held by RLIMIT_NPROC: the limited run is
    then made as user nobody (uid 65534), who has no other process."""
    os.setgroups([])
    os.setgid(65534)
    os.setuid(65534)


def limit(kind, number, as_nobody=False):
    """A function for the forked child before the program starts: the limit
    `kind` (a resource.RLIMIT_*) lowered to `number`."""
    def apply():
        if as_nobody:
            nobody()
        resource.setrlimit(kind, (number, number))
    return apply


def compared(title, width, apply=None, children=None, slower_than=None, faster_than=None, env=None):
    """Runs the listing sequentially, then with `width` (under the limit that
    `apply` sets in the forked child before the program starts); the output
    must be the same bytes and end with the same status. A moment after its
    start the run with `width` shows `children` children, and it takes at
    least `slower_than` seconds (its systems did not run side by side) or
    less than `faster_than` (they did)."""
    def run(platform, scenario_dir, program):
        def start(width, preexec=None):
            args = ["x", "PXA-INFO PARALLEL=%d #" % width, "ITEM=Same"]
            return subprocess.Popen(platform.command(program, args), cwd=scenario_dir,
                                    env=dict(platform.env, **((env or {}) if preexec else {})), preexec_fn=preexec,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)

        def shown(out, width):
            return normalise(out).replace(b"PARALLEL=%d" % width, b"PARALLEL=n").decode("latin-1")

        sequential = start(1)
        first, _ = sequential.communicate(timeout=60)
        started = time.time()
        proc = start(width, apply)
        try:
            time.sleep(1.5)
            seen = len([pid for pid in processes_in(scenario_dir) if pid != proc.pid])
            out, err = proc.communicate(timeout=60)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.communicate()
        elapsed = time.time() - started
        problems = []
        if sequential.returncode != 0:
            problems.append("sequential run: exit status %d" % sequential.returncode)
        if (proc.returncode, shown(out, width)) != (0, shown(first, 1)):
            problems.append("PARALLEL=%d%s differs (status %d):\n--- sequential\n%s\n--- parallel\n%s\n%s"
                            % (width, title, proc.returncode, shown(first, 1), shown(out, width),
                               err.decode("latin-1")))
        if children is not None and seen != children:
            problems.append("PARALLEL=%d%s: %d children, expected %d" % (width, title, seen, children))
        if slower_than and elapsed < slower_than:
            problems.append("PARALLEL=%d%s took %.1f s: its systems ran side by side" % (width, title, elapsed))
        if faster_than and elapsed >= faster_than:
            problems.append("PARALLEL=%d%s took %.1f s: its systems did not run side by side" % (width, title, elapsed))
        return problems
    return run


# PRD, the two slow systems, a refused one and QAS: 6 s at least when no
# two run side by side. QAS's destination file makes it open files of its
# own (SapRfc.ini and its lock), in the parent when it handles it.
SLOW_LISTING = "PRD.P00#SLA.P00#REF.P00#SLB.P00#QAS.P00#"
SLOW_FILES = dict(files(SLOW_LISTING), **{"SapRfc.QAS": "DEST=QAS\r\nTYPE=A\r\nASHOST=qas-host\r\nSYSNR=01\r\n"})
SEQUENTIAL_SECONDS = 2 * SLOW_MS / 1000
# A child's start takes six descriptors at once (its two pipes and the one
# that tells its start) and keeps two. With the standard three open, 8 leaves
# five: no child starts, and the run itself still opens its files; 10 lets
# one child start, never a second.
for number, children, what in [(8, 0, "the parent handles every system itself"),
                               (10, 1, "one child takes every system, the other places never start")]:
    SCENARIOS.append(dict(
        name="children: ulimit -n %d, PARALLEL=4: %s, byte for byte the sequential output" % (number, what),
        program="Holdrun", library=True, files=SLOW_FILES, platforms=("native",), timeout=60,
        custom=compared(" with ulimit -n %d" % number, 4, limit(resource.RLIMIT_NOFILE, number), children,
                        slower_than=SEQUENTIAL_SECONDS)))


def no_process_left(platform, scenario_dir, program):
    """ulimit -u 1: not even a thread can be started (nor the watchdog: the
    run goes on without a deadline). As root, whom the limit does not hold,
    the run is made as user nobody, who must reach the scenario's files."""
    as_nobody = os.geteuid() == 0
    if as_nobody:
        for root, dirs, names in os.walk(scenario_dir):
            os.chmod(root, 0o777)
            for name in names:
                os.chmod(os.path.join(root, name), 0o777)
        path = scenario_dir
        while path != "/":
            if not os.stat(path).st_mode & 0o001:
                return ["user nobody cannot reach %s: give --work a directory that others may enter" % path]
            path = os.path.dirname(path)
    # In the sanitizer build, LeakSanitizer's check at the end starts a
    # thread of its own, which the limit refuses.
    sanitizer = {"ASAN_OPTIONS": ":".join(filter(None, [platform.env.get("ASAN_OPTIONS"), "detect_leaks=0"]))}
    return compared(" with ulimit -u 1" + (" as user nobody" if as_nobody else ""), 4,
                    limit(resource.RLIMIT_NPROC, 1, as_nobody), 0, slower_than=SEQUENTIAL_SECONDS, env=sanitizer)(
        platform, scenario_dir, program)


SCENARIOS.append(dict(
    name="children: ulimit -u 1, PARALLEL=4: no child can be started, the parent handles every system itself, "
         "byte for byte the sequential output",
    program="Holdrun", library=True, files=SLOW_FILES, platforms=("native",), timeout=60, custom=no_process_left))


# --- the program's folder outside the ANSI code page -----------------------------------------
# Windows hands a program its path and arguments in the ANSI code page only
# where it asks in it: Cyrillic and Japanese letters would become "?", and
# no child could be started from such a folder.
SCENARIOS.append(dict(
    name="children: the program in a folder named in Cyrillic and Japanese starts its children: PARALLEL=2 "
         "prints byte for byte what the sequential run prints, its slow systems side by side",
    program="Holdrun", library=True, bin_dir="\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b "
    "\u65e5\u672c\u8a9e", files=files("PRD.P00#SLA.P00#SLB.P00#QAS.P00#"), platforms=ALL, timeout=90,
    custom=compared(" in the folder", 2, children=2, faster_than=SEQUENTIAL_SECONDS)))
