// velmora-cli verify and the summary the build commands print, run as the
// real program on the sample loader.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "container/io/ByteOrder.h"
#include "support/TestSupport.h"

using velmora::test::CliResult;
using velmora::test::ReadFile;
using velmora::test::RunCli;
using velmora::test::TempDir;
using velmora::test::WriteFile;

namespace {

// The sample loader, a project of its table-layout APM unit with a text in
// place (phrase 0) and one moved (phrase 1), and both outputs built.
struct Built {
  TempDir dir;
  std::string loader = dir.File("LOADING.KWI");
  std::string project = dir.File("apm.vmprj");
  std::string bin = dir.File("OUT.BIN");
  std::string kwi = dir.File("OUT.KWI");
  CliResult buildBin, buildLoader;

  Built() {
    EXPECT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
    EXPECT_EQ(RunCli({"new", loader, "-o", project}).exitCode, 0);
    EXPECT_EQ(RunCli({"translate", project, "0", "Name"}).exitCode, 0);
    EXPECT_EQ(RunCli({"translate", project, "1", "A translation far longer than its room"}).exitCode, 0);
    buildBin = RunCli({"build-bin", project, "-o", bin});
    buildLoader = RunCli({"build-loader", project, "-o", kwi});
  }
};

const char* kSummary =
    "Translations in place: 1\n"
    "Translations relocated: 1\n"
    "Bytes appended: 40\n"
    "Unit size: 16384 -> 16424 bytes\n";

TEST(CliVerify, BuildCommandsAndVerifyPrintTheSameSummary) {
  Built b;
  ASSERT_EQ(b.buildBin.exitCode, 0) << b.buildBin.err;
  ASSERT_EQ(b.buildLoader.exitCode, 0) << b.buildLoader.err;
  // The earlier lines stay as they were; the summary follows them.
  EXPECT_EQ(b.buildBin.out, "18432 bytes written to " + b.bin + "\n" + kSummary);
  EXPECT_NE(b.buildLoader.out.find("(source " + b.loader + ")\n" + kSummary), std::string::npos) << b.buildLoader.out;

  auto r = RunCli({"verify", b.project, b.bin});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "Verified " + b.bin + " as a .BIN: every translation reachable, nothing else changed.\n" + kSummary);

  r = RunCli({"verify", b.project, b.kwi});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  // Notes are diagnostics: standard error.
  EXPECT_NE(r.err.find("note: The directory entry of unit 0 (APM) keeps its old size 16384"), std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("note: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Verified " + b.kwi + " as a LOADING.KWI (source " + b.loader + ")"), std::string::npos)
      << r.out;
}

TEST(CliVerify, DamageGivesOneLinePerProblemAndExitOne) {
  Built b;
  auto bytes = ReadFile(b.bin);
  bytes[0x70] ^= 0x01;    // the base address, a header byte
  bytes[17000] = 0x55;    // the padding
  const std::string damaged = b.dir.File("DAMAGED.BIN");
  WriteFile(damaged, bytes);
  const auto r = RunCli({"verify", b.project, damaged});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "header at 0x00000070: the unit header differs from the project's image at unit offset 0x00000070 "
            "(00 where 01 belongs)\n"
            "padding at 0x00004268: the zero padding after the unit is not zero at unit offset 0x00004268 "
            "(55 where 00 belongs)\n");
  EXPECT_NE(r.err.find("2 problems found in " + damaged), std::string::npos) << r.err;
}

TEST(CliVerify, LoaderSourceIsFoundAsBuildLoaderFindsIt) {
  Built b;
  const std::string moved = b.dir.File("MOVED.KWI");
  std::filesystem::rename(b.loader, moved);
  auto r = RunCli({"verify", b.project, b.kwi});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Unsuitable file !!!"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(b.loader + " (no such file)"), std::string::npos) << r.err;
  r = RunCli({"verify", b.project, b.kwi, "--source", moved});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;

  // The .BIN needs no source at all.
  EXPECT_EQ(RunCli({"verify", b.project, b.bin}).exitCode, 0);

  // A damaged unit entry is found against the moved source too.
  auto bytes = ReadFile(b.kwi);
  bytes[84 + 72 + 16 + 11] ^= 0x02;  // the offset of unit 1's entry
  WriteFile(b.kwi, bytes);
  r = RunCli({"verify", b.project, b.kwi, "--source", moved});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("unit-entry at 0x000000B4: unit entry 1 (MAP) gives position"), std::string::npos) << r.out;
}

TEST(CliVerify, CommandLineAndFileErrors) {
  Built b;
  EXPECT_EQ(RunCli({"verify", b.project}).exitCode, 2);
  // Further arguments name further projects; one project given twice is refused.
  const auto twice = RunCli({"verify", b.project, b.project, b.kwi});
  EXPECT_EQ(twice.exitCode, 1);
  EXPECT_NE(twice.err.find("cannot go into the loader: its unit 0 (APM) is already translated by project 1"),
            std::string::npos) << twice.err;
  const auto r = RunCli({"verify", b.project, b.dir.File("none.BIN")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot open file"), std::string::npos) << r.err;
  EXPECT_NE(RunCli({"verify", "--help"}).out.find("Usage: velmora-cli verify PROJECT... BUILT"), std::string::npos);
}

}  // namespace
