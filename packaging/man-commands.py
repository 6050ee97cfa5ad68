#!/usr/bin/env python3
"""Writes the COMMANDS section of velmora-cli(1) as a help2man include file.

The section is made from the program itself: the command list of
`velmora-cli --help` and each command's `velmora-cli COMMAND --help`, so a
command added to the registry reaches the manual with the next build.

Usage: man-commands.py VELMORA_CLI OUTPUT
"""
import re
import subprocess
import sys

# A line of an indented list: its term, two or more blanks, its description.
ITEM = re.compile(r"^(\s+)(\S.*?)(?:\s{2,}(\S.*))?$")
# The heading of command lines shown as they are typed.
EXAMPLE = re.compile(r"^Examples?:$")


def run(cli, *args):
    return subprocess.run([cli, *args], check=True, capture_output=True, text=True).stdout


def commands(overview):
    """The names listed under "Commands:" in the overview."""
    names, inside = [], False
    for line in overview.splitlines():
        if line == "Commands:":
            inside = True
        elif inside and not line.strip():
            break
        elif inside:
            names.append(line.split()[0])
    return names


def esc(text):
    """Plain text as roff: backslashes and hyphens escaped."""
    return text.replace("\\", "\\e").replace("-", "\\-")


def text_line(text):
    """One line of filled text; a leading dot or quote must not start a request."""
    out = esc(text)
    return "\\&" + out if out[:1] in (".", "'") else out


def example_lines(lines):
    """Command lines as typed, indented and not filled."""
    return [".RS 4", ".nf", *(text_line(line.strip()) for line in lines), ".fi", ".RE"]


def term(text):
    """An option list's term: option names bold, the rest as written."""
    words = []
    for word in text.split(" "):
        bare = word.rstrip(",")
        if bare.startswith("-"):
            name, eq, value = bare.partition("=")  # "--format=FMT"
            words.append("\\fB" + esc(name) + "\\fR" + esc(eq + value) + word[len(bare):])
        else:
            words.append(esc(word))
    return " ".join(words)


def section(name, help_text):
    lines = [line.expandtabs() for line in help_text.rstrip("\n").splitlines()]
    out = [".SS " + esc(name)]
    # The synopsis: "Usage: velmora-cli NAME ..." and any "or:" lines.
    synopsis = []
    while lines and (lines[0].startswith("Usage:") or lines[0].lstrip().startswith("or:")):
        synopsis.append(lines.pop(0).split(":", 1)[1].strip())
    for i, s in enumerate(synopsis):
        if i:
            out.append(".br")
        prog, _, rest = s.partition(" " + name)
        out.append(".B " + esc(prog + " " + name))
        if rest.strip():
            out.append(esc(rest.strip()))
    state = "para"  # after a paragraph break, inside text, inside a list item, or in an example
    item_indent = None
    need_break = True
    example = []
    for line in lines:
        if state == "example" and line.strip():
            example.append(line)
            continue
        if example:
            out += example_lines(example)
            example = []
        if not line.strip():
            need_break = True
            state = "para"
            continue
        indent = len(line) - len(line.lstrip())
        if indent == 0 and EXAMPLE.match(line):
            out += [".PP", text_line(line)]
            state, need_break = "example", False
            continue
        if indent == 0:
            if need_break or state == "item":
                out.append(".PP")
            out.append(text_line(line))
            state, need_break = "text", False
            continue
        m = ITEM.match(line)
        if state == "item" and indent > item_indent:
            out.append(text_line(line.strip()))  # the item's description goes on
            continue
        out.append(".TP")
        out.append(term(m.group(2)))
        if m.group(3):
            out.append(text_line(m.group(3)))
        state, item_indent, need_break = "item", indent, False
    if example:
        out += example_lines(example)
    return out


def main():
    cli, output = sys.argv[1], sys.argv[2]
    out = ["[COMMANDS]"]
    out.append("Each command also takes \\fB\\-h\\fR or \\fB\\-\\-help\\fR and then shows its help and does nothing else.")
    for name in sorted(commands(run(cli, "--help"))):
        out += section(name, run(cli, name, "--help"))
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
