"""User and password from PRTG's credential store (CREDENTIALS=WINDOWS or
LINUX): the logon takes them from the environment in single, global and
parallel runs, through both libraries and a destination file; profiles
without User and Password; message 1037 for each unusable variable and 1035
for an unknown section, in their place among the other faults; the profile
check; and the password, which appears nowhere the program writes."""

import os
import re

from e2e import run_program, normalise
from scenarios_foundation import error_doc, profile
from scenarios_global import MARK, OPEN_XML, group, item_profile, lines, pxa, pxa_xml, sensor, summary_xml
from scenarios_rfc import ini_line
from scenarios_sensors import system

ALL = ("native", "wine", "wine64")
# Distinctive, so that a search finds it wherever it went; the profile's own
# password (secret1) would no longer be accepted.
PASSWORD = "Qz8-Lynx.Env"
LONGEST = "P40-" + "x" * 32 + "-end"  # 40 characters, the longest SAP takes
WINDOWS = {"prtg_windowsuser": "monitor", "prtg_windowspassword": PASSWORD,
           "prtg_linuxuser": None, "prtg_linuxpassword": None}
LINUX = {"prtg_linuxuser": "Monitor", "prtg_linuxpassword": PASSWORD,
         "prtg_windowsuser": None, "prtg_windowspassword": None}

LANDSCAPE = ("[landscape]\njournal = journal.txt\n\n"
             + system("PRD", "prdhost", password=PASSWORD, lines=pxa(5, 4711))
             + system("QAS", "qas-host", sysnr="01", client="200", password=PASSWORD, lines=pxa(6, 815))
             + system("NWP", "nwphost", sysnr="03", password=PASSWORD, lines=pxa(7, 77))
             + system("REF", "refhost", sysnr="02", password=PASSWORD, lines=["refuse_logon = yes"])
             + system("EXC", "exchost", sysnr="04", password=PASSWORD,
                      lines=["receive_rc = 2", "exception = NO_DATA_AVAILABLE"])
             + system("LNG", "lnghost", sysnr="05", password=LONGEST, lines=pxa(8, 88)))
# The profiles of these runs hold neither User nor Password.
BARE = dict(user=None, password=None)
PROFILES = {
    "PRD.P00": profile(**BARE),
    "QAS.P00": profile(destination="QAS", hostname="qas-host", sysnr="01", client="200", **BARE),
    "NWP.P00": profile(destination="NWP", hostname="nwphost", sysnr="03", **BARE),
    "REF.P00": profile(destination="REF", hostname="refhost", sysnr="02", **BARE),
    "EXC.P00": profile(destination="EXC", hostname="exchost", sysnr="04", **BARE),
    "LNG.P00": profile(destination="LNG", hostname="lnghost", sysnr="05", **BARE),
}
FILES = dict({"landscape.ini": LANDSCAPE}, **PROFILES)
POOLS = {"Overseer.Prf": item_profile("QAS.P00#NWP.P00#")}


def pxa_doc(destination, gaps, programs):
    return ("\n<Prtg>\n\n<Text>(%s) Selected Information for PXA (Program Buffer), since 02.01.23 at 10:15</Text>\n"
            % destination) + pxa_xml(gaps, programs) + "\n</Prtg>\n"


PRD_DOC = pxa_doc("PRD", 5, 4711)
POOLS_DOC = OPEN_XML + pxa_xml(7, 77) + summary_xml("Pools", 2, 2, 0)


def journal_text(scenario_dir):
    path = os.path.join(scenario_dir, "journal.txt")
    if not os.path.exists(path):
        return ""
    with open(path, encoding="latin-1") as f:
        return f.read()


# What reached the library, by its journal: the classic RfcOpen record (its
# fields padded with blanks), its RfcOpenEx connect string, or the NetWeaver
# parameters, one line each (the children of a parallel run write theirs
# in turn, so the users and the passwords are counted apart).
USERS = re.compile(r'user="([^"]*?) *"|USER=(\S+)|name="USER" value="([^"]*)"')
PASSWORDS = re.compile(r'password="([^"]*?) *"|PASSWD=(\S+)|name="PASSWD" value="([^"]*)"')


def found(pattern, text):
    return ["".join(match) for match in pattern.findall(text)]


def logons(scenario_dir):
    """The users that reached the library, in order."""
    return found(USERS, journal_text(scenario_dir))


