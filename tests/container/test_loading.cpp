#include "container/kiwi/Loading.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "container/io/ByteOrder.h"
#include "analysis/UnitHeader.h"
#include "container/io/StreamErrors.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::TempDir;
using test::WriteFile;

// Makers by their table coordinates (longitude, latitude).
struct Coord { int32_t lon, lat; };
constexpr Coord kAisin{3947658, 1005219};
constexpr Coord kDenso{3945853, 1007932};
constexpr Coord kToyota{3950370, 1009544};
constexpr Coord kNobody{1, 2};

uint32_t SignMagnitude24(int32_t v) { return v < 0 ? 0x800000u | static_cast<uint32_t>(-v) : static_cast<uint32_t>(v); }

struct UnitEntry {
  std::string name;
  uint32_t wordOffset = 0;
  uint32_t size = 0;
};

struct ModuleRecipe {
  std::string name = "MODULE";
  std::string shortName = "MOD";
  uint32_t startField = 0;  // bytes 250-253 as stored
  uint16_t sectors = 0;
  uint16_t tableCount = 0;  // bytes 68-69
  std::vector<UnitEntry> entries;  // written from record byte 72 on
};

struct MakerRecipe {
  Coord coord = kAisin;
  std::vector<ModuleRecipe> modules;
};

// A hand-made LOADING.KWI laid out as the directory is read.
class Loader {
 public:
  explicit Loader(size_t size) : bytes(size, 0) {}

  void Put8(size_t pos, uint8_t v) { Grow(pos + 1); bytes[pos] = v; }
  void Put16(size_t pos, uint16_t v) { Grow(pos + 2); StoreBE16(&bytes[pos], v); }
  void Put32(size_t pos, uint32_t v) { Grow(pos + 4); StoreBE32(&bytes[pos], v); }
  void PutText(size_t pos, const std::string& s) {
    Grow(pos + s.size());
    std::memcpy(&bytes[pos], s.data(), s.size());
  }
  void PutEntry(size_t pos, const UnitEntry& e) {
    PutText(pos, e.name.substr(0, 8));
    Put32(pos + 8, e.wordOffset);
    Put32(pos + 12, e.size);
  }

  // Lays out maker records, name records and module records; returns the
  // position of every module record, maker by maker.
  std::vector<size_t> Directory(const std::vector<MakerRecipe>& makers) {
    std::vector<size_t> records;
    Put16(0, static_cast<uint16_t>(makers.size()));
    for (size_t i = 0; i < makers.size(); ++i) {
      const size_t p = 4 + 16 * i;
      const uint32_t lat = SignMagnitude24(makers[i].coord.lat), lon = SignMagnitude24(makers[i].coord.lon);
      Put32(p, lat << 8 | 0x5A);  // byte 3 is not read
      Put32(p + 4, lon << 8 | 0xA5);
      Put8(p + 8, static_cast<uint8_t>(0x40 + i));
      Put16(p + 10, static_cast<uint16_t>(0x1000 + i));
      Put16(p + 12, static_cast<uint16_t>(makers[i].modules.size()));
    }
    size_t p = 4 + 16 * makers.size();
    for (const auto& maker : makers) {
      for (const auto& m : maker.modules) {
        Put8(p, 0x77);
        PutText(p + 4, m.name);
        PutText(p + 56, m.shortName);
        p += 64;
      }
      for (const auto& m : maker.modules) {
        records.push_back(p);
        Put16(p, 0xAAAA);
        Put16(p + 2, 0xBBBB);
        PutText(p + 4, "record text");
        Put16(p + 68, m.tableCount);
        for (size_t k = 0; k < m.entries.size(); ++k) PutEntry(p + 72 + 16 * k, m.entries[k]);
        Put32(p + 250, m.startField);
        Put16(p + 254, m.sectors);
        p += 256;
      }
    }
    return records;
  }

  std::string Save(const TempDir& dir, const std::string& name = "LOADING.KWI") const {
    const std::string path = dir.File(name);
    WriteFile(path, bytes);
    return path;
  }

  std::vector<uint8_t> bytes;

 private:
  void Grow(size_t end) {
    if (end > bytes.size()) bytes.resize(end, 0);
  }
};

// A sector address for a byte position on a block boundary.
uint32_t SectorAddress(uint32_t pos) { return (pos / 2048) << 8 | (pos % 2048) / 32; }

