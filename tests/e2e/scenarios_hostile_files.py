"""Hostile files and names: device names (AUX, NUL, COM1, ...) where a profile,
the hint file's directory or a listed profile is expected; FIFOs and
directories in place of the files the program reads; listed names that lead
out of the profile directory; an RFC library cut short; and a run started
with its standard descriptors closed.

Every file the program reads must be a regular file: anything else counts as
missing, and no run may hang (each scenario has a time limit of 10 seconds).
A listed name that leads out of the profile directory counts as a profile
that cannot be opened: the file it names lies there with a system of its own,
whose figures or logon would show in the document and the library's journal
if it were read."""

import os
import shutil
import stat
import subprocess

from e2e import expand_names, expand_places, folder_as_seen, matches, normalise, run_program, xml_ok
from scenarios_faults import both, left_alone
from scenarios_foundation import NO_LIBRARY, error_doc, profile
from scenarios_global import (HEADER, DONE, LANDSCAPE, MARK, OPEN_XML, PROFILES, group, item_profile, lines, pxa,
                              pxa_xml, sensor, state, summary_xml)
from scenarios_rfc import INI_PROFILE, SAPRFC_PRD, files as rfc_files, landscape, prd, rows_doc
from scenarios_sensors import system, xml_problem

HINT = "C:\\PRTG_Path.Txt"
SENSOR_DIR = "D:\\PRTG\\Custom Sensors\\ExeXml\\"
TIMEOUT = 10
ALL_PLATFORMS = ("native", "wine", "wine64")


def missing(name):
    return error_doc("Error 1002: Profile %s is missing...{cause}" % name)


SCENARIOS = []

# --- device names as the profile ------------------------------------------------------
# On Windows each of these names a device in every directory; opening one
# waited forever (AUX, COM1) or read nothing (NUL: "Username ... missing").
# Natively they are ordinary names of files that are not there: the same
# document on both platforms.
DEVICES = ["AUX", "COM1", "NUL", "con", "Lpt1", "CONIN$", "CONOUT$", "CLOCK$", "COM1.P00", "NUL.cfg",
           "sub\\AUX", "\\\\.\\COM1", "\\\\?\\D:\\PRD"]


def shown(name):
    """The profile name as message 1002 shows it: ".P00" added when there is
    no three-character extension."""
    return name if len(name) >= 4 and name[-4] == "." else name + ".P00"


for name in DEVICES:
    SCENARIOS.append(dict(
        name="device name %s as the profile: missing, at once" % name, program="Holdrun", library=True,
        args=[name, "TOTAL-ROWS"], files={"PRD.P00": profile()}, stdout=missing(shown(name)), status=2, xml=True,
        timeout=TIMEOUT))
# Mode EXEXML through the hint file: the message names the file only. The
# fallbacks (the current directory, "\Program Files\...") are device names too.
for name in ["AUX", "COM1", "NUL", "CONOUT$"]:
    SCENARIOS += [
        dict(name="EXEXML, hint file: device name %s as the profile" % name, library=True, args=[name, "TOTAL-ROWS"],
             files={HINT: "D:\\PRTG\n", SENSOR_DIR + "PRD.P00": profile()}, stdout=missing(shown(name)), status=2,
             xml=True, timeout=TIMEOUT),
        dict(name="EXEXML, no hint file: device name %s as the profile" % name, library=True,
             args=[name, "TOTAL-ROWS"], stdout=missing(shown(name)), status=2, xml=True, timeout=TIMEOUT),
    ]
# The less common spellings of a device: CLOCK$, a dot at the end of the
# name, a drive in front ("C:NUL" is NUL on drive C).
for name in ["CLOCK$", "clock$.P00", "NUL.", "nul .", "C:NUL", "c:Com1.P00"]:
    SCENARIOS.append(dict(
        name="device spelled %s as the profile: missing, at once" % name, program="Holdrun", library=True,
        args=[name, "TOTAL-ROWS"], files={"PRD.P00": profile()}, stdout=missing(shown(name)), status=2, xml=True,
        timeout=TIMEOUT, platforms=ALL_PLATFORMS))
