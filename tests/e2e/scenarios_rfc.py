"""The RFC side against the emulated landscape: logon through RfcOpen in both
modes and through a destination ini file (checked in the library's journal),
the host and system-number overrides of the parameters, refused logons, the RFC
error block, failed calls with their trace-file hints, the trace file after
success and failure, progress lines, and many sensors at once in one working
directory."""

import os
import re

import prtg_contract
from e2e import normalise, run_program, xml_ok
from scenarios_foundation import error_doc, profile

# The PRTG sensor directory, where mode EXEXML looks for a profile.
EXEXML_DIR = "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\"
SINCE = "since 02.01.23 at 10:15"
ROWS = [("UPDATE", "Physical updates"), ("DELETE", "Physical deletes"), ("INSERT", "Physical inserts"),
        ("DIRECT", "Phys. direct read accesses"), ("SEQUENTIAL", "Phys. seq. read accesses")]


# --- fixtures -------------------------------------------------------------------
def section(name, address, *settings, base=100, client="100", user="MONITOR", password="secret1"):
    """One [system] of a landscape. TOTAL_ROWS holds base, base+1, ... so that
    every system reports figures of its own."""
    lines = ["[system %s]" % name] + list(address) + [
        "client = " + client, "user = " + user, "password = " + password,
        "value STARTUP_DATE = 20230102", "value STARTUP_TIME = 101530"]
    lines += ["value TOTAL_ROWS.%s = %d" % (field, base + i) for i, (field, _) in enumerate(ROWS)]
    return "\n".join(lines + list(settings)) + "\n"


def landscape(*sections):
    return "[landscape]\njournal = journal.txt\n\n" + "\n".join(sections)


def prd(*settings):
    return section("PRD", ["ashost = prdhost", "sysnr = 00"], *settings, base=100)


QAS = section("QAS", ["ashost = qashost", "sysnr = 01"], base=200)
STANDARD = landscape(prd(), QAS)


def files(landscape_text=STANDARD, profile_text=None, here=False, **more):
    """Landscape and profile PRD.P00: in the PRTG sensor directory, or with
    here=True in the working directory (for parameters with "@")."""
    result = {"landscape.ini": landscape_text,
              ("PRD.P00" if here else EXEXML_DIR + "PRD.P00"): profile_text or profile()}
    result.update(more)
    return result


def rows_doc(destination="PRD", base=100):
    """The TOTAL-ROWS document of a system whose figures start at base."""
    return ("\n<Prtg>\n\n<Text>(%s) Total Rows: Physical Database Accesses, %s</Text>\n" % (destination, SINCE)
            + "".join("\n<Result><Channel>%s</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</CustomUnit>"
                      "\n<Value>%d</Value></Result>\n" % (label, base + i) for i, (_, label) in enumerate(ROWS))
            + "\n</Prtg>\n")


def ini_line(destination="PRD"):
    return "* SapRfc.Ini.......: %s<\n" % destination


def rfc_error_block(operation, key, message, status="", intstat=""):
    return ("RFC error\n"
            "operation/code  : %s\n"
            "key             : %s\n"
            "status          : %s\n"
            "message         : %s\n"
            "internal status : %s\n"
            "\n"
            "* Programm aborted...\n"
            "* Error at EoXput-File...\n") % (operation, key, status, message, intstat)


def progress(executing, header="PRD.P00, prdhost, PRD, 00, 100"):
    return ("* hh:mm:ss SAP PoolMetrics Vers 4.3 / 29.08.22\n"
            "* hh:mm:ss %s State=Processing\n"
            "* hh:mm:ss PoolMetrics - %s State=Executing\n") % (header, executing)


DONE = "\n* hh:mm:ss SAP PoolMetrics now processed...\n"
def open_failed(cause, destination="PRD"):
    """Message 1011 with the cause the library or the program gives."""
    return error_doc("Error 1011: RFC-Open for %s failed ! %s" % (destination, cause))


