"""What a hostile or unlucky text can do to the output: markup in an exception
name of a global run, a global run that outgrows four kilobytes, a document
that cannot be written (a full device, a closed pipe), Windows text in code
page 1252, and carriage returns from a profile in the line forms and the
progress lines.

Texts of fixtures and outputs are Latin-1: "\\x96" stands for the byte 0x96."""

import os
import signal
import subprocess

from e2e import encode_password
from scenarios_foundation import error_doc, profile
from scenarios_rfc import rfc_error_block
from scenarios_global import (DONE, HEADER, LANDSCAPE, MARK, OPEN_XML, PROFILES, checked, group, item_profile,
                              pxa, pxa_xml, sensor, summary_xml)
from scenarios_sensors import LANDSCAPE as SENSOR_LANDSCAPE, SENSORS, document, system, xml_channel

LIMIT = 10  # seconds: no scenario here may hang


def lines(*texts):
    return "".join(t + "\n" for t in texts)


SCENARIOS = []

# --- a failed call's message in a global run -------------------------------------------------
# A single run turns the message into the error document; in a global run it
# stands in the document in place of the last system's channels.
EXCEPTION = "A<B&C"
EXC_LANDSCAPE = LANDSCAPE.replace("exception = NO_DATA_AVAILABLE", "exception = " + EXCEPTION)
EXC_FILES = dict(PROFILES, **{"landscape.ini": EXC_LANDSCAPE, "Overseer.Prf": item_profile("PRD.P00#EXC.P00#")})
SCENARIOS += [
    dict(name="global run: an exception name with markup is escaped in the XML document", program="Holdrun",
         library=True, args=["x", "PXA-INFO", "ITEM=Pools"], files=EXC_FILES, status=0, xml=True, timeout=LIMIT,
         stdout=OPEN_XML + "Error 1012: Exception.: A&lt;B&amp;C" + summary_xml("Pools", 2, 1, 1)),
    checked(dict(
        name="global run, EXEXML with progress: the exception name escaped between the state lines and the summary",
         library=True, args=["x", "PXA-INFO #", "ITEM=Pools"], timeout=LIMIT,
         files=dict({"\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\" + name: text
                     for name, text in EXC_FILES.items() if name != "landscape.ini"}, **{"landscape.ini": EXC_LANDSCAPE}),
         status=0,
         stdout=HEADER + "* hh:mm:ss PXA-INFO # ITEM=Pools State=Executing\n" + OPEN_XML
         + "\n* hh:mm:ss PRD.P00, prdhost, PRD, 00, 100 State=Processed\n"
         + "\n* hh:mm:ss EXC.P00, exchost, EXC, 03, 100 State=Rfc Failure\n"
         + "Error 1012: Exception.: A&lt;B&amp;C" + summary_xml("Pools", 2, 1, 1) + DONE)),
    # The line forms are no XML: markup stays, a carriage return does not.
    dict(name="global run, Quillon: the exception name as it is, its carriage return as ?", program="Quillon",
         library=True, args=["x", "PXA-INFO", "ITEM=Pools"], timeout=LIMIT, status=0,
         files=dict(EXC_FILES, **{"landscape.ini": LANDSCAPE.replace(
             "exception = NO_DATA_AVAILABLE", "exception = A<B&C\rStatistic.EXC: 1")}),
         stdout="\nError 1012: Exception.: A<B&C?Statistic.EXC: 1\n# (***) Pools: NoSystems=2, Processed=1, Failed=1\n\n"),
]

# --- a global run over seven sensor types: past four kilobytes, never cut ----------------------
SEVEN = ["CURSOR-CACHE", "LOGICAL-ACCESSES", "PAGING-AREA", "ROLL-AREA", "EXTENDED-MEMORY", "HEAP-MEMORY",
         "TABLE-ENTRIES"]
SEVEN_CHANNELS = "".join(xml_channel(label, shown, unit) for keyword, _, channels in SENSORS if keyword in SEVEN
                         for label, unit, _, shown in channels)
SEVEN_DOC = OPEN_XML + SEVEN_CHANNELS + summary_xml("All", 1, 1, 0)
assert len(SEVEN_DOC) > 6000
SCENARIOS.append(dict(
    name="global run naming seven sensor types: every channel, well-formed, not cut at 4,096 bytes",
    program="Holdrun", library=True, args=["x", " ".join(SEVEN), "ITEM=All"], timeout=LIMIT,
    files={"landscape.ini": SENSOR_LANDSCAPE, "PRD.P00": profile(), "Overseer.Prf": item_profile("PRD.P00#")},
    status=0, xml=True, stdout=SEVEN_DOC))


