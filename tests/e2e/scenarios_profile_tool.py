"""PoolMetricsProfile test, new, encode and --help: a logon and call against
the emulated landscape with the profile and library a run would take, a
profile made by questions from a pipe and at a terminal, a password typed
without echo or piped with blanks and quotes kept."""

import os
import re
import select
import shutil
import signal
import subprocess
import time

from e2e import normalise
from scenarios_foundation import profile
from scenarios_rfc import EXEXML_DIR, INI_PROFILE, QAS, SAPRFC_PRD, STANDARD, landscape, prd

LIMIT = 60
BOTH = ("native", "wine64")
MS = re.compile(rb"\b\d+ ms\b")
STORED = re.compile(rb"^[!-~]{24}\n")


def mask(out):
    """Measured times as N ms; a stored password form (random) as <stored>."""
    return STORED.sub(b"<stored>\n", MS.sub(b"N ms", out))


def library_line(platform):
    """The RFC library that the tool of the build's bin/ loads: the classic one
    natively, the NetWeaver one in the 64-bit Windows tree (no classic DLL)."""
    if platform.name == "wine64":
        return "RFC library    : {nwlib}, NetWeaver RFC 7500.0.0 (emulated SAP landscape)\n"
    return "RFC library    : {classic}\n"


def reached(host="prdhost", sysnr="00", profile_line="profile        : PRD.P00\n"):
    """The items printed before the logon."""
    return lambda platform: (profile_line + library_line(platform)
                             + "host           : %s\nsystem number  : %s\nclient         : 100\n"
                               "user           : MONITOR\n" % (host, sysnr))


# The keys the NetWeaver library gives where the classic one gives these.
NW_KEYS = {"RFC_ERROR_LOGON_FAILURE": "RFC_LOGON_FAILURE", "RFC_ERROR_COMMUNICATION": "RFC_COMMUNICATION_FAILURE"}


def then(before, after):
    def text(platform):
        out = before(platform) + after
        if platform.library == platform.nw_library:
            for classic, nw in NW_KEYS.items():
                out = out.replace(classic + ":", nw + ":")
        return out
    return text


ANSWERED = "logon time     : N ms\ncall time      : N ms\nresult         : SAPTUNE_GET_SUMMARY_STATISTIC answered\n"
REFUSED_CHECKS = (
    "cause          : the system refused the logon\n"
    "check          : the password of user MONITOR (Password...:, its stored form made by PoolMetricsProfile encode)\n"
    "check          : whether user MONITOR is locked or its password expired (transactions SU01, SM01)\n"
    "check          : the client 100 (Client.....:): it must exist on the system\n")
NOT_REACHED = (
    "logon time     : N ms\n"
    "result         : Error 1011: RFC-Open for PRD failed !\n"
    "library said   : RFC_ERROR_COMMUNICATION: partner 'nohost:sapgw00' not reached\n"
    "cause          : no system answered at the address\n"
    "check          : the host name nohost (Hostname...:)\n"
    "check          : the system number 00 (Sysnr......:): the logon uses port 3300 (gateway) and 3200 (dispatcher)\n"
    "check          : a firewall between this machine and nohost (ports 3300 (gateway) and 3200 (dispatcher))\n")
CALL_CHECK = ("cause          : logged on, but the call of SAPTUNE_GET_SUMMARY_STATISTIC failed\n"
              "check          : the authorisation S_RFC of user MONITOR: activity 16 (execute) for function group "
              "SYST and function SAPTUNE_GET_SUMMARY_STATISTIC\n")


def call_failed(platform):
    # The NetWeaver library says why itself; the classic one leaves no trace
    # file for this fault.
    why = " - connection to partner broken" if platform.name == "wine64" else " - Look for Trace-File"
    return ("logon time     : N ms\ncall time      : N ms\n"
            "result         : Error 1014: RFC-Failure raised !%s\n" % why + CALL_CHECK)


def tool_scenario(name, args, files, stdout, status, **more):
    return dict(dict(name="PoolMetricsProfile " + name, tool=True, args=args, files=files, stdout=stdout,
                     status=status, mask=mask, timeout=LIMIT, platforms=BOTH), **more)