# SapRfc.<dest> did not reach SapRfc.ini: no logon was tried.
NOT_COPIED = "SapRfc.PRD could not be copied to SapRfc.ini in the working directory"
# The causes the emulated classic library gives, as a real one words them.
WRONG_PASSWORD = "RFC_ERROR_LOGON_FAILURE: Name or password is incorrect (repeat logon)"
NOT_REACHED = "RFC_ERROR_COMMUNICATION: partner '%s' not reached"
OPEN_FAILED = open_failed(WRONG_PASSWORD)

CONNECTION_EVENTS = ("RfcEnvironment", "RfcOpen", "RfcClose", "ErrorHandler", "RfcLastError")


def journal(*expected):
    """A check: the journal's lines of logon, error handler and close, as
    expected (the records' bytes hold addresses and are left out)."""
    def check(scenario_dir, platform):
        path = os.path.join(scenario_dir, "journal.txt")
        if not os.path.exists(path):
            return "the library wrote no journal"
        with open(path, encoding="latin-1") as f:
            got = [re.sub(r" bytes=[0-9A-F]*", "", line) for line in f.read().splitlines()
                   if line.startswith(CONNECTION_EVENTS) and not line.startswith("RfcOpen options bytes=")]
        # The library names saprfc.ini as the platform's file system found it.
        ini = "saprfc.ini" if platform.name == "wine" else "SapRfc.ini"
        expected_lines = [line.replace("{ini}", ini) for line in expected]
        if got != expected_lines:
            return "journal differs:\n--- expected\n%s\n--- got\n%s" % ("\n".join(expected_lines), "\n".join(got))
        return None
    return check


def well_formed(expected):
    """A check for outputs where progress lines follow the document: the
    document of the expected output (compared whole anyway) is well-formed."""
    def check(scenario_dir, platform):
        text = expected.encode("latin-1")
        ok, err = xml_ok(text[text.find(b"<Prtg>"):text.rfind(b"</Prtg>") + len(b"</Prtg>")])
        return None if ok else "document is not well-formed: " + err
    return check


def options(user="MONITOR     ", password="secret1   ", mode=0, language="E", destination="PRD", client="100"):
    return ('RfcOpen options destination="%s" mode=%d connopt=SET client="%s" user="%s" password="%s" '
            'language="%s" trace=0' % (destination, mode, client, user, password, language))


def r3only(hostname='"prdhost"', sysnr=0, gateway_host='"prdhost"', gateway_service='"sapgw00"'):
    return "RfcOpen connopt R3ONLY hostname=%s sysnr=%d gateway_host=%s gateway_service=%s" % (
        hostname, sysnr, gateway_host, gateway_service)


ENV = "RfcEnvironment errorhandler=SET allocate=NULL"


def opened(system="PRD", how="RfcOpen"):
    return ["%s result handle=1 system=%s" % (how, system), "RfcClose handle=1 system=%s" % system]


SCENARIOS = []

# --- logon through RfcOpen --------------------------------------------------------
# (what the profile says, the system that must take the logon, what RfcOpen receives)
for title, fields, address, user, password, sysnr in [
    ("user padded to 12 and password to 10 blanks, system number 07 as 7",
     dict(user="mon", password="{pw:ab}", hostname="r3host", sysnr="07", gwhost="r3gw", gwservice="sapgw17"),
     ["ashost = r3host", "sysnr = 07", "gwhost = r3gw", "gwserv = sapgw17"], "MON         ", "ab        ", 7),
    ("a 12-character user and an 11-character password pass unchanged, system number 99",
     dict(user="monitoring_1", password="{pw:Secret_1234}", hostname="r3host", sysnr="99", gwhost="r3gw",
          gwservice="sapgw17"),
     ["ashost = r3host", "sysnr = 99", "gwhost = r3gw", "gwserv = sapgw17"], "MONITORING_1", "Secret_1234", 99),
    ("the system number is read up to the first non-digit",
     dict(user="mon", password="{pw:ab}", hostname="r3host", sysnr="7x", gwhost="r3gw", gwservice="sapgw17"),
     ["ashost = r3host", "sysnr = 07", "gwhost = r3gw", "gwserv = sapgw17"], "MON         ", "ab        ", 7),
]:
    SCENARIOS.append(dict(
        name="RfcOpen mode 0 (R/3): " + title, library=True, args=["PRD", "TOTAL-ROWS"],
        files=files(landscape(section("R3S", address, user=user.strip(), password=password.strip())),
                    profile(**fields)),
        stdout=rows_doc(), status=0, xml=True,
        check=journal(ENV, options(user=user, password=password),
                      r3only('"r3host"', sysnr, '"r3gw"', '"sapgw17"'), *opened("R3S"))))

