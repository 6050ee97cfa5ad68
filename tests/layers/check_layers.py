#!/usr/bin/env python3
"""Fails when a source includes a folder it must not see.

Each folder names the folders it may include. The core's layers point one
way (container/io <- container/kiwi <- analysis <- project), the folders of
project/ form their own order, and the program layers (ui/logic, ui/qt,
cli) sit on top of the core.
"""
import os
import re
import sys

# folder -> folders its files may include (besides itself).
CORE = ["container/io", "container/kiwi", "analysis"]
PROJECT = {
    "project/text": [],
    "project/file": [],
    "project/build": ["project/text"],
    "project/verify": ["project/text", "project/build"],
    "project/carry": ["project/text"],
    "project/xml": ["project/text"],
    "project/glossary": ["project/text", "project/xml"],
    "project/check": ["project/text", "project/build", "project/xml", "project/glossary"],
    "project/exchange": ["project/text", "project/xml", "project/file", "project/build", "project/check"],
    "project/stats": ["project/text", "project/build"],
    "project/memory": ["project/text", "project/xml", "project/build", "project/check", "project/glossary"],
}
ALLOWED = {
    "container/io": [],
    "container/kiwi": ["container/io"],
    "analysis": ["container/io", "container/kiwi"],
    **{folder: CORE + below for folder, below in PROJECT.items()},
    "ui/logic": CORE + list(PROJECT),
    "ui/qt": CORE + list(PROJECT) + ["ui/logic"],
    "sampledata": CORE,
    "cli": CORE + list(PROJECT) + ["sampledata"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def folder_of(path):
    """The longest known folder that holds path, or None."""
    best = None
    for folder in ALLOWED:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main(root):
    problems = []
    for folder in ALLOWED:
        top = os.path.join(root, folder)
        for name in sorted(os.listdir(top)) if os.path.isdir(top) else []:
            if not name.endswith((".h", ".cpp")):
                continue
            rel = f"{folder}/{name}"
            with open(os.path.join(root, rel), encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if "/" not in target or target.startswith("velmora/"):
                        continue  # a file beside it, or a generated header
                    to = folder_of(target)
                    if to is None:
                        top_folder = target.split("/")[0]
                        if top_folder in ("container", "analysis", "project", "ui", "cli", "sampledata"):
                            problems.append(f"{rel}:{number}: includes {target}, which no layer holds")
                        continue
                    if to != folder and to not in ALLOWED[folder]:
                        problems.append(f"{rel}:{number}: {folder} must not include {target}")
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) point up a layer or across folders that must not meet")
        return 1
    print("every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")))