SCENARIOS = [
    # --- test: one logon and one call, and what to check when they fail ----------
    tool_scenario("test: a good logon and call", ["test", "PRD"],
                  {"landscape.ini": STANDARD, "PRD.P00": profile()}, then(reached(), ANSWERED), 0,
                  after={"Dev_Rfc.Trc": None}),
    tool_scenario("test: a wrong password", ["test", "PRD"],
                  {"landscape.ini": STANDARD, "PRD.P00": profile(password="{pw:secret2}")},
                  then(reached(), "logon time     : N ms\n"
                                  "result         : Error 1011: RFC-Open for PRD failed !\n"
                                  "library said   : RFC_ERROR_LOGON_FAILURE: Name or password is incorrect (repeat logon)\n"
                                  + REFUSED_CHECKS),
                  1),
    tool_scenario("test: an unknown host", ["test", "PRD"],
                  {"landscape.ini": STANDARD, "PRD.P00": profile(hostname="nohost")},
                  then(reached(host="nohost"), NOT_REACHED), 1),
    tool_scenario("test: a failed call", ["test", "PRD"],
                  {"landscape.ini": landscape(prd("receive_rc = 1"), QAS), "PRD.P00": profile()},
                  lambda platform: reached()(platform) + call_failed(platform), 1),
    # The library's own reason counts, not an older failure in the trace file.
    tool_scenario("test: a refused logon says the library's reason, not the trace file's old lines", ["test", "PRD"],
                  {"landscape.ini": landscape(prd("refuse_logon = yes"), QAS), "PRD.P00": profile(),
                   "Dev_Rfc.Trc": "**** ERROR old\nERROR       partner 'x:sapgw00' not reached\n",
                   "dev_rfc.log": "**** ERROR old\nERROR       partner 'x:sapgw00' not reached\n"},
                  then(reached(), "logon time     : N ms\n"
                                  "result         : Error 1011: RFC-Open for PRD failed !\n"
                                  "library said   : RFC_ERROR_LOGON_FAILURE: Name or password is incorrect (repeat logon)\n"
                                  + REFUSED_CHECKS),
                  1),
    # The classic library's path: the destination's ini file gives the address.
    tool_scenario("test: through the destination ini file", ["test", "PRD"],
                  {"landscape.ini": STANDARD, "PRD.P00": INI_PROFILE, "SapRfc.PRD": SAPRFC_PRD},
                  then(reached(host="nohost", sysnr="05"),
                       "destination    : SapRfc.PRD, copied to SapRfc.ini: its address is used\n" + ANSWERED), 0,
                  platforms=("native",)),
    tool_scenario("test: the profile found by PRTG's directory search", ["test", "PRD"],
                  {"landscape.ini": STANDARD, EXEXML_DIR + "PRD.P00": profile()},
                  then(reached(profile_line="profile        : %sPRD.P00 (not at PRD.P00: found by PRTG's directory "
                                            "search)\n" % EXEXML_DIR), ANSWERED), 0),
    tool_scenario("test: no profile", ["test", "XYZ"], {},
                  "profile        : XYZ.P00 is not there; PRTG's directory search:\n"
                  "result         : Error 1002: Profile XYZ.P00 is missing...{cause}\n"
                  "check          : the name, and where the profile lies: as the name says, else PRTG's custom "
                  "sensor directory (Custom Sensors\\ExeXml\\ of PRTG's folder)\n", 1),
    tool_scenario("test: a profile fault", ["test", "PRD.cfg"], {"PRD.cfg": profile(user=None, mode="R3")},
                  "profile        : PRD.cfg\n"
                  "result         : Error 1006: Username in Profile PRD.cfg is missing...\n"
                  "fault          : User.......: missing or empty\n"
                  "fault          : Mode.......: missing or shorter than 3 characters\n"
                  "check          : PoolMetricsProfile check PRD.cfg says every fault\n", 1),
    tool_scenario("test: the global sensor file is no system's profile", ["test", "GLOBAL"], {},
                  "result         : SAP Overseer.Gbl is the global sensor file of global runs, not one system's "
                  "profile\n", 1),
]


# --- test: which library, as the program chooses it ---------------------------
def tool_beside(platform, scenario_dir, program, libraries):
    """The tool alone in the scenario's bin/, with only `libraries` beside it."""
    bin_dir = os.path.join(scenario_dir, "tool")
    os.makedirs(bin_dir, exist_ok=True)
    tool = os.path.join(bin_dir, os.path.basename(program))
    shutil.copy(program, tool)
    for name in libraries:
        shutil.copy(os.path.join(platform.bin_dir, name), os.path.join(bin_dir, name))
    return tool


