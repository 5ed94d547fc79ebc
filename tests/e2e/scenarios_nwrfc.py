"""The NetWeaver RFC library against the emulated landscape: which library a
run takes (message 1031 naming both), the logon (sapnwrfc.ini destinations, a
classic destination file that this library does not read, texts to UTF-16,
the R/2 mode with message 1034), every failure route of the call with the
library's message or its trace file, and the journal of what was asked."""

import os
import re

from scenarios_foundation import NO_LIBRARY, error_doc, profile
from scenarios_global import HEADER, OPEN_XML, item_profile, summary_xml
from scenarios_rfc import DONE, ROWS, landscape, open_failed, progress, rows_doc, section
from scenarios_sensors import xml_channel

ALL = ("native", "wine", "wine64")
NW_LINE = "* RFC-Library......: {nwlib}, NetWeaver RFC 7500.0.0 (emulated SAP landscape)\n"
# The NetWeaver library's key of a refused logon.
OPEN_FAILED = open_failed("RFC_LOGON_FAILURE: Name or password is incorrect (repeat logon)")
STANDARD = landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"]))


def prd(*settings):
    return landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"], *settings))


def nw(name, landscape_text=STANDARD, profile_text=None, args=("PRD", "TOTAL-ROWS"), more=None, **keys):
    """A single run of Holdrun through the emulated NetWeaver library alone,
    profile PRD.P00 in the working directory."""
    given = {"landscape.ini": landscape_text, "PRD.P00": profile_text or profile()}
    given.update(more or {})
    keys.setdefault("platforms", ALL)
    keys.setdefault("nwrfc", True)
    keys.setdefault("status", 2)
    return dict(name="NetWeaver: " + name, program="Holdrun", args=list(args), files=given, **keys)


CONNECTION = ("RfcOpenConnection", "RfcCloseConnection", "RfcGetFunctionDesc", "RfcCreateFunction",
              "RfcDestroyFunction", "RfcSetChars", "RfcInvoke", "RfcOpen result", "RfcClose handle", "RfcSetIniPath")


def journal(*expected):
    """A check: the journal's lines of logon, look-up, call and clean-up."""
    def check(scenario_dir, platform):
        path = os.path.join(scenario_dir, "journal.txt")
        got = []
        if os.path.exists(path):
            with open(path, encoding="latin-1") as f:
                got = [line for line in f.read().splitlines() if line.startswith(CONNECTION)]
        if got != list(expected):
            return "journal differs:\n--- expected\n%s\n--- got\n%s" % ("\n".join(expected), "\n".join(got))
        return None
    return check


def parameters(*pairs):
    return ["RfcOpenConnection count=%d" % len(pairs)] + [
        'RfcOpenConnection parameter name="%s" value="%s"' % pair for pair in pairs]


DIRECT = parameters(("ASHOST", "prdhost"), ("SYSNR", "00"), ("CLIENT", "100"), ("USER", "MONITOR"),
                    ("PASSWD", "secret1"), ("LANG", "E"))
# The logon through PRD's sapnwrfc.ini entry: DEST and the profile's logon data.
ENTRY = parameters(("DEST", "PRD"), ("CLIENT", "100"), ("USER", "MONITOR"), ("PASSWD", "secret1"), ("LANG", "E"))
BLANKS = '"' + " " * 32 + '"'
CALL = ['RfcGetFunctionDesc handle=1 name="SAPTUNE_GET_SUMMARY_STATISTIC" desc=1 source=system rc=0',
        "RfcCreateFunction desc=1 result=F1 rc=0",
        'RfcSetChars container=F1 name="DESTINATION" length=32 value=%s rc=0' % BLANKS,
        'RfcInvoke handle=1 function=F1 name="SAPTUNE_GET_SUMMARY_STATISTIC" DESTINATION=%s' % BLANKS]
DONE_CALL = ["RfcInvoke result system=PRD rc=0", "RfcDestroyFunction function=F1 rc=0",
             "RfcCloseConnection handle=1 system=PRD rc=0"]
OPENED = ["RfcOpenConnection result handle=1 system=PRD"]