R2P = section("R2P", ["gwhost = gw2host", "gwserv = sapgw02"], base=300)
SCENARIOS += [
    dict(name="RfcOpen mode 1 (R/2): the gateway record, no host or system number", library=True,
         args=["PRD", "TOTAL-ROWS"],
         files=files(landscape(prd(), R2P), profile(mode="R/2", gwhost="gw2host", gwservice="sapgw02")),
         stdout=rows_doc(base=300), status=0, xml=True,
         check=journal(ENV, options(mode=1), 'RfcOpen connopt CPIC gateway_host="gw2host" gateway_service="sapgw02"',
                       *opened("R2P"))),
    # "R/2" is compared whole and with case: "r/2" is an application server.
    dict(name="Mode r/2 in lower case is mode 0", library=True, args=["PRD", "TOTAL-ROWS"],
         files=files(landscape(prd(), R2P), profile(mode="r/2", gwhost="gw2host", gwservice="sapgw02")),
         stdout=rows_doc(), status=0, xml=True,
         check=journal(ENV, options(), r3only(gateway_host='"gw2host"', gateway_service='"sapgw02"'), *opened())),
]

# --- the overrides ",HOST=" and ",NO=" of the parameters ----------------------------
# They take the text as typed up to the next comma or blank; the header still
# names the profile's destination, the figures are those of the system reached.
# A profile needs at least two characters in Hostname, Gwhost and Gwservice, so
# an empty host (a null pointer in the record) comes only from an empty
# ",HOST="; the gateway fields always reach RfcOpen as texts.
# A failed RfcOpen, and the program asking the library why.
NO_HOST = ['RfcOpen result handle=0 key="RFC_ERROR_PROGRAM" message="no application server host given"',
           'RfcLastError key="RFC_ERROR_PROGRAM" status="" message="no application server host given" intstat=""']
for title, args, sysnr_in_profile, hostname, sysnr, result, out in [
    ("host and system number reach RfcOpen", ["TOTAL-ROWS,HOST=qashost,NO=01"], "00", '"qashost"', 1,
     opened("QAS"), rows_doc(base=200)),
    ("keywords in any case, values as typed and ended by a blank", ["total-rows,host=QasHost", "x,No=1 y"], "00",
     '"QasHost"', 1, opened("QAS"), rows_doc(base=200)),
    ("only the host: the profile's system number stays", ["TOTAL-ROWS,HOST=qashost"], "01", '"qashost"', 1,
     opened("QAS"), rows_doc(base=200)),
    ("only the system number: the profile's host stays", ["TOTAL-ROWS,NO=01"], "00", '"prdhost"', 1,
     ['RfcOpen result handle=0 key="RFC_ERROR_COMMUNICATION" message="partner \'prdhost:sapgw01\' not reached"',
      'RfcLastError key="RFC_ERROR_COMMUNICATION" status="" message="partner \'prdhost:sapgw01\' not reached" '
      'intstat=""'],
     open_failed(NOT_REACHED % "prdhost:sapgw01")),
    ("an empty host is a null pointer, a system number without digits 0", ["TOTAL-ROWS,HOST=,NO=x"], "01", "NULL",
     0, NO_HOST, open_failed("RFC_ERROR_PROGRAM: no application server host given")),
    ("HOST= without the comma is no override", ["TOTAL-ROWS HOST=qashost NO=01"], "00", '"prdhost"', 0,
     opened("PRD"), rows_doc()),
]:
    SCENARIOS.append(dict(
        name="override: " + title, library=True, args=["PRD"] + args,
        files=files(profile_text=profile(sysnr=sysnr_in_profile)), stdout=out,
        status=2 if "Error 1011" in out else 0, xml=True,
        check=journal(ENV, options(), r3only(hostname, sysnr), *result)))

