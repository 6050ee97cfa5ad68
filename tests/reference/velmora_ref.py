"""Independent reference model of Velmora's file formats and algorithms.

Written in plain Python (standard library only) from the behaviour that the
system documents, without looking at the C++ core, so that the differential
test can compare velmora-cli's outputs with a second implementation byte for
byte.

Covered: unit header, SumWords, phrase extraction (its link check keeps the
first phrase of every string address in a map, which gives the same record as
a search of the list from index 0), project creation from a
.BIN or a LOADING.KWI unit, the project file, PrepareText/BuildUnit, the
loader directory and the loader rebuild, text export and import.
"""

from __future__ import annotations

import os
import struct
from dataclasses import dataclass, field

PF_HIDE = 1
PF_ON = 2
PF_LINK = 4

AISIN_MAKER_TEXT = b"AISIN AW co.LTD"
MAX_PHRASES = 30000

MODE_ENGLISH, MODE_EUROPEAN, MODE_JAPANESE = 0, 1, 2
MODE_NAMES = {"english": MODE_ENGLISH, "european": MODE_EUROPEAN, "japanese": MODE_JAPANESE}

U32 = 0xFFFFFFFF


# --------------------------------------------------------------------------
# Byte helpers


def be32(data: bytes, pos: int) -> int:
    """Big-endian 32-bit value; bytes beyond the end read as zero."""
    chunk = bytes(data[pos:pos + 4]) if pos >= 0 else b""
    chunk = chunk + b"\0" * (4 - len(chunk))
    return struct.unpack(">I", chunk)[0]


def be16(data: bytes, pos: int) -> int:
    chunk = bytes(data[pos:pos + 2]) if pos >= 0 else b""
    chunk = chunk + b"\0" * (2 - len(chunk))
    return struct.unpack(">H", chunk)[0]


def read_bytes(data: bytes, pos: int, n: int) -> bytes:
    chunk = bytes(data[pos:pos + n]) if pos >= 0 else b""
    return chunk + b"\0" * (n - len(chunk))


def fixed_text(data: bytes, pos: int, n: int) -> bytes:
    raw = read_bytes(data, pos, n)
    z = raw.find(b"\0")
    return raw if z < 0 else raw[:z]


def header_text(data: bytes, pos: int) -> bytes:
    """A 15-byte unit header text, cut at its first zero byte and then before
    its first CR LF pair."""
    t = fixed_text(data, pos, 15)
    k = t.find(b"\r\n")
    return t if k < 0 else t[:k]


class WriteBuffer:
    """A growable byte stream that can be written anywhere and read back."""

    def __init__(self) -> None:
        self.buf = bytearray()
        self.pos = 0

    def seek(self, pos: int) -> None:
        self.pos = pos

    def write(self, data: bytes) -> None:
        end = self.pos + len(data)
        if end > len(self.buf):
            self.buf.extend(b"\0" * (end - len(self.buf)))
        self.buf[self.pos:end] = data
        self.pos = end

    def write_at(self, pos: int, data: bytes) -> None:
        self.seek(pos)
        self.write(data)

    def read_at(self, pos: int, n: int) -> bytes:
        return read_bytes(self.buf, pos, n)


# --------------------------------------------------------------------------
# Unit header and checksum


@dataclass
class UnitHeader:
    text0: bytes
    tag: bytes
    text16: bytes
    maker: bytes
    base: int
    size: int
    checksum: int


def read_unit_header(data: bytes, pos: int = 0) -> UnitHeader:
    return UnitHeader(header_text(data, pos + 0), header_text(data, pos + 6),
                      header_text(data, pos + 16), header_text(data, pos + 48),
                      be32(data, pos + 112), be32(data, pos + 116), be32(data, pos + 120))


def sum_words(image: bytes, length: int | None = None) -> int:
    if length is None:
        length = len(image)
    total = 0
    off = 128
    while off + 4 <= length:
        total = (total + be32(image, off)) & U32
        off += 4
    return total


# --------------------------------------------------------------------------
# Phrase extraction