# The hint file's directory as a device: no profile in it, and no fallback.
for hint in ["\\\\.\\COM1\\", "\\\\.\\NUL", "\\\\?\\D:\\PRTG"]:
    SCENARIOS.append(dict(
        name="EXEXML, hint file naming %s: the profile is missing" % hint, library=True, args=["PRD", "TOTAL-ROWS"],
        files={HINT: hint + "\n", SENSOR_DIR + "PRD.P00": profile(),
               "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00": profile()},
        stdout=missing("PRD.P00"), status=2, xml=True, timeout=TIMEOUT))

# --- device names in a listing ----------------------------------------------------------
# Skipped like missing profiles, on both platforms alike: natively a file of
# that name exists (with the figures of another system) and is still not read.
EVIL_LANDSCAPE = "[landscape]\njournal = journal.txt\n\n" + LANDSCAPE + system("EVL", "evilhost", lines=pxa(66, 666))
EVIL = profile(destination="EVL", hostname="evilhost", gwhost="evilhost")
DEVICE_LISTING = ["AUX.P00", "nul.P00", "COM1.P00", "CON", "LPT9.P00", "CONIN$", "PRD.P00", "Aux .P00"]


def untouched_by(*systems):
    """A check: the library's journal names none of `systems` (no logon was
    tried with what the refused files hold)."""
    def check(scenario_dir, platform):
        path = os.path.join(scenario_dir, "journal.txt")
        with open(path, encoding="latin-1") as f:
            text = f.read()
        found = [s for s in systems if s in text]
        return "the journal names %s" % ", ".join(found) if found else None
    return check


def hostile_listing(name, given, args, out, *allowed, **keys):
    """A global run whose fixtures stay as written and that leaves nothing
    behind but the library's files (and `allowed`)."""
    # The output is compared whole; its <Prtg> element, with the state lines
    # inside, is checked for well-formedness here.
    check = both(left_alone(given, "journal.txt", "Dev_Rfc.Trc", *allowed), untouched_by("EVL", "evilhost"),
                 lambda d, p: xml_problem(out))
    return dict(name=name, program=keys.pop("program", "Holdrun"), library=True, files=given, args=args, stdout=out,
                status=0, timeout=TIMEOUT, check=check, **keys)


SCENARIOS.append(hostile_listing(
    "item run: device names in the listing are skipped like missing profiles",
    {"landscape.ini": EVIL_LANDSCAPE, "PRD.P00": PROFILES["PRD.P00"],
     "Overseer.Prf": item_profile("#".join(DEVICE_LISTING) + "#")}, ["x", "PXA-INFO #", "ITEM=Devices"],
    HEADER + "* hh:mm:ss PXA-INFO # ITEM=Devices State=Executing\n" + OPEN_XML
    + state("PRD.P00", "prdhost", "PRD", "00", "100", "Processed") + pxa_xml(5, 4711)
    + summary_xml("Devices", len(DEVICE_LISTING), 1, 0) + DONE))
SCENARIOS.append(hostile_listing(
    "item run: device names in the listing are skipped, files of that name are not read",
    {"landscape.ini": EVIL_LANDSCAPE, "PRD.P00": PROFILES["PRD.P00"], "AUX.P00": EVIL, "nul.P00": EVIL,
     "COM1.P00": EVIL, "CON": EVIL, "Overseer.Prf": item_profile("PRD.P00#AUX.P00#nul.P00#COM1.P00#CON#")},
    ["x", "PXA-INFO", "ITEM=Devices"], OPEN_XML + pxa_xml(5, 4711) + summary_xml("Devices", 5, 1, 0), xml=True,
    platforms=("native",)))

