// The synthetic sample data is what it claims to be: unit headers, checksums,
// pointers and strings where the description puts them and nowhere else;
// loaders whose directory reads back as described; volume sets; and the
// make-sample command.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "analysis/Extraction.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/Loading.h"
#include "container/io/TLN_FileStream.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

namespace velmora::sample {
namespace {

using velmora::test::ReadFile;
using velmora::test::RunCli;
using velmora::test::TempDir;

struct UnitCase {
  const char* name;
  UnitRecipe desc;
  TextMode mode;
};

UnitRecipe Describe(std::vector<SampleString> strings, Order order, uint32_t seed) {
  UnitRecipe s;
  s.strings = std::move(strings);
  s.order = order;
  s.seed = seed;
  return s;
}

std::vector<UnitCase> UnitCases() {
  std::vector<UnitCase> cases;
  cases.push_back({"packed", Describe(EnglishMenuTexts(40, 1), Order::Packed, 1), TextMode::English});
  cases.push_back({"reversed", Describe(EnglishMenuTexts(25, 2), Order::Reversed, 2), TextMode::English});
  cases.push_back({"scattered", Describe(EnglishMenuTexts(30, 3), Order::Scattered, 3), TextMode::English});
  cases.push_back({"european", Describe(EuropeanTexts(45, 4), Order::Packed, 4), TextMode::European});
  cases.push_back({"japanese", Describe(JapaneseTexts(40, 5), Order::Packed, 5), TextMode::Japanese});
  {
    UnitRecipe s = Describe({{"Menu", 3}, {"A", 1}, {std::string(511, 'X'), 2}, {"Route\nGuidance", 1}}, Order::Packed, 6);
    s.moreTables.push_back({EnglishMenuTexts(10, 6), Order::Reversed});
    s.moreTables.push_back({EnglishMenuTexts(10, 7), Order::Scattered});
    s.tag = "NAVI_PROGRAM_V2";  // 15 bytes, no zero byte within the 15 read
    s.minSize = 64 * 1024;
    cases.push_back({"shared, several tables, long tag, padded", s, TextMode::English});
  }
  {
    UnitRecipe s = Describe(EnglishMenuTexts(12, 8), Order::Packed, 8);
    s.corruptChecksum = true;
    s.makerText = "ORVANE CORP.";
    s.baseAddress = 0x00010000;  // filler must steer clear of a low base too
    s.codeWordsBefore = 2000;
    cases.push_back({"bad checksum, foreign maker, low base", s, TextMode::English});
  }
  {
    UnitRecipe s = Describe(EnglishMenuTexts(8, 9), Order::Packed, 9);
    s.baseAddress = 0x38000000;  // right where addi/lis-like filler lives
    cases.push_back({"base among the filler values", s, TextMode::English});
  }
  cases.push_back({"no strings", Describe({}, Order::Packed, 10), TextMode::English});
  return cases;
}

TEST(SampleUnit, HeaderPointersStringsAndFillerAreAsDescribed) {
  for (const UnitCase& c : UnitCases()) {
    SCOPED_TRACE(c.name);
    const SampleUnit u = MakeUnit(c.desc);
    const uint8_t* b = u.bytes.data();
    const auto size = static_cast<uint32_t>(u.bytes.size());

    // Header.
    const TLN_Unit_Record_AISIN h = ParseUnitHeader(b, size);
    EXPECT_EQ(h.UnitTag, c.desc.tag.substr(0, 15));
    EXPECT_EQ(h.MakerText, c.desc.makerText);
    EXPECT_EQ(h.BaseAddress, c.desc.baseAddress);
    EXPECT_EQ(h.UnitSize, size);
    EXPECT_EQ(h.UnitChecksum, u.checksum);
    EXPECT_EQ(size % 4, 0u);
    EXPECT_GE(size, c.desc.minSize);
    if (c.desc.corruptChecksum)
      EXPECT_NE(SumWords(b, size), h.UnitChecksum);
    else
      EXPECT_EQ(SumWords(b, size), h.UnitChecksum);

    // Strings: given bytes, zero-terminated, clear of the image's last 7 bytes.
    std::vector<const SampleString*> given;
    for (const auto& s : c.desc.strings) given.push_back(&s);
    for (const auto& t : c.desc.moreTables)
      for (const auto& s : t.strings) given.push_back(&s);
    ASSERT_EQ(u.strings.size(), given.size());
    ASSERT_EQ(u.stringOffsets.size(), given.size());
    size_t pointerTotal = 0;
    for (size_t i = 0; i < given.size(); ++i) {
      const PlacedString& s = u.strings[i];
      EXPECT_EQ(u.stringOffsets[i], s.offset);
      ASSERT_EQ(s.length, given[i]->bytes.size());
      ASSERT_LE(uint64_t{s.offset} + s.length + 8, size);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(b) + s.offset, s.length), given[i]->bytes);
      EXPECT_EQ(b[s.offset + s.length], 0);
      // Every pointer word decodes to the string's first byte.
      ASSERT_EQ(s.pointerOffsets.size(), static_cast<size_t>(given[i]->pointers));
      EXPECT_EQ(s.firstPointer, s.pointerOffsets.front());
      for (uint32_t p : s.pointerOffsets) {
        EXPECT_GE(p, kUnitHeaderSize);
        EXPECT_EQ(p % 4, 0u);
        EXPECT_EQ(LoadBE32(b + p) - c.desc.baseAddress, s.offset);
      }
      pointerTotal += s.pointerOffsets.size();
    }
    EXPECT_EQ(u.pointerOffsets.size(), pointerTotal);
    EXPECT_TRUE(std::is_sorted(u.pointerOffsets.begin(), u.pointerOffsets.end()));

