"""LIMITS: SAP's guidelines as PRTG channel limits in the XML forms. The
three table buffer hit rates (warning below 98 %, SAP's figure; error below
95 %), "EM in use" after EXTENDED-MEMORY's channels (warning above 80 %,
SAP's figure; error above 95 %; none without an available size), and a
global run's "Failed systems" before its summary (error above 0). The line
forms and every request without the word are unchanged."""

from scenarios_foundation import EXEXML_DIR, profile
from scenarios_global import OPEN_XML, item_profile, summary_xml
from scenarios_sensors import SENSORS, STARTUP, document, system, xml_channel

BOTH = ("native", "wine", "wine64")
# The sensor scenarios' figures, but for the raw half-bytes that only the
# classic library passes on (under the 64-bit Wine the NetWeaver library
# serves): none of them is in a document here.
LANDSCAPE = system("PRD", "prdhost", lines=STARTUP + [c[2] for _, _, channels in SENSORS for c in channels
                                                      if "raw:" not in c[2]])
FILES = {"landscape.ini": LANDSCAPE, "PRD.P00": profile()}
HIT_RATE = ("\n<LimitMode>1</LimitMode>\n<LimitMinWarning>98</LimitMinWarning>\n<LimitMinError>95</LimitMinError>"
            "\n<LimitErrorMsg>Table buffer hit rate below 95 %, far under SAP's guideline of 98 % (ST02)</LimitErrorMsg>"
            "\n<LimitWarningMsg>Table buffer hit rate below SAP's guideline of 98 % (ST02)</LimitWarningMsg>")
MEMORY = ("\n<LimitMode>1</LimitMode>\n<LimitMaxError>95</LimitMaxError>\n<LimitMaxWarning>80</LimitMaxWarning>"
          "\n<LimitErrorMsg>Extended memory over 95 % in use: nearly exhausted (SAP's guideline: below 80 %, ST02)"
          "</LimitErrorMsg>\n<LimitWarningMsg>Extended memory over SAP's guideline of 80 % in use (ST02)"
          "</LimitWarningMsg>")
FAILED = ("\n<LimitMode>1</LimitMode>\n<LimitMaxError>0</LimitMaxError>"
          "\n<LimitErrorMsg>A system of the listing failed: see the summary</LimitErrorMsg>")


def limited(channel, limits):
    """An XML channel with limit elements before its value."""
    at = channel.index("\n<Value>")
    return channel[:at] + limits + channel[at:]


def hit_rates_doc():
    """TOTAL-HITRATIO's document with the limits on each of its three channels."""
    doc = document("xml", "TOTAL-HITRATIO")
    for value in ("100.00", " 99.87", " 05.00"):
        at = doc.index("\n<Value>%s</Value>" % value)
        doc = doc[:at] + HIT_RATE + doc[at:]
    return doc


def em_doc(in_use, allocated, total):
    """EXTENDED-MEMORY's document with "EM in use" (none when `in_use` is None)."""
    doc = document("xml", "EXTENDED-MEMORY").replace("<Value>2048</Value>", "<Value>%s</Value>" % allocated, 1)
    doc = doc.replace("<Value>4096</Value>", "<Value>%s</Value>" % total, 1)
    if in_use is None:
        return doc
    end = doc.rindex("\n</Prtg>\n")
    return doc[:end] + limited(xml_channel("EM in use", in_use, "%"), MEMORY) + doc[end:]


def memory(allocated, total):
    lines = [c for c in LANDSCAPE.splitlines() if not c.startswith(("value EXTENDED_MEMORY_USAGE.ALLOCATED",
                                                                    "value EXTENDED_MEMORY_USAGE.TOTAL"))]
    lines += ["value EXTENDED_MEMORY_USAGE.ALLOCATED = %d" % allocated, "value EXTENDED_MEMORY_USAGE.TOTAL = %d" % total]
    return {"landscape.ini": "\n".join(lines) + "\n", "PRD.P00": profile()}


def single(name, args, stdout, files=FILES, program="Holdrun"):
    return dict(name="LIMITS: " + name, program=program, library=True, args=args, files=files, stdout=stdout,
                status=0, xml=True, platforms=BOTH)