# The less common spellings of a device are skipped alike. Each is a file
# here (under Wine one that Windows would open as the device, or could not
# name at all), holding another system whose logon would show in the journal.
SPELLINGS = ["CLOCK$.P00", "clock$", "NUL.", "Aux. .P00", "C:NUL", "c:Com1.P00"]
SCENARIOS.append(hostile_listing(
    "item run: CLOCK$, trailing dots and a drive in front are device names in the listing too",
    dict({"landscape.ini": EVIL_LANDSCAPE, "PRD.P00": PROFILES["PRD.P00"],
          "Overseer.Prf": item_profile("#".join(SPELLINGS[:3]) + "#PRD.P00#" + "#".join(SPELLINGS[3:]) + "#")},
         **{name: EVIL for name in SPELLINGS}),
    ["x", "PXA-INFO", "ITEM=Spellings"],
    OPEN_XML + pxa_xml(5, 4711) + summary_xml("Spellings", len(SPELLINGS) + 1, 1, 0), xml=True,
    platforms=ALL_PLATFORMS))

# --- listed names that lead out of the profile directory --------------------------------
# Under Wine, mode EXEXML through the hint file: the profile directory is
# D:\PRTG\Custom Sensors\ExeXml\ and "..\..\..\outside" is D:\outside. A
# sub-folder stays allowed. The names that leave come last: read, their
# system's figures would be the document's, and its logon in the journal.
OUTSIDE_NAMES = ["..\\..\\..\\outside\\EVIL.P00", "sub\\..\\..\\EVIL.P00", "...\\EVIL.P00", "\\EVIL.P00",
                 "/EVIL.P00", "C:\\EVIL.P00", "D:EVIL.P00"]
OUTSIDE = {"landscape.ini": EVIL_LANDSCAPE, HINT: "D:\\PRTG\n",
           SENSOR_DIR + "sub\\QAS.P00": PROFILES["QAS.P00"], SENSOR_DIR + "PRD.P00": PROFILES["PRD.P00"],
           SENSOR_DIR + "Overseer.Prf": item_profile("sub\\QAS.P00#PRD.P00#" + "#".join(OUTSIDE_NAMES) + "#"),
           "D:\\outside\\EVIL.P00": EVIL, "D:\\PRTG\\Custom Sensors\\EVIL.P00": EVIL, SENSOR_DIR + "EVIL.P00": EVIL,
           "C:\\EVIL.P00": EVIL}
SCENARIOS.append(hostile_listing(
    "EXEXML item run: listed names out of the sensor directory are not read, a sub-folder is",
    OUTSIDE, ["x", "PXA-INFO #", "ITEM=Outside"],
    HEADER + "* hh:mm:ss PXA-INFO # ITEM=Outside State=Executing\n" + OPEN_XML
    + state("sub\\QAS.P00", "qas-host", "QAS", "01", "200", "Processed")
    + state("PRD.P00", "prdhost", "PRD", "00", "100", "Processed")
    + pxa_xml(5, 4711) + summary_xml("Outside", 2 + len(OUTSIDE_NAMES), 2, 0) + DONE,
    program="PoolMetrics", platforms=("wine",)))

# In the working directory (an item run of a front-end mode): names from a
# root or a drive. Each names a file that is there (natively "C:\EVIL.P00"
# and "\EVIL.P00" are plain names of files in the working directory, and
# /proc/self/cwd is the working directory); C:\ under Wine is the prefix's drive.
ROOTED_NAMES = ["\\EVIL.P00", "/proc/self/cwd/outside/EVIL.P00", "C:\\EVIL.P00", "/etc/EVIL.P00",
                "../outside/EVIL.P00", "C:EVIL.P00"]
ROOTED = {"landscape.ini": EVIL_LANDSCAPE, "sub/QAS.P00": PROFILES["QAS.P00"], "PRD.P00": PROFILES["PRD.P00"],
          "Overseer.Prf": item_profile("sub/QAS.P00#PRD.P00#" + "#".join(ROOTED_NAMES) + "#"),
          "outside/EVIL.P00": EVIL, "\\EVIL.P00": EVIL, "C:\\EVIL.P00": EVIL}