def run(platform, scenario_dir, program, args, given=None, masked=True):
    out = subprocess.run(platform.command(program, args), cwd=scenario_dir, env=platform.env, input=given,
                         capture_output=True, timeout=LIMIT)
    if not masked:
        return out.returncode, normalise(out.stdout), normalise(out.stderr)
    return out.returncode, mask(normalise(out.stdout)), mask(normalise(out.stderr))


def write(scenario_dir, name, text):
    with open(os.path.join(scenario_dir, name), "w") as f:
        f.write(text)


def library_choice(platform, scenario_dir, program):
    """Without a library: message 1031; with the NetWeaver one only, that one."""
    from e2e import expand
    with open(os.path.join(scenario_dir, "PRD.P00"), "wb") as f:
        f.write(expand(platform, profile()))
    write(scenario_dir, "landscape.ini", STANDARD)
    problems = []
    status, out, _ = run(platform, scenario_dir, tool_beside(platform, scenario_dir, program, []), ["test", "PRD"])
    folder = "D:\\tool\\" if platform.wine else os.path.join(scenario_dir, "tool") + "/"
    search = "Windows' search" if platform.wine else "the system's search"
    want = ("profile        : PRD.P00\n"
            "result         : Error 1031: RFC-Library {0} could not be loaded (not found in {2} nor by {3}), "
            "RFC-Library {1} could not be loaded (not found in {2} nor by {3})...\n"
            "check          : an RFC library beside PoolMetrics (and this command): the classic one or the "
            "NetWeaver RFC SDK's\n".format(platform.classic_library, platform.nw_library, folder, search)).encode()
    if (status, out) != (1, want):
        problems.append("no library: status %d\n%s" % (status, out.decode("latin-1")))
    shutil.rmtree(os.path.join(scenario_dir, "tool"))
    status, out, _ = run(platform, scenario_dir,
                         tool_beside(platform, scenario_dir, program, [platform.nw_library]), ["test", "PRD"])
    if status != 0 or b"RFC library    : %s, NetWeaver RFC 7500.0.0" % platform.nw_library.encode() not in out:
        problems.append("NetWeaver library: status %d\n%s" % (status, out.decode("latin-1")))
    return problems


SCENARIOS.append(dict(name="PoolMetricsProfile test: no library, or only the NetWeaver one", tool=True,
                      custom=library_choice, timeout=LIMIT, platforms=BOTH))

# --- new: a profile by questions --------------------------------------------
# Answers one a line: a client too short is asked again, the first pair of
# passwords differs, empty answers take what is proposed.
NEW_ANSWERS = ("ACME Corp\n\n10\n100\nmonitor\nsecret1\nsecret9\nsecret1\nsecret1\n\n\nprdhost\n\n\n\n")
NEW_PROFILE = re.compile(
    rb"Extcompany.: ACME Corp\nDestination: PRD\nClient.....: 100\nUser.......: monitor\n"
    rb"Password...: [!-~]{24}\nLanguage...: E\nMode.......: R/3\nHostname...: prdhost\nSysnr......: 00\n"
    rb"Gwhost.....: prdhost\nGwservice..: sapgw00\n\Z")
# (A password from a pipe is not asked for: encode's standard error stays
# free for what is wrong.)
NEW_QUESTIONS = (b"Extcompany: Destination [PRD]: Client: PoolMetricsProfile: Client.....: missing or shorter than 3 "
                 b"characters\nClient: User: PoolMetricsProfile: the two passwords differ; once more\n"
                 b"Language [E]: Mode [R/3]: Hostname: Sysnr [00]: Gwhost [prdhost]: Gwservice [sapgw00]: ")