EURO = landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"], user="\xe2\x82\xacURO"))


def failed(message, hint):
    """The error document of a failed call: the message and the library's own
    text, or the trace-file hint."""
    return error_doc(message + " - " + hint)


# --- sapnwrfc.ini beside the program --------------------------------------------------------
BESIDE_LINE = 'RfcSetIniPath directory="{beside}" file="{beside}sapnwrfc.ini" rc=0'
SET_INI_PATH = re.compile(r'RfcSetIniPath directory="(.*)" file="')


def journal_beside(*expected, count=None):
    """A check: the journal as journal() checks it, "{beside}" standing for
    the program's folder as the library was told it: natively the scenario's
    bin folder, under Wine a Windows path of it (a drive letter, backslashes
    doubled in the journal). With `count`, only that the library was pointed
    there once and read the file there `count` times."""
    def check(scenario_dir, platform):
        with open(os.path.join(scenario_dir, "journal.txt"), encoding="latin-1") as f:
            text = f.read()
        pointed = SET_INI_PATH.findall(text)
        if len(pointed) != 1:
            return "the library was pointed at a folder %d times:\n%s" % (len(pointed), text)
        beside = pointed[0]
        if platform.wine:
            if not beside.lower().endswith("\\\\bin\\\\"):
                return "RfcSetIniPath named %s, not the program's folder" % beside
        elif beside != os.path.join(scenario_dir, "bin") + "/":
            return "RfcSetIniPath named %s, not the program's folder" % beside
        if count is not None:
            read = text.count(ENTRY_READ % (beside + "sapnwrfc.ini"))
            return None if read == count else "the entry beside the program read %d times:\n%s" % (read, text)
        return journal(*[line.replace("{beside}", beside) for line in expected])(scenario_dir, platform)
    return check


ENTRY_BESIDE = "DEST=PRD\nASHOST=prdhost\nSYSNR=00\n"
# An entry whose system is not there: a logon through it fails.
ENTRY_ELSEWHERE = "DEST=PRD\nASHOST=nohost\nSYSNR=00\n"
ENTRY_READ = 'RfcOpenConnection sapnwrfc file="%s" ASHOST="prdhost" DEST="PRD" SYSNR="00"'
BESIDE_SCENARIOS = [
    # The profile names a host that is not there: only the entry reaches PRD.
    nw("sapnwrfc.ini beside the program is read from another working directory; the output as without it",
       profile_text=profile(hostname="nohost"), more={"bin/sapnwrfc.ini": ENTRY_BESIDE},
       args=["PRD", "TOTAL-ROWS #"], status=0, platforms=("native", "wine64"), after={"sapnwrfc.ini": None},
       stdout=progress("TOTAL-ROWS ", header="PRD.P00, nohost, PRD, 00, 100") + NW_LINE + rows_doc() + DONE,
       check=journal_beside(BESIDE_LINE, *ENTRY, ENTRY_READ % "{beside}sapnwrfc.ini", *OPENED, *CALL,
                            *DONE_CALL)),
    nw("sapnwrfc.ini beside the program wins over the working directory's",
       profile_text=profile(hostname="nohost"),
       more={"bin/sapnwrfc.ini": ENTRY_BESIDE, "sapnwrfc.ini": ENTRY_ELSEWHERE},
       stdout=rows_doc(), status=0, platforms=("native", "wine64"),
       check=journal_beside(BESIDE_LINE, *ENTRY, ENTRY_READ % "{beside}sapnwrfc.ini", *OPENED, *CALL,
                            *DONE_CALL)),
    # Without an entry for the destination there, the logon goes direct: the
    # working directory's entry is not read either.
    nw("sapnwrfc.ini beside the program without the destination: direct logon, the working directory's unread",
       more={"bin/sapnwrfc.ini": "DEST=QAS\nASHOST=qashost\nSYSNR=01\n", "sapnwrfc.ini": ENTRY_ELSEWHERE},
       stdout=rows_doc(), status=0, platforms=("native", "wine64"),
       check=journal_beside(BESIDE_LINE, *DIRECT, *OPENED, *CALL, *DONE_CALL)),
    nw("no sapnwrfc.ini beside the program: the working directory's, the library never pointed elsewhere",
       profile_text=profile(hostname="nohost"), more={"sapnwrfc.ini": ENTRY_BESIDE},
       stdout=rows_doc(), status=0, platforms=("native", "wine64"),
       check=journal(*ENTRY, ENTRY_READ % "sapnwrfc.ini", *OPENED, *CALL, *DONE_CALL)),
    nw("a folder named sapnwrfc.ini beside the program is no file: the working directory's",
       profile_text=profile(hostname="nohost"), more={"bin/sapnwrfc.ini": None, "sapnwrfc.ini": ENTRY_BESIDE},
       stdout=rows_doc(), status=0, platforms=("native", "wine64"),
       check=journal(*ENTRY, ENTRY_READ % "sapnwrfc.ini", *OPENED, *CALL, *DONE_CALL)),
    # Each system of a global run is looked for in the same file; the library
    # is pointed at it once.
    dict(name="NetWeaver: item run, every system through sapnwrfc.ini beside the program", program="Holdrun",
         nwrfc=True, platforms=("native", "wine64"), args=["x", "TOTAL-ROWS", "ITEM=Main"], status=0, xml=True,
         files={"landscape.ini": STANDARD, "Overseer.Prf": item_profile("PRD.P00#PRD2.P00#"),
                "PRD.P00": profile(hostname="nohost"), "PRD2.P00": profile(hostname="nohost"),
                "bin/sapnwrfc.ini": ENTRY_BESIDE},
         stdout=OPEN_XML + "".join(xml_channel(label, str(100 + i), "#") for i, (_, label) in enumerate(ROWS))
         + summary_xml("Main", 2, 2, 0),
         check=journal_beside(count=2)),
]


