"""Destinations and profile values that would reach another file or another
system: a Destination that is SapRfc.ini itself, the lock file or a link to
them; one that is a path out of the working directory or a device; values
longer than their field; a copy over SapRfc.ini that fails half-way; the
"* SapRfc.Ini" line inside a global run's document; and the administrator's
command on hostile input.

Every run scenario compares the whole output and the exit status, the bytes
of SapRfc.ini after the run, and that no file was left behind that the run
had no business with. Each has a time limit of ten seconds: a device opened
as a destination file would block."""

import os
import subprocess

from e2e import normalise
from scenarios_faults import LIBRARY_FILES, both, profile_fault, scenario
from scenarios_foundation import error_doc, profile
from scenarios_global import DONE, HEADER, LANDSCAPE as GLOBAL_LANDSCAPE, OPEN_XML, item_profile, pxa_xml, state, \
    summary_xml
from scenarios_rfc import (ENV, OPEN_EX, SAPRFC_PRD, SAPRFC_READ, STANDARD, files, ini_line, journal, opened,
                           options, r3only, rows_doc, well_formed)

LIMIT = 10
BOTH = ("native", "wine")
# What the administrator keeps in SapRfc.ini: every run that does not copy a
# destination file over it must leave these bytes as they are.
KEPT_INI = b"* kept by the administrator\r\nDEST=QAS\r\nTYPE=A\r\nASHOST=qashost\r\nSYSNR=01\r\n"
TEMP = "SapRfc-ini.tmp"  # where the new SapRfc.ini is written first
# The copy over SapRfc.ini failed: no logon was tried.
OPEN_FAILED = error_doc("Error 1011: RFC-Open for PRD failed ! "
                        "SapRfc.PRD could not be copied to SapRfc.ini in the working directory")
FAULT = profile_fault(1003, "PRD.P00")

SCENARIOS = []


def run(name, given, *allowed, platforms=BOTH, **keys):
    """A single run of Holdrun with the emulated library: fixtures unchanged
    (SapRfc.ini above all), nothing left behind but `allowed`."""
    keys.setdefault("args", ["PRD", "TOTAL-ROWS"])
    keys.setdefault("program", "Holdrun")
    keys.setdefault("library", True)
    return scenario(name, given, *allowed, platforms=platforms, timeout=LIMIT, **keys)


# --- SapRfc.ini, the lock file and the new file are no destination files ------------------
# A destination file that is one of them would empty SapRfc.ini or fill it with
# the lock file: the run logs on directly, as without a destination file.
def direct_logon(destination):
    return journal(ENV, options(destination=destination), r3only(), *opened())


for destination, platforms in [
    ("ini", BOTH), ("lck", BOTH),
    # Windows spellings of SapRfc.ini: case, trailing dot, trailing blanks.
    ("INI", ("wine",)), ("ini.", ("wine",)), ("ini  ", ("wine",)), ("Lck .", ("wine",)),
]:
    given = files(profile_text=profile(destination=destination), here=True,
                  **{"SapRfc.ini": KEPT_INI, "SapRfc.lck": b""})
    SCENARIOS.append(run("destination %r is SapRfc.ini or the lock file: direct logon, SapRfc.ini kept" % destination,
                         given, stdout=rows_doc(destination=destination), status=0,
                         check=direct_logon(destination), platforms=platforms))


def links(scenario_dir, platform):
    os.symlink("SapRfc.ini", os.path.join(scenario_dir, "SapRfc.LNK"))
    os.link(os.path.join(scenario_dir, "SapRfc.ini"), os.path.join(scenario_dir, "SapRfc.HRD"))
    os.symlink(TEMP, os.path.join(scenario_dir, "SapRfc.TMP"))


# Links to SapRfc.ini (symbolic and hard) are SapRfc.ini. A link to the new
# file (here left over by a run that was killed) is the new file: copied, it
# would be emptied by its own copy.
for destination in ["LNK", "HRD", "TMP"]:
    SCENARIOS.append(run("destination %s is a link to SapRfc.ini or the new file: direct logon, both kept"
                         % destination,
                         files(profile_text=profile(destination=destination), here=True,
                               **{"SapRfc.ini": KEPT_INI, TEMP: SAPRFC_PRD}),
                         "SapRfc.LNK", "SapRfc.HRD", "SapRfc.TMP", "SapRfc.lck", setup=links,
                         stdout=rows_doc(destination=destination), status=0, check=direct_logon(destination)))

