// velmora-cli carry, run as the real program on projects that `new` made
// from two generated versions of a unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "project/file/PhraseEdits.h"
#include "project/file/ProjectFile.h"
#include "sampledata/VersionPair.h"
#include "support/TableBuilder.h"
#include "support/TestSupport.h"

using namespace velmora;
using test::RunCli;

namespace {

std::string AsString(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

using test::OutputLines;

// Two .BIN versions, a project of each made by `new`, and the old one
// translated: every phrase gets "T" + its index, phrase 0 stays without.
struct Workspace {
  test::TempDir dir;
  std::string oldProject = dir.File("old.vmprj");
  std::string newProject = dir.File("new.vmprj");
  sample::VersionPair pair;

  Workspace() {
    sample::UnitRecipe recipe;
    recipe.strings = sample::RepeatingMenuTexts(60, 0.2, 5);
    sample::VersionEdits edits;
    edits.removed = edits.inserted = edits.reworded = edits.moved = 0.1;
    pair = sample::MakeVersionPair(recipe, edits, 5);
    test::WriteFile(dir.File("OLD.BIN"), pair.oldUnit.bytes);
    test::WriteFile(dir.File("NEW.BIN"), pair.newUnit.bytes);
    for (const auto& [bin, project] : {std::pair{"OLD.BIN", oldProject}, std::pair{"NEW.BIN", newProject}}) {
      const auto r = RunCli({"new", dir.File(bin), "-o", project});
      EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    PhraseTable t;
    OpenProject(t, oldProject);
    for (size_t i = 1; i < t.Phrases.size(); ++i)
      if (!(t.Phrases[i].Flags & pfLink)) ApplyEditedText(t, i, std::string("T").append(std::to_string(i)));
    SaveProject(t, oldProject);
  }

  static PhraseTable Open(const std::string& path) {
    PhraseTable t;
    OpenProject(t, path);
    return t;
  }

  // Every new phrase that continues an unchanged old phrase with a
  // translation, with that translation.
  std::vector<std::pair<size_t, std::string>> Expected() const {
    const PhraseTable o = Open(oldProject), n = Open(newProject);
    const auto oldOf = sample::PhraseOfString(pair.oldUnit, o);
    const auto newOf = sample::PhraseOfString(pair.newUnit, n);
    std::vector<std::pair<size_t, std::string>> out;
    for (size_t s = 0; s < newOf.size(); ++s) {
      if (pair.fromOld[s] < 0 || pair.reworded[s]) continue;
      const TPhrase& op = o.Phrases[static_cast<size_t>(oldOf[static_cast<size_t>(pair.fromOld[s])])];
      if (o.HasEditedText(op)) out.emplace_back(static_cast<size_t>(newOf[s]), std::string(o.EditedText(op)));
    }
    return out;
  }
};

}  // namespace

TEST(CliCarry, WritesTheResultAndATableAndLeavesTheInputsAlone) {
  Workspace ws;
  const auto oldBytes = test::ReadFile(ws.oldProject);
  const auto newBytes = test::ReadFile(ws.newProject);
  const std::string out = ws.dir.File("out.vmprj");
  const std::string report = ws.dir.File("carry.tsv");
  const auto r = RunCli({"carry", ws.oldProject, ws.newProject, "-o", out, "--report", report});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadFile(ws.oldProject), oldBytes);
  EXPECT_EQ(test::ReadFile(ws.newProject), newBytes);
  EXPECT_NE(r.out.find("Carried:"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Written to " + out), std::string::npos) << r.out;

  const PhraseTable result = Workspace::Open(out);
  const PhraseTable before = Workspace::Open(ws.newProject);
  // Every old translation was switched on: a final one stays on, one for
  // review is switched off; both are shown.
  size_t carried = 0, taken = 0;
  for (const auto& [index, text] : ws.Expected()) {
    const TPhrase& p = result.Phrases[index];
    if (!result.HasEditedText(p)) continue;  // reported as ambiguous
    EXPECT_EQ(result.EditedText(p), text) << index;
    EXPECT_EQ(p.Flags & pfHide, 0) << index;
    carried += (p.Flags & pfOn) != 0;
    ++taken;
  }
  EXPECT_GT(taken, ws.Expected().size() * 9 / 10);
  EXPECT_GT(carried, ws.Expected().size() * 3 / 4);
  EXPECT_EQ(result.UnitImage, before.UnitImage);
  ASSERT_EQ(result.Phrases.size(), before.Phrases.size());

  // One line per new phrase (with the old one it takes from) and one per
  // old phrase that gives to none, after the header: every new phrase once,
  // every old phrase at least once.
  const PhraseTable old = Workspace::Open(ws.oldProject);
  const auto lines = OutputLines(AsString(test::ReadFile(report)));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Status\tRule\t", 0), 0u);
  size_t carriedLines = 0;
  std::map<std::string, int> newSeen, oldSeen;
  for (size_t i = 1; i < lines.size(); ++i) {
    carriedLines += lines[i].rfind("carried\t", 0) == 0;
    std::vector<std::string> cells;
    for (size_t at = 0;;) {
      const size_t tab = lines[i].find('\t', at);
      cells.push_back(lines[i].substr(at, tab == std::string::npos ? std::string::npos : tab - at));
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    ASSERT_EQ(cells.size(), 13u) << lines[i];
    if (!cells[3].empty()) ++oldSeen[cells[3]];
    if (!cells[4].empty()) ++newSeen[cells[4]];
  }
  for (const auto& [table, seen, once] : {std::tuple{&old, &oldSeen, false}, std::tuple{&before, &newSeen, true}})
    for (size_t i = 0; i < table->Phrases.size(); ++i) {
      const int count = seen->count(std::to_string(i)) ? seen->at(std::to_string(i)) : 0;
      if (table->Phrases[i].Flags & pfLink)
        EXPECT_EQ(count, 0) << i;
      else if (once)
        EXPECT_EQ(count, 1) << "new " << i;
      else
        EXPECT_GE(count, 1) << "old " << i;
    }
  EXPECT_EQ(carriedLines, carried);
}

// The phrases carry took for review are the ones `phrases --filter
// to-review` lists in a project that had no translations of its own; a
// translation the old project had switched off stays off, and so stays to
// review too.
TEST(CliCarry, PhrasesToReviewListsWhatCarryTookForReview) {
  Workspace ws;
  const std::string report = ws.dir.File("carry.tsv");
  const auto toReview = [&](const std::string& project) {
    std::set<std::string> indices;
    const auto r = RunCli({"phrases", project, "--filter", "to-review"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto lines = OutputLines(r.out);
    for (size_t i = 1; i < lines.size(); ++i) indices.insert(lines[i].substr(0, lines[i].find('\t')));
    return indices;
  };
  const auto reviewed = [&] {
    std::set<std::string> indices;
    const auto lines = OutputLines(AsString(test::ReadFile(report)));
    for (size_t i = 1; i < lines.size(); ++i)
      if (lines[i].rfind("review\t", 0) == 0) {
        size_t at = 0;
        for (int cell = 0; cell < 4; ++cell) at = lines[i].find('\t', at) + 1;
        indices.insert(lines[i].substr(at, lines[i].find('\t', at) - at));
      }
    return indices;
  };
  EXPECT_TRUE(toReview(ws.newProject).empty());
  const std::string out = ws.dir.File("out.vmprj");
  auto r = RunCli({"carry", ws.oldProject, ws.newProject, "-o", out, "--report", report});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto review = reviewed();
  EXPECT_FALSE(review.empty());
  EXPECT_EQ(toReview(out), review);
  EXPECT_NE(r.out.find("\nWork left:\nStatus\tOld index\tText\tTranslation\tNew index\tCandidates\tRule or cause\n"
                       "review\t"),
            std::string::npos)
      << r.out;

  // One old translation switched off: carried as it was, off.
  const auto expected = ws.Expected();
  ASSERT_FALSE(expected.empty());
  const PhraseTable oldTable = Workspace::Open(ws.oldProject);
  const PhraseTable newTable = Workspace::Open(ws.newProject);
  const auto oldOf = sample::PhraseOfString(ws.pair.oldUnit, oldTable);
  const auto newOf = sample::PhraseOfString(ws.pair.newUnit, newTable);
  std::string switchedOld, switchedNew;
  for (size_t s = 0; s < newOf.size() && switchedOld.empty(); ++s) {
    if (ws.pair.fromOld[s] < 0 || ws.pair.reworded[s]) continue;
    const int32_t o = oldOf[static_cast<size_t>(ws.pair.fromOld[s])];
    const std::string text(oldTable.OriginText(oldTable.Phrases[static_cast<size_t>(o)]));
    size_t copies = 0;
    for (const TPhrase& p : oldTable.Phrases) copies += !(p.Flags & pfLink) && oldTable.OriginText(p) == text;
    if (copies == 1 && oldTable.HasEditedText(oldTable.Phrases[static_cast<size_t>(o)])) {
      switchedOld = std::to_string(o);
      switchedNew = std::to_string(newOf[s]);
    }
  }
  ASSERT_FALSE(switchedOld.empty());
  ASSERT_EQ(RunCli({"set", ws.oldProject, "--off", switchedOld}).exitCode, 0);
  r = RunCli({"carry", ws.oldProject, ws.newProject, "-o", out, "--report", report});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto both = reviewed();
  both.insert(switchedNew);
  EXPECT_EQ(toReview(out), both);
}

TEST(CliCarry, UpdatesNewInPlaceAndADryRunWritesNoProject) {
  Workspace ws;
  const auto newBytes = test::ReadFile(ws.newProject);
  auto r = RunCli({"carry", ws.oldProject, ws.newProject, "--dry-run"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Dry run: nothing written."), std::string::npos) << r.out;
  EXPECT_EQ(test::ReadFile(ws.newProject), newBytes);

  r = RunCli({"carry", ws.oldProject, ws.newProject});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Updated " + ws.newProject), std::string::npos) << r.out;
  const PhraseTable updated = Workspace::Open(ws.newProject);
  size_t translated = 0;
  for (const auto& [index, text] : ws.Expected())
    if (updated.HasEditedText(updated.Phrases[index])) {
      EXPECT_EQ(updated.EditedText(updated.Phrases[index]), text);
      ++translated;
    }
  EXPECT_GT(translated, 0u);

  // Carried again, every phrase already has its translation: nothing to do.
  r = RunCli({"carry", ws.oldProject, ws.newProject});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Nothing to change in"), std::string::npos) << r.out;
}

TEST(CliCarry, KeepsTranslationsOfNewUnlessOverwriteIsGiven) {
  Workspace ws;
  // The first translated phrase of the expected ones gets its own text in NEW.
  const auto expected = ws.Expected();
  ASSERT_FALSE(expected.empty());
  const size_t index = expected.front().first;
  ASSERT_EQ(RunCli({"translate", ws.newProject, std::to_string(index), "Mine"}).exitCode, 0);

  auto r = RunCli({"carry", ws.oldProject, ws.newProject, "-o", ws.dir.File("kept.vmprj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  PhraseTable t = Workspace::Open(ws.dir.File("kept.vmprj"));
  EXPECT_EQ(t.EditedText(t.Phrases[index]), "Mine");

  r = RunCli({"carry", ws.oldProject, ws.newProject, "-o", ws.dir.File("over.vmprj"), "--overwrite"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  t = Workspace::Open(ws.dir.File("over.vmprj"));
  EXPECT_EQ(t.EditedText(t.Phrases[index]), expected.front().second);
}

TEST(CliCarry, FuzzyMatchesAreReportedForReview) {
  Workspace ws;
  const std::string report = ws.dir.File("r.tsv");
  const auto r = RunCli({"carry", ws.oldProject, ws.newProject, "--dry-run", "--fuzzy", "30", "--report", report});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string table = AsString(test::ReadFile(report));
  EXPECT_NE(table.find("\nreview\tfuzzy\t"), std::string::npos) << table;
  EXPECT_EQ(r.out.find("Carried, needs review:           0"), std::string::npos) << r.out;
}

TEST(CliCarry, RefusesBadCommandLinesAndKeepsNewIntactOnFailure) {
  Workspace ws;
  const auto newBytes = test::ReadFile(ws.newProject);
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  } cases[] = {
      {{"carry", ws.oldProject}, 2, "give OLD.vmprj and NEW.vmprj"},
      {{"carry", ws.oldProject, ws.oldProject}, 2, "OLD and NEW are the same project"},
      {{"carry", ws.oldProject, ws.newProject, "--fuzzy", "101"}, 2, "percentage from 0 to 100"},
      {{"carry", ws.oldProject, ws.newProject, "--codepage", "klingon"}, 2, "unknown code page"},
      {{"carry", ws.oldProject, ws.newProject, "-o", ws.oldProject}, 1, "It is an input of this command"},
      {{"carry", ws.oldProject, ws.newProject, "--report", ws.newProject}, 1, "It is an input of this command"},
      {{"carry", ws.dir.File("missing.vmprj"), ws.newProject}, 1, "Cannot open file"},
      {{"carry", ws.oldProject, ws.newProject, "--report", ws.dir.File("no/such/dir/r.tsv")}, 1,
       "Cannot create file"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.message << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(ws.newProject), newBytes) << c.message;
  }
  EXPECT_FALSE(std::filesystem::exists(ws.dir.File("no")));

  // Nor may an output replace the .BIN either project was made from.
  for (const char* bin : {"OLD.BIN", "NEW.BIN"}) {
    const auto binBytes = test::ReadFile(ws.dir.File(bin));
    const std::string& project = std::string(bin) == "OLD.BIN" ? ws.oldProject : ws.newProject;
    for (const char* option : {"--report", "-o"}) {
      const auto r = RunCli({"carry", ws.oldProject, ws.newProject, option, ws.dir.File(bin)});
      EXPECT_EQ(r.exitCode, 1) << option << " " << bin << "\n" << r.err;
      EXPECT_NE(r.err.find("It is the .BIN that " + project + " was made from"), std::string::npos) << r.err;
      EXPECT_EQ(test::ReadFile(ws.dir.File(bin)), binBytes) << option << " " << bin;
      EXPECT_EQ(test::ReadFile(ws.newProject), newBytes) << option << " " << bin;
    }
  }
}

TEST(CliCarry, NeverWritesOverTheLoaderEitherProjectWasMadeFrom) {
  test::TempDir dir;
  const std::string loader = dir.File("LOADING.KWI"), oldProject = dir.File("old.vmprj"),
                    newProject = dir.File("new.vmprj");
  ASSERT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
  for (const auto& project : {oldProject, newProject})
    ASSERT_EQ(RunCli({"new", loader, "-o", project, "--yes"}).exitCode, 0);
  const auto loaderBytes = test::ReadFile(loader);
  const auto newBytes = test::ReadFile(newProject);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"carry", oldProject, newProject, "--report", loader},
           {"carry", oldProject, newProject, "-o", loader},
           {"carry", oldProject, newProject, "--dry-run", "--report", loader}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1) << args.back() << "\n" << r.err;
    EXPECT_NE(r.err.find("It is an input of this command"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(loader), loaderBytes);
    EXPECT_EQ(test::ReadFile(newProject), newBytes);
  }
}

namespace {

// A project of `count` phrases "Text 0", "Text 1", ..., each translated as
// prefix + its number and switched on.
void SaveTranslatedProject(const std::string& path, int count, const std::string& prefix) {
  test::TableBuilder builder;
  for (int k = 0; k < count; ++k) builder.Add("Text " + std::to_string(k), pfOn, prefix + std::to_string(k));
  PhraseTable t;
  builder.Fill(t);
  // Room behind the last string, as a unit has.
  t.UnitImage.resize(t.UnitImage.size() + 64, 0);
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(t.UnitImage.size());
  SaveProject(t, path);
}

}  // namespace

TEST(CliCarry, OverwritingTwentyThousandTranslationsFitsAndADryRunSaysTheSame) {
  // Every phrase of NEW has a translation of its own that --overwrite
  // replaces: the replaced texts make room for the carried ones.
  test::TempDir dir;
  const std::string oldProject = dir.File("old.vmprj"), newProject = dir.File("new.vmprj");
  SaveTranslatedProject(oldProject, 20000, "Old ");
  SaveTranslatedProject(newProject, 20000, "Mine ");
  const auto dry = RunCli({"carry", oldProject, newProject, "--overwrite", "--dry-run"});
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  const auto real = RunCli({"carry", oldProject, newProject, "--overwrite", "-o", dir.File("out.vmprj")});
  ASSERT_EQ(real.exitCode, 0) << real.err;
  EXPECT_NE(real.out.find("Carried:                         20000 (from 20000 old phrases)\n"), std::string::npos)
      << real.out;
  // The same counts, only the last line differs.
  EXPECT_EQ(dry.out.substr(0, dry.out.rfind("Dry run")), real.out.substr(0, real.out.rfind("Written to")));
  const PhraseTable out = Workspace::Open(dir.File("out.vmprj"));
  EXPECT_EQ(out.EditedText(out.Phrases[0]), "Old 0");
  EXPECT_EQ(out.EditedText(out.Phrases[19999]), "Old 19999");
  EXPECT_LE(out.EditedTexts.size(), 32768u);
}
