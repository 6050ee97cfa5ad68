// The loader rebuild: suitability of a source, the layout of the new loader
// in both module layouts, and the protection of the source file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "container/kiwi/Loading.h"
#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"
#include "support/TestSupport.h"

using namespace velmora;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint32_t kBase = 0x00400000u;

// Unit bytes: a proper header (tag, maker text, base, size, checksum) when
// the unit is large enough for one, otherwise a recognisable pattern only.
Bytes MakeUnit(uint32_t size, uint8_t seed, const std::string& tag = "TAG") {
  Bytes u(size);
  for (uint32_t i = 0; i < size; ++i) u[i] = static_cast<uint8_t>(seed + i * 7);
  if (size >= kUnitHeaderSize) {
    std::memset(u.data(), 0, kUnitHeaderSize);
    std::memcpy(&u[kUnitTagOffset], tag.data(), std::min<size_t>(tag.size(), 15));
    std::memcpy(&u[kMakerTextOffset], "AISIN AW co.LTD", 15);
    StoreBE32(&u[kBaseAddressOffset], kBase);
    StoreBE32(&u[kUnitSizeOffset], size);
    StoreBE32(&u[kUnitChecksumOffset], SumWords(u.data(), size));
  }
  return u;
}

struct UnitRecipe {
  UnitRecipe(std::string n, Bytes b) : name(std::move(n)), bytes(std::move(b)) {}
  std::string name;
  Bytes bytes;
  std::optional<uint32_t> sizeField;  // a size entry that disagrees with the bytes
};
struct ModuleRecipe {
  ModuleRecipe(std::string n, std::vector<UnitRecipe> u, bool s = false, uint32_t d = 0)
      : name(std::move(n)), units(std::move(u)), split(s), unit0Distance(d) {}
  std::string name;
  std::vector<UnitRecipe> units;
  bool split;
  uint32_t unit0Distance;  // unit 0's distance from the module start
};
struct MakerRecipe {
  MakerRecipe(bool a, std::vector<ModuleRecipe> m) : aisin(a), modules(std::move(m)) {}
  bool aisin;
  std::vector<ModuleRecipe> modules;
};

void PutText(Bytes& b, size_t pos, const std::string& s) { std::memcpy(&b[pos], s.data(), s.size()); }

// Lays out a LOADING.KWI: directory first, then each AISIN-AW module's data
// from the next sector on, every unit at an even position.
Bytes MakeLoader(const std::vector<MakerRecipe>& makers) {
  size_t dirSize = 4 + 16 * makers.size();
  for (const auto& m : makers) dirSize += 320 * m.modules.size();
  size_t dataPos = std::max<size_t>(2048, (dirSize + 2047) / 2048 * 2048);
  Bytes f(dataPos, 0);
  StoreBE16(&f[0], static_cast<uint16_t>(makers.size()));
  size_t p = 4 + 16 * makers.size();
  for (size_t i = 0; i < makers.size(); ++i) {
    const auto& maker = makers[i];
    uint8_t* r = &f[4 + 16 * i];
    if (maker.aisin) {
      const uint8_t aisin[8] = {0x0F, 0x56, 0xA3, 0x00, 0x3C, 0x3C, 0x8A, 0x00};
      std::memcpy(r, aisin, 8);
    } else {
      r[0] = static_cast<uint8_t>(0x20 + i);  // matches no maker
    }
    r[8] = static_cast<uint8_t>(0x90 + i);
    StoreBE16(r + 10, static_cast<uint16_t>(0x1234 + i));
    StoreBE16(r + 12, static_cast<uint16_t>(maker.modules.size()));
    r[14] = 0xEE;  // not read; must not reach the new loader

    for (size_t k = 0; k < maker.modules.size(); ++k) {
      f[p] = static_cast<uint8_t>(0x40 + 16 * i + k);
      PutText(f, p + 4, maker.modules[k].name);
      PutText(f, p + 56, "SHORT" + std::to_string(k));
      p += 64;
    }
    for (const auto& module : maker.modules) {
      StoreBE16(&f[p], 0x0101);
      StoreBE16(&f[p + 2], 0x0202);
      PutText(f, p + 4, "RECORD " + module.name);
      if (maker.aisin) {
        const size_t start = dataPos;
        std::vector<size_t> positions;
        size_t pos = start;
        pos = start + module.unit0Distance;
        for (const auto& u : module.units) {
          positions.push_back(pos);
          pos += (u.bytes.size() + 1) / 2 * 2;
        }
        const size_t sectors = (pos - start + 2047) / 2048;
        f.resize(start + sectors * 2048, 0);
        for (size_t u = 0; u < module.units.size(); ++u)
          std::copy(module.units[u].bytes.begin(), module.units[u].bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(positions[u]));
        auto entry = [&](size_t at, size_t u) {
          PutText(f, at, module.units[u].name);
          StoreBE32(&f[at + 8], static_cast<uint32_t>((positions[u] - start) / 2));
          StoreBE32(&f[at + 12], module.units[u].sizeField.value_or(static_cast<uint32_t>(module.units[u].bytes.size())));
        };
        if (module.split) {
          StoreBE16(&f[p + 68], 1);
          entry(p + 72, 0);
          StoreBE16(&f[start], static_cast<uint16_t>(module.units.size() - 1));
          for (size_t u = 1; u < module.units.size(); ++u) entry(start + 4 + 16 * (u - 1), u);
        } else {
          StoreBE16(&f[p + 68], static_cast<uint16_t>(module.units.size()));
          for (size_t u = 0; u < module.units.size(); ++u) entry(p + 72 + 16 * u, u);
        }
        StoreBE32(&f[p + 250], static_cast<uint32_t>(start / 2048) << 8);
        StoreBE16(&f[p + 254], static_cast<uint16_t>(sectors));
        dataPos = f.size();
      }
      p += 256;
    }
  }
  return f;
}

