// The command line against careless and hostile use: outputs aimed at the
// command's own inputs (by path, symbolic link, hard link, volume set),
// sizes that a small file claims, a unit of a volume set, texts that are not
// UTF-8, the record limit of extraction, locks that cannot be had or are
// held, inputs that are no regular files, builds from damaged projects and
// characters a code page would change.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <map>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/io/OutputGuard.h"
#include "container/io/StreamErrors.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"
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
    if (args[0] == "import") {
      // Reading the project as a phrase file is the mistake, not creating it.
      EXPECT_NE(r.err.find("\" is the project itself; give a phrase file"), std::string::npos) << what << r.err;
    } else {
      EXPECT_NE(r.err.find("Cannot create file \""), std::string::npos) << what << r.err;
      EXPECT_NE(r.err.find("which is only read; choose another file."), std::string::npos) << what << r.err;
    }
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

// A project made from the demo loader's APM unit with phrase 0 translated
// and on; the demo unit as APM.BIN beside it.
struct TranslatedProject {
  TempDir dir;
  std::string project = dir.File("p.vmprj");
  TranslatedProject() {
    WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
    WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(sample::DemoLoaderRecipe()));
    EXPECT_EQ(RunCli({"new", dir.File("LOADING.KWI"), "-o", project}).exitCode, 0);
    EXPECT_EQ(RunCli({"translate", project, "0", "Hi"}).exitCode, 0);
  }
};

TEST(CliLocks, AChangeWhoseLockIsAFolderIsRefusedAndNamesTheLock) {
  TranslatedProject f;
  const auto before = ReadFile(f.project);
  std::filesystem::remove(ProjectEditLockPath(f.project));
  std::filesystem::create_directory(ProjectEditLockPath(f.project));
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"translate", f.project, "1", "Lost"}, {"set", f.project, "--on", "1"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1) << args[0];
    EXPECT_NE(r.err.find("Cannot lock project \"" + f.project + "\": the lock file \"" +
                         ProjectEditLockPath(f.project) + "\" cannot be used."),
              std::string::npos)
        << r.err;
  }
  EXPECT_EQ(ReadFile(f.project), before);
}

TEST(CliLocks, CarryToAnOutputWaitsForItsLockAndSaysSo) {
  TranslatedProject f;
  const std::string fresh = f.dir.File("new.vmprj");
  const std::string out = f.dir.File("out.vmprj");
  ASSERT_EQ(RunCli({"new", f.dir.File("LOADING.KWI"), "-o", fresh}).exitCode, 0);
  ASSERT_EQ(RunCli({"new", f.dir.File("LOADING.KWI"), "-o", out}).exitCode, 0);
  // The notice comes at once: it tells the test that carry waits.
  const test::ScopedVariable noticeAtOnce("VELMORA_LOCK_NOTICE_MS", "0");
  test::CliResult r;
  std::thread carry;
  {
    const TProjectEditLock held(out);  // a translate of OUT in the middle of its change
    test::CliStreams streams;
    streams.errorPath = f.dir.File("carry.err");
    carry = std::thread([&] { r = RunCli({"carry", f.project, fresh, "-o", out}, streams); });
    EXPECT_TRUE(test::WaitUntil(
        [&] { return test::FileText(streams.errorPath).find("waiting for the lock") != std::string::npos; }));
    PhraseTable during;
    OpenProject(during, out);
    EXPECT_EQ(during.EditedTexts.size(), 0u) << "carry wrote OUT without its lock";
  }
  carry.join();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("waiting for the lock \"" + ProjectEditLockPath(out) + "\""), std::string::npos) << r.err;
  PhraseTable after;
  OpenProject(after, out);
  EXPECT_EQ(after.EditedText(after.Phrases[0]), "Hi");
}

