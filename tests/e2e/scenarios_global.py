"""Global runs against the emulated landscape: item runs and global-file runs over
several systems, their state lines, the summary, the channels of the last
system, label kinds in mode Brennick and a long listing."""

import os

from e2e import encode_password, run_program, normalise
from scenarios_foundation import profile
from scenarios_sensors import STARTUP, document, system, xml_channel, xml_problem, SENSOR

MARK = 'Sensor="SAP PoolMetrics"'
HEADER = "* hh:mm:ss SAP PoolMetrics Vers 4.3 / 29.08.22\n"
DONE = "\n* hh:mm:ss SAP PoolMetrics now processed...\n"
OPEN_XML = "\n<Prtg>\n\n"


def lines(*texts):
    return "".join(t + "\n" for t in texts)


def item_profile(*listings):
    return lines("Extcompany.: ACME Corp", *["# Gsng: 0123456789  " + listing for listing in listings])


def group(key, listing, tag="# GSNG: "):
    return "%s%-10s  %s" % (tag, key, listing)


def sensor(key, allocation, tag="# GSNX: "):
    return "%s%-10s %s" % (tag, key, allocation)


PXA = [("Size of the gaps in PXA", "GAPS"), ("No.of generated programs", "PRG_GEN")]


def pxa(gaps, programs):
    return STARTUP + ["value PXA_INFO.GAPS = %d" % gaps, "value PXA_INFO.PRG_GEN = %d" % programs]


def pxa_xml(gaps, programs):
    return xml_channel(PXA[0][0], str(gaps), "#") + xml_channel(PXA[1][0], str(programs), "#")


def summary_xml(item, systems, processed, failed):
    return "\n<Text>(***) %s: NoSystems=%d, Processed=%d, Failed=%d</Text>\n\n</Prtg>\n\n" % (
        item, systems, processed, failed)


def state(name, host, dest, sysnr, client, word):
    return "\n* hh:mm:ss %s, %s, %s, %s, %s State=%s\n" % (name, host, dest, sysnr, client, word)


def checked(sc):
    """The output is compared whole; where progress lines follow the document,
    its <Prtg> element is checked for well-formedness here."""
    sc.setdefault("check", lambda d, p, text=sc["stdout"]: xml_problem(text))
    return sc


# The landscape of the global runs: PRD and QAS answer, REF refuses every logon,
# EXC fails its call.
LANDSCAPE = (system("PRD", "prdhost", lines=pxa(5, 4711))
             + system("QAS", "qas-host", sysnr="01", client="200", password="secret2", lines=pxa(6, 815))
             + system("REF", "refhost", sysnr="02", lines=["refuse_logon = yes"])
             + system("EXC", "exchost", sysnr="03", lines=["receive_rc = 2", "exception = NO_DATA_AVAILABLE"]))
PROFILES = {
    "PRD.P00": profile(),
    "QAS.P00": profile(destination="QAS", client="200", password="{pw:secret2}", hostname="qas-host",
                       sysnr="01", gwhost="qas-host", gwservice="sapgw01"),
    "REF.P00": profile(destination="REF", hostname="refhost", sysnr="02", gwhost="refhost", gwservice="sapgw02"),
    "NOUSER.P00": profile(destination="NOU", user=None),
    "EXC.P00": profile(destination="EXC", hostname="exchost", sysnr="03", gwhost="exchost", gwservice="sapgw03"),
}
STATE = {
    "PRD.P00": ("prdhost", "PRD", "00", "100"),
    "QAS.P00": ("qas-host", "QAS", "01", "200"),
    "REF.P00": ("refhost", "REF", "02", "100"),
    "NOUSER.P00": ("prdhost", "NOU", "00", "100"),
    "EXC.P00": ("exchost", "EXC", "03", "100"),
}


def files(**more):
    return dict({"landscape.ini": LANDSCAPE}, **PROFILES, **more)


def states(*pairs):
    return "".join(state(name, *STATE[name], word) for name, word in pairs)