// What project creation makes of a unit of a loader.
PhraseTable ProjectFor(const std::string& path, int maker, int module, int unit) {
  const TLN_Loading dir(path);
  EXPECT_TRUE(dir.Valid);
  const auto& u = dir.Frame.Makers.at(static_cast<size_t>(maker)).Modules.at(static_cast<size_t>(module))
                      .Units.at(static_cast<size_t>(unit));
  const Bytes file = test::ReadFile(path);
  const auto header = ParseUnitHeader(&file[u.Offset], u.Size);
  PhraseTable t;
  t.Info.MakerIndex = maker;
  t.Info.ModuleIndex = module;
  t.Info.UnitIndex = unit;
  t.Info.UnitOffset = u.Offset;
  t.Info.SourceSize = u.Size;
  t.Info.BaseAddress = header.BaseAddress;
  t.Info.UnitSize = header.UnitSize;
  t.Info.UnitChecksum = header.UnitChecksum;
  t.UnitImage.assign(file.begin() + u.Offset, file.begin() + u.Offset + t.ImageLength());
  t.UnitName = u.Name;
  t.UnitTag = header.UnitTag;
  t.SourcePath = path;
  return t;
}

// Switches on a relocated translation of a string placed in the image.
void AddRelocatedTranslation(PhraseTable& t) {
  StoreBE32(t.UnitImage.MutableData() + 128, 160 + kBase);
  std::memcpy(t.UnitImage.MutableData() + 160, "HELLO\0", 6);
  TPhrase p;
  p.LinkAddress = 128;
  p.StringAddress = 160;
  p.Length = 5;
  p.Flags = pfOn;
  t.Phrases.push_back(p);
  t.AppendEditedText(0, "GOOD MORNING");
}

Bytes Slice(const Bytes& b, size_t at, size_t n) { return Bytes(b.begin() + at, b.begin() + at + n); }

struct Fixture {
  test::TempDir dir;
  std::string source = dir.File("LOADING.KWI");
  std::string output = dir.File("NEW.KWI");
  Bytes sourceBytes;
  void Write(const std::vector<MakerRecipe>& makers) {
    sourceBytes = MakeLoader(makers);
    test::WriteFile(source, sourceBytes);
  }
};

