"""Every failure names its cause: where the profile was looked for (1002),
where it was found when the path check fails, a path too long for its field
(1002, never a cut path reported as missing). The causes of 1011 and 1031
are pinned beside their other scenarios (scenarios_rfc, scenarios_faults,
scenarios_nwrfc)."""

from scenarios_foundation import EXEXML_DIR, VALID, error_doc

BOTH = ("native", "wine", "wine64")
FALLBACKS = ("\\Programme" + EXEXML_DIR + ", \\Program Files" + EXEXML_DIR + " and \\Program Files (x86)"
             + EXEXML_DIR)
NO_HINT = " C:\\PRTG_Path.Txt was not found; write PRTG's folder into it."
LONG = "D:\\" + "f" * 200 + "\\"


def why(name, args, stdout, files=None, program="PoolMetrics"):
    return dict(name="told why: " + name, program=program, args=args, files=files or {}, stdout=error_doc(stdout),
                status=2, xml=True, platforms=BOTH)


SCENARIOS = [
    why("1002 names the folders of PRTG's search and the missing hint file", ["PRD", "TOTAL-ROWS"],
        "Error 1002: Profile PRD.P00 is missing... Looked in the working directory ({dir}), " + FALLBACKS + "."
        + NO_HINT),
    why("1002 names the hint file's folder, the line not taken and the folders tried", ["PRD", "TOTAL-ROWS"],
        "Error 1002: Profile PRD.P00 is missing... C:\\PRTG_Path.Txt names D:\\Programs (line 2); line 1 (PRTG "
        "installation:) is not taken: it names no folder from a drive or share, such as D:\\PRTG. Looked in "
        "D:\\Programs" + EXEXML_DIR + ", D:\\Programs\\Custom Sensors\\ExeXml\\ and D:\\Programs\\.",
        files={"C:\\PRTG_Path.Txt": "PRTG installation:\r\nD:\\Programs\r\n",
               "\\Program Files" + EXEXML_DIR + "PRD.P00": VALID}),
    # Typed into cmd as: echo "D:\PRTG" > C:\PRTG_Path.Txt
    why("1002 says that a folder in quotes is not taken", ["PRD", "TOTAL-ROWS"],
        "Error 1002: Profile PRD.P00 is missing... C:\\PRTG_Path.Txt names no folder: line 1 (\"D:\\PRTG\" ) is "
        "not taken: write the folder without quotes. Looked in \\PRTG Network Monitor\\Custom Sensors\\ExeXml\\, "
        "\\Custom Sensors\\ExeXml\\ and the root of the current drive (\\).",
        files={"C:\\PRTG_Path.Txt": "\"D:\\PRTG\" \r\n"}),
    why("the path check says where the profile was found and what to do", ["PRD", "TOTAL-ROWS"],
        "Sorry, invalid Path-Usage... Profile PRD.P00 was found in the working directory ({dir}), not in PRTG's "
        "Custom Sensors\\EXEXML folder: start the sensor from another folder, or write PRTG's folder into "
        "C:\\PRTG_Path.Txt.", files={"PRD.P00": VALID}),
    why("the path check names the hint file's folder", ["PRD", "TOTAL-ROWS"],
        "Sorry, invalid Path-Usage... Profile PRD.P00 was found in D:\\Sensors\\, which C:\\PRTG_Path.Txt names, "
        "not in PRTG's Custom Sensors\\EXEXML folder: let C:\\PRTG_Path.Txt name PRTG's folder.",
        files={"C:\\PRTG_Path.Txt": "D:\\Sensors\\", "D:\\Sensors\\PRD.P00": VALID}),
    why("1002 of a front-end mode names the working directory", ["sub\\PRD", "TOTAL-ROWS"],
        "Error 1002: Profile sub\\PRD.P00 is missing... Not found from the working directory ({dir}).",
        program="Holdrun"),
    why("1002 of a path from a drive", ["D:\\sub\\PRD", "TOTAL-ROWS"],
        "Error 1002: Profile D:\\sub\\PRD.P00 is missing... Not found.", program="Holdrun"),
    # The profile is there; its path does not fit the field, so it is not
    # opened cut short (that would be another file) and not called missing
    # without a word.
    why("1002: a profile path of 211 characters is longer than the field allows", [LONG + "PRD", "TOTAL-ROWS"],
        "Error 1002: Profile " + (LONG + "PRD.P00")[:95] + " is missing... Its path has 211 characters, more than "
        "the 95 a profile path may have: keep the profiles in a folder with a shorter path.",
        files={LONG + "PRD.P00": VALID}, program="Holdrun"),
    why("1002: a profile name of 70 characters is longer than the field allows", ["N" * 66, "TOTAL-ROWS"],
        "Error 1002: Profile " + "N" * 63 + " is missing... Its name has 70 characters, more than the 63 a profile "
        "name may have.", files={"N" * 66 + ".P00": VALID}),
]