# --- logon through a destination ini file ----------------------------------------
SAPRFC_PRD = b"* monitoring host\r\nDEST=PRD\r\nTYPE=A\r\nASHOST=prdhost\r\nSYSNR=00\r\n"
OPEN_EX = 'RfcOpenEx connect="CLIENT=100 USER=MONITOR PASSWD=secret1 LANG=D DEST=PRD"'
SAPRFC_READ = 'RfcOpenEx saprfc file="{ini}" ASHOST="prdhost" DEST="PRD" SYSNR="00" TYPE="A"'
# The profile's own address leads nowhere: only the ini file can reach PRD.
INI_PROFILE = profile(language="E", hostname="nohost", sysnr="05")
SCENARIOS += [
    dict(name="SapRfc.PRD is copied over SapRfc.ini and RfcOpenEx logs on with LANG=D, no padding", library=True,
         args=["PRD", "TOTAL-ROWS"],
         files=files(profile_text=INI_PROFILE, **{"SapRfc.PRD": SAPRFC_PRD,
                                                  "SapRfc.ini": "DEST=PRD\nASHOST=qashost\nSYSNR=01\n"}),
         stdout=ini_line() + rows_doc(), status=0, xml=True,
         after={"SapRfc.ini": SAPRFC_PRD, "SapRfc.PRD": SAPRFC_PRD},
         check=journal(ENV, OPEN_EX, SAPRFC_READ, *opened(how="RfcOpenEx"))),
    dict(name="SapRfc.PRD: the overrides of the parameters do not apply", library=True,
         args=["PRD", "TOTAL-ROWS,HOST=qashost,NO=01"], files=files(profile_text=INI_PROFILE, **{
             "SapRfc.PRD": SAPRFC_PRD}),
         stdout=ini_line() + rows_doc(), status=0, xml=True,
         check=journal(ENV, OPEN_EX, SAPRFC_READ, *opened(how="RfcOpenEx"))),
    dict(name="SapRfc.PRD of zero bytes: an empty SapRfc.ini, RfcOpenEx still called", library=True,
         args=["PRD", "TOTAL-ROWS"], files=files(profile_text=INI_PROFILE, **{"SapRfc.PRD": ""}),
         stdout=lambda p: ini_line() + open_failed("RFC_ERROR_PROGRAM: destination PRD is not in %s"
                                                   % ("saprfc.ini" if p.name == "wine" else "SapRfc.ini")),
         status=2, xml=True, after={"SapRfc.ini": ""},
         check=journal(ENV, OPEN_EX, 'RfcOpenEx result handle=0 key="RFC_ERROR_PROGRAM" '
                                     'message="destination PRD is not in {ini}"')),
    dict(name="SapRfc.ini cannot be written: the line is printed, no logon is tried", library=True,
         args=["PRD", "TOTAL-ROWS"], files=files(profile_text=INI_PROFILE, **{"SapRfc.PRD": SAPRFC_PRD,
                                                                              "SapRfc.ini": None}),
         stdout=ini_line() + open_failed(NOT_COPIED), status=2, xml=True, check=journal(ENV)),
]

# --- refused logons: 1011, no trace hint, the library's trace file stays -------------
for title, landscape_text, profile_text, extra, out in [
    ("refuse_logon", landscape(prd("refuse_logon = yes")), profile(), {}, OPEN_FAILED),
    ("wrong password", STANDARD, profile(password="{pw:secret2}"), {}, OPEN_FAILED),
    ("wrong client", STANDARD, profile(client="999"), {},
     open_failed("RFC_ERROR_LOGON_FAILURE: Client 999 is not available in this system")),
    ("no system at the address", STANDARD, profile(hostname="nohost"), {},
     open_failed(NOT_REACHED % "nohost:sapgw00")),
    ("R/2 system refusing",
     landscape(section("R2P", ["gwhost = gw2host", "gwserv = sapgw02"], "refuse_logon = yes")),
     profile(mode="R/2", gwhost="gw2host", gwservice="sapgw02"), {}, OPEN_FAILED),
    ("through the destination ini file", landscape(prd("refuse_logon = yes")), INI_PROFILE,
     {"SapRfc.PRD": SAPRFC_PRD}, ini_line() + OPEN_FAILED),
]:
    SCENARIOS.append(dict(
        name="refused logon: " + title, library=True, args=["PRD", "TOTAL-ROWS"],
        files=files(landscape_text, profile_text, **extra), stdout=out, status=2, xml=True,
        after={"Dev_Rfc.Trc": True}))

