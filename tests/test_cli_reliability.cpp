// The command line against careless and hostile use: outputs aimed at the
// command's own inputs (by path, symbolic link, hard link, volume set),
// sizes that a small file claims, a unit of a volume set, texts that are not
// UTF-8, and the record limit of extraction.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "container/io/ByteOrder.h"
#include "container/io/OutputGuard.h"
#include "container/io/StreamErrors.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

// A loader, a .BIN, a project made from the loader, a text file, and links
// to them: LOADING.KWI, APM.BIN, p.vmprj, t.txt; link.KWI and hard.KWI
// (symbolic and hard link to the loader), link.vmprj and hard.vmprj.
struct Files {
  TempDir dir;
  std::map<std::string, std::vector<uint8_t>> before;

  Files() {
    WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(sample::DemoLoaderRecipe()));
    WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
    WriteFile(dir.File("t.txt"), std::string("0 = Hello\r\n"));
    const auto r = RunCli({"new", dir.File("LOADING.KWI"), "-o", dir.File("p.vmprj")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::filesystem::create_symlink("LOADING.KWI", dir.File("link.KWI"));
    std::filesystem::create_hard_link(dir.File("LOADING.KWI"), dir.File("hard.KWI"));
    std::filesystem::create_symlink(dir.File("p.vmprj"), dir.File("link.vmprj"));
    std::filesystem::create_hard_link(dir.File("p.vmprj"), dir.File("hard.vmprj"));
    std::filesystem::create_directory(dir.File("sub"));
    for (const char* name : {"LOADING.KWI", "APM.BIN", "t.txt", "p.vmprj"}) before[name] = ReadFile(dir.File(name));
  }

  // Every file as it was, and no file besides them, the links and the
  // project's lock file.
  void ExpectUntouched(const std::string& what) const {
    for (const auto& [name, bytes] : before) EXPECT_EQ(ReadFile(dir.File(name)), bytes) << what << ": " << name;
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      entries += e.path().filename() != ".p.vmprj.lock";
    EXPECT_EQ(entries, 9u) << what;
  }
};

TEST(CliOutputs, EveryWritingCommandRefusesAnOutputThatIsOneOfItsInputs) {
  Files f;
  auto p = [&](const std::string& name) { return f.dir.File(name); };
  const std::string project = p("p.vmprj");
  const std::string loader = p("LOADING.KWI");
  // Each output names an input of its command in another way.
  const std::vector<std::vector<std::string>> cases = {
      {"new", loader, "-o", loader},
      {"new", loader, "-o", p("link.KWI")},
      {"new", loader, "-o", p("hard.KWI")},
      {"new", p("link.KWI"), "-o", f.dir.Path() + "/sub/../LOADING.KWI"},
      {"new", p("APM.BIN"), "-o", f.dir.Path() + "/./APM.BIN"},
      {"build-bin", project, "-o", project},
      {"build-bin", project, "-o", p("link.vmprj")},
      {"build-bin", project, "-o", p("hard.vmprj")},
      {"build-bin", p("link.vmprj"), "-o", project},
      {"build-bin", project, "-o", loader},  // the project's source loader
      {"build-bin", project, "-o", p("link.KWI")},
      {"build-loader", project, "-o", project},
      {"build-loader", project, "-o", p("hard.vmprj")},
      {"build-loader", project, "-o", loader},
      {"build-loader", project, "-o", p("hard.KWI")},
      {"build-loader", project, "-o", p("APM.BIN"), "--source", p("APM.BIN")},
      {"export", project, "-o", project},
      {"export", project, "-o", p("link.vmprj")},
      {"export", project, "-o", loader},
      {"import", project, project},  // the text file is the project itself
      {"import", project, p("hard.vmprj")},
  };
  for (const auto& args : cases) {
    const std::string what = ::testing::PrintToString(args);
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1) << what << r.err;
    EXPECT_NE(r.err.find("Cannot create file \""), std::string::npos) << what << r.err;
    EXPECT_NE(r.err.find("which is only read; choose another file."), std::string::npos) << what << r.err;
    f.ExpectUntouched(what);
  }
  // The same commands write where they should.
  EXPECT_EQ(RunCli({"build-bin", project, "-o", p("out.BIN")}).exitCode, 0);
  EXPECT_EQ(RunCli({"import", project, p("t.txt")}).exitCode, 0);
}