def _string_length(img: bytes, v: int, mode: int) -> int | None:
    """Length of the phrase text starting at v, or None when the bytes there
    are not a text of the mode."""
    L = len(img)
    i = 0
    while True:
        if v + i > L - 8:
            return None
        b = img[v + i]
        n = img[v + i + 1] if v + i + 1 < L else 0
        if i == 0:
            if b == 0x00:
                return None
            if b == 0x3C:
                last = 0
            elif b == 0x4F and mode == MODE_JAPANESE:
                return None
            elif 0x41 <= b <= 0x5A:
                last = 0
            elif mode == MODE_EUROPEAN and 0xC0 <= b <= 0xDF:
                last = 0
            elif mode == MODE_JAPANESE and 0x81 <= b <= 0xFC:
                if n == 0x00:
                    return None
                if b == 0xE0 and n < 0x40:
                    return None
                if 0xA0 <= b <= 0xDF:
                    last = 0
                else:
                    last = 1
            elif mode == MODE_JAPANESE and 0x31 <= b <= 0x39:
                last = 0
            else:
                return None
        else:
            if b == 0x0A:
                last = i
            elif b == 0x00:
                return i
            elif b < 0x20:
                return None
            elif mode == MODE_ENGLISH and b >= 0x7F:
                return None
            elif mode == MODE_EUROPEAN and 0x80 <= b <= 0xBF:
                return None
            elif (mode == MODE_JAPANESE and 0x81 <= b <= 0xFC and not (0xA0 <= b <= 0xDF)
                  and n != 0x00):
                last = i + 1
            else:
                last = i
        if last < 511:
            i = last + 1
        else:
            return None


def holds_japanese_texts(proj: "Project") -> bool:
    """True when a phrase of the project is a text by the Japanese rules only:
    the project's own code page is then Japanese."""
    img = proj.image
    for rec in proj.phrases:
        if rec[3] & PF_LINK:
            continue
        v, length = rec[1], rec[2]
        if _string_length(img, v, MODE_JAPANESE) == length and \
                _string_length(img, v, MODE_ENGLISH) != length and _string_length(img, v, MODE_EUROPEAN) != length:
            return True
    return False