SCENARIOS.append(hostile_listing(
    "item run: listed names from a root or a drive are not read, a sub-folder is",
    ROOTED, ["x", "PXA-INFO #", "ITEM=Rooted"],
    HEADER + "* hh:mm:ss PXA-INFO # ITEM=Rooted State=Executing\n" + OPEN_XML
    + state("sub/QAS.P00", "qas-host", "QAS", "01", "200", "Processed")
    + state("PRD.P00", "prdhost", "PRD", "00", "100", "Processed")
    + pxa_xml(5, 4711) + summary_xml("Rooted", 2 + len(ROOTED_NAMES), 2, 0) + DONE))

# Natively, a global-file run in prof/: "../outside" and "sub/../.." lead out
# of it; "sub/" stays allowed, and so does "sub\" (a plain name natively).
NATIVE_OUTSIDE = ["../outside/EVIL.P00", "sub/../../EVIL.P00", "./../EVIL.P00", "sub/../sub/EVIL.P00",
                  "C:EVIL.P00", "AUX.P00"]
NATIVE_FILES = {"landscape.ini": EVIL_LANDSCAPE, "prof/sub/QAS.P00": PROFILES["QAS.P00"],
                "prof/sub\\REF.P00": PROFILES["REF.P00"], "prof/PRD.P00": PROFILES["PRD.P00"],
                "prof/sub/EVIL.P00": EVIL, "prof/C:EVIL.P00": EVIL, "prof/AUX.P00": EVIL, "outside/EVIL.P00": EVIL,
                "EVIL.P00": EVIL,
                "prof/SAP Overseer.Gbl": lines(
                    group("OUT", "sub/QAS.P00#sub\\REF.P00#PRD.P00#" + "#".join(NATIVE_OUTSIDE) + "#"),
                    sensor("OUT", "PXA-INFO," + MARK + ",Item=Outside"))}
SCENARIOS.append(hostile_listing(
    "global file run: listed names out of the profile directory are not read, sub-folders are",
    NATIVE_FILES, ["prof/GLOBAL", "OUT", "#"],
    HEADER + "* hh:mm:ss PXA-INFO State=Executing\n" + OPEN_XML
    + state("sub/QAS.P00", "qas-host", "QAS", "01", "200", "Processed")
    + state("sub\\REF.P00", "refhost", "REF", "02", "100", "Rfc Failure")
    + state("PRD.P00", "prdhost", "PRD", "00", "100", "Processed")
    + pxa_xml(5, 4711) + summary_xml("Outside", 3 + len(NATIVE_OUTSIDE), 2, 1) + DONE,
    platforms=("native",)))

# --- FIFOs and directories in place of the files the program reads ---------------------------
def run_checked(platform, scenario_dir, program, args, want, status, env=None, xml=True):
    """Runs the program within the time limit and compares its output whole."""
    proc = run_program(platform, scenario_dir, program, args, env=env)
    try:
        out, _ = proc.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        return ["%s did not end within %d seconds" % (" ".join(args), TIMEOUT)]
    problems = []
    got = normalise(out)
    want = expand_places(platform, scenario_dir, expand_names(platform, want),
                         os.path.dirname(program)).encode("latin-1")
    if not matches(want, got):
        problems.append("stdout differs:\n--- expected\n%s\n--- got\n%s" % (want.decode("latin-1"),
                                                                           got.decode("latin-1")))
    if proc.returncode != status:
        problems.append("exit status %d, expected %d" % (proc.returncode, status))
    if xml:
        ok, err = xml_ok(got[got.find(b"<Prtg>"):])
        if not ok:
            problems.append("document is not well-formed: " + err)
    return problems


# What takes the file's place: a FIFO without a writer (an open or a read
# that waits for one blocks) or a directory (reads as nothing, or fails).
KINDS = [("a FIFO", os.mkfifo, stat.S_ISFIFO, os.remove), ("a directory", os.mkdir, stat.S_ISDIR, os.rmdir)]


def in_place_of(name, kind, args, want, status):
    """A custom scenario: the file the program names `name` is of `kind`."""
    _, make, is_kind, remove = kind

    def run(platform, scenario_dir, program):
        path = platform.host_path(scenario_dir, name)
        make(path)
        try:
            problems = run_checked(platform, scenario_dir, program, args, want, status)
            if not is_kind(os.lstat(path).st_mode):
                problems.append("%s was replaced" % name)
        finally:
            remove(path)  # under Wine C:\ is the prefix's, outside the scenario
        return problems
    return run