TEST(CliOutputs, NamesOfOneFile) {
  TempDir dir;
  WriteFile(dir.File("a"), std::string("a"));
  WriteFile(dir.File("b"), std::string("b"));
  std::filesystem::create_symlink("a", dir.File("sym"));
  std::filesystem::create_hard_link(dir.File("a"), dir.File("hard"));
  std::filesystem::create_symlink("missing", dir.File("dangling"));
  struct Case {
    std::string x, y;
    bool same;
  };
  const Case cases[] = {
      {dir.File("a"), dir.File("a"), true},
      {dir.File("a"), dir.Path() + "/./a", true},
      {dir.File("sym"), dir.File("a"), true},
      {dir.File("hard"), dir.File("a"), true},
      {dir.File("dangling"), dir.File("missing"), true},  // the file it would create
      {dir.File("a"), dir.File("b"), false},
      {dir.File("missing"), dir.File("other"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(NamesSameFile(c.x, c.y), c.same) << c.x << " / " << c.y;

  // A volume set stands for all of its volumes.
  for (int k = 1; k <= 3; ++k) WriteFile(dir.File("ALLDATA" + std::to_string(k) + ".KWI"), std::string(100, 'v'));
  EXPECT_THROW(RefuseOutputOverInputs(dir.File("ALLDATA3.KWI"), {dir.File("ALLDATA1.KWI")}), EFCreateError);
  EXPECT_NO_THROW(RefuseOutputOverInputs(dir.File("ALLDATA4.KWI"), {dir.File("ALLDATA1.KWI"), ""}));
}

// The demo loader with the directory size and the header size of unit APM
// set to FFFFFFFF: 47 KB that claim 4 GB.
std::vector<uint8_t> LoaderClaimingGigabytes(uint32_t* unitOffset) {
  sample::LoaderLayout layout;
  auto bytes = sample::MakeLoader(sample::DemoLoaderRecipe(), &layout);
  for (const auto& maker : layout.makers) {
    if (maker.makerName != "AISIN-AW") continue;
    const auto& module = maker.modules[0];
    StoreBE32(&bytes[module.recordOffset + 72 + 12], 0xFFFFFFFFu);  // unit 0's size in the directory
    *unitOffset = module.units[0].offset;
    StoreBE32(&bytes[module.units[0].offset + 116], 0xFFFFFFFFu);  // its header's size
  }
  return bytes;
}

TEST(CliHostileFiles, ASmallLoaderClaimingGigabytesIsRefusedBeforeAnythingIsAllocated) {
  TempDir dir;
  uint32_t offset = 0;
  const auto bytes = LoaderClaimingGigabytes(&offset);
  WriteFile(dir.File("LOADING.KWI"), bytes);
  const auto r = RunCli({"new", dir.File("LOADING.KWI"), "-o", dir.File("p.vmprj"), "--yes"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Stream read error: " + dir.File("LOADING.KWI") + ": the file ends at byte " +
                       std::to_string(bytes.size()) + ", before the unit's end at byte " +
                       std::to_string(uint64_t{offset} + 0xFFFFFFFFu)),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("p.vmprj")));
}

TEST(CliHostileFiles, AUnitOfAVolumeSetIsReadThroughTheWholeSet) {
  // The demo loader cut into volumes of 5000 bytes: units lie in later
  // volumes and across their boundaries.
  TempDir dir;
  const auto loader = sample::MakeLoader(sample::DemoLoaderRecipe());
  WriteFile(dir.File("LOADING.KWI"), loader);
  sample::WriteVolumeSet(dir.Path(), "ALLDATA1.KWI", sample::SplitIntoVolumes(loader, 5000));
  for (const char* unit : {"APM", "2", "4"}) {
    SCOPED_TRACE(unit);
    const auto plain = RunCli({"new", dir.File("LOADING.KWI"), "-o", dir.File("plain.vmprj"), "--module", "1",
                               "--unit", unit, "--yes"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const auto set = RunCli({"new", dir.File("ALLDATA1.KWI"), "-o", dir.File("set.vmprj"), "--module", "1", "--unit",
                             unit, "--yes"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    PhraseTable a, b;
    OpenProject(a, dir.File("plain.vmprj"));
    OpenProject(b, dir.File("set.vmprj"));
    EXPECT_EQ(a.UnitImage, b.UnitImage);
    EXPECT_EQ(a.Phrases.size(), b.Phrases.size());
    EXPECT_GT(a.Phrases.size(), 0u);
  }
  // An output over any volume of the set is refused.
  const auto r = RunCli({"new", dir.File("ALLDATA1.KWI"), "-o", dir.File("ALLDATA9.KWI")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("ALLDATA9.KWI"), std::string::npos) << r.err;
}

TEST(CliHostileFiles, TranslateNamesInvalidUtf8) {
  TempDir dir;
  WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
  ASSERT_EQ(RunCli({"new", dir.File("APM.BIN"), "-o", dir.File("p.vmprj")}).exitCode, 0);
  const auto before = ReadFile(dir.File("p.vmprj"));
  const auto r = RunCli({"translate", dir.File("p.vmprj"), "0", "Caf\xE9"});  // Latin-1, not UTF-8
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("The text is not valid UTF-8: byte 0xE9 at position 4"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("p.vmprj")), before);
}

TEST(CliHostileFiles, NewSaysWhenExtractionStoppedAtItsRecordLimit) {
  TempDir dir;
  const auto unit = sample::MakeBenchUnit(size_t{1} << 20, 31000, 3);
  WriteFile(dir.File("BIG.BIN"), unit.bytes);
  auto r = RunCli({"new", dir.File("BIG.BIN"), "-o", dir.File("p.vmprj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // A warning, not a result: standard error.
  EXPECT_NE(r.err.find("stopped at 30,001 records: choose a smaller range"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("30,001"), std::string::npos) << r.out;
  PhraseTable t;
  OpenProject(t, dir.File("p.vmprj"));
  EXPECT_EQ(t.Phrases.size(), kMaxPhraseRecords + 1);
  // A unit that stays below the limit says nothing of it.
  WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
  r = RunCli({"new", dir.File("APM.BIN"), "-o", dir.File("q.vmprj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.find("stopped at"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace velmora
