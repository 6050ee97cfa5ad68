#!/usr/bin/env python3
"""Differential test: velmora-cli against the Python reference model.

Generates many random loading units and loaders (its own generator), drives
velmora-cli through new / translate / set / export / import / build-bin /
build-loader / info, and compares every file it writes byte for byte with
what the reference model (velmora_ref.py) produces for the same steps. Every
built file is also checked with velmora-cli verify, untouched and with one
byte changed.

Deterministic (fixed seeds). Exits non-zero on any mismatch.
"""

from __future__ import annotations

import argparse
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velmora_ref as ref  # noqa: E402

U32 = 0xFFFFFFFF
AISIN_POS = (3947658, 1005219)
TOYOTA_POS = (3950370, 1009544)
DENSO_POS = (3945853, 1007932)
PANASONIC_POS = (4019390, 1022789)

# --------------------------------------------------------------------------
# Reporting


STATS: dict[str, int] = {k: 0 for k in ["projects compared", "phrases", "link records", "hidden",
                                        "texts translated", "texts relocated", "units built",
                                        "loaders built", "loaders of several units", "split layout", "odd-size units copied",
                                        "builds verified", "builds refused as breaking the unit", "overwritten translations reported",
                                        "changed bytes caught"]}


class Report:
    def __init__(self, verbose: bool) -> None:
        self.failures: list[str] = []
        self.checks = 0
        self.cases = 0
        self.verbose = verbose

    def ok(self) -> None:
        self.checks += 1

    def fail(self, case: str, what: str, detail: str) -> None:
        self.checks += 1
        msg = f"MISMATCH [{case}] {what}: {detail}"
        self.failures.append(msg)
        print(msg, flush=True)


INFO_FIELDS = [(0, 4, "InfoSize"), (4, 4, "MakerIndex"), (8, 4, "ModuleIndex"), (12, 4, "UnitIndex"),
               (16, 4, "UnitOffset"), (20, 4, "SourceSize"), (24, 8, "UnitTag"), (32, 8, "UnitName"),
               (40, 4, "BaseAddress"), (44, 4, "UnitSize"), (48, 4, "UnitChecksum"),
               (52, 4, "PhraseCount"), (56, 4, "TextCount"), (60, 4, "SourcePathLength")]
PHRASE_FIELDS = [(0, 4, "LinkAddress"), (4, 4, "StringAddress"), (8, 2, "Length"), (10, 2, "Flags"),
                 (12, 2, "EditIndex"), (14, 2, "MasterIndex")]


def first_diff(a: bytes, b: bytes) -> int:
    n = min(len(a), len(b))
    for i in range(n):
        if a[i] != b[i]:
            return i
    return n if len(a) != len(b) else -1


def describe_project_offset(data: bytes, off: int) -> str:
    if off < 64:
        for start, size, name in INFO_FIELDS:
            if start <= off < start + size:
                return f"ProjectInfo.{name}"
    try:
        pc, tc = struct.unpack_from("<ii", data, 52)
        unit_size, source_size = struct.unpack_from("<II", data, 44)
    except struct.error:
        return "?"
    pos = 64
    if off < pos + 16 * pc:
        k, r = divmod(off - pos, 16)
        name = next(n for s, z, n in PHRASE_FIELDS if s <= r < s + z)
        return f"Phrases[{k}].{name}"
    pos += 16 * pc
    il = min(unit_size, source_size)
    if off < pos + il:
        return f"UnitImage offset 0x{off - pos:X}"
    pos += il
    for k in range(tc):
        if pos + 2 > len(data):
            break
        (n,) = struct.unpack_from("<H", data, pos)
        if off < pos + 2 + n:
            return f"EditedTexts[{k}]"
        pos += 2 + n
    return "SourcePath"


def hexdump_around(data: bytes, off: int, width: int = 16) -> str:
    s = max(0, off - 4)
    return data[s:s + width].hex(" ")


def compare_bytes(rep: Report, case: str, what: str, expected: bytes, actual: bytes,
                  describe=None) -> bool:
    d = first_diff(expected, actual)
    if d < 0:
        rep.ok()
        return True
    where = describe(expected, d) if describe else ""
    rep.fail(case, what,
             f"first difference at offset {d} (0x{d:X}) {where}; sizes expected {len(expected)}, "
             f"actual {len(actual)}; expected[{max(0, d - 4)}..]: {hexdump_around(expected, d)} | "
             f"actual: {hexdump_around(actual, d)}")
    return False


def describe_loader_offset(layout):
    def f(data: bytes, off: int) -> str:
        if off < 4:
            return "(loader header)"
        if off < 16:
            return "(maker record)"
        if off < 20:
            return "(module count)"
        if off < 84:
            return "(module name record)"
        if off < 340:
            r = off - 84
            if 72 <= r < 248:
                return f"(module record unit entry {(r - 72) // 16} byte {(r - 72) % 16})"
            return f"(module record byte {r})"
        if off < 2048:
            return "(directory padding)"
        names = []
        for i, p in enumerate(layout):
            if off >= p:
                names.append(f"unit {i} byte 0x{off - p:X}")
        return "(" + (names[-1] if names else "module data / unit table") + ")"
    return f


# --------------------------------------------------------------------------
# Running the CLI


class Cli:
    def __init__(self, path: str) -> None:
        self.path = path
        self.calls = 0

    def run(self, *args: str, cwd: str | None = None) -> subprocess.CompletedProcess:
        self.calls += 1
        return subprocess.run([self.path, *args], capture_output=True, cwd=cwd, timeout=60)


class InDir:
    """Runs the CLI with another working directory."""

    def __init__(self, cli: Cli, cwd: str) -> None:
        self.cli = cli
        self.cwd = cwd

    def run(self, *args: str) -> subprocess.CompletedProcess:
        return self.cli.run(*args, cwd=self.cwd)


def read(path: str) -> bytes | None:
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def write(path: str, data: bytes) -> None:
    with open(path, "wb") as f:
        f.write(data)


# --------------------------------------------------------------------------
# Generators

ASCII_PRINT = bytes(range(0x20, 0x7F))
UPPER = bytes(range(0x41, 0x5B))
LATIN_HIGH = bytes(range(0xC0, 0x100))
KANA_HALF = bytes(range(0xA1, 0xE0))


def sjis_char(rng: random.Random) -> bytes:
    """A common two-byte Shift JIS character that CP932 converters agree on."""
    k = rng.randrange(4)
    if k == 0:
        return bytes([0x82, rng.randrange(0x9F, 0xF2)])          # hiragana
    if k == 1:
        t = rng.randrange(0x40, 0x97)
        return bytes([0x83, t if t != 0x7F else 0x80])              # katakana
    lead = rng.randrange(0x89, 0x98)                                # level-1 kanji
    t = rng.randrange(0x40, 0xFD)
    return bytes([lead, t if t != 0x7F else 0x80])


def safe_cp932(text: bytes) -> bool:
    """True when text is made only of bytes the converters agree on."""
    i = 0
    while i < len(text):
        b = text[i]
        if b == 0x0A or b == 0x0D or 0x20 <= b <= 0x7E or 0xA1 <= b <= 0xDF:
            i += 1
            continue
        if i + 1 >= len(text):
            return False
        t = text[i + 1]
        if b == 0x82 and 0x9F <= t <= 0xF1:
            pass
        elif b == 0x83 and 0x40 <= t <= 0x96 and t != 0x7F:
            pass
        elif 0x89 <= b <= 0x97 and 0x40 <= t <= 0xFC and t != 0x7F:
            pass
        else:
            return False
        i += 2
    return True


