#!/usr/bin/env python3
"""Fails when a source includes a folder it must not see.

The core's folders are libraries: each velmora_library line of the CMake
files (cmake/Layers.cmake) names a folder and the folders it depends on,
and a folder may include those and, in turn, what they depend on. The build
itself refuses any other include of the core; this test says them all in
one run, by file and line, fails when a folder of project/ that holds
sources is not a library of its own, and holds the programs' folders (the
rooms of ui/logic, ui/qt, cli, sampledata) to the table below.
"""
import os
import re
import sys

LIBRARY = re.compile(r"^\s*velmora_library\(([^)]*)\)", re.MULTILINE)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
CMAKE_FILES = ["CMakeLists.txt", "project/CMakeLists.txt"]
TOP_FOLDERS = ("container", "analysis", "project", "ui", "cli", "sampledata")

# The rooms of the window's logic, each over the rooms it may include; ""
# is ui/logic itself (the platform interface and the main window's notices).
UI_LOGIC = {
    "": [],
    "/startup": [""],
    "/words": [""],
    "/grid": ["", "/words"],
    "/state": ["", "/words", "/grid"],
    "/dialogs": ["", "/words", "/grid", "/state"],
    "/commands": ["", "/words", "/grid", "/state", "/dialogs", "/startup"],
    "/shell": ["", "/words", "/grid", "/state", "/dialogs", "/startup", "/commands"],
}


def core_libraries(root):
    """folder -> the folders it depends on directly, from the CMake files."""
    libraries = {}
    for name in CMAKE_FILES:
        with open(os.path.join(root, name), encoding="utf-8") as f:
            text = re.sub(r"#.*", "", f.read())
        for m in LIBRARY.finditer(text):
            words = m.group(1).split()
            depends, mode = [], None
            for word in words[1:]:
                if word in ("DEPENDS", "LINKS"):
                    mode = word
                elif mode == "DEPENDS":
                    depends.append(word)
            libraries[words[0]] = depends
    return libraries


def below(libraries, folder):
    """Every folder that folder's library links, directly or through others."""
    seen, todo = [], list(libraries[folder])
    while todo:
        f = todo.pop()
        if f not in seen:
            seen.append(f)
            todo.extend(libraries.get(f, []))
    return seen


def allowed_includes(libraries):
    core = list(libraries)
    allowed = {folder: below(libraries, folder) for folder in libraries}
    for room, rooms in UI_LOGIC.items():
        allowed[f"ui/logic{room}"] = core + [f"ui/logic{r}" for r in rooms]
    allowed["ui/qt"] = core + [f"ui/logic{room}" for room in UI_LOGIC]
    allowed["sampledata"] = ["analysis"] + below(libraries, "analysis")
    allowed["cli"] = core + ["sampledata"]
    return allowed


def folder_of(allowed, path):
    """The longest known folder that holds path, or None."""
    best = None
    for folder in allowed:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main(root):
    libraries = core_libraries(root)
    allowed = allowed_includes(libraries)
    problems = []
    for folder in sorted(libraries):
        for dependency in libraries[folder]:
            if dependency not in libraries:
                problems.append(f"{folder} depends on {dependency}, which is no library")
    project = os.path.join(root, "project")
    for name in sorted(os.listdir(project)):
        folder = f"project/{name}"
        sources = [n for n in os.listdir(os.path.join(project, name)) if n.endswith((".h", ".cpp"))] \
            if os.path.isdir(os.path.join(project, name)) else []
        if sources and folder not in libraries:
            problems.append(f"{folder} holds sources but is no library (a velmora_library line in project/CMakeLists.txt)")
    for folder in allowed:
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
                    to = folder_of(allowed, target)
                    if to is None:
                        if target.split("/")[0] in TOP_FOLDERS:
                            problems.append(f"{rel}:{number}: includes {target}, which no layer holds")
                        continue
                    if to != folder and to not in allowed[folder]:
                        problems.append(f"{rel}:{number}: {folder} must not include {target}")
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} problem(s): includes that point up a layer or across folders that must not meet")
        return 1
    print(f"every include points down ({len(libraries)} core libraries, {len(allowed)} folders)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")))
