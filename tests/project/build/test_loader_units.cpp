// A loader that carries the translated units of several projects of one
// module: in both module layouts, with the translated units first, in the
// middle, last, two of them and all, every unit of the output is what the
// BIN builder writes for its project or a copy of the source's unit; lists
// that cannot go together are refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "container/io/StreamErrors.h"
#include "container/kiwi/Loading.h"
#include "project/build/BinBuilder.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/verify/Verify.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "support/UnitFixture.h"

using namespace velmora;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int kAisin = 1;  // TOYOTA comes first
constexpr int kModule = 1;
// The module's units: three that hold texts, at the first, a middle and
// the last place, and one of odd size that only data fills.
const char* const kUnitNames[] = {"APM", "MAP", "NAV", "EUR"};
constexpr size_t kUnitCount = 4;

Bytes Filler(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes v(size);
  for (auto& x : v) x = static_cast<uint8_t>(rng());
  return v;
}

sample::LoaderRecipe Recipe(bool split) {
  auto unit = [](const char* tag, uint32_t seed) {
    sample::UnitRecipe u;
    u.tag = tag;
    u.seed = seed;
    u.strings = sample::EnglishMenuTexts(30, seed);
    return sample::MakeUnit(u).bytes;
  };
  sample::ModuleRecipe module{"AISIN NAVIGATION PROGRAM", "ANP", split, {}};
  module.units = {{"APM", unit("APM", 31)}, {"MAP", Filler(1501, 7)}, {"NAV", unit("NAV", 32)}, {"EUR", unit("EUR", 33)}};
  sample::LoaderRecipe recipe;
  recipe.makers.push_back({"TOYOTA", {{"TOYOTA NAVIGATION SYSTEM", "TNS", false, {{"T0", Filler(900, 9)}}}}});
  recipe.makers.push_back({"AISIN-AW", {{"AISIN VOICE", "AVC", false, {{"APM", unit("APM", 34)}}}, module}});
  return recipe;
}

// Every third phrase gets a shorter text, every third a longer one (so the
// unit grows), the rest stay as they are.
void TranslateSome(PhraseTable& t, size_t seed) {
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    const TPhrase& p = t.Phrases[i];
    if (p.Flags & pfLink) continue;
    switch ((i + seed) % 3) {
      case 0: test::Translate(t, i, std::string(p.Length / 2 + 1, 'a')); break;
      case 1: test::Translate(t, i, std::string(p.Length + 5, static_cast<char>('b' + seed))); break;
      default: break;
    }
  }
}

struct Loader {
  TempDir dir;
  std::string source = dir.File("LOADING.KWI");
  std::string output = dir.File("NEW.KWI");
  Bytes sourceBytes;
  std::vector<PhraseTable> tables = std::vector<PhraseTable>(kUnitCount);  // by unit index

  explicit Loader(bool split) {
    sourceBytes = sample::MakeLoader(Recipe(split));
    WriteFile(source, sourceBytes);
  }
  PhraseTable& Project(size_t unit) {
    AnalysisOptions options;
    options.HideAbc = false;
    options.RangeEnd = 0xFFFFFFFFu;
    PhraseTable& t = tables[unit];
    const CreationResult r = CreateProjectFromLoader(t, source, kAisin, kModule, static_cast<int>(unit), options,
                                                     [](const std::string&) { return true; });
    EXPECT_TRUE(r.Analysis.Completed);
    EXPECT_EQ(t.UnitName, kUnitNames[unit]);
    TranslateSome(t, unit);
    return t;
  }
  // What build-bin writes for a project.
  Bytes BinOf(const PhraseTable& t) {
    const std::string bin = dir.File(t.UnitName + ".BIN");
    SaveBin(t, bin);
    return ReadFile(bin);
  }
};

Bytes Slice(const Bytes& b, size_t at, size_t n) {
  if (at + n > b.size()) return {};
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

std::string Listing(const VerifyResult& r) {
  std::string s;
  for (const auto& p : r.Problems) s += ProblemLine(p) + "\n";
  return s;
}

struct Case {
  bool split;
  std::vector<size_t> translated;  // unit indices, in the order the projects are given
};

std::string Name(const Case& c) {
  std::string s = c.split ? "split:" : "table:";
  for (size_t u : c.translated) s += " " + std::string(kUnitNames[u]);
  return s;
}

}  // namespace

