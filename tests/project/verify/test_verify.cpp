// Verification of built .BIN and LOADING.KWI files against their project:
// clean builds verify clean, every kind of damage is caught and named, and
// translations that a build itself overwrites are reported.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"
#include "project/verify/RecordDamage.h"
#include "project/verify/Verify.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "support/UnitFixture.h"

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint32_t kBase = test::kFixtureBase;
using test::Phrase;
using test::Translate;
using test::UnitFixture;

bool Has(const VerifyResult& r, VerifyKind kind, const std::string& words) {
  for (const auto& p : r.Problems)
    if (p.Kind == kind && p.Message.find(words) != std::string::npos) return true;
  return false;
}

std::string Listing(const VerifyResult& r) {
  std::string s;
  for (const auto& p : r.Problems) s += ProblemLine(p) + "\n";
  for (const auto& n : r.Notes) s += "note: " + n + "\n";
  return s;
}

// The fixture project: phrase 0 in place, phrase 1 relocated with a link
// record (2), phrase 3 never switched on, phrase 4 relocated.
//   0x200 "Main Menu"  <- 0x180          0x220 "Settings" <- 0x184, 0x188 (link)
//   0x240 "Volume"     <- 0x18C (off)    0x260 "Map"      <- 0x190
PhraseTable FixtureProject() {
  UnitFixture u(4096);
  u.Pointer(0x180, 0x200);
  u.Pointer(0x184, 0x220);
  u.Pointer(0x188, 0x220);
  u.Pointer(0x18C, 0x240);
  u.Pointer(0x190, 0x260);
  u.String(0x200, "Main Menu");
  u.String(0x220, "Settings");
  u.String(0x240, "Volume");
  u.String(0x260, "Map");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x200, 9), Phrase(0x184, 0x220, 8), Phrase(0x188, 0x220, 8, pfLink, -1, 1),
               Phrase(0x18C, 0x240, 6), Phrase(0x190, 0x260, 3)};
  Translate(t, 0, "Menu");                          // 4 bytes: in place
  Translate(t, 1, "Einstellungen");                 // 14 bytes: relocated, the link follows
  Translate(t, 4, "Karten\r\n");                    // 6 bytes: relocated
  t.AppendEditedText(3, "Lautstaerke");             // a text that is not switched on
  return t;
}

class VerifyBinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table = FixtureProject();
    SaveBin(table, path);
    built = ReadFile(path);
  }
  VerifyResult VerifyBytes(const Bytes& bytes) {
    WriteFile(damaged, bytes);
    return VerifyBin(table, damaged);
  }
  uint32_t RelocatedTarget(uint32_t link) const { return LoadBE32(&built[link]) - kBase; }

  TempDir dir;
  std::string path = dir.File("OUT.BIN");
  std::string damaged = dir.File("DAMAGED.BIN");
  PhraseTable table;
  Bytes built;
};

TEST_F(VerifyBinTest, CleanBuildVerifiesWithTheSummaryOfThePlan) {
  const VerifyResult r = VerifyBin(table, path);
  EXPECT_TRUE(r.Clean()) << Listing(r);
  EXPECT_EQ(r.Kind, BuiltKind::Bin);
  EXPECT_EQ(r.Summary.InPlace, 1u);
  EXPECT_EQ(r.Summary.Relocated, 2u);
  // "Einstellungen" (13 and the zero preparation adds), "Karten" (6, and two
  // zeros after it).
  EXPECT_EQ(r.Summary.AppendedBytes, 14u + 8u);
  EXPECT_EQ(r.Summary.OldSize, 4096u);
  EXPECT_EQ(r.Summary.NewSize, 4120u);
  EXPECT_EQ(LoadBE32(&built[kUnitSizeOffset]), r.Summary.NewSize);
  EXPECT_EQ(built.size(), r.Summary.PaddedSize);
  EXPECT_EQ(VerifiedStatusText(r), "Verified: 1 translations in place, 2 relocated.");
  EXPECT_EQ(GuessBuiltKind(table, path, ""), BuiltKind::Bin);
}

