"""The answers that runs share (CACHE=n): one logon per system and interval,
documents byte for byte those of uncached runs, refusals kept too, keys that
never mix two logons, files that are damaged or foreign, a store that cannot
be used, global and parallel runs, and a deadline that passes while a run
waits for its key's turn."""

import fcntl
import os
import re
import shutil
import subprocess
import time

import prtg_contract
from e2e import encode_password, expand, normalise, run_program
from scenarios_foundation import error_doc, profile
from scenarios_global import OPEN_XML, item_profile, pxa, pxa_xml, summary_xml
from scenarios_sensors import LANDSCAPE as SENSORS_PRD, SENSORS, STARTUP, document, system

SCENARIOS = []
KEYWORDS = [keyword for keyword, _, _ in SENSORS]

LANDSCAPE = ("[landscape]\njournal = journal.txt\n\n" + SENSORS_PRD
             + system("QAS", "qas-host", sysnr="01", client="200", password="secret2", lines=pxa(6, 815))
             + system("REF", "refhost", sysnr="02", lines=["refuse_logon = yes"])
             + system("NWP", "nwphost", sysnr="03", lines=pxa(7, 77)))
PROFILES = {
    "PRD.P00": profile(),
    "QAS.P00": profile(destination="QAS", hostname="qas-host", sysnr="01", client="200", password="{pw:secret2}"),
    "REF.P00": profile(destination="REF", hostname="refhost", sysnr="02"),
    "NWP.P00": profile(destination="NWP", hostname="nwphost", sysnr="03"),
    # PRD's logon but for one part each: none may share PRD's answers.
    "CLI.P00": profile(client="101"),
    "USR.P00": profile(user="other"),
    "LNG.P00": profile(language="D"),
    "NUM.P00": profile(sysnr="01"),
}
FILES = dict({"landscape.ini": LANDSCAPE}, **PROFILES)
LOGON = re.compile(r"^RfcOpen(Ex|Connection)? result ", re.M)
CALL = re.compile(r"^(RfcCall handle=|RfcInvoke result )", re.M)


def counted(scenario_dir):
    """Logons tried and calls made, by the library's journal."""
    path = os.path.join(scenario_dir, "journal.txt")
    if not os.path.exists(path):
        return 0, 0
    with open(path, encoding="latin-1") as f:
        text = f.read()
    return len(LOGON.findall(text)), len(CALL.findall(text))


def run(platform, scenario_dir, program, args, env=None):
    proc = run_program(platform, scenario_dir, program, args, env)
    out, err = proc.communicate(timeout=60)
    return proc.returncode, normalise(out).decode("latin-1"), normalise(prtg_contract.program_lines(err)).decode(
        "latin-1")


def store(scenario_dir, program):
    return os.path.join(os.path.dirname(program), "PoolMetrics.cache")


def stored(scenario_dir, program, ending):
    """The store's one file with this ending (the scenario's runs share one key)."""
    folder = store(scenario_dir, program)
    return next(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(ending))


