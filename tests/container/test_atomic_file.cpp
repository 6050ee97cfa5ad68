// Outputs written atomically: whatever happens to the writing program, the
// folder holds the old file or the new one and nothing else; links lead to
// the file that is replaced; the replaced file's permissions stay; a file
// the user may not write is refused.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::set<std::string> Entries(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::string Text(const std::string& path) {
  const auto b = ReadFile(path);
  return std::string(b.begin(), b.end());
}

void WriteText(const std::string& path, const std::string& text) { WriteFileAtomically(path, text.data(), text.size()); }

// Restores the default between tests.
struct Temporaries {
  explicit Temporaries(bool unnamed) { AllowUnnamedTemporaries(unnamed); }
  ~Temporaries() { AllowUnnamedTemporaries(true); }
};

class AtomicFileModes : public ::testing::TestWithParam<bool> {
 protected:
  Temporaries mode{GetParam()};
};
INSTANTIATE_TEST_SUITE_P(Temporaries, AtomicFileModes, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "Unnamed" : "Named"; });

TEST_P(AtomicFileModes, ReplacesOnlyOnCommitAndLeavesNothingElse) {
  TempDir dir;
  const std::string target = dir.File("out.BIN");
  WriteFile(target, std::string("old"));
  {
    TAtomicFile f(target);
    f.Stream().Write("new bytes", 9);
    EXPECT_EQ(Text(target), "old");  // nothing shows before the commit
  }
  EXPECT_EQ(Text(target), "old");  // dropped without a commit
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"out.BIN"});

  WriteText(target, "new");
  EXPECT_EQ(Text(target), "new");
  WriteText(dir.File("fresh.txt"), "made");
  EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"out.BIN", "fresh.txt"}));
}

TEST_P(AtomicFileModes, SizeLimitGivesAWriteErrorAndNoLeftovers) {
  TempDir dir;
  const std::string target = dir.File("big.BIN");
  WriteFile(target, std::string("old"));
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  struct rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    WriteText(target, std::string(100000, 'x'));  // without SIGXFSZ ignored, the test program would die here
  } catch (const EWriteError& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(message, "Stream write error: " + target + ": File too large");
  EXPECT_EQ(Text(target), "old");
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"big.BIN"});
}

// A child writes part of a file, tells the parent, and waits to be ended by
// the signal; the folder must then hold only the earlier file.
void InterruptedSave(const std::string& dir, const std::string& target, int sig, bool unnamed) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    AllowUnnamedTemporaries(unnamed);
    TAtomicFile f(target);
    const std::string chunk(1 << 16, 'n');
    for (int i = 0; i < 16; ++i) f.Stream().Write(chunk.data(), chunk.size());
    if (::write(ready[1], "r", 1) != 1) ::_exit(3);
    ::pause();
    ::_exit(4);
  }
  ::close(ready[1]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  // The temporary exists now, at full size, while the save goes on.
  ::kill(pid, sig);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
  (void)dir;
}

TEST(AtomicFile, InterruptedSavesLeaveOnlyTheEarlierFile) {
  struct Case {
    const char* name;
    int sig;
    bool unnamed;
  };
  const Case cases[] = {
      {"SIGINT, named temporary", SIGINT, false},  {"SIGTERM, named temporary", SIGTERM, false},
      {"SIGHUP, named temporary", SIGHUP, false},  {"SIGINT, unnamed file", SIGINT, true},
      {"SIGTERM, unnamed file", SIGTERM, true},    {"SIGKILL, unnamed file", SIGKILL, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string target = dir.File("P.vmprj");
    WriteFile(target, std::string("earlier"));
    InterruptedSave(dir.Path(), target, c.sig, c.unnamed);
    EXPECT_EQ(Text(target), "earlier");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"P.vmprj"});
  }
}

TEST(AtomicFile, TemporaryOfAKilledWriterIsRemovedByTheNextSave) {
  TempDir dir;
  const std::string target = dir.File("P.vmprj");
  WriteFile(target, std::string("earlier"));
  // SIGKILL cannot be caught: a named temporary stays behind...
  InterruptedSave(dir.Path(), target, SIGKILL, false);
  EXPECT_EQ(Entries(dir.Path()).size(), 2u);
  // ...beside one of a writer that is still running, which must stay.
  const std::string running = dir.File(".P.vmprj.tmp-" + std::to_string(::getpid()) + "-999");
  WriteFile(running, std::string("in progress"));
  WriteText(target, "next");
  EXPECT_EQ(Text(target), "next");
  EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"P.vmprj", ".P.vmprj.tmp-" + std::to_string(::getpid()) + "-999"}));
}