ModuleRecipe Module(uint16_t tableCount, std::vector<UnitEntry> entries, uint32_t startField = SectorAddress(4096),
                  uint16_t sectors = 1) {
  ModuleRecipe m;
  m.tableCount = tableCount;
  m.entries = std::move(entries);
  m.startField = startField;
  m.sectors = sectors;
  return m;
}

void ExpectInvalid(const TLN_Loading& l) {
  EXPECT_FALSE(l.Valid);
  EXPECT_EQ(l.Frame.MakerCount, 0);
  EXPECT_TRUE(l.Frame.Makers.empty());
}

TEST(LoadingValidity, CountsAndSize) {
  struct Case {
    const char* what;
    size_t makers;
    size_t modulesEach;
    size_t fileSize;
    bool valid;
  };
  const Case cases[] = {
      {"no maker entries", 0, 1, 4096, false},
      {"one maker, one module", 1, 1, 4096, true},
      {"19 makers", 19, 1, 8192, true},
      {"20 makers (00 14)", 20, 1, 8192, false},
      {"49 modules", 1, 49, 32768, true},
      {"50 modules", 1, 50, 32768, false},
      {"maker without modules", 1, 0, 4096, false},
      {"2047 bytes", 1, 1, 2047, false},
      {"exactly 2048 bytes", 1, 1, 2048, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::vector<MakerRecipe> makers(c.makers);
    for (auto& m : makers) m.modules.assign(c.modulesEach, Module(0, {}, 0, 0));
    Loader l(0);
    l.Directory(makers);
    l.bytes.resize(c.fileSize, 0);  // may cut the directory itself (2047 bytes)
    TLN_Loading d(l.Save(dir));
    EXPECT_EQ(d.FileName, dir.File("LOADING.KWI"));
    if (c.valid) {
      EXPECT_TRUE(d.Valid);
      EXPECT_EQ(d.Frame.MakerCount, c.makers);
      ASSERT_EQ(d.Frame.Makers.size(), c.makers);
      for (const auto& m : d.Frame.Makers) {
        EXPECT_EQ(m.ModuleCount, c.modulesEach);
        EXPECT_EQ(m.Modules.size(), c.modulesEach);
      }
    } else {
      ExpectInvalid(d);
    }
  }
}

TEST(LoadingValidity, ABadModuleCountInALaterMakerDropsEverything) {
  TempDir dir;
  Loader l(8192);
  l.Directory({{kAisin, {Module(1, {{"APM", 0, 100}})}}, {kToyota, {Module(0, {})}}});
  l.Put16(4 + 16 + 12, 50);
  ExpectInvalid(TLN_Loading(l.Save(dir)));
}

TEST(LoadingValidity, EmptyShortAndMissingFiles) {
  TempDir dir;
  for (size_t size : {0u, 1u, 2u, 100u}) {
    Loader l(size);
    if (size >= 2) l.Put16(0, 1);
    ExpectInvalid(TLN_Loading(l.Save(dir)));
  }
  EXPECT_THROW(TLN_Loading(dir.File("NOPE.KWI")), EFOpenError);
}

TEST(LoadingLayout, RecordPositionsFollowTheMakerOrder) {
  TempDir dir;
  Loader l(4096);
  std::vector<MakerRecipe> makers = {{kToyota, {Module(0, {}, 7), Module(0, {}, 8)}},
                                   {kNobody, {Module(0, {}, 9), Module(0, {}, 10), Module(0, {}, 11)}}};
  const char* names[] = {"first A", "first B", "second A", "second B", "second C"};
  int n = 0;
  for (auto& mk : makers)
    for (auto& m : mk.modules) {
      m.name = names[n];
      m.shortName = "S" + std::to_string(n++);
    }
  const auto records = l.Directory(makers);
  ASSERT_EQ(records, (std::vector<size_t>{164, 420, 868, 1124, 1380}));
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  ASSERT_EQ(d.Frame.Makers.size(), 2u);
  const auto& first = d.Frame.Makers[0];
  const auto& second = d.Frame.Makers[1];
  EXPECT_EQ(first.MakerName, "TOYOTA");
  EXPECT_EQ(first.Longitude, kToyota.lon);
  EXPECT_EQ(first.Latitude, kToyota.lat);
  EXPECT_EQ(first.IdByte, 0x40);
  EXPECT_EQ(first.IdWord, 0x1000);
  EXPECT_EQ(second.MakerName, "");
  EXPECT_EQ(second.IdWord, 0x1001);
  EXPECT_EQ(first.Modules[0].RecordOffset, 164);
  EXPECT_EQ(first.Modules[1].RecordOffset, 420);
  EXPECT_EQ(second.Modules[0].RecordOffset, 868);
  n = 0;
  for (const auto* mk : {&first, &second})
    for (const auto& m : mk->Modules) {
      EXPECT_EQ(m.Name, names[n]);
      EXPECT_EQ(m.ShortName, "S" + std::to_string(n++));
      EXPECT_EQ(m.NameByte, 0x77);
      EXPECT_EQ(m.RecordWord0, 0xAAAA);
      EXPECT_EQ(m.RecordWord2, 0xBBBB);
      EXPECT_EQ(m.RecordText, "record text");
      EXPECT_EQ(m.UnitCount, 0);
      EXPECT_TRUE(m.Units.empty());  // units only for AISIN-AW
    }
  // Neither TOYOTA nor an unnamed maker changes the stored start.
  EXPECT_EQ(first.Modules[1].Start, 8u);
  EXPECT_EQ(second.Modules[2].Start, 11u);
  // The name record of the second maker's first module lies at 676.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&l.bytes[676 + 4])), "second A");
}

TEST(LoadingUnits, RecordTableLayout) {
  TempDir dir;
  Loader l(8192);
  l.Directory({{kAisin,
                {Module(3, {{"APM", 0x10, 300}, {"DICTIONA", 0x100, 200}, {"X", 0xFFFFFFFF, 5}},
                        SectorAddress(2048), 2)}}});
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  const auto& m = d.Frame.Makers[0].Modules[0];
  EXPECT_EQ(d.Frame.Makers[0].MakerName, "AISIN-AW");
  EXPECT_FALSE(m.SplitTable);
  EXPECT_EQ(m.Start, 2048u);
  EXPECT_EQ(m.Length, 4096u);
  ASSERT_EQ(m.UnitCount, 3);
  ASSERT_EQ(m.Units.size(), 3u);
  EXPECT_EQ(m.Units[0].Name, "APM");
  EXPECT_EQ(m.Units[0].Offset, 2080u);
  EXPECT_EQ(m.Units[0].Size, 300u);
  EXPECT_EQ(m.Units[1].Name, "DICTIONA");  // 8 bytes, no zero
  EXPECT_EQ(m.Units[1].Offset, 2048u + 0x200u);
  EXPECT_EQ(m.Units[2].Offset, 0xFFFFFFFFu);  // no offset
}

TEST(LoadingUnits, SplitLayoutTakesFurtherUnitsFromTheModuleStart) {
  TempDir dir;
  Loader l(16384);
  l.Directory({{kAisin, {Module(1, {{"APM", 0x400, 1000}}, SectorAddress(8192) | 0xC0, 4)}}});
  l.Put16(8192, 3);
  l.Put16(8194, 0xFFFF);  // not read
  l.PutEntry(8196, {"U1", 0x800, 11});
  l.PutEntry(8212, {"U2", 0x900, 22});
  l.PutEntry(8228, {"U3", 0xA00, 33});
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  const auto& m = d.Frame.Makers[0].Modules[0];
  EXPECT_TRUE(m.SplitTable);
  EXPECT_EQ(m.Start, 8192u);  // bits 6 and 7 of the sector address are ignored
  ASSERT_EQ(m.UnitCount, 4);
  ASSERT_EQ(m.Units.size(), 4u);
  const char* names[] = {"APM", "U1", "U2", "U3"};
  const uint32_t offsets[] = {8192 + 0x800, 8192 + 0x1000, 8192 + 0x1200, 8192 + 0x1400};
  const uint32_t sizes[] = {1000, 11, 22, 33};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(m.Units[i].Name, names[i]);
    EXPECT_EQ(m.Units[i].Offset, offsets[i]);
    EXPECT_EQ(m.Units[i].Size, sizes[i]);
  }
}