    // No other body word reads as a pointer into the unit.
    const std::set<uint32_t> planned(u.pointerOffsets.begin(), u.pointerOffsets.end());
    EXPECT_EQ(planned.size(), u.pointerOffsets.size());
    size_t stray = 0;
    for (uint32_t off = kUnitHeaderSize; off + 4 <= size; off += 4) {
      if (planned.count(off)) continue;
      const uint32_t v = LoadBE32(b + off) - c.desc.baseAddress;
      if (v != 0 && v <= size - 16) ++stray;
    }
    EXPECT_EQ(stray, 0u);

    // Scan order follows the first pointers.
    ASSERT_EQ(u.scanOrder.size(), u.strings.size());
    for (size_t k = 1; k < u.scanOrder.size(); ++k)
      EXPECT_LT(u.strings[u.scanOrder[k - 1]].firstPointer, u.strings[u.scanOrder[k]].firstPointer);
  }
}

TEST(SampleUnit, TableOrderDecidesContiguity) {
  struct Case {
    Order order;
    size_t shownAfterFirst;  // of 19 phrases after the first
  };
  for (const Case& c : {Case{Order::Packed, 19}, Case{Order::Reversed, 0}}) {
    const SampleUnit u = MakeUnit(Describe(EnglishMenuTexts(20, 12), c.order, 12));
    size_t shown = 0;
    for (size_t k = 1; k < u.scanOrder.size(); ++k) {
      const PlacedString& prev = u.strings[u.scanOrder[k - 1]];
      const PlacedString& cur = u.strings[u.scanOrder[k]];
      const uint32_t prevEnd = prev.offset + prev.length;
      if (prevEnd <= cur.offset && cur.offset <= prevEnd + 4) ++shown;
    }
    EXPECT_EQ(shown, c.shownAfterFirst);
  }
  // Scattered pointers hide most strings.
  const SampleUnit scattered = MakeUnit(Describe(EnglishMenuTexts(40, 13), Order::Scattered, 13));
  const auto records = ExpectedRecords(scattered, true);
  const auto hidden = std::count_if(records.begin(), records.end(), [](const TPhrase& r) { return r.Flags & pfHide; });
  EXPECT_GT(hidden, 20);
}

// The extraction engine, run on each sample unit in its script, finds exactly
// the planned phrases and links with the flags the layout predicts.
TEST(SampleUnit, ExtractionFindsExactlyThePlannedRecords) {
  for (const UnitCase& c : UnitCases()) {
    SCOPED_TRACE(c.name);
    const SampleUnit u = MakeUnit(c.desc);
    PhraseTable table;
    table.UnitImage = u.bytes;
    table.Info.BaseAddress = u.baseAddress;
    table.Info.UnitSize = static_cast<uint32_t>(u.bytes.size());
    table.Info.SourceSize = table.Info.UnitSize;
    AnalysisOptions options;
    options.Mode = c.mode;
    options.HideAbc = false;
    options.RangeEnd = table.Info.SourceSize;
    ExtractPhrases(table, options);

    const bool firstShown = table.Phrases.empty() || !(table.Phrases.front().Flags & pfHide);
    const auto expected = ExpectedRecords(u, firstShown);
    ASSERT_EQ(table.Phrases.size(), expected.size());
    size_t links = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      const TPhrase& got = table.Phrases[i];
      EXPECT_EQ(got.LinkAddress, expected[i].LinkAddress);
      EXPECT_EQ(got.StringAddress, expected[i].StringAddress);
      EXPECT_EQ(got.Length, expected[i].Length);
      EXPECT_EQ(got.Flags, expected[i].Flags);
      EXPECT_EQ(got.MasterIndex, expected[i].MasterIndex);
      links += (got.Flags & pfLink) ? 1 : 0;
    }
    EXPECT_EQ(expected.size() - links, u.strings.size());
  }
}

