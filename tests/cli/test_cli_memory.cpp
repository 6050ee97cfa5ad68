// velmora-cli memory, pretranslate, suggest, stats and check --glossary,
// run as the real program on projects that `new` made from generated units.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "project/file/PhraseEdits.h"
#include "project/file/ProjectFile.h"
#include "sampledata/VersionPair.h"
#include "support/TestSupport.h"

using namespace velmora;
using test::RunCli;

namespace {

PhraseTable Open(const std::string& path) {
  PhraseTable t;
  OpenProject(t, path);
  return t;
}

// The translation every phrase of a text gets, so that equal texts agree.
std::string TranslationOf(std::string_view origin) { return "DE " + std::string(origin); }

// A unit and its next version (texts removed, inserted, reworded, moved,
// copied), a project of each, and the old one translated.
struct Versions {
  test::TempDir dir;
  std::string oldProject = dir.File("old.vmprj");
  std::string newProject = dir.File("new.vmprj");
  std::string memory = dir.File("old.tmx");

  Versions() {
    sample::UnitRecipe recipe;
    recipe.strings = sample::RepeatingMenuTexts(300, 0.2, 9);
    sample::VersionEdits edits;
    edits.removed = edits.inserted = edits.reworded = edits.moved = 0.1;
    const sample::VersionPair pair = sample::MakeVersionPair(recipe, edits, 9);
    test::WriteFile(dir.File("OLD.BIN"), pair.oldUnit.bytes);
    test::WriteFile(dir.File("NEW.BIN"), pair.newUnit.bytes);
    for (const auto& [bin, project] : {std::pair{"OLD.BIN", oldProject}, std::pair{"NEW.BIN", newProject}}) {
      const auto r = RunCli({"new", dir.File(bin), "-o", project});
      EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    PhraseTable t = Open(oldProject);
    for (size_t i = 0; i < t.Phrases.size(); ++i)
      if (!(t.Phrases[i].Flags & pfLink)) ApplyEditedText(t, i, TranslationOf(t.OriginText(t.Phrases[i])));
    SaveProject(t, oldProject);
  }
};

TEST(CliMemory, AMemoryOfOneVersionPretranslatesTheNext) {
  Versions v;
  auto r = RunCli({"memory", v.oldProject, "-o", v.memory, "--language", "de"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("translation(s) of 1 project(s) written to"), std::string::npos) << r.out;

  const std::string report = v.dir.File("report.tsv");
  r = RunCli({"pretranslate", v.newProject, "--memory", v.memory, "--report", report, "--codepage", "west-europe"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Carried:"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Updated "), std::string::npos) << r.out;

  const PhraseTable o = Open(v.oldProject), n = Open(v.newProject);
  std::set<std::string> oldTexts;
  for (const TPhrase& p : o.Phrases)
    if (!(p.Flags & pfLink)) oldTexts.insert(std::string(o.OriginText(p)));
  size_t carried = 0, review = 0;
  for (size_t i = 0; i < n.Phrases.size(); ++i) {
    const TPhrase& p = n.Phrases[i];
    if (p.Flags & pfLink) continue;
    const std::string origin(n.OriginText(p));
    if (oldTexts.count(origin)) {
      // Every exact match agrees: it is taken switched on, with its own text's translation.
      ASSERT_TRUE(n.HasEditedText(p)) << "phrase " << i << " \"" << origin << "\"";
      EXPECT_EQ(n.EditedText(p), TranslationOf(origin)) << "phrase " << i;
      EXPECT_TRUE(p.Flags & pfOn) << "phrase " << i;
      EXPECT_FALSE(p.Flags & pfHide) << "phrase " << i;
      ++carried;
    } else if (n.HasEditedText(p)) {
      // A similar text's translation is never switched on.
      EXPECT_FALSE(p.Flags & pfOn) << "phrase " << i << " \"" << origin << "\" took \"" << n.EditedText(p) << "\"";
      ++review;
    }
  }
  EXPECT_GT(carried, 200u);
  EXPECT_GT(review, 0u) << "reworded texts are taken for review";
  const auto bytes = test::ReadFile(report);
  const std::vector<std::string> lines = test::OutputLines(std::string(bytes.begin(), bytes.end()));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Outcome\tIndex\tMatch\tScore\tByte fit", 0), 0u) << lines[0];
  size_t phrases = 0;
  for (const TPhrase& p : n.Phrases) phrases += !(p.Flags & pfLink);
  EXPECT_EQ(lines.size(), phrases + 1) << "one line per phrase looked at";
  size_t carriedLines = 0;
  for (const std::string& l : lines) carriedLines += l.rfind("carried\t", 0) == 0;
  EXPECT_EQ(carriedLines, carried);

  // A second run finds nothing to do, and a dry run writes nothing.
  const auto before = test::ReadFile(v.newProject);
  r = RunCli({"pretranslate", v.newProject, "--memory", v.memory, "--dry-run"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Dry run: nothing written."), std::string::npos);
  r = RunCli({"pretranslate", v.newProject, "--memory", v.memory});
  EXPECT_NE(r.out.find("Nothing to change in "), std::string::npos) << r.out;
  EXPECT_EQ(test::ReadFile(v.newProject), before);
}

TEST(CliMemory, RefusesWithoutTouchingAnything) {
  Versions v;
  ASSERT_EQ(RunCli({"memory", v.oldProject, "-o", v.memory, "--language", "de"}).exitCode, 0);
  const auto project = test::ReadFile(v.newProject);
  const auto memory = test::ReadFile(v.memory);
  const std::string broken = v.dir.File("broken.tmx");
  test::WriteFile(broken,
                  std::string("<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><body>\n<tu>&x;</tu>\n</body></tmx>\n"));
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string message;
  } cases[] = {
      {{"pretranslate", v.newProject}, 2, "name the memory with --memory FILE"},
      {{"pretranslate", v.newProject, "--memory", v.memory, "--min", "0"}, 2, "--min takes a score from 1 to 100"},
      {{"pretranslate", v.newProject, "--memory", v.memory, "-o", v.memory}, 1, "Cannot create file"},
      {{"pretranslate", v.newProject, "--memory", broken}, 1, "broken.tmx: line 3: an undefined entity: &x;"},
      {{"pretranslate", v.newProject, "--memory", v.dir.File("none.tmx")}, 1, "Cannot open file"},
      {{"memory", v.oldProject, "-o", v.oldProject, "--language", "de"}, 1, "Cannot create file"},
      {{"memory", v.oldProject}, 2, "the output file is missing"},
      {{"suggest", v.newProject, "999999", "--memory", v.memory}, 2, "names no phrase"},
      {{"suggest", v.newProject, "0", "--memory", v.memory, "--count", "0"}, 2, "--count takes a number from 1 to 100"},
      {{"stats"}, 2, "give at least one PROJECT"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << c.args[0] << " " << c.message << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::ReadFile(v.newProject), project);
  EXPECT_EQ(test::ReadFile(v.memory), memory);

  // Two languages in the memory: pretranslation must be told which.
  const std::string two = v.dir.File("two.tmx");
  test::WriteFile(two, std::string("<tmx version=\"1.4\"><header srclang=\"en\"/><body>\n"
                                   "<tu><tuv xml:lang=\"en\"><seg>a</seg></tuv><tuv xml:lang=\"de\"><seg>b</seg></tuv>"
                                   "<tuv xml:lang=\"fr\"><seg>c</seg></tuv></tu>\n</body></tmx>\n"));
  test::ScopedLocale locale("LANG", "C");
  const auto r = RunCli({"pretranslate", v.newProject, "--memory", two});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("the memory holds translations into de, fr: choose one with --language CODE"), std::string::npos)
      << r.err;
}

TEST(CliMemory, SuggestStatsAndTheGlossaryCheck) {
  test::TempDir dir;
  const std::string project = dir.File("apm.vmprj"), tmx = dir.File("apm.tmx");
  ASSERT_EQ(RunCli({"make-sample", dir.File("demo")}).exitCode, 0);
  ASSERT_EQ(RunCli({"new", dir.File("demo/APM.BIN"), "-o", project}).exitCode, 0);
  const PhraseTable t = Open(project);
  // "Keep right" and "Keep left" are phrases 9 and 10 of the demo unit.
  ASSERT_EQ(t.OriginText(t.Phrases[9]), "Keep right");
  ASSERT_EQ(t.OriginText(t.Phrases[10]), "Keep left");
  ASSERT_EQ(RunCli({"translate", project, "9", "Rechts halten"}).exitCode, 0);
  ASSERT_EQ(RunCli({"memory", project, "-o", tmx, "--language", "de"}).exitCode, 0);

  auto r = RunCli({"suggest", project, "10", "--memory", tmx, "--min", "50", "--json", "--codepage", "west-europe"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"index\": 10, \"origin\": \"Keep left\", \"room\": 8, \"codepage\": \"CP1252\", \"suggestions\": [\n"
            "  {\"score\": 60, \"distance\": 4, \"match\": \"fuzzy\", \"source\": \"Keep right\", \"translation\": "
            "\"Rechts halten\", \"language\": \"de\", \"bytes\": 13, \"unit_bytes\": 14, \"fit\": \"relocated\", "
            "\"problem\": null, \"printf_differs\": false, \"digits_differ\": false, \"places\": 1, \"review\": false, "
            "\"file\": \"" +
                tmx +
                "\", \"line\": 9, \"differences\": [{\"offset\": 5, \"length\": 4, \"origin\": \"lef\"}]}\n"
                "]}\n");
  r = RunCli({"suggest", project, "10", "--memory", tmx});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("No match of 75% or more."), std::string::npos) << r.out;

  r = RunCli({"stats", project, project, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"unit\": \"APM_APM\", \"phrases\": 70, \"hidden\": 16, \"translated\": 1, \"switched_on\": 1, "
                       "\"to_review\": 0, \"untranslated\": 69"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"total\": {\"projects\": 2, \"phrases\": 140,"), std::string::npos) << r.out;

  const std::string glossary = dir.File("terms.txt");
  test::WriteFile(glossary, std::string("Keep\tRechts\tforbidden\nRight\tRechts\n"));
  r = RunCli({"check", project, "--glossary", glossary});
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("phrase 9: error: terms: the translation holds \"Rechts\", which the glossary forbids"),
            std::string::npos)
      << r.out;
  test::WriteFile(glossary, std::string("Right\tNach rechts\n"));
  r = RunCli({"check", project, "--glossary", glossary});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("phrase 9: warning: terms: the glossary translates \"Right\" as \"Nach rechts\""),
            std::string::npos)
      << r.out;
}

}  // namespace