// Every unit of the rebuilt loader lies at the offset its entry records.
void ExpectUnitsAtRecordedOffsets(const std::string& output, const std::vector<Bytes>& expected) {
  const TLN_Loading out(output);
  ASSERT_TRUE(out.Valid);
  ASSERT_EQ(out.Frame.MakerCount, 1);
  ASSERT_EQ(out.Frame.Makers[0].MakerName, "AISIN-AW");
  ASSERT_EQ(out.Frame.Makers[0].ModuleCount, 1);
  const auto& units = out.Frame.Makers[0].Modules[0].Units;
  ASSERT_EQ(units.size(), expected.size());
  const Bytes file = test::ReadFile(output);
  for (size_t i = 0; i < units.size(); ++i) {
    ASSERT_LE(units[i].Offset + expected[i].size(), file.size()) << "unit " << i;
    EXPECT_EQ(Slice(file, units[i].Offset, expected[i].size()), expected[i]) << "unit " << i;
  }
}

}  // namespace

TEST(RebuildLoader, DirectoryLayoutWithAisinSecondOfThreeMakers) {
  Fixture fx;
  const Bytes u0 = MakeUnit(100, 1), u1 = MakeUnit(200, 2, "APMTAG"), u2 = MakeUnit(300, 3);
  fx.Write({{false, {{"OTHER A", {}}, {"OTHER B", {}}}},
            {true, {{"FIRST", {{"X", MakeUnit(140, 9)}, {"Y", MakeUnit(150, 8)}}},
                    {"NAVIGATION", {{"U0", u0}, {"APM", u1}, {"U2", u2}}}}},
            {false, {{"OTHER C", {}}}}});
  PhraseTable t = ProjectFor(fx.source, 1, 1, 1);
  AddRelocatedTranslation(t);
  ASSERT_TRUE(IsSourceSuitable(t, fx.source));

  std::vector<std::string> status;
  const int64_t size = RebuildLoader(t, fx.source, fx.output, [&](std::string_view s) { status.emplace_back(s); });
  EXPECT_EQ(status, (std::vector<std::string>{"Creating LOADING.KWI file. Please wait ...",
                                               "The creation of the file LOADING.KWI is complete."}));
  const Bytes out = test::ReadFile(fx.output);
  ASSERT_EQ(out.size(), 6144u);
  EXPECT_EQ(size, 6144);
  const Bytes& src = fx.sourceBytes;

  EXPECT_EQ(Slice(out, 0, 4), (Bytes{0, 1, 0, 0}));
  EXPECT_EQ(Slice(out, 4, 12), Slice(src, 20, 12)) << "maker record 1 of the source";
  EXPECT_EQ(Slice(out, 16, 4), (Bytes{0, 1, 0, 0}));
  // Name records: after 3 maker records and maker 0's two name and module
  // records come maker 1's name records; module 1's is the second.
  const size_t nameRecord = 4 + 3 * 16 + 2 * 320 + 64;
  EXPECT_EQ(Slice(out, 20, 64), Slice(src, nameRecord, 64));
  const size_t moduleRecord = 4 + 3 * 16 + 2 * 320 + 2 * 64 + 256;
  Bytes record = Slice(src, moduleRecord, 256);
  StoreBE32(&record[72 + 16 + 8], 50);     // unit 1 at 2148
  StoreBE32(&record[72 + 32 + 8], 1074);   // unit 2 at 4196
  StoreBE32(&record[250], 0x00000100);
  StoreBE16(&record[254], 2);
  EXPECT_EQ(Slice(out, 84, 256), record);
  EXPECT_EQ(Slice(out, 340, 1708), Bytes(1708, 0));

  EXPECT_EQ(Slice(out, 2048, 100), u0);
  EXPECT_EQ(Slice(out, 2148, 2048), AssembleUnit(t));
  EXPECT_EQ(Slice(out, 4196, 300), u2);
  EXPECT_EQ(Slice(out, 4496, 1648), Bytes(1648, 0));
  ExpectUnitsAtRecordedOffsets(fx.output, {u0, AssembleUnit(t), u2});
  // The source is only read.
  EXPECT_EQ(test::ReadFile(fx.source), src);
}