def logged_on_as(count, password=PASSWORD):
    """A check: `count` logons, each as MONITOR with `password`."""
    def check(scenario_dir, platform):
        text = journal_text(scenario_dir)
        got = (found(USERS, text), found(PASSWORDS, text))
        want = (["MONITOR"] * count, [password] * count)
        return None if got == want else "users and passwords %r, expected %r" % (got, want)
    return check


def no_logon(scenario_dir, platform):
    return "the library was asked for a logon" if logons(scenario_dir) else None


SCENARIOS = []
for library in ("library", "nwrfc"):
    SCENARIOS += [
        dict(name="credentials (%s): a single run logs on with the Windows pair, user upper-cased" % library,
             program="Holdrun", platforms=ALL, **{library: True}, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"],
             env=WINDOWS, files=FILES, status=0, stdout=PRD_DOC, check=logged_on_as(1)),
        dict(name="credentials (%s): the Linux pair, keyword and value in any case" % library,
             program="Holdrun", platforms=ALL, **{library: True}, args=["PRD", "PXA-INFO,Credentials=linux"],
             env=LINUX, files=FILES, status=0, stdout=PRD_DOC, check=logged_on_as(1)),
        dict(name="credentials (%s): a password of 40 characters reaches the library whole" % library,
             program="Holdrun", platforms=ALL, **{library: True}, args=["LNG", "PXA-INFO", "CREDENTIALS=WINDOWS"],
             env=dict(WINDOWS, prtg_windowspassword=LONGEST), files=FILES, status=0, xml=True,
             stdout=pxa_doc("LNG", 8, 88),
             check=logged_on_as(1, LONGEST)),
    ]

SCENARIOS += [
    dict(name="credentials: through the destination file SapRfc.PRD", program="Holdrun", platforms=("native",),
         library=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env=WINDOWS,
         files=dict(FILES, **{"SapRfc.PRD": b"DEST=PRD\r\nTYPE=A\r\nASHOST=prdhost\r\nSYSNR=00\r\n",
                              "PRD.P00": profile(hostname="nohost", sysnr="05", **BARE)}),
         status=0, stdout=ini_line() + PRD_DOC, check=logged_on_as(1)),
    dict(name="credentials: a damaged stored password in the profile is no fault then", program="Holdrun",
         platforms=ALL, library=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env=WINDOWS,
         files=dict(FILES, **{"PRD.P00": profile(user="x", password="garbage")}), status=0,
         stdout=PRD_DOC, check=logged_on_as(1)),
    dict(name="credentials: an item run logs every system on with them", program="Holdrun", platforms=ALL,
         library=True, args=["x", "PXA-INFO,CREDENTIALS=WINDOWS", "ITEM=Pools"], env=WINDOWS,
         files=dict(FILES, **POOLS), status=0, xml=True, stdout=POOLS_DOC, check=logged_on_as(2)),
    dict(name="credentials: a parallel item run, each child reads them itself", program="Holdrun", platforms=ALL,
         library=True, args=["x", "PXA-INFO,CREDENTIALS=WINDOWS", "ITEM=Pools", "PARALLEL=2"], env=WINDOWS,
         files=dict(FILES, **POOLS), status=0, xml=True, stdout=POOLS_DOC, check=logged_on_as(2)),
    dict(name="credentials: from a global file's allocation", program="Holdrun", platforms=ALL, library=True,
         args=["GLOBAL", "KEY"], env=LINUX, files=dict(FILES, **{"SAP Overseer.Gbl": lines(
             group("KEY", "QAS.P00#NWP.P00#"), sensor("KEY", "PXA-INFO,CREDENTIALS=LINUX," + MARK + ",Item=Pools"))}),
         status=0, xml=True, stdout=POOLS_DOC, check=logged_on_as(2)),
    dict(name="credentials: the same profile without the keyword is missing its user (1006)", program="Holdrun",
         platforms=ALL, library=True, args=["PRD", "PXA-INFO"], env=WINDOWS, files=FILES, status=2,
         stdout=error_doc("Error 1006: Username in Profile PRD.P00 is missing..."), check=no_logon),
    dict(name="credentials: an unknown section is message 1035", program="Holdrun", platforms=ALL, library=True,
         args=["PRD", "PXA-INFO,CREDENTIALS=Kerberos"], env=WINDOWS, files=FILES, status=2,
         stdout=error_doc("Error 1035: Invalid Value CREDENTIALS=Kerberos, use WINDOWS or LINUX..."), check=no_logon),
    dict(name="credentials: a profile fault comes before 1037", program="Holdrun", platforms=ALL, library=True,
         args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env={"prtg_windowsuser": None},
         files=dict(FILES, **{"PRD.P00": profile(client=None, **BARE)}), status=2,
         stdout=error_doc("Error 1003: Invalid Parameter(s) at PRD.P00 found..."), check=no_logon),
    dict(name="credentials: 1037 comes before a missing library (1031)", program="Holdrun", platforms=ALL,
         args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env={"prtg_windowsuser": None}, files=FILES, status=2,
         stdout=error_doc("Error 1037: Credentials prtg_windowsuser not set...")),
    dict(name="credentials: a global run whose variable is missing fails whole, before its opening",
         program="Holdrun", platforms=ALL, library=True, args=["x", "PXA-INFO,CREDENTIALS=LINUX #", "ITEM=Pools"],
         env={"prtg_linuxpassword": None, "prtg_linuxuser": "monitor"}, files=dict(FILES, **POOLS), status=2,
         stdout=error_doc("Error 1037: Credentials prtg_linuxpassword not set..."),
         check=no_logon),
]

