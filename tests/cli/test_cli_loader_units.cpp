// build-loader and verify with several projects, run as the real program on
// the demo loader: the APM, JPN and EUR units of its split-layout module in
// one loader, each unit what build-bin writes for it, verify accepting it
// and naming a unit with a changed byte, and the refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "container/kiwi/Loading.h"
#include "support/TestSupport.h"

using velmora::TLN_Loading;
using velmora::test::CliResult;
using velmora::test::ReadFile;
using velmora::test::RunCli;
using velmora::test::TempDir;
using velmora::test::WriteFile;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr size_t kSplitModule = 1;
struct UnitProject {
  const char* unit;
  size_t index;  // in the split module
  const char* mode;
};
const UnitProject kProjects[] = {{"APM", 0, "english"}, {"JPN", 3, "japanese"}, {"EUR", 4, "european"}};

struct Demo {
  TempDir dir;
  std::string loader = dir.File("LOADING.KWI");
  std::string out = dir.File("OUT.KWI");
  std::vector<std::string> projects;

  Demo() {
    EXPECT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
    for (const UnitProject& p : kProjects) {
      const std::string path = dir.File(std::string(p.unit) + ".vmprj");
      const CliResult r = RunCli({"new", loader, "-o", path, "--module", std::to_string(kSplitModule), "--unit",
                                  p.unit, "--mode", p.mode});
      EXPECT_EQ(r.exitCode, 0) << r.err;
      // One text that fits its room and one that must move.
      EXPECT_EQ(RunCli({"translate", path, "0", "Ok"}).exitCode, 0);
      EXPECT_EQ(RunCli({"translate", path, "1", "A translation far longer than the text it replaces"}).exitCode, 0);
      projects.push_back(path);
    }
  }
  std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) const {
    head.insert(head.end(), projects.begin(), projects.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  }
};

Bytes Slice(const Bytes& b, size_t at, size_t n) {
  if (at + n > b.size()) return {};
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

TEST(CliLoaderUnits, ThreeUnitsOfTheSplitModuleInOneLoader) {
  Demo d;
  const CliResult built = RunCli(d.Args({"build-loader"}, {"-o", d.out}));
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_NE(built.out.find("Unit 3 (JPN_JPN) from " + d.projects[1] + ":\n  Translations in place: 1\n"),
            std::string::npos) << built.out;

  const Bytes src = ReadFile(d.loader), out = ReadFile(d.out);
  const TLN_Loading source(d.loader), loader(d.out);
  ASSERT_TRUE(loader.Valid);
  const auto& srcUnits = source.Frame.Makers[1].Modules[kSplitModule].Units;
  const auto& outUnits = loader.Frame.Makers[0].Modules[0].Units;
  ASSERT_EQ(outUnits.size(), srcUnits.size());
  EXPECT_TRUE(loader.Frame.Makers[0].Modules[0].SplitTable);
  for (size_t i = 0; i < outUnits.size(); ++i) {
    SCOPED_TRACE(outUnits[i].Name);
    Bytes want = Slice(src, srcUnits[i].Offset, srcUnits[i].Size);
    for (size_t k = 0; k < std::size(kProjects); ++k)
      if (kProjects[k].index == i) {
        const std::string bin = d.dir.File(std::string(kProjects[k].unit) + ".BIN");
        ASSERT_EQ(RunCli({"build-bin", d.projects[k], "-o", bin}).exitCode, 0);
        want = ReadFile(bin);
      }
    EXPECT_EQ(Slice(out, outUnits[i].Offset, want.size()), want);
  }

  CliResult r = RunCli(d.Args({"verify"}, {d.out}));
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Verified " + d.out + " as a LOADING.KWI with 3 translated units"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unit 1 (FOREIGN): copied, no problems\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unit 4 (EUR): translated, 1 in place, 1 relocated, no problems\n"), std::string::npos) << r.out;

  // A changed byte in JPN's body: verify fails and names the unit.
  Bytes bad = out;
  bad[outUnits[3].Offset + 300] ^= 0x01;
  const std::string damaged = d.dir.File("DAMAGED.KWI");
  WriteFile(damaged, bad);
  r = RunCli(d.Args({"verify"}, {damaged}));
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_NE(r.out.find(": unit 3 (JPN): "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unit 0 (APM): translated, 1 in place, 1 relocated, no problems\n"), std::string::npos);
  EXPECT_EQ(r.out.find("unit 3 (JPN): translated, 1 in place, 1 relocated, no problems\n"), std::string::npos);
  // Verified against APM alone, the JPN and EUR units differ from the source.
  r = RunCli({"verify", d.projects[0], d.out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("other-unit at "), std::string::npos) << r.out;
}

TEST(CliLoaderUnits, RefusalsWriteNothing) {
  Demo d;
  const std::string tableApm = d.dir.File("table-apm.vmprj");
  ASSERT_EQ(RunCli({"new", d.loader, "-o", tableApm, "--module", "0"}).exitCode, 0);
  const std::string binProject = d.dir.File("bin.vmprj");
  ASSERT_EQ(RunCli({"new", d.dir.File("APM.BIN"), "-o", binProject}).exitCode, 0);
  const Bytes loaderBytes = ReadFile(d.loader);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* words;
  } cases[] = {
      {"one unit twice", {d.projects[0], d.projects[1], d.projects[0]}, "is already translated by project 1"},
      {"another module", {d.projects[0], tableApm}, "its unit lies in module 0 of maker entry 1"},
      {"a .BIN project", {d.projects[1], binProject}, "it was made from a .BIN file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"build-loader"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"-o", d.out});
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(d.out));
  }
  // The output may name none of the inputs: neither a project nor the source.
  for (const std::string& input : {d.projects[2], d.loader}) {
    const Bytes before = ReadFile(input);
    const CliResult r = RunCli(d.Args({"build-loader"}, {"-o", input}));
    EXPECT_NE(r.exitCode, 0) << input;
    EXPECT_EQ(ReadFile(input), before) << input;
  }
  EXPECT_EQ(ReadFile(d.loader), loaderBytes);
}

}  // namespace