# The same destination file by another name is still a destination file.
SAPRFC_PRX = b"DEST=PRX\nTYPE=A\nASHOST=prdhost\nSYSNR=00\n"
SCENARIOS.append(run(
    "a link to an ordinary destination file is copied like it",
    files(profile_text=profile(destination="PRX", hostname="nohost", sysnr="05"), here=True,
          **{"SapRfc.DST": SAPRFC_PRX}),
    "SapRfc.PRX", "SapRfc.ini", "SapRfc.lck", setup=lambda d, p: os.symlink("SapRfc.DST", os.path.join(d, "SapRfc.PRX")),
    stdout=ini_line("PRX") + rows_doc(destination="PRX"), status=0, after={"SapRfc.ini": SAPRFC_PRX},
    check=journal(ENV, OPEN_EX.replace("DEST=PRD", "DEST=PRX"), SAPRFC_READ.replace('DEST="PRD"', 'DEST="PRX"'),
                  *opened(how="RfcOpenEx"))))

# --- a destination is a file of the working directory, never a path or a device -----------
# The working directory is work\; a destination file outside it waits in the
# scenario's directory, and SapRfc.x is a folder, so that x/../../sec leads there.
# (A "/" in a fixture's name makes a folder on both platforms.)
OUTSIDE = {"work/PRD.P00": profile(), "work/landscape.ini": STANDARD, "work/SapRfc.x": None,
           "work/SapRfc.ini": KEPT_INI, "sec": SAPRFC_PRD, "work/sec": SAPRFC_PRD}
for destination in ["x/../../sec", "\\..\\..\\sec", "x\\..\\sec", "..\\sec", "C:sec", "D:\\sec"]:
    given = dict(OUTSIDE)
    given["work/PRD.P00"] = profile(destination=destination)
    SCENARIOS.append(run("destination %r out of the working directory: 1003, nothing read" % destination, given,
                         cwd="work", stdout=FAULT, status=2))

# Devices: opened as a destination file, \..\NUL emptied SapRfc.ini and
# \..\AUX or \..\COM1 blocked while holding the lock. Any spelling of a
# device name is refused the same on every platform.
for destination in ["\\..\\NUL", "\\..\\AUX", "\\..\\COM1", "NUL", "aux.txt", "con ", "Lpt1.", "CONIN$", "COM\xb9"]:
    SCENARIOS.append(run("destination %r names a device: 1003, no hang" % destination,
                         files(profile_text=profile(destination=destination), here=True,
                               **{"SapRfc.ini": KEPT_INI}), stdout=FAULT, status=2))

# The less common spellings of a device: CLOCK$, a dot at the end, a drive in
# front. The destination file of each name lies here (natively a file like
# any other): taken, it would replace SapRfc.ini and log on to PRD.
for destination in ["CLOCK$", "Clock$.x", "NUL.", "com1. ", "C:NUL", "d:clock$"]:
    SCENARIOS.append(run("destination %r is a device name too: 1003, SapRfc.ini kept" % destination,
                         files(profile_text=profile(destination=destination), here=True,
                               **{"SapRfc.ini": KEPT_INI, "SapRfc." + destination: SAPRFC_PRD}),
                         stdout=FAULT, status=2, platforms=BOTH + ("wine64",)))

# Characters that no Windows file name holds.
for destination in ["PR<D", "PR\"D", "PR|D", "PR?", "PR*", "PR\tD", "PR\x7f"]:
    SCENARIOS.append(run("destination %r holds a character no file name can: 1003" % destination,
                         files(profile_text=profile(destination=destination), here=True,
                               **{"SapRfc.ini": KEPT_INI}), stdout=FAULT, status=2))