SCENARIOS = [
    single("the three hit rates, Holdrun", ["PRD", "TOTAL-HITRATIO LIMITS"], hit_rates_doc()),
    single("the three hit rates, Varnock, from the fourth argument", ["PRD", "TOTAL-HITRATIO", "", "LIMITS"],
           hit_rates_doc(), program="Varnock"),
    single("the three hit rates, EXEXML, in any case", ["PRD", "TOTAL-HITRATIO,limits"], hit_rates_doc(),
           program="PoolMetrics", files={"landscape.ini": LANDSCAPE,
                                         "\\Program Files (x86)" + EXEXML_DIR + "PRD.P00": profile()}),
    single("EM in use at 50 %", ["PRD", "EXTENDED-MEMORY,LIMITS"], em_doc("50.00", 2048, 4096)),
]
SCENARIOS += [
    single("EM in use at %s %%" % shown, ["PRD", "EXTENDED-MEMORY,LIMITS"], em_doc(shown, allocated, total),
           files=memory(allocated, total))
    for shown, allocated, total in [("0.00", 0, 4096), ("80.00", 3277, 4096), ("100.00", 4096, 4096),
                                    ("33.33", 1, 3)]
]
SCENARIOS += [
    single("no EM in use without an available size", ["PRD", "EXTENDED-MEMORY,LIMITS"], em_doc(None, 0, 0),
           files=memory(0, 0)),
    # Without the word the document is as it always was; "TIMESLIMITS" or
    # "NOLIMITS=1" are no such word.
    single("without the word, the document as ever", ["PRD", "TOTAL-HITRATIO"], document("xml", "TOTAL-HITRATIO")),
    single("LIMITS only as a word of its own", ["PRD", "TOTAL-HITRATIO,XLIMITS"], document("xml", "TOTAL-HITRATIO")),
    dict(name="LIMITS: a line mode ignores it", program="Quillon", library=True,
         args=["PRD", "EXTENDED-MEMORY,TOTAL-HITRATIO,LIMITS"], files=FILES, status=0,
         stdout=document("Quillon", "TOTAL-HITRATIO", first=7), platforms=BOTH),
]

# --- global runs: "Failed systems" before the summary -----------------------------------------
GLOBAL_LANDSCAPE = (system("PRD", "prdhost", lines=STARTUP + ["value TOTAL_HITRATIO.DIRECT = 9912",
                                                              "value TOTAL_HITRATIO.SEQUENTIAL = 9400",
                                                              "value TOTAL_HITRATIO.AVERAGE = 9700"])
                    + system("REF", "refhost", sysnr="02", lines=["refuse_logon = yes"]))
GLOBAL_FILES = {"landscape.ini": GLOBAL_LANDSCAPE, "PRD.P00": profile(),
                "REF.P00": profile(destination="REF", hostname="refhost", sysnr="02", gwhost="refhost",
                                   gwservice="sapgw02")}


def global_doc(failed, processed, last_answered):
    """The document of an item run; the channels are the last system's (none
    when it failed)."""
    rates = "" if not last_answered else "".join(limited(xml_channel(label, value, "%"), HIT_RATE) for label, value in [
        ("Hit rate direct read accesses", " 99.12"), ("Hit rate seq. read accesses", " 94.00"),
        ("Medium hit rate", " 97.00")])
    failed_channel = limited("\n<Result><Channel>Failed systems</Channel>\n<Unit>Count</Unit>\n<Value>%d</Value>"
                             "</Result>\n" % failed, FAILED)
    return OPEN_XML + rates + failed_channel + summary_xml("Main", 1 + failed, processed, failed)


for title, listing, failed, parallel, last_answered in [
        ("all systems processed", "PRD.P00#", 0, "1", True),
        ("a failing system, the last one", "PRD.P00#REF.P00#", 1, "1", False),
        ("a failing system, in parallel", "REF.P00#PRD.P00#", 1, "2", True)]:
    SCENARIOS.append(dict(
        name="LIMITS: global run, " + title, program="Holdrun", library=True,
        args=["x", "TOTAL-HITRATIO,LIMITS,PARALLEL=" + parallel, "ITEM=Main"],
        files=dict(GLOBAL_FILES, **{"Overseer.Prf": item_profile(listing)}), status=0, xml=True,
        stdout=global_doc(failed, 1, last_answered), platforms=BOTH))