# Each value a logon cannot take: the message names the variable, never the value.
for title, variables, message in [
    ("a missing user", {"prtg_windowsuser": None}, "prtg_windowsuser not set"),
    ("an empty password", {"prtg_windowspassword": ""}, "prtg_windowspassword not set"),
    ("a user over 12 characters", {"prtg_windowsuser": "MONITORINGXYZ"}, "prtg_windowsuser longer than 12 characters"),
    ("a password over 40 characters", {"prtg_windowspassword": LONGEST + "!"},
     "prtg_windowspassword longer than 40 characters"),
    ("a user of one character", {"prtg_windowsuser": "m"}, "prtg_windowsuser shorter than 2 characters"),
    ("a password with a tab", {"prtg_windowspassword": "Qz8\tLynx"}, "prtg_windowspassword holds a control character"),
    # Counted in characters: one letter of two bytes is still one.
    ("a password of one accented letter", {"prtg_windowspassword": "\u00e9"},
     "prtg_windowspassword shorter than 2 characters"),
    ("a user of 13 characters in 15 bytes", {"prtg_windowsuser": "M\u00dcLLERM\u00dcLLERS"},
     "prtg_windowsuser longer than 12 characters"),
    ("a password of 41 euro signs", {"prtg_windowspassword": "\u20ac" * 41},
     "prtg_windowspassword longer than 40 characters"),
    ("a password of blanks only", {"prtg_windowspassword": "    "}, "prtg_windowspassword holds only blanks"),
    ("a password with the C1 control character U+0085", {"prtg_windowspassword": "Qz8\u0085Lynx"},
     "prtg_windowspassword holds a control character"),
]:
    SCENARIOS.append(dict(
        name="credentials: 1037 for " + title, program="Holdrun", platforms=ALL, library=True,
        args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env=dict(WINDOWS, **variables), files=FILES, status=2,
        stdout=error_doc("Error 1037: Credentials %s..." % message), check=no_logon))


# --- credentials as text: counted in characters, carried unchanged ---------------------------
# Fixture texts are Latin-1 (one character a byte): u8() writes a text's UTF-8
# bytes there. The classic library reads its code page (Latin-1 natively,
# 1252 on Windows), the NetWeaver library UTF-16; each emulated face accepts
# a logon only when the exact characters arrive, so status 0 shows that.
def u8(text):
    return text.encode("utf-8").decode("latin-1")


MUELLER = "M\u00dcLLERM\u00dcLLER"  # 12 characters, 14 bytes in UTF-8
UMLAUTS = "\u00e4" * 40  # 40 characters, 80 bytes
EUROS = "\u20ac" * 40  # 40 characters, 120 bytes
OMEGA = "\u03a9mega-\u0142\u00f3d\u017a"  # Greek and Polish: in neither Latin-1 nor 1252


