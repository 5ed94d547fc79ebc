"""Global runs that end before the first system: the item profile, the global
sensor file and their messages, in their order."""

from scenarios_foundation import NO_LIBRARY, error_doc

MARK = 'Sensor="SAP PoolMetrics"'


def gbl(*lines):
    return "".join(line + "\n" for line in lines)


SCENARIOS = [
    dict(name="item profile missing: the profile search reports it (1002) before 1024 could", program="Quillon", args=["PRD", "TOTAL-ROWS", "ITEM=x"],
         files={"Overseer.Prf": None}, stdout=error_doc("Error 1002: Profile Overseer.Prf is missing...{cause}"), status=2),
    dict(name="10x1 is preceded by the profile search: 1002 for a missing global file", program="Quillon",
         args=["GLOBAL", "PRDMEM"], stdout=error_doc("Error 1002: Profile SAP Overseer.Gbl is missing...{cause}"), status=2),
    dict(name="1025: item profile without listing lines", program="Quillon", args=["x", "TOTAL-ROWS", "ITEM=Main"],
         files={"Overseer.Prf": gbl("Extcompany.: x", "# GSNG: 0123456789  PRD.P00#", "# Gsng: short")},
         stdout=error_doc("Error 1025: Global Server Listing missing..."), status=2),
    dict(name="1026: item name empty", program="Quillon", args=["x", "TOTAL-ROWS", "ITEM="],
         files={"Overseer.Prf": gbl("# Gsng: 0123456789  PRD.P00#")},
         stdout=error_doc("Error 1026: Global Item Idenification missing..."), status=2),
    dict(name="1030: no sensor line, named as typed", program="Quillon", args=["GLOBAL", "prdmem", "x"],
         files={"SAP Overseer.Gbl": gbl("# GSNG: PRDMEM      PRD.P00#", "# GSNX: OTHER      TOTAL-ROWS," + MARK)},
         stdout=error_doc("Error 1030: Global Sensor prdmem not found..."), status=2),
    dict(name="1029: first sensor line without the mark", program="Quillon", args=["GLOBAL", "prdmem"],
         files={"SAP Overseer.Gbl": gbl("# gsnx: prdmem     TOTAL-ROWS,Sensor=\"Other\"",
                                        "# GSNX: PRDMEM     TOTAL-ROWS," + MARK + ",Item=x")},
         stdout=error_doc("Error 1029: Invalid Sensor-Allocation..."), status=2),
    dict(name="1029: a sensor line of 19 characters", program="Quillon", args=["GLOBAL", "K"],
         files={"SAP Overseer.Gbl": gbl("# GSNX: K         ")},
         stdout=error_doc("Error 1029: Invalid Sensor-Allocation..."), status=2),
    dict(name="1025 after the sensor was found: no group line", program="Quillon", args=["GLOBAL", "PRDMEM"],
         files={"SAP Overseer.Gbl": gbl("# GSNX: PRDMEM     TOTAL-ROWS," + MARK + ",Item=PRD")},
         stdout=error_doc("Error 1025: Global Server Listing missing..."), status=2),
    dict(name="1026: sensor line without Item=", program="Quillon", args=["GLOBAL", "PRDMEM"],
         files={"SAP Overseer.Gbl": gbl("# GSNG: PRDMEM      PRD.P00#", "# GSNX: PRDMEM     TOTAL-ROWS," + MARK)},
         stdout=error_doc("Error 1026: Global Item Idenification missing..."), status=2),
    dict(name="global file: a second sensor line without the mark is ignored", program="Quillon",
         args=["GLOBAL", "PRDMEM"],
         files={"SAP Overseer.Gbl": gbl("# GSNG: PRDMEM      ", "# GSNX: PRDMEM     TOTAL-ROWS," + MARK + ",Item=A",
                                        "# GSNX: PRDMEM     no mark")},
         stdout=error_doc("Error 1025: Global Server Listing missing..."), status=2),
    dict(name="global run without the RFC library: one clean error document", program="Quillon",
         args=["GLOBAL", "PRDMEM"],
         files={"SAP Overseer.Gbl": gbl("# GSNG: PRDMEM      PRD.P00#", "# GSNX: PRDMEM     TOTAL-ROWS," + MARK + ",Item=A")},
         stdout=NO_LIBRARY,
         status=2),
]
