"""Sensor output of a single-system run against the emulated landscape: every
sensor type in the PRTG XML form and both line forms, value formats, channel
selection with "CH=", the ten-channel limit and requests naming several types."""

import os
import subprocess

from scenarios_foundation import error_doc, profile

SINCE = "since 02.01.23 at 10:15"


def system(name, host, sysnr="00", client="100", password="secret1", lines=()):
    """One [system] section of a landscape, logon as the profile() helper writes it."""
    head = ["[system %s]" % name, "ashost = " + host, "sysnr = " + sysnr, "client = " + client,
            "user = MONITOR", "password = " + password]
    return "\n".join(head + list(lines)) + "\n"


# Every sensor type in the order the program writes sections: keyword, header
# and channels as (label, unit, landscape setting, value as printed).
def physical(structure, values):
    labels = ["Physical updates", "Physical deletes", "Physical inserts", "Phys. direct read accesses",
              "Phys. seq. read accesses"]
    fields = ["UPDATE", "DELETE", "INSERT", "DIRECT", "SEQUENTIAL"]
    return [(label, "#", "value %s.%s = %s" % (structure, field, setting), shown)
            for label, field, (setting, shown) in zip(labels, fields, values)]


def fields(structure, rows):
    return [(label, unit, "value %s.%s = %s" % (structure, field, setting), shown)
            for label, field, unit, setting, shown in rows]


