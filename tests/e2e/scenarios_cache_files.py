"""The answer store's own files under hostile conditions: links and hard
links planted in PoolMetrics.cache are left alone (nothing outside the store
is written, created or deleted through them) and the runs say why they log
on without the store; the clean-up removes only the store's own files; the
store works for a user other than root, and one that cannot be used says so
on every run."""

import os
import re
import shutil
import subprocess
import time

from e2e import normalise, program_env, run_program
from scenarios_cache import FILES, counted, expect, run, store, stored
from scenarios_sensors import document

SCENARIOS = []
EVERY_PLATFORM = ("native", "wine", "wine64")
PRECIOUS = b"a profile that must survive\n"
# NWP answers alike through both libraries, logon after logon.
ARGS = ["NWP", "PXA-INFO,CACHE=60 #"]


def document_of(out):
    return out[out.find("<Prtg>"):]


def unused_line(why):
    return "* PoolMetrics.cache not used: %s, logon as without it\n" % why


def first_keeping_run(platform, scenario_dir, program):
    """Keeps NWP's answer; returns the key's file name (its digest), the
    folder outside the store where the planted links lead, and the document
    that every later run must print."""
    status, out, _ = run(platform, scenario_dir, program, ARGS)
    name = os.path.basename(stored(scenario_dir, program, ".lock"))[:-len(".lock")]
    outside = os.path.join(scenario_dir, "outside")
    os.makedirs(outside)
    return name, outside, document_of(out)


def plant(kind, path, outside):
    """Puts a `kind` of file at `path`; returns the file outside the store
    that it reaches (missing for a dangling link)."""
    if os.path.lexists(path):
        os.remove(path)
    target = os.path.join(outside, "PRD.P00")
    if kind == "dangling link":
        target = os.path.join(outside, "made-through-a-link")
        os.symlink(target, path)
        return target
    with open(target, "wb") as f:
        f.write(PRECIOUS)
    if kind == "link":
        os.symlink(target, path)
    else:
        os.link(target, path)
    return target


# --- a link or hard link planted as the key's lock, temporary or answer file --------------------------
def planted(ending, kind):
    def scenario(platform, scenario_dir, program):
        problems = []
        name, outside, first = first_keeping_run(platform, scenario_dir, program)
        folder = store(scenario_dir, program)
        answer = os.path.join(folder, name + ".answer")
        if ending == ".answer":
            # The link leads to a good answer of the key: it is not served all the same.
            with open(answer, "rb") as f:
                good = f.read()
            os.remove(answer)
            target = plant(kind, answer, outside)
            with open(target, "wb") as f:
                f.write(good)
            precious = good
        else:
            os.remove(answer)  # no fresh answer: the next runs take the key's turn
            target = plant(kind, os.path.join(folder, name + ending), outside)
            precious = PRECIOUS
        why = "its file %s%s %s" % (name, ending, "is a hard link" if kind == "hard link" else "is a link")
        for n in (1, 2):
            status, out, _ = run(platform, scenario_dir, program, ARGS)
            expect(problems, "run %d: status" % n, status, 0)
            if unused_line(why) not in out:
                problems.append("run %d: no line that says why:\n%s" % (n, out))
            expect(problems, "run %d: the document" % n, document_of(out), first)
        expect(problems, "logons", counted(scenario_dir)[0], 3)
        if kind == "dangling link":
            expect(problems, "a file made through the link", os.path.exists(target), False)
        elif not os.path.exists(target):
            problems.append("the file the link reaches was deleted")
        else:
            with open(target, "rb") as f:
                expect(problems, "the file the link reaches", f.read(), precious)
        expect(problems, "the planted link left alone", os.path.islink(os.path.join(folder, name + ending)),
               kind != "hard link")
        return problems
    return scenario