# --- values longer than their field are never used cut short ----------------------------
# Cut to its 11 characters, QASMONITOR01 read SapRfc.QASMONITOR0 and reported
# PRD's figures as QAS's.
TRAP = {"SapRfc.QASMONITOR0": SAPRFC_PRD, "SapRfc.ini": KEPT_INI}
for field, value in [("destination", "QASMONITOR01"), ("hostname", "h" * 48), ("client", "1" * 12),
                     ("user", "U" * 48), ("sysnr", "0" * 32), ("language", "E" * 32), ("mode", "R" * 32),
                     ("gwservice", "s" * 32)]:
    SCENARIOS.append(run("%s of %d characters is longer than its field: 1003" % (field, len(value)),
                         files(profile_text=profile(**{field: value}), here=True, **TRAP),
                         stdout=FAULT, status=2))

# In a global run such a system is an invalid definition that is never
# connected, unlike an ordinary fault (NOUSER below is still tried).
GLOBAL_FILES = {
    "landscape.ini": "[landscape]\njournal = journal.txt\n\n" + GLOBAL_LANDSCAPE,
    "Overseer.Prf": item_profile("CUT.P00#HOST.P00#DEV.P00#NOUSER.P00#PRD.P00#"),
    "CUT.P00": profile(destination="QASMONITOR01"),
    "HOST.P00": profile(hostname="prdhost" + "." * 45),
    "DEV.P00": profile(destination="\\..\\AUX"),
    "NOUSER.P00": profile(user=None),
    "PRD.P00": profile(),
    "SapRfc.QASMONITOR0": SAPRFC_PRD,
    "SapRfc.ini": KEPT_INI,
}
GLOBAL_OUT = (HEADER + "* hh:mm:ss PXA-INFO # ITEM=Main State=Executing\n" + OPEN_XML
              + state("CUT.P00", "prdhost", "QASMONITOR0", "00", "100", "Rfc Failure")
              + state("HOST.P00", "prdhost" + "." * 40, "PRD", "00", "100", "Rfc Failure")
              + state("DEV.P00", "prdhost", "\\..\\AUX", "00", "100", "Rfc Failure")
              + state("NOUSER.P00", "prdhost", "PRD", "00", "100", "Rfc Failure")
              + state("PRD.P00", "prdhost", "PRD", "00", "100", "Processed")
              + pxa_xml(5, 4711) + summary_xml("Main", 5, 1, 4) + DONE)
SCENARIOS.append(run(
    "global run: cut values and unsafe destinations are Rfc Failures without a logon", GLOBAL_FILES,
    args=["x", "PXA-INFO #", "ITEM=Main"], stdout=GLOBAL_OUT, status=0, xml=False,
    # The systems not tried never reach the library, not even its error handler's installation.
    check=both(well_formed(GLOBAL_OUT), journal(
        ENV, options(user="            "), r3only(),
        'RfcOpen result handle=0 key="RFC_ERROR_LOGON_FAILURE" message="Name or password is incorrect (repeat logon)"',
        'RfcLastError key="RFC_ERROR_LOGON_FAILURE" status="" message="Name or password is incorrect (repeat logon)" '
        'intstat=""',
        ENV, options(), r3only(), *opened()))))