TEST(LoadingUnits, ModuleThatRunsPastTheEndKeepsNoUnits) {
  for (const size_t size : {8191u, 8192u}) {
    SCOPED_TRACE(size);
    TempDir dir;
    Loader l(size);
    l.Directory({{kAisin, {Module(2, {{"A", 0, 1}, {"B", 1, 1}}, SectorAddress(4096), 2)}}});
    TLN_Loading d(l.Save(dir));
    ASSERT_TRUE(d.Valid);
    const auto& m = d.Frame.Makers[0].Modules[0];
    EXPECT_EQ(m.Start, 4096u);
    EXPECT_EQ(m.UnitCount, size == 8192 ? 2 : 0);
    EXPECT_EQ(m.Units.size(), m.UnitCount);
  }
  // A module without an address never fits.
  TempDir dir;
  Loader l(8192);
  l.Directory({{kAisin, {Module(1, {{"A", 0, 1}}, 0xFFFFFFFF, 0)}}});
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  EXPECT_EQ(d.Frame.Makers[0].Modules[0].Start, 0xFFFFFFFFu);
  EXPECT_EQ(d.Frame.Makers[0].Modules[0].UnitCount, 0);
}

TEST(LoadingUnits, DensoStartsCountSectorsAndHaveNoUnits) {
  TempDir dir;
  Loader l(4096);
  l.Directory({{kDenso, {Module(2, {{"A", 0, 1}, {"B", 1, 1}}, 5, 1)}}, {kAisin, {Module(0, {}, 0, 0)}}});
  // The same coordinates written as text: "DEN" + 'O'.
  l.PutText(4 + 16, "DEN?O");
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  EXPECT_EQ(d.Frame.Makers[0].MakerName, "DENSO");
  EXPECT_EQ(d.Frame.Makers[1].MakerName, "DENSO");
  const auto& m = d.Frame.Makers[0].Modules[0];
  EXPECT_EQ(m.Start, 10240u);
  EXPECT_EQ(m.UnitCount, 0);
  EXPECT_TRUE(m.Units.empty());
  EXPECT_FALSE(m.SplitTable);
}