def text_files(user, password):
    """A landscape whose system PRD takes `user` and `password` as written (fixture text)."""
    return dict(PROFILES, **{"landscape.ini": "[landscape]\njournal = journal.txt\n\n[system PRD]\nashost = prdhost\n"
                             "sysnr = 00\nclient = 100\nuser = %s\npassword = %s\n%s\n"
                             % (user, password, "\n".join(pxa(5, 4711)))})


# The emulated classic library is a 32-bit DLL on Windows: its scenarios run
# natively and under 32-bit Wine; the NetWeaver library's under both.
CLASSIC_PLATFORMS = ("native", "wine")
NW_PLATFORMS = ALL
for library, written, platforms in (("library", lambda text: text, CLASSIC_PLATFORMS), ("nwrfc", u8, NW_PLATFORMS)):
    SCENARIOS += [
        dict(name="credentials as text (%s): a user of 12 characters in 14 bytes, a password of 40 umlauts" % library,
             program="Holdrun", platforms=platforms, **{library: True}, args=["PRD", "PXA-INFO,CREDENTIALS=LINUX"],
             env=dict(LINUX, prtg_linuxuser=MUELLER, prtg_linuxpassword=UMLAUTS),
             files=text_files(written(MUELLER), written(UMLAUTS)), status=0, stdout=PRD_DOC),
    ]
SCENARIOS += [
    dict(name="credentials as text (nwrfc): Windows' password %s reaches the library unchanged" % OMEGA.encode(
        "ascii", "backslashreplace").decode(), program="Holdrun", platforms=NW_PLATFORMS, nwrfc=True,
         args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"], env=dict(WINDOWS, prtg_windowspassword=OMEGA),
         files=text_files("MONITOR", u8(OMEGA)), status=0, stdout=PRD_DOC),
    dict(name="credentials as text (nwrfc): 40 euro signs reach the library unchanged", program="Holdrun",
         platforms=NW_PLATFORMS, nwrfc=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"],
         env=dict(WINDOWS, prtg_windowspassword=EUROS), files=text_files("MONITOR", u8(EUROS)), status=0,
         stdout=PRD_DOC),
    # Code page 1252 holds the euro sign (0x80), Latin-1 does not.
    dict(name="credentials as text (library): 40 euro signs in code page 1252 on Windows", program="Holdrun",
         platforms=("wine",), library=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"],
         env=dict(WINDOWS, prtg_windowspassword=EUROS), files=text_files("MONITOR", "\x80" * 40), status=0,
         stdout=PRD_DOC),
    dict(name="credentials as text (library): the euro sign is no Latin-1 character natively: 1037",
         program="Holdrun", platforms=("native",), library=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"],
         env=dict(WINDOWS, prtg_windowspassword=EUROS), files=text_files("MONITOR", "\x80" * 40), status=2,
         stdout=error_doc("Error 1037: Credentials prtg_windowspassword holds a character outside the code page "
                          "of RFC-Library {classic}..."), check=no_logon),
    dict(name="credentials as text (library): a password its code page cannot hold is 1037, before the logon",
         program="Holdrun", platforms=CLASSIC_PLATFORMS, library=True, args=["PRD", "PXA-INFO,CREDENTIALS=WINDOWS"],
         env=dict(WINDOWS, prtg_windowspassword=OMEGA), files=text_files("MONITOR", u8(OMEGA)), status=2,
         stdout=error_doc("Error 1037: Credentials prtg_windowspassword holds a character outside the code page "
                          "of RFC-Library {classic}..."), check=no_logon),
    dict(name="credentials as text (library): the user first, in a global run before its opening",
         program="Holdrun", platforms=CLASSIC_PLATFORMS, library=True,
         args=["x", "PXA-INFO,CREDENTIALS=WINDOWS", "ITEM=Pools"],
         env=dict(WINDOWS, prtg_windowsuser="\u0141UKASZ", prtg_windowspassword=OMEGA),
         files=dict(FILES, **POOLS), status=2,
         stdout=error_doc("Error 1037: Credentials prtg_windowsuser holds a character outside the code page "
                          "of RFC-Library {classic}..."), check=no_logon),
    # A profile's password is bytes, whatever they mean: the classic library
    # gets them as they are (here UTF-8), only PRTG's text is converted.
    dict(name="credentials as text: a profile's password still reaches the classic library byte for byte",
         program="Holdrun", platforms=CLASSIC_PLATFORMS, library=True, args=["PRD", "PXA-INFO"],
         files=dict(text_files("MONITOR", u8("Gr\u00fcn-42")), **{"PRD.P00": profile(password="{pw:Gr\u00fcn-42}")}),
         status=0, stdout=PRD_DOC),
]