def gen_text(rng: random.Random, cls: str, length: int) -> bytes:
    """A text (without its zero byte) of about `length` bytes of a class."""
    out = bytearray()
    if cls == "english":
        out.append(rng.choice(UPPER + b"<"))
        while len(out) < length:
            r = rng.random()
            out.append(0x0A if r < 0.03 else rng.choice(ASCII_PRINT))
    elif cls == "european":
        out.append(rng.choice(UPPER + bytes(range(0xC0, 0xE0)) + b"<"))
        while len(out) < length:
            r = rng.random()
            if r < 0.03:
                out.append(0x0A)
            elif r < 0.35:
                out.append(rng.choice(LATIN_HIGH))
            elif r < 0.37:
                out.append(0x7F)
            else:
                out.append(rng.choice(ASCII_PRINT))
    elif cls == "japanese":
        first = rng.randrange(5)
        if first == 0:
            out += sjis_char(rng)
        elif first == 1:
            out.append(rng.choice(KANA_HALF))
        elif first == 2:
            out.append(rng.choice(b"123456789"))
        elif first == 3:
            out.append(rng.choice(UPPER))
        else:
            out.append(0x3C)
        while len(out) < length:
            r = rng.random()
            if r < 0.03:
                out.append(0x0A)
            elif r < 0.5:
                out += sjis_char(rng)
            elif r < 0.7:
                out.append(rng.choice(KANA_HALF))
            else:
                out.append(rng.choice(ASCII_PRINT))
    elif cls == "jpwild":
        # Japanese-mode texts with odd corners: lead bytes with control or
        # blank trail bytes, stand-alone 0x80/0xFD-0xFF, a lead byte last.
        out += rng.choice([bytes([0xE0, 0x40]), bytes([0x81, 0x0D]), bytes([0x9F, 0x09]),
                           bytes([0xFC, 0xFC]), b"7", b"A"])
        while len(out) < length:
            r = rng.random()
            if r < 0.2:
                out += bytes([rng.randrange(0x81, 0xA0), rng.randrange(1, 0x100)])
            elif r < 0.3:
                out.append(rng.choice(b"\x80\xfd\xfe\xff"))
            elif r < 0.4:
                out += bytes([0xE0, rng.randrange(1, 0x40)])
            else:
                out.append(rng.randrange(0x20, 0x100))
        if rng.random() < 0.5:
            out.append(rng.randrange(0x81, 0xA0))  # a lead byte before the zero
    elif cls == "bad":
        kind = rng.randrange(8)
        body = bytearray(gen_text(rng, "english", max(2, length)))
        if kind == 0:
            body[0] = rng.choice(b"abcxyz ")
        elif kind == 1:
            body[0] = 0x4F  # 'O' (fine outside Japanese mode)
        elif kind == 2:
            body[0] = rng.choice(b"0123456789")
        elif kind == 3:
            body[len(body) // 2] = 0x0D
        elif kind == 4:
            body[len(body) // 2] = 0x09
        elif kind == 5:
            body[0:2] = bytes([0xE0, rng.randrange(1, 0x40)])
        elif kind == 6:
            body[0] = rng.randrange(0x81, 0xA0)
            body[1:2] = b""
        else:
            body[len(body) // 2] = rng.randrange(0x80, 0xC0)
        out = body
    return bytes(out)


def text_length(rng: random.Random) -> int:
    r = rng.random()
    if r < 0.03:
        return rng.choice([509, 510, 511, 512, 513])
    if r < 0.2:
        return rng.randrange(1, 4)
    return rng.randrange(2, 40)


def code_word(rng: random.Random, base: int, L: int) -> bytes:
    r = rng.random()
    if r < 0.15:
        v = (base + rng.randrange(0, L)) & U32  # happens to hit the pointer range
    elif r < 0.2:
        v = base  # v = 0 is never a pointer
    elif r < 0.3:
        v = 0
    elif r < 0.45:
        v = rng.choice([0x4E800020, 0x7C0802A6, 0x38210010, 0x60000000]) ^ rng.randrange(0, 0x10000)
    else:
        v = rng.randrange(0, 1 << 32)
    return struct.pack(">I", v)


def gen_unit(rng: random.Random, classes: list[str], *, size: int | None = None,
             maker: bytes = b"AISIN AW co.LTD", tag: bytes | None = None,
             base: int | None = None) -> tuple[bytearray, int]:
    """A unit image (header + body) with a correct header; returns image and
    its base address."""
    L = size if size is not None else rng.choice([rng.randrange(300, 1500), rng.randrange(1500, 6000)])
    if base is None:
        base = rng.choice([0x01000000, 0x80000000, 0x00010000, 0xFFFFF000 & rng.randrange(1 << 32),
                           rng.randrange(0, 1 << 32) & ~3, rng.randrange(0, 1 << 32), 0xFFFFFF00])
    img = bytearray(L)
    # filler: code-like words with zero runs
    pos = 128
    while pos + 4 <= L:
        if rng.random() < 0.1:
            pos += 4 * rng.randrange(1, 6)
            continue
        img[pos:pos + 4] = code_word(rng, base, L)
        pos += 4
    strings: list[tuple[int, bytes]] = []
    tables: list[tuple[int, int]] = []
    cursor = 128 + 4 * rng.randrange(0, 8)
    limit = L - 48
    while cursor < limit:
        kind = rng.random()
        if kind < 0.25:
            cursor += rng.randrange(1, 60)
        elif kind < 0.65:
            # a pool of texts, packed or with gaps
            for _ in range(rng.randrange(1, 10)):
                t = gen_text(rng, rng.choice(classes), text_length(rng))
                gap = rng.choice([0, 0, 0, 1, 2, 3, 4, 5, 8])
                if cursor + len(t) + 1 + gap >= limit:
                    break
                img[cursor:cursor + len(t)] = t
                img[cursor + len(t)] = 0
                for g in range(gap):
                    img[cursor + len(t) + 1 + g] = rng.choice([0, 0, 0x41, 0x20, 0x61])
                strings.append((cursor, t))
                cursor += len(t) + 1 + gap
        else:
            cursor = (cursor + 3) & ~3
            m = rng.randrange(1, 14)
            if cursor + 4 * m >= limit:
                break
            tables.append((cursor, m))
            cursor += 4 * m
    # a text that ends right at the image's end: its zero at L-8 (accepted) or L-7 (not)
    specials: list[int] = []
    if rng.random() < 0.5 and L > 200:
        zero_at = rng.choice([L - 8, L - 7, L - 9])
        n = rng.randrange(1, 12)
        s = zero_at - n
        img[s:zero_at] = gen_text(rng, classes[0] if classes[0] != "bad" else "english", n)[:n].ljust(n, b"A")
        img[zero_at] = 0
        strings.append((s, bytes(img[s:zero_at])))
        specials.append(s)
    if rng.random() < 0.3 and L > 200:
        specials += [L - 16, L - 15, L - 17]
        for s in (L - 17, L - 16, L - 15):
            if img[s] == 0:
                img[s] = 0x41
    # fill the pointer tables
    for (tpos, m) in tables:
        order = rng.random()
        chosen: list[int] = []
        if strings:
            k0 = rng.randrange(len(strings))
            seq = strings[k0:k0 + m]
            if order < 0.5:
                chosen = [s for s, _ in seq]
            elif order < 0.7:
                chosen = [s for s, _ in reversed(seq)]
            else:
                chosen = [rng.choice(strings)[0] for _ in range(m)]
        slots = []
        for j in range(m):
            r = rng.random()
            if j < len(chosen) and r < 0.75:
                slots.append((chosen[j] + base) & U32)
            elif r < 0.82 and strings:
                s, t = rng.choice(strings)
                slots.append((s + rng.randrange(0, len(t) + 1) + base) & U32)  # into the middle
            elif r < 0.86:
                slots.append((48 + base) & U32)  # the maker text in the header
            elif r < 0.9 and specials:
                slots.append((rng.choice(specials) + base) & U32)
            elif r < 0.95 and strings:
                slots.append((rng.choice(strings)[0] + base) & U32)  # a link to an earlier text
            else:
                slots.append(struct.unpack(">I", code_word(rng, base, L))[0])
        for j, v in enumerate(slots):
            img[tpos + 4 * j:tpos + 4 * j + 4] = struct.pack(">I", v)
    # header
    hdr = bytearray(128)
    hdr[0:8] = b"LU" + bytes(rng.choice(UPPER) for _ in range(4)) + b"\0\0"
    hdr[16:21] = b"V1.00"
    if tag is None:
        tk = rng.random()
        if tk < 0.1:
            tag = bytes(rng.choice(UPPER) for _ in range(15))  # no zero in 15 bytes
        elif tk < 0.2:
            tag = b"T" + bytes(rng.choice(UPPER) for _ in range(rng.randrange(0, 5))) + b"\r\nXY"
        elif tk < 0.35:
            tag = bytes(rng.choice(UPPER + b"0123456789_") for _ in range(rng.randrange(9, 15)))
        else:
            tag = bytes(rng.choice(UPPER + b"0123456789") for _ in range(rng.randrange(1, 9)))
    hdr[6:6 + len(tag)] = tag
    hdr[48:48 + len(maker)] = maker
    for k in range(48 + len(maker), 64):
        hdr[k] = 0
    hdr[64:112] = bytes(rng.randrange(0, 256) for _ in range(48))
    hdr[112:116] = struct.pack(">I", base)
    hdr[116:120] = struct.pack(">I", L)
    hdr[124:128] = bytes(rng.randrange(0, 256) for _ in range(4))
    img[0:128] = hdr[0:min(128, L)] if L < 128 else hdr
    if L >= 124:
        img[120:124] = struct.pack(">I", ref.sum_words(img))
    return img, base


def make_bin_file(rng: random.Random, classes: list[str], variant: str) -> tuple[bytes, dict]:
    """A .BIN file from a generated unit, with the size variations of the
    header against the file."""
    if variant == "header-short":
        n = rng.randrange(40, 128)
        img = bytearray(b"LU" + bytes(rng.randrange(0x41, 0x5B) for _ in range(n - 2)))
        img[6:9] = b"SHT"
        img[9] = 0
        return bytes(img), {}
    if variant == "tiny":
        img, base = gen_unit(rng, classes, size=rng.choice([128, 130, 131, 132, 133, 140]))
        return bytes(img), {}
    img, base = gen_unit(rng, classes)
    L = len(img)
    if variant == "longer-file":
        data = bytes(img) + bytes(rng.randrange(0, 256) for _ in range(rng.randrange(1, 300)))
    elif variant == "shorter-file":
        decl = L + rng.randrange(1, 3000)
        img[116:120] = struct.pack(">I", decl)
        img[120:124] = struct.pack(">I", ref.sum_words(img))
        data = bytes(img)
    elif variant == "bad-sum":
        img[120:124] = struct.pack(">I", (ref.sum_words(img) + 1) & U32)
        data = bytes(img)
    elif variant == "size-zero":
        img[116:120] = b"\0\0\0\0"
        data = bytes(img)
    else:
        data = bytes(img)
    return data, {"base": base}


# --------------------------------------------------------------------------
# Loader generator


def sign_mag24(v: int) -> int:
    return (0x800000 | (-v & 0x7FFFFF)) if v < 0 else v & 0x7FFFFF


def position_bytes(lon: int, lat: int) -> bytes:
    return struct.pack(">II", sign_mag24(lat) << 8 | 0x11, sign_mag24(lon) << 8 | 0x22)


class LoaderBuilder:
    """Lays out a LOADING.KWI: maker records, name and module records, and
    module data at sector starts."""

    def __init__(self, rng: random.Random) -> None:
        self.rng = rng
        self.makers: list[dict] = []

    def build(self) -> bytes:
        rng = self.rng
        count = len(self.makers)
        dir_end = 4 + 16 * count + sum(320 * len(m["modules"]) for m in self.makers)
        data = bytearray(max(2048, (dir_end + 2047) // 2048 * 2048))
        data[0:2] = struct.pack(">H", count)
        data[2:4] = bytes([rng.randrange(256), rng.randrange(256)])
        pos_data = len(data)
        p = 4 + 16 * count
        for i, mk in enumerate(self.makers):
            r = 4 + 16 * i
            data[r:r + 8] = mk["position"]
            data[r + 8] = rng.randrange(256)
            data[r + 9] = rng.randrange(256)
            data[r + 10:r + 12] = struct.pack(">H", rng.randrange(1 << 16))
            data[r + 12:r + 14] = struct.pack(">H", len(mk["modules"]))
            data[r + 14:r + 16] = bytes([rng.randrange(256), rng.randrange(256)])
        blobs: list[tuple[int, bytes]] = []
        for mk in self.makers:
            for mod in mk["modules"]:
                data[p] = rng.randrange(256)
                data[p + 1:p + 4] = bytes(rng.randrange(256) for _ in range(3))
                data[p + 4:p + 4 + len(mod["name"])] = mod["name"]
                data[p + 56:p + 56 + len(mod["short"])] = mod["short"]
                p += 64
            for mod in mk["modules"]:
                rec = bytearray(256)
                rec[0:4] = bytes(rng.randrange(256) for _ in range(4))
                rec[4:20] = b"RECORD TEXT " + bytes(rng.choice(UPPER) for _ in range(4))
                units = mod.get("units", [])
                if mk["aisin"] and units:
                    sector = (pos_data + 2047) // 2048
                    block = mod.get("block", 0)
                    start = sector * 2048 + block * 32
                    body, entries = self.layout_module(mod, start)
                    length_sectors = (block * 32 + len(body) + 2047) // 2048 + mod.get("extra_sectors", 0)
                    if mod.get("beyond_eof"):
                        length_sectors += 50
                    rec[250:254] = struct.pack(">I", (sector << 8) | block | (rng.choice([0, 0x40, 0xC0])))
                    rec[254:256] = struct.pack(">H", length_sectors)
                    if mod["split"]:
                        rec[68:70] = b"\x00\x01"
                        rec[72:88] = entries[0]
                    else:
                        rec[68:70] = struct.pack(">H", len(units))
                        for k, e in enumerate(entries):
                            rec[72 + 16 * k:88 + 16 * k] = e
                    blobs.append((start, body))
                    pos_data = start + max(length_sectors * 2048 - block * 32, len(body))
                    if mod.get("beyond_eof"):
                        pos_data = start + len(body)
                else:
                    rec[68:70] = struct.pack(">H", rng.randrange(0, 4))
                    rec[250:254] = struct.pack(">I", rng.randrange(0, 8))
                    rec[254:256] = struct.pack(">H", rng.randrange(0, 3))
                data[p:p + 256] = rec
                p += 256
        for start, body in blobs:
            end = start + len(body)
            if end > len(data):
                data.extend(b"\0" * (end - len(data)))
            data[start:end] = body
        total = (len(data) + 2047) // 2048 * 2048
        data.extend(b"\0" * (total - len(data)))
        return bytes(data)

    def layout_module(self, mod: dict, start: int) -> tuple[bytes, list[bytes]]:
        """Module data from its start: unit table (split layout) and the units,
        each at an even distance; returns data and the 16-byte entries."""
        units = mod["units"]
        body = bytearray()
        entries = []
        if mod["split"]:
            table = 4 + 16 * (len(units) - 1)
            dist0 = mod.get("unit0_distance", (table + 15) // 16 * 16)
            body.extend(b"\0" * dist0)
        else:
            dist0 = mod.get("unit0_distance", 0)
            body.extend(b"\0" * dist0)
        for k, u in enumerate(units):
            if len(body) % 2:
                body.append(self.rng.choice([0, 0x55]))
            off = len(body)
            body.extend(u["data"])
            entries.append(u["name"].ljust(8, b"\0")[:8] + struct.pack(">II", off // 2, u["size"]))
            if u.get("gap"):
                body.extend(b"\0" * u["gap"])
        if mod["split"]:
            tab = struct.pack(">H", len(units) - 1) + b"\x12\x34"
            for e in entries[1:]:
                tab += e
            body[0:len(tab)] = tab
        return bytes(body), entries


def gen_loader(rng: random.Random, classes: list[str], *, split: bool | None = None,
               unit0_distance: int | None = None) -> tuple[bytes, list[dict]]:
    lb = LoaderBuilder(rng)
    n_makers = rng.randrange(1, 5)
    aisin_at = rng.randrange(n_makers)
    second_aisin = rng.random() < 0.15
    modules_of_aisin = []
    for i in range(n_makers + (1 if second_aisin else 0)):
        if i == aisin_at or i == n_makers:
            is_aisin = True
            position = position_bytes(*AISIN_POS)
        else:
            is_aisin = False
            kind = rng.randrange(5)
            if kind == 0:
                position = position_bytes(*TOYOTA_POS)
            elif kind == 1:
                position = position_bytes(*DENSO_POS)
            elif kind == 2:
                position = b"DEN" + bytes([rng.randrange(256)]) + b"O" + bytes(rng.randrange(256) for _ in range(3))
            elif kind == 3:
                position = position_bytes(*PANASONIC_POS)
            else:
                position = position_bytes(rng.randrange(-100000, 100000), rng.randrange(0, 100000))
        mods = []
        for j in range(rng.randrange(1, 4)):
            mod = {"name": b"MODULE %d-%d " % (i, j) + bytes(rng.choice(UPPER) for _ in range(rng.randrange(0, 30))),
                   "short": bytes(rng.choice(UPPER) for _ in range(rng.randrange(1, 9))),
                   "split": rng.random() < 0.5 if split is None else split}
            if is_aisin:
                units = []
                n_units = rng.randrange(1, 6)
                if n_units == 1 and not mod["split"]:
                    n_units = 2  # a record count of 1 means the split layout
                for k in range(n_units):
                    r = rng.random()
                    if r < 0.08:
                        udata = b""
                    elif r < 0.25:
                        udata = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 400)))
                    else:
                        img, _ = gen_unit(rng, classes, size=rng.randrange(300, 3000))
                        r2 = rng.random()
                        if r2 < 0.15:
                            img += bytes(rng.randrange(256) for _ in range(rng.randrange(1, 200)))
                        elif r2 < 0.3:
                            # the header declares more than the directory gives
                            img[116:120] = struct.pack(">I", len(img) + rng.randrange(1, 500))
                            img[120:124] = struct.pack(">I", ref.sum_words(img))
                        udata = bytes(img)
                    name = rng.choice([b"APM", b"MAP", b"BOOT", b"U%d" % k, b"LONGNAME", b"X%dY" % k])
                    units.append({"name": name, "data": udata, "size": len(udata),
                                  "gap": rng.choice([0, 0, 0, 2, 6])})
                mod["units"] = units
                if rng.random() < 0.2:
                    mod["block"] = rng.randrange(1, 16)
                if rng.random() < 0.2:
                    mod["extra_sectors"] = 1
                if unit0_distance is not None and j == 0:
                    mod["unit0_distance"] = unit0_distance
                elif mod["split"] and rng.random() < 0.3:
                    mod["unit0_distance"] = 2048
            mods.append(mod)
        if is_aisin and len(mods) > 1 and rng.random() < 0.2:
            mods[-1]["beyond_eof"] = True  # its data would reach past the file's end: no units
        if is_aisin and i == aisin_at:
            modules_of_aisin = mods
        lb.makers.append({"position": position, "aisin": is_aisin, "modules": mods})
    if second_aisin:
        # put the second AISIN-AW entry after the first one, somewhere
        extra = lb.makers.pop()
        lb.makers.insert(rng.randrange(aisin_at + 1, len(lb.makers) + 1), extra)
    return lb.build(), modules_of_aisin


# --------------------------------------------------------------------------
# Test driver


class Case:
    def __init__(self, rep: Report, cli: Cli, work: str, name: str) -> None:
        self.rep = rep
        self.cli = cli
        self.dir = os.path.join(work, name)
        os.makedirs(self.dir, exist_ok=True)
        self.name = name
        rep.cases += 1
        if rep.verbose:
            print(f"case {name}", flush=True)

    def path(self, name: str) -> str:
        return os.path.join(self.dir, name)

    def compare_project(self, what: str, expected: ref.Project, path: str) -> bool:
        actual = read(path)
        if actual is None:
            self.rep.fail(self.name, what, f"no project file {path}")
            return False
        return compare_bytes(self.rep, self.name, what, expected.to_bytes(), actual,
                             describe_project_offset)

    def expect_rc(self, what: str, res: subprocess.CompletedProcess, rc: int) -> bool:
        if (res.returncode == 0) == (rc == 0) and (rc == 0 or res.returncode == rc or rc < 0):
            self.rep.ok()
            return True
        self.rep.fail(self.name, what, f"exit code {res.returncode}, expected {'non-zero' if rc < 0 else rc}; "
                                       f"stderr: {res.stderr.decode(errors='replace').strip()[:300]}")
        return False


MODE_ARGS = ["english", "european", "japanese"]


def new_args(mode: str, hide_abc: bool, rng_range, yes: bool) -> list[str]:
    args = ["--mode", mode]
    if not hide_abc:
        args.append("--no-hide-abc")
    if rng_range is not None:
        args += ["--range", "%X:%X" % rng_range]
    if yes:
        args.append("--yes")
    return args


def pick_range(rng: random.Random, size: int):
    r = rng.random()
    if r < 0.6:
        return None
    if r < 0.9:
        a = rng.randrange(0, max(1, size))
        b = rng.randrange(a, max(a + 1, size + 64))
        return (a, b)
    return rng.choice([(0, 0xFFFFFFFE), (size // 2, size // 3), (0x80, 0x80)])


def run_new_combos(case: Case, rng: random.Random, source: str, make_ref, extra_args: list[str],
                   classes: list[str], combos: int):
    """Runs `new` with several option combinations; returns the last project
    (reference, cli path, mode) whose creation succeeded."""
    main = None
    for c in range(combos):
        mode = MODE_ARGS[{"english": 0, "european": 1, "japanese": 2, "jpwild": 2, "bad": 0}[classes[0]]] \
            if c == 0 else rng.choice(MODE_ARGS)
        hide_abc = rng.random() < 0.7
        size_for_range = make_ref.source_size_hint
        rr = pick_range(rng, size_for_range)
        try:
            expected, asked = make_ref(ref.MODE_NAMES[mode], hide_abc, rr, True)
        except IOError:
            expected, asked = None, []
        yes = bool(asked) or rng.random() < 0.3
        out = case.path(f"p{c}.vmprj")
        res = case.cli.run("new", source, "-o", out, *extra_args, *new_args(mode, hide_abc, rr, yes))
        what = f"new {mode} hideabc={hide_abc} range={rr} {' '.join(extra_args)}"
        if expected is None:
            case.expect_rc(what + " (source too short for its unit)", res, -1)
            continue
        if not case.expect_rc(what, res, 0):
            continue
        if case.compare_project(what, expected, out):
            main = (expected, out, mode)
            STATS["projects compared"] += 1
            STATS["phrases"] += len(expected.phrases)
            STATS["link records"] += sum(1 for r in expected.phrases if r[3] & ref.PF_LINK)
            STATS["hidden"] += sum(1 for r in expected.phrases if r[3] & ref.PF_HIDE)
        # declining the questions writes nothing
        if asked:
            out2 = case.path(f"declined{c}.vmprj")
            res2 = case.cli.run("new", source, "-o", out2, *extra_args, *new_args(mode, hide_abc, rr, False))
            case.expect_rc(what + f" without --yes ({asked[0]} question)", res2, -1)
            if os.path.exists(out2):
                case.rep.fail(case.name, what, "a project was written although the question was declined")
    return main


def cp_for_mode(mode: str) -> str:
    return "japanese" if mode == "japanese" else "west-europe"


def make_translation(rng: random.Random, rec: list[int], mode: str) -> bytes:
    """A translation (8-bit bytes in the project's code page) for a phrase."""
    length = rec[2]
    kind = rng.randrange(9)
    if kind == 0:
        n = length if length % 2 == 0 else length - 1   # exact fit
    elif kind == 1:
        n = length + 1                                   # one byte too long / odd fits with its NUL
    elif kind == 2:
        n = max(1, length // 2)
    elif kind == 3:
        n = length + rng.randrange(2, 40)                # relocated
    elif kind == 4:
        n = length
    else:
        n = rng.randrange(1, length + 20)
    n = max(1, n)
    chars: list[bytes] = []
    total = 0
    while total < n:
        r = rng.random()
        if mode == "japanese" and r < 0.3:
            c = sjis_char(rng)
        elif mode == "japanese" and r < 0.4:
            c = bytes([rng.choice(KANA_HALF)])
        elif mode != "japanese" and r < 0.2:
            c = bytes([rng.choice(LATIN_HIGH)])
        else:
            c = bytes([rng.choice(bytes(range(0x21, 0x7F)))])
        chars.append(c)
        total += len(c)
    mid = len(chars) // 2
    head, tail = b"".join(chars[:mid]), b"".join(chars[mid:])
    text = head + tail
    lb = rng.random()
    if lb < 0.1:
        text = head + b"\r\n" + tail
    elif lb < 0.2:
        text = head + b"\n" + tail
    elif lb < 0.25:
        text = text + b"\n"
    elif lb < 0.3:
        text = text + b"\r\n\r\n"
    elif lb < 0.32:
        text = b"\r\n"
    elif lb < 0.34:
        text = b"\r" + text
    return text


def decode_for_cli(text: bytes, codepage: str) -> str:
    return text.decode("cp932" if codepage == "japanese" else "cp1252")


def translate_phase(case: Case, rng: random.Random, proj: ref.Project, path: str, mode: str) -> None:
    codepage = cp_for_mode(mode)
    masters = [i for i, r in enumerate(proj.phrases) if not r[3] & ref.PF_LINK]
    if not masters:
        return
    linked = sorted({r[5] for r in proj.phrases if r[3] & ref.PF_LINK})
    picks = set(rng.sample(masters, min(len(masters), rng.randrange(1, 10))))
    if linked:
        picks.update(rng.sample(linked, min(len(linked), rng.randrange(1, 4))))
    picks = sorted(picks)
    rng.shuffle(picks)
    for idx in picks:
        text = make_translation(rng, proj.phrases[idx], mode)
        res = case.cli.run("translate", path, str(idx), "--codepage", codepage, "--",
                           decode_for_cli(text, codepage))
        if case.expect_rc(f"translate {idx}", res, 0):
            proj.translate(idx, text)
    # a second text for one phrase, one text taken away, one no-op removal
    if picks:
        idx = picks[0]
        text = make_translation(rng, proj.phrases[idx], mode)
        res = case.cli.run("translate", path, str(idx), "--codepage", codepage, "--",
                           decode_for_cli(text, codepage))
        if case.expect_rc(f"translate {idx} again", res, 0):
            proj.translate(idx, text)
    if len(picks) > 2:
        idx = picks[1]
        res = case.cli.run("translate", path, str(idx), "", "--codepage", codepage)
        if case.expect_rc(f"translate {idx} empty", res, 0):
            proj.translate(idx, b"")
    case.compare_project("after translate", proj, path)
    # set: switch some off and on again, hide/show untranslated ones, and refused ones
    for _ in range(rng.randrange(1, 5)):
        what = rng.choice(["on", "off", "hide", "show"])
        idxs = rng.sample(masters, min(len(masters), rng.randrange(1, 4)))
        links = [i for i, r in enumerate(proj.phrases) if r[3] & ref.PF_LINK]
        if links and rng.random() < 0.2:
            idxs.append(rng.choice(links))
        refused = False
        for i in idxs:
            refused |= not proj.set_flag(i, what)
        res = case.cli.run("set", path, "--" + what, *map(str, idxs))
        case.expect_rc(f"set --{what} {idxs}", res, 1 if refused else 0)
    case.compare_project("after set", proj, path)


def check_built_unit(case: Case, proj: ref.Project, built: bytes, what: str) -> None:
    """Properties of a built unit: its checksum holds, and every switched-on
    phrase's pointers (its links too) lead to its text and a zero byte."""
    size = ref.be32(built, 116)
    if len(built) >= 124 and ref.be32(built, 120) != ref.sum_words(built, size):
        case.rep.fail(case.name, what, "built unit fails its own checksum")
    else:
        case.rep.ok()
    on = [(i, r) for i, r in enumerate(proj.phrases)
          if not r[3] & ref.PF_LINK and r[3] & ref.PF_ON and 0 <= r[4] < len(proj.texts)]
    regions = [(r[1], r[1] + r[2] + 1) for _, r in on]
    pointer_words = [r[0] for r in proj.phrases]
    for i, r in on:
        s, e = r[1], r[1] + r[2] + 1
        overlapping = sum(1 for a, b in regions if a < e and s < b) > 1
        ptr_inside = any(a - 3 <= w < b for w in pointer_words for a, b in regions)
        if overlapping or ptr_inside:
            continue
        want = proj.texts[r[4]].replace(b"\r", b"").rstrip(b"\n")
        for rec in [r] + [x for x in proj.phrases if x[3] & ref.PF_LINK and x[5] == i]:
            v = (ref.be32(built, rec[0]) - proj.base) & U32
            got = built[v:v + len(want) + 1]
            if got != want + b"\0":
                case.rep.fail(case.name, what, f"pointer at 0x{rec[0]:X} (phrase {i}) leads to "
                                               f"{got[:40]!r}, expected {want[:40]!r} and a zero byte")
            else:
                case.rep.ok()


PROBLEM_RE = re.compile(r"^([a-z-]+) at 0x[0-9A-F]{8}: ")


def verify_phase(case: Case, path: str, built_path: str, what: str) -> None:
    """verify accepts the untouched build: the only problems it may list are
    translations that the build itself overwrote (strings sharing bytes).
    Then one changed byte of the built file, anywhere, makes it fail."""
    res = case.cli.run("verify", path, built_path)
    kinds = [m.group(1) for m in map(PROBLEM_RE.match, res.stdout.decode(errors="replace").splitlines()) if m]
    if res.returncode not in (0, 1) or (res.returncode == 1) != bool(kinds) or set(kinds) - {"overwritten"}:
        case.rep.fail(case.name, f"verify {what}", f"exit code {res.returncode}: "
                                                   f"{(res.stdout + res.stderr).decode(errors='replace')[:600]}")
        return
    case.rep.ok()
    STATS["builds verified"] += 1
    STATS["overwritten translations reported"] += len(kinds)
    built = read(built_path) or b""
    if not built:
        return
    mrng = random.Random(f"{case.name} {what}")  # apart from the scenario's own sequence
    damaged = bytearray(built)
    at = mrng.randrange(len(damaged))
    damaged[at] ^= mrng.randrange(1, 256)
    mutated = built_path + ".changed"
    write(mutated, bytes(damaged))
    res = case.cli.run("verify", path, mutated)
    if res.returncode != 1:
        case.rep.fail(case.name, f"verify {what} with byte 0x{at:X} changed", f"exit code {res.returncode}")
    else:
        case.rep.ok()
        STATS["changed bytes caught"] += 1
    os.remove(mutated)


def refused_as_breaking(case: Case, path, res, out: str, model_bytes: bytes, what: str) -> bool:
    """A build checks the file it wrote and refuses it (exit 1, the file
    removed) when its own writes break the unit: a translation written over
    another phrase's pointer. True when that happened and is right: the
    model's bytes for the same build, checked by verify, show such a problem
    too. Then there is no output to compare."""
    if res.returncode != 1 or b"was removed" not in res.stderr:
        return False
    model_path = out + ".model"
    write(model_path, model_bytes)
    v = case.cli.run("verify", *([path] if isinstance(path, str) else path), model_path)
    kinds = [m.group(1) for m in map(PROBLEM_RE.match, v.stdout.decode(errors="replace").splitlines()) if m]
    os.remove(model_path)
    if os.path.exists(out) or v.returncode != 1 or not kinds:
        case.rep.fail(case.name, what, "refused as breaking the unit, but the model's build "
                                       f"verifies clean or the output remains: {res.stderr.decode(errors='replace')[:400]}")
    else:
        case.rep.ok()
        STATS["builds refused as breaking the unit"] += 1
    return True


def output_phase(case: Case, rng: random.Random, proj: ref.Project, path: str, mode: str) -> bytes | None:
    out = case.path("OUT.BIN")
    # Random translations trip the checks that gate a build; the gate has its
    # own tests, and here the builder's bytes are compared with the model's.
    res = case.cli.run("build-bin", path, "-o", out, "--force")
    buf, count = ref.build_unit(proj)
    if refused_as_breaking(case, path, res, out, bytes(buf.buf), "build-bin"):
        return None
    if not case.expect_rc("build-bin", res, 0):
        return None
    STATS["units built"] += 1
    for r in proj.phrases:
        if not r[3] & ref.PF_LINK and r[3] & ref.PF_ON and r[4] >= 0:
            STATS["texts translated"] += 1
            STATS["texts relocated"] += len(ref.prepare_text(proj.texts[r[4]])) > r[2]
    expected = bytes(buf.buf)
    actual = read(out) or b""
    compare_bytes(case.rep, case.name, "build-bin output", expected, actual,
                  lambda d, o: "(header)" if o < 128 else f"(unit offset 0x{o:X})")
    if count != len(expected):
        case.rep.fail(case.name, "reference", f"count {count} != length {len(expected)}")
    verify_phase(case, path, out, "build-bin output")
    if proj.image_length >= 128:
        check_built_unit(case, proj, actual, "built unit")
        # analysed again, the built unit raises no checksum question and gives
        # the phrases the reference finds in it
        re_path = case.path("reanalysed.vmprj")
        res = case.cli.run("new", out, "-o", re_path, "--mode", mode, "--yes")
        if case.expect_rc("new on the built .BIN", res, 0):
            if b"The CRC of this unit is incorrect" in res.stdout + res.stderr:
                case.rep.fail(case.name, "new on the built .BIN", "the checksum question was asked")
            expected_re, _ = ref.project_from_bin(actual, "OUT.BIN", ref.MODE_NAMES[mode], True, None, True)
            case.compare_project("project of the built .BIN", expected_re, re_path)
    return expected


def export_phase(case: Case, rng: random.Random, proj: ref.Project, path: str) -> None:
    for filt in ref.FILTERS:
        out = case.path(f"export-{filt}.txt")
        res = case.cli.run("export", path, "-o", out, "--filter", filt, "--codepage", "default")
        if case.expect_rc(f"export {filt}", res, 0):
            compare_bytes(case.rep, case.name, f"export --codepage default --filter {filt}",
                          ref.export_phrases(proj, filt), read(out) or b"")
    # Without --codepage the export takes the project's own code page: a
    # project of Japanese texts is written in UTF-16 (the system's iconv
    # knows code page 932), any other in 8 bits.
    out = case.path("export-own.txt")
    res = case.cli.run("export", path, "-o", out)
    if case.expect_rc("export without --codepage", res, 0):
        japanese = ref.holds_japanese_texts(proj)
        utf16 = (read(out) or b"")[:2] == b"\xff\xfe"
        if utf16 != japanese or (not utf16 and read(case.path("export-all.txt")) != read(out)):
            case.rep.fail(case.name, "export without --codepage",
                          f"the project {'holds' if japanese else 'holds no'} Japanese texts, the file is "
                          f"{'UTF-16' if utf16 else '8-bit'}")
        else:
            case.rep.ok()
    # Japanese code page: only when every exported entry uses characters the
    # converters agree on; hide the others first (on a copy of the project).
    jp = case.path("jp.vmprj")
    shutil.copyfile(path, jp)
    jproj = ref.Project.from_bytes(proj.to_bytes())
    unsafe = [i for i in ref.visible_rows(jproj, "all") if not safe_cp932(jproj.origin_text(i))]
    if any(jproj.phrases[i][4] >= 0 for i in unsafe):
        return
    if unsafe:
        res = case.cli.run("set", jp, "--hide", *map(str, unsafe))
        case.expect_rc("set --hide before the Japanese export", res, 0)
        for i in unsafe:
            jproj.phrases[i][3] |= ref.PF_HIDE
    filt = "no-hidden" if unsafe else rng.choice(ref.FILTERS)
    out = case.path("export-jp.txt")
    res = case.cli.run("export", jp, "-o", out, "--filter", filt, "--codepage", "japanese")
    if case.expect_rc("export japanese", res, 0):
        compare_bytes(case.rep, case.name, f"export --codepage japanese --filter {filt}",
                      ref.export_phrases(jproj, filt, japanese=True), read(out) or b"")
        # the UTF-16 file comes back under the Japanese code page
        data = read(out) or b""
        if data[:2] != b"\xff\xfe":
            return  # the system knows no code page 932: the file is 8-bit
        res = case.cli.run("import", jp, out, "--codepage", "japanese")
        trial = ref.Project.from_bytes(jproj.to_bytes())
        try:
            count = ref.import_phrases_unicode(trial, data, "cp932")
        except ref.ImportError_ as e:
            # a text line such as "1234567890123 = ..." reads as an index too large
            case.expect_rc("import of the UTF-16 export stopped by an index beyond 32 bits", res, -1)
            if str(e).encode() not in res.stderr:
                case.rep.fail(case.name, "import UTF-16 message", f"expected {str(e)!r}, stderr {res.stderr[:200]!r}")
            case.compare_project("import UTF-16 stopped: project not saved", jproj, jp)
            return
        if ref.entry_line_count(data[2:].decode("utf-16-le", errors="replace")) == 0:
            # a file without a single entry line is refused, and nothing changes
            if case.expect_rc("import of a UTF-16 export without entries", res, 1):
                if b"no entry found" not in res.stderr:
                    case.rep.fail(case.name, "import UTF-16 without entries", repr(res.stderr[:200]))
                case.compare_project("import UTF-16 without entries", jproj, jp)
            return
        if case.expect_rc("import of the UTF-16 export", res, 0):
            msg = b"%d new phrase(s) has been added or replaced." % count
            if msg not in res.stdout:
                case.rep.fail(case.name, "import UTF-16", f"expected {msg!r}, stdout {res.stdout[:200]!r}")
            case.compare_project("import UTF-16", trial, jp)


def import_lines(rng: random.Random, proj: ref.Project) -> bytes:
    """A crafted phrase text file exercising the line rules."""
    n = len(proj.phrases)
    masters = [i for i, r in enumerate(proj.phrases) if not r[3] & ref.PF_LINK] or [0]
    links = [i for i, r in enumerate(proj.phrases) if r[3] & ref.PF_LINK]

    def m() -> int:
        return rng.choice(masters)

    def word() -> bytes:
        return bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyzABC\xe9\xfc") for _ in range(rng.randrange(2, 10)))
    cases = [
        lambda: b"%d = %s" % (m(), word()),                      # plain entry
        lambda: b"%d =%s" % (m(), word()),                       # no blank: first character lost
        lambda: b"%d =   %s  " % (m(), word()),                  # leading blanks dropped, trailing kept
        lambda: b"%d = " % m() + b"   ",                         # text only blanks: no effect, no current
        lambda: word() + b" continued",                          # continuation
        lambda: b"x",                                            # single character: dropped
        lambda: b"",                                             # empty line
        lambda: b"= %s" % word(),                                # '=' in position 1: ignored
        lambda: b"%d =x" % m(),                                  # one character after '=': ignored
        lambda: b"%d = %s" % (n + rng.randrange(0, 5), word()),  # index beyond the phrases
        lambda: b"abc = %s" % word(),                            # no digits
        lambda: (b"%d = %s" % (rng.choice(links), word())) if links else b"",  # a link record
        lambda: b"%s %s = %s" % (str(m())[:1].encode(), str(m())[-1:].encode(), word()),  # digits joined
        lambda: b"No.%d: = %s" % (m(), word()),                  # other characters skipped
        lambda: b"%d = a=b" % m(),                               # '=' inside the text
        lambda: word() + b"=" + word(),                          # continuation with '=' is an entry
        lambda: b"0000000%d = %s" % (m(), word()),               # leading zeros
        lambda: b"2147483647 = %s" % word(),                     # fits 32 bits, beyond the phrases
        lambda: b"%d = %s\t\x01" % (m(), word()),                # control bytes kept
    ]
    lines = []
    for _ in range(rng.randrange(10, 40)):
        lines.append(rng.choice(cases)())
    seps = [b"\r\n", b"\n", b"\r"]
    out = bytearray()
    for ln in lines:
        out += ln + rng.choice(seps)
    if rng.random() < 0.2:
        out += b"\0" + b"%d = after the NUL\r\n" % m()
    return bytes(out)


def import_phase(case: Case, rng: random.Random, proj: ref.Project, path: str) -> None:
    for k in range(3):
        data = import_lines(rng, proj)
        if k == 2:
            data = ref.export_phrases(proj, "all")  # round trip of an unchanged export
        f = case.path(f"import{k}.txt")
        write(f, data)
        trial = ref.Project.from_bytes(proj.to_bytes())
        res = case.cli.run("import", path, f)
        try:
            count = ref.import_phrases(trial, data)
        except ref.ImportError_ as e:
            case.expect_rc(f"import {k} stopped by an index beyond 32 bits", res, -1)
            if str(e).encode() not in res.stderr:
                case.rep.fail(case.name, f"import {k} message", f"expected {str(e)!r}, stderr {res.stderr[:200]!r}")
            case.compare_project(f"import {k} stopped: project not saved", proj, path)
            continue
        if ref.entry_line_count(data) == 0:
            # a file without a single entry line is refused, and nothing changes
            if case.expect_rc(f"import {k} without entries", res, 1):
                if b"no entry found" not in res.stderr:
                    case.rep.fail(case.name, f"import {k} without entries", repr(res.stderr[:200]))
                case.compare_project(f"import {k} without entries", proj, path)
            continue
        if case.expect_rc(f"import {k}", res, 0):
            msg = b"%d new phrase(s) has been added or replaced." % count
            if msg not in res.stdout:
                case.rep.fail(case.name, f"import {k} message", f"expected {msg!r}, stdout {res.stdout[:200]!r}")
            else:
                case.rep.ok()
            if case.compare_project(f"import {k}", trial, path):
                proj.texts, proj.phrases = trial.texts, trial.phrases
            else:
                print(f"  import file {f}", flush=True)
                return
    # an index too large for 32 bits stops the import; nothing is saved
    data = b"%d = fine\r\n99999999999 = too big\r\n" % rng.choice(
        [i for i, r in enumerate(proj.phrases) if not r[3] & ref.PF_LINK] or [0])
    f = case.path("import-big.txt")
    write(f, data)
    res = case.cli.run("import", path, f)
    case.expect_rc("import with a 33-bit index", res, -1)
    if b"'99999999999' is not a valid integer value" not in res.stderr:
        case.rep.fail(case.name, "import 33-bit index message", repr(res.stderr[:200]))
    case.compare_project("import with a 33-bit index leaves the project", proj, path)


def switch_on_some(case: Case, rng: random.Random, proj: ref.Project, path: str) -> None:
    idxs = [i for i, r in enumerate(proj.phrases) if r[4] >= 0 and not r[3] & ref.PF_ON and rng.random() < 0.7]
    if idxs:
        res = case.cli.run("set", path, "--on", *map(str, idxs))
        if case.expect_rc("set --on after import", res, 0):
            for i in idxs:
                proj.phrases[i][3] |= ref.PF_ON


INFO_UNIT_RE = re.compile(rb"^\s+(\d+)\s+(\S+)\s+0x([0-9A-F]{8})\s+0x([0-9A-F]{8})\s.*\s(ok|mismatch)( \(.*\))?\s*$")


def loader_output_phase(case: Case, rng: random.Random, proj: ref.Project, path: str,
                        src_path: str, src: bytes) -> None:
    out = case.path("NEW_LOADING.KWI")
    res = case.cli.run("build-loader", path, "-o", out, "--force")
    if not ref.is_source_suitable(proj, src):
        case.expect_rc("build-loader from an unsuitable own source", res, -1)
        return
    if res.returncode == 1 and b"was removed" in res.stderr:
        refused_as_breaking(case, path, res, out, ref.rebuild_loader(proj, src).data, "build-loader")
        return
    if not case.expect_rc("build-loader", res, 0):
        return
    STATS["loaders built"] += 1
    d = ref.parse_loader(src)
    mod = d.makers[proj.maker_index].modules[proj.module_index]
    STATS["split layout"] += mod.split
    STATS["odd-size units copied"] += sum(1 for k, u in enumerate(mod.units) if u.size % 2 and k != proj.unit_index)
    expected = ref.rebuild_loader(proj, src)
    actual = read(out) or b""
    compare_bytes(case.rep, case.name, "build-loader output", expected.data, actual,
                  describe_loader_offset(expected.unit_positions))
    verify_phase(case, path, out, "build-loader output")
    # info lists every unit at the position where it was written
    info = case.cli.run("info", out)
    rows = [INFO_UNIT_RE.match(line) for line in info.stdout.splitlines()]
    rows = [r for r in rows if r]
    offsets = [int(r.group(3), 16) for r in rows]
    if offsets != expected.unit_positions:
        case.rep.fail(case.name, "info on rebuilt loader",
                      f"unit offsets {offsets}, written at {expected.unit_positions}")
    else:
        case.rep.ok()
    if proj.image_length >= 128 and rows and rows[proj.unit_index].group(5) != b"ok":
        case.rep.fail(case.name, "info on rebuilt loader", "translated unit's checksum is not ok")
    # the project's own source moved away: --source finds it
    moved = case.path("MOVED.KWI")
    os.rename(src_path, moved)
    out2 = case.path("NEW2.KWI")
    res = case.cli.run("build-loader", path, "-o", out2, "--source", moved, "--force")
    if case.expect_rc("build-loader --source (moved source)", res, 0):
        compare_bytes(case.rep, case.name, "build-loader from the moved source", expected.data, read(out2) or b"")
    # an unsuitable source writes nothing
    out3 = case.path("NEW3.KWI")
    res = case.cli.run("build-loader", path, "-o", out3, "--source", out, "--force")
    suitable = ref.is_source_suitable(proj, actual)
    case.expect_rc("build-loader with the rebuilt loader as source", res, 0 if suitable else -1)
    if not suitable:
        if b"Unsuitable file !!!" not in res.stderr + res.stdout:
            case.rep.fail(case.name, "unsuitable source", f"no 'Unsuitable file !!!': {res.stderr[:200]!r}")
        if os.path.exists(out3):
            case.rep.fail(case.name, "unsuitable source", "an output was written")
    # the output must not name the source
    res = case.cli.run("build-loader", path, "-o", moved, "--source", moved, "--force")
    case.expect_rc("build-loader over its own source", res, -1)
    if read(moved) != src:
        case.rep.fail(case.name, "build-loader over its own source", "the source was changed")
    os.rename(moved, src_path)


# --------------------------------------------------------------------------
# Scenarios


class RefMaker:
    def __init__(self, fn, hint: int) -> None:
        self.fn = fn
        self.source_size_hint = hint

    def __call__(self, *a):
        return self.fn(*a)


BIN_VARIANTS = ["normal"] * 6 + ["longer-file", "shorter-file", "bad-sum", "size-zero", "tiny", "header-short"]
CLASS_SETS = [["english"], ["english", "bad"], ["european"], ["european", "english", "bad"],
              ["japanese"], ["japanese", "english"], ["jpwild", "japanese", "bad"], ["english", "european", "japanese"]]


def bin_scenario(rep: Report, cli: Cli, work: str, seed: int) -> None:
    rng = random.Random(seed)
    classes = rng.choice(CLASS_SETS)
    variant = rng.choice(BIN_VARIANTS)
    case = Case(rep, cli, work, f"bin-{seed}-{variant}")
    fname = rng.choice(["APM.BIN", "unit%d.BIN" % seed, "TWO.DOTS.BIN", "AVERYLONGUNITNAME.BIN", "NODOTNAME"])
    src = case.path(fname)
    data, _ = make_bin_file(rng, classes, variant)
    write(src, data)
    maker = RefMaker(lambda mode, hide, rr, yes: ref.project_from_bin(data, fname, mode, hide, rr, yes),
                     len(data))
    main = run_new_combos(case, rng, src, maker, [], classes, rng.randrange(2, 4))
    if main is None:
        return
    proj, path, mode = main
    translate_phase(case, rng, proj, path, mode)
    output_phase(case, rng, proj, path, mode)
    export_phase(case, rng, proj, path)
    import_phase(case, rng, proj, path)
    switch_on_some(case, rng, proj, path)
    case.compare_project("after set --on", proj, path)
    output_phase(case, rng, proj, path, mode)
    # a .BIN project has no loader source
    res = cli.run("build-loader", path, "-o", case.path("L.KWI"), "--force")
    case.expect_rc("build-loader of a .BIN project", res, -1)


def generated_loader(rep: Report, cli: Cli, work: str, rng: random.Random, name: str, **layout):
    """A generated loader written as LOADING.KWI of a new case; None when the
    generator made an invalid one (reported)."""
    classes = rng.choice(CLASS_SETS)
    data, _ = gen_loader(rng, classes, **layout)
    case = Case(rep, cli, work, name)
    src = case.path("LOADING.KWI")
    write(src, data)
    d = ref.parse_loader(data)
    if not d.valid:
        rep.fail(case.name, "generator", "generated loader is not valid")
        return None
    aisin = next(m for m in d.makers if m.name == b"AISIN-AW")
    return case, classes, data, src, aisin


def loader_scenario(rep: Report, cli: Cli, work: str, seed: int, *, split=None, unit0_distance=None,
                    tag: str = "") -> None:
    rng = random.Random(seed)
    made = generated_loader(rep, cli, work, rng, f"kwi-{seed}{tag}", split=split, unit0_distance=unit0_distance)
    if made is None:
        return
    case, classes, data, src, aisin = made
    choices = [(mi, ui) for mi, mod in enumerate(aisin.modules) for ui, u in enumerate(mod.units)
               if u.size >= 128 and ref.read_unit_header(data, u.offset).size >= 128]
    if not choices:
        choices = [(mi, ui) for mi, mod in enumerate(aisin.modules) for ui, u in enumerate(mod.units)]
    if not choices:
        return
    if unit0_distance is not None:
        choices = [c for c in choices if c[0] == 0] or choices
    mi, ui = rng.choice(choices)
    # the command line names the loader by a relative path, some with dots in it
    cwd = case.dir
    sel = []
    mod = aisin.modules[mi]
    names = [u.name for u in mod.units]
    if rng.random() < 0.5:
        sel += ["--module", str(mi)]
    else:
        names_mod = [m.name for m in aisin.modules]
        if names_mod.count(mod.name) == 1 and not mod.name.isdigit():
            sel += ["--module", mod.name.decode()]
        else:
            sel += ["--module", str(mi)]
    if mi == 0 and rng.random() < 0.3:
        sel = []
    apm = [k for k, n in enumerate(names) if n == b"APM"]
    default_unit = apm[-1] if apm else 0
    if names.count(names[ui]) == 1 and rng.random() < 0.4:
        sel += ["--unit", names[ui].decode()]
    elif ui == default_unit and rng.random() < 0.3:
        pass
    else:
        sel += ["--unit", str(ui)]
    abs_path = os.path.normpath(os.path.abspath(src))
    maker = RefMaker(lambda mode, hide, rr, yes: ref.project_from_loader(data, abs_path, mi, ui, mode, hide, rr, yes),
                     mod.units[ui].size)
    source_arg = rng.choice(["./LOADING.KWI", "LOADING.KWI", "../" + os.path.basename(case.dir) + "/LOADING.KWI"])
    case.cli = InDir(cli, cwd)
    main = run_new_combos(case, rng, source_arg, maker, sel, classes, rng.randrange(1, 3))
    case.cli = cli
    if main is None:
        return
    proj, path, mode = main
    translate_phase(case, rng, proj, path, mode)
    output_phase(case, rng, proj, path, mode)
    if rng.random() < 0.5:
        import_phase(case, rng, proj, path)
        switch_on_some(case, rng, proj, path)
    loader_output_phase(case, rng, proj, path, src, data)


def multi_unit_scenario(rep: Report, cli: Cli, work: str, seed: int) -> None:
    """Projects of two or three units of one module go into one loader:
    build-loader with all of them against the reference, verify with all of
    them, one changed byte caught, and the lists that cannot go together
    refused."""
    rng = random.Random(seed)
    made = generated_loader(rep, cli, work, rng, f"units-{seed}", split=rng.random() < 0.5)
    if made is None:
        return
    case, _, data, src, aisin = made
    usable = {mi: [ui for ui, u in enumerate(mod.units)
                   if u.size >= 128 and ref.read_unit_header(data, u.offset).size >= 128]
              for mi, mod in enumerate(aisin.modules)}
    modules = [mi for mi, units in usable.items() if len(units) >= 2]
    if not modules:
        return
    mi = rng.choice(modules)
    picks = rng.sample(usable[mi], min(len(usable[mi]), rng.choice([2, 3, 3])))
    abs_path = os.path.normpath(os.path.abspath(src))
    projs, paths = [], []
    for k, ui in enumerate(picks):
        mode = rng.choice(MODE_ARGS)
        try:
            expected, _ = ref.project_from_loader(data, abs_path, mi, ui, ref.MODE_NAMES[mode], False, None, True)
        except IOError:
            return
        path = case.path(f"u{k}.vmprj")
        res = cli.run("new", src, "-o", path, "--module", str(mi), "--unit", str(ui),
                      *new_args(mode, False, None, True))
        if not case.expect_rc(f"new unit {ui}", res, 0) or not case.compare_project(f"new unit {ui}", expected, path):
            return
        translate_phase(case, rng, expected, path, mode)
        projs.append(expected)
        paths.append(path)
    STATS["loaders built"] += 1
    STATS["loaders of several units"] += 1
    STATS["split layout"] += aisin.modules[mi].split
    out = case.path("UNITS.KWI")
    # --force: random translations trip the checks that gate a build.
    res = cli.run("build-loader", *paths, "-o", out, "--force")
    expected = ref.rebuild_loader_units(projs, data)
    if refused_as_breaking(case, paths, res, out, expected.data, f"build-loader with units {picks}"):
        return
    if not case.expect_rc(f"build-loader with units {picks}", res, 0):
        return
    actual = read(out) or b""
    compare_bytes(case.rep, case.name, f"build-loader output with units {picks}", expected.data, actual,
                  describe_loader_offset(expected.unit_positions))
    # each translated unit is what build-bin writes for its project
    for proj, path in zip(projs, paths):
        bin_path = case.path(f"unit{proj.unit_index}.BIN")
        if case.expect_rc("build-bin", cli.run("build-bin", path, "-o", bin_path, "--force"), 0):
            at = expected.unit_positions[proj.unit_index]
            want = read(bin_path) or b""
            compare_bytes(case.rep, case.name, f"unit {proj.unit_index} against build-bin", want,
                          actual[at:at + len(want)], lambda _data, off: f"(unit offset 0x{off:X})")
    # verify with every project accepts it; one changed byte fails it
    res = cli.run("verify", *paths, out)
    # the only problems allowed are translations the build itself overwrote
    kinds = [m.group(1) for m in map(PROBLEM_RE.match, res.stdout.decode(errors="replace").splitlines()) if m]
    if res.returncode not in (0, 1) or (res.returncode == 1) != bool(kinds) or set(kinds) - {"overwritten"}:
        rep.fail(case.name, "verify with every project", f"exit code {res.returncode}: "
                                                         f"{(res.stdout + res.stderr).decode(errors='replace')[:600]}")
    else:
        rep.ok()
        STATS["builds verified"] += 1
    mrng = random.Random(f"{case.name} verify")
    damaged = bytearray(actual)
    at = mrng.randrange(len(damaged))
    damaged[at] ^= mrng.randrange(1, 256)
    write(out + ".changed", bytes(damaged))
    res = cli.run("verify", *paths, out + ".changed")
    if case.expect_rc(f"verify with byte 0x{at:X} changed", res, 1):
        STATS["changed bytes caught"] += 1
    # two projects of one unit are refused, and nothing is written
    refused = case.path("REFUSED.KWI")
    res = cli.run("build-loader", paths[0], *paths, "-o", refused)
    case.expect_rc("build-loader with one unit twice", res, -1)
    if os.path.exists(refused):
        rep.fail(case.name, "build-loader with one unit twice", "an output was written")


def reference_selftest(rep: Report) -> None:
    """The reference itself against the documented worked examples."""
    name = "reference self-test"

    def check(what: str, got, want) -> None:
        if got != want:
            rep.fail(name, what, f"got {got!r}, want {want!r}")
        else:
            rep.ok()
    img = bytearray(0x2000)
    img[0x200:0x204] = b"\x00\x00\x90\x00"
    img[0x240:0x244] = b"\x00\x00\x90\x00"
    img[0x1000:0x1005] = b"Menu\0"
    check("worked extraction case", ref.extract_phrases(bytes(img), 0x8000, 0, True, 0, 0x2000),
          [[0x200, 0x1000, 4, 0, -1, -1], [0x240, 0x1000, 4, ref.PF_LINK, -1, 0]])
    for second, hidden in ((0x1008, 0), (0x100C, ref.PF_HIDE)):
        img = bytearray(0x2000)
        img[0x200:0x208] = struct.pack(">II", 0x9000, 0x8000 + second)
        img[0x1000:0x1005] = b"Menu\0"
        img[second:second + 4] = b"Map\0"
        got = ref.extract_phrases(bytes(img), 0x8000, 0, False, 0, 0x2000)
        check(f"contiguity of a text at 0x{second:X}", [r[3] for r in got], [0, hidden])
    check("SumWords of 131 bytes", ref.sum_words(bytes(range(131))), 0)
    check("PrepareText", [ref.prepare_text(t) for t in (b"ab\r\nc\n\n", b"abc", b"\r\n", b"a\nb")],
          [b"ab\nc", b"abc\0", b"", b"a\nb\0"])
    # two maker entries with 2 and 3 modules
    data = bytearray(4096)
    data[0:2] = b"\x00\x02"
    data[4:12] = position_bytes(*TOYOTA_POS)
    data[16:18] = b"\x00\x02"
    data[20:28] = position_bytes(*TOYOTA_POS)
    data[32:34] = b"\x00\x03"
    d = ref.parse_loader(bytes(data))
    check("module record positions", [m.record_offset for mk in d.makers for m in mk.modules],
          [164, 420, 868, 1124, 1380])
    # rebuild: units of 100, 200 and 300 bytes, unit 1 translated
    rng = random.Random(7)
    unit1, _ = gen_unit(rng, ["english"], size=200)
    lb = LoaderBuilder(rng)
    lb.makers.append({"position": position_bytes(*AISIN_POS), "aisin": True, "modules": [
        {"name": b"M", "short": b"M", "split": False, "units": [
            {"name": b"A", "data": bytes(100), "size": 100},
            {"name": b"B", "data": bytes(unit1), "size": 200},
            {"name": b"C", "data": bytes(300), "size": 300}]}]})
    src = lb.build()
    proj, _ = ref.project_from_loader(src, "/x/LOADING.KWI", 0, 1)
    res = ref.rebuild_loader(proj, src)
    check("rebuilt unit positions", res.unit_positions, [2048, 2148, 4196])
    check("rebuilt unit entries", [ref.be32(res.data, 84 + 72 + 16 * k + 8) for k in (1, 2)], [50, 1074])
    check("rebuilt sector count", (ref.be16(res.data, 338), len(res.data)), (2, 2048 + 4096))
    proj = ref.Project(phrases=[[0, 0, 1, 0, -1, -1]] * 13)
    proj.phrases = [list(r) for r in proj.phrases]
    count = ref.import_phrases(proj, b"12 = text\r\n1 2 =xtext\r\n5 =   \r\nmore\r\n3 = a\nsecond\nx\n")
    check("import example", (count, proj.texts, proj.phrases[12][4], proj.phrases[3][4]),
          (3, [b"text", b"text", b"a\nsecond"], 1, 2))


def limit_scenario(rep: Report, cli: Cli, work: str) -> None:
    """A unit with more strings than the phrase table takes: extraction stops
    at 30 001 records."""
    case = Case(rep, cli, work, "limit-30001")
    n = 30010
    base = 0x00400000
    strings_at = 128 + 4 * n
    L = strings_at + 3 * n + 16
    img = bytearray(L)
    for k in range(n):
        img[128 + 4 * k:132 + 4 * k] = struct.pack(">I", base + strings_at + 3 * k)
        img[strings_at + 3 * k:strings_at + 3 * k + 2] = bytes([0x41 + k % 26, 0x61 + (k // 26) % 26])
    img[48:63] = b"AISIN AW co.LTD"
    img[6:9] = b"BIG"
    img[112:120] = struct.pack(">II", base, L)
    img[120:124] = struct.pack(">I", ref.sum_words(img))
    src = case.path("BIG.BIN")
    write(src, bytes(img))
    expected, _ = ref.project_from_bin(bytes(img), "BIG.BIN")
    if len(expected.phrases) != 30001:
        rep.fail(case.name, "reference", f"{len(expected.phrases)} records")
    res = cli.run("new", src, "-o", case.path("big.vmprj"))
    if case.expect_rc("new on a unit of 30010 strings", res, 0):
        case.compare_project("30001 records", expected, case.path("big.vmprj"))


def main() -> int:
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--seeds", type=int, default=250, help="number of scenarios of each kind")
    ap.add_argument("--first-seed", type=int, default=1)
    ap.add_argument("--keep", action="store_true", help="keep the work directory")
    ap.add_argument("--verbose", action="store_true")
    args = ap.parse_args()
    cli = Cli(os.path.abspath(args.cli))
    rep = Report(args.verbose)
    work = tempfile.mkdtemp(prefix="velmora-diff-")
    t0 = time.time()
    try:
        reference_selftest(rep)
        limit_scenario(rep, cli, work)
        for s in range(args.first_seed, args.first_seed + args.seeds):
            bin_scenario(rep, cli, work, s)
            loader_scenario(rep, cli, work, 10000 + s)
            if s % 5 == 0:  # each runs about 20 commands: one in five seeds is enough
                multi_unit_scenario(rep, cli, work, 70000 + s)
        # targeted loaders: split layout with unit 0 far from the module start,
        # and a directory-table layout whose unit 0 does not start the module
        for s in range(5):
            loader_scenario(rep, cli, work, 50000 + s, split=True, unit0_distance=2048, tag="-split2048")
            loader_scenario(rep, cli, work, 60000 + s, split=False, unit0_distance=64, tag="-unit0off")
    finally:
        if args.keep or rep.failures:
            print(f"work directory kept: {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)
    dt = time.time() - t0
    print(f"{rep.cases} cases, {rep.checks} checks, {cli.calls} velmora-cli runs, {dt:.1f} s")
    print(", ".join(f"{k}: {v}" for k, v in STATS.items()))
    passed = rep.checks - len(rep.failures)
    print(f"{passed} passed, {len(rep.failures)} failed")
    return 1 if rep.failures else 0


if __name__ == "__main__":
    sys.exit(main())