SCENARIOS.append(dict(
    name="refused logon after the progress lines", library=True, args=["PRD", "TOTAL-ROWS #"],
    files=files(landscape(prd("refuse_logon = yes"))), stdout=progress("TOTAL-ROWS ") + OPEN_FAILED, status=2,
    xml=True))

# --- the RFC error block: exit status 1, the whole block on standard output ----------
DEV_TEXTS = ["error_key = RFC_ERROR_SYSTEM_FAILURE", "error_status = CPIC-CALL: 'ThSAPCMRCV'",
             "error_message = Connection closed (no data)", "error_intstat = rc=13"]
DEV_BLOCK = dict(key="RFC_ERROR_SYSTEM_FAILURE", status="CPIC-CALL: 'ThSAPCMRCV'",
                 message="Connection closed (no data)", intstat="rc=13")
for title, settings, extra, before, block in [
    ("handler at RfcOpen, the library's defaults", ["error_handler = open"], {}, "",
     rfc_error_block("RfcOpen", "RFC_ERROR_SYSTEM_FAILURE", "connection closed by the emulated system PRD")),
    ("handler at RfcOpenEx with every field", ["error_handler = open"] + DEV_TEXTS,
     {"SapRfc.PRD": SAPRFC_PRD}, ini_line(), rfc_error_block("RfcOpenEx", **DEV_BLOCK)),
    ("handler during the call with every field", ["error_handler = call"] + DEV_TEXTS, {}, "",
     rfc_error_block("RfcReceive", **DEV_BLOCK)),
    ("an operation text longer than the label column is not cut",
     ["error_handler = call", "error_operation = RfcReceive on handle 1 <SAPTUNE_GET_SUMMARY_STATISTIC>"], {}, "",
     rfc_error_block("RfcReceive on handle 1 <SAPTUNE_GET_SUMMARY_STATISTIC>", "RFC_ERROR_SYSTEM_FAILURE",
                     "connection closed by the emulated system PRD")),
    ("ItCreate fails for every table: the first one is named", ["itcreate_fails = all"], {}, "",
     rfc_error_block("ItCreate ALLOC_PROCEDURE_DIA", "RFC_ERROR_RESOURCE",
                     "no memory for internal table ALLOC_PROCEDURE_DIA")),
    ("ItCreate fails for one table", ["itcreate_fails = TABLE_QUALITIES"], {}, "",
     rfc_error_block("ItCreate TABLE_QUALITIES", "RFC_ERROR_RESOURCE", "no memory for internal table TABLE_QUALITIES")),
    ("ItDelete fails after a good call: no document", ["itdelete_fails = TABLE_STATISTIC"], {}, "",
     rfc_error_block("ItDelete TABLE_STATISTIC", "RFC_ERROR_RESOURCE",
                     "internal table TABLE_STATISTIC cannot be freed")),
    ("ItDelete fails after a failed call: no error document", ["receive_rc = 1", "itdelete_fails = all"], {}, "",
     rfc_error_block("ItDelete ALLOC_PROCEDURE_DIA", "RFC_ERROR_RESOURCE",
                     "internal table ALLOC_PROCEDURE_DIA cannot be freed")),
]:
    SCENARIOS.append(dict(
        name="RFC error block: " + title, library=True, args=["PRD", "TOTAL-ROWS"],
        files=files(landscape(prd(*settings)), INI_PROFILE if extra else None, **extra),
        stdout=before + block, status=1))

