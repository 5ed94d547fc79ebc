"""Parameters and listings as users really write them: a progress mark in
front of ",HOST=", ",NO=" or "CH=" never changes which system is asked or
which channel is printed, a listing line of any length loses no name, and a
mistyped keyword ("TIMOUT=30") is message 1035 before anything is looked up
or connected, wherever it stands."""

from scenarios_foundation import error_doc, profile
from scenarios_global import OPEN_XML, group, item_profile, sensor, summary_xml, MARK
from scenarios_rfc import DONE, ENV, ROWS, files, journal, opened, options, progress, r3only, rows_doc
from scenarios_sensors import xml_channel


def rows_channels(base):
    return "".join(xml_channel(label, str(base + i), "#") for i, (_, label) in enumerate(ROWS))


QAS_BY_HOST = profile(hostname="qashost")  # reaches QAS with system number 01
NO_PARAMETERS = "(No Parameters)"

SCENARIOS = [
    # --- a progress mark before the values ---------------------------------------------
    dict(name="mark: '# TOTAL-ROWS,NO=01' logs on to instance 01", library=True,
         args=["PRD", "# TOTAL-ROWS,NO=01"], files=files(profile_text=QAS_BY_HOST), status=0, timeout=10,
         stdout=progress(NO_PARAMETERS, header="PRD.P00, qashost, PRD, 00, 100") + rows_doc(base=200) + DONE,
         check=journal(ENV, options(), r3only('"qashost"', 1), *opened("QAS"))),
    dict(name="mark: '@,HOST=qashost TOTAL-ROWS' logs on to that host", library=True,
         args=["PRD", "@,HOST=qashost TOTAL-ROWS"], files=files(profile_text=profile(sysnr="01"), here=True),
         status=0, timeout=10,
         stdout=progress(NO_PARAMETERS, header="PRD.P00, prdhost, PRD, 01, 100") + rows_doc(base=200) + DONE,
         check=journal(ENV, options(), r3only('"qashost"', 1), *opened("QAS"))),
    dict(name="mark: Quillon '# TOTAL-ROWS,CH=2' prints channel 2", program="Quillon", library=True,
         args=["PRD", "# TOTAL-ROWS,CH=2"], files=files(here=True), status=0, timeout=10,
         stdout=progress(NO_PARAMETERS) + "101\n" + DONE),
    # A global run shows its parameters only up to " @"; what stands after it still counts.
    dict(name="mark: ',NO=01' after ' @' in an item run still logs on to instance 01", program="Holdrun",
         library=True, args=["x", "TOTAL-ROWS @,NO=01", "ITEM=Main"],
         files=files(profile_text=QAS_BY_HOST, here=True, **{"Overseer.Prf": item_profile("PRD.P00#")}),
         status=0, timeout=10,
         stdout="* hh:mm:ss SAP PoolMetrics Vers 4.3 / 29.08.22\n* hh:mm:ss TOTAL-ROWS State=Executing\n"
         + OPEN_XML + "\n* hh:mm:ss PRD.P00, qashost, PRD, 00, 100 State=Processed\n" + rows_channels(200)
         + summary_xml("Main", 1, 1, 0) + DONE,
         check=journal(ENV, options(), r3only('"qashost"', 1), *opened("QAS"))),
]

# --- listing lines longer than a piece --------------------------------------------------
# 30 names on one line of 260 characters, then the system PRD on the next line: every
# name counts, none is glued to another.
ABSENT = "".join("S%02d.P00#" % n for n in range(1, 31))
SCENARIOS += [
    dict(name="long listing: an item profile's group line of 260 characters is read whole", program="Holdrun",
         library=True, args=["x", "TOTAL-ROWS", "ITEM=Main"], status=0, timeout=10,
         files=files(here=True, **{"Overseer.Prf": item_profile(ABSENT, "PRD.P00#")}),
         stdout=OPEN_XML + rows_channels(100) + summary_xml("Main", 31, 1, 0)),
    dict(name="long listing: a global file's group line of 260 characters is read whole", program="Holdrun",
         library=True, args=["GLOBAL", "rows"], status=0, timeout=10,
         files=files(here=True, **{"SAP Overseer.Gbl": "\n".join([
             group("ROWS", ABSENT), sensor("ROWS", "TOTAL-ROWS,%s,Item=Main" % MARK), group("rows", "PRD.P00#"),
             ""])}),
         stdout=OPEN_XML + rows_channels(100) + summary_xml("Main", 31, 1, 0)),
]

# --- a keyword that the program does not know ---------------------------------------------
UNKNOWN = "Error 1035: Unknown Keyword %s, use ,HOST= ,NO= CH= ITEM= TIMEOUT= PARALLEL= CACHE= CREDENTIALS= TIMES LIMITS..."
NOT_ASKED = {"journal.txt": None}  # the library was never even loaded
BAD_GBL = "\n".join([group("BAD", "PRD.P00#"), sensor("BAD", "PXA-INFO:TIMOUT=30,%s,Item=Bad" % MARK), ""])
for label, args, more, name in [
    ("in the parameter words", ["PRD", "TOTAL-ROWS TIMOUT=30"], {}, "TIMOUT="),
    ("in lower case, named as typed", ["PRD", "total-rows,timout=30"], {}, "timout="),
    # Today's 1006 for a profile without a user would send the user looking
    # in the wrong place.
    ("for CREDENTIALS=, before the profile's missing user", ["PRD", "TOTAL-ROWS,CREDENTIAL=WINDOWS"],
     {"PRD.P00": profile(user=None)}, "CREDENTIAL="),
    ("before the profile is looked for", ["MISSING", "TOTAL-ROWS SIDE=b"], {}, "SIDE="),
    ("in the arguments after the parameter words", ["x", "TOTAL-ROWS", "ITEM=Main", "PARALEL=3"],
     {"Overseer.Prf": item_profile("PRD.P00#")}, "PARALEL="),
    ("in a global file's allocation text", ["GLOBAL", "BAD"], {"SAP Overseer.Gbl": BAD_GBL}, "TIMOUT="),
]:
    SCENARIOS.append(dict(
        name="unknown keyword %s: 1035 names it, never its value" % label, program="Holdrun", library=True,
        platforms=("native", "wine64"), args=args, files=files(here=True, **more), status=2, timeout=10,
        stdout=error_doc(UNKNOWN % name), after=NOT_ASKED))
SCENARIOS += [
    # A keyword inside a longer word is that keyword, as its value shows.
    dict(name="unknown keyword: NOCACHE=1 is CACHE=1", program="Holdrun", library=True,
         platforms=("native", "wine64"), args=["PRD", "TOTAL-ROWS NOCACHE=1"], files=files(here=True), status=0,
         timeout=10, stdout=rows_doc(), after={"bin/PoolMetrics.cache": True}),
    # The item name's ":" stands for a blank; what follows it is no word of its own.
    dict(name="unknown keyword: an item name 'R:D=1' is no keyword", program="Holdrun", library=True,
         platforms=("native", "wine64"), args=["x", "TOTAL-ROWS", "ITEM=R:D=1"], status=0, timeout=10,
         files=files(here=True, **{"Overseer.Prf": item_profile("PRD.P00#")}),
         stdout=OPEN_XML + rows_channels(100) + summary_xml("R D=1", 1, 1, 0)),
]