// One kind of damage at a time: each is caught, named, and the only other
// problem it may bring is the checksum that no longer holds.
TEST_F(VerifyBinTest, EachDamageIsCaughtAndNamed) {
  const uint32_t moved = RelocatedTarget(0x184);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    VerifyKind kind;
    std::string words;
  };
  const std::vector<Case> cases = {
      {"a pointer no translation touches", [](Bytes& b) { b[0x18F] ^= 0x04; }, VerifyKind::Pointer,
       "pointer of phrase 3 at unit offset 0x0000018C was changed"},
      {"the redirected pointer of a phrase", [](Bytes& b) { b[0x187] ^= 0x02; }, VerifyKind::Pointer,
       "redirected pointer of phrase 1 at unit offset 0x00000184 leads to"},
      {"the redirected pointer of a link record", [](Bytes& b) { b[0x188] ^= 0x40; }, VerifyKind::Pointer,
       "redirected pointer of link record 2 of phrase 1"},
      {"a redirected pointer sent back to the old room", [](Bytes& b) { StoreBE32(&b[0x190], 0x260 + kBase); },
       VerifyKind::Pointer, "leads to unit offset 0x00000260, outside the appended area; its translation is at"},
      {"a redirected pointer sent into the image", [](Bytes& b) { StoreBE32(&b[0x190], 0x700 + kBase); },
       VerifyKind::Pointer, "outside the appended area"},
      {"an untouched byte", [](Bytes& b) { b[0x700] ^= 0x01; }, VerifyKind::Image, "untouched area"},
      {"the text of a phrase that is not switched on", [](Bytes& b) { b[0x241] = 'X'; }, VerifyKind::Image,
       "text of phrase 3"},
      {"a byte of an in-place translation", [](Bytes& b) { b[0x201] = 'X'; }, VerifyKind::Translation,
       "in-place translation of phrase 0"},
      {"the zeros after an in-place translation", [](Bytes& b) { b[0x206] = 'X'; }, VerifyKind::Translation,
       "in-place translation of phrase 0"},
      {"a byte of a relocated translation", [moved](Bytes& b) { b[moved + 3] ^= 0x20; }, VerifyKind::Translation,
       "relocated translation of phrase 1"},
      {"the zero that ends a relocated translation", [moved](Bytes& b) { b[moved + 13] = '!'; },
       VerifyKind::Translation, "relocated translation of phrase 1"},
      {"the emptied room of a relocated text", [](Bytes& b) { b[0x222] = 't'; }, VerifyKind::Image,
       "old room of relocated phrase 1"},
      {"a stray byte in the appended area", [](Bytes& b) { b[4096 + 14 + 6 + 1] = 1; }, VerifyKind::Appended,
       "belong to no translation"},
      {"a header byte", [](Bytes& b) { b[50] = 'x'; }, VerifyKind::Header, "unit header differs"},
      {"the checksum", [](Bytes& b) { b[kUnitChecksumOffset + 3] ^= 0x10; }, VerifyKind::Checksum,
       "checksum field holds"},
      {"the size", [](Bytes& b) { StoreBE32(&b[kUnitSizeOffset], 4096); }, VerifyKind::UnitSize,
       "size field holds 4096; the unit's written length is 4120"},
      {"the padding", [](Bytes& b) { b[5000] = 0x20; }, VerifyKind::Padding, "zero padding after the unit"},
      {"truncation", [](Bytes& b) { b.resize(4100); }, VerifyKind::FileLength, "the file ends 4100 bytes into"},
      {"bytes after the padding", [](Bytes& b) { b.resize(b.size() + 2048, 0); }, VerifyKind::FileLength,
       "2048 bytes after the unit"},
  };
  for (const Case& c : cases) {
    Bytes b = built;
    c.damage(b);
    const VerifyResult r = VerifyBytes(b);
    EXPECT_TRUE(Has(r, c.kind, c.words)) << c.what << ":\n" << Listing(r);
    for (const auto& p : r.Problems)
      EXPECT_TRUE(p.Kind == c.kind || p.Kind == VerifyKind::Checksum || c.kind == VerifyKind::FileLength)
          << c.what << ": unexpected " << ProblemLine(p);
  }
}

