"""Parameters and listings as users really write them: a progress mark in
front of ",HOST=", ",NO=" or "CH=" never changes which system is asked or
which channel is printed, and a listing line of any length loses no name."""

from scenarios_foundation import profile
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
