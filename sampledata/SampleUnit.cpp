// Synthetic loading units: header, code-like filler, pointer tables and
// string areas.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "sampledata/SampleData.h"
#include "sampledata/SampleRandom.h"

namespace velmora::sample {

namespace {

constexpr uint32_t kTrailingFillerWords = 32;  // keeps every string clear of the image's last bytes

uint32_t Align4(uint64_t v) {
  if (v > 0xFFFFFFFCull) throw std::invalid_argument("sample unit: larger than 4 GB");
  return static_cast<uint32_t>(RoundUp(v, 4));
}

// One planned pointer word.
struct PointerSlot {
  uint32_t offset;
  size_t string;
};

struct Range {
  uint32_t begin;
  uint32_t end;
};

void CheckText(const std::string& text, size_t maxLength, const char* what) {
  if (text.size() > maxLength)
    throw std::invalid_argument(std::string("sample unit: ") + what + " longer than " + std::to_string(maxLength) +
                                " bytes");
}

}  // namespace

// 32-bit RISC instruction forms: fixed bits and the bits that vary
// (registers, displacements, immediates). Common forms appear twice.
struct InstructionForm {
  uint32_t fixed;
  uint32_t varying;
};
constexpr InstructionForm kForms[16] = {
    {0x38000000u, 0x03FFFFFFu},  // addi rD,rA,imm
    {0x38000000u, 0x03FFFFFFu},
    {0x3C000000u, 0x03E0FFFFu},  // lis rD,imm
    {0x80010000u, 0x03E000FCu},  // lwz rD,d(r1)
    {0x80010000u, 0x03E000FCu},
    {0x90010000u, 0x03E000FCu},  // stw rS,d(r1)
    {0x90010000u, 0x03E000FCu},
    {0x7C000378u, 0x03FFF800u},  // or rA,rS,rB
    {0x7C000214u, 0x03FFF800u},  // add rD,rA,rB
    {0x48000001u, 0x0003FFFCu},  // bl
    {0x48000001u, 0x0003FFFCu},
    {0x4E800020u, 0x00000000u},  // blr
    {0x41820000u, 0x0000FFFCu},  // beq
    {0x2C000000u, 0x001F00FFu},  // cmpwi rA,imm
    {0x60000000u, 0x00000000u},  // nop
    {0x7C0802A6u, 0x00000000u},  // mflr r0
};

uint32_t CodeLikeWord(Rng& rng, uint32_t baseAddress, uint32_t unitSize) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const uint64_t r = rng.Next64();
    const InstructionForm& f = kForms[r >> 60];
    const uint32_t w = f.fixed | (static_cast<uint32_t>(r) & f.varying);
    // Never a value that points into the unit.
    if (w - baseAddress >= unitSize) return w;
  }
  // Wraps to an offset far beyond any unit.
  return baseAddress - 4u;
}

