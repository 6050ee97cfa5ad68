// The checks as velmora-cli runs them: 'check' and its JSON, the gate of
// build-bin and build-loader, and the PO export's printf flags under
// msgfmt -c.
#include <gtest/gtest.h>

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