// Wherever a file ends, the cut is the first problem, with where it falls
// and how much is missing; the rest of what the file holds is checked, and
// what is cut off is not reported again (a relocated text the cut shortens
// is no stray bytes of the appended area).
TEST_F(VerifyBinTest, ACutFileIsReportedAsTruncatedFirstWhereverItEnds) {
  // The image takes 4096 bytes; "Einstellungen" is appended at 4096, "Karten"
  // at 4110, the unit ends at 4120 and its padding at 6144.
  ASSERT_EQ(RelocatedTarget(0x184), 4096u);
  struct Case {
    size_t cut;
    const char* where;
  } cases[] = {{100, "its header"},         {3000, "its image"},        {4100, "its appended area"},
               {4112, "its appended area"}, {4120, "its zero padding"}, {5000, "its zero padding"}};
  for (const Case& c : cases) {
    const VerifyResult r = VerifyBytes(Bytes(built.begin(), built.begin() + static_cast<std::ptrdiff_t>(c.cut)));
    ASSERT_FALSE(r.Problems.empty()) << c.cut;
    EXPECT_EQ(r.Problems[0].Kind, VerifyKind::FileLength) << c.cut;
    EXPECT_EQ(r.Problems[0].Offset, c.cut);
    EXPECT_EQ(r.Problems[0].Message,
              "truncated: the file ends " + std::to_string(c.cut) + " bytes into the translated unit, inside " +
                  c.where + "; the unit takes 6144 bytes with its padding, so " + std::to_string(6144 - c.cut) +
                  " are missing");
    EXPECT_EQ(r.ProblemCount, 1u) << c.cut << ":\n" << Listing(r);
  }
  // A damaged byte before the cut is still found.
  Bytes b(built.begin(), built.begin() + 4100);
  b[4097] ^= 0x20;
  const VerifyResult r = VerifyBytes(b);
  ASSERT_FALSE(r.Problems.empty());
  EXPECT_EQ(r.Problems[0].Kind, VerifyKind::FileLength);
  EXPECT_TRUE(Has(r, VerifyKind::Translation, "relocated translation of phrase 1")) << Listing(r);
  EXPECT_FALSE(Has(r, VerifyKind::Appended, "")) << Listing(r);
}

TEST_F(VerifyBinTest, DamagedOrForeignFilesGiveProblemsNotCrashes) {
  for (const Bytes& b : {Bytes{}, Bytes(100, 0xFF), Bytes(4 * 2048, 0), Bytes(built.begin(), built.begin() + 120)}) {
    const VerifyResult r = VerifyBytes(b);
    EXPECT_FALSE(r.Clean());
    EXPECT_TRUE(Has(r, VerifyKind::FileLength, "")) << Listing(r);
  }
  // Damage all over the file: the problems are listed up to the cap and
  // counted beyond it.
  Bytes noise = built;
  for (size_t i = 0; i < noise.size(); i += 2) noise[i] ^= 0x01;
  const VerifyResult r = VerifyBytes(noise);
  EXPECT_EQ(r.Problems.size(), kMaxListedProblems);
  EXPECT_GT(r.ProblemCount, kMaxListedProblems);
  const std::string box = ProblemsMessage(r, 10);
  EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 11);
  EXPECT_NE(box.find("more."), std::string::npos);
}

TEST(VerifyBin, NothingSwitchedOnBuildsAndVerifiesAsTheImagePaddedTo2048) {
  UnitFixture u(3000);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "Hello");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x200, 5)};
  t.AppendEditedText(0, "Switched off, so never written");
  TempDir dir;
  Bytes padded(t.UnitImage.begin(), t.UnitImage.end());
  padded.resize(4096, 0);
  WriteFile(dir.File("PADDED.BIN"), padded);
  const VerifyResult r = VerifyBin(t, dir.File("PADDED.BIN"));
  EXPECT_TRUE(r.Clean()) << Listing(r);
  EXPECT_EQ(r.Summary.InPlace + r.Summary.Relocated + r.Summary.AppendedBytes, 0u);
  EXPECT_EQ(r.Summary.NewSize, 3000u);
  SaveBin(t, dir.File("OUT.BIN"));
  EXPECT_EQ(ReadFile(dir.File("OUT.BIN")), padded);

  // An empty image builds to an empty file, and nothing else verifies.
  PhraseTable empty;
  WriteFile(dir.File("EMPTY.BIN"), Bytes{});
  EXPECT_TRUE(VerifyBin(empty, dir.File("EMPTY.BIN")).Clean());
  EXPECT_TRUE(Has(VerifyBin(empty, dir.File("PADDED.BIN")), VerifyKind::FileLength, "4096 bytes after"));
}