for ending in (".lock", ".tmp", ".answer"):
    for kind in ("link", "dangling link", "hard link"):
        if ending == ".answer" and kind == "dangling link":
            continue  # not the key's answer and reaching nothing: there is nothing to protect
        SCENARIOS.append(dict(
            name="cache files: a %s planted as the key's %s file: nothing written through it, every run says why"
                 % (kind, ending),
            program="Holdrun", library=True, files=FILES, custom=planted(ending, kind), platforms=EVERY_PLATFORM))


# --- the clean-up removes only the store's own old files ---------------------------------------
def clean_up(platform, scenario_dir, program):
    problems = []
    name, outside, _ = first_keeping_run(platform, scenario_dir, program)
    folder = store(scenario_dir, program)
    two_hours_ago = time.time() - 7200
    own_old = os.path.join(folder, "0000000000000001.answer")
    own_young = os.path.join(folder, "0000000000000002.answer")
    for path in (own_old, own_young):
        with open(path, "wb") as f:
            f.write(b"an answer of another key\n")
    os.chmod(own_old, 0o600)
    os.chmod(own_young, 0o600)
    links = {}
    for n, kind in enumerate(("link", "hard link")):
        path = os.path.join(folder, "000000000000000%d.%s" % (n + 3, "answer" if n == 0 else "tmp"))
        target_folder = os.path.join(outside, str(n))
        os.makedirs(target_folder)
        target = plant(kind, path, target_folder)
        os.utime(target, (two_hours_ago, two_hours_ago))
        if kind == "link":
            os.utime(path, (two_hours_ago, two_hours_ago), follow_symlinks=False)
        links[path] = target
    os.utime(own_old, (two_hours_ago, two_hours_ago))
    os.remove(os.path.join(folder, name + ".answer"))
    status, out, _ = run(platform, scenario_dir, program, ARGS)
    expect(problems, "status", status, 0)
    expect(problems, "the own old file removed", os.path.exists(own_old), False)
    expect(problems, "the own young file kept", os.path.exists(own_young), True)
    for path, target in links.items():
        if not os.path.lexists(path):
            problems.append("%s: removed" % os.path.basename(path))
        if not os.path.exists(target):
            problems.append("%s: the file it reaches outside the store was deleted" % os.path.basename(path))
    return problems


SCENARIOS.append(dict(
    name="cache files: the clean-up removes the store's own old files, never a link nor what it reaches",
    program="Holdrun", library=True, files=FILES, custom=clean_up, platforms=EVERY_PLATFORM))


# --- a user other than root -------------------------------------------------------------------------
NOBODY = 65534


def as_nobody():
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)


def reachable_by_nobody(scenario_dir):
    """Opens the scenario to user nobody; a problem when a folder above it is
    closed to others."""
    for root, dirs, names in os.walk(scenario_dir):
        os.chmod(root, 0o777)
        for name in names:
            if not os.path.islink(os.path.join(root, name)):
                os.chmod(os.path.join(root, name), 0o777)
    path = os.path.dirname(scenario_dir)
    while path != "/":
        if not os.stat(path).st_mode & 0o001:
            return ["user nobody cannot reach %s: give --work a directory that others may enter" % path]
        path = os.path.dirname(path)
    return []


