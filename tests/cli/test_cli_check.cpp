// The checks as velmora-cli runs them: 'check' and its JSON, the gate of
// build-bin and build-loader, and the PO export's printf flags under
// msgfmt -c.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "project/file/ProjectFile.h"
#include "support/TestSupport.h"

using namespace velmora;
using test::RunCli;

namespace {

// A project of the demo unit in which three firmware texts are translated:
// one with its directives swapped, one with a directive dropped, one right.
struct CheckWorkspace {
  test::TempDir dir;
  std::string loader = dir.File("LOADING.KWI");
  std::string project = dir.File("apm.vmprj");
  int swapped = -1, dropped = -1, correct = -1;

  CheckWorkspace() {
    EXPECT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
    const auto created = RunCli({"new", loader, "--module", "0", "-o", project});
    EXPECT_EQ(created.exitCode, 0) << created.err;
    PhraseTable t;
    OpenProject(t, project);
    for (size_t i = 0; i < t.Phrases.size(); ++i) {
      if (t.Phrases[i].Flags & pfLink) continue;
      const std::string_view origin = t.OriginText(t.Phrases[i]);
      if (origin == "Version %s of %d") swapped = static_cast<int>(i);
      if (origin == "ETA %02d:%02d") dropped = static_cast<int>(i);
      if (origin == "Distance %d km") correct = static_cast<int>(i);
    }
    EXPECT_GE(swapped, 0);
    EXPECT_GE(dropped, 0);
    EXPECT_GE(correct, 0);
    Translate(swapped, "Version %d von %s");
    Translate(dropped, "Ankunft %02d Uhr");
    Translate(correct, "Entfernung %d km");
  }
  void Translate(int index, const std::string& text) {
    const auto r = RunCli({"translate", project, std::to_string(index), text});
    EXPECT_EQ(r.exitCode, 0) << r.err;
  }
};

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

TEST(CliCheck, ReportsTheSwappedAndTheDroppedDirectiveOnly) {
  CheckWorkspace ws;
  auto r = RunCli({"check", ws.project, "--json"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  auto errorAt = [&](int index) {
    return r.out.find("{\"index\": " + std::to_string(index) + ", \"check\": \"printf\", \"severity\": \"error\"") !=
           std::string::npos;
  };
  EXPECT_TRUE(errorAt(ws.swapped)) << r.out;
  EXPECT_TRUE(errorAt(ws.dropped)) << r.out;
  EXPECT_FALSE(errorAt(ws.correct)) << r.out;
  EXPECT_EQ(r.out.front(), '[');
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");

  r = RunCli({"check", ws.project});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("phrase " + std::to_string(ws.swapped) + ": error: printf: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("2 error(s)"), std::string::npos) << r.out;

  ws.Translate(ws.swapped, "Version %s von %d");
  ws.Translate(ws.dropped, "Ankunft %02d:%02d");
  r = RunCli({"check", ws.project});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("0 error(s)"), std::string::npos) << r.out;
}

TEST(CliCheck, UsageErrorsExitTwo) {
  CheckWorkspace ws;
  EXPECT_EQ(RunCli({"check"}).exitCode, 2);
  EXPECT_EQ(RunCli({"check", ws.project, "--codepage", "klingon"}).exitCode, 2);
  EXPECT_EQ(RunCli({"check", ws.project, "--max-growth", "lots"}).exitCode, 2);
  EXPECT_EQ(RunCli({"check", ws.project, "--charset", ws.dir.File("missing.txt")}).exitCode, 1);
}

TEST(CliCheck, CharsetFileAndMaxGrowth) {
  CheckWorkspace ws;
  ws.Translate(ws.swapped, "Version %s von %d");
  ws.Translate(ws.dropped, "Ankunft %02d:%02d");
  test::WriteFile(ws.dir.File("font.txt"), std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ\nabcdefghijklmnopqrstuvwxyz\n0123456789 %:"));
  auto r = RunCli({"check", ws.project, "--charset", ws.dir.File("font.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  ws.Translate(ws.correct, "Entfernung: %d km (ca.)");
  r = RunCli({"check", ws.project, "--charset", ws.dir.File("font.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("charset: the unit's character set lacks \"(\" (U+0028)"), std::string::npos) << r.out;
  r = RunCli({"check", ws.project, "--max-growth", "0"});
  EXPECT_NE(r.out.find("unit: warning: growth: "), std::string::npos) << r.out;
}

TEST(CliCheck, AnErrorRefusesTheBuildAndForceBuilds) {
  CheckWorkspace ws;
  const std::string bin = ws.dir.File("OUT.BIN");
  auto r = RunCli({"build-bin", ws.project, "-o", bin});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(Exists(bin)) << "nothing written";
  EXPECT_NE(r.err.find("phrase " + std::to_string(ws.swapped) + ": error: printf"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;

  const std::string kwi = ws.dir.File("NEW.KWI");
  r = RunCli({"build-loader", ws.project, "-o", kwi});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(Exists(kwi));

  r = RunCli({"build-bin", ws.project, "-o", bin, "--force"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Exists(bin));
  EXPECT_NE(r.err.find("--force: building over 2 error(s)"), std::string::npos) << r.err;
  EXPECT_EQ(RunCli({"verify", ws.project, bin}).exitCode, 0);

  r = RunCli({"build-loader", ws.project, "-o", kwi, "--force"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Exists(kwi));
}

namespace {

// Runs msgfmt -c on a PO file; its exit status, or -1 when there is no msgfmt.
int Msgfmt(const std::string& po, const std::string& log) {
  if (std::system("msgfmt --version >/dev/null 2>&1") != 0) return -1;
  const std::string cmd = "msgfmt -c -o /dev/null '" + po + "' >'" + log + "' 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
  const auto bytes = test::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(CliCheck, ExportedPoLetsMsgfmtCatchTheSwap) {
  CheckWorkspace ws;
  const std::string po = ws.dir.File("apm.po");
  auto r = RunCli({"export", ws.project, "-o", po});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string text = ReadText(po);
  for (int index : {ws.swapped, ws.dropped, ws.correct})
    EXPECT_NE(text.find("#, c-format\nmsgctxt \"" + std::to_string(index) + "\""), std::string::npos) << index;
  EXPECT_EQ(text.find("#, c-format\nmsgctxt \"0\"\n"), std::string::npos) << "a menu text without '%'";

  const std::string log = ws.dir.File("msgfmt.log");
  const int bad = Msgfmt(po, log);
  if (bad < 0) GTEST_SKIP() << "msgfmt is not installed";
  EXPECT_NE(bad, 0) << "msgfmt -c accepted a swapped directive";
  EXPECT_NE(ReadText(log).find("'msgid' and 'msgstr'"), std::string::npos) << ReadText(log);

  ws.Translate(ws.swapped, "Version %s von %d");
  ws.Translate(ws.dropped, "Ankunft %02d:%02d");
  ASSERT_EQ(RunCli({"export", ws.project, "-o", po}).exitCode, 0);
  EXPECT_EQ(Msgfmt(po, log), 0) << ReadText(log);
}

TEST(CliCheck, ImportNamesTheLineOfAMismatchAndStillApplies) {
  CheckWorkspace ws;
  const std::string po = ws.dir.File("apm.po");
  ASSERT_EQ(RunCli({"export", ws.project, "-o", po}).exitCode, 0);
  // The translator mends the swap but drops a directive of the correct entry.
  std::string text = ReadText(po);
  const std::string was = "msgstr \"Entfernung %d km\"";
  const size_t at = text.find(was);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, was.size(), "msgstr \"Entfernung\"");
  const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n')) + 1;
  test::WriteFile(po, text);
  const auto r = RunCli({"import", ws.project, po});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("apm.po:" + std::to_string(line) + ": phrase " + std::to_string(ws.correct) +
                       ": the translation drops argument 1, int (%d); applied"),
            std::string::npos)
      << r.out;
  PhraseTable t;
  OpenProject(t, ws.project);
  EXPECT_EQ(t.EditedText(t.Phrases[static_cast<size_t>(ws.correct)]), "Entfernung");
  EXPECT_EQ(RunCli({"check", ws.project}).exitCode, 1);
}

TEST(CliCheck, XliffCarriesTheFormatFlagAsADevelopersNote) {
  CheckWorkspace ws;
  const std::string xlf = ws.dir.File("apm.xlf");
  ASSERT_EQ(RunCli({"export", ws.project, "-o", xlf}).exitCode, 0);
  const std::string text = ReadText(xlf);
  const size_t unit = text.find("<trans-unit id=\"" + std::to_string(ws.swapped) + "\"");
  ASSERT_NE(unit, std::string::npos);
  const size_t end = text.find("</trans-unit>", unit);
  EXPECT_NE(text.substr(unit, end - unit).find("<note from=\"developer\">c-format</note>"), std::string::npos)
      << text.substr(unit, end - unit);
  // Read back, the file changes nothing: the note is no data.
  EXPECT_EQ(RunCli({"import", ws.project, xlf}).exitCode, 0);
}

// The demo's European unit carries a firmware text with a control byte (DEL):
// a translation that keeps it passes, a control byte its origin lacks is an
// error, and a dropped directive in the same table is one too.
TEST(CliCheck, TheDemosEuropeanUnitShowsTheControlAndPrintfChecks) {
  test::TempDir dir;
  ASSERT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
  const std::string project = dir.File("eur.vmprj");
  const auto created = RunCli(
      {"new", dir.File("LOADING.KWI"), "--module", "1", "--unit", "EUR", "--mode", "european", "-o", project});
  ASSERT_EQ(created.exitCode, 0) << created.err;
  PhraseTable t;
  OpenProject(t, project);
  int withDel = -1, distance = -1;
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    if (t.Phrases[i].Flags & pfLink) continue;
    const std::string_view origin = t.OriginText(t.Phrases[i]);
    if (origin == "Signal\x7Fverloren") withDel = static_cast<int>(i);
    if (origin == "Entfernung %d km") distance = static_cast<int>(i);
  }
  ASSERT_GE(withDel, 0);
  ASSERT_GE(distance, 0);
  const struct {
    int index;
    std::string translation;
    const char* check;  // the error expected, or nullptr
  } cases[] = {
      {withDel, "Signal\x7Fperdu", nullptr},
      {distance, "Distance\x7F %d km", "control"},
      {distance, "Distance km", "printf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.translation);
    ASSERT_EQ(RunCli({"translate", project, std::to_string(c.index), c.translation}).exitCode, 0);
    const auto r = RunCli({"check", project, "--json"});
    const std::string prefix = "{\"index\": " + std::to_string(c.index) + ", \"check\": \"";
    EXPECT_EQ(r.exitCode, c.check ? 1 : 0) << r.out;
    if (c.check) EXPECT_NE(r.out.find(prefix + c.check + "\", \"severity\": \"error\""), std::string::npos) << r.out;
    else EXPECT_EQ(r.out.find(prefix), std::string::npos) << r.out;
  }
}
