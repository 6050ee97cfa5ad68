// Project creation: the dialog's field rules, the .BIN flow and the
// LOADING.KWI flow with their names, positions and declined questions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/ModuleUnits.h"
#include "analysis/ProjectCreation.h"
#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::TempDir;
using velmora::test::WriteFile;
namespace sample = velmora::sample;

namespace {

AnalysisOptions WholeUnit() {
  AnalysisOptions o;
  o.RangeEnd = 0xFFFFFFFF;
  return o;
}

AskYesNo Answer(bool yes, std::vector<std::string>* asked = nullptr) {
  return [=](const std::string& q) {
    if (asked) asked->push_back(q);
    return yes;
  };
}

sample::SampleUnit Unit(const std::string& tag, size_t strings, uint32_t seed) {
  sample::UnitRecipe s;
  s.tag = tag;
  s.strings = sample::EnglishMenuTexts(strings, seed);
  s.seed = seed;
  return sample::MakeUnit(s);
}

}  // namespace

TEST(DialogRules, PreselectUnit) {
  struct Case {
    std::vector<std::string> names;
    int selected;
  };
  const Case cases[] = {
      {{}, -1},
      {{"BOOT"}, 0},
      {{"BOOT", "MAP"}, 0},
      {{"BOOT", "APM", "MAP"}, 1},
      {{"APM", "MAP", "APM", "BOOT"}, 2},
      {{"apm", "APM "}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PreselectUnit(c.names), c.selected) << testing::PrintToString(c.names);
}

TEST(DialogRules, UnitNameOfABinFile) {
  struct Case {
    const char *path, *name;
  };
  const Case cases[] = {
      {"APM.BIN", "APM"},
      {"/home/u/APM.BIN", "APM"},
      {"/home/u/APM.OLD.BIN", "APM"},
      {"/home/u.v/APM.BIN", "APM"},
      {"/home/u/NODOT", "NODOT"},
      {"/home/u/.BIN", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UnitNameFromBinPath(c.path), c.name) << c.path;
}

TEST(BinFlow, CreatesTheProjectWithItsNames) {
  TempDir dir;
  const auto unit = Unit("V12", 20, 3);
  auto bytes = unit.bytes;
  bytes.resize(bytes.size() + 100, 0x77);  // a .BIN longer than its unit
  const std::string path = dir.File("APM.V12.BIN");
  WriteFile(path, bytes);

  PhraseTable t;
  t.SourcePath = "/earlier/LOADING.KWI";
  const CreationResult r = CreateProjectFromBin(t, path, WholeUnit(), Answer(false));
  ASSERT_TRUE(r.Analysis.Completed);
  EXPECT_EQ(t.Info.MakerIndex, -1);
  EXPECT_EQ(t.Info.ModuleIndex, -1);
  EXPECT_EQ(t.Info.UnitIndex, -1);
  EXPECT_EQ(t.Info.UnitOffset, 0u);
  EXPECT_EQ(t.Info.SourceSize, bytes.size());
  EXPECT_EQ(t.UnitImage, unit.bytes);
  EXPECT_EQ(t.UnitName, "APM");
  EXPECT_EQ(t.UnitTag, "V12");
  EXPECT_TRUE(t.SourcePath.empty());
  EXPECT_EQ(r.SuggestedBinName, path);
  EXPECT_EQ(t.Phrases.size(), sample::ExpectedRecords(unit, true).size());
}

TEST(BinFlow, DeclinedQuestions) {
  TempDir dir;
  const auto earlier = Unit("OLD", 5, 1);
  WriteFile(dir.File("OLD.BIN"), earlier.bytes);

  sample::UnitRecipe foreign;
  foreign.strings = sample::EnglishMenuTexts(5, 2);
  foreign.makerText = "OTHER MAKER";
  WriteFile(dir.File("FOREIGN.BIN"), sample::MakeUnit(foreign).bytes);
  sample::UnitRecipe badSum;
  badSum.strings = sample::EnglishMenuTexts(5, 2);
  badSum.corruptChecksum = true;
  WriteFile(dir.File("BADSUM.BIN"), sample::MakeUnit(badSum).bytes);

  PhraseTable t;
  ASSERT_TRUE(CreateProjectFromBin(t, dir.File("OLD.BIN"), WholeUnit(), Answer(true)).Analysis.Completed);
  const ProjectInfo info = t.Info;
  const auto phrases = t.Phrases.size();

  // The maker question declined: the earlier project stays, Info included.
  std::vector<std::string> asked;
  EXPECT_FALSE(CreateProjectFromBin(t, dir.File("FOREIGN.BIN"), WholeUnit(), Answer(false, &asked)).Analysis.Completed);
  EXPECT_EQ(asked, std::vector<std::string>{kForeignMakerQuestion});
  EXPECT_EQ(std::memcmp(&t.Info, &info, sizeof info), 0);
  EXPECT_EQ(t.Phrases.size(), phrases);
  EXPECT_EQ(t.UnitImage, earlier.bytes);
  EXPECT_EQ(t.UnitName, "OLD");

  // The checksum question declined: no project is left.
  asked.clear();
  EXPECT_FALSE(CreateProjectFromBin(t, dir.File("BADSUM.BIN"), WholeUnit(), Answer(false, &asked)).Analysis.Completed);
  EXPECT_EQ(asked, std::vector<std::string>{kBadChecksumQuestion});
  EXPECT_TRUE(t.Phrases.empty());
  EXPECT_TRUE(t.UnitImage.empty());

  // Answered Yes, both go on.
  EXPECT_TRUE(CreateProjectFromBin(t, dir.File("BADSUM.BIN"), WholeUnit(), Answer(true)).Analysis.Completed);
  EXPECT_EQ(t.UnitName, "BADSUM");
  EXPECT_FALSE(t.Phrases.empty());
}

// A large unit is read in chunks of 1 MB, which sum the checksum and feed
// the scan on one pass. A pointer table across a chunk boundary gives the
// records it gives in one piece, and a wrong checksum is still found.
TEST(BinFlow, ALargeUnitReadInChunksGivesTheSameRecords) {
  TempDir dir;
  sample::UnitRecipe recipe;
  recipe.strings = sample::EnglishMenuTexts(3000, 8);
  recipe.codeWordsBefore = ((size_t{1} << 20) - 128 - 6000) / 4;  // the pointers reach over 1 MB
  recipe.moreTables.push_back({sample::EnglishMenuTexts(200, 9), sample::Order::Reversed});
  recipe.minSize = (size_t{5} << 20) / 2;
  recipe.seed = 8;
  const sample::SampleUnit unit = sample::MakeUnit(recipe);
  ASSERT_LT(unit.pointerOffsets.front(), 1u << 20);
  ASSERT_GT(unit.pointerOffsets.back(), 1u << 20);
  WriteFile(dir.File("BIG.BIN"), unit.bytes);

  AnalysisOptions options = WholeUnit();
  options.HideAbc = false;  // as the records are planned
  PhraseTable t;
  std::vector<std::string> asked;
  ASSERT_TRUE(CreateProjectFromBin(t, dir.File("BIG.BIN"), options, Answer(false, &asked)).Analysis.Completed);
  EXPECT_TRUE(asked.empty());
  EXPECT_TRUE(t.UnitImage.Mapped());
  const std::vector<TPhrase> expected = sample::ExpectedRecords(unit, true);
  ASSERT_EQ(t.Phrases.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    ASSERT_EQ(std::memcmp(&t.Phrases[i], &expected[i], sizeof(TPhrase)), 0) << "record " << i;

  recipe.corruptChecksum = true;
  WriteFile(dir.File("BADSUM.BIN"), sample::MakeUnit(recipe).bytes);
  EXPECT_FALSE(CreateProjectFromBin(t, dir.File("BADSUM.BIN"), options, Answer(false, &asked)).Analysis.Completed);
  EXPECT_EQ(asked, std::vector<std::string>{kBadChecksumQuestion});
  EXPECT_TRUE(t.Phrases.empty());
}

TEST(BinFlow, MissingFile) {
  PhraseTable t;
  EXPECT_THROW(CreateProjectFromBin(t, "/nonexistent/APM.BIN", WholeUnit(), Answer(true)), EFOpenError);
}

TEST(LoaderFlow, CreatesTheProjectFromTheChosenUnit) {
  TempDir dir;
  const auto apm1 = Unit("A1", 12, 11), apm2 = Unit("A2", 14, 12), map = Unit("M", 8, 13);
  sample::LoaderRecipe desc;
  desc.makers.push_back({"TOYOTA", {{"TOYOTA NAV", "TN", false, {{"TN0", std::vector<uint8_t>(3000, 1)}}}}});
  desc.makers.push_back({"AISIN-AW",
                         {{"AISIN EMPTY", "AE", false, {}},
                          {"AISIN PROGRAM", "AP", false, {{"BOOT", map.bytes}, {"APM", apm1.bytes}, {"MAP", map.bytes}, {"APM", apm2.bytes}}}}});
  sample::LoaderLayout layout;
  const std::string path = dir.File("LOADING.KWI");
  WriteFile(path, sample::MakeLoader(desc, &layout));

  const TLN_Loading loading(path);
  ASSERT_TRUE(loading.Valid);
  EXPECT_EQ(AisinMakerIndices(loading), std::vector<int>{1});
  EXPECT_EQ(ModuleNames(loading, 1), (std::vector<std::string>{"AISIN EMPTY", "AISIN PROGRAM"}));
  EXPECT_TRUE(UnitNames(loading, 1, 0).empty());
  EXPECT_EQ(PreselectUnit(UnitNames(loading, 1, 1)), 3);

  // A module without units gives no project.
  PhraseTable t;
  EXPECT_THROW(CreateProjectFromLoader(t, loading, -1, 0, -1, WholeUnit(), Answer(true)), EProjectCreationError);
  // A maker entry that is not "AISIN-AW".
  EXPECT_THROW(CreateProjectFromLoader(t, loading, 0, 0, 0, WholeUnit(), Answer(true)), EProjectCreationError);
  EXPECT_THROW(CreateProjectFromLoader(t, loading, 1, 1, 4, WholeUnit(), Answer(true)), EProjectCreationError);

  // The preselected unit: the last "APM".
  const CreationResult r = CreateProjectFromLoader(t, path, -1, 1, -1, WholeUnit(), Answer(false));
  ASSERT_TRUE(r.Analysis.Completed);
  const auto& placed = layout.makers[1].modules[1].units[3];
  EXPECT_EQ(t.Info.MakerIndex, 1);
  EXPECT_EQ(t.Info.ModuleIndex, 1);
  EXPECT_EQ(t.Info.UnitIndex, 3);
  EXPECT_EQ(t.Info.UnitOffset, placed.offset);
  EXPECT_EQ(t.Info.SourceSize, placed.size);
  EXPECT_EQ(t.UnitImage, apm2.bytes);
  EXPECT_EQ(t.UnitName, "APM");
  EXPECT_EQ(t.UnitTag, "A2");
  EXPECT_EQ(t.SourcePath, path);
  EXPECT_EQ(r.SuggestedBinName, "APM_A2.BIN");
  EXPECT_EQ(t.Phrases.size(), sample::ExpectedRecords(apm2, true).size());

  // An explicit unit.
  ASSERT_TRUE(CreateProjectFromLoader(t, loading, 1, 1, 1, WholeUnit(), Answer(false)).Analysis.Completed);
  EXPECT_EQ(t.UnitImage, apm1.bytes);
  EXPECT_EQ(t.Info.UnitIndex, 1);
}

TEST(LoaderFlow, NoSuitableAisinModule) {
  TempDir dir;
  sample::LoaderRecipe desc;
  desc.makers.push_back({"TOYOTA", {{"TOYOTA NAV", "TN", false, {{"TN0", std::vector<uint8_t>(3000, 1)}}}}});
  WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(desc));
  WriteFile(dir.File("garbage.KWI"), std::vector<uint8_t>(100, 0xFF));
  for (const char* name : {"LOADING.KWI", "garbage.KWI"}) {
    SCOPED_TRACE(name);
    PhraseTable t;
    try {
      CreateProjectFromLoader(t, dir.File(name), -1, -1, -1, WholeUnit(), Answer(true));
      FAIL() << "created";
    } catch (const EProjectCreationError& e) {
      EXPECT_STREQ(e.what(), "A suitable AISIN module is not detected !");
    }
  }
}

TEST(LoaderFlow, AModuleWithoutUnitsSaysWhy) {
  TempDir dir;
  sample::LoaderLayout layout;
  const std::vector<uint8_t> whole = sample::MakeLoader(sample::DemoLoaderRecipe(), &layout);
  const sample::LoaderModuleLayout& module = layout.makers[1].modules[0];
  const std::string head = "The module \"AISIN NAVIGATION PROGRAM\" has no units: ";
  auto poke16 = [](std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
  };
  std::vector<uint8_t> cut(whole.begin(), whole.begin() + module.start + module.length - 1);
  std::vector<uint8_t> noPosition = whole;  // the start sector word "none"
  poke16(noPosition, module.recordOffset + 250, 0xFFFF);
  poke16(noPosition, module.recordOffset + 252, 0xFFFF);
  std::vector<uint8_t> crowded = whole;  // more entries than the record holds
  poke16(crowded, module.recordOffset + 68, 12);
  const struct {
    const char* name;
    const std::vector<uint8_t>& bytes;
    std::string reason;
  } cases[] = {
      {"cut", cut,
       head + "its data reaches to byte " + std::to_string(module.start + module.length) + ", but the file holds only " +
           std::to_string(cut.size()) + " bytes. The loader file is cut short (truncated)."},
      {"no position", noPosition, head + "its record gives its data no position in the loader."},
      {"crowded", crowded, head + "its unit table lists none, or more than its record can hold."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(std::string(c.name) + ".KWI");
    WriteFile(path, c.bytes);
    const TLN_Loading loading(path);
    ASSERT_TRUE(loading.Valid);
    ASSERT_TRUE(loading.Frame.Makers[1].Modules[0].Units.empty());
    EXPECT_EQ(NoUnitsReason(loading, loading.Frame.Makers[1].Modules[0]), c.reason);
    PhraseTable t;
    try {
      CreateProjectFromLoader(t, loading, 1, 0, -1, WholeUnit(), Answer(true));
      FAIL() << "created";
    } catch (const EProjectCreationError& e) {
      EXPECT_EQ(e.what(), c.reason);
    }
  }
  // A module with units needs no reason.
  WriteFile(dir.File("LOADING.KWI"), whole);
  const TLN_Loading sound(dir.File("LOADING.KWI"));
  EXPECT_EQ(NoUnitsReason(sound, sound.Frame.Makers[1].Modules[0]), "");
}

TEST(LoaderFlow, SeveralAisinEntriesTheFirstUnlessChosen) {
  TempDir dir;
  const auto a = Unit("FIRST", 6, 31), b = Unit("SECOND", 6, 32);
  sample::LoaderRecipe desc;
  desc.makers.push_back({"AISIN-AW", {{"ONE", "1", false, {{"APM", a.bytes}}}}});
  desc.makers.push_back({"AISIN-AW", {{"TWO", "2", false, {{"APM", b.bytes}}}}});
  WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(desc));
  const TLN_Loading loading(dir.File("LOADING.KWI"));
  EXPECT_EQ(AisinMakerIndices(loading), (std::vector<int>{0, 1}));
  PhraseTable t;
  ASSERT_TRUE(CreateProjectFromLoader(t, loading, -1, -1, -1, WholeUnit(), Answer(false)).Analysis.Completed);
  EXPECT_EQ(t.UnitTag, "FIRST");
  ASSERT_TRUE(CreateProjectFromLoader(t, loading, 1, -1, -1, WholeUnit(), Answer(false)).Analysis.Completed);
  EXPECT_EQ(t.UnitTag, "SECOND");
  EXPECT_EQ(t.Info.MakerIndex, 1);
}

TEST(LoaderFlow, DemoLoaderQuestions) {
  TempDir dir;
  WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(sample::DemoLoaderRecipe()));
  const TLN_Loading loading(dir.File("LOADING.KWI"));
  const int maker = FirstAisinMaker(loading);
  const auto units = UnitNames(loading, maker, 1);
  const auto at = [&](const std::string& n) { return static_cast<int>(std::find(units.begin(), units.end(), n) - units.begin()); };
  PhraseTable t;
  std::vector<std::string> asked;
  EXPECT_FALSE(CreateProjectFromLoader(t, loading, maker, 1, at("FOREIGN"), WholeUnit(), Answer(false, &asked)).Analysis.Completed);
  EXPECT_FALSE(CreateProjectFromLoader(t, loading, maker, 1, at("BADSUM"), WholeUnit(), Answer(false, &asked)).Analysis.Completed);
  EXPECT_EQ(asked, (std::vector<std::string>{kForeignMakerQuestion, kBadChecksumQuestion}));
  AnalysisOptions jp = WholeUnit();
  jp.Mode = TextMode::Japanese;
  const auto r = CreateProjectFromLoader(t, loading, maker, 1, at("JPN"), jp, Answer(false));
  EXPECT_TRUE(r.Analysis.Completed);
  EXPECT_EQ(r.Analysis.Mode, TextMode::Japanese);
  EXPECT_FALSE(t.Phrases.empty());
}