def new_from_pipe(platform, scenario_dir, program):
    """The answers from a pipe make a profile that check accepts and test logs
    on with."""
    write(scenario_dir, "landscape.ini", STANDARD)
    problems = []
    status, out, err = run(platform, scenario_dir, program, ["new", "PRD"], NEW_ANSWERS.encode())
    if (status, out) != (0, b"PRD.P00: valid profile of PRD (client 100, user MONITOR)\n"):
        problems.append("new: status %d\n%s" % (status, out.decode("latin-1")))
    if err != NEW_QUESTIONS:
        problems.append("questions differ:\n%s" % err.decode("latin-1"))
    with open(os.path.join(scenario_dir, "PRD.P00"), "rb") as f:
        written = f.read()
    if not NEW_PROFILE.match(written):
        problems.append("PRD.P00 holds %r" % written)
    status, out, _ = run(platform, scenario_dir, program, ["test", "PRD"])
    if status != 0 or not out.endswith(ANSWERED.encode()):
        problems.append("test with the new profile: status %d\n%s" % (status, out.decode("latin-1")))
    # The input ending early writes nothing.
    status, _, err = run(platform, scenario_dir, program, ["new", "QAS"], b"ACME\nQAS\n")
    if status != 1 or not err.endswith(b"PoolMetricsProfile: the input ended before every value was given: "
                                       b"no profile written\n") or os.path.exists(os.path.join(scenario_dir, "QAS.P00")):
        problems.append("new with too few answers: status %d\n%s" % (status, err.decode("latin-1")))
    return problems


SCENARIOS += [
    dict(name="PoolMetricsProfile new: answers from a pipe", tool=True, custom=new_from_pipe, timeout=LIMIT,
         platforms=BOTH),
    tool_scenario("new: an existing file is not overwritten", ["new", "PRD"], {"PRD.P00": "mine\n"}, "", 1,
                  stdin=NEW_ANSWERS.encode(),
                  stderr="PoolMetricsProfile: PRD.P00 exists already: it is not overwritten (remove it, or choose "
                         "another name)\n", after={"PRD.P00": "mine\n"}),
]

# --- encode from a pipe: only the line end goes; blanks and quotes stay, each said --
KEPT = "PoolMetricsProfile: warning: the password from standard input has %s, kept as part of the password\n"
for title, given, warnings in [
    ("a trailing blank (echo pw |)", b"secret1 \r\n", ["a trailing blank"]),
    ("single quotes (cmd's echo 'secret1')", b"'secret1'\n", ["enclosing single quotes"]),
    ("double quotes and a blank (cmd's echo \"secret1\" |)", b"\"secret1\" \r\n",
     ["a trailing blank", "enclosing double quotes"]),
    ("a leading blank", b" secret1\n", ["a leading blank"]),
    ("nothing to warn of", b"secret1\r\n", []),
]:
    SCENARIOS.append(tool_scenario("encode from a pipe: " + title, ["encode"], {}, "<stored>\n", 0, stdin=given,
                                   stderr="".join(KEPT % w for w in warnings)))


def encode_keeps_what_was_piped(platform, scenario_dir, program):
    """The stored form of a quoted password holds the quotes: check shows the
    profile valid, and the logon of a system whose password has them works."""
    status, out, _ = run(platform, scenario_dir, program, ["encode"], b"'secret1'\n", masked=False)
    stored = out.decode().strip()
    write(scenario_dir, "landscape.ini", landscape(prd().replace("password = secret1", "password = 'secret1'")))
    write(scenario_dir, "PRD.P00", profile(password="{pw}").replace("{pw}", stored))
    status, out, _ = run(platform, scenario_dir, program, ["test", "PRD"])
    return [] if status == 0 else ["test with the quoted password: status %d\n%s" % (status, out.decode())]


SCENARIOS.append(dict(name="PoolMetricsProfile encode: piped quotes are part of the password", tool=True,
                      custom=encode_keeps_what_was_piped, timeout=LIMIT, platforms=BOTH))

# --- at a terminal: the password is not shown, the terminal is left as it was ---------
def at_terminal(program, args, cwd, answers):
    """Runs the tool with a pseudo-terminal as standard input, output and error;
    types each answer after its question (an answer None: sends SIGINT
    instead). Returns the status, all that the terminal
    showed, and whether it echoes again afterwards."""
    import pty
    import termios
    master, slave = pty.openpty()
    proc = subprocess.Popen([program] + args, cwd=cwd, stdin=slave, stdout=slave, stderr=slave,
                            start_new_session=True)
    shown = b""

    def read_until(pattern, seconds=10):
        nonlocal shown
        end = time.time() + seconds
        while time.time() < end and not re.search(pattern, shown):
            ready, _, _ = select.select([master], [], [], 0.1)
            if ready:
                try:
                    shown += os.read(master, 4096)
                except OSError:
                    break
    for question, answer in answers:
        read_until(re.escape(question) + rb"\Z")
        if answer is None:
            proc.send_signal(signal.SIGINT)
            break
        os.write(master, answer + b"\n")
    proc.wait(timeout=LIMIT)
    # All that the tool wrote before it ended is in the terminal by now.
    while select.select([master], [], [], 0.2)[0]:
        try:
            chunk = os.read(master, 4096)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
    echoes = bool(termios.tcgetattr(slave)[3] & termios.ECHO)
    os.close(slave)
    os.close(master)
    return proc.returncode, shown.replace(b"\r\n", b"\n"), echoes