SCENARIOS += [
    dict(name="RFC error block after the progress lines; the handler closes the null handle", library=True,
         args=["PRD", "TOTAL-ROWS", "$"], files=files(landscape(prd("error_handler = call"))),
         stdout=progress("TOTAL-ROWS $") + rfc_error_block("RfcReceive", "RFC_ERROR_SYSTEM_FAILURE",
                                                           "connection closed by the emulated system PRD"),
         status=1, check=journal(
             ENV, options(), r3only(), "RfcOpen result handle=1 system=PRD",
             'ErrorHandler operation="RfcReceive" handler=SET',
             'RfcLastError key="RFC_ERROR_SYSTEM_FAILURE" status="" '
             'message="connection closed by the emulated system PRD" intstat=""',
             "RfcClose handle=0 unknown")),
]

# --- failed calls: the code's message, then the trace hint ---------------------------
# No trace file: " - Look for Trace-File".
for settings, message in [
    (["receive_rc = 1"], "Error 1014: RFC-Failure raised !"),
    (["receive_rc = 2", "exception = NO_DATA_AVAILABLE"], "Error 1012: Exception.: NO_DATA_AVAILABLE"),
    (["receive_rc = 2"], "Error 1012: Exception.: NOT_FOUND"),
    (["receive_rc = 2", "exception = A<B&C"], "Error 1012: Exception.: A&lt;B&amp;C"),
    (["receive_rc = 3", "exception = connection reset"], "Error 1013: Sys-Exception raised !"),
    (["receive_rc = 5"], "Error 1015: Other Failure raised !"),
    (["call_rc = 1"], "Error 1014: RFC-Failure raised !"),
    # RfcCall failing leaves the exception text as it was: empty.
    (["call_rc = 2"], "Error 1012: Exception.: "),
    (["call_rc = 3"], "Error 1013: Sys-Exception raised !"),
    (["call_rc = 6"], "Error 1015: Other Failure raised !"),
]:
    SCENARIOS.append(dict(
        name="call fails with %s" % ", ".join(settings), library=True, args=["PRD", "TOTAL-ROWS"],
        files=files(landscape(prd(*settings))), stdout=error_doc(message + " - Look for Trace-File"), status=2,
        xml=True, after={"Dev_Rfc.Trc": None}))

# The hint from the trace file: what the file held before the call, and the
# lines the library writes during the call.
OLD_BLOCK = "**** ERROR file opened at 20231231 235959\nERROR       old message from yesterday\n"
for title, before, written, hint in [
    ("a trace file without message lines", "old trace\n", [], " - Please Check Trace-File !"),
    ("an empty trace file", "", [], " - Please Check Trace-File !"),
    ("an ERROR line: from its 13th character, without the line end", None,
     ["**** ERROR file opened at 20240101 120000", "ERROR       partner sapqas01:sapgw01 not reached"],
     " - partner sapqas01:sapgw01 not reached"),
    ("a later ======> line wins over the ERROR line", None,
     ["**** ERROR file opened at 20240101 120000", "ERROR       partner sapqas01:sapgw01 not reached",
      '"T:4711 ======> Connection reset by peer"'], " - Connection reset by peer"),
    ("a ======> line alone", None, ['"T:4711 ======> Connection reset by peer"'], " - Connection reset by peer"),
    ("a message of an earlier run", OLD_BLOCK, [], " - old message from yesterday"),
    ("a new block without a message empties the earlier one", OLD_BLOCK,
     ["**** ERROR file opened at 20240101 120000"], " - Please Check Trace-File !"),
    ("a message line followed by a block start", None,
     ["ERROR       partner not reached", "**** ERROR file opened at 20240101 120000"], " - Please Check Trace-File !"),
    ("an ERROR line shorter than 13 characters gives no message", None, ["ERROR  short"],
     " - Please Check Trace-File !"),
    ("======> in the wrong columns is no message", None, ['"T:47 ======> Connection reset"'],
     " - Please Check Trace-File !"),
    ("a message over 87 characters is cut", None, ["ERROR       " + "m" * 80 + "0123456789"],
     " - " + "m" * 80 + "0123456"),
    ("a line over 99 characters is read in pieces", "x" * 99 + "ERROR       from the second piece\n", [],
     " - from the second piece"),
    ("markup characters of the message are escaped", None, ["ERROR       socket <7> & pipe"],
     " - socket &lt;7&gt; &amp; pipe"),
]:
    extra = {} if before is None else {"Dev_Rfc.Trc": before}
    SCENARIOS.append(dict(
        name="trace hint: " + title, library=True, args=["PRD", "TOTAL-ROWS"],
        files=files(landscape(prd("receive_rc = 1", *["trace_at_call = " + line for line in written])), **extra),
        stdout=error_doc("Error 1014: RFC-Failure raised !" + hint), status=2, xml=True,
        # The failed run leaves the trace file as it was (plus the library's lines).
        after={"Dev_Rfc.Trc": before if before is not None and not written else True}))

