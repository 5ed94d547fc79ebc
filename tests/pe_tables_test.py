#!/usr/bin/env python3
"""The Windows programs and the emulated RFC libraries, read from their PE
headers and tables rather than run: each file's machine type, the operations
a library exports by their undecorated names (as the vendor's DLLs do), and
that no program imports an RFC library at load time (it loads one at run
time, so that every error before a logon works without it). This is what
the 32-bit build is checked by on a machine that cannot run 32-bit programs.

    pe_tables_test.py BUILD_DIR
"""
import os
import struct
import sys

I386, AMD64 = 0x14C, 0x8664
CLASSIC = {"RfcEnvironment", "RfcOpen", "RfcOpenEx", "RfcInstallStructure", "RfcCall", "RfcReceive",
           "RfcLastError", "RfcClose", "ItCreate", "ItFill", "ItDelete"}
NWRFC = {"RfcOpenConnection", "RfcCloseConnection", "RfcGetFunctionDesc", "RfcCreateFunction", "RfcDestroyFunction",
         "RfcSetChars", "RfcInvoke", "RfcGetStructure", "RfcGetTable", "RfcGetRowCount", "RfcGetInt", "RfcGetChars",
         "RfcGetDate", "RfcGetTime", "RfcGetString", "RfcGetVersion", "RfcSetIniPath"}
RFC_LIBRARIES = {"librfc32.dll", "sapnwrfc.dll"}


class Pe:
    """The parts of a PE image the checks read."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ":
            raise ValueError("%s: no MZ header" % path)
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s: no PE header" % path)
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.directory = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", self.data, table + 40 * n + 8) for n in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError("address %#x in no section" % rva)

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def exports(self):
        rva, size = self.directory[0]
        if not size:
            return set()
        at = self.offset(rva)
        # NumberOfNames, then (past AddressOfFunctions) AddressOfNames.
        count, names = struct.unpack_from("<I4xI", self.data, at + 24)
        table = self.offset(names)
        return {self.text(struct.unpack_from("<I", self.data, table + 4 * i)[0]) for i in range(count)}

    def imports(self):
        """The libraries imported at load time, and those delay-loaded."""
        names = []
        for index, entry_size, name_field in ((1, 20, 12), (13, 32, 4)):
            rva, size = self.directory[index]
            if not size:
                continue
            at = self.offset(rva)
            while True:
                name_rva = struct.unpack_from("<I", self.data, at + name_field)[0]
                if not name_rva:
                    break
                names.append(self.text(name_rva))
                at += entry_size
        return names


def check(path, machine, exports=None):
    problems = []
    if not os.path.exists(path):
        return ["%s is not there" % path]
    pe = Pe(path)
    if pe.machine != machine:
        problems.append("%s: machine %#x, expected %#x" % (path, pe.machine, machine))
    if exports is not None and pe.exports() != exports:
        problems.append("%s exports %s, expected %s" % (path, sorted(pe.exports()), sorted(exports)))
    rfc = [name for name in pe.imports() if name.lower() in RFC_LIBRARIES]
    if rfc:
        problems.append("%s imports %s at load time" % (path, rfc))
    return problems


def main():
    build = sys.argv[1]
    cases = [
        ("windows/bin/PoolMetrics.exe", I386, None),
        ("windows/bin/PoolMetricsProfile.exe", I386, None),
        ("windows/bin/librfc32.dll", I386, CLASSIC),
        ("windows/bin/sapnwrfc.dll", I386, NWRFC),
        ("windows64/bin/PoolMetrics.exe", AMD64, None),
        ("windows64/bin/PoolMetricsProfile.exe", AMD64, None),
        ("windows64/bin/sapnwrfc.dll", AMD64, NWRFC),
        ("windows64/classic/librfc32.dll", AMD64, CLASSIC),
    ]
    problems = []
    for name, machine, exports in cases:
        problems += check(os.path.join(build, name), machine, exports)
    # The installation copies windows64/bin whole: the NetWeaver library only.
    if os.path.exists(os.path.join(build, "windows64/bin/librfc32.dll")):
        problems.append("windows64/bin holds a classic library")
    for problem in problems:
        print(problem)
    print("PE tables: %d files, %d problems" % (len(cases), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
