// velmora-cli verify and the summary the build commands print, run as the
// real program on the sample loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "container/io/ByteOrder.h"
#include "support/TestSupport.h"

using velmora::test::CliResult;
using velmora::test::OutputLines;
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
            damaged + ", checked as a .BIN, does not match the project: 2 problems\n"
            "header at 0x00000070: the unit header differs from the project's image at unit offset 0x00000070 "
            "(00 where 01 belongs)\n"
            "padding at 0x00004268: the zero padding after the unit is not zero at unit offset 0x00004268 "
            "(55 where 00 belongs)\n");
  EXPECT_NE(r.err.find("2 problems found in " + damaged + " (checked as a .BIN)"), std::string::npos) << r.err;
}

// The kind of file is told by where the project's unit stands in it, so a
// damaged first sector never turns a .BIN into a loader (whose directory
// would then differ everywhere) nor a loader into a .BIN.
TEST(CliVerify, TheFirstLineNamesTheKindCheckedEvenWithTheFirstSectorDamaged) {
  Built b;
  const auto kwi = ReadFile(b.kwi);
  struct Case {
    const char* what;
    std::string built;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* kind;
  } cases[] = {
      {".BIN, first sector zeroed", b.bin, [](auto& v) { std::fill(v.begin(), v.begin() + 2048, 0); }, ".BIN"},
      {".BIN, first sector all FF", b.bin, [](auto& v) { std::fill(v.begin(), v.begin() + 2048, 0xFF); }, ".BIN"},
      {".BIN, first sector a loader's directory", b.bin,
       [&kwi](auto& v) { std::copy(kwi.begin(), kwi.begin() + 2048, v.begin()); }, ".BIN"},
      {"loader, first sector zeroed", b.kwi, [](auto& v) { std::fill(v.begin(), v.begin() + 2048, 0); },
       "LOADING.KWI"},
      {"loader, first sector the unit's header", b.kwi,
       [bin = ReadFile(b.bin)](auto& v) { std::copy(bin.begin(), bin.begin() + 2048, v.begin()); }, "LOADING.KWI"},
  };
  for (const Case& c : cases) {
    auto bytes = ReadFile(c.built);
    c.damage(bytes);
    const std::string damaged = b.dir.File("DAMAGED");
    WriteFile(damaged, bytes);
    const auto r = RunCli({"verify", b.project, damaged});
    EXPECT_EQ(r.exitCode, 1) << c.what;
    const auto lines = OutputLines(r.out);
    ASSERT_GE(lines.size(), 2u) << c.what << ": " << r.out;
    EXPECT_EQ(lines[0].rfind(damaged + ", checked as a " + c.kind + ", does not match the project: ", 0), 0u)
        << c.what << ": " << lines[0];
    EXPECT_NE(r.err.find("(checked as a " + std::string(c.kind) + ")"), std::string::npos) << c.what << ": " << r.err;
    if (std::string(c.kind) == ".BIN") {
      // The damage is the unit's first sector: nothing of a loader is named.
      for (const std::string& line : lines)
        for (const char* loaderKind : {"directory at", "unit-entry at", "other-unit at", "module at"})
          EXPECT_NE(line.rfind(loaderKind, 0), 0u) << c.what << ": " << line;
      EXPECT_EQ(lines[1].rfind("header at 0x000000", 0), 0u) << c.what << ": " << lines[1];
    } else {
      EXPECT_NE(r.out.find("\ndirectory at "), std::string::npos) << c.what << ": " << r.out;
    }
  }
}