SCENARIOS = [
    # --- item runs ------------------------------------------------------------------
    checked(dict(
        name="item run: refused logon, profile without user, valid system; the last one's channels",
        program="Holdrun", library=True, args=["x", "PXA-INFO #", "ITEM=Main:Pool"],
        files=files(**{"Overseer.Prf": item_profile("REF.P00#NOUSER.P00#PRD.P00#")}), status=0,
        stdout=HEADER + "* hh:mm:ss PXA-INFO # ITEM=Main Pool State=Executing\n" + OPEN_XML
        + states(("REF.P00", "Rfc Failure"), ("NOUSER.P00", "Rfc Failure"), ("PRD.P00", "Processed"))
        + pxa_xml(5, 4711) + summary_xml("Main Pool", 3, 1, 2) + DONE)),
    # A state line stands inside the XML document: a profile named R&D.P00 is
    # escaped there, so the document stays well-formed.
    checked(dict(
        name="item run: a state line inside the XML document is escaped",
        program="Holdrun", library=True, args=["x", "PXA-INFO #", "ITEM=Main"],
        files=files(**{"Overseer.Prf": item_profile("R&D.P00#"), "R&D.P00": PROFILES["PRD.P00"]}), status=0,
        stdout=HEADER + "* hh:mm:ss PXA-INFO # ITEM=Main State=Executing\n" + OPEN_XML
        + "\n* hh:mm:ss R&amp;D.P00, prdhost, PRD, 00, 100 State=Processed\n"
        + pxa_xml(5, 4711) + summary_xml("Main", 1, 1, 0) + DONE)),
    dict(name="item run without progress: the channels of the first system are not printed",
         program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Pools"],
         files=files(**{"Overseer.Prf": item_profile("PRD.P00#", "QAS.P00#")}), status=0, xml=True,
         stdout=OPEN_XML + pxa_xml(6, 815) + summary_xml("Pools", 2, 2, 0)),
    dict(name="item run: a failed call as the last system leaves its message in place of the channels",
         program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Pools"],
         files=files(**{"Overseer.Prf": item_profile("PRD.P00#EXC.P00#")}), status=0, xml=True,
         stdout=OPEN_XML + "Error 1012: Exception.: NO_DATA_AVAILABLE" + summary_xml("Pools", 2, 1, 1)),
    dict(name="item run: a refused logon as the last system leaves no channels", program="Holdrun", library=True,
         args=["x", "PXA-INFO", "ITEM=Pools"], files=files(**{"Overseer.Prf": item_profile("PRD.P00#REF.P00#")}),
         status=0, xml=True, stdout=OPEN_XML + summary_xml("Pools", 2, 1, 1)),
    checked(dict(
        name="listing with an empty name and a missing profile: counted, nothing printed for them",
        program="Holdrun", library=True, args=["x", "PXA-INFO", "ITEM=Gaps @"],
        files=files(**{"Overseer.Prf": item_profile("PRD.P00##MISSING.P00#QAS.P00#")}), status=0,
        stdout=HEADER + "* hh:mm:ss PXA-INFO ITEM=Gaps State=Executing\n" + OPEN_XML
        + states(("PRD.P00", "Processed"), ("QAS.P00", "Processed"))
        + pxa_xml(6, 815) + summary_xml("Gaps", 4, 2, 0) + DONE)),
    dict(name="item name with & and < is escaped in the summary", program="Holdrun", library=True,
         args=["x", "PXA-INFO", "ITEM=R&D<1>"], files=files(**{"Overseer.Prf": item_profile("REF.P00#")}),
         status=0, xml=True, stdout=OPEN_XML + summary_xml("R&amp;D&lt;1&gt;", 1, 0, 1)),
    dict(name="every named sensor type is appended in a global run, in table order", program="Holdrun",
         library=True, args=["x", "PXA-INFO,DBASE-ACCESSES", "ITEM=Both"],
         files={"landscape.ini": system("PRD", "prdhost", lines=pxa(1, 2) + [
             "value DB_ACCESSES.%s = %d" % (f, n) for n, f in enumerate(
                 ["UPDATE", "DELETE", "INSERT", "DIRECT", "SEQUENTIAL"], 10)]),
             "PRD.P00": profile(), "Overseer.Prf": item_profile("PRD.P00#")},
         status=0, xml=True, stdout=OPEN_XML + "".join(
             xml_channel(label, str(n), "#") for n, (label, _, _, _) in enumerate(SENSOR["DBASE-ACCESSES"][1], 10))
         + pxa_xml(1, 2) + summary_xml("Both", 1, 1, 0)),

    # --- the EXEXML mode: the files in PRTG's sensor directory ------------------------
    checked(dict(
        name="EXEXML: document shape with progress lines, listed profiles beside the item profile",
        args=["x", "PXA-INFO $", "ITEM=Prtg"], library=True,
        files=dict({"landscape.ini": LANDSCAPE}, **{
            "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\" + name: content
            for name, content in dict(PROFILES, **{"Overseer.Prf": item_profile("QAS.P00#PRD.P00#")}).items()}),
        status=0, stdout=HEADER + "* hh:mm:ss PXA-INFO $ ITEM=Prtg State=Executing\n" + OPEN_XML
        + states(("QAS.P00", "Processed"), ("PRD.P00", "Processed"))
        + pxa_xml(5, 4711) + summary_xml("Prtg", 2, 2, 0) + DONE)),

    # --- global-file runs ---------------------------------------------------------------
    checked(dict(
        name="global file: two group lines joined, lower-case tags and keys, parameters and Item from the allocation",
        program="Holdrun", library=True, args=["GLOBAL", "prdmem", "#"],
        files=files(**{"SAP Overseer.Gbl": lines(
            "; other sensors and comments are ignored",
            group("PRDMEM", "PRD.P00#"),
            sensor("OTHER", "TOTAL-ROWS," + MARK + ",Item=Other"),
            sensor("prdmem", "pxa-info:x:y," + MARK + ",Item=PRD:Memory,Sid"),
            group("prdmem", "QAS.P00#", tag="# gsng: "),
            sensor("PRDMEM", "TOTAL-ROWS," + MARK + ",Item=Second"))}),
        status=0, stdout=HEADER + "* hh:mm:ss pxa-info x y State=Executing\n" + OPEN_XML
        + states(("PRD.P00", "Processed"), ("QAS.P00", "Processed"))
        + pxa_xml(6, 815) + summary_xml("PRD Memory", 2, 2, 0) + DONE)),
    dict(name="Brennick: two systems of fourteen channels use up the limit, only the summary is printed",
         program="Brennick", library=True, args=["x", "CURSOR-CACHE", "ITEM=Cache"],
         files=files(**{"Overseer.Prf": item_profile("PRD.P00#QAS.P00#")}), status=0,
         stdout="\n\n# (***) Cache: NoSystems=2, Processed=2, Failed=0\n\n"),
    dict(name="Quillon: the last system's lines and the summary line", program="Quillon", library=True,
         args=["x", "PXA-INFO", "ITEM=Lines"], files=files(**{"Overseer.Prf": item_profile("PRD.P00#QAS.P00#")}),
         status=0, stdout="\n\n> Size of the gaps in PXA: 6 #\n> No.of generated programs: 815 #"
                          "\n# (***) Lines: NoSystems=2, Processed=2, Failed=0\n\n"),
]

