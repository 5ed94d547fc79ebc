"""Faults from outside the program: a missing or incomplete RFC library,
profiles, hint and trace files that are empty, binary, huge or full of long
lines and zero bytes, arguments far longer than their fields, a destination
ini file that is a directory, a listing of thousands of names, and hostile
texts in every field that reaches a document.

Every scenario checks the whole output and the exit status, that no file was
written or left behind that the run had no business with, and every XML
document for well-formedness.

Texts of fixtures and outputs are Latin-1: "\\xe4" stands for the byte 0xE4,
"\\xc3\\xa4" for the UTF-8 form of the same letter.

Not covered: a profile the program may not read. The scenarios run as root,
who reads every file whatever its permissions, so that case cannot be set up
here."""

import os
import random
import re

from scenarios_foundation import NO_LIBRARY, error_doc, profile

OTHER_WIDTH = error_doc("Error 1031: RFC-Library {classic} could not be loaded ({bin}{classic} is a 32-bit library, "
                        "this program is 64-bit), RFC-Library {nwlib} could not be loaded (not found in {bin} nor by "
                        "{search})...")
from scenarios_global import (HEADER, LANDSCAPE, MARK, OPEN_XML, PROFILES, group, item_profile, pxa_xml, sensor,
                              summary_xml)
from scenarios_rfc import (ENV, EXEXML_DIR, files, journal, landscape, opened, options, prd, r3only, rows_doc,
                           well_formed)
from scenarios_sensors import LANDSCAPE as SENSOR_LANDSCAPE, document

INCOMPLETE = error_doc("Error 1031: RFC-Library {classic} lacks operation RfcOpenEx, "
                       "RFC-Library {nwlib} could not be loaded (not found in {bin} nor by {search})...")
# Files the emulated library itself may write in the working directory.
LIBRARY_FILES = ("journal.txt", "Dev_Rfc.Trc")


def missing(name):
    return error_doc("Error 1002: Profile %s is missing...{cause}" % name)


def profile_fault(code, name):
    text = {1003: "Invalid Parameter(s) at %s found...", 1004: "Invalid Password in Profile %s found...",
            1006: "Username in Profile %s is missing...", 1007: "Password in Profile %s is missing..."}[code]
    return error_doc("Error %d: %s" % (code, text % name))


# --- what a run leaves behind ----------------------------------------------------------
def as_written(content, data):
    """Whether `data` is the fixture `content` as written: a stored password is
    encoded afresh for every run, so there any 24 characters will do."""
    if isinstance(content, bytes):
        return data == content
    at = 0
    for n, part in enumerate(re.split(r"\{pw:[^}]*\}", content)):
        at += 24 if n else 0
        part = part.encode("latin-1")
        if data[at:at + len(part)] != part:
            return False
        at += len(part)
    return at == len(data)


def left_alone(given, *allowed):
    """A check: every fixture is as it was written (a directory still a
    directory), and no other file has appeared in the scenario's directory but
    the program and its library, and the names in `allowed`."""
    def check(scenario_dir, platform):
        problems, expected = [], set()
        for name, content in given.items():
            path = platform.host_path(scenario_dir, name)
            if not path.startswith(scenario_dir):
                continue  # C:\ under Wine: outside the scenario's directory
            expected.add(os.path.relpath(path, scenario_dir))
            if content is None:
                if not os.path.isdir(path):
                    problems.append("%s is no longer a directory" % name)
                continue
            with open(path, "rb") as f:
                if not as_written(content, f.read()):
                    problems.append("%s was changed" % name)
        for name in allowed:
            expected.add(os.path.relpath(platform.host_path(scenario_dir, name), scenario_dir))
        for root, dirs, names in os.walk(scenario_dir):
            for name in names:
                rel = os.path.relpath(os.path.join(root, name), scenario_dir)
                if rel.split(os.sep)[0] != "bin" and rel not in expected:
                    problems.append("the run left %s behind" % rel)
        return "\n".join(problems) or None
    return check


def both(*checks):
    def check(scenario_dir, platform):
        return "\n".join(filter(None, (c(scenario_dir, platform) for c in checks))) or None
    return check


def scenario(name, given, *allowed, **keys):
    """A scenario whose fixtures must stay as they are and that may leave
    nothing else behind but `allowed` (and the emulated library's files);
    XML documents are checked unless the output is a line form."""
    keys.setdefault("xml", keys.get("program", "PoolMetrics") not in ("Quillon", "Brennick"))
    check = left_alone(given, *(allowed + LIBRARY_FILES))
    keys["check"] = both(check, keys["check"]) if "check" in keys else check
    return dict(name=name, files=given, **keys)