// A record table count above 11 would take entries from the module's start
// and length fields and the next record; such a module keeps no units.
TEST(LoadingUnits, TableCountsAtAndAboveTheRecordsRoom) {
  struct Case { uint16_t count; uint16_t units; };
  const Case cases[] = {{0, 0}, {2, 2}, {11, 11}, {12, 0}, {0xFFFF, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    TempDir dir;
    Loader l(8192);
    std::vector<UnitEntry> entries;
    for (int k = 0; k < 11; ++k) entries.push_back({"U" + std::to_string(k), static_cast<uint32_t>(k), 10});
    l.Directory({{kAisin, {Module(c.count, entries), Module(0, {})}}});
    TLN_Loading d(l.Save(dir));
    ASSERT_TRUE(d.Valid);
    const auto& m = d.Frame.Makers[0].Modules[0];
    EXPECT_EQ(m.UnitCount, c.units);
    ASSERT_EQ(m.Units.size(), c.units);
    for (size_t k = 0; k < m.Units.size(); ++k) EXPECT_EQ(m.Units[k].Offset, 4096u + 2 * k);
  }
}

TEST(LoadingUnits, HugeSplitTablesStaySafe) {
  // 65534 entries at the start of a one-sector module: the entries past the
  // end of the file read as zeros.
  {
    TempDir dir;
    Loader l(8192);
    l.Directory({{kAisin, {Module(1, {{"APM", 0, 1}}, SectorAddress(6144), 1)}}});
    l.Put16(6144, 0xFFFE);
    l.PutEntry(6148, {"FIRST", 2, 3});
    TLN_Loading d(l.Save(dir));
    ASSERT_TRUE(d.Valid);
    const auto& m = d.Frame.Makers[0].Modules[0];
    ASSERT_EQ(m.UnitCount, 0xFFFF);
    ASSERT_EQ(m.Units.size(), 0xFFFFu);
    EXPECT_EQ(m.Units[1].Name, "FIRST");
    EXPECT_EQ(m.Units[1].Offset, 6148u);
    EXPECT_EQ(m.Units.back().Name, "");
    EXPECT_EQ(m.Units.back().Offset, 6144u);
    EXPECT_EQ(m.Units.back().Size, 0u);
  }
  // 65535 further units and unit 0 do not fit a 16-bit count: no units.
  {
    TempDir dir;
    Loader l(8192);
    l.Directory({{kAisin, {Module(1, {{"APM", 0, 1}}, SectorAddress(6144), 1)}}});
    l.Put16(6144, 0xFFFF);
    TLN_Loading d(l.Save(dir));
    ASSERT_TRUE(d.Valid);
    EXPECT_EQ(d.Frame.Makers[0].Modules[0].UnitCount, 0);
    EXPECT_TRUE(d.Frame.Makers[0].Modules[0].Units.empty());
  }
}

TEST(LoadingUnits, ManyModulesSharingAHugeTableMakeTheDirectoryInvalid) {
  TempDir dir;
  Loader l(0);
  const uint32_t table = 400 * 2048;
  std::vector<MakerRecipe> makers(19);
  for (auto& mk : makers) mk.modules.assign(49, Module(1, {{"APM", 0, 1}}, SectorAddress(table), 1));
  l.Directory(makers);
  l.Put16(table, 0xFFFE);
  l.bytes.resize(table + 2048, 0);
  ExpectInvalid(TLN_Loading(l.Save(dir)));
}

TEST(LoadingUnitHeader, ReadsTextsAndNumbersAtTheUnitOffset) {
  TempDir dir;
  Loader l(8192);
  l.Directory({{kAisin, {Module(2, {{"APM", 0, 128}, {"END", 0x7E0, 128}}, SectorAddress(4096), 2)}}});
  const size_t u = 4096;
  l.PutText(u + 0, "TEXT0");
  l.PutText(u + 6, "ABC\r\nDEF");
  l.PutText(u + 16, "ABCDEFGHIJKLMNOPQRST");  // 15 kept
  l.PutText(u + 48, "AISIN AW co.LTD");
  l.Put32(u + 112, 0x00400000);
  l.Put32(u + 116, 0x1234);
  l.Put32(u + 120, 0xCAFEBABE);
  // The second unit's header runs past the end of the file at 8192.
  const size_t v = 4096 + 0xFC0;
  l.PutText(v + 6, "TAIL");
  TLN_Loading d(l.Save(dir));
  ASSERT_TRUE(d.Valid);
  const auto& units = d.Frame.Makers[0].Modules[0].Units;
  ASSERT_EQ(units.size(), 2u);
  const auto h = ReadUnitHeader(d, units[0].Offset);
  EXPECT_EQ(h.Text0, "TEXT0");
  EXPECT_EQ(h.UnitTag, "ABC");
  EXPECT_EQ(h.Text16, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(h.MakerText, "AISIN AW co.LTD");
  EXPECT_EQ(h.BaseAddress, 0x00400000u);
  EXPECT_EQ(h.UnitSize, 0x1234u);
  EXPECT_EQ(h.UnitChecksum, 0xCAFEBABEu);
  const auto tail = ReadUnitHeader(d, units[1].Offset);
  EXPECT_EQ(tail.UnitTag, "TAIL");
  EXPECT_EQ(tail.UnitSize, 0u);
  const auto nowhere = ReadUnitHeader(d, 0xFFFFFFFF);
  EXPECT_EQ(nowhere.UnitTag, "");
}

// A loader read through a volume set: reads past its end give zeros, not
// the volume read error.
TEST(LoadingUnitHeader, VolumeSetsReadAsOneFile) {
  TempDir dir;
  Loader l(6144);
  l.Directory({{kAisin, {Module(1, {{"APM", 0, 128}}, SectorAddress(4096), 1)}}});
  l.Put16(4096, 1);
  l.PutEntry(4100, {"LAST", 0x3F8, 16});  // header at 6128 crosses the end
  l.PutText(4096 + 6 + 0, "");
  l.PutText(6128 + 6, "EDGE");
  const std::vector<uint8_t> first(l.bytes.begin(), l.bytes.begin() + 3000);
  const std::vector<uint8_t> second(l.bytes.begin() + 3000, l.bytes.end());
  WriteFile(dir.File("ALLDATA1.KWI"), first);
  WriteFile(dir.File("ALLDATA2.KWI"), second);
  TLN_Loading d(dir.File("ALLDATA1.KWI"));
  ASSERT_TRUE(d.Valid);
  const auto& m = d.Frame.Makers[0].Modules[0];
  ASSERT_EQ(m.UnitCount, 2);
  EXPECT_EQ(m.Units[1].Offset, 6128u);
  EXPECT_EQ(ReadUnitHeader(d, m.Units[1].Offset).UnitTag, "EDGE");
}

}  // namespace
}  // namespace velmora