// Strings that share bytes: a build writes them in table order, so one
// switched-on translation can overwrite another. The file is then exactly
// what the build makes, and still wrong for the device.
TEST(VerifyBin, TranslationsThatABuildOverwritesAreReported) {
  // "HELLO WORLD" at 0x200, and its tail "WORLD" at 0x206 as a phrase of its own.
  auto project = [] {
    UnitFixture u(2048);
    u.Pointer(0x180, 0x200);
    u.Pointer(0x184, 0x206);
    u.String(0x200, "HELLO WORLD");
    PhraseTable t = u.Table();
    t.Phrases = {Phrase(0x180, 0x200, 11), Phrase(0x184, 0x206, 5)};
    return t;
  };
  TempDir dir;
  const std::string out = dir.File("OUT.BIN");
  struct Case {
    const char* what;
    std::string first, second;  // translations; empty: not switched on
    bool clean;
    std::string words;
  };
  const std::vector<Case> cases = {
      {"the later in-place text runs into the earlier one", "GOODBYE AL", "MOON", false,
       "in-place translation of phrase 0 at unit offset 0x00000200 is overwritten at unit offset 0x00000206 by phrase 1"},
      {"the later relocated text empties its room inside the earlier one", "GOODBYE AL", "EARTH", false,
       "in-place translation of phrase 0 at unit offset 0x00000200 is overwritten at unit offset 0x00000206 by phrase 1"},
      {"the earlier text is relocated, the later one lives in its emptied room", "A MUCH LONGER GREETING", "MOON",
       true, ""},
      {"only the outer text is switched on: the inner phrase's text changes", "GOODBYE AL", "", true,
       "The text of phrase 1"},
  };
  for (const Case& c : cases) {
    PhraseTable t = project();
    if (!c.first.empty()) Translate(t, 0, c.first);
    if (!c.second.empty()) Translate(t, 1, c.second);
    SaveBin(t, out);
    const VerifyResult r = VerifyBin(t, out);
    EXPECT_EQ(r.Clean(), c.clean) << c.what << ":\n" << Listing(r);
    if (!c.clean) {
      EXPECT_TRUE(Has(r, VerifyKind::Overwritten, c.words)) << c.what << ":\n" << Listing(r);
    } else if (!c.words.empty()) {
      ASSERT_EQ(r.Notes.size(), 1u) << c.what;
      EXPECT_NE(r.Notes[0].find(c.words), std::string::npos) << r.Notes[0];
    }
  }

  // A translated string that runs over a pointer word: the pointer that
  // reached another phrase no longer does, and the build copies the ruined
  // pointer into that phrase's link record too.
  UnitFixture u(2048);
  u.Pointer(0x180, 0x1F8);
  u.Pointer(0x200, 0x300);
  u.Pointer(0x210, 0x300);
  u.String(0x1F8, "ABCDEFG");
  u.String(0x300, "Next");
  PhraseTable t = u.Table();
  // A damaged record: phrase 0's room spans the pointer word at 0x200.
  t.Phrases = {Phrase(0x180, 0x1F8, 15), Phrase(0x200, 0x300, 4), Phrase(0x210, 0x300, 4, pfLink, -1, 1)};
  Translate(t, 0, "0123456789ABCD");
  SaveBin(t, out);
  const VerifyResult r = VerifyBin(t, out);
  EXPECT_TRUE(Has(r, VerifyKind::Overwritten, "the pointer of phrase 1 at unit offset 0x00000200 is overwritten by "
                                              "phrase 0"))
      << Listing(r);
  EXPECT_TRUE(Has(r, VerifyKind::Overwritten, "the pointer of link record 2 of phrase 1 at unit offset 0x00000210 "
                                              "copies its master's pointer"))
      << Listing(r);
  EXPECT_EQ(r.ProblemCount, 2u) << Listing(r);
}

