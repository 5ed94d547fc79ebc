#!/usr/bin/env python3
"""End-to-end scenarios: run the real PoolMetrics executables and compare the
document, the exit status and the files left behind.

    e2e.py --platform native --bin build/bin     [--tool build/bin] [-k NAME]
    e2e.py --platform wine   --bin build/windows/bin --tool build/bin
    e2e.py --platform wine64 --bin build/windows64/bin --tool build/bin --bin32 build/windows/bin
    e2e.py --platform wine   --bin build/windows64/bin --classic build/windows64/classic --tool build/bin

Each scenario runs in a directory of its own. Under Wine that directory is
also drive D: and the current directory, so the "\\Program Files\\..."
fallbacks land inside it; only C:\\PRTG_Path.Txt lies on the prefix's C:.
The 64-bit Windows program (wine64) runs in a 64-bit prefix of its own and
takes only the scenarios that name it in their "platforms"; its RFC library
is sapnwrfc.dll. With --classic the scenarios of the 32-bit program (platform
wine) run against the 64-bit program and the 64-bit classic library of that
folder, in the 64-bit prefix: the classic library's Windows path on a
machine that cannot run 32-bit programs.
File names in scenarios are written as the program sees them on Windows;
natively the program takes them as plain file names (backslashes and all).
"""
import argparse
import errno
import importlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import prtg_contract

HERE = os.path.dirname(os.path.abspath(__file__))
SCENARIO_MODULES = ["scenarios_foundation", "scenarios_global_errors", "scenarios_sensors", "scenarios_global", "scenarios_rfc",
                    "scenarios_faults", "scenarios_hostile_parameters", "scenarios_hostile_output",
                    "scenarios_hostile_destinations", "scenarios_hostile_files",
                    "scenarios_nwrfc", "scenarios_library_comparison",
                    "scenarios_deadlines", "scenarios_children", "scenarios_prtg", "scenarios_cache", "scenarios_cache_files",
                    "scenarios_credentials", "scenarios_profile_tool", "scenarios_told_why", "scenarios_limits"]
TIME = re.compile(rb"\b\d\d:\d\d:\d\d\b")


LIBRARIES = {"native": "librfccm.so", "wine": "librfc32.dll", "wine64": "sapnwrfc.dll"}
# Each platform's classic and NetWeaver library file names ({classic} and
# {nwlib} in expected output); the 64-bit program tries the classic one too.
CLASSIC_LIBRARIES = {"native": "librfccm.so", "wine": "librfc32.dll", "wine64": "librfc32.dll"}
NW_LIBRARIES = {"native": "libsapnwrfc.so", "wine": "sapnwrfc.dll", "wine64": "sapnwrfc.dll"}


# The exit status that tells CTest a suite was skipped (SKIP_RETURN_CODE).
SKIPPED = 77


class MachineCannot(Exception):
    """The machine cannot run this platform's programs at all."""


def machine_runs_32bit():
    """Whether the kernel runs 32-bit programs, which Wine's 32-bit loader is
    (some virtual machines are built without them)."""
    try:
        subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True)
    except OSError as e:
        return e.errno != errno.ENOEXEC
    return True


def wine_loader(name):
    """The command that starts a program of the platform's width under Wine.
    Debian's wine64 package installs its loader without a command on PATH;
    the "wine" command starts the 32-bit loader first, which a kernel without
    32-bit support cannot run."""
    if name != "wine64":
        return "wine"
    for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64", "/usr/lib64/wine/wine64"):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return "wine"