SampleUnit MakeUnit(const UnitRecipe& desc) {
  CheckText(desc.tag, 42, "tag");
  CheckText(desc.makerText, 64, "maker text");

  std::vector<const StringTable*> tables;
  StringTable mainTable{desc.strings, desc.order, desc.pointerOrder};
  tables.push_back(&mainTable);
  for (const auto& t : desc.moreTables) tables.push_back(&t);

  SampleUnit unit;
  unit.baseAddress = desc.baseAddress;
  for (size_t t = 0; t < tables.size(); ++t) {
    for (const auto& s : tables[t]->strings) {
      if (s.bytes.empty() || s.bytes.size() > 511)
        throw std::invalid_argument("sample unit: a string must have 1 to 511 bytes");
      if (s.bytes.find('\0') != std::string::npos)
        throw std::invalid_argument("sample unit: a string must not hold a zero byte");
      if (s.pointers < 1) throw std::invalid_argument("sample unit: a string needs at least one pointer");
      PlacedString p;
      p.length = static_cast<uint32_t>(s.bytes.size());
      p.table = t;
      unit.strings.push_back(p);
    }
  }

  Rng rng(desc.seed);
  std::vector<Range> filler;
  std::vector<PointerSlot> slots;
  uint64_t pos = kUnitHeaderSize;
  auto addFiller = [&](uint64_t words) {
    const auto begin = static_cast<uint32_t>(pos);
    pos += 4 * words;
    filler.push_back({begin, Align4(pos)});
  };

  // Code, then each table's pointer words in the table's order.
  addFiller(desc.codeWordsBefore);
  size_t first = 0;
  std::vector<size_t> tableFirst;
  for (const StringTable* t : tables) {
    tableFirst.push_back(first);
    std::vector<size_t> order(t->strings.size());
    std::iota(order.begin(), order.end(), first);
    if (!t->pointerOrder.empty()) {
      std::vector<bool> seen(order.size(), false);
      if (t->pointerOrder.size() != order.size())
        throw std::invalid_argument("sample unit: a pointer order must list every string of its table once");
      for (size_t k = 0; k < order.size(); ++k) {
        const size_t s = t->pointerOrder[k];
        if (s >= order.size() || seen[s])
          throw std::invalid_argument("sample unit: a pointer order must list every string of its table once");
        seen[s] = true;
        order[k] = first + s;
      }
    } else if (t->order == Order::Reversed) {
      std::reverse(order.begin(), order.end());
    } else if (t->order == Order::Scattered) {
      rng.Shuffle(order);
    }
    for (size_t s : order) {
      slots.push_back({Align4(pos), s});
      pos += 4;
    }
    addFiller(16 + rng.Below(16));
    first += t->strings.size();
  }

  // Further pointers to shared strings: a reference table after the code
  // that the first pointers live in, so every string's first pointer stays
  // in its own table.
  std::vector<size_t> extra;
  {
    size_t index = 0;
    for (const StringTable* t : tables)
      for (const auto& s : t->strings) {
        for (int k = 1; k < s.pointers; ++k) extra.push_back(index);
        ++index;
      }
  }
  if (!extra.empty()) {
    rng.Shuffle(extra);
    for (size_t s : extra) {
      slots.push_back({Align4(pos), s});
      pos += 4;
    }
    addFiller(16 + rng.Below(16));
  }

  // String areas: strings in given order, each starting at the first
  // 4-aligned byte after the previous one's zero byte (at most 4 bytes on).
  std::vector<Range> stringAreas;
  {
    size_t index = 0;
    for (size_t t = 0; t < tables.size(); ++t) {
      const auto areaBegin = Align4(pos);
      for (const auto& s : tables[t]->strings) {
        unit.strings[index].offset = Align4(pos);
        pos = unit.strings[index].offset + s.bytes.size() + 1;
        ++index;
      }
      pos = Align4(pos);
      stringAreas.push_back({areaBegin, static_cast<uint32_t>(pos)});
      addFiller(t + 1 < tables.size() ? 16 + rng.Below(32) : kTrailingFillerWords);
    }
  }
  const uint32_t size = std::max(Align4(pos), Align4(desc.minSize));
  filler.back().end = size;

  // Bytes.
  unit.bytes.assign(size, 0);
  uint8_t* b = unit.bytes.data();
  for (const Range& r : filler)
    for (uint32_t off = r.begin; off + 4 <= r.end; off += 4) StoreBE32(b + off, CodeLikeWord(rng, desc.baseAddress, size));
  for (const PointerSlot& s : slots) {
    StoreBE32(b + s.offset, desc.baseAddress + unit.strings[s.string].offset);
    unit.strings[s.string].pointerOffsets.push_back(s.offset);
  }
  {
    size_t index = 0;
    for (const StringTable* t : tables)
      for (const auto& s : t->strings) std::memcpy(b + unit.strings[index++].offset, s.bytes.data(), s.bytes.size());
  }

  // Header.
  if (desc.tag.size() <= 9) std::memcpy(b + 16, "V1.00", 5);
  std::memcpy(b + kUnitTagOffset, desc.tag.data(), desc.tag.size());
  std::memcpy(b + kMakerTextOffset, desc.makerText.data(), desc.makerText.size());
  StoreBE32(b + kBaseAddressOffset, desc.baseAddress);
  StoreBE32(b + kUnitSizeOffset, size);
  const uint32_t sum = SumWords(b, size);
  unit.checksum = desc.corruptChecksum ? ~sum : sum;
  StoreBE32(b + kUnitChecksumOffset, unit.checksum);

  // Bookkeeping for the tests.
  for (auto& s : unit.strings) {
    std::sort(s.pointerOffsets.begin(), s.pointerOffsets.end());
    s.firstPointer = s.pointerOffsets.front();
    unit.stringOffsets.push_back(s.offset);
  }
  unit.pointerOffsets.reserve(slots.size());
  for (const PointerSlot& s : slots) unit.pointerOffsets.push_back(s.offset);
  std::sort(unit.pointerOffsets.begin(), unit.pointerOffsets.end());
  unit.scanOrder.resize(unit.strings.size());
  std::iota(unit.scanOrder.begin(), unit.scanOrder.end(), size_t{0});
  std::sort(unit.scanOrder.begin(), unit.scanOrder.end(),
            [&](size_t x, size_t y) { return unit.strings[x].firstPointer < unit.strings[y].firstPointer; });

  // The string bytes themselves must not read as pointers into the unit
  // (filler cannot by construction, and is checked too).
  size_t next = 0;
  for (uint32_t off = kUnitHeaderSize; off + 4 <= size; off += 4) {
    if (next < unit.pointerOffsets.size() && unit.pointerOffsets[next] == off) {
      ++next;
      continue;
    }
    const uint32_t v = LoadBE32(b + off) - desc.baseAddress;
    if (v != 0 && v <= size - 16)
      throw std::invalid_argument("sample unit: the word at offset " + std::to_string(off) +
                                  " reads as a pointer into the unit; choose another base address");
  }
  return unit;
}

std::vector<TPhrase> ExpectedRecords(const SampleUnit& unit, bool firstShown) {
  std::vector<PointerSlot> slots;
  for (size_t i = 0; i < unit.strings.size(); ++i)
    for (uint32_t p : unit.strings[i].pointerOffsets) slots.push_back({p, i});
  std::sort(slots.begin(), slots.end(), [](const PointerSlot& x, const PointerSlot& y) { return x.offset < y.offset; });

  std::vector<TPhrase> records;
  std::unordered_map<size_t, size_t> phraseOf;
  bool havePrev = false;
  uint32_t prevEnd = 0;
  for (const PointerSlot& s : slots) {
    if (records.size() > kMaxPhraseRecords) break;
    const PlacedString& str = unit.strings[s.string];
    TPhrase r;
    r.LinkAddress = s.offset;
    r.StringAddress = str.offset;
    r.Length = static_cast<uint16_t>(str.length);
    const auto found = phraseOf.find(s.string);
    if (found != phraseOf.end()) {
      r.Flags = pfLink;
      r.MasterIndex = static_cast<int16_t>(found->second);
    } else {
      const bool shown = havePrev ? (prevEnd <= str.offset && str.offset <= prevEnd + 4) : firstShown;
      r.Flags = shown ? 0 : pfHide;
      prevEnd = str.offset + str.length;
      havePrev = true;
      phraseOf.emplace(s.string, records.size());
    }
    records.push_back(r);
  }
  return records;
}

}  // namespace velmora::sample
