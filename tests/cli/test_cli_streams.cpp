// velmora-cli as a Unix tool: "-" names standard output and standard input,
// a result that cannot be written is a failure, and standard output carries
// only results while diagnostics go to standard error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::CliStreams;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

struct Project {
  TempDir dir;
  std::string path = dir.File("p.vmprj");
  Project() {
    WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
    const auto r = RunCli({"new", dir.File("APM.BIN"), "-o", path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
  }
  std::string Bytes() const {
    const auto b = ReadFile(path);
    return std::string(b.begin(), b.end());
  }
};

std::string FileText(const std::string& path) {
  const auto b = ReadFile(path);
  return std::string(b.begin(), b.end());
}

TEST(CliStreams, ADashIsStandardOutputAndNeverAFile) {
  Project p;
  const auto toFile = RunCli({"export", p.path, "-o", p.dir.File("x.po")});
  ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
  const std::string po = FileText(p.dir.File("x.po"));

  const auto r = RunCli({"export", p.path, "-o", "-", "--format", "po"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, po) << "the file's bytes and nothing else";
  EXPECT_NE(r.err.find("phrase(s) exported to standard output"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "-"));

  // /dev/stdout is the same stream, not a file to replace.
  const auto dev = RunCli({"export", p.path, "-o", "/dev/stdout", "--format", "po"});
  ASSERT_EQ(dev.exitCode, 0) << dev.err;
  EXPECT_EQ(dev.out, po);

  // The carry report goes the same way, its summary to standard error.
  TempDir other;
  const std::string newer = other.File("n.vmprj");
  ASSERT_EQ(RunCli({"new", p.dir.File("APM.BIN"), "-o", newer}).exitCode, 0);
  ASSERT_EQ(RunCli({"translate", p.path, "2", "Zwei"}).exitCode, 0);
  const auto carry = RunCli({"carry", p.path, newer, "--dry-run", "--report", "-"});
  ASSERT_EQ(carry.exitCode, 0) << carry.err;
  EXPECT_EQ(carry.out.rfind("index", 0) == 0 || carry.out.find('\t') != std::string::npos, true) << carry.out;
  EXPECT_NE(carry.out.find("Zwei"), std::string::npos) << carry.out;
  EXPECT_NE(carry.err.find("Dry run: nothing written."), std::string::npos) << carry.err;
  EXPECT_EQ(carry.out.find("Dry run"), std::string::npos) << carry.out;
}

TEST(CliStreams, ImportReadsStandardInput) {
  Project p;
  ASSERT_EQ(RunCli({"export", p.path, "-o", p.dir.File("x.po")}).exitCode, 0);
  std::string po = FileText(p.dir.File("x.po"));
  // A stale file named "-" must not be read instead.
  WriteFile(p.dir.File("-"), std::string("0 = stale\r\n"));
  const size_t id = po.find("msgctxt \"2\"");
  ASSERT_NE(id, std::string::npos);
  const size_t str = po.find("msgstr \"\"", id);
  po.replace(str, 9, "msgstr \"From stdin\"");
  CliStreams io;
  io.input = po;
  const auto r = RunCli({"import", p.path, "-", "--format", "po"}, io);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("1 applied"), std::string::npos) << r.out;
  PhraseTable t;
  OpenProject(t, p.path);
  ASSERT_TRUE(t.HasEditedText(t.Phrases[2]));
  EXPECT_EQ(t.EditedText(t.Phrases[2]), "From stdin");
  EXPECT_FALSE(t.HasEditedText(t.Phrases[0]));
}

TEST(CliStreams, AResultThatCannotBeWrittenIsAFailure) {
  Project p;
  ASSERT_TRUE(std::filesystem::exists("/dev/full"));
  struct Case {
    const char* what;
    std::vector<std::string> args;
  } cases[] = {
      {"phrases", {"phrases", p.path}},
      {"export to -", {"export", p.path, "-o", "-"}},
      {"export to /dev/stdout", {"export", p.path, "-o", "/dev/stdout"}},
      {"info", {"info", p.dir.File("APM.BIN")}},
      {"--help", {"phrases", "--help"}},
  };
  for (const auto& c : cases) {
    CliStreams full;
    full.outputPath = "/dev/full";
    const auto r = RunCli(c.args, full);
    EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.err;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << c.what << ": " << r.err;
    CliStreams pipe;
    pipe.closedPipe = true;
    const auto q = RunCli(c.args, pipe);
    EXPECT_EQ(q.signal, 0) << c.what << ": killed by a signal";
    EXPECT_EQ(q.exitCode, 1) << c.what << ": " << q.err;
    EXPECT_NE(q.err.find("Broken pipe"), std::string::npos) << c.what << ": " << q.err;
  }
}

TEST(CliStreams, AFileWithoutEntriesIsAnErrorAndRefusalsHaveTheirOwnExitCode) {
  Project p;
  const std::string before = p.Bytes();
  struct Case {
    const char* what;
    const char* name;
    std::string file;
  } empty[] = {
      {"empty", "in.txt", ""},
      {"no entry line", "in.txt", "Hello\r\nworld\r\n"},
      {"an empty PO", "in.po", "# nothing here\n"},
      {"XLIFF 2.0", "in.xlf", "<?xml version=\"1.0\"?>\n<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" version=\"2.0\" "
                    "srcLang=\"en\"><file id=\"f\"><unit id=\"1\"><segment><source>Route</source><target>R"
                    "</target></segment></unit></file></xliff>\n"},
  };
  for (const auto& c : empty) {
    WriteFile(p.dir.File(c.name), c.file);
    const auto r = RunCli({"import", p.path, p.dir.File(c.name)});
    EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.out << r.err;
    EXPECT_NE(r.err.find("no entry found"), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(p.Bytes(), before) << c.what;
  }
  // Every entry refused, none applied: 3; the report still on standard
  // output, the refusals on standard error with their lines.
  WriteFile(p.dir.File("bad.po"), std::string("msgctxt \"99999\"\nmsgid \"Nowhere\"\nmsgstr \"x\"\n"));
  const auto r = RunCli({"import", p.path, p.dir.File("bad.po")});
  EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
  EXPECT_NE(r.out.find("0 applied"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 unknown context"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("bad.po:1:"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("bad.po:1: no phrase of the project has the index \"99999\""), std::string::npos) << r.err;
  EXPECT_EQ(p.Bytes(), before);
}

TEST(CliStreams, EveryRefusedEntryIsListedAndNotesAllListsTheRest) {
  Project p;
  PhraseTable t;
  OpenProject(t, p.path);
  // 300 entries with an index that names nothing, and one over budget.
  std::string po;
  for (int i = 0; i < 300; ++i)
    po += "msgctxt \"" + std::to_string(100000 + i) + "\"\nmsgid \"Gone " + std::to_string(i) + "\"\nmsgstr \"x\"\n\n";
  WriteFile(p.dir.File("many.po"), po);
  const auto r = RunCli({"import", p.path, p.dir.File("many.po")});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("\"100299\""), std::string::npos) << "the last refusal is listed too";
  EXPECT_EQ(r.err.find("more."), std::string::npos) << r.err.substr(r.err.size() - 200);
  const auto bad = RunCli({"import", p.path, p.dir.File("many.po"), "--notes", "some"});
  EXPECT_EQ(bad.exitCode, 2) << bad.err;
}

TEST(CliStreams, CarryRefusesAReportOverAnOutputOrASourceBin) {
  Project p;
  TempDir other;
  const std::string newer = other.File("n.vmprj");
  ASSERT_EQ(RunCli({"new", p.dir.File("APM.BIN"), "-o", newer}).exitCode, 0);
  const std::string out = other.File("out.vmprj");
  auto r = RunCli({"carry", p.path, newer, "-o", out, "--report", out});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  EXPECT_NE(r.err.find("-o and --report name the same file"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("input"), std::string::npos) << r.err;

  const auto bin = ReadFile(p.dir.File("APM.BIN"));
  r = RunCli({"carry", p.path, newer, "--report", p.dir.File("APM.BIN")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("It is the .BIN that " + p.path + " was made from"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(p.dir.File("APM.BIN")), bin);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliStreams, CarryBetweenTwoUnitsWarnsNamingBoth) {
  Project p;
  TempDir other;
  WriteFile(other.File("NAV.BIN"), sample::MakeDemoApmUnit());
  const std::string newer = other.File("n.vmprj");
  ASSERT_EQ(RunCli({"new", other.File("NAV.BIN"), "-o", newer}).exitCode, 0);
  const auto r = RunCli({"carry", p.path, newer, "--dry-run"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("warning: " + p.path + " is unit APM_"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(newer + " is unit NAV_"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("warning"), std::string::npos) << r.out;
  // The same unit: no warning.
  const std::string same = other.File("s.vmprj");
  ASSERT_EQ(RunCli({"new", p.dir.File("APM.BIN"), "-o", same}).exitCode, 0);
  EXPECT_EQ(RunCli({"carry", p.path, same, "--dry-run"}).err.find("warning"), std::string::npos);
}

}  // namespace
}  // namespace velmora