# --- a document that cannot be delivered --------------------------------------------------------
def write_to(stdout, platform, scenario_dir, program, args, stdin=None):
    """Runs `program` with its standard output on `stdout`; returns its exit
    status, or None when it did not finish in time."""
    proc = subprocess.Popen(platform.command(program, args), cwd=scenario_dir, env=platform.env, stdin=subprocess.PIPE,
                            stdout=stdout, stderr=subprocess.PIPE)
    try:
        proc.communicate(input=stdin, timeout=LIMIT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        return None
    return proc.returncode


def write_files(platform, scenario_dir, written):
    for name, text in written.items():
        with open(os.path.join(scenario_dir, name), "wb") as f:
            f.write(text.encode("latin-1"))


def tool(platform):
    return os.path.join(platform.bin_dir, "PoolMetricsProfile" + platform.exe)


def full_device(platform, scenario_dir, program):
    """Every run whose output goes to /dev/full ends with a non-zero status:
    PoolMetrics with 2 (a success, an error document, a global run with
    progress lines), PoolMetricsProfile encode with 1."""
    write_files(platform, scenario_dir, {"landscape.ini": SENSOR_LANDSCAPE, "PRD.P00": profile(
        password=encode_password(platform, "secret1")), "Overseer.Prf": item_profile("PRD.P00#")})
    problems = []
    with open("/dev/full", "wb") as full:
        for what, path, args, stdin, want in [
            ("a successful run", program, ["PRD", "PXA-INFO"], None, 2),
            ("an error document", program, ["MISSING", "PXA-INFO"], None, 2),
            ("a global run with progress lines", program, ["x", "PXA-INFO #", "ITEM=Full"], None, 2),
            ("PoolMetricsProfile encode", tool(platform), ["encode"], b"secret1\n", 1),
        ]:
            status = write_to(full, platform, scenario_dir, path, args, stdin)
            if status != want:
                problems.append("%s into /dev/full: exit status %s, expected %d" % (what, status, want))
    return problems


def closed_pipe(platform, scenario_dir, program):
    """A pipe whose reader has gone: natively the program dies of SIGPIPE,
    under Wine (no such signal on Windows) it ends with status 2."""
    write_files(platform, scenario_dir, {"landscape.ini": SENSOR_LANDSCAPE, "PRD.P00": profile(
        password=encode_password(platform, "secret1"))})
    reader, writer = os.pipe()
    os.close(reader)
    try:
        with os.fdopen(writer, "wb") as pipe:
            status = write_to(pipe, platform, scenario_dir, program, ["PRD", "PXA-INFO"])
    except BrokenPipeError:
        status = None
    want = 2 if platform.name == "wine" else -signal.SIGPIPE
    return [] if status == want else ["a run into a closed pipe: exit status %s, expected %d" % (status, want)]


SCENARIOS += [
    dict(name="output to /dev/full is no success: PoolMetrics 2, PoolMetricsProfile encode 1", program="Holdrun",
         library=True, custom=full_device, timeout=LIMIT),
    dict(name="output into a closed pipe is no success", program="Holdrun", library=True, custom=closed_pipe,
         timeout=LIMIT),
]

# --- Windows text: code page 1252 ------------------------------------------------------------------
# On Windows an argument typed as "Prod–€" reaches the program as the code page
# 1252 bytes 0x96 0x80: the en dash and the euro sign, not the C1 controls that
# Latin-1 (the reading off Windows) makes of them.
ITEM_FILES = {"landscape.ini": LANDSCAPE, "PRD.P00": PROFILES["PRD.P00"], "Overseer.Prf": item_profile("PRD.P00#")}
SCENARIOS += [
    dict(name="Windows: ITEM=Prod\u2013\u20ac is written as en dash and euro sign", platforms=("wine",),
         program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Prod\u2013\u20ac"], files=ITEM_FILES,
         status=0, xml=True, timeout=LIMIT,
         stdout=OPEN_XML + pxa_xml(5, 4711) + summary_xml("Prod&#x2013;&#x20AC;", 1, 1, 0)),
    # os.fsencode turns the surrogates into the bytes 0x96 0x80 of the argument.
    # ... where they are the C1 control characters, "?" as every control character.
    dict(name="natively: ITEM=Prod\\x96\\x80 is read as Latin-1", platforms=("native",),
         program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Prod\udc96\udc80"], files=ITEM_FILES,
         status=0, xml=True, timeout=LIMIT,
         stdout=OPEN_XML + pxa_xml(5, 4711) + summary_xml("Prod??", 1, 1, 0)),
    # The same bytes from a file, with the five positions that code page 1252
    # leaves undefined: the C1 control characters on both platforms, "?".
    dict(name="item name in code page 1252 from the global file", program="Holdrun", library=True,
         args=["GLOBAL", "PRDMEM"], status=0, xml=True, timeout=LIMIT,
         files=dict(PROFILES, **{"landscape.ini": LANDSCAPE, "SAP Overseer.Gbl": lines(
             group("PRDMEM", "PRD.P00#"),
             sensor("PRDMEM", "PXA-INFO," + MARK + ",Item=Prod\x96\x80-\x81\x8d\x8f\x90\x9d-\x9f\xe4"))}),
         stdout=lambda p: OPEN_XML + pxa_xml(5, 4711) + summary_xml(
             "Prod&#x2013;&#x20AC;-?????-&#x178;&#xE4;" if p.name == "wine" else "Prod??-?????-?&#xE4;", 1, 1, 0)),
]

# --- a carriage return in a profile's Hostname -------------------------------------------------------
# The host name labels the channels (label kind Host) and stands in the
# progress lines. A front-end that ends lines at a carriage return would read
# a forged statistic line there; it is written as "_" in the key and "?" in
# the lines.
FORGED = "cr\rStatistic.cr: 999"
CR_LANDSCAPE = system("PRD", FORGED, lines=["value PXA_INFO.GAPS = 5", "value PXA_INFO.PRG_GEN = 4711",
                                              "value STARTUP_DATE = 20230102", "value STARTUP_TIME = 101530"])
CR_PROFILE = profile(hostname=FORGED, gwhost="prdhost")
KEY = "cr_Statistic_cr__999"
SCENARIOS += [
    dict(name="Brennick global run, label kind Host: a carriage return in the host name is no line end",
         program="Brennick", library=True, args=["GLOBAL", "KHOST", "#"], timeout=LIMIT, status=0,
         files={"landscape.ini": CR_LANDSCAPE, "PRD.P00": CR_PROFILE, "SAP Overseer.Gbl": lines(
             group("KHOST", "PRD.P00#"), sensor("KHOST", "PXA-INFO," + MARK + ",Item=Hosts,Host"))},
         stdout=HEADER + "* hh:mm:ss PXA-INFO State=Executing\n\n"
         + "\n* hh:mm:ss PRD.P00, cr?Statistic.cr: 999, PRD, 00, 100 State=Processed\n"
         + "\n\nMessage.%s: Size of the gaps in PXA (#)\nStatistic.%s: 5" % (KEY, KEY)
         + "\n\nMessage.%s: No.of generated programs (#)\nStatistic.%s: 4711" % (KEY, KEY)
         + "\n# (***) Hosts: NoSystems=1, Processed=1, Failed=0\n\n" + DONE),
    dict(name="single run: a carriage return in the host name is ? in the progress lines", program="Brennick",
         library=True, args=["PRD", "PXA-INFO #"], timeout=LIMIT, status=0,
         files={"landscape.ini": CR_LANDSCAPE, "PRD.P00": CR_PROFILE},
         stdout=HEADER + "* hh:mm:ss PRD.P00, cr?Statistic.cr: 999, PRD, 00, 100 State=Processing\n"
         + "* hh:mm:ss PoolMetrics - PXA-INFO  State=Executing\n"
         + document("Brennick", "PXA-INFO") + DONE),
]

# The RFC error block is printed in every mode; the library's texts may quote
# files, and their control characters are "?" there as well.
SCENARIOS.append(dict(
    name="RFC error block: a carriage return in the library's message is ?", program="Brennick", library=True,
    args=["PRD", "PXA-INFO"], timeout=LIMIT, status=1,
    files={"landscape.ini": system("PRD", "prdhost", lines=[
        "error_handler = call", 'error_message = "broken\rStatistic.PRD: 1"']), "PRD.P00": profile()},
    stdout=rfc_error_block("RfcReceive", "RFC_ERROR_SYSTEM_FAILURE", "broken?Statistic.PRD: 1")))


# --- an RFC library that prints for itself ----------------------------------------------------
# Some libraries print with printf, through the C runtime they share with the
# program (on Windows a mingw DLL and the program both use msvcrt.dll, one
# stdout buffer). Where the document stands alone (mode EXEXML) what they
# print goes to standard error, whatever route it takes; the other modes keep
# their output as it always was: the library's lines where it printed them.
def u8(text):
    """A text's UTF-8 bytes as fixture text (Latin-1, one character a byte)."""
    return text.encode("utf-8").decode("latin-1")


PRINTS = ["print_at_open = LIBRARY: logon to %s", "print_at_call = LIBRARY: call of %s"]


def printing(name, host, sysnr, gaps, programs):
    return system(name, host, sysnr=sysnr, lines=pxa(gaps, programs) + [line % name for line in PRINTS])


# Mode EXEXML's profiles lie in PRTG's folder.
PRTG_FOLDER = "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\"
PRINT_PROFILES = {"PRD.P00": profile(), "QAS.P00": profile(destination="QAS", hostname="qashost", sysnr="01"),
                  "Overseer.Prf": item_profile("PRD.P00#QAS.P00#")}
PRINT_LANDSCAPE = ("[landscape]\n\n" + printing("PRD", "prdhost", "00", 5, 4711)
                   + printing("QAS", "qashost", "01", 6, 815))
PRINT_FILES = dict(PRINT_PROFILES, **{"landscape.ini": PRINT_LANDSCAPE})
EXEXML_PRINT_FILES = dict({PRTG_FOLDER + name: text for name, text in PRINT_PROFILES.items()},
                          **{"landscape.ini": PRINT_LANDSCAPE})
PRD_DOC = ("\n<Prtg>\n\n<Text>(PRD) Selected Information for PXA (Program Buffer), since 02.01.23 at 10:15</Text>\n"
           + pxa_xml(5, 4711) + "\n</Prtg>\n")
POOLS_DOC = OPEN_XML + pxa_xml(6, 815) + summary_xml("Pools", 2, 2, 0)  # the last system's channels


def printed(*names):
    return "".join("LIBRARY: logon to %s\nLIBRARY: call of %s\n" % (n, n) for n in names)


def in_any_order(text):
    """The library's lines of parallel children, which print at once, sorted."""
    return b"".join(sorted(text.splitlines(True))) if text.startswith(b"LIBRARY") else text


for library, platforms in (("library", ("native", "wine")), ("nwrfc", ("native", "wine", "wine64"))):
    SCENARIOS += [
        dict(name="a library printing through the C runtime (%s), EXEXML: on standard error" % library,
             platforms=platforms, **{library: True}, args=["PRD", "PXA-INFO"], files=EXEXML_PRINT_FILES,
             timeout=LIMIT, status=0, xml=True, stdout=PRD_DOC, stderr=printed("PRD")),
        dict(name="a library printing through the C runtime (%s), EXEXML global run" % library,
             platforms=platforms, **{library: True}, args=["x", "PXA-INFO", "ITEM=Pools"], files=EXEXML_PRINT_FILES,
             timeout=LIMIT, status=0, xml=True, stdout=POOLS_DOC, stderr=printed("PRD", "QAS")),
        dict(name="a library printing through the C runtime (%s), EXEXML parallel run" % library,
             platforms=platforms, **{library: True}, args=["x", "PXA-INFO", "ITEM=Pools", "PARALLEL=2"],
             files=EXEXML_PRINT_FILES, timeout=LIMIT, status=0, xml=True, stdout=POOLS_DOC,
             stderr="".join(sorted(printed("PRD", "QAS").splitlines(True))), mask=in_any_order),
    ]
    for mode in ("Holdrun", "Varnock"):
        SCENARIOS.append(dict(
            name="a library printing through the C runtime (%s), %s: where it printed, as always" % (library, mode),
            platforms=platforms, program=mode, **{library: True}, args=["PRD", "PXA-INFO"], files=PRINT_FILES,
            timeout=LIMIT, status=0, stdout=printed("PRD") + PRD_DOC))

# --- the library's texts cut and shown as characters ------------------------------------------
# The classic library's error handler hands the program an operation text of
# any length; the block takes 4,096 bytes of it, cut between two characters:
# 1,366 euro signs (4,098 bytes) keep 1,365.
EUROS = u8("\u20ac" * 1366)
KEPT = u8("\u20ac" * 1365)
CUT_FILES = {"PRD.P00": profile(), "landscape.ini": system("PRD", "prdhost", lines=[
    "error_handler = call", "error_operation = " + EUROS, "error_message = lost"])}
SCENARIOS += [
    dict(name="RFC error block: an operation text of 4,098 bytes cut between characters", program="Brennick",
         platforms=("native", "wine"), library=True, args=["PRD", "PXA-INFO"], timeout=LIMIT, status=1,
         files=CUT_FILES, stdout=rfc_error_block(KEPT, "RFC_ERROR_SYSTEM_FAILURE", "lost")),
    dict(name="RFC error 1036: no stray byte of a cut character", platforms=("native", "wine"), library=True,
         args=["PRD", "PXA-INFO"], timeout=LIMIT, status=1, xml=True,
         files={PRTG_FOLDER + "PRD.P00": profile(), "landscape.ini": CUT_FILES["landscape.ini"]},
         stdout="<Prtg>\n<Error>1</Error>\n<Text>Error 1036: RFC error at %s: RFC_ERROR_SYSTEM_FAILURE - lost..."
                "</Text>\n</Prtg>\n" % KEPT,
         stderr=rfc_error_block(KEPT, "RFC_ERROR_SYSTEM_FAILURE", "lost")),
]

# DEL and the C1 control character NEL (U+0085, as UTF-8 or as the Latin-1
# byte 0x85) in the library's texts are "?" as every control character; in
# code page 1252 (the classic library's on Windows) the byte 0x85 is the
# ellipsis, a character like any other.
CONTROL_MESSAGE = "broken\x7fend" + u8("\x85") + "next\x85last"
for program, platforms in (("Brennick", ("native",)), ("Brennick", ("wine",))):
    windows = platforms == ("wine",)
    SCENARIOS.append(dict(
        name="RFC error block: DEL and NEL from the library are ? (%s)" % platforms[0], program=program,
        platforms=platforms, library=True, args=["PRD", "PXA-INFO"], timeout=LIMIT, status=1,
        files={"PRD.P00": profile(), "landscape.ini": system("PRD", "prdhost", lines=[
            "error_handler = call", "error_message = " + CONTROL_MESSAGE])},
        stdout=rfc_error_block("RfcReceive", "RFC_ERROR_SYSTEM_FAILURE",
                               "broken?end?next\x85last" if windows else "broken?end?next?last")))
SCENARIOS += [
    dict(name="RFC error 1036: DEL and NEL from the library are ? (native)", platforms=("native",), library=True,
         args=["PRD", "PXA-INFO"], timeout=LIMIT, status=1, xml=True,
         files={PRTG_FOLDER + "PRD.P00": profile(), "landscape.ini": system("PRD", "prdhost", lines=[
             "error_handler = call", "error_message = " + CONTROL_MESSAGE])},
         stdout=error_doc("Error 1036: RFC error at RfcReceive: RFC_ERROR_SYSTEM_FAILURE - broken?end?next?last..."),
         stderr=rfc_error_block("RfcReceive", "RFC_ERROR_SYSTEM_FAILURE", "broken?end?next?last")),
    # The NetWeaver library's texts are UTF-16, NEL the character U+0085.
    dict(name="message 1011: DEL and NEL in the NetWeaver library's reason are ?", program="Holdrun",
         platforms=("native", "wine", "wine64"), nwrfc=True, args=["PRD", "PXA-INFO"], timeout=LIMIT, status=2,
         files={"PRD.P00": profile(), "landscape.ini": system("PRD", "prdhost", lines=[
             "refuse_logon = yes", "error_message = broken\x7fend" + u8("\x85") + "next"])},
         stdout=error_doc("Error 1011: RFC-Open for PRD failed ! RFC_LOGON_FAILURE: broken?end?next")),
    # A profile's host name stands in the progress lines.
    dict(name="progress lines: NEL and DEL in a host name are ?", program="Brennick", library=True,
         args=["PRD", "PXA-INFO #"], timeout=LIMIT, status=0,
         files={"landscape.ini": system("PRD", "nel" + u8("\x85") + "host\x7f", lines=pxa(5, 4711)),
                "PRD.P00": profile(hostname="nel" + u8("\x85") + "host\x7f")},
         stdout=HEADER + "* hh:mm:ss PRD.P00, nel?host?, PRD, 00, 100 State=Processing\n"
         + "* hh:mm:ss PoolMetrics - PXA-INFO  State=Executing\n" + document("Brennick", "PXA-INFO") + DONE),
]