SCENARIOS.append(dict(
    name="trace hint after an exception, written by the library at the call", library=True,
    args=["PRD", "TOTAL-ROWS"],
    files=files(landscape(prd("receive_rc = 2", "exception = NO_DATA_AVAILABLE",
                              "trace_at_call = **** ERROR file opened at 20240101 120000",
                              "trace_at_call = ERROR       partner sapqas01:sapgw01 not reached"))),
    stdout=error_doc("Error 1012: Exception.: NO_DATA_AVAILABLE - partner sapqas01:sapgw01 not reached"),
    status=2, xml=True, after={"Dev_Rfc.Trc": True}))

# --- the trace file after success ----------------------------------------------------
SCENARIOS.append(dict(
    name="success removes a stale trace file and the lines written during the call", library=True,
    args=["PRD", "TOTAL-ROWS"],
    files=files(landscape(prd("trace_at_call = ERROR       written during the call")),
                **{"Dev_Rfc.Trc": OLD_BLOCK}),
    stdout=rows_doc(), status=0, xml=True, after={"Dev_Rfc.Trc": None}))

# --- progress lines of a single-system run ------------------------------------------
# The "State=Executing" line shows the parameters cut at the first "#" and then
# at the first "@"; "(Parameters " or "(No " alone and an empty rest become
# "(No Parameters)". A request must name a sensor type, else message 1032 ends
# the run before any progress line: so '(No' '#', a lone '#' and a lone '$'
# are reachable only with the sensor type behind the mark ('#TOTAL-ROWS') or
# beside it ('$' 'TOTAL-ROWS' shows "$ TOTAL-ROWS").
for args, shown in [
    (["(No", "#TOTAL-ROWS"], "(No Parameters)"),
    (["(Parameters", "@TOTAL-ROWS"], "(No Parameters)"),
    (["#", "TOTAL-ROWS"], "(No Parameters)"),
    (["TOTAL-ROWS #12"], "TOTAL-ROWS "),
    (["TOTAL-ROWS", "#12"], "TOTAL-ROWS "),
    (["TOTAL-ROWS@x#y"], "TOTAL-ROWS"),
    (["$", "TOTAL-ROWS"], "$ TOTAL-ROWS"),
    (["TOTAL-ROWS", "%"], "TOTAL-ROWS %"),
    (["(no", "#TOTAL-ROWS"], "(no "),                     # compared with case
    (["(No", "TOTAL-ROWS#"], "(No TOTAL-ROWS"),
]:
    out = progress(shown) + rows_doc() + DONE
    SCENARIOS.append(dict(
        name="progress lines with parameters %s" % " ".join(repr(a) for a in args), library=True,
        args=["PRD"] + args, files=files(here="@" in "".join(args)), stdout=out, status=0,
        check=well_formed(out), after={"Dev_Rfc.Trc": None}))