// A file cut inside the appended area: the cut comes first, with how much is
// missing, and the translation it cut is not mistaken for stray bytes.
TEST(CliVerify, AFileCutInsideTheAppendedAreaIsReportedAsTruncatedFirst) {
  Built b;
  const auto bin = ReadFile(b.bin);
  const std::string cut = b.dir.File("CUT.BIN");
  WriteFile(cut, std::vector<uint8_t>(bin.begin(), bin.begin() + 16384 + 10));
  auto r = RunCli({"verify", b.project, cut});
  EXPECT_EQ(r.exitCode, 1);
  auto lines = OutputLines(r.out);
  ASSERT_GE(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[1], "length at 0x0000400A: truncated: the file ends 16394 bytes into the translated unit, inside its "
                      "appended area; the unit takes 18432 bytes with its padding, so 2038 are missing");
  EXPECT_EQ(r.out.find("belong to no translation"), std::string::npos) << r.out;

  // In a loader: the unit APM lies at 2048, so its appended area at 18432.
  const auto kwi = ReadFile(b.kwi);
  const std::string cutLoader = b.dir.File("CUT.KWI");
  WriteFile(cutLoader, std::vector<uint8_t>(kwi.begin(), kwi.begin() + 18432 + 10));
  r = RunCli({"verify", b.project, cutLoader});
  EXPECT_EQ(r.exitCode, 1);
  lines = OutputLines(r.out);
  ASSERT_GE(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[0].rfind(cutLoader + ", checked as a LOADING.KWI, ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "length at 0x0000480A: truncated: the file holds 18442 bytes; the rebuilt loader takes " +
                          std::to_string(kwi.size()) + ", so " + std::to_string(kwi.size() - 18442) + " are missing");
  EXPECT_EQ(r.out.find("belong to no translation"), std::string::npos) << r.out;
}

// A build of another unit is told in the first line, before its many
// differences; a build of the project with a damaged tag is not.
TEST(CliVerify, ABuildOfAnotherUnitSaysSoInItsFirstLine) {
  Built b;
  const std::string apm1 = b.dir.File("apm1.vmprj"), jpn = b.dir.File("jpn.vmprj");
  ASSERT_EQ(RunCli({"new", b.loader, "--module", "1", "--unit", "APM", "-o", apm1}).exitCode, 0);
  ASSERT_EQ(RunCli({"new", b.loader, "--module", "1", "--unit", "JPN", "--mode", "japanese", "-o", jpn}).exitCode, 0);
  ASSERT_EQ(RunCli({"translate", apm1, "0", "Name"}).exitCode, 0);
  ASSERT_EQ(RunCli({"translate", jpn, "0", "A translation far longer than its room"}).exitCode, 0);
  const std::string jpnBin = b.dir.File("JPN.BIN"), jpnKwi = b.dir.File("JPN.KWI");
  ASSERT_EQ(RunCli({"build-bin", jpn, "-o", jpnBin}).exitCode, 0);
  ASSERT_EQ(RunCli({"build-loader", jpn, "-o", jpnKwi}).exitCode, 0);
  auto bin = ReadFile(b.bin);
  bin[8] = 'X';  // the tag APM becomes APX
  const std::string badTag = b.dir.File("TAG.BIN");
  WriteFile(badTag, bin);

  struct Case {
    const char* what;
    std::string project, built, first;
  } cases[] = {
      {"a .BIN of another unit", b.project, jpnBin,
       jpnBin + ", checked as a .BIN, is not a build of the project: it holds unit tag JPN; the project's unit is "
                "APM_APM; "},
      {"a loader that translates another unit of the module", apm1, jpnKwi,
       jpnKwi + ", checked as a LOADING.KWI, is not a build of the project: it carries a translation of unit 3 (JPN), "
                "not of the project's unit 0 (APM); "},
      {"a loader of another module", b.project, jpnKwi,
       jpnKwi + ", checked as a LOADING.KWI, is not a build of the project: it carries the module \"AISIN NAVIGATION "
                "PROGRAM EXT\"; the project's unit APM_APM is in \"AISIN NAVIGATION PROGRAM\"; "},
      {"the project's .BIN with a damaged tag", b.project, badTag,
       badTag + ", checked as a .BIN, does not match the project: 1 problem"},
  };
  for (const Case& c : cases) {
    const auto r = RunCli({"verify", c.project, c.built});
    EXPECT_EQ(r.exitCode, 1) << c.what;
    EXPECT_EQ(r.out.rfind(c.first, 0), 0u) << c.what << ":\n" << r.out.substr(0, 400);
  }
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