TEST(RebuildLoader, UnitsOfOddSizeArePaddedSoEveryOffsetIsExact) {
  Fixture fx;
  const Bytes u0 = MakeUnit(101, 1), u1 = MakeUnit(200, 2), u2 = MakeUnit(301, 3), u3 = MakeUnit(50, 4);
  fx.Write({{true, {{"NAV", {{"U0", u0}, {"APM", u1}, {"U2", u2}, {"U3", u3}}}}}});
  PhraseTable t = ProjectFor(fx.source, 0, 0, 1);
  RebuildLoader(t, fx.source, fx.output);
  const Bytes out = test::ReadFile(fx.output);
  const uint32_t expectedWords[] = {51, 1075, 1226};  // units at 2150, 4198, 4500
  for (size_t i = 1; i <= 3; ++i)
    EXPECT_EQ(LoadBE32(&out[84 + 72 + 16 * i + 8]), expectedWords[i - 1]) << "unit " << i;
  EXPECT_EQ(out[2048 + 101], 0);
  EXPECT_EQ(out[4198 + 301], 0);
  ExpectUnitsAtRecordedOffsets(fx.output, {u0, AssembleUnit(t), u2, u3});
}

TEST(RebuildLoader, SplitLayoutKeepsUnitZeroAtItsDistanceFromTheTable) {
  Fixture fx;
  const Bytes u0 = MakeUnit(300, 1), u1 = MakeUnit(200, 2), u2 = MakeUnit(200, 3, "APM"), u3 = MakeUnit(100, 4);
  ModuleRecipe module{"SPLIT", {{"U0", u0}, {"U1", u1}, {"APM", u2}, {"U3", u3}}, true, 2048};
  fx.Write({{true, {{"FIRST", {{"A", MakeUnit(130, 5)}, {"B", MakeUnit(130, 6)}}}, module}}});
  PhraseTable t = ProjectFor(fx.source, 0, 1, 2);
  AddRelocatedTranslation(t);
  RebuildLoader(t, fx.source, fx.output);
  const Bytes out = test::ReadFile(fx.output);

  const TLN_Loading src(fx.source);
  const uint32_t start = src.Frame.Makers[0].Modules[1].Start;
  Bytes table = Slice(fx.sourceBytes, start, 52);
  StoreBE32(&table[4 + 8], 1174);        // unit 1 at 4396
  StoreBE32(&table[4 + 16 + 8], 1274);   // unit 2 at 4596
  StoreBE32(&table[4 + 32 + 8], 2298);   // unit 3 at 6644
  EXPECT_EQ(Slice(out, 2048, 52), table);
  EXPECT_EQ(Slice(out, 2100, 1996), Bytes(1996, 0));
  EXPECT_EQ(Slice(out, 4096, 300), u0);
  // Unit 0's entry in the record is copied unchanged.
  EXPECT_EQ(Slice(out, 84 + 72, 16), Slice(fx.sourceBytes, static_cast<size_t>(src.Frame.Makers[0].Modules[1].RecordOffset) + 72, 16));
  EXPECT_EQ(LoadBE16(&out[338]), 3);  // 4696 bytes of module data
  EXPECT_EQ(out.size(), 2048u + 3 * 2048);
  ExpectUnitsAtRecordedOffsets(fx.output, {u0, u1, AssembleUnit(t), u3});
}

TEST(RebuildLoader, UnitOfSizeZeroAndModuleEndingOnASector) {
  Fixture fx;
  const Bytes u0 = MakeUnit(1024, 1), u2 = MakeUnit(200, 2), u3 = MakeUnit(1024, 3);
  fx.Write({{true, {{"NAV", {{"U0", u0}, {"EMPTY", {}}, {"APM", u2}, {"U3", u3}}}}}});
  PhraseTable t = ProjectFor(fx.source, 0, 0, 2);
  RebuildLoader(t, fx.source, fx.output);
  const Bytes out = test::ReadFile(fx.output);
  EXPECT_EQ(LoadBE32(&out[84 + 72 + 16 + 8]), 512u);  // the empty unit: where the next one starts
  EXPECT_EQ(LoadBE32(&out[84 + 72 + 32 + 8]), 512u);
  EXPECT_EQ(out.size(), 2048u + 4096u) << "1024 + 2048 + 1024 bytes: no zero fill";
  EXPECT_EQ(LoadBE16(&out[338]), 2);
  ExpectUnitsAtRecordedOffsets(fx.output, {u0, {}, AssembleUnit(t), u3});
}