TEST(SampleTexts, EachSetSuitsItsScriptAndIsDeterministic) {
  struct Case {
    const char* name;
    std::vector<SampleString> (*make)(size_t, uint32_t);
    TextMode mode;
  };
  const Case cases[] = {{"english", EnglishMenuTexts, TextMode::English},
                        {"european", EuropeanTexts, TextMode::European},
                        {"japanese", JapaneseTexts, TextMode::Japanese}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto texts = c.make(300, 42);  // beyond the ready-made lists
    ASSERT_EQ(texts.size(), 300u);
    bool multiLine = false, shared = false, highBytes = false;
    for (const auto& t : texts) {
      // Every text alone, followed by a zero byte and room, is a phrase of
      // its whole length in its script.
      std::vector<uint8_t> image(t.bytes.begin(), t.bytes.end());
      image.resize(image.size() + 16, 0);
      EXPECT_EQ(MeasurePhrase(image.data(), static_cast<uint32_t>(image.size()), 0, c.mode), t.bytes.size())
          << t.bytes;
      multiLine |= t.bytes.find('\n') != std::string::npos;
      shared |= t.pointers > 1;
      highBytes |= std::any_of(t.bytes.begin(), t.bytes.end(), [](char ch) { return static_cast<uint8_t>(ch) >= 0x80; });
      EXPECT_GE(t.pointers, 1);
    }
    EXPECT_TRUE(multiLine);
    EXPECT_TRUE(shared);
    EXPECT_EQ(highBytes, c.mode != TextMode::English);

    const auto again = c.make(300, 42);
    const auto other = c.make(300, 43);
    bool sameAgain = true, sameOther = true;
    for (size_t i = 0; i < texts.size(); ++i) {
      sameAgain &= texts[i].bytes == again[i].bytes && texts[i].pointers == again[i].pointers;
      sameOther &= texts[i].bytes == other[i].bytes;
    }
    EXPECT_TRUE(sameAgain);
    EXPECT_FALSE(sameOther);
  }
  // European texts use accented letters that English rejects.
  const auto european = EuropeanTexts(40, 1);
  EXPECT_TRUE(std::any_of(european.begin(), european.end(), [](const SampleString& t) {
    std::vector<uint8_t> image(t.bytes.begin(), t.bytes.end());
    image.resize(image.size() + 16, 0);
    return MeasurePhrase(image.data(), static_cast<uint32_t>(image.size()), 0, TextMode::English) == 0;
  }));
}

TEST(SampleUnit, SameSeedSameBytesOtherSeedOtherBytes) {
  const UnitRecipe a = Describe(EnglishMenuTexts(20, 5), Order::Scattered, 5);
  UnitRecipe b = a;
  b.seed = 6;
  EXPECT_EQ(MakeUnit(a).bytes, MakeUnit(a).bytes);
  EXPECT_NE(MakeUnit(a).bytes, MakeUnit(b).bytes);
  EXPECT_EQ(MakeDemoApmUnit(), MakeDemoApmUnit());
}

TEST(SampleUnit, RejectsDescriptionsItCannotHonour) {
  struct Case {
    const char* name;
    UnitRecipe desc;
  };
  std::vector<Case> cases;
  auto with = [](auto change) {
    UnitRecipe s;
    s.strings = {{"Menu", 1}};
    change(s);
    return s;
  };
  cases.push_back({"empty string", with([](UnitRecipe& s) { s.strings.push_back({"", 1}); })});
  cases.push_back({"512 bytes", with([](UnitRecipe& s) { s.strings.push_back({std::string(512, 'A'), 1}); })});
  cases.push_back({"zero byte", with([](UnitRecipe& s) { s.strings.push_back({std::string("A\0B", 3), 1}); })});
  cases.push_back({"no pointer", with([](UnitRecipe& s) { s.strings.push_back({"Map", 0}); })});
  cases.push_back({"tag too long", with([](UnitRecipe& s) { s.tag = std::string(43, 'T'); })});
  cases.push_back({"maker text too long", with([](UnitRecipe& s) { s.makerText = std::string(65, 'M'); })});
  // A base address just below the text's own bytes: "ABCD" read as a word
  // points 0x4344 bytes into the unit.
  cases.push_back({"string bytes read as pointer", with([](UnitRecipe& s) {
                     s.baseAddress = 0x41420000;
                     s.strings = {{"ABCDEFG", 1}};
                     s.minSize = 0x10000;
                   })});
  for (const Case& c : cases) EXPECT_THROW(MakeUnit(c.desc), std::invalid_argument) << c.name;
}