TEST(VerifyBin, ATranslationWrittenIntoTheUnitHeaderIsReported) {
  // A damaged record whose text lies at offset 6, over the unit's tag.
  UnitFixture u(2048);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "Main Menu");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x006, 9)};
  Translate(t, 0, "Hauptmenu");
  TempDir dir;
  SaveBin(t, dir.File("OUT.BIN"));
  const VerifyResult r = VerifyBin(t, dir.File("OUT.BIN"));
  EXPECT_TRUE(Has(r, VerifyKind::Header, "phrase 0 writes into the unit header at unit offset 0x00000006")) << Listing(r);
}

TEST(RecordDamage, EachDamagedRecordIsNamedAndASoundProjectHasNone) {
  EXPECT_EQ(FindRecordDamage(FixtureProject()), std::vector<std::string>{});
  struct Case {
    const char* name;
    void (*damage)(PhraseTable&);
    std::vector<std::string> lines;
  } cases[] = {
      {"a text in the header that its pointer does not lead to", [](PhraseTable& t) { t.Phrases[0].StringAddress = 0x10; },
       {"phrase 0: the pointer word at 0x00000180 leads to 0x00000200, not to its text at 0x00000010"}},
      {"a length that misses its zero byte", [](PhraseTable& t) { t.Phrases[3].Length = 4; },
       {"phrase 3: its length 4 does not end at the zero byte of its text at 0x00000240"}},
      {"a pointer word in the header", [](PhraseTable& t) { t.Phrases[3].LinkAddress = 0x70; },
       {"phrase 3: its pointer word at 0x00000070 lies in the unit header"}},
      {"a flipped bit in a string address", [](PhraseTable& t) { t.Phrases[4].StringAddress ^= 0x10; },
       {"phrase 4: the pointer word at 0x00000190 leads to 0x00000260, not to its text at 0x00000270"}},
      {"a link record that leads elsewhere", [](PhraseTable& t) { t.Phrases[2].LinkAddress = 0x18C; },
       {"link record 2: the pointer word at 0x0000018C leads to 0x00000240, not to its text at 0x00000220"}},
  };
  for (const auto& c : cases) {
    PhraseTable t = FixtureProject();
    c.damage(t);
    EXPECT_EQ(FindRecordDamage(t), c.lines) << c.name;
  }
  // Many damaged records: the first few and how many more.
  PhraseTable t = FixtureProject();
  for (TPhrase& p : t.Phrases) p.StringAddress = 0x20;
  const auto lines = FindRecordDamage(t, 2);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "... and 3 more damaged records");
}

// ---------------------------------------------------------------- loaders

sample::UnitRecipe TranslatedUnitRecipe(uint32_t seed) {
  sample::UnitRecipe u;
  u.tag = "APM";
  u.seed = seed;
  switch (seed % 3) {
    case 0: u.strings = sample::EnglishMenuTexts(40, seed); break;
    case 1: u.strings = sample::EuropeanTexts(40, seed); break;
    default: u.strings = sample::JapaneseTexts(40, seed); break;
  }
  u.order = seed % 2 ? sample::Order::Packed : sample::Order::Scattered;
  u.moreTables.push_back({sample::EnglishMenuTexts(12, seed + 100), sample::Order::Reversed});
  return u;
}

Bytes Filler(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes v(size);
  for (auto& x : v) x = static_cast<uint8_t>(rng());
  return v;
}

// A loader whose AISIN-AW module holds the translated unit among units of
// odd and even size, in the split layout or the directory-table layout.
sample::LoaderRecipe GeneratedLoader(uint32_t seed, size_t translatedIndex, bool split) {
  sample::ModuleRecipe module{"AISIN NAVIGATION PROGRAM", "ANP", split, {}};
  module.units = {{"BOOT", Filler(701 + seed, seed)}, {"MAP", Filler(2048 + 2 * seed, seed + 1)},
                  {"DICT", Filler(333, seed + 2)}};
  module.units.insert(module.units.begin() + static_cast<std::ptrdiff_t>(translatedIndex),
                      {"APM", sample::MakeUnit(TranslatedUnitRecipe(seed)).bytes});
  sample::LoaderRecipe recipe;
  if (seed % 2) recipe.makers.push_back({"TOYOTA", {{"TOYOTA NAVIGATION SYSTEM", "TNS", false, {{"T0", Filler(900, 9)}}}}});
  recipe.makers.push_back({"AISIN-AW", {{"AISIN VOICE", "AVC", false, {{"VOICE", Filler(1500, 3)}}}, module}});
  return recipe;
}

