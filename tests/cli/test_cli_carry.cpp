// velmora-cli carry, run as the real program on projects that `new` made
// from two generated versions of a unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
  size_t carried = 0;
  for (const auto& [index, text] : ws.Expected()) {
    const TPhrase& p = result.Phrases[index];
    if (!result.HasEditedText(p)) continue;  // reported as ambiguous
    EXPECT_EQ(result.EditedText(p), text) << index;
    EXPECT_EQ(p.Flags & (pfOn | pfHide), pfOn) << index;
    ++carried;
  }
  EXPECT_GT(carried, ws.Expected().size() * 9 / 10);
  EXPECT_EQ(result.UnitImage, before.UnitImage);
  ASSERT_EQ(result.Phrases.size(), before.Phrases.size());

  // One line per phrase that is not a link record, after the header.
  size_t phrases = 0;
  const PhraseTable old = Workspace::Open(ws.oldProject);
  for (const PhraseTable* t : {&old, &before})
    for (const TPhrase& p : t->Phrases) phrases += (p.Flags & pfLink) ? 0 : 1;
  const auto lines = OutputLines(AsString(test::ReadFile(report)));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Status\tRule\t", 0), 0u);
  size_t carriedLines = 0, pairedLines = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    carriedLines += lines[i].rfind("carried\t", 0) == 0;
    // A matched pair is one line for two phrases.
    const auto cells = OutputLines([&] {
      std::string s = lines[i];
      std::replace(s.begin(), s.end(), '\t', '\n');
      return s;
    }());
    pairedLines += !cells[3].empty() && !cells[4].empty();
  }
  EXPECT_EQ(lines.size() - 1 + pairedLines, phrases);
  EXPECT_EQ(carriedLines, carried);
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
  EXPECT_NE(real.out.find("Carried:                         20000\n"), std::string::npos) << real.out;
  // The same counts, only the last line differs.
  EXPECT_EQ(dry.out.substr(0, dry.out.rfind("Dry run")), real.out.substr(0, real.out.rfind("Written to")));
  const PhraseTable out = Workspace::Open(dir.File("out.vmprj"));
  EXPECT_EQ(out.EditedText(out.Phrases[0]), "Old 0");
  EXPECT_EQ(out.EditedText(out.Phrases[19999]), "Old 19999");
  EXPECT_LE(out.EditedTexts.size(), 32768u);
}