TEST(SampleUnit, BenchUnitHasRequestedSizeAndPhrases) {
  const SampleUnit u = MakeBenchUnit(64u << 20, 30000, 1);
  ASSERT_EQ(u.bytes.size(), size_t{64} << 20);
  EXPECT_EQ(u.strings.size(), 30000u);
  EXPECT_GT(u.pointerOffsets.size(), 30000u);  // some shared strings
  const TLN_Unit_Record_AISIN h = ParseUnitHeader(u.bytes.data(), u.bytes.size());
  EXPECT_EQ(h.UnitSize, 64u << 20);
  EXPECT_EQ(h.UnitChecksum, SumWords(u.bytes.data(), u.bytes.size()));
  // Packed: every phrase after the first is shown; the scan limit applies.
  const auto records = ExpectedRecords(u, true);
  EXPECT_EQ(records.size(), kMaxPhraseRecords + 1);
  EXPECT_TRUE(std::none_of(records.begin(), records.end(), [](const TPhrase& r) { return r.Flags & pfHide; }));

  // A size too small for the strings grows to fit.
  const SampleUnit small = MakeBenchUnit(1000, 100, 2);
  EXPECT_GT(small.bytes.size(), 1000u);
  EXPECT_EQ(small.strings.size(), 100u);
}

// ---- Loaders ----

TEST(SampleLoader, DirectoryReadsBackAsLaidOut) {
  TempDir dir;
  LoaderLayout layout;
  const LoaderRecipe desc = DemoLoaderRecipe();
  const auto bytes = MakeLoader(desc, &layout);
  ASSERT_GE(bytes.size(), 2048u);
  EXPECT_EQ(bytes.size() % 2048, 0u);
  const std::string path = dir.File("LOADING.KWI");
  velmora::test::WriteFile(path, bytes);

  // By hand: count, maker positions and names, records right after the makers.
  TMemoryStream mem(bytes);
  ASSERT_EQ(ReadWordBE(mem, 0), desc.makers.size());
  for (size_t i = 0; i < desc.makers.size(); ++i) {
    const TLN_Position pos = ReadPosition(mem, 4 + 16 * static_cast<int64_t>(i));
    EXPECT_EQ(MakerNameOf(pos), desc.makers[i].makerName);
    EXPECT_EQ(ReadWordBE(mem, 4 + 16 * static_cast<int64_t>(i) + 12), desc.makers[i].modules.size());
  }
  EXPECT_EQ(layout.makers[0].modules[0].nameRecordOffset, 4 + 16 * desc.makers.size());

  // Through the directory reader.
  const TLN_Loading loading(path);
  ASSERT_TRUE(loading.Valid);
  ASSERT_EQ(loading.Frame.Makers.size(), 3u);
  EXPECT_EQ(loading.Frame.Makers[0].MakerName, "");
  EXPECT_EQ(loading.Frame.Makers[1].MakerName, "AISIN-AW");
  EXPECT_EQ(loading.Frame.Makers[2].MakerName, "DENSO");
  for (size_t i = 0; i < 3; ++i) {
    const auto& maker = loading.Frame.Makers[i];
    ASSERT_EQ(maker.Modules.size(), desc.makers[i].modules.size());
    for (size_t k = 0; k < maker.Modules.size(); ++k) {
      SCOPED_TRACE(maker.MakerName + " module " + std::to_string(k));
      const TLN_Module_Info& mod = maker.Modules[k];
      const LoaderModuleLayout& lay = layout.makers[i].modules[k];
      const ModuleRecipe& ms = desc.makers[i].modules[k];
      EXPECT_EQ(mod.Name, ms.name);
      EXPECT_EQ(mod.ShortName, ms.shortName);
      EXPECT_EQ(mod.Start, lay.start);  // sector address, sector number or byte start by maker
      EXPECT_EQ(mod.Start % 2048, 0u);
      EXPECT_EQ(mod.Length, lay.length);
      EXPECT_LE(uint64_t{mod.Start} + mod.Length, bytes.size());
      EXPECT_EQ(mod.RecordOffset, lay.recordOffset);
      if (maker.MakerName != "AISIN-AW") {
        EXPECT_TRUE(mod.Units.empty());
        continue;
      }
      EXPECT_EQ(mod.SplitTable, ms.splitLayout);
      ASSERT_EQ(mod.Units.size(), ms.units.size());
      for (size_t u = 0; u < mod.Units.size(); ++u) {
        const TLN_Unit_Info& unit = mod.Units[u];
        EXPECT_EQ(unit.Name, ms.units[u].first);
        EXPECT_EQ(unit.Offset, lay.units[u].offset);
        EXPECT_EQ(unit.Offset % 2, 0u);
        ASSERT_EQ(unit.Size, ms.units[u].second.size());
        ASSERT_LE(uint64_t{unit.Offset} + unit.Size, bytes.size());
        EXPECT_TRUE(std::equal(ms.units[u].second.begin(), ms.units[u].second.end(), bytes.begin() + unit.Offset));
      }
    }
  }

  // The AISIN-AW units: APM in both layouts, one foreign, one wrong checksum.
  const auto& aisin = loading.Frame.Makers[1];
  ASSERT_EQ(aisin.Modules.size(), 2u);
  EXPECT_FALSE(aisin.Modules[0].SplitTable);
  EXPECT_TRUE(aisin.Modules[1].SplitTable);
  size_t apm = 0, foreign = 0, badSum = 0;
  for (const auto& mod : aisin.Modules)
    for (const auto& unit : mod.Units) {
      const TLN_Unit_Record_AISIN h = ReadUnitHeader(loading, unit.Offset);
      EXPECT_EQ(h.UnitSize, unit.Size);
      apm += unit.Name == "APM" && h.UnitTag == "APM";
      foreign += h.MakerText != kAisinMakerText;
      badSum += SumWords(bytes.data() + unit.Offset, unit.Size) != h.UnitChecksum;
    }
  EXPECT_EQ(apm, 2u);
  EXPECT_EQ(foreign, 1u);
  EXPECT_EQ(badSum, 1u);
}