TEST(RebuildLoader, DirectoryLayoutUnitZeroMovedToTheModuleStartIsRecordedThere) {
  // A source whose first unit lies 512 bytes into its module: the new loader
  // puts it at the module start, and its entry says so.
  Fixture fx;
  const Bytes u0 = MakeUnit(300, 1), u1 = MakeUnit(200, 2);
  fx.Write({{true, {ModuleRecipe("NAV", {{"U0", u0}, {"APM", u1}}, false, 512)}}});
  ASSERT_EQ(LoadBE32(&fx.sourceBytes[4 + 16 + 64 + 72 + 8]), 256u);
  PhraseTable t = ProjectFor(fx.source, 0, 0, 1);
  RebuildLoader(t, fx.source, fx.output);
  const Bytes out = test::ReadFile(fx.output);
  EXPECT_EQ(LoadBE32(&out[84 + 72 + 8]), 0u);
  ExpectUnitsAtRecordedOffsets(fx.output, {u0, AssembleUnit(t)});
}

TEST(RebuildLoader, RebuiltLoaderServesAsSourceOnlyWhileTheChecksumIsUnchanged) {
  Fixture fx;
  fx.Write({{true, {{"NAV", {{"APM", MakeUnit(2048, 1, "T1")}, {"U1", MakeUnit(300, 2)}}}}}});
  PhraseTable t = ProjectFor(fx.source, 0, 0, 0);
  RebuildLoader(t, fx.source, fx.output);
  EXPECT_EQ(CheckSource(t, fx.output), SourceCheck::Suitable);
  AddRelocatedTranslation(t);
  RebuildLoader(t, fx.source, fx.output);
  EXPECT_EQ(CheckSource(t, fx.output), SourceCheck::TagOrChecksum);
}

TEST(IsSourceSuitable, EachTestInItsOrder) {
  Fixture fx;
  fx.Write({{false, {{"OTHER", {}}}},
            {true, {{"NAV", {{"U0", MakeUnit(300, 1)}, {"APM", MakeUnit(400, 2, "ABCDEFGHIJ")}}}}}});
  const PhraseTable good = ProjectFor(fx.source, 1, 0, 1);
  ASSERT_EQ(CheckSource(good, fx.source), SourceCheck::Suitable);
  EXPECT_EQ(good.UnitTag, "ABCDEFGHIJ");

  struct Case {
    const char* name;
    void (*change)(PhraseTable&, std::string&);
    SourceCheck expected;
  } cases[] = {
      {"missing file", [](PhraseTable&, std::string& p) { p += ".missing"; }, SourceCheck::NoFile},
      {"a folder", [](PhraseTable&, std::string& p) { p = p.substr(0, p.find_last_of('/')); }, SourceCheck::NotAFile},
      {"a FIFO without a writer", [](PhraseTable&, std::string& p) {
         p += ".fifo";
         ::mkfifo(p.c_str(), 0600);
       }, SourceCheck::NotAFile},
      {"a device", [](PhraseTable&, std::string& p) { p = "/dev/zero"; }, SourceCheck::NotAFile},
      {"maker entry is not AISIN-AW", [](PhraseTable& t, std::string&) { t.Info.MakerIndex = 0; }, SourceCheck::NoMaker},
      {"maker index too high", [](PhraseTable& t, std::string&) { t.Info.MakerIndex = 2; }, SourceCheck::NoMaker},
      {".BIN project", [](PhraseTable& t, std::string&) {
         t.Info.MakerIndex = t.Info.ModuleIndex = t.Info.UnitIndex = -1;
         t.Info.UnitOffset = 0;
       }, SourceCheck::NoMaker},
      {"module index too high", [](PhraseTable& t, std::string&) { t.Info.ModuleIndex = 1; }, SourceCheck::NoUnit},
      {"unit index too high", [](PhraseTable& t, std::string&) { t.Info.UnitIndex = 2; }, SourceCheck::NoUnit},
      {"unit name differs", [](PhraseTable& t, std::string&) { t.UnitName = "apm"; }, SourceCheck::NameOrOffset},
      {"unit offset differs", [](PhraseTable& t, std::string&) { t.Info.UnitOffset += 2; }, SourceCheck::NameOrOffset},
      {"tag differs", [](PhraseTable& t, std::string&) { t.UnitTag = "ABCDEFGX"; }, SourceCheck::TagOrChecksum},
      {"checksum differs", [](PhraseTable& t, std::string&) { t.Info.UnitChecksum ^= 1; }, SourceCheck::TagOrChecksum},
      // The project file keeps 8 bytes of the tag; the 9th and 10th don't count.
      {"tag as the project file keeps it", [](PhraseTable& t, std::string&) { t.UnitTag = "ABCDEFGH"; }, SourceCheck::Suitable},
  };
  for (const auto& c : cases) {
    PhraseTable t = good;
    std::string path = fx.source;
    c.change(t, path);
    EXPECT_EQ(CheckSource(t, path), c.expected) << c.name;
    EXPECT_EQ(IsSourceSuitable(t, path), c.expected == SourceCheck::Suitable) << c.name;
  }

  // A file that is no loader at all.
  test::WriteFile(fx.dir.File("junk"), Bytes(4096, 0xFF));
  EXPECT_EQ(CheckSource(good, fx.dir.File("junk")), SourceCheck::NoMaker);
}

