"""velmora-cli's translation memories against independent tools.

A project of the demo unit gets a translation for every phrase (texts with
accents, line breaks, printf directives, quotes and ampersands). Then:
- the TMX that `memory` writes is well-formed for xmllint, translate-toolkit
  reads every source and translation of it, its units go to PO (as a
  tmx2po would convert them; the toolkit has no such command) and back to
  TMX with po2tmx, and that TMX, read by velmora-cli, pretranslates a fresh
  project of the unit to the original: nothing is lost on the way;
- a TMX that po2tmx makes from the project's PO export pretranslates a
  fresh project of the unit exactly as the project was;
- `suggest --json` gives the scores, bytes, fits and refusals that a
  computation of its own finds (character edit distance, Windows-1252
  encoding, the builder's even length against the room).
"""
from __future__ import annotations

import argparse
import json
import os
import subprocess
import sys
import tempfile

from translate.storage import po as ttpo
from translate.storage import tmx as tttmx

FAILURES: list[str] = []


def check(ok: bool, what: str) -> bool:
    if not ok:
        FAILURES.append(what)
        print("FAIL:", what, flush=True)
    return ok


def run(*args: str, rc: int = 0) -> subprocess.CompletedProcess:
    res = subprocess.run(list(args), capture_output=True)
    check(res.returncode == rc, f"{' '.join(args)}: exit {res.returncode}, expected {rc}: "
                                f"{res.stderr.decode(errors='replace').strip()[:400]}")
    return res


class Cli:
    def __init__(self, path: str) -> None:
        self.path = path

    def __call__(self, *args: str, rc: int = 0) -> subprocess.CompletedProcess:
        return run(self.path, *args, rc=rc)

    def rows(self, project: str) -> list[dict]:
        return json.loads(self(*("phrases", project, "--codepage", "west-europe", "--json")).stdout)


def translation_of(text: str) -> str:
    """A translation that keeps the text's directives and line breaks and
    has what XML and PO must escape."""
    return "De \"" + text.replace("e", "\u00e9") + "\" & <ok>"


def fresh_project(cli: Cli, work: str, name: str) -> str:
    path = os.path.join(work, name)
    cli("new", os.path.join(work, "demo", "APM.BIN"), "-o", path)
    return path


def state(rows: list[dict]) -> dict[int, tuple]:
    return {r["index"]: (r["hide"], r["on"], r["edited"]) for r in rows}


def translate_all(cli: Cli, work: str, project: str) -> None:
    """Every phrase gets translation_of(its text), switched on, through a PO import."""
    exported = os.path.join(work, "all.po")
    cli("export", project, "-o", exported, "--codepage", "west-europe", "--language", "de")
    store = ttpo.pofile.parsefile(exported)
    for unit in store.units:
        if unit.isheader():
            continue
        unit.target = translation_of(unit.source)
    with open(exported, "wb") as f:
        f.write(bytes(store))
    cli("import", project, exported, "--codepage", "west-europe")


def tmx_pairs(path: str) -> set[tuple[str, str]]:
    return {(u.source, u.target) for u in tttmx.tmxfile.parsefile(path).units}


def memory_round_trip(cli: Cli, work: str, project: str, rows: list[dict]) -> None:
    memory = os.path.join(work, "velmora.tmx")
    cli("memory", project, "-o", memory, "--language", "de", "--codepage", "west-europe")
    run("xmllint", "--noout", memory)
    want = {(r["origin"], r["edited"]) for r in rows if r["edited"] is not None}
    check(tmx_pairs(memory) == want, f"translate-toolkit reads other pairs from our TMX: {tmx_pairs(memory) ^ want}")

    # TMX to PO with the toolkit's storage classes, then po2tmx.
    converted = ttpo.pofile()
    for unit in tttmx.tmxfile.parsefile(memory).units:
        entry = ttpo.pounit(unit.source)
        entry.target = unit.target
        converted.addunit(entry)
    again_po = os.path.join(work, "from-tmx.po")
    with open(again_po, "wb") as f:
        f.write(bytes(converted))
    run("msgfmt", "-c", "-o", os.devnull, again_po)
    again = os.path.join(work, "again.tmx")
    run("po2tmx", "-l", "de", again_po, again)
    check(tmx_pairs(again) == want, "a pair is lost from TMX to PO and back")

    fresh = fresh_project(cli, work, "fresh-again.vmprj")
    cli("pretranslate", fresh, "--memory", again, "--codepage", "west-europe")
    check(state(cli.rows(fresh)) == state(rows), "the TMX back from po2tmx does not pretranslate the project as it was")