def encode_at_terminal(platform, scenario_dir, program):
    status, shown, echoes = at_terminal(program, ["encode"], scenario_dir, [(b"Password: ", b"Sesame_42")])
    problems = []
    if b"Sesame_42" in shown:
        problems.append("the password was shown: %r" % shown)
    if not re.fullmatch(rb"Password: \n[!-~]{24}\n", shown) or status != 0:
        problems.append("status %d, terminal shows %r" % (status, shown))
    if not echoes:
        problems.append("the terminal does not echo any more")
    # Ctrl-C while the password is typed leaves the terminal echoing.
    status, shown, echoes = at_terminal(program, ["encode"], scenario_dir, [(b"Password: ", None)])
    if status != -signal.SIGINT or not echoes:
        problems.append("after SIGINT: status %d, the terminal %s" % (status, "echoes" if echoes else "does not echo"))
    return problems


def new_at_terminal(platform, scenario_dir, program):
    answers = [(b"Extcompany: ", b"ACME Corp"), (b"Destination [PRD]: ", b""), (b"Client: ", b"100"),
               (b"User: ", b"monitor"), (b"Password: ", b"Sesame_42"), (b"Password again: ", b"Sesame_42"),
               (b"Language [E]: ", b""), (b"Mode [R/3]: ", b""), (b"Hostname: ", b"prdhost"),
               (b"Sysnr [00]: ", b""), (b"Gwhost [prdhost]: ", b""), (b"Gwservice [sapgw00]: ", b"")]
    status, shown, echoes = at_terminal(program, ["new", "PRD"], scenario_dir, answers)
    problems = []
    if b"Sesame_42" in shown:
        problems.append("the password was shown: %r" % shown)
    # Every other answer is shown as typed.
    if b"Client: 100\n" not in shown or b"Hostname: prdhost\n" not in shown:
        problems.append("answers not shown: %r" % shown)
    if status != 0 or not shown.endswith(b"PRD.P00: valid profile of PRD (client 100, user MONITOR)\n"):
        problems.append("status %d, terminal shows %r" % (status, shown))
    with open(os.path.join(scenario_dir, "PRD.P00"), "rb") as f:
        if not NEW_PROFILE.match(f.read()):
            problems.append("PRD.P00 is not the profile answered")
    if not echoes:
        problems.append("the terminal does not echo any more")
    return problems


SCENARIOS += [
    dict(name="PoolMetricsProfile encode at a terminal: the password is not shown", tool=True,
         custom=encode_at_terminal, timeout=LIMIT, platforms=("native",)),
    dict(name="PoolMetricsProfile new at a terminal: the password is not shown", tool=True,
         custom=new_at_terminal, timeout=LIMIT, platforms=("native",)),
]

# --- usage ---------------------------------------------------------------------------
def usage(platform, scenario_dir, program):
    problems = []
    for args, status, on_stdout in [(["--help"], 0, True), (["-h"], 0, True), (["tset", "PRD"], 1, False),
                                    (["test"], 1, False)]:
        got, out, err = run(platform, scenario_dir, program, args)
        text = out if on_stdout else err
        other = err if on_stdout else out
        if got != status or not text.startswith(b"usage: PoolMetricsProfile encode") or other \
                or b"PoolMetricsProfile new NAME" not in text:
            problems.append("%s: status %d, stdout %r, stderr %r" % (" ".join(args), got, out[:80], err[:80]))
    return problems


SCENARIOS.append(dict(name="PoolMetricsProfile --help and -h on standard output, a wrong command on standard error",
                      tool=True, custom=usage, timeout=LIMIT, platforms=BOTH))