# --- a copy over SapRfc.ini is all or nothing ------------------------------------------------
INI_PROFILE = profile(hostname="nohost", sysnr="05")  # only SapRfc.PRD reaches PRD
SCENARIOS += [
    run("the new file cannot be created (a folder of its name): 1011, SapRfc.ini kept",
        files(profile_text=INI_PROFILE, here=True, **{"SapRfc.PRD": SAPRFC_PRD, "SapRfc.ini": KEPT_INI, TEMP: None}),
        "SapRfc.lck", stdout=ini_line() + OPEN_FAILED, status=2, check=journal(ENV)),
    run("SapRfc.ini cannot be replaced (a folder): 1011, no new file left behind",
        files(profile_text=INI_PROFILE, here=True, **{"SapRfc.PRD": SAPRFC_PRD, "SapRfc.ini": None}),
        "SapRfc.lck", stdout=ini_line() + OPEN_FAILED, status=2, check=journal(ENV)),
    # A full disk: the new file is a link to /dev/full, every write fails.
    run("the copy fails on a full disk: 1011, SapRfc.ini kept, the new file removed",
        files(profile_text=INI_PROFILE, here=True, **{"SapRfc.PRD": SAPRFC_PRD, "SapRfc.ini": KEPT_INI}),
        "SapRfc.lck", setup=lambda d, p: os.symlink("/dev/full", os.path.join(d, TEMP)), platforms=("native",),
        stdout=ini_line() + OPEN_FAILED, status=2, check=journal(ENV)),
    # SapRfc.ini changes here, as it should.
    dict(name="a complete copy replaces SapRfc.ini and leaves no new file", program="Holdrun", library=True,
         args=["PRD", "TOTAL-ROWS"], timeout=LIMIT, xml=True,
         files=files(profile_text=INI_PROFILE, here=True, **{"SapRfc.PRD": SAPRFC_PRD, "SapRfc.ini": KEPT_INI}),
         stdout=ini_line() + rows_doc(), status=0, after={"SapRfc.ini": SAPRFC_PRD, TEMP: None},
         check=journal(ENV, OPEN_EX, SAPRFC_READ, *opened(how="RfcOpenEx"))),
]

# --- the "* SapRfc.Ini" line inside a global run's document ----------------------------------
# It stands inside <Prtg>: in the XML modes its "<" and a destination's "&"
# are escaped; the line forms print it as it is.
RND_INI = b"DEST=R&D\nTYPE=A\nASHOST=prdhost\nSYSNR=00\n"
RND_FILES = {"landscape.ini": GLOBAL_LANDSCAPE, "Overseer.Prf": item_profile("PRD.P00#"),
             "PRD.P00": profile(destination="R&D", hostname="nohost"), "SapRfc.R&D": RND_INI}
for program, args, out in [
    ("Holdrun", ["x", "PXA-INFO", "ITEM=Main"],
     OPEN_XML + "* SapRfc.Ini.......: R&amp;D&lt;\n" + pxa_xml(5, 4711) + summary_xml("Main", 1, 1, 0)),
    ("Holdrun", ["x", "PXA-INFO #", "ITEM=Main"],
     HEADER + "* hh:mm:ss PXA-INFO # ITEM=Main State=Executing\n" + OPEN_XML + "* SapRfc.Ini.......: R&amp;D&lt;\n"
     + state("PRD.P00", "nohost", "R&amp;D", "00", "100", "Processed") + pxa_xml(5, 4711)
     + summary_xml("Main", 1, 1, 0) + DONE),
    ("Quillon", ["x", "PXA-INFO", "ITEM=Main"],
     "\n* SapRfc.Ini.......: R&D<\n\n> Size of the gaps in PXA: 5 #\n> No.of generated programs: 4711 #"
     "\n# (***) Main: NoSystems=1, Processed=1, Failed=0\n\n"),
]:
    SCENARIOS.append(scenario(
        "global run, %s%s: the SapRfc.Ini line in the document" % (program, " with progress" if "#" in args[1] else ""),
        RND_FILES, "SapRfc.ini", "SapRfc.lck", program=program, library=True, args=args, stdout=out, status=0,
        timeout=LIMIT, after={"SapRfc.ini": RND_INI}, xml=False, **({"check": well_formed(out)} if "<Prtg>" in out else {})))

