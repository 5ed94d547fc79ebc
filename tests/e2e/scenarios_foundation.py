"""Scenarios of everything up to the connection: command line, profile search,
stored passwords, the profile file, the error document and the RFC library
that cannot be loaded."""


def error_doc(message):
    return "<Prtg>\n<Error>1</Error>\n<Text>" + message + "</Text>\n</Prtg>\n"


def profile(**fields):
    """A valid profile; keyword arguments replace (or, with None, drop) lines."""
    lines = {
        "Extcompany.:": "ACME Corp",
        "Destination:": "PRD",
        "Client.....:": "100",
        "User.......:": "monitor",
        "Password...:": "{pw:secret1}",
        "Language...:": "E",
        "Mode.......:": "R/3",
        "Hostname...:": "prdhost",
        "Sysnr......:": "00",
        "Gwhost.....:": "prdhost",
        "Gwservice..:": "sapgw00",
    }
    for key, value in fields.items():
        label = next(l for l in lines if l.rstrip(".:").lower() == key.lower())
        if value is None:
            del lines[label]
        else:
            lines[label] = value
    return "".join("%s %s\n" % (label, value) for label, value in lines.items())


VALID = profile()
NO_LIBRARY = error_doc("Error 1031: RFC-Library {classic} could not be loaded (not found in {bin} nor by {search}), "
                       "RFC-Library {nwlib} could not be loaded (not found in {bin} nor by {search})...")
PATH_USAGE = error_doc("Sorry, invalid Path-Usage...{cause}")
EXEXML_DIR = "\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\"


def missing(name):
    return error_doc("Error 1002: Profile %s is missing...{cause}" % name)