def extract_phrases(img: bytes, base: int, mode: int, hide_abc: bool,
                    range_start: int, range_end: int) -> list[list[int]]:
    """The records that extraction appends, each
    [LinkAddress, StringAddress, Length, Flags, EditIndex, MasterIndex]."""
    L = len(img)
    phrases: list[list[int]] = []
    if L < 132:
        return phrases
    prev_end = None  # the first phrase of a run starts out shown
    first_of: dict[int, int] = {}  # StringAddress -> index of its phrase (same as a scan from 0)
    last = 4 * (L // 4) - 4
    P = 128
    while P <= last:
        if len(phrases) > MAX_PHRASES:
            break
        v = (be32(img, P) - base) & U32
        if v != 0 and v <= ((L - 16) & U32) and range_start <= v <= range_end:
            master = first_of.get(v)
            if master is not None:
                phrases.append([P, v, phrases[master][2], PF_LINK, -1, master])
            else:
                n = _string_length(img, v, mode)
                if n is not None:
                    flags = 0
                    if prev_end is not None and not (prev_end <= v <= prev_end + 4):
                        flags |= PF_HIDE
                    prev_end = v + n
                    if hide_abc and 0x41 <= img[v] <= 0x5A and 0x41 <= img[v + 1] <= 0x5A:
                        flags |= PF_HIDE
                    first_of[v] = len(phrases)
                    phrases.append([P, v, n, flags, -1, -1])
        P += 4
    return phrases


# --------------------------------------------------------------------------
# The project


@dataclass
class Project:
    maker_index: int = -1
    module_index: int = -1
    unit_index: int = -1
    unit_offset: int = 0
    source_size: int = 0
    unit_tag: bytes = b""
    unit_name: bytes = b""
    base: int = 0
    unit_size: int = 0
    checksum: int = 0
    phrases: list = field(default_factory=list)
    texts: list = field(default_factory=list)
    image: bytes = b""
    source_path: bytes = b""

    @property
    def image_length(self) -> int:
        return min(self.unit_size, self.source_size)

    def origin_text(self, idx: int) -> bytes:
        rec = self.phrases[idx]
        return bytes(self.image[rec[1]:rec[1] + rec[2]])

    # ---- project file
    def to_bytes(self) -> bytes:
        out = bytearray()
        out += struct.pack("<iiiiII", 64, self.maker_index, self.module_index, self.unit_index,
                           self.unit_offset & U32, self.source_size & U32)
        out += self.unit_tag[:8].ljust(8, b"\0")
        out += self.unit_name[:8].ljust(8, b"\0")
        out += struct.pack("<IIIiii", self.base, self.unit_size, self.checksum,
                           len(self.phrases), len(self.texts), len(self.source_path))
        for r in self.phrases:
            out += struct.pack("<IIHHhh", *r)
        out += self.image[:self.image_length]
        for t in self.texts:
            out += struct.pack("<H", len(t)) + t
        out += self.source_path
        return bytes(out)

    @staticmethod
    def from_bytes(data: bytes) -> "Project":
        p = Project()
        (_, p.maker_index, p.module_index, p.unit_index, p.unit_offset,
         p.source_size) = struct.unpack_from("<iiiiII", data, 0)
        p.unit_tag = fixed_text(data, 24, 8)
        p.unit_name = fixed_text(data, 32, 8)
        (p.base, p.unit_size, p.checksum, pc, tc, sl) = struct.unpack_from("<IIIiii", data, 40)
        pos = 64
        for _ in range(pc):
            p.phrases.append(list(struct.unpack_from("<IIHHhh", data, pos)))
            pos += 16
        n = p.image_length
        p.image = bytes(data[pos:pos + n])
        pos += n
        for _ in range(tc):
            (k,) = struct.unpack_from("<H", data, pos)
            p.texts.append(bytes(data[pos + 2:pos + 2 + k]))
            pos += 2 + k
        p.source_path = bytes(data[pos:pos + sl])
        return p

    # ---- edits (translation editor, grid toggles)
    def translate(self, idx: int, text: bytes) -> None:
        rec = self.phrases[idx]
        if rec[3] & PF_LINK:
            raise ValueError("link record")
        if text:
            self.texts.append(text)
            rec[4] = len(self.texts) - 1
            rec[3] = (rec[3] | PF_ON) & ~PF_HIDE
        else:
            rec[4] = -1
            rec[3] &= ~PF_ON

    def set_flag(self, idx: int, what: str) -> bool:
        """The grid's toggles as `set` applies them ("on", "off", "hide",
        "show"); False when the change is refused, the record left as it was.
        A record already in the asked state is no refusal."""
        rec = self.phrases[idx]
        if rec[3] & PF_LINK:
            return False
        bit = PF_ON if what in ("on", "off") else PF_HIDE
        want = what in ("on", "hide")
        if bool(rec[3] & bit) == want:
            return True
        # ON needs an edited text; HIDE is for phrases without one.
        if (rec[4] >= 0) != (bit == PF_ON):
            return False
        rec[3] ^= bit
        return True


class QuestionDeclined(Exception):
    pass


def analyse_unit(proj: Project, source: bytes, pos: int, mode: int, hide_abc: bool,
                 range_start: int, range_end: int, yes: bool) -> list[str]:
    """Reads and checks the unit at pos of source (SourceSize already set),
    fills the image and runs extraction. Returns the questions asked."""
    hdr = read_unit_header(source, pos)
    asked = []
    if hdr.maker != AISIN_MAKER_TEXT:
        asked.append("maker")
        if not yes:
            raise QuestionDeclined("maker")
    proj.base, proj.unit_size, proj.checksum = hdr.base, hdr.size, hdr.checksum
    proj.unit_tag = hdr.tag
    n = proj.image_length
    if pos + n > len(source):
        raise IOError("Stream read error")
    proj.image = bytes(source[pos:pos + n])
    proj.phrases = []
    proj.texts = []
    if sum_words(proj.image) != proj.checksum:
        asked.append("crc")
        if not yes:
            raise QuestionDeclined("crc")
    proj.phrases = extract_phrases(proj.image, proj.base, mode, hide_abc, range_start, range_end)
    return asked


def project_from_bin(data: bytes, file_name: str, mode: int = MODE_ENGLISH, hide_abc: bool = True,
                     rng: tuple[int, int] | None = None, yes: bool = True) -> tuple[Project, list[str]]:
    p = Project(-1, -1, -1, 0, len(data))
    rs, re_ = rng if rng is not None else (0, p.source_size)
    asked = analyse_unit(p, data, 0, mode, hide_abc, rs, re_, yes)
    base_name = os.path.basename(file_name).encode("utf-8", "surrogateescape")
    dot = base_name.find(b".")
    p.unit_name = (base_name if dot < 0 else base_name[:dot])[:8]
    p.unit_tag = p.unit_tag[:8]
    p.source_path = b""
    return p, asked


def project_from_loader(data: bytes, abs_path: str, module_index: int, unit_index: int,
                        mode: int = MODE_ENGLISH, hide_abc: bool = True,
                        rng: tuple[int, int] | None = None,
                        yes: bool = True) -> tuple[Project, list[str]]:
    d = parse_loader(data)
    mi = next(i for i, m in enumerate(d.makers) if m.name == b"AISIN-AW")
    mod = d.makers[mi].modules[module_index]
    unit = mod.units[unit_index]
    p = Project(mi, module_index, unit_index, unit.offset, unit.size)
    rs, re_ = rng if rng is not None else (0, p.source_size)
    asked = analyse_unit(p, data, unit.offset, mode, hide_abc, rs, re_, yes)
    p.unit_name = unit.name[:8]
    p.unit_tag = p.unit_tag[:8]
    p.source_path = abs_path.encode("utf-8", "surrogateescape")
    return p, asked


# --------------------------------------------------------------------------
# BIN builder


def prepare_text(text: bytes) -> bytes:
    t = text.replace(b"\r", b"")
    while t.endswith(b"\n"):
        t = t[:-1]
    if len(t) % 2:
        t += b"\0"
    return t


def build_unit(proj: Project, out: WriteBuffer | None = None) -> tuple[WriteBuffer, int]:
    """Writes the translated unit at the buffer's position; returns the buffer
    and the padded length."""
    if out is None:
        out = WriteBuffer()
    base = out.pos
    L = proj.image_length
    end = L
    reloc = bytearray()
    out.write_at(base, proj.image[:L])
    for rec in proj.phrases:
        link, s, length, flags, edit, master = rec
        if flags & PF_LINK:
            mptr = out.read_at(base + proj.phrases[master][0], 4)
            if ((struct.unpack(">I", mptr)[0] - proj.base) & U32) != s:
                out.write_at(base + link, mptr)
        elif flags & PF_ON and 0 <= edit < len(proj.texts):
            P = prepare_text(proj.texts[edit])
            n = len(P)
            if n <= length:
                out.write_at(base + s, P + b"\0" * (length - n))
            else:
                out.write_at(base + s, b"\0" * length)
                out.write_at(base + link, struct.pack(">I", (end + proj.base) & U32))
                added = P
                stripped = proj.texts[edit].replace(b"\r", b"").rstrip(b"\n")
                if len(stripped) % 2 == 0:
                    added = P + b"\0\0"  # an even text gets a terminator and keeps the next even
                reloc += added
                end = (end + len(added)) & U32
    if reloc:
        out.write_at(base + L, bytes(reloc))
    new_size = (end + 3) & ~3
    out.write_at(base + end, b"\0" * (new_size - end))
    if new_size > 0:
        # For a unit shorter than its header the zero padding below covers
        # these fields again; an empty unit stays empty.
        out.write_at(base + 116, struct.pack(">I", new_size))
        unit_now = out.read_at(base, new_size)
        out.write_at(base + 120, struct.pack(">I", sum_words(unit_now, new_size)))
    padded = (new_size + 2047) // 2048 * 2048
    out.write_at(base + new_size, b"\0" * (padded - new_size))
    out.seek(base + padded)
    return out, padded


# --------------------------------------------------------------------------
# Loader directory


MAKER_TABLE = [
    (b"AISIN-AW", 3947658, 1005219),
    (b"PANASONIC", 4019390, 1022789),
    (b"TOYOTA", 3950370, 1009544),
    (b"DENSO", 3945853, 1007932),
    (b"DENSO", None, None),
    (b"VOLKSWAGEN", 310392, 1510128),
    (b"MITSUBISHI", 3894568, 1004808),
    (b"GENERAL MOTORS", -2391568, 1219088),
]


def sign_magnitude24(v: int) -> int:
    return -(v & 0x7FFFFF) if v & 0x800000 else v & 0x7FFFFF


def read_position(data: bytes, pos: int) -> tuple[int, int]:
    lat = sign_magnitude24(be32(data, pos) >> 8)
    lon = sign_magnitude24(be32(data, pos + 4) >> 8)
    return lon, lat


def maker_name_of(lon: int, lat: int) -> bytes:
    for name, mlon, mlat in MAKER_TABLE:
        if mlon is None:
            if lat == 0x44454E and ((lon >> 16) & 0xFF) == 0x4F:
                return name
        elif lon == mlon and lat == mlat:
            return name
    return b""


def decode_sector_address(v: int) -> int:
    if v == U32:
        return -1
    return (v >> 8) * 2048 + (v & 0x3F) * 32


def decode_word_offset(v: int, base: int) -> int:
    if v == U32:
        return -1
    return base + ((2 * v) & U32)


@dataclass
class UnitInfo:
    size: int
    offset: int
    name: bytes


@dataclass
class ModuleInfo:
    name: bytes = b""
    short_name: bytes = b""
    start: int = 0
    length: int = 0
    record_offset: int = 0
    split: bool = False
    units: list = field(default_factory=list)


@dataclass
class MakerInfo:
    lon: int
    lat: int
    name: bytes
    modules: list


@dataclass
class Loader:
    valid: bool
    makers: list


def parse_loader(data: bytes) -> Loader:
    count = be16(data, 0)
    if not (1 <= count <= 19) or len(data) < 2048:
        return Loader(False, [])
    makers = []
    for i in range(count):
        p = 4 + 16 * i
        lon, lat = read_position(data, p)
        mc = be16(data, p + 12)
        if mc == 0 or mc >= 50:
            return Loader(False, [])
        makers.append(MakerInfo(lon, lat, maker_name_of(lon, lat), [ModuleInfo() for _ in range(mc)]))
    p = 4 + 16 * count
    for mk in makers:
        for mod in mk.modules:
            mod.name = fixed_text(data, p + 4, 52)
            mod.short_name = fixed_text(data, p + 56, 8)
            p += 64
        for mod in mk.modules:
            mod.start = be32(data, p + 250)
            mod.length = be16(data, p + 254) * 2048
            mod.record_offset = p
            if mk.name == b"AISIN-AW":
                mod.start = decode_sector_address(be32(data, p + 250)) & U32
                if mod.start + mod.length <= len(data):
                    _read_units(data, mod, p)
            elif mk.name == b"DENSO":
                mod.start = (be32(data, p + 250) * 2048) & U32
            p += 256
    return Loader(True, makers)


def _read_units(data: bytes, mod: ModuleInfo, p: int) -> None:
    t = p + 68
    if be16(data, t) == 1:
        mod.units.append(UnitInfo(be32(data, t + 16),
                                  decode_word_offset(be32(data, t + 12), mod.start) & U32,
                                  fixed_text(data, t + 4, 8)))
        t = mod.start
        mod.split = True
    n = be16(data, t)
    for k in range(n):
        e = t + 4 + 16 * k
        mod.units.append(UnitInfo(be32(data, e + 12),
                                  decode_word_offset(be32(data, e + 8), mod.start) & U32,
                                  fixed_text(data, e, 8)))


def is_source_suitable(proj: Project, data: bytes | None) -> bool:
    if data is None:
        return False
    d = parse_loader(data)
    if not (0 <= proj.maker_index < len(d.makers)):
        return False
    mk = d.makers[proj.maker_index]
    if mk.name != b"AISIN-AW":
        return False
    if not (0 <= proj.module_index < len(mk.modules)):
        return False
    mod = mk.modules[proj.module_index]
    if not (0 <= proj.unit_index < len(mod.units)):
        return False
    u = mod.units[proj.unit_index]
    if u.name != proj.unit_name or u.offset != proj.unit_offset:
        return False
    hdr = read_unit_header(data, proj.unit_offset)
    return hdr.tag[:8] == proj.unit_tag[:8] and hdr.checksum == proj.checksum


@dataclass
class RebuildResult:
    data: bytes
    unit_positions: list  # where each unit starts in the new loader


def rebuild_loader(proj: Project, src: bytes) -> RebuildResult:
    return rebuild_loader_units([proj], src)


def rebuild_loader_units(projs: list, src: bytes) -> RebuildResult:
    """The loader that carries the units of several projects of one module:
    each project's unit built in its place, every other unit copied. The
    first project names the maker entry and the module."""
    proj = projs[0]
    by_unit = {p.unit_index: p for p in projs}
    d = parse_loader(src)
    mk = d.makers[proj.maker_index]
    mod = mk.modules[proj.module_index]
    out = WriteBuffer()
    out.write_at(0, b"\x00\x01\x00\x00")
    out.write(read_bytes(src, 4 + 16 * proj.maker_index, 12))
    out.write(b"\x00\x01\x00\x00")
    # the module's name record
    p = 4 + 16 * len(d.makers)
    for i in range(proj.maker_index):
        p += (64 + 256) * len(d.makers[i].modules)
    out.write(read_bytes(src, p + 64 * proj.module_index, 64))
    out.write(read_bytes(src, mod.record_offset, 256))
    out.write_at(334, b"\x00\x00\x01\x00")
    out.write_at(340, b"\0" * (2048 - 340))
    w = 2048
    table_base, shift = 152, 0
    positions = []
    count = len(mod.units)
    for i, u in enumerate(mod.units):
        if i == 0 and mod.split:
            out.write_at(w, read_bytes(src, mod.start, 4 + 16 * (count - 1)))
            w = 2048 + ((u.offset - mod.start) & U32)
        if i > 0:
            out.write_at(table_base + 12 + 16 * (i - shift), struct.pack(">I", ((w - 2048) // 2) & U32))
        elif not mod.split and u.offset != mod.start:
            # unit 0 is placed at the module start: its entry says so
            out.write_at(table_base + 12, b"\0\0\0\0")
        positions.append(w)
        out.seek(w)
        if i in by_unit:
            build_unit(by_unit[i], out)
        else:
            out.write(read_bytes(src, u.offset, u.size))
            if u.size % 2:
                out.write(b"\0")
        w = out.pos
        if i == 0 and mod.split:
            table_base, shift = 2048, 1
    n = w - 2048
    N = (n + 2047) // 2048 * 2048
    out.write_at(w, b"\0" * (N - n))
    out.write_at(338, struct.pack(">H", (N // 2048) & 0xFFFF))
    return RebuildResult(bytes(out.buf), positions)


# --------------------------------------------------------------------------
# Text export and import

FILTERS = ("all", "no-hidden", "only-edited", "final", "untranslated", "to-review")


def visible_rows(proj: Project, filt: str) -> list[int]:
    rows = []
    for i, r in enumerate(proj.phrases):
        if r[3] & PF_LINK:
            continue
        if filt == "only-edited" and r[4] < 0:
            continue
        if filt == "no-hidden" and r[3] & PF_HIDE:
            continue
        if filt == "final" and not r[3] & PF_ON:
            continue
        if filt == "untranslated" and r[4] >= 0:
            continue
        if filt == "to-review" and (r[4] < 0 or r[3] & PF_ON):
            continue
        rows.append(i)
    return rows


def export_phrases(proj: Project, filt: str = "all", japanese: bool = False) -> bytes:
    out = bytearray(b"\xff\xfe" if japanese else b"")
    for i in visible_rows(proj, filt):
        entry = str(i).encode() + b" = " + proj.origin_text(i) + b"\r\n"
        if japanese:
            u = entry.decode("cp932")
            if u:
                out += u.encode("utf-16-le")
        else:
            out += entry
    return bytes(out)


class ImportError_(Exception):
    pass


def import_phrases_unicode(proj: Project, data: bytes, codec: str) -> int:
    """A text file that starts with a byte-order mark (FF FE UTF-16 LE, EF BB BF
    UTF-8): the same line rules, counted in characters, and each entry's text
    encoded in codec; an entry with a character codec cannot hold is skipped.
    Returns the count of entries attached."""
    if data[:2] == b"\xff\xfe":
        text = data[2:].decode("utf-16-le", errors="replace")
    elif data[:3] == b"\xef\xbb\xbf":
        text = data[3:].decode("utf-8", errors="replace")
    else:
        raise ValueError("no byte-order mark")
    counter = 0
    pending = None  # [index, text]

    def flush() -> None:
        nonlocal counter, pending
        if pending is None:
            return
        index, entry = pending
        pending = None
        try:
            encoded = entry.encode(codec)
        except UnicodeEncodeError:
            return
        proj.texts.append(encoded)
        proj.phrases[index][4] = len(proj.texts) - 1
        counter += 1

    for line in split_lines(text):
        e = line.find("=")
        if e >= 1 and len(line) - (e + 1) >= 2:
            flush()
            digits = "".join(c for c in line[:e] if "0" <= c <= "9")
            index = None
            if digits:
                value = int(digits)
                if value > 0x7FFFFFFF:
                    raise ImportError_("'%s' is not a valid integer value" % digits[:40])
                index = value
            entry = line[e + 2:].lstrip(" ")
            if entry and index is not None and index < len(proj.phrases) \
                    and not proj.phrases[index][3] & PF_LINK:
                pending = [index, entry]
        elif e < 0 and len(line) >= 2:
            if pending is not None:
                pending[1] += "\n" + line
    flush()
    return counter


def split_lines(data):
    """The lines of bytes or of a str, up to the first NUL."""
    text = isinstance(data, str)
    nul, cr, lf = ("\0", "\r", "\n") if text else (b"\0", b"\r", b"\n")
    z = data.find(nul)
    if z >= 0:
        data = data[:z]
    lines = []
    start = 0
    i = 0
    while i < len(data):
        c = data[i:i + 1]
        if c == cr or c == lf:
            lines.append(data[start:i])
            if c == cr and data[i + 1:i + 2] == lf:
                i += 1
            start = i + 1
        i += 1
    if start < len(data):
        lines.append(data[start:])
    return lines


def entry_line_count(data) -> int:
    """How many lines of a phrase text file (bytes, or a str already decoded)
    are entry lines: an "=" at position 2 or later with at least two more
    characters after it. A file with none is no phrase file at all."""
    eq = "=" if isinstance(data, str) else b"="
    count = 0
    for line in split_lines(data):
        e = line.find(eq)
        if e >= 1 and len(line) - (e + 1) >= 2:
            count += 1
    return count


def import_phrases(proj: Project, data: bytes) -> int:
    """Attaches the texts of a phrase text file; returns the count, or raises
    ImportError_ with the message for an index that does not fit 32 bits."""
    counter = 0
    current = None
    for line in split_lines(data):
        e = line.find(b"=")
        if e >= 1 and len(line) - (e + 1) >= 2:
            current = None
            digits = bytes(c for c in line[:e] if 0x30 <= c <= 0x39)
            index = None
            if digits:
                value = int(digits)
                if value > 0x7FFFFFFF:
                    raise ImportError_("'%s' is not a valid integer value" % digits.decode())
                index = value
            text = line[e + 2:].lstrip(b" ")
            if text and index is not None and index < len(proj.phrases) \
                    and not proj.phrases[index][3] & PF_LINK:
                proj.texts.append(text)
                proj.phrases[index][4] = len(proj.texts) - 1
                counter += 1
                current = index
        elif e < 0 and len(line) >= 2:
            if current is not None:
                k = proj.phrases[current][4]
                proj.texts[k] = proj.texts[k] + b"\n" + line
        # any other line: no effect
    return counter
