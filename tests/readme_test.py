#!/usr/bin/env python3
"""Runs the README's example sessions, so that what it shows cannot drift.

In README.md a fenced ```console block is a session: a line that starts with
"$ " is a command, run with sh in the demo folder; the lines up to the next
command are what it prints (standard output and standard error, as a terminal
shows them). Both sides are compared after masking times of day (hh:mm:ss),
dropping blanks at line ends and blank lines at the end; an expected line
"..." stands for any lines, none included. Each command is a shell of its
own, so `cd` or `export` do not carry over. Blocks of other languages
(```sh, ```bat, ...) are not run.

The demo folder is made as `./build.sh demo` makes it: examples/demo.sh,
given a scratch build tree whose bin/ holds copies of the programs and the
emulated libraries. The sessions run in their order in that one folder, as a
reader following the README would run them.

Also checked: the README's length, and that every relative link of README.md
and of doc/*.md names a file.

    python3 tests/readme_test.py --bin build/bin [--keep]
"""
import argparse
import difflib
import functools
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
README = os.path.join(ROOT, "README.md")
MAX_README_LINES = 260

# What examples/demo.sh expects in its build tree's bin/.
BIN_FILES = ["PoolMetrics", "PoolMetricsProfile", "librfccm.so", "libsapnwrfc.so"]

# Settings of the reader's shell that would change what the programs print.
FOREIGN_ENVIRONMENT = re.compile(r"^(POOLMETRICS_|prtg_|RFC_INI$|DEMO_)")

TIME = re.compile(r"\b\d\d:\d\d:\d\d\b")
FENCE = re.compile(r"^(\s*)(```+)\s*([\w-]*)\s*$")
LINK = re.compile(r"\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


def fenced_blocks(lines):
    """(language, first line number, content lines) of every fenced block;
    a block's indentation (inside a list item) is taken off its lines."""
    blocks, i = [], 0
    while i < len(lines):
        opening = FENCE.match(lines[i])
        if not opening:
            i += 1
            continue
        indent, ticks, language = opening.groups()
        content, j = [], i + 1
        while j < len(lines):
            closing = FENCE.match(lines[j])
            if closing and closing.group(2) == ticks and not closing.group(3):
                break
            line = lines[j]
            content.append(line[len(indent):] if line.startswith(indent) else line.lstrip())
            j += 1
        blocks.append((language, i + 2, content))
        i = j + 1
    return blocks


def sessions(blocks):
    """(README line number, command, expected lines) of every command of the
    console blocks, in order."""
    steps = []
    for language, first, content in blocks:
        if language != "console":
            continue
        for n, line in enumerate(content):
            if line.startswith("$ "):
                steps.append([first + n, line[2:], []])
            elif steps and steps[-1][0] >= first:
                steps[-1][2].append(line)
            elif line.strip():
                raise SystemExit(f"README.md:{first + n}: output before the first command of a console block")
    return [tuple(step) for step in steps]


def normalised(lines):
    lines = [TIME.sub("hh:mm:ss", line).rstrip() for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    return lines


def matches(expected, actual):
    """Whether `actual` is `expected`, an expected "..." standing for any lines."""
    @functools.lru_cache(maxsize=None)
    def match(i, j):
        if i == len(expected):
            return j == len(actual)
        if expected[i] == "...":
            return any(match(i + 1, k) for k in range(j, len(actual) + 1))
        return j < len(actual) and expected[i] == actual[j] and match(i + 1, j + 1)
    return match(0, 0)


def demo_folder(bin_dir, scratch, env):
    """Makes scratch/bin from the build's bin and scratch/demo with
    examples/demo.sh, as `./build.sh demo` does; returns the demo folder."""
    os.makedirs(os.path.join(scratch, "bin"))
    for name in BIN_FILES:
        source = os.path.join(bin_dir, name)
        if not os.path.isfile(source):
            raise SystemExit(f"{source} missing: build the native programs and the emulated libraries first")
        shutil.copy2(source, os.path.join(scratch, "bin", name))
    demo = subprocess.run(["bash", os.path.join(ROOT, "examples", "demo.sh"), scratch], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    if demo.returncode != 0:
        raise SystemExit("examples/demo.sh failed:\n" + demo.stdout.decode(errors="replace"))
    return os.path.join(scratch, "demo")


def run_sessions(steps, work, env):
    failures = 0
    for line_number, command, expected in steps:
        result = subprocess.run(["sh", "-c", command], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        actual = normalised(result.stdout.decode(errors="replace").replace("\r\n", "\n").split("\n"))
        wanted = normalised(expected)
        if matches(wanted, actual):
            continue
        failures += 1
        print(f"README.md:{line_number}: $ {command} (exit status {result.returncode}) printed otherwise:")
        sys.stdout.writelines(line + "\n" for line in difflib.unified_diff(
            wanted, actual, "README", "printed", lineterm=""))
    print(f"{len(steps) - failures} of {len(steps)} README commands print what the README shows")
    return failures


def heading_anchors(path):
    """The anchors a Markdown renderer gives the headings of a file: lower
    case, punctuation but hyphens dropped, blanks as hyphens."""
    anchors, in_block = set(), False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if FENCE.match(line):
                in_block = not in_block
            elif not in_block and line.startswith("#"):
                title = line.lstrip("#").strip().lower()
                anchors.add(re.sub(r"[^\w\- ]", "", title).replace(" ", "-"))
    return anchors


def broken_links(path):
    """The relative links of a Markdown file (outside code blocks) that name
    no file, or no heading of a Markdown file."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    in_block, broken = False, []
    for n, line in enumerate(lines, 1):
        if FENCE.match(line):
            in_block = not in_block
            continue
        if in_block:
            continue
        for target in LINK.findall(re.sub(r"`[^`]*`", "", line)):
            if SCHEME.match(target):
                continue
            if target.startswith("#"):
                target = os.path.basename(path) + target
            name, _, anchor = target.partition("#")
            file = os.path.normpath(os.path.join(os.path.dirname(path), name))
            if not os.path.isfile(file):
                broken.append(f"{os.path.relpath(path, ROOT)}:{n}: link to {target}: no such file")
            elif anchor and file.endswith(".md") and anchor not in heading_anchors(file):
                broken.append(f"{os.path.relpath(path, ROOT)}:{n}: link to {target}: no such heading")
    return broken


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", required=True, help="the native build's bin folder")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder and say where it is")
    args = parser.parse_args()

    with open(README, encoding="utf-8") as f:
        text = f.read()
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    problems = []
    if len(lines) > MAX_README_LINES:
        problems.append(f"README.md has {len(lines)} lines, more than {MAX_README_LINES}: move detail to doc/")
    markdown = [README] + sorted(
        os.path.join(ROOT, "doc", name) for name in os.listdir(os.path.join(ROOT, "doc")) if name.endswith(".md"))
    for path in markdown:
        problems += broken_links(path)
    for problem in problems:
        print(problem)

    steps = sessions(fenced_blocks(lines))
    if not steps:
        problems.append("README.md has no console session")
    env = {k: v for k, v in os.environ.items() if not FOREIGN_ENVIRONMENT.match(k)}
    scratch = tempfile.mkdtemp(prefix="readme-test-")
    try:
        work = demo_folder(os.path.abspath(args.bin), scratch, env)
        failures = run_sessions(steps, work, env)
    finally:
        if args.keep:
            print(f"scratch folder: {scratch}")
        else:
            shutil.rmtree(scratch, ignore_errors=True)
    return 1 if problems or failures else 0


if __name__ == "__main__":
    sys.exit(main())
