#!/usr/bin/env python3
"""Checks the layers of src/: each folder includes only the folders below it.

    check_layers.py [SRC]

base <- profile, rfc <- output <- run <- global <- the entry (src/main.cpp,
src/program.*). A folder and its own sub-folders (rfc/ and rfc/classic/)
count as one. Prints every include that goes against the order and exits 1
if there is one; also fails on an include cycle between folders, on an
include of src/global/ from anywhere but the entry, and on an include of
the entry itself.
"""
import os
import re
import sys

# What each folder may include besides itself.
ALLOWED = {
    "base": set(),
    "profile": {"base"},
    "rfc": {"base"},
    "output": {"base", "rfc"},
    "run": {"base", "profile", "rfc", "output"},
    "global": {"base", "profile", "rfc", "output", "run"},
    "": {"base", "profile", "rfc", "output", "run", "global"},  # the entry
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    """The top folder of a path below src/ ("" for the entry's files)."""
    parts = path.replace("\\", "/").split("/")
    return parts[0] if len(parts) > 1 else ""


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    problems = []
    edges = {}
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), src)
            here = folder_of(path)
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                text = f.read()
            for target in INCLUDE.findall(text):
                if not os.path.exists(os.path.join(src, target)):
                    continue  # a system or generated header
                there = folder_of(target)
                if there == here:
                    continue
                edges.setdefault(here, set()).add(there)
                if here not in ALLOWED:
                    problems.append("%s: folder %s/ has no place in the layers" % (path, here))
                elif there not in ALLOWED[here]:
                    what = "the entry" if there == "" else there + "/"
                    problems.append("%s includes %s (%s)" % (path, target, what))
    for a, targets in edges.items():
        for b in targets:
            if a in edges.get(b, set()) and a < b:
                problems.append("folders %s/ and %s/ include each other" % (a or "(entry)", b or "(entry)"))
    for p in problems:
        print(p)
    print("layers: %s" % ("%d problem(s)" % len(problems) if problems else "every include goes downwards"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