# --- label kinds: the Brennick keys carry the system's label ---------------------------
LABEL_GBL = lines(*[group(key, "PRD.P00#QAS.P00#") for key in ["KPROFILE", "KALIAS", "KHOST", "KSID", "KHOSTALIAS",
                                                                "KSIDPROF"]]
                  + [sensor(key, "PXA-INFO," + MARK + ",Item=Labels" + marks) for key, marks in [
                      ("KPROFILE", ""), ("KALIAS", ",Alias"), ("KHOST", ",Host"), ("KSID", ",Sid"),
                      ("KHOSTALIAS", ",Alias,Host"), ("KSIDPROF", ",Sid,Profile")]])
for key, label in [("KPROFILE", "QAS_P00"), ("KALIAS", "QAS"), ("KHOST", "qas_host"), ("KSID", "QAS"),
                   ("KHOSTALIAS", "qas_host"), ("KSIDPROF", "QAS")]:
    SCENARIOS.append(dict(
        name="Brennick keys by label kind %s: %s" % (key, label), program="Brennick", library=True,
        args=["GLOBAL", key], files=files(**{"SAP Overseer.Gbl": LABEL_GBL}), status=0,
        stdout="\n" + "".join("\n\nMessage.%s: %s (#)\nStatistic.%s: %s" % (label, text, label, value)
                              for (text, _), value in zip(PXA, ["6", "815"]))
        + "\n# (***) Labels: NoSystems=2, Processed=2, Failed=0\n\n"))


# --- a long listing -----------------------------------------------------------------
COUNT = 200


def long_listing(platform, scenario_dir, program):
    names = ["S%03d.P00" % i for i in range(1, COUNT + 1)]
    password = encode_password(platform, "secret1")
    landscape = "".join(system("S%03d" % i, "host%03d" % i, lines=pxa(i, 1000 + i) if i == COUNT else ())
                        for i in range(1, COUNT + 1))
    written = {"landscape.ini": landscape,
               "Overseer.Prf": item_profile(*["#".join(names[i:i + 15]) + "#" for i in range(0, COUNT, 15)])}
    for i, name in enumerate(names, 1):
        written[name] = profile(destination="S%03d" % i, hostname="host%03d" % i, gwhost="host%03d" % i,
                                password=password)
    for name, content in written.items():
        with open(os.path.join(scenario_dir, name), "w", encoding="latin-1", newline="") as f:
            f.write(content)
    proc = run_program(platform, scenario_dir, program, ["x", "PXA-INFO", "ITEM=ITEM"])
    try:
        out, _ = proc.communicate(timeout=300)
    except Exception:
        proc.kill()
        return ["the run over %d systems did not finish" % COUNT]
    want = OPEN_XML + pxa_xml(COUNT, 1000 + COUNT) + summary_xml("ITEM", COUNT, COUNT, 0)
    problems = []
    if normalise(out).decode("latin-1") != want:
        problems.append("stdout differs:\n--- expected\n%s\n--- got\n%s" % (want, normalise(out)[-600:]))
    if proc.returncode != 0:
        problems.append("exit status %d" % proc.returncode)
    return problems


SCENARIOS.append(dict(name="item run over 200 systems of a generated landscape", program="Holdrun", library=True,
                      custom=long_listing))