SENSORS = [
    ("DBASE-ACCESSES", ") Table Statistics: Physical Database Accesses, ", physical("DB_ACCESSES", [
        ("0", "0"), ("7", "7"), ("12345", "12345"), ("999999999999999", "999999999999999"), ("100", "100")])),
    ("EXTENDED-MEMORY", ") Extended Memory Statistics: Utilization Data, ", fields("EXTENDED_MEMORY_USAGE", [
        ("EM state attached", "ATTACHED", "MByte", "1", "1"),
        ("EM state allocated", "ALLOCATED", "MByte", "2048", "2048"),
        ("Maximum allocated EM", "USED", "MByte", "1536", "1536"),
        ("Available extended mem", "TOTAL", "MByte", "4096", "4096"),
        ("Max. size dialog WPs", "QUOTA_DIA", "Bytes", "-1", "-1"),
        ("Max. size non-dialog WPs", "QUOTA_NDIA", "Bytes", "2147483647", "2147483647")])),
    ("HEAP-MEMORY", ") Heap Memory Statistics: Utilization Data, ", fields("HEAP_MEMORY_USAGE", [
        ("Heap memory currently used", "USED", "Bytes", "1048576", "1048576"),
        ("Available heap memory", "TOTAL", "Bytes", "0", "0"),
        ("Quota for dialog WPs", "QUOTA_DIA", "Bytes", "3000000", "3000000"),
        ("Quota for non-dialog WPs", "QUOTA_NDIA", "Bytes", "-2147483648", "-2147483648"),
        ("Total quota all dialog sess.", "TOTAL_DIA", "Bytes", "7", "7"),
        ("Total quota non-dialog sess.", "TOTAL_NDIA", "Bytes", "8", "8")])),
    ("LOGICAL-ACCESSES", ") Table Statistics: Logical (ABAP) DataBase Accesses, ", fields("LOGIC_ACCESSES", [
        ("Update attempts", "UPDCNT", "#", "1001", "1001"),
        ("Failed update attempts", "UPDFAIL", "#", "0", "0"),
        ("Detete attempts", "DELCNT", "#", "1003", "1003"),
        ("Failed delete attempts", "DELFAIL", "#", "4", "4"),
        ("Insert attempts", "INSCNT", "#", "1005", "1005"),
        ("Failed insert attempts", "INSFAIL", "#", "6", "6"),
        ("Direct reads", "DIRCNT", "#", "1007", "1007"),
        ("Failed direct reads", "DIRFAIL", "#", "8", "8"),
        ("Sequental reads", "SEQCNT", "#", "1009", "1009")])),
    ("PAGING-AREA", ") Statistics on SAP Paging Area, ", fields("PAGING_AREA", [
        ("Paging area per WorkProc", "AREA_WP", "KByte", "4096", "4096"),
        ("Paging area in ShrMemory", "AREA_SHM", "KByte", "8192", "8192"),
        ("Total size paging area", "AREA_SIZE", "KByte", "65536", "65536"),
        ("Curr. used paging area", "CURR_USED", "KByte", "1234", "1234"),
        ("Max.paging since start", "MAX_USED", "KByte", "5678", "5678"),
        ("Size of paging file", "FILE_SIZE", "KByte", "131072", "131072"),
        ("Quota paging area dia WPs", "QUOTA_DIA", "Bytes", "200000", "200000"),
        ("Quota paging non-dia WPs", "QUOTA_NDIA", "Bytes", "300000", "300000")])),
    ("PXA-INFO", ") Selected Information for PXA (Program Buffer), ", fields("PXA_INFO", [
        ("Size of the gaps in PXA", "GAPS", "#", "5", "5"),
        ("No.of generated programs", "PRG_GEN", "#", "4711", "4711")])),
    ("ROLL-AREA", ") Statistics on SAP Roll Area, ", fields("ROLL_AREA", [
        ("Roll area per workprocess", "AREA_WP", "KByte", "1111", "1111"),
        ("Roll area in shared memory", "AREA_SHM", "KByte", "2222", "2222"),
        ("Total size roll area", "AREA_SIZE", "KByte", "3333", "3333"),
        ("Curr. used roll area", "CURR_USED", "KByte", "4444", "4444"),
        ("Max.roll since start", "MAX_USED", "KByte", "5555", "5555"),
        ("Size of roll file", "FILE_SIZE", "KByte", "6666", "6666"),
        ("Quota roll area dialog WPs", "QUOTA_DIA", "Bytes", "7777", "7777"),
        ("Quota roll non-dialog WPs", "QUOTA_NDIA", "Bytes", "8888", "8888")])),
    ("CURSOR-CACHE", ") SAP Cursor Cache: Total Statistics for all Work Processes, ", fields("SAP_CURSOR_CACHE_TOTAL", [
        ("Requirements ID cache", "ID_REQ", "#", "100000", "100000"),
        ("Hits in the ID cache", "ID_HITS", "#", "99500", "99500"),
        ("Hit rate in the ID cache", "ID_HITR", "#", "995000", "099.5000"),
        ("Free entries in ID cache", "ID_FREE", "#", "0", "0"),
        ("Avail. entries in ID cache.", "ID_MAX", "#", "2000", "2000"),
        ("Inserts in ID cache", "ID_INS", "#", "31", "31"),
        ("Deletes in ID cache", "ID_DEL", "#", "-5", "-5"),
        ("Requirements stmt. cache", "STMT_REQ", "#", "200000", "200000"),
        ("Hits in statement cache", "STMT_HITS", "#", "150000", "150000"),
        ("Hit rate in statement cache", "STMT_HITR", "#", "7500", "7500"),
        ("Free entries in statement c.", "STMT_FREE", "#", "12", "12"),
        ("Avail entries stmt. cache", "STMT_MAX", "#", "3000", "3000"),
        ("Inserts statement cache", "STMT_INS", "#", "44", "44"),
        ("Deletes statement cache", "STMT_DEL", "#", "55", "55")])),
    ("TOTAL-DURATIONS", ") Total Durations: Physical Database Accesses, ", physical("TOTAL_DURATIONS", [
        ("11", "11"), ("22", "22"), ("33", "33"), ("44", "44"), ("55", "55")])),
    ("TOTAL-HITRATIO", ") Table Statistics: Total Hit Rates, ", fields("TOTAL_HITRATIO", [
        ("Hit rate direct read accesses", "DIRECT", "%", "10000", "100.00"),
        ("Hit rate seq. read accesses", "SEQUENTIAL", "%", "9987", " 99.87"),
        ("Medium hit rate", "AVERAGE", "%", "500", " 05.00")])),
    ("TOTAL-OPERATIONS", ") Table Statistics: Total number of Operations, ", fields("TOTAL_OPERATIONS", [
        ("Logical requests database", "REQUESTS", "#", "123456", "123456"),
        ("Failed requests database", "FAILS", "#", "0", "0"),
        ("Physical database accesses", "CALLS", "#", "654321", "654321"),
        ("Processed table tuples", "ROWS", "#", "-3", "-3")])),
    # Half-bytes above 9 are written as they are.
    ("TOTAL-ROWS", ") Total Rows: Physical Database Accesses, ", physical("TOTAL_ROWS", [
        ("12345", "12345"), ("-42", "-42"), ("0", "0"), ("raw:0000000000 01AB2C", "1AB2"),
        ("987654321", "987654321")])),
    ("TABLE-ENTRIES", ") Pool-Metrics: Table-Entries, ", [
        (label, "#", "rows %s = %s" % (table, rows), rows) for label, table, rows in [
            ("Alloc Procedure Dia", "ALLOC_PROCEDURE_DIA", "1"),
            ("Alloc Procedure NonDia", "ALLOC_PROCEDURE_NONDIA", "2"),
            ("Buffer Names", "BUFFER_NAMES", "0"),
            ("Buffer Statistic", "BUFFER_STATISTIC", "4"),
            ("Cursor Cache Info", "CURSOR_CACHE_INFO", "5"),
            ("Ext.Mem Act Context", "EXTENDED_MEMORY_ACTIVE_CONTEXT", "6"),
            ("Int.Ext. Mode Memory", "INTERNAL_EXTERNAL_MODES_MEMORY", "7"),
            ("Mode Memory History", "MODE_MEMORY_HISTORY", "8"),
            ("Table Qualities", "TABLE_QUALITIES", "9"),
            ("Table Statistic", "TABLE_STATISTIC", "17")]]),
]
SENSOR = {keyword: (header, channels) for keyword, header, channels in SENSORS}