// Switches on a mix of translations: shorter, exactly as long, longer, empty
// after preparation, multi-line with carriage returns; some switched off again.
void TranslateSome(PhraseTable& t, uint32_t seed) {
  std::mt19937 rng(seed);
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    const TPhrase& p = t.Phrases[i];
    if ((p.Flags & pfLink) || rng() % 4 == 0) continue;
    std::string text;
    switch (rng() % 6) {
      case 0: text = std::string(p.Length / 2 + 1, 'a'); break;
      case 1: text = std::string(p.Length % 2 ? p.Length - 1 : p.Length, 'b'); break;
      case 2: text = std::string(p.Length + 1 + rng() % 20, 'c'); break;
      case 3: text = "Line one\r\nLine " + std::to_string(i) + "\r\n"; break;
      case 4: text = "\n\n"; break;
      default: text = std::string(p.Length, 'd'); break;
    }
    Translate(t, i, text);
    if (rng() % 7 == 0) t.Phrases[i].Flags = static_cast<uint16_t>(t.Phrases[i].Flags & ~pfOn);
  }
}

struct BuiltProject {
  TempDir dir;
  std::string source = dir.File("LOADING.KWI");
  std::string bin = dir.File("APM.BIN");
  std::string loader = dir.File("NEW.KWI");
  PhraseTable table;
};

void BuildGenerated(BuiltProject& b, uint32_t seed, size_t translatedIndex, bool split) {
  WriteFile(b.source, sample::MakeLoader(GeneratedLoader(seed, translatedIndex, split)));
  AnalysisOptions options;
  options.Mode = seed % 3 == 0 ? TextMode::English : seed % 3 == 1 ? TextMode::European : TextMode::Japanese;
  options.HideAbc = false;
  options.RangeEnd = 0xFFFFFFFFu;
  const int aisin = seed % 2 ? 1 : 0;
  CreateProjectFromLoader(b.table, b.source, aisin, 1, static_cast<int>(translatedIndex), options,
                          [](const std::string&) { return true; });
  ASSERT_EQ(b.table.UnitName, "APM");
  TranslateSome(b.table, seed);
  SaveBin(b.table, b.bin);
  RebuildLoader(b.table, b.source, b.loader);
}

TEST(VerifyGenerated, BuildsOfGeneratedProjectsVerifyCleanAndAnyChangedByteIsCaught) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    BuiltProject b;
    BuildGenerated(b, seed, seed % 4, seed % 3 != 0);
    const VerifyResult bin = VerifyBin(b.table, b.bin);
    const VerifyResult loader = VerifyLoader(b.table, b.loader, b.source);
    ASSERT_TRUE(bin.Clean()) << Listing(bin);
    ASSERT_TRUE(loader.Clean()) << Listing(loader);
    EXPECT_GT(bin.Summary.InPlace, 3u);
    EXPECT_GT(bin.Summary.Relocated, 3u);
    EXPECT_EQ(loader.Kind, BuiltKind::Loader);
    EXPECT_EQ(GuessBuiltKind(b.table, b.loader, b.source), BuiltKind::Loader);
    EXPECT_EQ(GuessBuiltKind(b.table, b.loader, ""), BuiltKind::Loader);
    EXPECT_EQ(GuessBuiltKind(b.table, b.bin, b.source), BuiltKind::Bin);

    // Every single changed byte, anywhere in either file, is reported.
    std::mt19937 rng(seed);
    for (const std::string* path : {&b.bin, &b.loader}) {
      const Bytes good = ReadFile(*path);
      const std::string damaged = b.dir.File("DAMAGED");
      for (int k = 0; k < 60; ++k) {
        Bytes bad = good;
        const size_t at = rng() % bad.size();
        bad[at] = static_cast<uint8_t>(bad[at] ^ (1 + rng() % 255));
        WriteFile(damaged, bad);
        const VerifyResult r = path == &b.bin ? VerifyBin(b.table, damaged) : VerifyLoader(b.table, damaged, b.source);
        EXPECT_FALSE(r.Clean()) << *path << " byte " << at << " changed";
      }
    }
  }
}