SCENARIOS += [
    dict(name="profile check --credentials: User and Password not required, and it says so", tool=True,
         platforms=("native",), args=["check", "--credentials", "PRD.P00"], files=FILES, status=0,
         stdout="PRD.P00: valid profile of PRD (client 100)\n"
                "PRD.P00: User and Password not required: runs with CREDENTIALS= take them from PRTG\n"),
    dict(name="profile check without --credentials: the same profile misses both", tool=True,
         platforms=("native",), args=["check", "PRD.P00"], files=FILES, status=1,
         stdout="PRD.P00: User.......: missing or empty (message 1006)\n"
                "PRD.P00: Password...: missing or empty (message 1007)\n"),
]


# --- the password appears nowhere the program writes ---------------------------------------
MODES = ["Holdrun", "Varnock", "Brennick", "Quillon", "PoolMetrics"]
MARKS = ["", " #", " @", " $", " %"]
# The library's own files: the emulator's journal records what reached it.
LIBRARY_FILES = {"journal.txt", "landscape.ini"}


def written_files(scenario_dir):
    for folder, _, names in os.walk(scenario_dir):
        for name in names:
            if name not in LIBRARY_FILES:
                yield os.path.join(folder, name)


def password_nowhere(platform, scenario_dir, program):
    problems = []
    wanted = PASSWORD.encode()
    runs = 0
    for mode in MODES:
        named = os.path.join(os.path.dirname(program), mode + platform.exe)
        if not os.path.exists(named):
            os.link(program, named)
        for mark in MARKS:
            for args in (["PRD", "PXA-INFO,CREDENTIALS=WINDOWS,CACHE=60" + mark],
                         ["REF", "PXA-INFO,CREDENTIALS=WINDOWS" + mark],
                         ["EXC", "PXA-INFO,CREDENTIALS=WINDOWS" + mark, "TIMES"],
                         ["x", "PXA-INFO,CREDENTIALS=WINDOWS" + mark, "ITEM=All", "PARALLEL=2"]):
                proc = run_program(platform, scenario_dir, named, args, WINDOWS)
                out, err = proc.communicate(timeout=60)
                runs += 1
                for stream, text in (("standard output", out), ("standard error", err)):
                    if wanted in text:
                        problems.append("%s %s: the password on %s" % (mode, " ".join(args), stream))
    for path in written_files(scenario_dir):
        with open(path, "rb") as f:
            if wanted in f.read():
                problems.append("the password in " + os.path.relpath(path, scenario_dir))
    # Every run must have logged on or been served: the search looked at real runs.
    if "MONITOR" not in journal_text(scenario_dir):
        problems.append("no run logged on")
    return problems


SCENARIOS.append(dict(
    name="credentials: the password is in no output, progress line, error text or file, in any mode",
    platforms=ALL, library=True, custom=password_nowhere,
    files=dict(FILES, **{"Overseer.Prf": item_profile("PRD.P00#REF.P00#EXC.P00#QAS.P00#")})))


# --- shared answers: the environment's user is part of the logon ------------------------------
def cache_key_user(platform, scenario_dir, program):
    problems = []
    for label, variables, want_status in [("first", WINDOWS, 0), ("served", WINDOWS, 0),
                                          ("another user", dict(WINDOWS, prtg_windowsuser="auditor"), 2)]:
        proc = run_program(platform, scenario_dir, program, ["PRD", "PXA-INFO,CREDENTIALS=WINDOWS,CACHE=60"],
                           variables)
        out, _ = proc.communicate(timeout=60)
        if proc.returncode != want_status:
            problems.append("%s: status %d, expected %d: %r" % (label, proc.returncode, want_status, out))
    # The first logs on, the second is served, the third is another logon
    # (refused: the landscape knows no AUDITOR).
    got = logons(scenario_dir)
    if got != ["MONITOR", "AUDITOR"]:
        problems.append("logons as %r, expected MONITOR then AUDITOR" % got)
    return problems


SCENARIOS.append(dict(name="credentials with CACHE=: another user in the environment does not share the answer",
                      program="Holdrun", platforms=ALL, library=True, files=FILES, custom=cache_key_user))