TEST(RebuildLoader, OutputNamingTheSourceIsRefusedBeforeAnythingIsWritten) {
  Fixture fx;
  fx.Write({{true, {{"NAV", {{"U0", MakeUnit(300, 1)}, {"APM", MakeUnit(400, 2)}}}}}});
  PhraseTable t = ProjectFor(fx.source, 0, 0, 1);
  AddRelocatedTranslation(t);
  std::filesystem::create_symlink(fx.source, fx.dir.File("link.KWI"));
  ASSERT_EQ(::link(fx.source.c_str(), fx.dir.File("hard.KWI").c_str()), 0);
  std::filesystem::create_directory(fx.dir.File("sub"));

  const std::string sameFile[] = {fx.source, fx.dir.Path() + "/./LOADING.KWI", fx.dir.Path() + "/sub/../LOADING.KWI",
                                  fx.dir.File("link.KWI"), fx.dir.File("hard.KWI")};
  for (const auto& out : sameFile) {
    std::vector<std::string> status;
    try {
      RebuildLoader(t, fx.source, out, [&](std::string_view s) { status.emplace_back(s); });
      ADD_FAILURE() << out << " was accepted";
    } catch (const EFCreateError& e) {
      EXPECT_NE(std::string(e.what()).find("source"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(status.empty()) << out;
    EXPECT_EQ(test::ReadFile(fx.source), fx.sourceBytes) << out;
  }
  // Nothing was left behind: the folder holds the source, its two links and sub.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(fx.dir.Path())) ++entries;
  EXPECT_EQ(entries, 4u);
}

// The directory a rebuild and the check of a rebuilt loader both start
// from: the source's records in their new places, and a source too short
// for its unit table refused.
TEST(ReadRebuiltDirectory, TakesTheSourcesRecordsAndRefusesASourceTooShortForThem) {
  Fixture fx;
  ModuleRecipe split{"SPLIT", {{"U0", MakeUnit(300, 1)}, {"U1", MakeUnit(200, 2)}, {"U2", MakeUnit(200, 3)}}, true, 2048};
  fx.Write({{false, {{"OTHER", {}}}}, {true, {{"FIRST", {{"A", MakeUnit(130, 5)}}}, split}}});
  const TLN_Loading dir(fx.source);
  ASSERT_TRUE(dir.Valid);
  const TLN_Module_Info& module = dir.Frame.Makers[1].Modules[1];
  TMemoryStream source(fx.sourceBytes);
  const auto size = static_cast<int64_t>(fx.sourceBytes.size());
  const RebuiltDirectory d = ReadRebuiltDirectory(dir, source, size, {1, 1});

  ASSERT_EQ(d.Head.size(), 2048u);
  Bytes maker = Slice(fx.sourceBytes, 4 + 16, 16);
  StoreBE32(&maker[12], 0x00010000u);  // one module
  EXPECT_EQ(Slice(d.Head, 0, 4), Bytes({0, 1, 0, 0}));
  EXPECT_EQ(Slice(d.Head, 4, 16), maker);
  EXPECT_EQ(Slice(d.Head, 20, 64), Slice(fx.sourceBytes, static_cast<size_t>(ModuleNameRecordPosition(dir, 1, 1)), 64));
  Bytes record = Slice(fx.sourceBytes, static_cast<size_t>(module.RecordOffset), 256);
  StoreBE32(&record[250], 0x00000100u);  // sector 1
  EXPECT_EQ(Slice(d.Head, 84, 256), record);
  EXPECT_EQ(Slice(d.Head, 340, 2048 - 340), Bytes(2048 - 340, 0));
  EXPECT_EQ(d.Table, Slice(fx.sourceBytes, module.Start, 4 + 16 * 2));

  TMemoryStream shortSource(Slice(fx.sourceBytes, 0, module.Start + 20));
  try {
    ReadRebuiltDirectory(dir, shortSource, module.Start + 20, {1, 1});
    FAIL() << "a source that ends inside the unit table was read";
  } catch (const EFormatError& e) {
    EXPECT_STREQ(e.what(), "The source loader ends before its unit table.");
  }
}

TEST(RebuildLoader, DamagedOrForeignSourceRaisesAndLeavesNoOutput) {
  struct Case {
    const char* name;
    std::vector<MakerRecipe> makers;
    int maker, module, unit;  // the project's unit, taken from a sound loader
  };
  const std::vector<MakerRecipe> sound = {{true, {{"NAV", {{"U0", MakeUnit(300, 1)}, {"APM", MakeUnit(400, 2)}, {"U2", MakeUnit(200, 3)}}}}}};
  std::vector<MakerRecipe> pastEnd = sound;
  pastEnd[0].modules[0].units[2].sizeField = 1000000;

  Fixture fx;
  fx.Write(sound);
  PhraseTable t = ProjectFor(fx.source, 0, 0, 1);

  fx.Write(pastEnd);
  std::vector<std::string> status;
  EXPECT_THROW(RebuildLoader(t, fx.source, fx.output, [&](std::string_view s) { status.emplace_back(s); }),
               EFormatError);
  EXPECT_FALSE(std::filesystem::exists(fx.output));
  EXPECT_EQ(status.back(), "The creation of the file LOADING.KWI is complete.");

  fx.Write(sound);
  PhraseTable foreign = t;
  foreign.Info.UnitIndex = 7;
  EXPECT_THROW(RebuildLoader(foreign, fx.source, fx.output), EFormatError);
  EXPECT_THROW(RebuildLoader(t, fx.dir.File("absent.KWI"), fx.output), EFOpenError);
  EXPECT_FALSE(std::filesystem::exists(fx.output));
}

TEST(RebuildLoader, PositionsAreCheckedAgainstTheSourceBeforeAnythingIsWritten) {
  // A split-layout module whose unit 0 is recorded near 4 GB in a source of
  // a few KB: the gap before it would be gigabytes of zeros.
  Fixture fx;
  fx.Write({{true, {{"NAV", {{"U0", MakeUnit(300, 1)}, {"APM", MakeUnit(400, 2)}, {"U2", MakeUnit(200, 3)}}, true}}}});
  PhraseTable t = ProjectFor(fx.source, 0, 0, 1);
  const TLN_Loading dir(fx.source);
  const auto& module = dir.Frame.Makers[0].Modules[0];
  Bytes damaged = fx.sourceBytes;
  StoreBE32(&damaged[module.RecordOffset + 72 + 8], (0xFFFFFE00u - module.Start) / 2);
  test::WriteFile(fx.source, damaged);
  ASSERT_EQ(CheckSource(t, fx.source), SourceCheck::Suitable);
  try {
    RebuildLoader(t, fx.source, fx.output);
    ADD_FAILURE() << "a unit 0 past the end of the source was rebuilt";
  } catch (const EFormatError& e) {
    EXPECT_STREQ(e.what(), "The source module's first unit lies past the end of the source loader.");
  }
  EXPECT_FALSE(std::filesystem::exists(fx.output));
}