// The kind of a built file is told by where the project's unit stands in
// it, whatever its first sector holds.
TEST(VerifyGenerated, TheKindSurvivesADamagedFirstSector) {
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    BuiltProject b;
    BuildGenerated(b, seed, seed % 4, seed % 2 == 0);
    ASSERT_GT(b.table.ImageLength(), 2048u);  // a body past the first sector
    const Bytes bin = ReadFile(b.bin), loader = ReadFile(b.loader);
    const std::string damaged = b.dir.File("DAMAGED");
    struct Case {
      const char* what;
      const Bytes& file;
      Bytes first;  // the first sector put in
      BuiltKind kind;
    } cases[] = {
        {".BIN, zeroed", bin, Bytes(2048, 0), BuiltKind::Bin},
        {".BIN, the loader's directory", bin, Bytes(loader.begin(), loader.begin() + 2048), BuiltKind::Bin},
        {"loader, zeroed", loader, Bytes(2048, 0), BuiltKind::Loader},
        {"loader, the unit's first sector", loader, Bytes(bin.begin(), bin.begin() + 2048), BuiltKind::Loader},
    };
    for (const Case& c : cases) {
      Bytes bytes = c.file;
      std::copy(c.first.begin(), c.first.end(), bytes.begin());
      WriteFile(damaged, bytes);
      EXPECT_EQ(GuessBuiltKind(b.table, damaged, b.source), c.kind) << c.what;
      // Without a source, where a rebuild puts the unit is unknown: a .BIN
      // is still found by its body.
      if (c.kind == BuiltKind::Bin) {
        EXPECT_EQ(GuessBuiltKind(b.table, damaged, ""), BuiltKind::Bin) << c.what;
      }
    }
  }
}

class VerifyLoaderTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    BuildGenerated(project, 4, 1, GetParam());  // APM is unit 1 of BOOT, APM, MAP, DICT
    built = ReadFile(project.loader);
    layout = {};
    sample::MakeLoader(GeneratedLoader(4, 1, GetParam()), &layout);
  }
  VerifyResult VerifyBytes(const Bytes& bytes) {
    WriteFile(damaged, bytes);
    return VerifyLoader(project.table, damaged, project.source);
  }
  // The position of unit i in the built loader, by its entry.
  uint32_t UnitPos(size_t i) const {
    const size_t field = GetParam() && i > 0 ? 2048 + 4 + 16 * (i - 1) + 8 : 84 + 72 + 16 * i + 8;
    return 2048 + 2 * LoadBE32(&built[field]);
  }
  size_t EntryField(size_t i) const { return GetParam() && i > 0 ? 2048 + 4 + 16 * (i - 1) + 8 : 84 + 72 + 16 * i + 8; }

  BuiltProject project;
  std::string damaged = project.dir.File("DAMAGED.KWI");
  Bytes built;
  sample::LoaderLayout layout;
};

TEST_P(VerifyLoaderTest, CleanLoaderNotesTheTranslatedUnitsOldDirectorySize) {
  const VerifyResult r = VerifyLoader(project.table, project.loader, project.source);
  ASSERT_TRUE(r.Clean()) << Listing(r);
  ASSERT_EQ(r.Notes.size(), 1u) << Listing(r);
  EXPECT_NE(r.Notes[0].find("unit 1 (APM) keeps its old size " + std::to_string(project.table.Info.SourceSize)),
            std::string::npos)
      << r.Notes[0];
  EXPECT_EQ(LoadBE32(&built[UnitPos(1) + kUnitSizeOffset]), r.Summary.NewSize);
}

