"""velmora-cli's PO, XLIFF and text phrase files against independent tools.

Projects come from the synthetic sample loader (an 8-bit European unit and
a Japanese unit). Each is exported, checked by GNU gettext, translate-toolkit,
xmllint and ElementTree, edited as a CAT tool would (targets filled, entries
marked fuzzy, comments stripped) and imported back; the project must then be
what the import rules give. Hostile files must fail with exit 1 and a line
number, leaving the project file byte for byte as it was.
"""
from __future__ import annotations

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from translate.storage import po as ttpo

XLIFF = "urn:oasis:names:tc:xliff:document:1.2"
VELMORA = "urn:x-velmora:phrase-file"
ET.register_namespace("", XLIFF)
ET.register_namespace("velmora", VELMORA)

FAILURES: list[str] = []
CHECKS = 0


def check(ok: bool, what: str) -> bool:
    global CHECKS
    CHECKS += 1
    if not ok:
        FAILURES.append(what)
        print("FAIL:", what, flush=True)
    return ok


def run(*args: str, rc: int | None = 0, lang: str | None = None) -> subprocess.CompletedProcess:
    """Runs a program; lang sets its locale (LANG alone) when given."""
    env = None
    if lang is not None:
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
        env["LANG"] = lang
    res = subprocess.run(list(args), capture_output=True, env=env)
    if rc is not None and res.returncode != rc:
        check(False, f"{' '.join(args)}: exit {res.returncode}, expected {rc}: "
                     f"{res.stderr.decode(errors='replace').strip()[:400]}")
    return res


class Cli:
    def __init__(self, path: str) -> None:
        self.path = path

    def __call__(self, *args: str, rc: int | None = 0, lang: str | None = None) -> subprocess.CompletedProcess:
        return run(self.path, *args, rc=rc, lang=lang)

    def phrases(self, project: str, codepage: str | None, lang: str | None = None) -> list[dict]:
        opts = ("--codepage", codepage) if codepage else ()
        return json.loads(self("phrases", project, *opts, "--json", lang=lang).stdout)


def read(path: str) -> bytes:
    with open(path, "rb") as f:
        return f.read()


def write(path: str, data: bytes) -> None:
    with open(path, "wb") as f:
        f.write(data)


def copy(src: str, dst: str) -> str:
    shutil.copyfile(src, dst)
    return dst


# ------------------------------------------------------------ our XLIFF, read by ElementTree

def inline_text(elem: ET.Element | None) -> str:
    """A source or target's text; our control placeholders give their character."""
    if elem is None:
        return ""
    out = elem.text or ""
    for child in elem:
        if child.tag == f"{{{XLIFF}}}x" and child.get("ctype") == "x-velmora-control":
            out += chr(int(child.get("equiv-text", "U+0000")[2:], 16))
        else:
            out += inline_text(child)
        out += child.tail or ""
    return out


def xliff_units(path: str) -> list[dict]:
    units = []
    for tu in ET.parse(path).getroot().iter(f"{{{XLIFF}}}trans-unit"):
        target = tu.find(f"{{{XLIFF}}}target")
        units.append({
            "id": tu.get("id"),
            "source": inline_text(tu.find(f"{{{XLIFF}}}source")),
            "target": inline_text(target),
            "fuzzy": target is not None and (target.get("state", "").startswith("needs-") or target.get("state") == "new"),
            "maxwidth": tu.get("maxwidth"),
        })
    return units


# ------------------------------------------------------------ expectations

def state(rows: list[dict]) -> dict[int, tuple]:
    return {r["index"]: (r["hide"], r["on"], r["edited"]) for r in rows}


def after_import(before: dict[int, tuple], entries: list[tuple[int, str, bool]]) -> dict[int, tuple]:
    """The rules: a non-empty target gives its phrase the text and shows the
    phrase; fuzzy keeps it off, otherwise it is switched on."""
    after = dict(before)
    for index, target, fuzzy in entries:
        if not target:
            continue
        _hide, _on, edited = after[index]
        same = edited is not None and edited.replace("\r\n", "\n") == target.replace("\r\n", "\n")
        text = edited if same else target
        after[index] = (False, not fuzzy, text)
    return after