TEST(AtomicFile, LinksLeadToTheFileThatIsReplaced) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("real"));
  const std::string real = dir.File("real/P.vmprj");
  WriteFile(real, std::string("old"));
  std::filesystem::create_symlink("real/P.vmprj", dir.File("relative.vmprj"));
  std::filesystem::create_symlink(real, dir.File("absolute.vmprj"));
  std::filesystem::create_symlink("relative.vmprj", dir.File("chain.vmprj"));

  for (const char* link : {"relative.vmprj", "absolute.vmprj", "chain.vmprj"}) {
    SCOPED_TRACE(link);
    WriteText(dir.File(link), std::string("via ") + link);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File(link)));
    EXPECT_EQ(Text(real), std::string("via ") + link);
  }
  // A link to a file that does not exist yet makes that file.
  std::filesystem::create_symlink("real/new.BIN", dir.File("dangling.BIN"));
  WriteText(dir.File("dangling.BIN"), "made");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.BIN")));
  EXPECT_EQ(Text(dir.File("real/new.BIN")), "made");
  // A loop is refused like any file that cannot be created.
  std::filesystem::create_symlink("loop2", dir.File("loop1"));
  std::filesystem::create_symlink("loop1", dir.File("loop2"));
  EXPECT_THROW(WriteText(dir.File("loop1"), "x"), EFCreateError);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions) {
  TempDir dir;
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}, mode_t{0444}}) {
    SCOPED_TRACE(mode);
    const std::string target = dir.File("f" + std::to_string(mode));
    WriteFile(target, std::string("old"));
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    if (::geteuid() != 0 && !(mode & 0200)) continue;  // refused; see the next test
    WriteText(target, "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

// Runs f as an unprivileged user (a child that drops root when the tests
// run as root) and returns its exit status.
template <typename F>
int AsUnprivilegedUser(F&& f) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(90);
    ::_exit(f());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(AtomicFile, FileTheUserMayNotWriteIsRefusedLikeAPlainCreate) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);  // the folder itself allows the rename
  const std::string target = dir.File("o.BIN");
  WriteFile(target, std::string("read-only"));
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  const int result = AsUnprivilegedUser([&] {
    try {
      WriteText(target, "replaced");
      return 1;
    } catch (const EFCreateError& e) {
      return std::string(e.what()) == "Cannot create file \"" + target + "\". Permission denied." ? 0 : 2;
    }
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Text(target), "read-only");
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"o.BIN"});
}

TEST(AtomicFile, OnlyARegularFileIsReplaced) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0644), 0);
  for (const char* name : {"folder", "pipe"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(WriteText(dir.File(name), "x"), EFCreateError);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("pipe")));
  EXPECT_THROW(WriteText(dir.File("no/such/folder/x"), "x"), EFCreateError);
}

TEST(AtomicFile, LongNamesStillGetATemporary) {
  TempDir dir;
  const std::string target = dir.File(std::string(250, 'p'));
  WriteText(target, "long");
  EXPECT_EQ(Text(target), "long");
  Temporaries named(false);
  WriteText(target, "longer");
  EXPECT_EQ(Text(target), "longer");
  EXPECT_EQ(Entries(dir.Path()).size(), 1u);
}

// A folder that cannot be synced after the rename does not undo the save:
// it is a note for the program to show, naming the file as given. A folder
// that syncs gives no note.
TEST(AtomicFile, FolderSyncNoteNamesTheFileAndOnlyAFailedSyncGivesOne) {
  EXPECT_EQ(FolderSyncNote("/p/APM.BIN", "Input/output error"),
            "the folder of \"/p/APM.BIN\" could not be synced: Input/output error; the file is written but may not "
            "survive a power cut");
  std::vector<std::string> notes;
  const FolderSyncNotice earlier = SetFolderSyncNotice([&](const std::string& note) { notes.push_back(note); });
  TempDir dir;
  WriteText(dir.File("out.bin"), "synced");
  SetFolderSyncNotice(earlier);
  EXPECT_EQ(Text(dir.File("out.bin")), "synced");
  EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace velmora
