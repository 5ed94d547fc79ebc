"""Both RFC libraries give the same standard output and exit status, byte for
byte: every sensor type in every caller mode, single and global runs, refused
logons and failed calls, without progress marks and without destination
files. Natively the classic library is compared with the NetWeaver one; in
the 64-bit Wine prefix the 32-bit program with the classic library with the
64-bit program with the NetWeaver library and the 32-bit program with its
own NetWeaver library. The one thing that differs by design is the cause
of a refused logon that follows message 1011: each library's own key and
message."""

import os
import re
import shutil

from e2e import expand, normalise, run_captured
from scenarios_foundation import profile
from scenarios_global import group, item_profile, lines, sensor
from scenarios_sensors import SENSORS, STARTUP, system

# The document's figures, with a packed field the NetWeaver library can
# render in place of the raw half-bytes of the sensor scenarios.
FIGURES = [c[2] for _, _, channels in SENSORS for c in channels if "raw:" not in c[2]]
FIGURES.append("value TOTAL_ROWS.DIRECT = -4711")
TRACE = ["trace_at_call = **** ERROR file opened", "trace_at_call = ERROR       buffer was reset"]
LANDSCAPE = (system("PRD", "prdhost", lines=STARTUP + FIGURES)
             + system("QAS", "qashost", sysnr="01")  # the landscape's default figures
             + system("REF", "refhost", sysnr="02", lines=["refuse_logon = yes"])
             + system("EXC", "exchost", sysnr="03", lines=["receive_rc = 2", "exception = NO_DATA"])
             + system("TRC", "trchost", sysnr="04", lines=["receive_rc = 2", "exception = READ_ERROR"] + TRACE))


def listed(name, host, sysnr):
    return profile(destination=name, hostname=host, sysnr=sysnr, gwhost=host, gwservice="sapgw" + sysnr)


PROFILES = {"PRD.P00": profile(), "QAS.P00": listed("QAS", "qashost", "01"), "REF.P00": listed("REF", "refhost", "02"),
            "EXC.P00": listed("EXC", "exchost", "03"), "TRC.P00": listed("TRC", "trchost", "04"),
            "NOUSER.P00": profile(destination="NOU", user=None),
            "Overseer.Prf": item_profile("PRD.P00#REF.P00#NOUSER.P00#EXC.P00#QAS.P00#"),
            "SAP Overseer.Gbl": lines(group("ALL", "QAS.P00#EXC.P00#PRD.P00#"),
                                      sensor("ALL", 'TOTAL-HITRATIO,Sensor="SAP PoolMetrics",Item=All:Systems,Sid'))}
# Mode EXEXML finds its profiles in PRTG's directory on the current drive,
# and refuses one in the working directory: it runs in the scenario's folder,
# the other modes in "work" below it, where their profiles are.
EXEXML_DIR = "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\"
WORK_FILES = dict({"landscape.ini": LANDSCAPE}, **PROFILES)
FILES = dict({"landscape.ini": LANDSCAPE}, **{EXEXML_DIR + name: text for name, text in PROFILES.items()})

PROGRAMS = ["PoolMetrics", "Holdrun", "Varnock", "Brennick", "PoolMetrics-Quillon"]
TYPES = [keyword for keyword, _, _ in SENSORS]
# A global run names several types; the parameters hold 128 characters.
GROUPS = [",".join(TYPES[0:5]), ",".join(TYPES[5:10]), ",".join(TYPES[10:])]


def requests():
    """(program, arguments) of every request compared."""
    for program in PROGRAMS:
        for keyword in TYPES:
            yield program, ["PRD", keyword]
            yield program, ["QAS", keyword]
        for group in GROUPS:
            yield program, ["x", group, "ITEM=Main"]
        yield program, ["GLOBAL", "ALL"]
        for name in ("REF", "EXC", "TRC"):
            yield program, [name, "TOTAL-ROWS"]
    for keyword in TYPES:
        yield "PoolMetrics-Quillon", ["PRD", keyword + ",CH=3"]