def survives_text_rules(text: str) -> bool:
    """A source text that an unchanged text export brings back whole."""
    lines = text.split("\n")
    return bool(text) and not text.startswith(" ") and len(lines[0]) >= 1 and \
        all(len(ln) >= 2 and "=" not in ln for ln in lines[1:])


# ------------------------------------------------------------ the checks

class Project:
    def __init__(self, cli: Cli, work: str, name: str, path: str, codepage: str, charset: str, fill: str,
                 alien: str) -> None:
        self.cli, self.work, self.name, self.path, self.codepage = cli, work, name, path, codepage
        self.charset = charset  # the code page's name in the files
        self.fill = fill    # a translation the code page can hold
        self.alien = alien  # a character it cannot
        self.n = 0

    def file(self, suffix: str) -> str:
        self.n += 1
        return os.path.join(self.work, f"{self.name}-{self.n}{suffix}")

    def scratch(self) -> str:
        return copy(self.path, self.file(".vmprj"))

    def export(self, fmt: str, *extra: str) -> str:
        out = self.file({"po": ".po", "xliff": ".xlf", "txt": ".txt"}[fmt])
        self.cli("export", self.path, "-o", out, "--codepage", self.codepage, *extra)
        return out

    def rows(self, project: str | None = None) -> list[dict]:
        return self.cli.phrases(project or self.path, self.codepage)

    def unchanged_round_trips(self) -> None:
        original = read(self.path)
        for fmt in ("po", "xliff"):
            f = self.export(fmt)
            for opts in ((), ("--codepage", self.codepage)):  # the file's own code page, or the chosen one
                p = self.scratch()
                res = self.cli("import", p, f, *opts)
                check(res.stdout.startswith(b"0 applied,"), f"{self.name} {fmt} round trip {opts}: {res.stdout[:300]!r}")
                check(read(p) == original, f"{self.name} {fmt} round trip {opts}: project changed")

    def text_round_trips(self) -> None:
        rows = self.rows()
        for enc in (None, "utf-8", "utf-16", "8bit"):
            opts = ("--encoding", enc) if enc else ()
            f = self.export("txt", *opts)
            data = read(f)
            if enc in ("utf-8", "utf-16"):
                check(data[:3] == b"\xef\xbb\xbf" if enc == "utf-8" else data[:2] == b"\xff\xfe",
                      f"{self.name} txt {enc}: byte-order mark")
            p = self.scratch()
            self.cli("import", p, f, "--codepage", self.codepage, *opts)
            back = {r["index"]: r for r in self.rows(p)}
            for r in rows:
                if survives_text_rules(r["origin"]):
                    check(back[r["index"]]["edited"] == r["origin"],
                          f"{self.name} txt {enc}: phrase {r['index']} came back as {back[r['index']]['edited']!r}")

    def gettext(self) -> None:
        f = self.export("po", "--language", "de")
        check('"Language: de\\n"' in read(f).decode(), f"{self.name}: PO exported with --language de lacks Language: de")
        res = run("msgfmt", "-c", "--check-format", "-o", os.devnull, f)
        check(res.stderr == b"", f"{self.name}: msgfmt -c says {res.stderr.decode(errors='replace')}")
        f = self.export("po")  # the rest with the language the locale gives

        cat = self.file(".po")
        run("msgcat", f, "-o", cat)
        p = self.scratch()
        self.cli("import", p, cat)
        check(read(p) == read(self.path), f"{self.name}: msgcat output changed the project")

        # A CAT tool's translations merged into a fresh export keep their texts.
        translated = self.cat_edit_po(f)
        merged = self.file(".po")
        run("msgmerge", "--quiet", "--no-fuzzy-matching", "-o", merged, translated, self.export("po"))
        a, b = self.scratch(), self.scratch()
        self.cli("import", a, translated)
        self.cli("import", b, merged)
        check(read(a) == read(b), f"{self.name}: msgmerge lost translations")
        t = {u.getcontext(): (u.target, u.isfuzzy()) for u in ttpo.pofile(read(translated)).units if not u.isheader()}
        m = {u.getcontext(): (u.target, u.isfuzzy()) for u in ttpo.pofile(read(merged)).units if not u.isheader()}
        check(t == m, f"{self.name}: msgmerge changed translations")

    def toolkit(self) -> None:
        f = self.export("po")
        rows = self.rows()
        res = run("pocount", f)
        total = re.search(rb"Total:\s+(\d+)", res.stdout)
        check(total is not None and int(total.group(1)) == len(rows),
              f"{self.name}: pocount total {total and total.group(1)} for {len(rows)} phrases")

        theirs_path = self.file(".xlf")
        run("po2xliff", "--progress=none", f, theirs_path)
        ours_path = self.export("xliff")
        run("xmllint", "--noout", ours_path)
        ours = xliff_units(ours_path)
        theirs = [u for u in ET.parse(theirs_path).getroot().iter()
                  if u.tag.endswith("trans-unit") and u.get("restype") != "x-gettext-domain-header"]
        contexts = [u.getcontext() for u in ttpo.pofile(read(f)).units if not u.isheader()]
        check(len(ours) == len(theirs) == len(contexts) == len(rows),
              f"{self.name}: {len(ours)} units, po2xliff {len(theirs)}, contexts {len(contexts)}, rows {len(rows)}")
        for o, t, ctx, r in zip(ours, theirs, contexts, rows):
            if any(ord(c) < 32 and c not in "\t\n\r" for c in o["source"] + o["target"]):
                continue  # po2xliff has no way to write those
            ts = "".join(t.find(f"{{*}}source").itertext())
            tt_elem = t.find("{*}target")
            tt = "".join(tt_elem.itertext()) if tt_elem is not None else ""
            tfuzzy = tt_elem is not None and tt_elem.get("state", "").startswith("needs-")
            check(o["id"] == ctx == str(r["index"]), f"{self.name}: id {o['id']} context {ctx} index {r['index']}")
            check(o["source"] == ts == r["origin"], f"{self.name} unit {o['id']}: source {o['source']!r} / {ts!r}")
            check(o["target"].replace("\r\n", "\n") == tt.replace("\r\n", "\n") ==
                  (r["edited"] or "").replace("\r\n", "\n"),
                  f"{self.name} unit {o['id']}: target {o['target']!r} / {tt!r} / {r['edited']!r}")
            check(o["fuzzy"] == (tfuzzy and bool(tt)) == (r["edited"] is not None and not r["on"]),
                  f"{self.name} unit {o['id']}: fuzzy {o['fuzzy']} / {tfuzzy}")

    def self_description(self) -> None:
        """The XLIFF names its languages and code page, and translate-toolkit
        counts exactly the switched-on translations as translated."""
        rows = self.rows()
        on = {r["index"] for r in rows if r["edited"] is not None and r["on"]}
        off = {r["index"] for r in rows if r["edited"] is not None and not r["on"]}
        check(bool(on) and bool(off), f"{self.name}: the fixture needs translations switched on and off")
        f = self.export("xliff", "--language", "pt_BR")
        root = ET.parse(f).getroot()
        file = root.find(f"{{{XLIFF}}}file")
        source = "ja" if self.codepage == "japanese" else "en"
        check(file.get("target-language") == "pt-BR", f"{self.name}: target-language {file.get('target-language')}")
        check(file.get("source-language") == source, f"{self.name}: source-language {file.get('source-language')}")
        check(file.get(f"{{{VELMORA}}}code-page") == self.charset,
              f"{self.name}: code page {file.get(f'{{{VELMORA}}}code-page')}")
        approved = {int(tu.get("id")) for tu in root.iter(f"{{{XLIFF}}}trans-unit") if tu.get("approved") == "yes"}
        check(approved == on, f"{self.name}: approved {sorted(approved)}, switched on {sorted(on)}")
        # Poedit shows a target with text as needing work only in these states.
        poedit_needs_work = {"new", "needs-translation", "needs-adaptation", "needs-l10n"}
        for tu in root.iter(f"{{{XLIFF}}}trans-unit"):
            target = tu.find(f"{{{XLIFF}}}target")
            if target is None:
                continue
            state, index = target.get("state"), int(tu.get("id"))
            check(state in poedit_needs_work if index in off else state in ("translated", "final"),
                  f"{self.name}: unit {index} has the state {state}")
        res = run("pocount", "--csv", f)
        fields = [x.strip() for x in res.stdout.decode().strip().splitlines()[-1].split(",")]
        translated, fuzzy, untranslated = int(fields[1]), int(fields[4]), int(fields[6])
        check((translated, fuzzy, untranslated) == (len(on), len(off), len(rows) - len(on) - len(off)),
              f"{self.name}: pocount translated/fuzzy/untranslated {translated}/{fuzzy}/{untranslated}, "
              f"expected {len(on)}/{len(off)}/{len(rows) - len(on) - len(off)}")
        # The source language can be named, and a text file names none.
        f = self.export("po", "--source-language", "fr-CA")
        check('"X-Source-Language: fr_CA\\n"' in read(f).decode(), f"{self.name}: --source-language")
        self.cli("export", self.path, "-o", self.file(".txt"), "--language", "de", rc=2)
        self.cli("export", self.path, "-o", self.file(".po"), "--language", "Deutsch", rc=2)

    def own_code_page(self) -> None:
        """Without --codepage every command takes the project's own: Japanese
        for Japanese texts, else the locale's; a file records the one used
        and reads the same under another locale."""
        native = self.rows()
        locale = "ru_RU.UTF-8" if self.codepage == "japanese" else "C.UTF-8"
        check(self.cli.phrases(self.path, None, lang=locale) == native, f"{self.name}: phrases without --codepage")
        for fmt, suffix in (("po", ".po"), ("xliff", ".xlf")):
            f = self.file(suffix)
            self.cli("export", self.path, "-o", f, "--language", "de", lang=locale)
            data = read(f).decode()
            check(f"Code-Page: {self.charset}\\n" in data or f'code-page="{self.charset}"' in data,
                  f"{self.name} {fmt}: the code page recorded without --codepage")
            check("default" not in data, f"{self.name} {fmt}: 'default' recorded")
            sources = [u.source for u in ttpo.pofile(read(f)).units if not u.isheader()] if fmt == "po" \
                else [u["source"] for u in xliff_units(f)]
            check(sources == [r["origin"] for r in native], f"{self.name} {fmt}: texts without --codepage")
            p = self.scratch()
            res = self.cli("import", p, f, lang="de_DE.UTF-8")
            check(res.stdout.startswith(b"0 applied,") and read(p) == read(self.path),
                  f"{self.name} {fmt}: import under another locale changed the project: {res.stdout[:200]!r}")
        p = self.scratch()
        row = native[-1]
        self.cli("translate", p, str(row["index"]), self.fill, lang=locale)
        back = {r["index"]: r for r in self.rows(p)}
        check(back[row["index"]]["edited"] == self.fill, f"{self.name}: translate without --codepage")
        f = self.file(".txt")
        write(f, f"\ufeff{row['index']} = {self.fill}2\r\n".encode("utf-8"))
        p = self.scratch()
        self.cli("import", p, f, lang=locale)
        back = {r["index"]: r for r in self.rows(p)}
        check(back[row["index"]]["edited"] == f"{self.fill}2", f"{self.name}: text import without --codepage")

    def cat_edit_po(self, path: str) -> str:
        """Fills every empty msgstr, turns fuzzy entries into translations and
        one translation into a fuzzy one, strips the comments; returns the file."""
        store = ttpo.pofile(read(path))
        units = [u for u in store.units if not u.isheader()]
        for k, u in enumerate(units):
            if not u.target:
                u.target = f"{self.fill}{k}"
            elif u.isfuzzy():
                u.markfuzzy(False)
            elif k % 2 == 0:
                u.markfuzzy(True)
            u.removenotes(origin="developer")
            u.removenotes()
            u.sourcecomments = []
            u.automaticcomments = []
        out = self.file(".po")
        write(out, bytes(store))
        return out

    def cat_edits(self) -> None:
        before = state(self.rows())
        # PO through translate-toolkit.
        f = self.cat_edit_po(self.export("po"))
        check(b"#:" not in read(f) and b"#." not in read(f), f"{self.name}: comments stripped")
        entries = [(int(u.getcontext()), u.target, u.isfuzzy())
                   for u in ttpo.pofile(read(f)).units if not u.isheader()]
        p = self.scratch()
        res = self.cli("import", p, f)
        check(b"0 source changed" in res.stdout and b"0 unrepresentable" in res.stdout,
              f"{self.name}: PO report {res.stdout[:300]!r}")
        check(state(self.rows(p)) == after_import(before, entries), f"{self.name}: PO after CAT edits")

        # XLIFF through ElementTree: targets filled, states set, notes removed.
        src = self.export("xliff")
        tree = ET.parse(src)
        entries = []
        for k, tu in enumerate(tree.getroot().iter(f"{{{XLIFF}}}trans-unit")):
            for note in tu.findall(f"{{{XLIFF}}}note"):
                tu.remove(note)
            target = tu.find(f"{{{XLIFF}}}target")
            if target is None:
                target = ET.SubElement(tu, f"{{{XLIFF}}}target")
                target.text = f"{self.fill}{k}"
            target.set("state", "needs-review-translation" if k % 3 == 0 else "final")
            entries.append((int(tu.get("id")), inline_text(target), k % 3 == 0))
        f = self.file(".xlf")
        tree.write(f, encoding="UTF-8", xml_declaration=True)
        p = self.scratch()
        self.cli("import", p, f)
        check(state(self.rows(p)) == after_import(before, entries), f"{self.name}: XLIFF after CAT edits")

    def skipped_entries(self) -> None:
        """Source changed, unrepresentable and unknown entries are reported and skipped."""
        f = self.export("po")
        store = ttpo.pofile(read(f))
        units = [u for u in store.units if not u.isheader()]
        units[0].source = units[0].source + " (new firmware)"
        units[0].target = f"{self.fill}A"
        units[1].target = f"{self.fill}{self.alien}"
        units[2].setcontext("99999")
        units[2].source = units[2].source + " (gone)"  # found neither by index nor by text
        units[2].target = f"{self.fill}C"
        edited = self.file(".po")
        write(edited, bytes(store))
        p = self.scratch()
        before = state(self.rows(p))
        res = self.cli("import", p, edited, rc=3)  # nothing applied, every entry refused
        out = res.stdout.decode()
        err = res.stderr.decode()
        check("1 source changed" in out and "1 unrepresentable" in out and "1 unknown context" in out,
              f"{self.name}: report {out[:400]}")
        check(re.search(rf":\d+: phrase {units[1].getcontext()}: The character", err) is not None,
              f"{self.name}: the unrepresentable character's line: {err[:600]}")
        after = state(self.rows(p))
        for u in units[:3]:
            if u.getcontext() != "99999":
                check(after[int(u.getcontext())] == before[int(u.getcontext())], f"{self.name}: skipped entry applied")
        self.cli("import", p, edited, "--force")
        check(state(self.rows(p))[int(units[0].getcontext())][2] == f"{self.fill}A", f"{self.name}: --force")

    def hostile_files(self) -> None:
        original = read(self.path)
        po = read(self.export("po"))
        lines = po.split(b"\n")
        first_id = next(i for i, ln in enumerate(lines) if ln.startswith(b"msgid \"") and ln != b'msgid ""')
        first_ctx = next(i for i, ln in enumerate(lines) if ln.startswith(b"msgctxt"))
        last_str = max(i for i, ln in enumerate(lines) if ln.startswith(b"msgstr"))
        xl = read(self.export("xliff"))
        xlines = xl.split(b"\n")
        cut = len(xlines) // 2
        cases = [
            ("truncated PO", b"\n".join(lines[:last_str]) + b"\n", last_str),
            ("truncated PO inside a string", b"\n".join(lines[:first_id]) + b"\nmsgid \"cut", first_id + 1),
            ("unterminated string", b"\n".join(lines[:first_id] + [lines[first_id][:-1]] + lines[first_id + 1:]),
             first_id + 1),
            ("duplicate msgctxt", po + b"\n" + b"\n".join(lines[first_ctx:first_ctx + 3]) + b"\n",
             po.count(b"\n") + 2),
            ("invalid UTF-8", b"\n".join(lines[:first_id] + [lines[first_id][:-1] + b"\xff\""] + lines[first_id + 1:]),
             first_id + 1),
            ("XLIFF cut short", b"\n".join(xlines[:cut]) + b"\n<trans-unit id=\"x\"><sou", None),
            ("XLIFF with a DOCTYPE", b"<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\">"
                                     b"<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n" + b"\n".join(xlines[1:]), 2),
            ("XLIFF with an undefined entity", xl.replace(b"<source>", b"<source>&lol;", 1), None),
        ]
        for name, data, line in cases:
            suffix = ".po" if "PO" in name or "msg" in name or "string" in name or "UTF-8" in name else ".xlf"
            f = self.file(suffix)
            write(f, data)
            p = self.scratch()
            res = self.cli("import", p, f, rc=1)
            err = res.stderr.decode(errors="replace")
            m = re.search(r": line (\d+): ", err)
            check(m is not None and (line is None or int(m.group(1)) == line),
                  f"{self.name} {name}: stderr {err.strip()[:300]!r}, expected line {line}")
            check(read(p) == original, f"{self.name} {name}: project changed")

    def bom_text_file(self) -> None:
        rows = [r for r in self.rows() if r["edited"] is None][:2]
        text = f"\ufeff{rows[0]['index']} = {self.fill}1\r\n{rows[1]['index']} = {self.fill}{self.alien}\r\n"
        f = self.file(".txt")
        write(f, text.encode("utf-8"))
        p = self.scratch()
        res = self.cli("import", p, f, "--codepage", self.codepage)
        out = res.stdout.decode()
        check(out.startswith("1 new phrase(s) has been added or replaced.") and
              re.search(r":2: phrase", res.stderr.decode()), f"{self.name}: UTF-8 text file report {out[:300]!r}")
        check(state(self.rows(p))[rows[0]["index"]][2] == f"{self.fill}1", f"{self.name}: UTF-8 text file")