def po2tmx_pretranslates(cli: Cli, work: str, project: str, rows: list[dict]) -> None:
    exported = os.path.join(work, "velmora.po")
    cli("export", project, "-o", exported, "--codepage", "west-europe", "--language", "de")
    made = os.path.join(work, "po2tmx.tmx")
    run("po2tmx", "-l", "de", exported, made)
    fresh = fresh_project(cli, work, "fresh.vmprj")
    out = cli("pretranslate", fresh, "--memory", made, "--codepage", "west-europe").stdout.decode()
    check("Carried:" in out, out)
    got = state(cli.rows(fresh))
    for index, value in state(rows).items():
        check(got[index] == value, f"phrase {index}: {got[index]} after pretranslation, {value} in the project")


def levenshtein(a: str, b: str) -> int:
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        prev, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (ca != cb))
    return row[len(b)]


def unit_bytes(data: bytes) -> int:
    """What the builder writes: carriage returns and final line feeds
    dropped, a zero added to an odd length."""
    data = data.replace(b"\r", b"").rstrip(b"\n")
    return len(data) + len(data) % 2


def suggestions_agree(cli: Cli, work: str) -> None:
    fresh = fresh_project(cli, work, "held-out.vmprj")
    rows = [r for r in cli.rows(fresh) if r["origin"]]
    # Held-out pairs: each text changed a little, some translations with a
    # letter Windows-1252 lacks.
    units = []
    for k, r in enumerate(rows[:40]):
        text = r["origin"]
        changed = text[:-1] if k % 3 == 0 else text.upper() if k % 3 == 1 else text + " 2"
        target = ("\u0141" if k % 5 == 0 else "") + "Z " + changed
        units.append((changed, target))
    memory = os.path.join(work, "held-out.tmx")
    store = tttmx.tmxfile(sourcelanguage="en", targetlanguage="de")
    for source, target in units:
        store.addsourceunit(source).target = target
    with open(memory, "wb") as f:
        f.write(bytes(store))
    compared = 0
    for r in rows[:40]:
        out = cli("suggest", fresh, str(r["index"]), "--memory", memory, "--min", "1", "--count", "100",
                  "--json", "--codepage", "west-europe").stdout
        got = json.loads(out)
        room = r["length"] & ~1
        check(got["room"] == room, f"phrase {r['index']}: room {got['room']}, want {room}")
        for s in got["suggestions"]:
            origin, source = r["origin"], s["source"]
            distance = levenshtein(origin, source)
            longer = max(len(origin), len(source))
            if origin == source:
                score = 100
            elif origin.lower() == source.lower() and s["match"] == "case":
                score = 99
            else:
                score = (100 * (longer - distance)) // longer
            check(s["score"] == score and s["distance"] == distance,
                  f"\"{origin}\" / \"{source}\": score {s['score']} distance {s['distance']}, want {score} {distance}")
            try:
                data = s["translation"].encode("cp1252")
            except UnicodeEncodeError:
                check(s["fit"] == "cannot be written" and s["bytes"] is None, f"\"{s['translation']}\": {s['fit']}")
                compared += 1
                continue
            fit = "in place" if unit_bytes(data) <= room else "relocated"
            check(s["bytes"] == len(data) and s["unit_bytes"] == unit_bytes(data) and s["fit"] == fit,
                  f"\"{s['translation']}\" in room {room}: {s['bytes']} {s['unit_bytes']} {s['fit']}, want "
                  f"{len(data)} {unit_bytes(data)} {fit}")
            compared += 1
    check(compared >= 40, f"only {compared} suggestions compared")


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    cli = Cli(os.path.abspath(args.cli))
    with tempfile.TemporaryDirectory() as work:
        cli("make-sample", os.path.join(work, "demo"))
        project = fresh_project(cli, work, "apm.vmprj")
        translate_all(cli, work, project)
        rows = cli.rows(project)
        check(all(r["edited"] is not None for r in rows), "the project is not translated throughout")
        memory_round_trip(cli, work, project, rows)
        po2tmx_pretranslates(cli, work, project, rows)
        suggestions_agree(cli, work)
    if FAILURES:
        print(f"{len(FAILURES)} failure(s)")
        return 1
    print("translation memories: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