STARTUP = ["value STARTUP_DATE = 20230102", "value STARTUP_TIME = 101530"]
LANDSCAPE = system("PRD", "prdhost", lines=STARTUP + [c[2] for _, _, channels in SENSORS for c in channels])
FILES = {"landscape.ini": LANDSCAPE, "PRD.P00": profile()}


# --- expected documents -------------------------------------------------------
def brennick_key(name):
    for c in " /\\[]*():-":
        name = name.replace(c, "_")
    return name.replace(".", "_", 1)


def xml_channel(label, value, unit):
    unit_part = "\n<Unit>Custom</Unit>\n<CustomUnit>%s</CustomUnit>" % unit if unit else ""
    float_part = "\n<Float>1</Float>" if "." in value else ""
    return "\n<Result><Channel>%s</Channel>%s%s\n<Value>%s</Value></Result>\n" % (label, unit_part, float_part, value)


def brennick_channel(key, label, value, unit):
    return "\n\nMessage.%s: %s (%s)\nStatistic.%s: %s" % (key, label, unit or "#", key, value)


def quillon_channel(label, value, unit):
    return "\n> %s: %s %s" % (label, value, unit or "#")


def channels_of(keyword, first=1):
    """(channel number in the run, label, value, unit) of one section."""
    return [(first + i, label, shown, unit) for i, (label, unit, _, shown) in enumerate(SENSOR[keyword][1])]


def document(form, keyword, destination="PRD", since=SINCE, first=1):
    """The document of a single-system run whose last section is `keyword`;
    `first` is the run's number of that section's first channel."""
    header = "(" + destination + SENSOR[keyword][0] + since
    channels = channels_of(keyword, first)
    if form == "xml":
        return "\n<Prtg>\n\n<Text>" + header + "</Text>\n" + "".join(
            xml_channel(label, value, unit) for _, label, value, unit in channels) + "\n</Prtg>\n"
    if form == "Brennick":
        return "\n# " + header + "".join(brennick_channel(brennick_key(label), label, value, unit)
                                         for n, label, value, unit in channels if n <= 10) + "\n"
    return "\n# " + header + "".join(quillon_channel(label, value, unit) for _, label, value, unit in channels) + "\n"


def xml_problem(text):
    """Whether the <Prtg> element of an expected output is well-formed; used where
    progress lines follow the document (the output itself is compared whole)."""
    start, end = text.find("<Prtg>"), text.rfind("</Prtg>") + len("</Prtg>")
    out = subprocess.run(["xmllint", "--noout", "-"], input=text[start:end].encode("latin-1"), capture_output=True)
    return None if out.returncode == 0 else "expected document is not well-formed: " + out.stderr.decode()