for title, name, given, args, out, status, program in [
    ("the profile", "PRD.P00", {"landscape.ini": landscape(prd())}, ["PRD", "TOTAL-ROWS"], missing("PRD.P00"), 2,
     "Holdrun"),
    ("the item profile", "Overseer.Prf", {}, ["x", "PXA-INFO", "ITEM=Main"], missing("Overseer.Prf"), 2, "Holdrun"),
    ("the global sensor file", "SAP Overseer.Gbl", {}, ["GLOBAL", "KEY"], missing("SAP Overseer.Gbl"), 2,
     "Holdrun"),
    ("a listed profile", "QAS.P00", {"landscape.ini": LANDSCAPE, "PRD.P00": PROFILES["PRD.P00"],
                                     "Overseer.Prf": item_profile("PRD.P00#QAS.P00#")},
     ["x", "PXA-INFO", "ITEM=Odd"], OPEN_XML + pxa_xml(5, 4711) + summary_xml("Odd", 2, 1, 0), 0, "Holdrun"),
    ("the hint file: the fallbacks count", HINT,
     {"landscape.ini": landscape(prd()),
      "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00": profile()},
     ["PRD", "TOTAL-ROWS"], rows_doc(), 0, "PoolMetrics"),
    ("the trace file after a failed call", "Dev_Rfc.Trc", rfc_files(landscape(prd("receive_rc = 1")), here=True),
     ["PRD", "TOTAL-ROWS"], error_doc("Error 1014: RFC-Failure raised ! - Look for Trace-File"), 2, "Holdrun"),
    ("the destination file: the logon goes through RfcOpen", "SapRfc.PRD", rfc_files(here=True),
     ["PRD", "TOTAL-ROWS"], rows_doc(), 0, "Holdrun"),
]:
    for kind in KINDS:
        SCENARIOS.append(dict(name="%s as %s counts as missing, no hang" % (kind[0], title), program=program,
                              library=True, files=given, timeout=TIMEOUT,
                              custom=in_place_of(name, kind, args, out, status)))


# --- an RFC library cut short --------------------------------------------------------------
def cut_library(sizes, where="bin"):
    """A custom scenario: the library, cut to each of `sizes` bytes (negative:
    that many short of its end), lies in `where`; every run ends with 1031."""
    def run(platform, scenario_dir, program):
        with open(os.path.join(platform.library_dir, platform.library), "rb") as f:
            image = f.read()
        directory = os.path.join(scenario_dir, where)
        os.makedirs(directory, exist_ok=True)
        env = {"LD_LIBRARY_PATH": directory} if where != "bin" else None
        problems = []
        # The cut library is damaged where it lies; the other is not found.
        parts = []
        for library in (platform.classic_library, platform.nw_library):
            cause = ("%s%s is damaged (shorter than its headers say)"
                     % (folder_as_seen(platform, scenario_dir, directory), library)
                     if library == platform.library else "not found in {bin} nor by {search}")
            parts.append("RFC-Library %s could not be loaded (%s)" % (library, cause))
        want = error_doc("Error 1031: " + ", ".join(parts) + "...")
        for size in sizes:
            with open(os.path.join(directory, platform.library), "wb") as f:
                f.write(image[:size if size >= 0 else len(image) + size])
            problems += ["cut at %d: %s" % (size, p) for p in run_checked(
                platform, scenario_dir, program, ["PRD", "TOTAL-ROWS"], want, 2, env=env)]
        return problems
    return run


def library_in_search_path(platform, scenario_dir, program):
    """Natively the system's search is done by the program: a whole library in
    an LD_LIBRARY_PATH directory is loaded from there."""
    directory = os.path.join(scenario_dir, "lib")
    os.makedirs(directory)
    shutil.copy(os.path.join(platform.library_dir, platform.library), directory)
    return run_checked(platform, scenario_dir, program, ["PRD", "TOTAL-ROWS"], rows_doc(), 0,
                       env={"LD_LIBRARY_PATH": "/nonexistent:" + directory})