TEST(LoaderUnits, EveryUnitIsWhatBuildBinWritesOrACopyOfTheSource) {
  const std::vector<std::vector<size_t>> sets = {{0}, {2}, {3}, {0, 2}, {3, 2}, {0, 3}, {0, 2, 3}, {3, 0, 2}};
  for (bool split : {false, true})
    for (const auto& set : sets) {
      const Case c{split, set};
      SCOPED_TRACE(Name(c));
      Loader fx(split);
      ProjectList projects;
      for (size_t u : c.translated) projects.push_back(&fx.Project(u));
      ASSERT_FALSE(CheckModuleGroup(projects));
      ASSERT_EQ(FindGroupSource(projects, "").Path, fx.source);

      const int64_t size = RebuildLoader(projects, fx.source, fx.output);
      const Bytes out = ReadFile(fx.output);
      ASSERT_EQ(static_cast<int64_t>(out.size()), size);

      const TLN_Loading src(fx.source), built(fx.output);
      ASSERT_TRUE(built.Valid);
      ASSERT_EQ(built.Frame.Makers.size(), 1u);
      const auto& srcUnits = src.Frame.Makers[kAisin].Modules[kModule].Units;
      const auto& outUnits = built.Frame.Makers[0].Modules[0].Units;
      ASSERT_EQ(outUnits.size(), kUnitCount);
      EXPECT_EQ(built.Frame.Makers[0].Modules[0].SplitTable, split);
      uint64_t end = 0;
      for (size_t i = 0; i < kUnitCount; ++i) {
        SCOPED_TRACE(kUnitNames[i]);
        const bool translated = std::find(set.begin(), set.end(), i) != set.end();
        const Bytes want = translated ? fx.BinOf(fx.tables[i]) : Slice(fx.sourceBytes, srcUnits[i].Offset, srcUnits[i].Size);
        EXPECT_EQ(outUnits[i].Size, srcUnits[i].Size) << "an entry's size stays as the source has it";
        EXPECT_EQ(Slice(out, outUnits[i].Offset, want.size()), want);
        if (translated) {
          EXPECT_GT(want.size(), srcUnits[i].Size) << "the translated unit grew";
        }
        // Units follow each other without gaps or overlaps (an odd unit keeps one zero byte).
        if (i > 0) {
          EXPECT_EQ(outUnits[i].Offset, end);
        }
        end = outUnits[i].Offset + want.size() + want.size() % 2;
      }
      EXPECT_EQ(out.size(), (end + 2047) / 2048 * 2048);
      EXPECT_EQ(ReadFile(fx.source), fx.sourceBytes) << "the source is only read";

      // The order the projects are given in does not matter.
      ProjectList reversed(projects.rbegin(), projects.rend());
      const std::string again = fx.dir.File("AGAIN.KWI");
      RebuildLoader(reversed, fx.source, again);
      EXPECT_EQ(ReadFile(again), out);
      // One project alone gives what the single-project rebuild gives.
      if (set.size() == 1) {
        RebuildLoader(*projects[0], fx.source, again);
        EXPECT_EQ(ReadFile(again), out);
      }

      const VerifyResult r = VerifyLoader(projects, fx.output, fx.source);
      EXPECT_TRUE(r.Clean()) << Listing(r);
      ASSERT_EQ(r.Units.size(), kUnitCount);
      for (size_t i = 0; i < kUnitCount; ++i)
        EXPECT_EQ(r.Units[i].Translated, std::find(set.begin(), set.end(), i) != set.end()) << i;
    }
}

TEST(LoaderUnits, VerifyNamesTheUnitOfAChangedByte) {
  for (bool split : {false, true}) {
    SCOPED_TRACE(split ? "split" : "table");
    Loader fx(split);
    const ProjectList projects = {&fx.Project(0), &fx.Project(2), &fx.Project(3)};
    RebuildLoader(projects, fx.source, fx.output);
    const Bytes good = ReadFile(fx.output);
    const TLN_Loading built(fx.output);
    const auto& units = built.Frame.Makers[0].Modules[0].Units;
    // A byte in the body of each unit, translated or copied.
    for (size_t i = 0; i < kUnitCount; ++i) {
      SCOPED_TRACE(kUnitNames[i]);
      Bytes bad = good;
      bad[units[i].Offset + 200] ^= 0x10;
      const std::string damaged = fx.dir.File("DAMAGED.KWI");
      WriteFile(damaged, bad);
      const VerifyResult r = VerifyLoader(projects, damaged, fx.source);
      ASSERT_FALSE(r.Clean());
      for (size_t k = 0; k < kUnitCount; ++k) EXPECT_EQ(r.Units[k].Problems > 0, k == i) << "unit " << k;
      if (i != 1) {
        EXPECT_EQ(r.Problems[0].Message.rfind("unit " + std::to_string(i) + " (" + kUnitNames[i] + "): ", 0), 0u)
            << r.Problems[0].Message;
      }
    }
  }
}