def configurations(platform):
    """(label, bin directory, library file, command) of each library to compare."""
    if platform.name == "native":
        return [("classic", platform.bin_dir, "librfccm.so", []),
                ("NetWeaver", platform.bin_dir, "libsapnwrfc.so", [])]
    if not platform.bin32:
        return None
    # One 64-bit prefix runs both programs; "wine" starts either where the
    # machine runs 32-bit programs.
    configs = [("64-bit NetWeaver", platform.bin_dir, "sapnwrfc.dll", [platform.wine_command])]
    if platform.classic_dir:
        configs.append(("64-bit classic", platform.bin_dir, os.path.join(platform.classic_dir, "librfc32.dll"),
                        [platform.wine_command]))
    if platform.runs_32bit:
        configs += [("32-bit classic", platform.bin32, "librfc32.dll", ["wine"]),
                    ("32-bit NetWeaver", platform.bin32, "sapnwrfc.dll", ["wine"])]
    return configs


def install(platform, scenario_dir, label, bin_dir, library):
    """The programs under each mode's name, with the one library, in a folder of their own."""
    folder = os.path.join(scenario_dir, "bin-" + label.replace(" ", "-"))
    os.makedirs(folder)
    for program in PROGRAMS:
        shutil.copy(os.path.join(bin_dir, "PoolMetrics" + platform.exe), os.path.join(folder, program + platform.exe))
    # `library`: a file of `bin_dir`, or a path of its own.
    shutil.copy(os.path.join(bin_dir, library), os.path.join(folder, os.path.basename(library)))
    return folder


def remove_trace_files(directory):
    # Each request starts as the first: no library's trace file left over.
    for name in os.listdir(directory):
        if name.lower() in ("dev_rfc.trc", "dev_rfc.log"):
            os.remove(os.path.join(directory, name))


# The cause after message 1011, which each library words itself.
LOGON_CAUSE = re.compile(rb"failed ! [^<]*")


def shown_error(stderr):
    return "--- its standard error\n" + stderr.decode("latin-1") if stderr else ""


def compare(platform, scenario_dir, _program):
    configs = configurations(platform)
    if configs is None:
        return ["this scenario needs --bin32, the 32-bit Windows build"]
    work = os.path.join(scenario_dir, "work")
    os.makedirs(work)
    for folder, files in ((scenario_dir, FILES), (work, WORK_FILES)):
        for name, text in files.items():
            path = platform.host_path(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(expand(platform, text))
    folders = [install(platform, scenario_dir, label, bin_dir, library) for label, bin_dir, library, _ in configs]

    def run(index, program, args):
        cwd = scenario_dir if program == "PoolMetrics" else work
        remove_trace_files(cwd)
        command = configs[index][3] + [os.path.join(folders[index], program + platform.exe)] + args
        proc, _ = run_captured(platform, command, "%s: %s %s" % (configs[index][0], program, " ".join(args)),
                               cwd=cwd, env=platform.env, timeout=60)
        # Standard error only tells a difference apart; it is not compared.
        return LOGON_CAUSE.sub(b"failed ! (the library's cause)", normalise(proc.stdout)), proc.returncode, proc.stderr

    problems = []
    # Each folder is served by its own library: the NetWeaver one says so.
    for index, (label, _, library, _) in enumerate(configs):
        out, _, _ = run(index, "Holdrun", ["PRD", "TOTAL-ROWS #"])
        says_nw = b"* RFC-Library......: " + os.path.basename(library).encode() in out
        if says_nw != ("NetWeaver" in label):
            problems.append("%s: not served by %s:\n%s" % (label, library, out.decode("latin-1")))
    if problems:
        return problems

    succeeded = 0
    for program, args in requests():
        results = [run(index, program, args) for index in range(len(configs))]
        succeeded += results[0][1] == 0
        for (label, _, _, _), result in zip(configs[1:], results[1:]):
            if result[:2] != results[0][:2]:
                problems.append("%s %s: %s differs from %s\n--- %s (status %d)\n%s%s\n--- %s (status %d)\n%s%s" % (
                    program, " ".join(args), label, configs[0][0], configs[0][0], results[0][1],
                    results[0][0].decode("latin-1"), shown_error(results[0][2]), label, result[1],
                    result[0].decode("latin-1"), shown_error(result[2])))
    # The requests must reach the figures, not stop before the library.
    if succeeded < len(PROGRAMS) * (2 * len(TYPES) + len(GROUPS) + 1):
        problems.append("only %d requests succeeded" % succeeded)
    return problems


SCENARIOS = [
    dict(name="both RFC libraries give the same output and status for every request", custom=compare,
         platforms=("native", "wine64")),
]