# --- what a person at a console asks for -----------------------------------------------------
SENSOR_TYPES = ["DBASE-ACCESSES", "EXTENDED-MEMORY", "HEAP-MEMORY", "LOGICAL-ACCESSES", "PAGING-AREA", "PXA-INFO",
                "ROLL-AREA", "CURSOR-CACHE", "TOTAL-DURATIONS", "TOTAL-HITRATIO", "TOTAL-OPERATIONS", "TOTAL-ROWS",
                "TABLE-ENTRIES"]
KEYWORDS = [",HOST=", ",NO=", "ITEM=", "CH=", "TIMEOUT=", "PARALLEL=", "CACHE=", "CREDENTIALS=", "TIMES"]


def usage_complete(out):
    """The usage's first line, and whether it names every sensor type, keyword and caller mode."""
    if not out:
        return out
    text = out.decode("latin-1")
    lacking = [word for word in SENSOR_TYPES + KEYWORDS + ["Holdrun", "Varnock", "Brennick", "Quillon", "EXEXML"]
               if word not in text]
    return (text.split("\n")[0] + "\n" + ("lacks %s\n" % lacking if lacking else "")).encode("latin-1")


VERSION = "PoolMetrics Vers 4.3 / 29.08.22\nRFC library: "
# Under a front-end mode's name: PRTG's own mode would hold the text to its
# contract of one XML document, which a console's text is not.
SCENARIOS += [
    dict(name="console: %s prints the usage, status 0" % flag, program="Holdrun", args=[flag], stdout="usage: PoolMetrics PROFILE "
         "[WORD1 [WORD2]] [KEYWORD ...]\n", mask=usage_complete, status=0, platforms=BOTH,
         after={"Dev_Rfc.Trc": None})
    for flag in ("--help", "-h", "/?")
] + [
    dict(name="console: --version names the library it would load", program="Holdrun", args=["--version"], nwrfc=True,
         stdout=VERSION + "{nwlib}, NetWeaver RFC 7500.0.0 (emulated SAP landscape)\n", status=0, platforms=BOTH),
    dict(name="console: --version names the classic library", program="Holdrun", args=["--version"], library=True,
         stdout=VERSION + "{classic}, classic RFC library\n", status=0, platforms=("native", "wine")),
    dict(name="console: --version without a library says why", program="Holdrun", args=["--version"],
         stdout=VERSION + "Error 1031: RFC-Library {classic} could not be loaded (not found in {bin} nor by {search}), "
         "RFC-Library {nwlib} could not be loaded (not found in {bin} nor by {search})...\n", status=0, platforms=BOTH),
    # Only these exact first arguments: any other stays a profile name.
    dict(name="console: --helpme is a profile name", program="Holdrun", args=["--helpme", "TOTAL-ROWS"],
         stdout=error_doc("Error 1002: Profile --helpme.P00 is missing...{cause}"), status=2, platforms=BOTH),
]
