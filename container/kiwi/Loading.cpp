#include "container/kiwi/Loading.h"

#include <vector>

#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/io/StreamErrors.h"
#include "container/kiwi/LoaderLayout.h"
#include "container/io/TLN_FileStream.h"

namespace velmora {

namespace {

constexpr uint16_t kMaxMakerCount = 19;
constexpr uint16_t kMaxModuleCount = 49;
using namespace loader_layout;

// Upper bound on the units of a whole directory. Real loaders hold a few
// hundred; the bound keeps a hostile file (many modules sharing one unit
// table of 65535 entries) from allocating gigabytes. A directory that would
// exceed it is treated as malformed.
constexpr size_t kMaxDirectoryUnits = size_t{1} << 18;


// The unit entries of a table: count entries of 16 bytes each from pos.
void ReadUnitEntries(TStream& s, int64_t pos, size_t count, uint32_t moduleStart,
                     std::vector<TLN_Unit_Info>& units) {
  std::vector<uint8_t> table(count * kUnitEntrySize);
  ReadBytesAt(s, pos, table.data(), table.size());
  units.reserve(units.size() + count);
  for (size_t k = 0; k < count; ++k) {
    const uint8_t* e = table.data() + k * kUnitEntrySize;
    TLN_Unit_Info u;
    const char* name = reinterpret_cast<const char*>(e);
    size_t len = 0;
    while (len < 8 && name[len] != '\0') ++len;
    u.Name.assign(name, len);
    // -1 ("no offset") becomes FFFFFFFF; positions are kept in 32 bits.
    u.Offset = static_cast<uint32_t>(DecodeWordOffset(LoadBE32(e + 8), moduleStart));
    u.Size = LoadBE32(e + 12);
    units.push_back(std::move(u));
  }
}

// Units of an "AISIN-AW" module whose 256-byte record lies at p.
//
// A record whose table count is exactly 1 lists unit 0 itself and the other
// units in the table at the module's start (split layout); any other count
// lists every unit in the record. The record has room for 11 entries only:
// a count above 11 would take entries from the module's start and length
// fields and from the next record, so such a damaged record is trusted for
// nothing and the module keeps no units (rather than 11 units whose count
// disagrees with the record, which a rebuild would then write back).
// Likewise a split table whose count cannot be held with unit 0 in a 16-bit
// unit count leaves the module without units.
// Returns false when the directory's unit bound is exceeded.
bool ReadModuleUnits(TStream& s, int64_t p, TLN_Module_Info& m, size_t& unitsSoFar) {
  int64_t t = p + kUnitTableOffset;
  std::vector<TLN_Unit_Info> units;
  bool split = false;
  const uint16_t recordCount = ReadWordBE(s, t);
  if (recordCount == 1) {
    ReadUnitEntries(s, t + 4, 1, m.Start, units);
    t = m.Start;
    split = true;
  } else if (recordCount > kRecordUnitSlots) {
    return true;  // no units
  }
  const uint16_t n = ReadWordBE(s, t);
  const size_t total = size_t{n} + units.size();
  if (total > 0xFFFFu) return true;  // no units
  if (unitsSoFar + total > kMaxDirectoryUnits) return false;
  ReadUnitEntries(s, t + 4, n, m.Start, units);
  m.Units = std::move(units);
  m.UnitCount = static_cast<uint16_t>(total);
  m.SplitTable = split;
  unitsSoFar += total;
  return true;
}

// Parses the directory from s (reads past size deliver zeros). Returns
// false for a malformed directory.
bool ParseDirectory(TStream& s, int64_t size, TLN_Loading_Management_Frame& frame) {
  frame.MakerCount = ReadWordBE(s, 0);
  if (frame.MakerCount < 1 || frame.MakerCount > kMaxMakerCount || size < kMinLoaderSize) return false;

  frame.Makers.resize(frame.MakerCount);
  for (uint16_t i = 0; i < frame.MakerCount; ++i) {
    const int64_t p = 4 + kMakerRecordSize * i;
    auto& maker = frame.Makers[i];
    const TLN_System_Identification id = ReadSystemIdentification(s, p);
    maker.Longitude = id.Position.Longitude;
    maker.Latitude = id.Position.Latitude;
    maker.IdByte = id.IdByte;
    maker.IdWord = id.IdWord;
    maker.MakerName = MakerNameOf(id.Position);
    maker.ModuleCount = ReadWordBE(s, p + 12);
    if (maker.ModuleCount < 1 || maker.ModuleCount > kMaxModuleCount) return false;
    maker.Modules.resize(maker.ModuleCount);
  }

  size_t unitsSoFar = 0;
  int64_t p = 4 + kMakerRecordSize * frame.MakerCount;
  for (auto& maker : frame.Makers) {
    for (auto& m : maker.Modules) {
      m.NameByte = ReadByteAt(s, p);
      m.Name = ReadFixedText(s, 52, p + 4);
      m.ShortName = ReadFixedText(s, 8, p + 56);
      p += kNameRecordSize;
    }
    for (auto& m : maker.Modules) {
      m.RecordWord0 = ReadWordBE(s, p);
      m.RecordWord2 = ReadWordBE(s, p + 2);
      m.RecordText = ReadFixedText(s, 64, p + 4);
      m.Start = ReadDWordBE(s, p + kModuleStartOffset);
      m.Length = static_cast<uint32_t>(ReadWordBE(s, p + kModuleLengthOffset)) * static_cast<uint32_t>(kSectorSize);
      m.UnitCount = 0;
      m.RecordOffset = p;
      m.SplitTable = false;
      if (maker.MakerName == kAisinMakerName) {
        // A sector address; "none" (-1) is kept as FFFFFFFF.
        m.Start = static_cast<uint32_t>(ReadSectorAddress(s, p + kModuleStartOffset));
        const bool fits = int64_t{m.Start} + int64_t{m.Length} <= size;
        if (fits && !ReadModuleUnits(s, p, m, unitsSoFar)) return false;
      } else if (maker.MakerName == kDensoMakerName) {
        // A sector number.
        m.Start = static_cast<uint32_t>(int64_t{m.Start} * kSectorSize);
      }
      p += kModuleRecordSize;
    }
  }
  return true;
}

}  // namespace

TLN_Loading::TLN_Loading(const std::string& path) : FileName(path) {
  // Opening errors pass to the caller; everything after that only decides
  // whether the directory is valid.
  TLN_FileStream stream(path);
  bool ok = false;
  try {
    const int64_t size = stream.Seek(0, SeekOrigin::End);
    stream.Seek(0, SeekOrigin::Begin);
    TBoundedStream bounded(stream, size);
    ok = ParseDirectory(bounded, size, Frame);
  } catch (const EStreamError&) {
    ok = false;
  }
  Valid = ok;
  if (!Valid) Frame = TLN_Loading_Management_Frame{};
}

}  // namespace velmora