TEST(SampleLoader, LayoutChoicesAndMakerPositions) {
  auto units = [](size_t n) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> v;
    for (size_t i = 0; i < n; ++i)
      v.push_back({"U" + std::to_string(i), std::vector<uint8_t>(100 + 2 * i + (i % 2), static_cast<uint8_t>(i + 1))});
    return v;
  };
  LoaderRecipe desc;
  desc.makers.push_back({"GENERAL MOTORS", {{"GM", "GM", false, {}}}});
  desc.makers.push_back({"", {{"NONAME", "NN", false, {}}}});
  desc.makers.push_back({"AISIN-AW",
                         {{"ONE", "ONE", false, units(1)},      // one unit: split layout regardless
                          {"ELEVEN", "ELEVEN", false, units(11)},
                          {"TWELVE", "TWELVE", false, units(12)},  // beyond the record's room: split
                          {"NONE", "NONE", false, {}}}});
  desc.makers.push_back({"MITSUBISHI", {{"MM", "MM", false, units(2)}}});
  LoaderLayout layout;
  const auto bytes = MakeLoader(desc, &layout);
  TempDir dir;
  velmora::test::WriteFile(dir.File("LOADING.KWI"), bytes);
  const TLN_Loading loading(dir.File("LOADING.KWI"));
  ASSERT_TRUE(loading.Valid);
  EXPECT_EQ(loading.Frame.Makers[0].MakerName, "GENERAL MOTORS");
  EXPECT_EQ(loading.Frame.Makers[0].Longitude, -2391568);
  EXPECT_EQ(loading.Frame.Makers[1].MakerName, "");
  EXPECT_EQ(loading.Frame.Makers[3].MakerName, "MITSUBISHI");
  EXPECT_EQ(loading.Frame.Makers[3].Modules[0].Start, layout.makers[3].modules[0].start);
  const auto& mods = loading.Frame.Makers[2].Modules;
  const struct {
    size_t units;
    bool split;
  } want[] = {{1, true}, {11, false}, {12, true}, {0, false}};
  for (size_t k = 0; k < 4; ++k) {
    SCOPED_TRACE(mods[k].Name);
    EXPECT_EQ(mods[k].SplitTable, want[k].split);
    EXPECT_EQ(layout.makers[2].modules[k].splitTable, want[k].split);
    ASSERT_EQ(mods[k].Units.size(), want[k].units);
    for (size_t u = 0; u < want[k].units; ++u) {
      EXPECT_EQ(mods[k].Units[u].Name, "U" + std::to_string(u));
      EXPECT_EQ(mods[k].Units[u].Offset % 2, 0u);  // odd sizes are padded
      EXPECT_EQ(bytes[mods[k].Units[u].Offset], u + 1);
    }
  }

  // Descriptions the format cannot hold.
  const LoaderRecipe bad[] = {
      {},
      {{{"AISIN-AW", {}}}},
      {{{"NOBODY", {{"M", "M", false, {}}}}}},
      {{{"AISIN-AW", {{std::string(53, 'N'), "M", false, {}}}}}},
      {{{"AISIN-AW", {{"M", "M", false, {{"TOOLONGNAME", {1, 2}}}}}}}},
  };
  for (const auto& s : bad) EXPECT_THROW(MakeLoader(s), std::invalid_argument);
}