def odd_library(make):
    """A custom scenario: `make` puts something other than a file where the
    library is looked for beside the program."""
    def run(platform, scenario_dir, program):
        make(os.path.join(os.path.dirname(program), platform.library))
        return run_checked(platform, scenario_dir, program, ["PRD", "TOTAL-ROWS"], NO_LIBRARY, 2)
    return run


CUTS = [1000, 4096, 50000, 100000, 200000]
SCENARIOS += [
    dict(name="a library cut short beside the program: 1031, no crash", program="Holdrun", files=rfc_files(here=True),
         custom=cut_library(CUTS), timeout=TIMEOUT),
    dict(name="a library cut in its section headers beside the program: 1031", program="Holdrun",
         files=rfc_files(here=True), custom=cut_library([-1, -1000]), platforms=("native",), timeout=TIMEOUT),
    dict(name="a library cut short in LD_LIBRARY_PATH: 1031, no crash", program="Holdrun",
         files=rfc_files(here=True), custom=cut_library(CUTS, where="lib"), platforms=("native",), timeout=TIMEOUT),
    dict(name="a whole library in LD_LIBRARY_PATH is loaded from there", program="Holdrun",
         files=rfc_files(here=True), custom=library_in_search_path, platforms=("native",), timeout=TIMEOUT),
    dict(name="a directory as the library: 1031", program="Holdrun", files=rfc_files(here=True),
         custom=odd_library(os.makedirs), timeout=TIMEOUT),
    dict(name="a FIFO as the library: 1031, no hang", program="Holdrun", files=rfc_files(here=True),
         custom=odd_library(os.mkfifo), timeout=TIMEOUT),
]


# --- standard descriptors closed (natively) -------------------------------------------------
def closed_descriptors(*closed):
    """A custom scenario: the program starts with the descriptors `closed`
    and logs on through SapRfc.PRD under the lock, with progress lines. Its
    files (the lock file, SapRfc.ini, the profile) must not take the place of
    standard output: the lines go nowhere, and every file holds what it
    should."""
    def run(platform, scenario_dir, program):
        def close():
            for fd in closed:
                os.close(fd)
        proc = subprocess.Popen([program, "PRD", "TOTAL-ROWS #"], cwd=scenario_dir, env=platform.env,
                                stderr=subprocess.DEVNULL if 2 in closed else subprocess.PIPE, preexec_fn=close)
        try:
            _, err = proc.communicate(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
            return ["the run did not end within %d seconds" % TIMEOUT]
        problems = [] if proc.returncode == 0 else ["exit status %d, expected 0" % proc.returncode]
        if err:
            problems.append("the run wrote to standard error: %r" % err[:200])
        for name, content in [("SapRfc.lck", b""), ("SapRfc.ini", SAPRFC_PRD), ("SapRfc.PRD", SAPRFC_PRD),
                              ("PRD.P00", None)]:
            with open(os.path.join(scenario_dir, name), "rb") as f:
                got = f.read()
            if content is not None and got != content:
                problems.append("%s holds %r" % (name, got[:200]))
            if b"State=" in got or b"<Prtg>" in got:
                problems.append("%s received what was meant for standard output" % name)
        with open(os.path.join(scenario_dir, "journal.txt"), encoding="latin-1") as f:
            if "RfcOpenEx result handle=1 system=PRD" not in f.read():
                problems.append("no logon through SapRfc.PRD in the journal")
        return problems
    return run


for closed in [(0, 1), (0, 1, 2)]:
    SCENARIOS.append(dict(
        name="standard descriptors %s closed: no file takes their place" % ", ".join(map(str, closed)),
        program="Holdrun", library=True, platforms=("native",), custom=closed_descriptors(*closed), timeout=TIMEOUT,
        files=rfc_files(profile_text=INI_PROFILE, here=True, **{"SapRfc.PRD": SAPRFC_PRD})))