OUT_INI = progress("TOTAL-ROWS ", header="PRD.P00, nohost, PRD, 05, 100") + ini_line() + rows_doc() + DONE
OUT_OVERRIDE = progress("TOTAL-ROWS,HOST=qashost,NO=01 ") + rows_doc(base=200) + DONE
SCENARIOS += [
    dict(name="progress lines: a lone '#' without sensor type ends with 1032 before any of them", library=True,
         args=["PRD", "#"], files=files(), status=2, xml=True, stdout=error_doc(
             "Error 1032: Sensor-Type missing in Parameters, use one of DBASE-ACCESSES, EXTENDED-MEMORY, "
             "HEAP-MEMORY, LOGICAL-ACCESSES, PAGING-AREA, PXA-INFO, ROLL-AREA, CURSOR-CACHE, TOTAL-DURATIONS, "
             "TOTAL-HITRATIO, TOTAL-OPERATIONS, TOTAL-ROWS, TABLE-ENTRIES...")),
    dict(name="progress lines, then the destination ini line", library=True, args=["PRD", "TOTAL-ROWS #"],
         files=files(profile_text=INI_PROFILE, **{"SapRfc.PRD": SAPRFC_PRD}), stdout=OUT_INI, status=0,
         check=well_formed(OUT_INI)),
    dict(name="progress lines show the profile's host, not the override", library=True,
         args=["PRD", "TOTAL-ROWS,HOST=qashost,NO=01 #"], files=files(), stdout=OUT_OVERRIDE, status=0,
         check=well_formed(OUT_OVERRIDE)),
    dict(name="progress lines before a failed call: no closing line", library=True, args=["PRD", "TOTAL-ROWS #"],
         files=files(landscape(prd("receive_rc = 3"))), status=2, xml=True,
         stdout=progress("TOTAL-ROWS ") + error_doc("Error 1013: Sys-Exception raised ! - Look for Trace-File")),
]


# --- many sensors at once in one working directory ----------------------------------
RUNS = 24


def concurrent_files():
    """RUNS systems with figures of their own; the even ones are reached through
    SapRfc.<destination>, whose profiles name an address that leads nowhere."""
    sections, result = [], {}
    for n in range(1, RUNS + 1):
        name = "C%02d" % n
        sections.append(section(name, ["ashost = host%02d" % n, "sysnr = %02d" % n], "delay_ms = 200",
                                base=1000 * n))
        if n % 2 == 0:
            result[EXEXML_DIR + name + ".P00"] = profile(destination=name, hostname="nohost", sysnr="00")
            result["SapRfc." + name] = "DEST=%s\nTYPE=A\nASHOST=host%02d\nSYSNR=%02d\n" % (name, n, n)
        else:
            result[EXEXML_DIR + name + ".P00"] = profile(destination=name, hostname="host%02d" % n,
                                                         sysnr="%02d" % n)
    # A long landscape keeps every logon busy for a moment after the copy of
    # SapRfc.<destination>, as a real logon would: runs overlap there.
    result["landscape.ini"] = "".join(sections) + "# padding\n" * 200000
    return result


def run_concurrently(platform, scenario_dir, program):
    timeout = 300 if platform.name == "wine" else 60
    procs = [(n, run_program(platform, scenario_dir, program, ["C%02d" % n, "TOTAL-ROWS"], timeout=timeout))
             for n in range(1, RUNS + 1)]
    problems = []
    for n, proc in procs:
        try:
            stdout, stderr = proc.communicate(timeout=timeout)
        except Exception:
            proc.kill()
            problems.append("C%02d did not end in %d seconds" % (n, timeout))
            continue
        name = "C%02d" % n
        # PRTG's mode: the destination-file line on standard error.
        want, want_err = prtg_contract.split((ini_line(name) if n % 2 == 0 else "") + rows_doc(name, 1000 * n))
        got = normalise(stdout)
        if got != want.encode("latin-1"):
            problems.append("%s printed:\n%s" % (name, got.decode("latin-1")))
        got_err = normalise(prtg_contract.program_lines(stderr))
        if got_err != want_err.encode("latin-1"):
            problems.append("%s printed on standard error:\n%s" % (name, got_err.decode("latin-1")))
        problems += ["%s: %s" % (name, p) for p in prtg_contract.check(got)]
        if proc.returncode != 0:
            problems.append("%s ended with status %d" % (name, proc.returncode))
        ok, err = xml_ok(got[got.find(b"<Prtg>"):])
        if not ok:
            problems.append("%s: document is not well-formed: %s" % (name, err))
    return problems


SCENARIOS.append(dict(
    name="%d sensors at once in one directory, half through destination ini files, each with its own figures"
         % RUNS, library=True, files=concurrent_files(), custom=run_concurrently))