TEST(CliHostileFiles, InputsThatAreNoRegularFilesAreRefusedSayingWhatTheyAre) {
  TranslatedProject f;
  ASSERT_EQ(::mkfifo(f.dir.File("fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(f.dir.File("folder"));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      // A FIFO without a writer neither blocks the command nor holds the project's lock.
      {{"import", f.project, f.dir.File("fifo")}, "\"" + f.dir.File("fifo") + "\". It is a FIFO, not a regular file."},
      {{"import", f.project, "/dev/null", "--format", "txt"}, "\"/dev/null\". It is a device, not a regular file."},
      {{"import", f.project, f.dir.File("folder")}, "\"" + f.dir.File("folder") + "\". It is a folder, not a regular file."},
      {{"new", f.dir.File("fifo"), "-o", f.dir.File("q.vmprj")}, "It is a FIFO, not a regular file."},
      {{"new", "/dev/zero", "-o", f.dir.File("q.vmprj"), "--yes"}, "It is a device, not a regular file."},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args[0] << " " << c.args[2] << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("q.vmprj")));
  EXPECT_EQ(RunCli({"translate", f.project, "1", "After"}).exitCode, 0);
}

TEST(CliHostileFiles, BuildsFromADamagedProjectAreRefusedWithTheProblems) {
  struct Case {
    const char* name;
    void (*damage)(PhraseTable&);
    const char* problem;
  } cases[] = {
      {"a record pointing into the unit header", [](PhraseTable& t) { t.Phrases[0].StringAddress = 8; },
       "not to its text at 0x00000008"},
      {"a string over another record's pointer",
       [](PhraseTable& t) {
         t.Phrases[0].StringAddress = t.Phrases[1].LinkAddress;
         t.Phrases[0].Length = 8;
       },
       "phrase 0: the pointer word at"},
      {"a flipped bit in a length", [](PhraseTable& t) { t.Phrases[0].Length ^= 0x10; }, "phrase 0: its length"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TranslatedProject f;
    PhraseTable t;
    OpenProject(t, f.project);
    ASSERT_GE(t.Phrases.size(), 2u);
    c.damage(t);
    SaveProject(t, f.project);
    for (const std::string command : {"build-bin", "build-loader"}) {
      const auto r = RunCli({command, f.project, "-o", f.dir.File("OUT")});
      EXPECT_EQ(r.exitCode, 1) << command << ": " << r.out;
      EXPECT_NE(r.err.find(command + ": The project's records do not fit its unit (the project file is damaged)"),
                std::string::npos)
          << r.err;
      EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
      EXPECT_NE(r.err.find("Nothing was written."), std::string::npos) << r.err;
      EXPECT_FALSE(std::filesystem::exists(f.dir.File("OUT")));
    }
  }
}

TEST(CliHostileFiles, ALoaderBuiltFromAVolumeSetIsVerifiedThroughTheWholeSet) {
  TempDir dir;
  const auto loader = sample::MakeLoader(sample::DemoLoaderRecipe());
  sample::WriteVolumeSet(dir.Path(), "ALLDATA1.KWI", sample::SplitIntoVolumes(loader, 5000));
  const std::string project = dir.File("p.vmprj");
  ASSERT_EQ(RunCli({"new", dir.File("ALLDATA1.KWI"), "-o", project, "--module", "1", "--unit", "4", "--yes"}).exitCode, 0);
  ASSERT_EQ(RunCli({"translate", project, "0", "Hi"}).exitCode, 0);
  const auto built = RunCli({"build-loader", project, "-o", dir.File("NEW.KWI")});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  const auto r = RunCli({"verify", project, dir.File("NEW.KWI")});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
}

TEST(CliHostileFiles, ACharacterTheCodePageWouldChangeIsReportedAndRefused) {
  TranslatedProject f;
  const auto before = ReadFile(f.project);
  struct Case {
    const char* codePage;
    std::string text;
    std::string message;
  } cases[] = {
      {"japanese", "5\xC2\xA2", "\"\xC2\xA2\" (U+00A2) cannot be written in code page CP932 exactly (it would become \"\xEF\xBF\xA0\")"},
      {"japanese", "a\xE2\x80\x94", "(U+2014) cannot be written in code page CP932 exactly"},
      {"west-europe", "ok\xF3\xA0\x80\x81", "(U+E0001) cannot be written in code page CP1252 (it would be dropped)"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli({"translate", f.project, "1", c.text, "--codepage", c.codePage});
    EXPECT_EQ(r.exitCode, 1) << c.text;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadFile(f.project), before);
  // What round-trips is taken.
  EXPECT_EQ(RunCli({"translate", f.project, "1", "\xEF\xBF\xA0", "--codepage", "japanese"}).exitCode, 0);
}

TEST(CliHostileFiles, SuspiciousInputsAreRefusedOrWarnedOfWithMessagesThatFit) {
  TranslatedProject f;
  auto p = [&](const std::string& name) { return f.dir.File(name); };
  WriteFile(p("EMPTY.BIN"), std::string());
  const auto demo = sample::MakeDemoApmUnit();
  WriteFile(p("SHORT.BIN"), std::vector<uint8_t>(demo.begin(), demo.begin() + 100));
  auto headerOnly = sample::MakeDemoApmUnit();
  StoreBE32(&headerOnly[116], 0);  // declares no bytes at all
  WriteFile(p("ZERO.BIN"), headerOnly);
  ASSERT_EQ(RunCli({"new", p("ZERO.BIN"), "-o", p("zero.vmprj"), "--yes"}).exitCode, 0);
  // A UTF-16 text file read as 8-bit text: its first NUL ends it.
  WriteFile(p("utf16.txt"), std::string("\xFF\xFE" "0\0 \0=\0 \0H\0i\0\r\0\n\0", 18));
  std::filesystem::create_directory(p("folder.vmprj"));
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string message;  // in stderr
  } cases[] = {
      {{"new", p("EMPTY.BIN"), "-o", p("e.vmprj"), "--yes"}, 0, "warning: " + p("EMPTY.BIN") + " holds 0 bytes, fewer than the 128 of a unit header"},
      {{"new", p("SHORT.BIN"), "-o", p("s.vmprj"), "--yes"}, 0, "warning: " + p("SHORT.BIN") + " holds 100 bytes, fewer than the 128 of a unit header"},
      {{"new", p("APM.BIN"), "-o", p("folder.vmprj")}, 1, "folder.vmprj"},
      {{"build-bin", p("zero.vmprj"), "-o", p("Z.BIN")}, 0, "warning: the project's unit image holds 0 bytes, fewer than a unit header"},
      {{"import", f.project, p("utf16.txt"), "--encoding", "8bit"}, 1, p("utf16.txt") + ": no entry found; nothing was imported"},
      {{"import", f.project, f.project}, 1, "is the project itself; give a phrase file (txt|po|xliff)"},
      {{"verify", f.project, f.project}, 1, f.project + " is the project file itself, not a built .BIN or LOADING.KWI"},
      {{"translate", f.project, "0x1", "Hi"}, 2, "INDEX '0x1' is not a number (decimal digits only)"},
      {{"translate", f.project, "+1", "Hi"}, 2, "INDEX '+1' is not a number (decimal digits only)"},
      {{"set", f.project, "--on", " 1"}, 2, "INDEX ' 1' is not a number (decimal digits only)"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.args[1] << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  // A failed new leaves neither a project nor a lock file.
  for (const char* name : {".folder.vmprj.lock"})
    EXPECT_FALSE(std::filesystem::exists(p(name))) << name;
}

TEST(CliHostileFiles, NamesFromAFileReachTheTerminalEscaped) {
  TempDir dir;
  auto unit = sample::MakeDemoApmUnit();
  std::memcpy(&unit[6], "\x1B]0;x\x07", 6);  // a terminal title sequence as the tag
  StoreBE32(&unit[120], SumWords(unit.data(), unit.size()));
  WriteFile(dir.File("APM.BIN"), unit);
  const auto r = RunCli({"new", dir.File("APM.BIN"), "-o", dir.File("p.vmprj"), "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Unit:      APM_\\x1B]0;x\\x07"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
  EXPECT_EQ(r.err.find('\x1B'), std::string::npos);
  // The tag stored in the project reaches the terminal escaped as well.
  const auto shown = RunCli({"info", dir.File("p.vmprj")});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("Unit:      APM_\\x1B]0;x\\x07"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find('\x1B'), std::string::npos);
  // So does carry's warning about two different units.
  WriteFile(dir.File("PLAIN.BIN"), sample::MakeDemoApmUnit());
  ASSERT_EQ(RunCli({"new", dir.File("PLAIN.BIN"), "-o", dir.File("q.vmprj"), "--yes"}).exitCode, 0);
  const auto carried = RunCli({"carry", dir.File("p.vmprj"), dir.File("q.vmprj"), "--dry-run"});
  EXPECT_NE(carried.err.find("is unit APM_\\x1B]0;x\\x07"), std::string::npos) << carried.err;
  EXPECT_EQ(carried.err.find('\x1B'), std::string::npos);
  EXPECT_EQ(carried.out.find('\x1B'), std::string::npos);
}

}  // namespace
}  // namespace velmora