FORMS = [("xml", "Holdrun"), ("Brennick", "Brennick"), ("Quillon", "PoolMetrics-Quillon")]

SCENARIOS = []

# --- every sensor type in every form ---------------------------------------------
for keyword, _, _ in SENSORS:
    for form, program in FORMS:
        SCENARIOS.append(dict(
            name="%s in the %s form" % (keyword, form), program=program, library=True, args=["PRD", keyword],
            files=FILES, stdout=document(form, keyword), status=0, xml=form == "xml"))

# One document written out in full, so that the builder above is pinned as well.
SCENARIOS.append(dict(
    name="TOTAL-HITRATIO document letter for letter: Float before Value, blank in place of a leading zero",
    program="Holdrun", library=True, args=["PRD", "TOTAL-HITRATIO"], files=FILES, status=0, xml=True, stdout=(
        "\n<Prtg>\n"
        "\n<Text>(PRD) Table Statistics: Total Hit Rates, since 02.01.23 at 10:15</Text>\n"
        "\n<Result><Channel>Hit rate direct read accesses</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>"
        "\n<Float>1</Float>\n<Value>100.00</Value></Result>\n"
        "\n<Result><Channel>Hit rate seq. read accesses</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>"
        "\n<Float>1</Float>\n<Value> 99.87</Value></Result>\n"
        "\n<Result><Channel>Medium hit rate</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>"
        "\n<Float>1</Float>\n<Value> 05.00</Value></Result>\n"
        "\n</Prtg>\n")))

SCENARIOS += [
    dict(name="Brennick: keys of labels with full stops and blanks, channels 11 to 14 never written",
         program="Brennick", library=True, args=["PRD", "CURSOR-CACHE"], files=FILES, status=0, stdout=(
             "\n# (PRD) SAP Cursor Cache: Total Statistics for all Work Processes, since 02.01.23 at 10:15"
             "\n\nMessage.Requirements_ID_cache: Requirements ID cache (#)\nStatistic.Requirements_ID_cache: 100000"
             "\n\nMessage.Hits_in_the_ID_cache: Hits in the ID cache (#)\nStatistic.Hits_in_the_ID_cache: 99500"
             "\n\nMessage.Hit_rate_in_the_ID_cache: Hit rate in the ID cache (#)"
             "\nStatistic.Hit_rate_in_the_ID_cache: 099.5000"
             "\n\nMessage.Free_entries_in_ID_cache: Free entries in ID cache (#)\nStatistic.Free_entries_in_ID_cache: 0"
             "\n\nMessage.Avail__entries_in_ID_cache.: Avail. entries in ID cache. (#)"
             "\nStatistic.Avail__entries_in_ID_cache.: 2000"
             "\n\nMessage.Inserts_in_ID_cache: Inserts in ID cache (#)\nStatistic.Inserts_in_ID_cache: 31"
             "\n\nMessage.Deletes_in_ID_cache: Deletes in ID cache (#)\nStatistic.Deletes_in_ID_cache: -5"
             "\n\nMessage.Requirements_stmt__cache: Requirements stmt. cache (#)"
             "\nStatistic.Requirements_stmt__cache: 200000"
             "\n\nMessage.Hits_in_statement_cache: Hits in statement cache (#)\nStatistic.Hits_in_statement_cache: 150000"
             "\n\nMessage.Hit_rate_in_statement_cache: Hit rate in statement cache (#)"
             "\nStatistic.Hit_rate_in_statement_cache: 7500\n")),
]