def main() -> int:
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    args = ap.parse_args()
    cli = Cli(os.path.abspath(args.cli))
    work = tempfile.mkdtemp(prefix="velmora-exchange-")
    try:
        cli("make-sample", work)
        loader = os.path.join(work, "LOADING.KWI")
        west = os.path.join(work, "west.vmprj")
        jp = os.path.join(work, "jp.vmprj")
        cli("new", loader, "-o", west, "--module", "1", "--unit", "EUR", "--mode", "european", "--yes")
        cli("new", loader, "-o", jp, "--module", "1", "--unit", "JPN", "--mode", "japanese", "--yes")
        # Translations of every kind: on, off (fuzzy), several lines with CR LF,
        # quotes and backslashes, a control character.
        for idx, text in ((0, "K\u00f6ln!"), (1, 'Sag "hallo" \\ \t'), (2, "Zwei\r\nZeilen"), (3, "ctl\x01x")):
            cli("translate", west, str(idx), text, "--codepage", "west-europe")
        cli("set", west, "--off", "2")
        for idx, text in ((0, "\u6771\u4eac"), (1, "\u30e1\u30cb\u30e5\u30fc\r\n\u4e8c\u884c"), (5, 'tab\tq"')):
            cli("translate", jp, str(idx), text, "--codepage", "japanese")
        cli("set", jp, "--off", "1")
        projects = [
            Project(cli, work, "west", west, "west-europe", "CP1252", "\u00dcbersetzt ", "\u0416"),
            Project(cli, work, "japanese", jp, "japanese", "CP932", "\u8a33", "\U0001F600"),
        ]
        for p in projects:
            for step in (p.unchanged_round_trips, p.text_round_trips, p.gettext, p.toolkit, p.self_description,
                         p.own_code_page, p.cat_edits,
                         p.skipped_entries, p.hostile_files, p.bom_text_file):
                step()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{CHECKS} checks, {len(FAILURES)} failed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