SCENARIOS = []

# --- the RFC library ---------------------------------------------------------------------
ITEM_FILES = {"Overseer.Prf": item_profile("PRD.P00#"), "PRD.P00": profile()}
SCENARIOS += [
    scenario("item run without the RFC library: one clean error document", ITEM_FILES, program="Holdrun",
             args=["x", "PXA-INFO", "ITEM=Main"], stdout=NO_LIBRARY, status=2),
    scenario("a library lacking RfcOpenEx is refused before any call", files(here=True), program="Holdrun",
             library="incomplete", args=["PRD", "TOTAL-ROWS #"], stdout=INCOMPLETE, status=2),
    scenario("a library lacking RfcOpenEx in an item run, after the progress lines",
             dict(ITEM_FILES, **{"landscape.ini": LANDSCAPE}), program="Holdrun", library="incomplete",
             args=["x", "PXA-INFO #", "ITEM=Main"], status=2,
             stdout=HEADER + "* hh:mm:ss PXA-INFO # ITEM=Main State=Executing\n" + INCOMPLETE),
    # The classic library is 32-bit: beside the 64-bit program it simply
    # does not load.
    scenario("a 32-bit classic library beside the 64-bit program does not load: 1031 says its width",
             files(here=True), program="Holdrun", library32=True, args=["PRD", "TOTAL-ROWS"], platforms=("wine64",),
             status=2, stdout=OTHER_WIDTH),
    # Natively: a 32-bit ELF library (its header is what tells).
    scenario("a 32-bit library beside the native program: 1031 says its width",
             dict(files(here=True), **{"bin/librfccm.so": b"\x7fELF\x01\x01\x01" + bytes(45)}),
             program="Holdrun", args=["PRD", "TOTAL-ROWS"], platforms=("native",), status=2, stdout=OTHER_WIDTH),
    # SAP's NetWeaver library needs ICU's libraries beside it; one missing is named.
    scenario("the NetWeaver library without a library it needs: 1031 names the missing one", files(here=True),
             program="Holdrun", nwrfc="dependent", args=["PRD", "TOTAL-ROWS"], platforms=("native", "wine64"),
             status=2, stdout=lambda p: error_doc(
                 "Error 1031: RFC-Library {classic} could not be loaded (not found in {bin} nor by {search}), "
                 "RFC-Library {nwlib} could not be loaded ({bin}{nwlib} needs %s, which is not found)..."
                 % ("icuuc50.dll" if p.wine else "libicuuc.so.50"))),
]