SCENARIOS = [
    # --- command line -------------------------------------------------------
    # Scenarios marked for wine64 need no RFC library: they hold for the
    # 64-bit program as they are.
    dict(name="no argument: 1001 and no header line", args=[], stdout=error_doc(
        "Error 1001: Parameter for Profile-Name is missing !"), status=2, xml=True,
         platforms=("native", "wine", "wine64")),
    dict(name="no argument in mode Brennick: still the XML error document", program="Brennick", args=[],
         stdout=error_doc("Error 1001: Parameter for Profile-Name is missing !"), status=2),
    dict(name="profile name gets .P00", program="Quillon", args=["prd"], stdout=missing("prd.P00"), status=2),
    dict(name="three-character extension stays", program="Quillon", args=["prd.cfg", "TOTAL-ROWS"],
         files={"prd.cfg": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="short name gets .P00", program="Quillon", args=["ab"], stdout=missing("ab.P00"), status=2),
    dict(name="two-character extension gets .P00", program="Quillon", args=["X.P0"], stdout=missing("X.P0.P00"),
         status=2),
    dict(name="GLOBAL names the global sensor file", program="Quillon", args=["global", "TOTAL-ROWS"],
         stdout=missing("SAP Overseer.Gbl"), status=2),
    dict(name="Global.p00 names the global sensor file", program="Quillon", args=["Global.p00"],
         stdout=missing("SAP Overseer.Gbl"), status=2),
    dict(name="GLOBAL after a directory names the global sensor file", program="Quillon",
         args=["C:\\Sensors\\global"], stdout=missing("C:\\Sensors\\SAP Overseer.Gbl"), status=2),
    dict(name="GLOBAL.P01 is an ordinary profile", program="Quillon", args=["GLOBAL.P01"],
         stdout=missing("GLOBAL.P01"), status=2),
    dict(name="ITEM= replaces the profile by Overseer.Prf", program="Quillon",
         args=["PRD", "TOTAL-ROWS", "ITEM=Prd:Main,x"], files={"PRD.P00": VALID},
         stdout=missing("Overseer.Prf"), status=2),
    dict(name="item= in lower case counts too", program="Quillon", args=["PRD", "item=abc"],
         stdout=missing("Overseer.Prf"), status=2),
    dict(name="fourth and later arguments are ignored", program="Quillon", args=["prd.cfg", "TOTAL-ROWS", "b", "ITEM=x"],
         files={"prd.cfg": VALID}, stdout=NO_LIBRARY, status=2),

    # --- PRTG directory search (mode EXEXML) --------------------------------
    dict(name="EXEXML: found in Program Files (x86) after three tries", args=["PRD", "TOTAL-ROWS"],
         files={"\\Program Files (x86)" + EXEXML_DIR + "PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: found in Programme first", args=["PRD", "TOTAL-ROWS"],
         files={"\\Programme" + EXEXML_DIR + "PRD.P00": VALID,
                "\\Program Files" + EXEXML_DIR + "PRD.P00": "garbage"}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: found in Program Files", args=["PRD", "TOTAL-ROWS"],
         files={"\\Program Files" + EXEXML_DIR + "PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: found only in the current directory fails the path check", args=["PRD"],
         files={"PRD.P00": VALID}, stdout=PATH_USAGE, status=2),
    dict(name="EXEXML: found nowhere", args=["PRD"], stdout=missing("PRD.P00"), status=2,
         platforms=("native", "wine", "wine64")),
    dict(name="EXEXML: hint names the installation's parent directory",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "PRTG installation:\nD:\\Programs\n",
                              "D:\\Programs" + EXEXML_DIR + "PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: hint directory without the profile gives 1002, no fallbacks",
         args=["PRD"], files={"C:\\PRTG_Path.Txt": "PRTG installation:\r\nD:\\Programs\r\n",
                              "\\Program Files" + EXEXML_DIR + "PRD.P00": VALID},
         stdout=missing("PRD.P00"), status=2),
    dict(name="EXEXML: hint names the sensor directory itself, any case",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "D:\\PRTG\\Custom Sensors\\exexml",
                              "D:\\PRTG\\Custom Sensors\\exexml\\PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: hint names the installation directory (second sub-directory test)",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "\\\\unused\nD:\\PRTG Network Monitor\\\n",
                              "D:\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00": VALID},
         stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: the last qualifying hint line counts",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "D:\\First\n\\Second\nrelative\\ignored\n",
                              "\\Second" + EXEXML_DIR + "PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: hint without qualifying line gives the drive root",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "relative\\dir\nPRTG\n",
                              "\\Custom Sensors\\ExeXml\\PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: hint directory without ExeXml fails the path check",
         args=["PRD"], files={"C:\\PRTG_Path.Txt": "D:\\Sensors\\", "D:\\Sensors\\PRD.P00": VALID},
         stdout=PATH_USAGE, status=2),
    dict(name="EXEXML: a hint line over 99 characters is read in pieces",
         args=["PRD", "TOTAL-ROWS"], files={"C:\\PRTG_Path.Txt": "x" * 99 + "D:\\Long\n",
                              "D:\\Long" + EXEXML_DIR + "PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML: the directory given with the name is ignored", args=["C:\\Sensors\\PRD"],
         files={"C:\\Sensors\\PRD.P00": VALID}, stdout=missing("PRD.P00"), status=2),
    dict(name="EXEXML with @: the directory given with the name is used", args=["C:\\Sensors\\PRD", "TOTAL-ROWS @"],
         files={"C:\\Sensors\\PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="EXEXML with @: missing profile names the path", args=["C:\\Sensors\\PRD", "x@"],
         stdout=missing("C:\\Sensors\\PRD.P00"), status=2),

    dict(name="1032: a valid profile but no sensor type in the parameters", program="Quillon", args=["PRD", "CH=1"],
         files={"PRD.P00": VALID}, stdout=error_doc(
             "Error 1032: Sensor-Type missing in Parameters, use one of DBASE-ACCESSES, EXTENDED-MEMORY, "
             "HEAP-MEMORY, LOGICAL-ACCESSES, PAGING-AREA, PXA-INFO, ROLL-AREA, CURSOR-CACHE, TOTAL-DURATIONS, "
             "TOTAL-HITRATIO, TOTAL-OPERATIONS, TOTAL-ROWS, TABLE-ENTRIES..."), status=2),

    # --- front-end modes ------------------------------------------------------
    dict(name="Brennick: profile from the given directory", program="Brennick", args=["sub\\PRD", "TOTAL-ROWS"],
         files={"sub\\PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="Holdrun: 1002 names the path with its directory", program="Holdrun", args=["sub\\PRD"],
         stdout=missing("sub\\PRD.P00"), status=2),
    dict(name="Varnock: a leading backslash alone is a path from the drive root", program="PoolMetrics-Varnock",
         args=["\\PRD", "TOTAL-ROWS"], files={"\\PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="mode chosen by program name in any case", program="quillon", args=["PRD", "TOTAL-ROWS"],
         files={"PRD.P00": VALID}, stdout=NO_LIBRARY, status=2),
    dict(name="a profile that is a directory is missing", program="Quillon", args=["PRD"],
         files={"PRD.P00": None}, stdout=missing("PRD.P00"), status=2),
    dict(name="a name with & gives a well-formed error document", program="Quillon", args=["R&D<1>"],
         stdout=missing("R&amp;D&lt;1&gt;.P00"), status=2, xml=True, platforms=("native", "wine", "wine64")),

    # --- stored password -----------------------------------------------------
    dict(name="1004: stored form of 23 characters", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(password="A" * 23)},
         stdout=error_doc("Error 1004: Invalid Password in Profile PRD.P00 found..."), status=2),
    dict(name="1004: valid form followed by a blank", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(password="{pw:secret1} ")},
         stdout=error_doc("Error 1004: Invalid Password in Profile PRD.P00 found..."), status=2),
    dict(name="1004 before 1006: the password is checked when read", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(password="x" * 24, user=None)},
         stdout=error_doc("Error 1004: Invalid Password in Profile PRD.P00 found..."), status=2),
    dict(name="1005: stored form of another key", program="Quillon", args=["PRD"],
         # head decodes to digits, body fails the check digit
         files={"PRD.P00": profile(password="\"4/6" + "k" * 20)},
         stdout=error_doc("Error 1005: Wrong Password in Profile PRD.P00 found..."), status=2),

    # --- profile file --------------------------------------------------------
    dict(name="1006: empty profile", program="Quillon", args=["XYZ"], files={"XYZ.P00": ""},
         stdout=error_doc("Error 1006: Username in Profile XYZ.P00 is missing..."), status=2),
    dict(name="1007: no password line", program="Quillon", args=["PRD"], files={"PRD.P00": profile(password=None)},
         stdout=error_doc("Error 1007: Password in Profile PRD.P00 is missing..."), status=2),
    dict(name="1007: empty password value", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(password="")},
         stdout=error_doc("Error 1007: Password in Profile PRD.P00 is missing..."), status=2),
    dict(name="1003: mode of two characters", program="Quillon", args=["PRD"], files={"PRD.P00": profile(mode="R3")},
         stdout=error_doc("Error 1003: Invalid Parameter(s) at PRD.P00 found..."), status=2),
    dict(name="1003: no gateway host even for an application server", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(gwhost=None)},
         stdout=error_doc("Error 1003: Invalid Parameter(s) at PRD.P00 found..."), status=2),
    dict(name="1003: label with one dot too few sets nothing", program="Quillon", args=["PRD"],
         files={"PRD.P00": profile(client=None) + "Client....: 100\n"},
         stdout=error_doc("Error 1003: Invalid Parameter(s) at PRD.P00 found..."), status=2),
    dict(name="CRLF profile, DatClient and a long line are accepted", program="Quillon", args=["PRD", "TOTAL-ROWS"],
         files={"PRD.P00": profile().replace("\n", "\r\n") + "DatClient..: 200\r\n# " + "z" * 300 + "\r\n"},
         stdout=NO_LIBRARY, status=2),
    dict(name="a profile name with & in a profile fault", program="Quillon", args=["R&D"],
         files={"R&D.P00": ""}, stdout=error_doc("Error 1006: Username in Profile R&amp;D.P00 is missing..."),
         status=2, xml=True),

    # --- the profile administration command ---------------------------------
    dict(name="PoolMetricsProfile check: valid profile", tool=True, args=["check", "PRD.P00"],
         files={"PRD.P00": VALID}, stdout="PRD.P00: valid profile of PRD (client 100, user MONITOR)\n", status=0),
    dict(name="PoolMetricsProfile check: every fault", tool=True, args=["check", "PRD.P00"],
         files={"PRD.P00": profile(user=None, mode="R3", password="x" * 23)},
         stdout="PRD.P00: Password...: the stored form is not 24 characters with a head of four digits (message 1004)\n"
                "PRD.P00: User.......: missing or empty (message 1006)\n"
                "PRD.P00: Password...: missing or empty (message 1007)\n"
                "PRD.P00: Mode.......: missing or shorter than 3 characters (message 1003)\n", status=1),
]