def nobody_env(platform, scenario_dir):
    """The environment of a run as user nobody: under Wine a prefix of that
    user's own (Wine takes only a prefix of the user who runs it), made once
    for the platform's work folder, with drive D: on the scenario's folder."""
    env = program_env(platform, {"HOME": scenario_dir})
    if not platform.wine:
        return env
    prefix = os.path.join(platform.work, os.path.basename(platform.prefix) + "-nobody")
    env["WINEPREFIX"] = prefix
    if not os.path.isdir(os.path.join(prefix, "drive_c")):
        os.makedirs(prefix, exist_ok=True)
        os.chown(prefix, NOBODY, NOBODY)
        subprocess.run([platform.wine_command, "wineboot", "-i"], env=env, preexec_fn=as_nobody,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        subprocess.run(["wineserver", "-w"], env=env, preexec_fn=as_nobody, check=False)
    link = os.path.join(prefix, "dosdevices", "d:")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(scenario_dir, link)
    return env


def run_as_nobody(platform, scenario_dir, program, env):
    proc = subprocess.Popen(platform.command(program, ARGS), cwd=scenario_dir, env=env, preexec_fn=as_nobody,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out, _ = proc.communicate(timeout=120)
    return proc.returncode, normalise(out).decode("latin-1")


def end_nobody_server(platform, env):
    if platform.wine:
        subprocess.run(["wineserver", "-k"], env=env, preexec_fn=as_nobody, check=False)


def another_user(platform, scenario_dir, program):
    problems = reachable_by_nobody(scenario_dir)
    if problems:
        return problems
    env = nobody_env(platform, scenario_dir)
    try:
        outs = [run_as_nobody(platform, scenario_dir, program, env) for _ in range(2)]
    finally:
        end_nobody_server(platform, env)
    for n, (status, out) in enumerate(outs, start=1):
        expect(problems, "run %d: status" % n, status, 0)
        if "PoolMetrics.cache not used" in out:
            problems.append("run %d: the store not used:\n%s" % (n, out))
    if "* Answer kept......: fetched hh:mm:ss, no logon\n" not in outs[1][1]:
        problems.append("the second run was not served from the store:\n" + outs[1][1])
    expect(problems, "logons", counted(scenario_dir)[0], 1)
    info = os.stat(store(scenario_dir, program))
    expect(problems, "the store's owner", info.st_uid, NOBODY)
    expect(problems, "the owner's rights on the store", info.st_mode & 0o700, 0o700)
    return problems


SCENARIOS.append(dict(
    name="cache files: as a user other than root the store is made usable by its user and serves the next run",
    program="Holdrun", library=True, files=FILES, custom=another_user, platforms=EVERY_PLATFORM, timeout=240))


def shut_out(platform, scenario_dir, program):
    """A store that its user may not enter (as older versions made it under
    Wine): every run says so, not only the first."""
    problems = reachable_by_nobody(scenario_dir)
    if problems:
        return problems
    folder = store(scenario_dir, program)
    os.makedirs(folder)
    os.chown(folder, NOBODY, NOBODY)
    os.chmod(folder, 0)
    env = nobody_env(platform, scenario_dir)
    try:
        outs = [run_as_nobody(platform, scenario_dir, program, env) for _ in range(3)]
    finally:
        end_nobody_server(platform, env)
    why = "cannot be read" if platform.wine else "cannot be read and written by its owner"
    for n, (status, out) in enumerate(outs, start=1):
        expect(problems, "run %d: status" % n, status, 0)
        if unused_line(why) not in out:
            problems.append("run %d: no line that says why:\n%s" % (n, out))
    expect(problems, "logons", counted(scenario_dir)[0], 3)
    return problems


SCENARIOS.append(dict(
    name="cache files: a store that its user may not enter is not used, and every run says so",
    program="Holdrun", library=True, files=FILES, custom=shut_out, platforms=EVERY_PLATFORM, timeout=240))


# --- long argument lists ----------------------------------------------------------------------
def many_arguments(platform, scenario_dir, program):
    """100,000 words after the parameter words (the kernel's limit lets about
    147,000 such numbers through): joined in time in proportion to their
    length, well within the deadline."""
    problems = []
    args = ["PRD", "PXA-INFO TIMEOUT=5"] + [str(n) for n in range(100000)]
    started = time.time()
    proc = run_program(platform, scenario_dir, program, args)
    out, _ = proc.communicate(timeout=60)
    elapsed = time.time() - started
    expect(problems, "the run", (proc.returncode, normalise(out).decode("latin-1")),
           (0, document("xml", "PXA-INFO")))
    if elapsed >= 5:
        problems.append("took %.1f s" % elapsed)
    return problems


SCENARIOS.append(dict(
    name="long argument lists: 100,000 words after the parameter words are read in well under a second",
    program="Holdrun", library=True, files=FILES, custom=many_arguments, platforms=("native",)))