# --- requests naming several sensor types, keywords in any case ---------------------
SCENARIOS += [
    dict(name="two sensor types: only the later in table order is printed, whatever the word order",
         program="Holdrun", library=True, args=["PRD", "TOTAL-ROWS", "DBASE-ACCESSES"], files=FILES, status=0,
         stdout=document("xml", "TOTAL-ROWS"), xml=True),
    dict(name="two sensor types in one word, Quillon: the last section only", program="Quillon", library=True,
         args=["PRD", "PXA-INFO,HEAP-MEMORY"], files=FILES, status=0, stdout=document("Quillon", "PXA-INFO")),
    dict(name="Brennick: the channel limit counts the sections dropped before the printed one",
         program="Brennick", library=True, args=["PRD", "TOTAL-ROWS CURSOR-CACHE"], files=FILES, status=0,
         stdout="\n# (PRD) Total Rows: Physical Database Accesses, " + SINCE + "\n"),
    dict(name="keyword in lower case", program="Holdrun", library=True, args=["PRD", "heap-memory"], files=FILES,
         status=0, stdout=document("xml", "HEAP-MEMORY"), xml=True),
    dict(name="keyword inside other text and mixed case", program="Quillon", library=True,
         args=["PRD", "x,Paging-Area,y"], files=FILES, status=0, stdout=document("Quillon", "PAGING-AREA")),
    dict(name="CH= is no selection in the XML form", program="Holdrun", library=True, args=["PRD", "TOTAL-ROWS CH=2"],
         files=FILES, status=0, stdout=document("xml", "TOTAL-ROWS"), xml=True),
    dict(name="CH= is no selection in mode Brennick", program="Brennick", library=True,
         args=["PRD", "PXA-INFO", "CH=1"], files=FILES, status=0, stdout=document("Brennick", "PXA-INFO")),
]

# --- Quillon channel selection: only the selected value and a line break -------------
for words, shown in [
    (["CURSOR-CACHE CH=3"], "099.5000"),
    (["cursor-cache", "ch=2"], "99500"),
    (["CURSOR-CACHE", "CH=12,X"], "3000"),          # up to the comma
    (["CURSOR-CACHE", "CH=14"], "55"),
    (["CURSOR-CACHE", "CH=1234"], ""),              # channel 123
    (["CURSOR-CACHE", "CH=15"], ""),
    (["CURSOR-CACHE", "CH=ab"], ""),                # no digits: channel 0
    (["CURSOR-CACHE", "CH= 2"], "99500"),           # leading blanks skipped
    (["DBASE-ACCESSES TOTAL-ROWS", "CH=7"], "-42"),  # the count runs over both sections
    (["DBASE-ACCESSES TOTAL-ROWS", "CH=2"], ""),    # in the section the later one replaces
]:
    SCENARIOS.append(dict(name="Quillon selection %s" % " ".join(words), program="Quillon", library=True,
                          args=["PRD"] + words, files=FILES, status=0, stdout=shown + "\n"))

# --- value formats at their edges (one figure each, read back through CH=) -----------
for keyword, channel, setting, shown in [
    ("CURSOR-CACHE", 3, "SAP_CURSOR_CACHE_TOTAL.ID_HITR = -995000", "-099.5000"),
    ("CURSOR-CACHE", 3, "SAP_CURSOR_CACHE_TOTAL.ID_HITR = 0", "000.0000"),
    ("CURSOR-CACHE", 3, "SAP_CURSOR_CACHE_TOTAL.ID_HITR = 1000000", "100.0000"),
    ("CURSOR-CACHE", 10, "SAP_CURSOR_CACHE_TOTAL.STMT_HITR = -999999999999999", "-999999999999999"),
    ("TOTAL-HITRATIO", 3, "TOTAL_HITRATIO.AVERAGE = -500", "-05.00"),
    ("TOTAL-HITRATIO", 3, "TOTAL_HITRATIO.AVERAGE = -9987", "-99.87"),
    ("TOTAL-HITRATIO", 3, "TOTAL_HITRATIO.AVERAGE = -10000", "-100.00"),
    ("TOTAL-HITRATIO", 3, "TOTAL_HITRATIO.AVERAGE = 0", " 00.00"),
    ("TOTAL-HITRATIO", 3, "TOTAL_HITRATIO.AVERAGE = 123456", "234.56"),  # the last three digits before the point
    ("TOTAL-HITRATIO", 1, "TOTAL_HITRATIO.DIRECT = 5", " 00.05"),
    ("TOTAL-ROWS", 1, "TOTAL_ROWS.UPDATE = raw:0000000000 00000D", "0"),  # minus zero
    ("TOTAL-ROWS", 2, "TOTAL_ROWS.DELETE = 100000000000000", "100000000000000"),
    ("EXTENDED-MEMORY", 6, "EXTENDED_MEMORY_USAGE.QUOTA_NDIA = -2147483648", "-2147483648"),
]:
    SCENARIOS.append(dict(
        name="value format: %s gives %r" % (setting, shown), program="Quillon", library=True,
        args=["PRD", "%s CH=%d" % (keyword, channel)],
        files={"landscape.ini": system("PRD", "prdhost", lines=STARTUP + ["value " + setting]), "PRD.P00": profile()},
        status=0, stdout=shown + "\n"))