# --- profiles ----------------------------------------------------------------------------
GARBAGE = random.Random(7).randbytes(64 * 1024)
FILLER = "# " + "-" * 97 + "\n"  # a comment line of a full piece
TEN_MB = FILLER * (10 * 1024 * 1024 // len(FILLER))
LONG = 100000
VALID = profile()
for title, content, out, status in [
    ("binary garbage: no user", GARBAGE, profile_fault(1006, "PRD.P00"), 2),
    ("binary garbage before a valid profile: read to its end", GARBAGE.decode("latin-1") + "\n" + VALID, rows_doc(), 0),
    ("10 MB of comment lines, then the profile", TEN_MB + VALID, rows_doc(), 0),
    ("a valid profile, then 10 MB of comment lines", VALID + TEN_MB, rows_doc(), 0),
    ("lines of 100,000 characters around the profile",
     "x" * LONG + "\n" + VALID + "#" * LONG + "\n", rows_doc(), 0),
    # Cut to its field, a destination or user would reach another system.
    ("a destination of 100,000 characters is refused, never cut", profile(destination="D" * LONG),
     profile_fault(1003, "PRD.P00"), 2),
    ("a user of 100,000 characters is refused, never cut", profile(user="M" * LONG),
     profile_fault(1003, "PRD.P00"), 2),
    ("a password line of 100,000 characters is no stored form",
     profile(password="p" * LONG), profile_fault(1004, "PRD.P00"), 2),
    ("a zero byte inside a label: no user", profile(user=None) + "User..\0....: monitor\n",
     profile_fault(1006, "PRD.P00"), 2),
    ("a zero byte ends a value", profile(destination="PRD\0 & garbage <"), rows_doc(), 0),
    ("a zero byte right after the label: no password", profile(password="\0{pw:secret1}"),
     profile_fault(1007, "PRD.P00"), 2),
    ("a zero byte inside the stored password: what is left is too short",
     profile(password="abcd" * 3 + "\0" + "abcd" * 3), profile_fault(1004, "PRD.P00"), 2),
    ("a zero byte ends the destination too short", profile(destination="PR\0D"), profile_fault(1003, "PRD.P00"), 2),
]:
    SCENARIOS.append(scenario("profile: " + title, files(profile_text=content, here=True), program="Holdrun",
                              library=True, args=["PRD", "TOTAL-ROWS"], stdout=out, status=status,
                              timeout=120))

# --- arguments of 10,000 characters ----------------------------------------------------
HINT = "C:\\PRTG_Path.Txt"
HUGE = 10000
LONG_PROGRESS = ("* hh:mm:ss SAP PoolMetrics Vers 4.3 / 29.08.22\n"
                 "* hh:mm:ss PRD.P00, prdhost, PRD, 00, 100 State=Processing\n"
                 + ("* hh:mm:ss PoolMetrics - " + ("TOTAL-ROWS$" + "x" * HUGE)[:127] + " State=Executing")[:123]
                 + "\n" + rows_doc() + "\n* hh:mm:ss SAP PoolMetrics now processed...\n")
ITEM_RUN = dict(ITEM_FILES, **{"landscape.ini": LANDSCAPE})
for title, program, args, given, out, status in [
    # Cut to its field, the name would open another file: a profile under
    # that name waits there, and must not be taken.
    ("profile name: shown cut to its 63 characters, never opened so", "Quillon", ["P" * HUGE],
     files(profile_text=VALID, here=True) | {"P" * 63: VALID}, missing("P" * 63), 2),
    ("profile name in mode EXEXML: shown cut, never opened so", "PoolMetrics", ["P" * HUGE, "TOTAL-ROWS"],
     files() | {HINT: "D:\\\n", "D:\\Custom Sensors\\ExeXml\\" + "P" * 63: VALID}, missing("P" * 63), 2),
    ("directory of the profile: never opened cut short", "Quillon", ["d\\" * (HUGE // 2) + "PRD", "TOTAL-ROWS"],
     {"PRD.P00": VALID}, missing(("d\\" * 48)[:95]), 2),
    ("parameters: the sensor type within the field counts", "Holdrun", ["PRD", "TOTAL-ROWS " + "x" * HUGE],
     files(here=True), rows_doc(), 0),
    ("parameters: a sensor type beyond the field is not seen", "Holdrun", ["PRD", "x" * HUGE + " TOTAL-ROWS"],
     files(here=True), error_doc(
         "Error 1032: Sensor-Type missing in Parameters, use one of DBASE-ACCESSES, EXTENDED-MEMORY, "
         "HEAP-MEMORY, LOGICAL-ACCESSES, PAGING-AREA, PXA-INFO, ROLL-AREA, CURSOR-CACHE, TOTAL-DURATIONS, "
         "TOTAL-HITRATIO, TOTAL-OPERATIONS, TOTAL-ROWS, TABLE-ENTRIES..."), 2),
    ("item name: 90 characters of it", "Holdrun", ["x", "PXA-INFO", "ITEM=" + "i" * HUGE], ITEM_RUN,
     OPEN_XML + pxa_xml(5, 4711) + summary_xml("i" * 90, 1, 1, 0), 0),
]:
    SCENARIOS.append(scenario("argument of %d characters, %s" % (HUGE, title), given, program=program, args=args,
                              library=True, stdout=out, status=status))
# Progress lines follow the document: its <Prtg> element is checked on its own.
SCENARIOS.append(scenario(
    "arguments of %d characters, the progress line cut to its field" % HUGE, files(here=True), program="Holdrun",
    args=["PRD", "TOTAL-ROWS$" + "x" * HUGE, "y" * HUGE], library=True, stdout=LONG_PROGRESS, status=0, xml=False,
    check=well_formed(LONG_PROGRESS)))

# --- the PRTG hint file ---------------------------------------------------------------
SENSOR_PROFILE = "D:\\Programs" + EXEXML_DIR[len("\\Program Files"):] + "PRD.P00"
for title, hint, out in [
    ("100,000 lines: the last one names the directory",
     "D:\\Wrong\\\n" * 99999 + "D:\\Programs\n", rows_doc()),
    ("100,000 lines, the directory named first", "D:\\Programs\n" + "relative\\line\n" * 99999, rows_doc()),
    ("a line of 10,000 characters before the directory", "x" * 10000 + "\nD:\\Programs\n", rows_doc()),
    # Cut to its field, the directory would name another one: it is not opened,
    # and the message names the file only (no fallback either).
    ("a directory of 10,000 characters", "D:\\Programs\\" + "x" * 10000 + "\n", missing("PRD.P00")),
    ("a directory of markup and odd bytes: the message names the file only",
     "D:\\R&D <\xe4\x01\"\xc3\xa4>\\\n", missing("PRD.P00")),
]:
    # The profile lies in the hinted directory and in a fallback that must stay unused.
    given = files(**{HINT: hint, SENSOR_PROFILE: VALID})
    SCENARIOS.append(scenario("hint file: " + title, given, library=True, args=["PRD", "TOTAL-ROWS"], stdout=out,
                              status=0 if out == rows_doc() else 2))

# --- the trace file after a failed call ----------------------------------------------------
BINARY_TRACE = bytes(range(256)) * 4096  # 1 MB, zero bytes and all
HUGE_TRACE = "".join("ERROR       line %07d of a long trace\n" % n for n in range(600000))  # about 20 MB
HOSTILE_TRACE = b"**** ERROR file opened at 20240101 120000\nERROR       R&D <7> \"\xe4\" \xc3\xa4 \x01\x1b>\n"
for title, trace, hint in [
    ("binary: no message in it", BINARY_TRACE, " - Please Check Trace-File !"),
    ("binary, then a message line", BINARY_TRACE + b"\nERROR       found after the binary part\n",
     " - found after the binary part"),
    ("20 MB of message lines: the last one", HUGE_TRACE, " - line 0599999 of a long trace"),
    ("a message of markup, odd bytes and control characters", HOSTILE_TRACE,
     " - R&amp;D &lt;7&gt; \"&#xE4;\" \xc3\xa4 ??&gt;"),
]:
    given = files(landscape(prd("receive_rc = 1")), here=True, **{"Dev_Rfc.Trc": trace})
    SCENARIOS.append(scenario("trace file: " + title, given, library=True, program="Holdrun",
                              args=["PRD", "TOTAL-ROWS"], stdout=error_doc("Error 1014: RFC-Failure raised !" + hint),
                              status=2, timeout=120))

# --- destination ini files -----------------------------------------------------------------
# (SapRfc.ini that cannot be written: scenarios_rfc.)
SCENARIOS.append(scenario(
    "SapRfc.PRD that is a directory counts as absent: RfcOpen, no SapRfc.ini",
    files(here=True, **{"SapRfc.PRD": None}), program="Holdrun", library=True, args=["PRD", "TOTAL-ROWS"],
    stdout=rows_doc(), status=0, check=journal(ENV, options(), r3only(), *opened())))

# --- a listing of 5,000 names ----------------------------------------------------------------
NAMES = ["REF.P00"] + ["M%04d.P00" % n for n in range(1, 4999)] + ["PRD.P00"]
LISTING = "#".join(NAMES) + "#"
PER_LINE = 170
SCENARIOS.append(scenario(
    "item listing of 5,000 names, most of them missing", dict(PROFILES, **{
        "landscape.ini": LANDSCAPE,
        "Overseer.Prf": item_profile(*[LISTING[i:i + PER_LINE] for i in range(0, len(LISTING), PER_LINE)])}),
    program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Many"], status=0, timeout=120,
    stdout=OPEN_XML + pxa_xml(5, 4711) + summary_xml("Many", 5000, 1, 1)))

# --- hostile texts in every field that reaches a document ------------------------------------
# The XML forms escape markup, write bytes outside UTF-8 as references to the
# characters of the platform's legacy code page (Latin-1 natively, code page
# 1252 on Windows, where 0x80 is the euro sign) and control characters as "?";
# the line forms print the bytes as they are, but control characters as "?".
# Control characters are C0, DEL and C1: natively a byte 0x80 to 0x9F outside
# UTF-8 is one (Latin-1), on Windows only where code page 1252 leaves the
# byte undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
HOSTILE = [
    # (bytes, as the XML forms show them natively, under Wine, as the line forms natively, under Wine)
    ('R&D<"\xe4\x01>', 'R&amp;D&lt;"&#xE4;?&gt;', 'R&amp;D&lt;"&#xE4;?&gt;', 'R&D<"\xe4?>', 'R&D<"\xe4?>'),
    ("\xc3\xa4\xe0\x80\x80\xed\xa0\x80", "\xc3\xa4&#xE0;??&#xED;&#xA0;?",  # overlong, surrogate
     "\xc3\xa4&#xE0;&#x20AC;&#x20AC;&#xED;&#xA0;&#x20AC;", "\xc3\xa4\xe0??\xed\xa0?",
     "\xc3\xa4\xe0\x80\x80\xed\xa0\x80"),
    ("\xef\xbf\xbe\xf4\x90\x80\x80\xf8\x1b", "&#xEF;&#xBF;&#xBE;&#xF4;???&#xF8;?",  # no XML chars
     "&#xEF;&#xBF;&#xBE;&#xF4;?&#x20AC;&#x20AC;&#xF8;?", "\xef\xbf\xbe\xf4???\xf8?",
     "\xef\xbf\xbe\xf4?\x80\x80\xf8?"),
]
for n, (text, native, wine, native_line, wine_line) in enumerate(HOSTILE, 1):
    given = {"landscape.ini": SENSOR_LANDSCAPE, "PRD.P00": profile(destination=text)}

    def shown(platform, native=native, wine=wine):
        return wine if platform.name == "wine" else native

    def as_line(platform, native_line=native_line, wine_line=wine_line):
        return wine_line if platform.name == "wine" else native_line

    # A destination that no file name can hold is a profile fault before
    # it reaches any document.
    refused = any(ord(c) < 0x20 or c in '/\\:<>"|?*' for c in text)
    fault = profile_fault(1003, "PRD.P00")
    SCENARIOS += [
        scenario("hostile destination %d in the XML header" % n, given, program="Holdrun", library=True,
                 args=["PRD", "PXA-INFO"], status=2 if refused else 0,
                 stdout=fault if refused else lambda p, shown=shown: document("xml", "PXA-INFO", destination=shown(p))),
        scenario("hostile destination %d as it is in the Quillon header, but control characters" % n, given,
                 program="Quillon", library=True, args=["PRD", "PXA-INFO"],
                 stdout=fault if refused else
                 lambda p, as_line=as_line: document("Quillon", "PXA-INFO", destination=as_line(p)),
                 status=2 if refused else 0, xml=refused),
        scenario("hostile destination %d in message 1011" % n,
                 files(landscape(prd("refuse_logon = yes")), profile(destination=text), here=True),
                 program="Holdrun", library=True, args=["PRD", "PXA-INFO"], status=2,
                 stdout=fault if refused else
                 lambda p, shown=shown: error_doc("Error 1011: RFC-Open for %s failed ! RFC_ERROR_LOGON_FAILURE: "
                                                  "Name or password is incorrect (repeat logon)" % shown(p))),
        scenario("hostile exception name %d in message 1012" % n,
                 files(landscape(prd("receive_rc = 2", 'exception = "%s"' % text)), here=True),
                 program="Holdrun", library=True, args=["PRD", "PXA-INFO"],
                 stdout=lambda p, shown=shown: error_doc("Error 1012: Exception.: %s - Look for Trace-File" % shown(p)),
                 status=2),
        scenario("hostile item name %d from the global file in the XML summary" % n, dict(PROFILES, **{
            "landscape.ini": LANDSCAPE, "SAP Overseer.Gbl": "".join(line + "\n" for line in [
                group("PRDMEM", "PRD.P00#"), sensor("PRDMEM", "PXA-INFO," + MARK + ",Item=" + text)])}),
                 program="Holdrun", library=True, args=["GLOBAL", "PRDMEM"], status=0,
                 stdout=lambda p, shown=shown: OPEN_XML + pxa_xml(5, 4711) + summary_xml(shown(p), 1, 1, 0)),
    ]

# Arguments reach the program through the platform's command line: markup
# and quotes only, which every platform passes as they are.
SCENARIOS += [
    scenario("hostile profile name in message 1002", {}, program="Holdrun", args=["R&D \"<x>\"' &amp;"],
             stdout=missing("R&amp;D \"&lt;x&gt;\"' &amp;amp;.P00"), status=2),
    scenario("hostile item name in the XML summary", ITEM_RUN, program="Holdrun",
             library=True, args=["x", "PXA-INFO", "ITEM=<R&D>\"'&lt;"], status=0,
             stdout=OPEN_XML + pxa_xml(5, 4711) + summary_xml("&lt;R&amp;D&gt;\"'&amp;lt;", 1, 1, 0)),
    scenario("hostile item name as it is in the Quillon summary", ITEM_RUN,
             program="Quillon", library=True, args=["x", "PXA-INFO", "ITEM=<R&D>\"'&lt;"], status=0,
             stdout="\n\n> Size of the gaps in PXA: 5 #\n> No.of generated programs: 4711 #"
                    "\n# (***) <R&D>\"'&lt;: NoSystems=1, Processed=1, Failed=0\n\n"),
]