SCENARIOS = [
    # --- the call ---------------------------------------------------------------------------
    nw("a single run prints the classic document; one logon, one look-up, one call, all given back",
       more={"dev_rfc.log": "**** ERROR old\n", "Dev_Rfc.Trc": "classic\n"}, stdout=rows_doc(), status=0,
       xml=True, after={"dev_rfc.log": None, "SapRfc.ini": None, "SapRfc.lck": None},
       check=journal(*DIRECT, *OPENED, *CALL, *DONE_CALL)),
    nw("progress lines name the library and its version", args=["PRD", "TOTAL-ROWS #"],
       stdout=progress("TOTAL-ROWS ") + NW_LINE + rows_doc() + DONE, status=0),
    nw("refused logon: 1011 as with the classic library; the trace file stays",
       prd("refuse_logon = yes"), stdout=OPEN_FAILED, after={"dev_rfc.log": True},
       check=journal(*DIRECT, 'RfcOpenConnection result handle=NULL rc=2 key="RFC_LOGON_FAILURE" '
                     'message="Name or password is incorrect (repeat logon)"')),
    nw("wrong password: 1011", profile_text=profile(password="{pw:secret9}"), stdout=OPEN_FAILED),
    nw("COMMUNICATION_FAILURE: 1014 and the library's message; the function and connection given back",
       prd("invoke_rc = 1"), stdout=failed("Error 1014: RFC-Failure raised !", "connection to partner broken"),
       check=journal(*DIRECT, *OPENED, *CALL,
                     'RfcInvoke result rc=1 key="RFC_COMMUNICATION_FAILURE" message="connection to partner broken"',
                     "RfcDestroyFunction function=F1 rc=0",
                     "RfcCloseConnection handle=1 system=PRD closed-by-system rc=0")),
    nw("the connection closed in the call: 1014", prd("error_handler = call"),
       stdout=failed("Error 1014: RFC-Failure raised !", "connection closed by the emulated system PRD")),
    nw("a system's own message replaces the library's", prd("invoke_rc = 1", "error_message = line & <down>"),
       stdout=failed("Error 1014: RFC-Failure raised !", "line &amp; &lt;down&gt;")),
    nw("ABAP_RUNTIME_FAILURE: 1013 and the library's message", prd("invoke_rc = 3", "exception = DBIF_RSQL_ERROR"),
       stdout=failed("Error 1013: Sys-Exception raised !", "DBIF_RSQL_ERROR")),
    nw("ABAP_MESSAGE: 1013 and the library's message", prd("invoke_rc = 4"),
       stdout=failed("Error 1013: Sys-Exception raised !",
                     "Message 001 of class 00 (type E) raised by the emulated system PRD")),
    nw("function module not found: 1015 and the library's message", prd("function_not_found = yes"),
       stdout=failed("Error 1015: Other Failure raised !",
                     'Function module "SAPTUNE_GET_SUMMARY_STATISTIC" not found'),
       check=journal(*DIRECT, *OPENED,
                     'RfcGetFunctionDesc handle=1 name="SAPTUNE_GET_SUMMARY_STATISTIC" rc=17 key="FU_NOT_FOUND" '
                     'message="Function module \\"SAPTUNE_GET_SUMMARY_STATISTIC\\" not found"',
                     "RfcCloseConnection handle=1 system=PRD rc=0")),
    nw("TIMEOUT, an unexpected code: 1015", prd("invoke_rc = 8"),
       stdout=failed("Error 1015: Other Failure raised !", "internal error, return code 8")),
    nw("a classic return code the library does not know: 1015", prd("receive_rc = 7"),
       stdout=failed("Error 1015: Other Failure raised !", "internal error, return code 7")),
    # The classic library hands such half-bytes over as they are; this one
    # cannot read the field at all, and no sensor type gets a figure.
    nw("a packed field the library cannot render: 1015, no figure",
       prd("value DB_ACCESSES.DIRECT = raw:00000000 0001AB2C"), args=["PRD", "PXA-INFO"],
       stdout=failed("Error 1015: Other Failure raised !",
                     "field DB_ACCESSES.DIRECT holds no valid packed number (000000000001AB2C)")),
    # An ABAP exception is the function module's answer: the hint reads this
    # library's trace file, dev_rfc.log, else dev_rfc.trc of older patch levels.
    nw("ABAP_EXCEPTION: 1012 with its name; no trace file", prd("invoke_rc = 5", "exception = NO_DATA"),
       stdout=failed("Error 1012: Exception.: NO_DATA", "Look for Trace-File")),
    nw("ABAP_EXCEPTION: the hint from dev_rfc.log",
       prd("receive_rc = 2", "exception = NO_DATA", "trace_at_call = ERROR       buffer was reset"),
       more={"dev_rfc.trc": "ERROR       not this one\n"},
       stdout=failed("Error 1012: Exception.: NO_DATA", "buffer was reset"), after={"dev_rfc.log": True}),
    nw("ABAP_EXCEPTION: the hint from dev_rfc.trc when there is no dev_rfc.log",
       prd("invoke_rc = 5", "exception = NO_DATA"), more={"dev_rfc.trc": "ERROR       from an older library\n"},
       stdout=failed("Error 1012: Exception.: NO_DATA", "from an older library")),

    # --- the R/2 mode -----------------------------------------------------------------------
    nw("R/2 mode: 1034, no logon tried", profile_text=profile(mode="R/2"),
       stdout=error_doc("Error 1034: Mode R/2 of PRD not supported by RFC-Library {nwlib}..."), check=journal()),
    nw("R/2 mode with a sapnwrfc.ini entry: the entry addresses the system",
       profile_text=profile(mode="R/2", hostname="nohost"), more={"sapnwrfc.ini": "DEST=PRD\nASHOST=prdhost\nSYSNR=00\n"},
       stdout=rows_doc(), status=0),
    nw("r/2 in lower case is no R/2 mode", profile_text=profile(mode="r/2"), stdout=rows_doc(), status=0),

    # --- sapnwrfc.ini -----------------------------------------------------------------------
    nw("sapnwrfc.ini entry: DEST and the profile's logon data, no copy, no lock",
       profile_text=profile(hostname="nohost", sysnr="42"), args=["PRD", "TOTAL-ROWS,HOST=other,NO=17"],
       more={"sapnwrfc.ini": "# destinations\nDEST=QAS\nASHOST=qashost\nSYSNR=01\n\n dest = prd \nASHOST=prdhost\n"
                             "SYSNR=00\n"},
       stdout=rows_doc(), status=0, after={"SapRfc.ini": None, "SapRfc.lck": None},
       check=journal(*ENTRY, 'RfcOpenConnection sapnwrfc file="sapnwrfc.ini" ASHOST="prdhost" DEST="prd" SYSNR="00"',
                     *OPENED, *CALL, *DONE_CALL)),
    nw("sapnwrfc.ini without the destination: direct logon with the overrides",
       profile_text=profile(hostname="nohost"), args=["PRD", "TOTAL-ROWS,HOST=prdhost,NO=0"],
       more={"sapnwrfc.ini": "#DEST=PRD\n// DEST=PRD\nDEST=PRDX\nASHOST=nohost\nSYSNR=00\n"},
       stdout=rows_doc(), status=0, check=journal(*DIRECT, *OPENED, *CALL, *DONE_CALL)),
    # Saved by Notepad (a UTF-8 byte-order mark, CR LF) or by an editor that
    # ends lines with a CR alone: the entry is still found, by the program and
    # by the library, and its address is used, not the profile's wrong one.
    nw("sapnwrfc.ini behind a UTF-8 byte-order mark: the entry addresses the system",
       profile_text=profile(hostname="nohost"),
       more={"sapnwrfc.ini": "\xef\xbb\xbfDEST=PRD\r\nASHOST=prdhost\r\nSYSNR=00\r\n"},
       stdout=rows_doc(), status=0,
       check=journal(*ENTRY, 'RfcOpenConnection sapnwrfc file="sapnwrfc.ini" ASHOST="prdhost" DEST="PRD" SYSNR="00"',
                     *OPENED, *CALL, *DONE_CALL)),
    nw("sapnwrfc.ini with CR line ends: the entry addresses the system",
       profile_text=profile(hostname="nohost"),
       more={"sapnwrfc.ini": "# destinations\rDEST=QAS\rASHOST=nohost\rSYSNR=01\r\rDEST=PRD\rASHOST=prdhost\r"
                             "SYSNR=00\r"},
       stdout=rows_doc(), status=0,
       check=journal(*ENTRY, 'RfcOpenConnection sapnwrfc file="sapnwrfc.ini" ASHOST="prdhost" DEST="PRD" SYSNR="00"',
                     *OPENED, *CALL, *DONE_CALL)),
    nw("a sapnwrfc.ini entry whose system refuses: 1011",
       prd("refuse_logon = yes"), more={"sapnwrfc.ini": "DEST=PRD\nASHOST=prdhost\nSYSNR=00\n"}, stdout=OPEN_FAILED),

    # --- a classic destination file ---------------------------------------------------------
    nw("SapRfc.PRD is not read by this library: a progress line, a direct logon, no SapRfc.ini",
       args=["PRD", "TOTAL-ROWS #"], more={"SapRfc.PRD": "DEST=PRD\nTYPE=A\nASHOST=nohost\nSYSNR=00\n"},
       stdout=progress("TOTAL-ROWS ") + NW_LINE
       + "* SapRfc.PRD not used: no DEST=PRD in sapnwrfc.ini, direct logon\n" + rows_doc() + DONE,
       status=0, after={"SapRfc.ini": None, "SapRfc.lck": None, "SapRfc.PRD": True},
       check=journal(*DIRECT, *OPENED, *CALL, *DONE_CALL)),
    nw("SapRfc.PRD without progress marks: the document alone", more={"SapRfc.PRD": "DEST=PRD\n"},
       stdout=rows_doc(), status=0, after={"SapRfc.ini": None}),
    nw("SapRfc.PRD and a sapnwrfc.ini entry: the entry, no line", args=["PRD", "TOTAL-ROWS #"],
       more={"SapRfc.PRD": "DEST=PRD\nASHOST=nohost\n", "sapnwrfc.ini": "DEST=PRD\nASHOST=prdhost\nSYSNR=00\n"},
       stdout=progress("TOTAL-ROWS ") + NW_LINE + rows_doc() + DONE, status=0),

    # --- texts to UTF-16 --------------------------------------------------------------------
    # The profile's bytes mean what they mean in the documents: UTF-8 when
    # well-formed, else Latin-1 natively and code page 1252 on Windows.
    nw("a UTF-8 user", landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"], user="M\xc3\x9cLLER")),
       profile_text=profile(user="m\xc3\x9cller"), stdout=rows_doc(), status=0),
    nw("a Latin-1 user", landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"], user="M\xc3\x9cLLER")),
       profile_text=profile(user="m\xdcller"), stdout=rows_doc(), status=0),
    nw("byte 0x80 is U+0080 natively", EURO, profile_text=profile(user="\x80uro"), platforms=("native",),
       stdout=OPEN_FAILED),
    nw("byte 0x80 is the euro sign on Windows", EURO, profile_text=profile(user="\x80uro"),
       platforms=("wine", "wine64"), stdout=rows_doc(), status=0),

    # --- a global run -----------------------------------------------------------------------
    dict(name="NetWeaver: item run with the library line, an R/2 system and a refused one", program="Holdrun",
         nwrfc=True, platforms=ALL, args=["x", "TOTAL-ROWS #", "ITEM=Main"], status=0,
         files={"landscape.ini": landscape(section("PRD", ["ashost = prdhost", "sysnr = 00"]),
                                           section("REF", ["ashost = refhost", "sysnr = 02"], "refuse_logon = yes")),
                "Overseer.Prf": item_profile("R2.P00#REF.P00#PRD.P00#"), "PRD.P00": profile(),
                "R2.P00": profile(destination="R2X", mode="R/2"),
                "REF.P00": profile(destination="REF", hostname="refhost", sysnr="02")},
         stdout=HEADER + "* hh:mm:ss TOTAL-ROWS # ITEM=Main State=Executing\n" + NW_LINE + OPEN_XML
         + "\n* hh:mm:ss R2.P00, prdhost, R2X, 00, 100 State=Rfc Failure\n"
         + "\n* hh:mm:ss REF.P00, refhost, REF, 02, 100 State=Rfc Failure\n"
         + "\n* hh:mm:ss PRD.P00, prdhost, PRD, 00, 100 State=Processed\n"
         + "".join(xml_channel(label, str(100 + i), "#") for i, (_, label) in enumerate(ROWS))
         + summary_xml("Main", 3, 1, 2) + DONE),

    # --- which library ----------------------------------------------------------------------
    nw("neither library: 1031 names both", nwrfc=False,
       stdout=NO_LIBRARY),
    nw("a NetWeaver library lacking RfcInvoke: 1031 before any call", nwrfc="incomplete",
       stdout=error_doc("Error 1031: RFC-Library {classic} could not be loaded (not found in {bin} nor by {search}), "
                        "RFC-Library {nwlib} lacks operation RfcInvoke...")),
    nw("both libraries incomplete: 1031 says why each failed", nwrfc="incomplete", library="incomplete",
       platforms=("native", "wine"),
       stdout=error_doc("Error 1031: RFC-Library {classic} lacks operation RfcOpenEx, "
                        "RFC-Library {nwlib} lacks operation RfcInvoke...")),
    nw("an incomplete classic library gives way to the NetWeaver one", library="incomplete",
       platforms=("native", "wine"), args=["PRD", "TOTAL-ROWS #"],
       stdout=progress("TOTAL-ROWS ") + NW_LINE + rows_doc() + DONE, status=0),
    nw("both libraries: the classic one serves, and no library line is printed", library=True,
       platforms=("native", "wine"), args=["PRD", "TOTAL-ROWS #"],
       stdout=progress("TOTAL-ROWS ") + rows_doc() + DONE, status=0,
       check=journal('RfcOpen result handle=1 system=PRD', 'RfcClose handle=1 system=PRD')),
    nw("the 64-bit program: the 32-bit classic library does not load, the NetWeaver one serves",
       library32=True, platforms=("wine64",), args=["PRD", "TOTAL-ROWS #"],
       stdout=progress("TOTAL-ROWS ") + NW_LINE + rows_doc() + DONE, status=0),
] + BESIDE_SCENARIOS