# A negative figure in the XML form: sign kept, Float for the point.
NEGATIVE = system("PRD", "prdhost", lines=["value STARTUP_DATE = 20231231", "value STARTUP_TIME = 235959",
                                           "value TOTAL_HITRATIO.DIRECT = -500", "value TOTAL_HITRATIO.SEQUENTIAL = 0",
                                           "value TOTAL_HITRATIO.AVERAGE = 10000"])
SCENARIOS.append(dict(
    name="negative hit rate in the XML form, started in the last minute of a year", program="Holdrun", library=True,
    args=["PRD", "TOTAL-HITRATIO"], files={"landscape.ini": NEGATIVE, "PRD.P00": profile()}, status=0, xml=True,
    stdout="\n<Prtg>\n\n<Text>(PRD) Table Statistics: Total Hit Rates, since 31.12.23 at 23:59</Text>\n"
           + xml_channel("Hit rate direct read accesses", "-05.00", "%")
           + xml_channel("Hit rate seq. read accesses", " 00.00", "%")
           + xml_channel("Medium hit rate", "100.00", "%") + "\n</Prtg>\n"))

# --- the header's destination, the progress lines, the trace file, message 1032 ------
# (A destination cannot hold "<" or ">": no file name can.)
RND_FILES = {"landscape.ini": LANDSCAPE, "R&D.P00": profile(destination="R&D'1")}
SCENARIOS.append(dict(
    name="a destination with & is escaped in the header", program="Holdrun", library=True,
    args=["R&D", "PXA-INFO"], files=RND_FILES, status=0, xml=True,
    stdout=document("xml", "PXA-INFO", destination="R&amp;D'1")))
SCENARIOS.append(dict(
    name="a destination with & in the Brennick header stays as it is", program="Brennick", library=True,
    args=["R&D", "PXA-INFO"], files=RND_FILES, status=0,
    stdout=document("Brennick", "PXA-INFO", destination="R&D'1")))

PROGRESS_OUT = ("* hh:mm:ss SAP PoolMetrics Vers 4.3 / 29.08.22\n"
                "* hh:mm:ss PRD.P00, prdhost, PRD, 00, 100 State=Processing\n"
                "* hh:mm:ss PoolMetrics - PXA-INFO  State=Executing\n"
                + document("xml", "PXA-INFO") + "\n* hh:mm:ss SAP PoolMetrics now processed...\n")
SCENARIOS.append(dict(
    name="progress lines around the document; the trace file is removed after success", program="Holdrun",
    library=True, args=["PRD", "PXA-INFO #"], files=dict(FILES, **{"Dev_Rfc.Trc": "old trace\n"}), status=0,
    stdout=PROGRESS_OUT, after={"Dev_Rfc.Trc": None}, check=lambda d, p: xml_problem(PROGRESS_OUT)))


def no_open(scenario_dir, platform):
    path = os.path.join(scenario_dir, "rfc-journal.log")
    if os.path.exists(path) and "RfcOpen" in open(path, encoding="latin-1").read():
        return "a connection was opened for a request without sensor type"
    return None


SCENARIOS.append(dict(
    name="1032: no sensor type named, no logon attempted", program="Holdrun", library=True, args=["PRD", "CH=1"],
    files={"landscape.ini": "[landscape]\njournal = rfc-journal.log\n" + LANDSCAPE, "PRD.P00": profile()},
    status=2, check=no_open, xml=True, stdout=error_doc(
        "Error 1032: Sensor-Type missing in Parameters, use one of DBASE-ACCESSES, EXTENDED-MEMORY, "
        "HEAP-MEMORY, LOGICAL-ACCESSES, PAGING-AREA, PXA-INFO, ROLL-AREA, CURSOR-CACHE, TOTAL-DURATIONS, "
        "TOTAL-HITRATIO, TOTAL-OPERATIONS, TOTAL-ROWS, TABLE-ENTRIES...")))