def check_field(body):
    """The check that ends an answer file: the FNV-1a digest (64 bits) of
    the text before it, as a field."""
    digest = 14695981039346656037
    for byte in body:
        digest = ((digest ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return b"16:%016x" % digest


def resealed(text):
    """An answer file changed on purpose, with its check made anew: what
    the reader then refuses, it refuses for the change, not the check."""
    return text[:-19] + check_field(text[:-19])


def expect(problems, label, got, want):
    if got != want:
        problems.append("%s: got %r, expected %r" % (label, got, want))


# --- every sensor type of one system within n seconds: one logon -------------------------
def thirteen_sensors(platform, scenario_dir, program):
    problems = []
    for keyword in KEYWORDS:
        status, out, _ = run(platform, scenario_dir, program, ["PRD", keyword + ",CACHE=60"])
        expect(problems, keyword, (status, out), (0, document("xml", keyword)))
    expect(problems, "logons and calls", counted(scenario_dir), (1, 1))
    return problems


SCENARIOS.append(dict(name="cache: the 13 sensor types of one system make one logon and one call, same documents",
                      program="Holdrun", library=True, files=FILES, custom=thirteen_sensors))


# --- through the NetWeaver library -------------------------------------------------------
def netweaver_sensors(platform, scenario_dir, program):
    problems = []
    first = run(platform, scenario_dir, program, ["NWP", "PXA-INFO"])
    for n in range(3):
        expect(problems, "run %d" % n, run(platform, scenario_dir, program, ["NWP", "PXA-INFO,CACHE=60"]), first)
    expect(problems, "logons and calls", counted(scenario_dir), (2, 2))
    return problems


SCENARIOS.append(dict(name="cache: through the NetWeaver library, three runs, one logon and one call",
                      program="Holdrun", nwrfc=True, files=FILES, custom=netweaver_sensors,
                      platforms=("native", "wine", "wine64")))


# --- twenty runs at once ------------------------------------------------------------------
def twenty_at_once(platform, scenario_dir, program):
    procs = [run_program(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"]) for _ in range(20)]
    problems = []
    for n, proc in enumerate(procs):
        out, _ = proc.communicate(timeout=120)
        expect(problems, "run %d" % n, (proc.returncode, normalise(out).decode("latin-1")),
               (0, document("xml", "PXA-INFO")))
    expect(problems, "logons and calls", counted(scenario_dir), (1, 1))
    return problems


SCENARIOS.append(dict(name="cache: twenty runs started at once for one system make one logon",
                      program="Holdrun", library=True, files=FILES, custom=twenty_at_once, timeout=150))


# --- an answer older than n seconds is fetched anew -----------------------------------------
def expired(platform, scenario_dir, program):
    problems = []
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=1"])
    time.sleep(1.2)
    status, out, _ = run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=1"])
    expect(problems, "second run", (status, out), (0, document("xml", "PXA-INFO")))
    expect(problems, "logons and calls", counted(scenario_dir), (2, 2))
    # One that a clock set back dates in the future is stale too.
    answer = stored(scenario_dir, program, ".answer")
    os.utime(answer)
    with open(answer, "rb") as f:
        text = f.read()
    fetched = re.search(rb"(\d+):(\d{9,})", text)
    future = str(int(fetched.group(2)) + 3600).encode()
    text = text.replace(fetched.group(0), str(len(future)).encode() + b":" + future, 1)
    with open(answer, "wb") as f:
        f.write(resealed(text))
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
    expect(problems, "after an answer dated in the future", counted(scenario_dir), (3, 3))
    return problems


SCENARIOS.append(dict(name="cache: an expired answer, or one dated in the future, makes a new logon",
                      program="Holdrun", library=True, files=FILES, custom=expired))


# --- a refused logon is kept: one refusal per interval, not one per sensor ----------------------
def refused(platform, scenario_dir, program):
    problems = []
    for n in range(3):
        status, out, _ = run(platform, scenario_dir, program, ["REF", "PXA-INFO,CACHE=60"])
        # A served refusal reads like the first: with the library's cause.
        key = "RFC_LOGON_FAILURE" if platform.library == platform.nw_library else "RFC_ERROR_LOGON_FAILURE"
        expect(problems, "run %d" % n, (status, out), (2, error_doc(
            "Error 1011: RFC-Open for REF failed ! %s: Name or password is incorrect (repeat logon)" % key)))
    expect(problems, "logons and calls", counted(scenario_dir), (1, 0))
    return problems


SCENARIOS.append(dict(name="cache: a refused logon is kept: three runs, one refused logon",
                      program="Holdrun", library=True, files=FILES, custom=refused))


# --- logons that differ in any part never share -----------------------------------------------
def never_shared(platform, scenario_dir, program):
    problems = []
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
    for n, name in enumerate(("CLI", "USR", "LNG", "NUM"), start=2):
        run(platform, scenario_dir, program, [name, "PXA-INFO,CACHE=60"])
        expect(problems, name, counted(scenario_dir)[0], n)
    # The overrides are part of the logon too.
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60,NO=02"])
    expect(problems, ",NO=02", counted(scenario_dir)[0], 6)
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60,HOST=qas-host"])
    expect(problems, ",HOST=qas-host", counted(scenario_dir)[0], 7)
    return problems


SCENARIOS.append(dict(name="cache: profiles that differ only in client, user, language or system number never share",
                      program="Holdrun", library=True, files=FILES, custom=never_shared))


# --- a file that is not this key's answer is ignored and replaced -------------------------------
def damaged_files(platform, scenario_dir, program):
    problems = []
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
    answer = stored(scenario_dir, program, ".answer")
    with open(answer, "rb") as f:
        good = f.read()
    damages = [
        ("damaged", resealed(good.replace(b"answered", b"answerex"))),
        ("failing its check", good.replace(b"answered", b"answerex")),
        ("cut short", good[:len(good) // 2]),
        ("of another key", resealed(good.replace(b"3:PRD", b"3:QAS", 1))),
        ("of another version", resealed(good.replace(b"PoolMetrics answer 3", b"PoolMetrics answer 9"))),
        ("empty", b""),
    ]
    logons = 1
    for label, text in damages:
        with open(answer, "wb") as f:
            f.write(text)
        status, out, _ = run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
        logons += 1
        expect(problems, label, (status, out, counted(scenario_dir)[0]), (0, document("xml", "PXA-INFO"), logons))
        # Replaced by this run's answer: its version and key (the time it was
        # fetched, and the response times after it, move on).
        with open(answer, "rb") as f:
            kept = f.read()
        fetched = re.compile(rb"\d+:\d{9,}\d+:\d\d:\d\d:\d\d")
        if fetched.sub(b"", kept.split(b"answered")[0]) != fetched.sub(b"", good.split(b"answered")[0]):
            problems.append("%s: not replaced by a good answer" % label)
    return problems


SCENARIOS.append(dict(name="cache: a damaged, truncated, foreign-key or other-version file is ignored and replaced",
                      program="Holdrun", library=True, files=FILES, custom=damaged_files))


# --- a kept answer with one byte changed is never served ------------------------------------
def flipped_bytes(platform, scenario_dir, program):
    problems = []
    want = run(platform, scenario_dir, program, ["PRD", "PXA-INFO"])
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
    answer = stored(scenario_dir, program, ".answer")
    with open(answer, "rb") as f:
        good = f.read()
    # Spread over the file, its fields' lengths, figures and check included;
    # a digit becomes another digit, anything else another byte.
    logons = counted(scenario_dir)[0]
    for at in sorted(set(range(0, len(good), max(1, len(good) // 24))) | {len(good) - 1}):
        byte = good[at]
        flipped = ord("0") + (byte - ord("0") + 1) % 10 if chr(byte).isdigit() else byte ^ 0x20
        with open(answer, "wb") as f:
            f.write(good[:at] + bytes([flipped]) + good[at + 1:])
        got = run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
        logons += 1
        expect(problems, "byte %d of %d flipped" % (at, len(good)), (got, counted(scenario_dir)[0]), (want, logons))
    return problems


SCENARIOS.append(dict(name="cache: a kept answer with any one byte changed is not served: a new logon, the same document",
                      program="Holdrun", library=True, files=FILES, custom=flipped_bytes, timeout=180))


# --- a store that cannot be used: the run logs on as without one ------------------------------
def unusable(kind):
    def scenario(platform, scenario_dir, program):
        folder = store(scenario_dir, program)
        if kind == "file":
            with open(folder, "w") as f:
                f.write("not a folder")
            why = "is no folder"
        elif kind == "link":
            os.makedirs(os.path.join(scenario_dir, "elsewhere"))
            os.symlink(os.path.join(scenario_dir, "elsewhere"), folder)
            why = "is a link"
        else:
            os.makedirs(folder)
            os.chmod(folder, 0o777)
            why = "is writable by others"
        problems = []
        for _ in range(2):
            status, out, _ = run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60 #"])
            if "* PoolMetrics.cache not used: %s, logon as without it\n" % why not in out:
                problems.append("no line that says why:\n" + out)
        expect(problems, "logons", counted(scenario_dir)[0], 2)
        return problems
    return scenario


SCENARIOS += [
    dict(name="cache: a store that is a file is not used; the runs log on and say so", program="Holdrun",
         library=True, files=FILES, custom=unusable("file"), platforms=("native", "wine", "wine64")),
    dict(name="cache: a store that is a link is not used", program="Holdrun", library=True, files=FILES,
         custom=unusable("link"), platforms=("native",)),
    dict(name="cache: a store that others may write is not used", program="Holdrun", library=True, files=FILES,
         custom=unusable("open"), platforms=("native",)),
]


# --- what a kept answer's run prints and leaves --------------------------------------------
def kept_run_prints(platform, scenario_dir, program):
    problems = []
    first = run(platform, scenario_dir, program, ["PRD", "PXA-INFO TIMES,CACHE=60 #"])
    trace = os.path.join(scenario_dir, "Dev_Rfc.Trc")
    with open(trace, "w") as f:
        f.write("a trace file of another run\n")
    second = run(platform, scenario_dir, program, ["PRD", "PXA-INFO TIMES,CACHE=60 #"])
    # The same document, response times of the run that fetched it included;
    # in place of the logon's lines one line that the answer was kept.
    document_of = lambda out: out[out.find("\n<Prtg>"):out.find("</Prtg>")]
    expect(problems, "the document", document_of(second[1]), document_of(first[1]))
    if "* Answer kept......: fetched hh:mm:ss, no logon\n" not in second[1]:
        problems.append("no line that the answer was kept:\n" + second[1])
    if not os.path.exists(trace):
        problems.append("a kept answer's run deleted Dev_Rfc.Trc")
    expect(problems, "logons", counted(scenario_dir)[0], 1)
    return problems


SCENARIOS.append(dict(name="cache: a kept answer prints the fetching run's response times and touches no trace file",
                      program="Holdrun", library=True, files=FILES, custom=kept_run_prints,
                      platforms=("native", "wine", "wine64")))


# --- global and parallel runs use the store per system ----------------------------------------
def global_runs(platform, scenario_dir, program):
    problems = []
    with open(os.path.join(scenario_dir, "Overseer.Prf"), "w") as f:
        f.write(item_profile("PRD.P00#QAS.P00#REF.P00#"))
    uncached = run(platform, scenario_dir, program, ["x", "PXA-INFO", "ITEM=Main"])
    logons = counted(scenario_dir)[0]
    # PRD's answer kept by a single run; the global run asks QAS and REF.
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=60"])
    for width in (1, 3):
        got = run(platform, scenario_dir, program, ["x", "PXA-INFO,CACHE=60 PARALLEL=%d" % width, "ITEM=Main"])
        expect(problems, "PARALLEL=%d" % width, got, uncached)
    expect(problems, "logons", counted(scenario_dir)[0], logons + 1 + 2)
    return problems


SCENARIOS.append(dict(name="cache: global and parallel runs print what uncached runs print, with answers kept",
                      program="Holdrun", library=True, files=FILES, custom=global_runs))


# --- a deadline that passes while a run waits for its key's turn --------------------------------
def deadline_in_turn(platform, scenario_dir, program):
    problems = []
    run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=1"])
    lock = stored(scenario_dir, program, ".lock")
    time.sleep(1.1)  # the answer is stale: the next run must wait for the turn
    with open(lock, "r+") as held:
        fcntl.lockf(held, fcntl.LOCK_EX)
        started = time.time()
        status, out, _ = run(platform, scenario_dir, program, ["PRD", "PXA-INFO,CACHE=1,TIMEOUT=1"])
        elapsed = time.time() - started
    expect(problems, "the run", (status, out),
           (2, error_doc("Error 1033: Timeout after 1 s in the logon to PRD...")))
    if elapsed < 1:
        problems.append("answered after %.2f s" % elapsed)
    return problems


SCENARIOS.append(dict(name="cache: a deadline that passes while a run waits for the key's turn is 1033 for the logon",
                      program="Holdrun", library=True, files=FILES, custom=deadline_in_turn, platforms=("native",)))


# --- the destination entries are part of the key ---------------------------------------------
# Folder A holds a destination entry that sends PRD's logon to sapprd02, with
# other figures; folder B none, so its runs log on to the profile's prdhost.
ELSEWHERE = (system("PRD", "prdhost", lines=pxa(5, 4711)) + system("PR2", "sapprd02", lines=pxa(9, 999))
             + system("QAS", "qas-host", sysnr="01", lines=pxa(6, 815)))
CLASSIC_ENTRY = {"SapRfc.PRD": "DEST=PRD\r\nTYPE=A\r\nASHOST=sapprd02\r\nSYSNR=00\r\n"}
NETWEAVER_ENTRY = {"sapnwrfc.ini": "DEST=PRD\nASHOST=sapprd02\nSYSNR=00\n"}


def in_folder(platform, scenario_dir, name, entries):
    """A working folder of its own, with the landscape, the profiles and `entries`."""
    folder = os.path.join(scenario_dir, name)
    os.makedirs(folder, exist_ok=True)
    for file_name, text in dict({"landscape.ini": "[landscape]\njournal = journal.txt\n\n" + ELSEWHERE,
                                 "PRD.P00": profile(),
                                 "QAS.P00": profile(destination="QAS", hostname="qas-host", sysnr="01"),
                                 "NOH.P00": profile(destination="NOH", hostname="nohost", sysnr="07")},
                                **entries).items():
        path = os.path.join(folder, file_name)
        if text is None:  # a folder
            os.makedirs(path)
            continue
        with open(path, "wb") as f:
            f.write(expand(platform, text))
    return folder


def entries_in_key(entries, extra=""):
    def scenario(platform, scenario_dir, program):
        a, b = in_folder(platform, scenario_dir, "A", entries), in_folder(platform, scenario_dir, "B", {})
        arguments = "PXA-INFO" + extra
        uncached = {a: run(platform, a, program, ["PRD", arguments]), b: run(platform, b, program, ["PRD", arguments])}
        problems = []
        if uncached[a] == uncached[b]:
            problems.append("the entry sends the logon nowhere else: %r" % (uncached[a],))
        for order in ((a, b), (b, a)):
            shutil.rmtree(store(scenario_dir, program), ignore_errors=True)
            for folder in order:
                got = run(platform, folder, program, ["PRD", arguments + ",CACHE=60"])
                expect(problems, "cached run in %s after %s" % (os.path.basename(folder), os.path.basename(order[0])),
                       got, uncached[folder])
        return problems
    return scenario


def entry_beside_program(platform, scenario_dir, program):
    """A sapnwrfc.ini that appears beside the program sends the next run's
    logon elsewhere: that run does not take the answer kept before it."""
    problems = []
    a = in_folder(platform, scenario_dir, "A", {})
    before = run(platform, a, program, ["PRD", "PXA-INFO"])
    expect(problems, "cached run without the file", run(platform, a, program, ["PRD", "PXA-INFO,CACHE=60"]), before)
    with open(os.path.join(os.path.dirname(program), "sapnwrfc.ini"), "w") as f:
        f.write(NETWEAVER_ENTRY["sapnwrfc.ini"])
    status, out, _ = run(platform, a, program, ["PRD", "PXA-INFO,CACHE=60"])
    expect(problems, "cached run with the file beside the program", (status, "<Value>999</Value>" in out), (0, True))
    return problems


SCENARIOS += [
    dict(name="cache: a sapnwrfc.ini put beside the program between two runs is part of the key",
         program="Holdrun", nwrfc=True, files={}, custom=entry_beside_program, platforms=("native", "wine", "wine64")),
    dict(name="cache: a SapRfc.PRD that sends the logon elsewhere is part of the key (folder with it, folder without)",
         program="Holdrun", library=True, files={}, custom=entries_in_key(CLASSIC_ENTRY), platforms=("native", "wine")),
    dict(name="cache: a SapRfc.PRD is part of the key also with ,HOST=, which it overrides",
         program="Holdrun", library=True, files={}, custom=entries_in_key(CLASSIC_ENTRY, ",HOST=prdhost"),
         platforms=("native", "wine")),
    dict(name="cache: a sapnwrfc.ini entry DEST=PRD is part of the key (NetWeaver library)",
         program="Holdrun", nwrfc=True, files={}, custom=entries_in_key(NETWEAVER_ENTRY),
         platforms=("native", "wine", "wine64")),
    dict(name="cache: a sapnwrfc.ini entry DEST=PRD is part of the key also with ,HOST= (NetWeaver library)",
         program="Holdrun", nwrfc=True, files={}, custom=entries_in_key(NETWEAVER_ENTRY, ",HOST=prdhost"),
         platforms=("native", "wine", "wine64")),
]


# --- only what SAP or the network answered is kept ---------------------------------------------
QAS_ENTRY = "DEST=QAS\r\nTYPE=A\r\nASHOST=qas-host\r\nSYSNR=01\r\n"


def answers_kept(scenario_dir, program):
    folder = store(scenario_dir, program)
    return len([n for n in os.listdir(folder) if n.endswith(".answer")]) if os.path.isdir(folder) else 0


def local_fault_not_kept(entries, reason):
    """Folder A's run fails on this side (1011 with `reason`, the library's
    or the program's); nothing is kept, its next run tries again, and a run
    from a healthy folder B with the same destination entry logs on."""
    def scenario(platform, scenario_dir, program):
        problems = []
        a = in_folder(platform, scenario_dir, "A", entries)
        b = in_folder(platform, scenario_dir, "B", {"SapRfc.QAS": QAS_ENTRY})
        for n in range(2):
            status, out, _ = run(platform, a, program, ["QAS", "PXA-INFO,CACHE=60"])
            expect(problems, "run %d in A" % n, (status, "Error 1011: RFC-Open for QAS failed ! " in out, reason in out),
                   (2, True, True))
            expect(problems, "answers kept after run %d in A" % n, answers_kept(scenario_dir, program), 0)
        status, out, _ = run(platform, b, program, ["QAS", "PXA-INFO,CACHE=60"])
        expect(problems, "run in B", (status, "<Value>815</Value>" in out), (0, True))
        return problems
    return scenario


def unreached_kept(platform, scenario_dir, program):
    """An unreached host is the network's answer: kept, so that the sensors
    of a system that is down make one attempt per interval."""
    problems = []
    a = in_folder(platform, scenario_dir, "A", {})
    first = run(platform, a, program, ["NOH", "PXA-INFO,CACHE=60"])
    expect(problems, "first run", (first[0], "not reached" in first[1]), (2, True))
    expect(problems, "second run", run(platform, a, program, ["NOH", "PXA-INFO,CACHE=60"]), first)
    expect(problems, "logons", counted(a)[0], 1)
    return problems


SCENARIOS += [
    dict(name="cache: SapRfc.QAS that cannot be copied (SapRfc.ini a folder) is a local fault: 1011, never kept",
         program="Holdrun", library=True, files={},
         custom=local_fault_not_kept({"SapRfc.QAS": QAS_ENTRY, "SapRfc.ini": None},
                                     "SapRfc.QAS could not be copied to SapRfc.ini in the working directory"),
         platforms=("native", "wine")),
    dict(name="cache: SapRfc.QAS without the entry is a local fault (RFC_ERROR_PROGRAM): 1011, never kept",
         program="Holdrun", library=True, files={},
         custom=local_fault_not_kept({"SapRfc.QAS": QAS_ENTRY.replace("DEST=QAS", "DEST=XYZ")}, "RFC_ERROR_PROGRAM"),
         platforms=("native", "wine")),
    dict(name="cache: a sapnwrfc.ini entry the NetWeaver library cannot use is a local fault: 1011, never kept",
         program="Holdrun", nwrfc=True, files={},
         custom=local_fault_not_kept({"sapnwrfc.ini": "DEST=QAS\nSYSNR=01\n"}, "RFC_INVALID_PARAMETER"),
         platforms=("native", "wine", "wine64")),
    dict(name="cache: an unreached host is kept: two runs, one connection attempt", program="Holdrun", library=True,
         files={}, custom=unreached_kept, platforms=("native", "wine")),
    dict(name="cache: an unreached host is kept through the NetWeaver library too", program="Holdrun", nwrfc=True,
         files={}, custom=unreached_kept, platforms=("native", "wine", "wine64")),
]