TEST(SampleVolumes, SetIsWrittenAndReadsBackAsOneStream) {
  TempDir dir;
  std::vector<uint8_t> data(10000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 256);
  const auto volumes = SplitIntoVolumes(data, 4096);
  ASSERT_EQ(volumes.size(), 3u);
  const auto paths = WriteVolumeSet(dir.Path(), "ALLDATA1.KWI", volumes);
  const std::vector<std::string> names = {dir.File("ALLDATA1.KWI"), dir.File("ALLDATA2.KWI"), dir.File("ALLDATA3.KWI")};
  EXPECT_EQ(paths, names);
  const size_t sizes[] = {4096, 4096, 1808};
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(ReadFile(paths[k]).size(), sizes[k]);

  TLN_FileStream stream(paths[0]);
  EXPECT_TRUE(stream.MultiVolume());
  EXPECT_EQ(stream.TotalSize(), 10000);
  std::vector<uint8_t> back(data.size());
  stream.ReadBuffer(back.data(), back.size());
  EXPECT_EQ(back, data);

  // Past the ninth volume the reader's next characters are used.
  const auto many = WriteVolumeSet(dir.Path(), "REGION1.KWI", std::vector<std::vector<uint8_t>>(11, {1, 2, 3}));
  EXPECT_EQ(many[9], dir.File("REGION:.KWI"));
  EXPECT_EQ(TLN_FileStream(many[0]).TotalSize(), 33);
}

TEST(MakeSampleCommand, WritesTheDemoFilesAndRejectsBadOptions) {
  TempDir dir;
  const std::string out = dir.File("new/sub");
  const auto r = RunCli({"make-sample", out, "--bench-unit", "1", "--phrases", "500"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(out + "/LOADING.KWI"), MakeLoader(DemoLoaderRecipe()));
  EXPECT_EQ(ReadFile(out + "/APM.BIN"), MakeDemoApmUnit());
  EXPECT_EQ(ReadFile(out + "/BENCH.BIN"), MakeBenchUnit(1 << 20, 500, 1).bytes);
  for (const char* name : {"LOADING.KWI", "APM.BIN", "BENCH.BIN"})
    EXPECT_NE(r.out.find(out + "/" + name), std::string::npos) << r.out;

  const auto plain = RunCli({"make-sample", dir.File("plain")});
  EXPECT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_FALSE(velmora::FileExists(dir.File("plain/BENCH.BIN")));

  const std::vector<std::vector<std::string>> wrong = {
      {"make-sample"},
      {"make-sample", dir.File("a"), dir.File("b")},
      {"make-sample", dir.File("c"), "--phrases", "10"},
      {"make-sample", dir.File("d"), "--bench-unit", "0"},
      {"make-sample", dir.File("e"), "--bench-unit", "129"},
      {"make-sample", dir.File("f"), "--bench-unit", "2", "--phrases", "0"},
      {"make-sample", dir.File("g"), "--bench-unit", "lots"},
  };
  for (const auto& args : wrong) {
    const auto w = RunCli(args);
    EXPECT_EQ(w.exitCode, 2) << args.back();
  }

  // A folder that cannot be made is a failure, not a usage error.
  velmora::test::WriteFile(dir.File("file"), std::string("x"));
  EXPECT_EQ(RunCli({"make-sample", dir.File("file/sub")}).exitCode, 1);
}

}  // namespace
}  // namespace velmora::sample