class Platform:
    def __init__(self, name, bin_dir, tool_dir, work, bin32=None, classic=None):
        self.name = name
        # The 64-bit classic library's folder: the 32-bit scenarios then run
        # the 64-bit program beside it.
        self.classic_dir = os.path.abspath(classic) if classic else None
        width64 = name == "wine64" or self.classic_dir is not None
        self.bin_dir = os.path.abspath(bin_dir)
        self.tool_dir = os.path.abspath(tool_dir or bin_dir)
        # The 32-bit Windows build, for scenarios that put its classic
        # library beside the 64-bit program.
        self.bin32 = os.path.abspath(bin32) if bin32 else None
        self.work = work
        self.wine = name in ("wine", "wine64")
        self.exe = ".exe" if self.wine else ""
        self.library = LIBRARIES[name]
        self.classic_library = CLASSIC_LIBRARIES[name]
        self.nw_library = NW_LIBRARIES[name]
        self.env = dict(os.environ)
        if self.wine:
            self.prefix = os.path.join(work, "wineprefix64" if width64 else "wineprefix")
            self.env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
            if width64:
                # Only a 64-bit prefix runs 64-bit programs; "wine" starts
                # them with the 64-bit loader where no wine64 command exists.
                self.env["WINEARCH"] = "win64"
            self.wine_command = wine_loader("wine64" if width64 else name)
            # The 32-bit build, which scenarios of the 64-bit prefix run beside
            # the 64-bit one, needs a kernel that runs 32-bit programs.
            self.runs_32bit = machine_runs_32bit()
            if not os.path.isdir(os.path.join(self.prefix, "drive_c")):
                boot = subprocess.run([self.wine_command, "wineboot", "-i"], env=self.env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
                if boot.returncode != 0 and b"Exec format error" in boot.stderr:
                    raise MachineCannot("this machine's kernel does not run 32-bit programs, "
                                        "so Wine cannot run the 32-bit Windows build here; its scenarios run against the "
                                        "64-bit program with the 64-bit classic library (e2e_wine_classic64)")
                if boot.returncode != 0:
                    raise subprocess.CalledProcessError(boot.returncode, boot.args, stderr=boot.stderr)
                # The server that set the prefix up must be gone first, or
                # "-p" finds it running and every scenario then starts (and
                # stops) a server and Wine's services of its own.
                subprocess.run(["wineserver", "-w"], env=self.env, check=False)
            subprocess.run(["wineserver", "-p"], env=self.env, check=False)
            # Start Wine's background services here: started by the first
            # scenario, they would inherit its output pipes and hold them open.
            subprocess.run([self.wine_command, "wineboot"], env=self.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.drive_c = os.path.join(self.prefix, "drive_c")

    @property
    def library_dir(self):
        """Where the platform's RFC library (and its fixtures) lies."""
        if self.classic_dir and self.library == self.classic_library:
            return self.classic_dir
        return self.bin_dir

    def host_path(self, scenario_dir, name):
        """Where a file that the program names `name` lies on the host."""
        if not self.wine:
            return os.path.join(scenario_dir, name)
        if name[:3].upper() == "C:\\":
            return os.path.join(self.drive_c, *name[3:].split("\\"))
        if name[:3].upper() == "D:\\":
            name = name[3:]
        return os.path.join(scenario_dir, *[p for p in name.split("\\") if p])

    def command(self, program, args):
        if self.wine:
            return [self.wine_command, program] + args
        return [program] + args

    def close(self):
        if self.wine:
            subprocess.run(["wineserver", "-k"], env=self.env, check=False)


class Failure(Exception):
    pass


def encode_password(platform, password):
    tool = os.path.join(platform.tool_dir, "PoolMetricsProfile")
    out = subprocess.run([tool, "encode"], input=password.encode() + b"\n", capture_output=True, check=True)
    return out.stdout.rstrip(b"\n").decode("latin-1")


def expand(platform, text):
    """{pw:SECRET} in a fixture becomes a freshly encoded stored form."""
    if isinstance(text, bytes):
        return text
    return re.sub(r"\{pw:([^}]*)\}", lambda m: encode_password(platform, m.group(1)), text).encode("latin-1")


def expand_names(platform, text):
    """{lib}, {classic} and {nwlib} in expected output: the platform's library file names."""
    return (text.replace("{lib}", platform.library).replace("{classic}", platform.classic_library)
            .replace("{nwlib}", platform.nw_library))


def folder_as_seen(platform, scenario_dir, folder):
    """A folder of the scenario as the program names it, with its trailing
    separator: under Wine on drive D:, natively as it is."""
    if not platform.wine:
        return folder + "/"
    relative = os.path.relpath(folder, scenario_dir)
    return "D:\\" + ("" if relative == "." else relative.replace("/", "\\") + "\\")


def expand_places(platform, scenario_dir, text, program_folder):
    """{bin} in expected output: the program's folder as the program names it
    (message 1031 says where it looked); {dir}: the scenario's folder, the
    working directory; {search}: the system's search as the program names
    it."""
    search = "Windows' search" if platform.wine else "the system's search"
    return (text.replace("{bin}", folder_as_seen(platform, scenario_dir, program_folder))
            .replace("{dir}", folder_as_seen(platform, scenario_dir, scenario_dir))
            .replace("{search}", search))


# In expected output: whatever cause a message gives after its fixed start,
# for scenarios about something else (the scenarios of the causes pin them).
CAUSE = "{cause}"


def matches(want, got):
    """`got` is `want`, where {cause} in `want` stands for any text within
    one XML text (no markup)."""
    if CAUSE.encode() not in want:
        return got == want
    pattern = b"[^<]*".join(re.escape(part) for part in want.split(CAUSE.encode()))
    return re.fullmatch(pattern, got, re.S) is not None


def normalise(stdout):
    """Line ends as on Linux, times of day masked as hh:mm:ss."""
    return TIME.sub(b"hh:mm:ss", stdout.replace(b"\r\n", b"\n"))


def program_env(platform, variables):
    """The platform's environment with `variables`: each set to its value,
    or, where the value is None, not set at all."""
    env = dict(platform.env, **(variables or {}))
    for name in [n for n, v in env.items() if v is None]:
        del env[name]
    return env


def run_program(platform, scenario_dir, program, args, env=None, timeout=60):
    """Starts the program in the scenario directory (for custom scenarios);
    returns the Popen object with stdout and stderr piped."""
    return subprocess.Popen(platform.command(program, args), cwd=scenario_dir, env=program_env(platform, env),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)


# What Wine prints, instead of anything of the program's, when it could not
# start the program at all (seen now and then on a loaded machine). The
# program never ran, so running it again changes nothing it would have done.
WINE_COULD_NOT_START = re.compile(
    rb"\s*Application could not be started, or no application associated with the specified file\.\s*"
    rb"ShellExecuteEx failed: Internal error\.\s*")


# What a Wine process prints when its wineserver drops the connection while
# the process starts: thread 0 is a thread that the server has not yet
# numbered, so none of the program's code has run (seen about once in 50 runs
# under the 32-bit Wine). Wine then ends the process with status 1.
WINE_LOST_ITS_SERVER = re.compile(rb"wine client error:0: recvmsg: [^\n]*\n")


def wine_could_not_start(platform, proc):
    """True when Wine failed to start the program: its message stands alone on
    standard output or standard error, and the other is empty (a program that
    ran, ended by itself or not, leaves anything else)."""
    if not platform.wine:
        return False
    for message, other in [(proc.stderr, proc.stdout), (proc.stdout, proc.stderr)]:
        if not other and WINE_COULD_NOT_START.fullmatch(message or b""):
            return True
    return not proc.stdout and bool(WINE_LOST_ITS_SERVER.fullmatch(proc.stderr or b""))


def run_captured(platform, command, name, runner=subprocess.run, **keys):
    """Runs `command` to its end with its output captured (`keys` as for
    subprocess.run); returns the completed process and the seconds the run
    took. When Wine could not start the program, the run is made once more
    (and a line says so for the scenario `name`): a failure to start says
    nothing about the program."""
    started = time.time()
    proc = runner(command, capture_output=True, **keys)
    if wine_could_not_start(platform, proc):
        print("RETRY [%s] %s: Wine could not start the program (%s); running it once more"
              % (platform.name, name, (proc.stderr or proc.stdout).strip().splitlines()[-1].decode("latin-1")),
              flush=True)
        started = time.time()
        proc = runner(command, capture_output=True, **keys)
    return proc, time.time() - started


def xml_ok(document):
    out = subprocess.run(["xmllint", "--noout", "-"], input=document, capture_output=True)
    return out.returncode == 0, out.stderr.decode(errors="replace")


def run_scenario(platform, sc):
    scenario_dir = tempfile.mkdtemp(prefix="sc-", dir=platform.work)
    created_on_c = []
    try:
        if platform.wine:
            link = os.path.join(platform.prefix, "dosdevices", "d:")
            if os.path.lexists(link):
                os.remove(link)
            os.symlink(scenario_dir, link)
        # The program, under the name the scenario gives it, and the RFC library when wanted.
        bin_dir = os.path.join(scenario_dir, sc.get("bin_dir", "bin"))
        os.makedirs(bin_dir, exist_ok=True)
        program = os.path.join(bin_dir, sc.get("program", "PoolMetrics") + platform.exe)
        shutil.copy(os.path.join(platform.bin_dir, "PoolMetrics" + platform.exe), program)
        # library=True: the emulated RFC library; a text names a fixture library
        # of the same file name in that sub-directory of the build's bin/.
        library = sc.get("library", False)
        if library:
            home = platform.library_dir
            source_dir = os.path.join(home, library) if isinstance(library, str) else home
            shutil.copy(os.path.join(source_dir, platform.library), os.path.join(bin_dir, platform.library))
        # nwrfc=True: the emulated NetWeaver library, a text a fixture library
        # of its file name in that sub-directory, as for library.
        nwrfc = sc.get("nwrfc", False)
        if nwrfc:
            source_dir = os.path.join(platform.bin_dir, nwrfc) if isinstance(nwrfc, str) else platform.bin_dir
            shutil.copy(os.path.join(source_dir, platform.nw_library), os.path.join(bin_dir, platform.nw_library))
        # library32=True: the 32-bit build's classic library beside the program.
        if sc.get("library32"):
            if not platform.bin32:
                raise Failure("this scenario needs --bin32, the 32-bit Windows build")
            shutil.copy(os.path.join(platform.bin32, "librfc32.dll"), os.path.join(bin_dir, "librfc32.dll"))
        for name, content in sc.get("files", {}).items():
            path = platform.host_path(scenario_dir, name)
            if content is None:  # a directory
                os.makedirs(path, exist_ok=True)
                continue
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(expand(platform, content))
            if path.startswith(getattr(platform, "drive_c", "\0")):
                created_on_c.append(path)

        # setup: a function (scenario_dir, platform) that prepares what files
        # cannot say (links, say), after they are written.
        if "setup" in sc:
            sc["setup"](scenario_dir, platform)

        if sc.get("tool"):
            program = os.path.join(platform.bin_dir, "PoolMetricsProfile" + platform.exe)
        if "custom" in sc:
            # A scenario that runs the program itself (several at once, say);
            # it returns a list of problems.
            problems = sc["custom"](platform, scenario_dir, program)
            if problems:
                raise Failure("\n".join(problems))
            return 0
        args = sc.get("args", [])
        # env: variables to set, None for one that must not be set.
        env = program_env(platform, sc.get("env"))
        # cwd: a sub-directory of the scenario's as the working directory;
        # stdin: the bytes on standard input.
        proc, elapsed = run_captured(platform, platform.command(program, args), sc["name"],
                                     cwd=os.path.join(scenario_dir, sc.get("cwd", "")), env=env,
                                     input=sc.get("stdin"), timeout=sc.get("timeout", 60))
        out = normalise(proc.stdout)
        # mask: a function over the normalised output for what differs from
        # run to run (measured times, say).
        if "mask" in sc:
            out = sc["mask"](out)
        problems = []
        expected = expand_names(platform, sc["stdout"](platform) if callable(sc["stdout"]) else sc["stdout"])
        expected = expand_places(platform, scenario_dir, expected, bin_dir)
        # PRTG's own mode: what the other modes print around or inside the
        # document is on standard error, and standard output is one document
        # that PRTG takes.
        exexml = not sc.get("tool") and prtg_contract.mode_of(sc.get("program", "PoolMetrics")) == "exexml"
        expected_err = sc.get("stderr")
        if expected_err is not None:
            expected_err = expand_names(platform, expected_err)
        if exexml:
            if expected_err is None:
                expected, expected_err = prtg_contract.split(expected)
            if out.strip():
                problems += ["PRTG would not take it: " + p for p in prtg_contract.check(out)]
        want = expected.encode("latin-1")
        if not matches(want, out):
            problems.append("stdout differs:\n--- expected\n%s\n--- got\n%s" % (want.decode("latin-1"), out.decode("latin-1")))
            # What the program (or Wine) said beside it, where no scenario looks.
            if expected_err is None and proc.stderr:
                problems.append("--- its standard error\n%s" % proc.stderr[:2000].decode("latin-1"))
        err = normalise(prtg_contract.program_lines(proc.stderr))
        if "mask" in sc:
            err = sc["mask"](err)
        if expected_err is not None and err != expected_err.encode("latin-1"):
            problems.append("stderr differs:\n--- expected\n%s\n--- got\n%s" % (expected_err, err.decode("latin-1")))
        # min_seconds: the run may not answer sooner (a deadline kept, not guessed).
        if elapsed < sc.get("min_seconds", 0):
            problems.append("answered after %.2f s, before %.2f s" % (elapsed, sc["min_seconds"]))
        if proc.returncode != sc["status"]:
            problems.append("exit status %d, expected %d" % (proc.returncode, sc["status"]))
        if sc.get("xml"):
            ok, err = xml_ok(out[out.find(b"<Prtg>"):])
            if not ok:
                problems.append("document is not well-formed XML: " + err)
        for name, content in sc.get("after", {}).items():
            path = platform.host_path(scenario_dir, name)
            if content is None:
                if os.path.exists(path):
                    problems.append("%s should not exist" % name)
            elif not os.path.exists(path):
                problems.append("%s should exist" % name)
            elif content is not True:
                with open(path, "rb") as f:
                    got = f.read()
                if got != expand(platform, content):
                    problems.append("%s holds %r" % (name, got[:200]))
        if "check" in sc:
            problem = sc["check"](scenario_dir, platform)
            if problem:
                problems.append(problem)
        if problems:
            raise Failure("\n".join(problems))
        return elapsed
    finally:
        for path in created_on_c:
            if os.path.exists(path):
                os.remove(path)
        shutil.rmtree(scenario_dir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--platform", choices=["native", "wine", "wine64"], required=True)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tool")
    parser.add_argument("--bin32", help="the 32-bit Windows build's bin (wine64: its classic library)")
    parser.add_argument("--classic", help="the 64-bit classic library's folder. wine: the 64-bit program of --bin "
                                          "then takes the 32-bit program's scenarios; wine64: the library "
                                          "comparison takes it too")
    parser.add_argument("--work", help="directory for scenario folders and the Wine prefix")
    parser.add_argument("-k", dest="only", help="run only scenarios whose name contains this")
    parser.add_argument("--modules", default=",".join(SCENARIO_MODULES))
    opts = parser.parse_args()

    # What ran, as the summary names it.
    target = {"native": "native", "wine64": "wine64 (the 64-bit program, NetWeaver library)",
              "wine": "wine (the 32-bit program, classic library)"}[opts.platform]
    if opts.classic and opts.platform == "wine":
        target = "wine (the 64-bit program, 64-bit classic library)"
    work = os.path.abspath(opts.work or tempfile.mkdtemp(prefix="pm-e2e-"))
    os.makedirs(work, exist_ok=True)
    sys.path.insert(0, HERE)
    try:
        platform = Platform(opts.platform, opts.bin, opts.tool, work, opts.bin32, opts.classic)
    except MachineCannot as e:
        print("%s: skipped: %s" % (target, e))
        return SKIPPED
    passed = failed = skipped = 0
    try:
        for module_name in opts.modules.split(","):
            module = importlib.import_module(module_name)
            for sc in module.SCENARIOS:
                if opts.only and opts.only not in sc["name"]:
                    continue
                if opts.platform not in sc.get("platforms", ("native", "wine")):
                    skipped += 1
                    continue
                try:
                    run_scenario(platform, sc)
                    passed += 1
                except (Failure, subprocess.TimeoutExpired) as e:
                    failed += 1
                    print("FAIL [%s] %s\n%s\n" % (opts.platform, sc["name"], e))
    finally:
        platform.close()
    print("%s: %d passed, %d failed, %d skipped" % (target, passed, failed, skipped))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