# --- PoolMetricsProfile encode: a password every run would accept, or nothing ----------------
TOO_SHORT_OR_LONG = "PoolMetricsProfile: the password must have 2 to 20 characters\n"
CONTROL = "PoolMetricsProfile: the password holds a control character (such as a zero byte or a tab)\n"
for title, given, message in [
    ("one character", b"a\n", TOO_SHORT_OR_LONG),
    ("nothing", b"", TOO_SHORT_OR_LONG),
    ("an empty line", b"\r\n", TOO_SHORT_OR_LONG),
    ("21 characters", b"x" * 21 + b"\n", TOO_SHORT_OR_LONG),
    ("a line of 10,000 characters", b"x" * 10000 + b"\n", TOO_SHORT_OR_LONG),
    ("a zero byte", b"abc\0defgh\n", CONTROL),
    ("a zero byte first", b"\0abcdefgh\n", CONTROL),
    ("a Ctrl-Z (end of a Windows text stream)", b"abc\x1adefgh\n", CONTROL),
    ("a tab", b"secret\t1\n", CONTROL),
    ("an escape sequence", b"ab\x1b[2Jcd\n", CONTROL),
    ("a carriage return inside", b"ab\rcd\n", CONTROL),
]:
    SCENARIOS.append(dict(name="PoolMetricsProfile encode refuses %s" % title, tool=True, args=["encode"],
                          stdin=given, stdout="", stderr=message, status=1, timeout=LIMIT))


def encode_then_check(platform, scenario_dir, program):
    """What encode stores (line ended by CR LF) is accepted by check, and
    decodes to the password typed."""
    def tool(args, given=None):
        return subprocess.run(platform.command(program, args), cwd=scenario_dir, env=platform.env, input=given,
                              capture_output=True, timeout=LIMIT)
    problems = []
    for password in [b"ab", b"Secret_1234 with"]:
        out = tool(["encode"], password + b"\r\n")
        stored = out.stdout.rstrip(b"\r\n")
        if out.returncode != 0 or len(stored) != 24:
            problems.append("encode %r: status %d, %r" % (password, out.returncode, out.stdout))
            continue
        with open(os.path.join(scenario_dir, "PRD.P00"), "wb") as f:
            f.write(profile(password="{pw}").encode().replace(b"{pw}", stored))
        out = tool(["check", "PRD.P00"])
        if normalise(out.stdout) != b"PRD.P00: valid profile of PRD (client 100, user MONITOR)\n":
            problems.append("check after encode %r: %r" % (password, out.stdout))
    return problems


SCENARIOS.append(dict(name="PoolMetricsProfile encode: a stored form that check accepts", tool=True,
                      custom=encode_then_check, timeout=LIMIT))

# --- PoolMetricsProfile check: every field named, no control character raw ------------------
UNSAFE = (" is no plain file name (it must not hold a directory, a drive, \"..\", a device name or a character "
          "that no Windows file name can hold) (message 1003)\n")
for title, given, out, status in [
    ("values longer than their field and an unsafe destination",
     profile(destination="x/../../sec", hostname="h" * 52, client="1" * 12, gwservice="s" * 60),
     "PRD.P00: Destination: \"x/../../sec\"" + UNSAFE
     + "PRD.P00: Client.....: 12 characters, longer than its field of 11 (message 1003)\n"
     + "PRD.P00: Hostname...: 52 characters, longer than its field of 47 (message 1003)\n"
     + "PRD.P00: Gwservice..: 60 characters, longer than its field of 31 (message 1003)\n", 1),
    ("a cut destination is named with its length", profile(destination="QASMONITOR01"),
     "PRD.P00: Destination: 12 characters, longer than its field of 11 (message 1003)\n", 1),
    ("control characters of a fault are shown escaped", profile(destination="P\x1b]0;x\x07"),
     "PRD.P00: Destination: \"P\\x1B]0;x\\x07\"" + UNSAFE, 1),
    ("control characters of a valid profile are shown escaped",
     profile(user="mon\ritor", client="1\x1b[2J0"),
     "PRD.P00: valid profile of PRD (client 1\\x1B[2J0, user MON\\x0DITOR)\n", 0),
    # C1 control characters, raw or in UTF-8, are escaped; other UTF-8 stays.
    ("C1 control characters are shown escaped, other letters as they are",
     profile(user="m\xc3\xbcller\xc2\x9b", client="1\x9b0"),
     "PRD.P00: valid profile of PRD (client 1\\x9B0, user M\xc3\xbcLLER\\xC2\\x9B)\n", 0),
]:
    SCENARIOS.append(dict(name="PoolMetricsProfile check: " + title, tool=True, args=["check", "PRD.P00"],
                          files={"PRD.P00": given}, stdout=out, status=status, timeout=LIMIT))