TEST_P(VerifyLoaderTest, EachDamageIsCaughtAndNamed) {
  const uint32_t apm = UnitPos(1), map = UnitPos(2), dict = UnitPos(3);
  size_t untouched = 0;  // a phrase of the translated unit that is not switched on
  while (project.table.Phrases[untouched].Flags & (pfOn | pfLink)) ++untouched;
  const uint32_t pointer = apm + project.table.Phrases[untouched].LinkAddress;
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    VerifyKind kind;
    std::string words;
  };
  std::vector<Case> cases = {
      {"a byte of another unit", [map](Bytes& b) { b[map + 1000] ^= 0x80; }, VerifyKind::OtherUnit,
       "unit 2 (MAP) differs from the source's copy at unit offset 0x000003E8"},
      {"a unit entry", [this](Bytes& b) { b[EntryField(3) + 3] ^= 0x01; }, VerifyKind::UnitEntry,
       "unit entry 3 (DICT) gives position " },
      {"the translated unit's entry", [this](Bytes& b) { StoreBE32(&b[EntryField(1)], 0); }, VerifyKind::UnitEntry,
       "unit entry 1 (APM) gives position 0x00000800"},
      {"the maker-entry count", [](Bytes& b) { b[1] = 2; }, VerifyKind::Directory, "maker-entry count"},
      {"the module count", [](Bytes& b) { b[17] = 2; }, VerifyKind::Directory, "module count"},
      {"the maker record", [](Bytes& b) { b[6] ^= 0x11; }, VerifyKind::Directory, "the maker record differs"},
      {"the module start", [](Bytes& b) { b[336] = 2; }, VerifyKind::Directory, "module start"},
      {"the sector count", [](Bytes& b) { b[339] ^= 0x01; }, VerifyKind::Directory, "sector count holds"},
      {"the directory's padding", [](Bytes& b) { b[1000] = 1; }, VerifyKind::Directory, "zero padding"},
      {"a pointer of the translated unit", [pointer](Bytes& b) { b[pointer + 3] ^= 0x01; }, VerifyKind::Pointer,
       "the pointer of phrase " + std::to_string(untouched)},
      {"the translated unit's checksum", [apm](Bytes& b) { b[apm + kUnitChecksumOffset] ^= 0x01; },
       VerifyKind::Checksum, "checksum field"},
      {"the byte that keeps a unit of odd size even", [dict](Bytes& b) { b[dict + 333] = 7; },
       VerifyKind::ModuleData, "keeps the next unit even"},
      {"the module's padding", [](Bytes& b) { b[b.size() - 1] = 1; }, VerifyKind::ModuleData,
       "padding after its last unit"},
      {"truncation", [](Bytes& b) { b.resize(b.size() - 2048); }, VerifyKind::FileLength, "rebuilt loader takes"},
  };
  if (GetParam()) {
    cases.push_back({"the module's unit table", [](Bytes& b) { b[2048 + 5] ^= 0x01; }, VerifyKind::ModuleData,
                     "module's unit table"});
  }
  for (const Case& c : cases) {
    Bytes bytes = built;
    c.damage(bytes);
    const VerifyResult r = VerifyBytes(bytes);
    EXPECT_TRUE(Has(r, c.kind, c.words)) << c.what << ":\n" << Listing(r);
    // Damage inside the translated unit also breaks its checksum; any other
    // damage is the one problem.
    const bool inUnit = c.kind == VerifyKind::Pointer || c.kind == VerifyKind::Checksum;
    if (c.kind != VerifyKind::FileLength) {
      EXPECT_EQ(r.ProblemCount, inUnit ? 2u - (c.kind == VerifyKind::Checksum) : 1u) << c.what << ":\n" << Listing(r);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, VerifyLoaderTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "SplitLayout" : "DirectoryLayout"; });

TEST(VerifyLoader, ASourceThatDoesNotServeTheProjectIsRefused) {
  BuiltProject b;
  BuildGenerated(b, 2, 0, false);
  EXPECT_THROW(VerifyLoader(b.table, b.loader, b.loader), EFormatError);  // the rebuilt loader's checksum differs
  EXPECT_THROW(VerifyLoader(b.table, b.loader, b.dir.File("none.KWI")), EFormatError);
  // A loader checked as a .BIN is wrong from its first byte on.
  EXPECT_FALSE(VerifyBin(b.table, b.loader).Clean());
}

}  // namespace