TEST(LoaderUnits, ListsThatCannotGoTogetherAreRefusedAndNothingIsWritten) {
  Loader fx(true);
  PhraseTable& apm = fx.Project(0);
  PhraseTable& nav = fx.Project(2);
  PhraseTable sameUnit = apm;
  PhraseTable otherModule;
  {
    AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFFu;
    CreateProjectFromLoader(otherModule, fx.source, kAisin, 0, 0, options, [](const std::string&) { return true; });
    ASSERT_EQ(otherModule.UnitName, "APM");
  }
  PhraseTable fromBin;
  {
    const std::string bin = fx.dir.File("NAV.BIN");
    WriteFile(bin, Slice(fx.sourceBytes, nav.Info.UnitOffset, nav.UnitImage.size()));
    AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFFu;
    CreateProjectFromBin(fromBin, bin, options, [](const std::string&) { return true; });
    ASSERT_EQ(fromBin.Info.UnitIndex, -1);
  }
  struct Refusal {
    const char* name;
    ProjectList projects;
    size_t index;
    const char* words;
  } cases[] = {
      {"two projects of one unit", {&apm, &nav, &sameUnit}, 2, "is already translated by project 1 (APM_APM)"},
      {"projects of different modules", {&apm, &otherModule}, 1, "its unit lies in module 0 of maker entry 1"},
      {"a project from a .BIN first", {&fromBin, &apm}, 0, "made from a .BIN file"},
      {"a project from a .BIN later", {&apm, &fromBin}, 1, "made from a .BIN file"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    const auto problem = CheckModuleGroup(c.projects);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->Index, c.index);
    EXPECT_NE(problem->Reason.find(c.words), std::string::npos) << problem->Reason;
    std::vector<std::string> status;
    try {
      RebuildLoader(c.projects, fx.source, fx.output, [&](std::string_view s) { status.emplace_back(s); });
      ADD_FAILURE() << "accepted";
    } catch (const ERefusal& e) {
      EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
    }
    EXPECT_EQ(status.back(), std::string(kLoaderCompleteText));
    EXPECT_FALSE(std::filesystem::exists(fx.output));
    EXPECT_THROW(VerifyLoader(c.projects, fx.source, fx.source), ERefusal);
  }
  EXPECT_EQ(ReadFile(fx.source), fx.sourceBytes);
}

TEST(LoaderUnits, TheSourceMustServeEveryProject) {
  // The second project comes from a loader whose NAV unit carries another
  // checksum (and, in the second round, its APM unit too).
  for (bool apmChanged : {false, true}) {
    SCOPED_TRACE(apmChanged ? "APM and NAV changed" : "NAV changed");
    Loader fx(false);
    Loader other(false);
    Bytes changed = other.sourceBytes;
    const TLN_Loading dir(other.source);
    for (size_t unit : {size_t{2}, size_t{0}}) {
      if (unit == 0 && !apmChanged) continue;
      changed[dir.Frame.Makers[kAisin].Modules[kModule].Units[unit].Offset + 120 + 3] ^= 0x55;  // checksum field
    }
    WriteFile(other.source, changed);
    PhraseTable& apm = fx.Project(0);
    PhraseTable& nav = other.Project(2);
    const ProjectList projects = {&apm, &nav};
    EXPECT_FALSE(CheckModuleGroup(projects)) << "the same module and different units";

    size_t failed = 99;
    EXPECT_EQ(CheckGroupSource(projects, fx.source, &failed), SourceCheck::TagOrChecksum);
    EXPECT_EQ(failed, 1u);
    const SourceSearch s = FindGroupSource(projects, "");
    ASSERT_FALSE(s.Rejected.empty());
    EXPECT_EQ(s.Rejected[0], fx.source + " (project 2 (NAV_NAV): the unit's tag or checksum differs from the project's)");
    if (!apmChanged) {
      // The second project's own source serves both.
      EXPECT_EQ(s.Path, other.source);
      RebuildLoader(projects, other.source, fx.output);
      EXPECT_TRUE(VerifyLoader(projects, fx.output, other.source).Clean());
    } else {
      EXPECT_EQ(CheckGroupSource(projects, other.source, &failed), SourceCheck::TagOrChecksum);
      EXPECT_EQ(failed, 0u);
      EXPECT_TRUE(s.Path.empty());
      EXPECT_EQ(s.Rejected.size(), 2u);
      EXPECT_THROW(RebuildLoader(projects, fx.source, fx.output), EFormatError);
      EXPECT_FALSE(std::filesystem::exists(fx.output));
    }
  }
}
