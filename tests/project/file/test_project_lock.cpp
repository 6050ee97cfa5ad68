// Concurrent work on one stored project: edits queue on the project's edit
// lock and all of them survive; a window's lock tells other windows that it
// shows the project without ever holding up an edit.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "project/file/PhraseEdits.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::TempDir;
using test::WriteFile;

// True once the kernel lists a process or thread blocked on a lock of the
// file at path (a "->" line of /proc/locks naming its inode): the handshake
// that says a waiter has reached the lock, without guessing a time.
bool SomeoneWaitsOn(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  std::ifstream locks("/proc/locks");
  std::string line;
  const std::string inode = ":" + std::to_string(st.st_ino);
  while (std::getline(locks, line)) {
    if (line.find("->") == std::string::npos) continue;
    std::istringstream fields(line);
    std::string field;
    while (fields >> field)
      if (field.size() > inode.size() && field.compare(field.size() - inode.size(), inode.size(), inode) == 0)
        return true;
  }
  return false;
}

PhraseTable Project(size_t n) {
  PhraseTable t;
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(256 + 4 * n);
  t.UnitImage.assign(t.Info.UnitSize, 'A');
  for (size_t i = 0; i < n; ++i) t.Phrases.push_back({static_cast<uint32_t>(128 + 4 * i), 128, 4, 0, -1, -1});
  return t;
}

TEST(ProjectLock, ConcurrentEditsOfOneProjectAllSurvive) {
  TempDir dir;
  const std::string path = dir.File("p.vmprj");
  PhraseTable start = Project(50);
  SaveProject(start, path);
  // Each edit is slow enough between its read and its save that, without
  // the lock, the edits would overwrite each other.
  std::vector<std::thread> editors;
  for (size_t i = 0; i < 50; ++i) {
    editors.emplace_back([&, i] {
      EditProjectFile(path, [&](PhraseTable& t) {
        std::this_thread::yield();
        return ApplyEditedText(t, i, std::string("T").append(std::to_string(i)));
      });
    });
  }
  for (auto& e : editors) e.join();
  PhraseTable end;
  OpenProject(end, path);
  for (size_t i = 0; i < 50; ++i) EXPECT_EQ(end.EditedText(end.Phrases[i]), std::string("T").append(std::to_string(i))) << i;
  EXPECT_EQ(end.EditedTexts.size(), 50u);
}

TEST(ProjectLock, AnEditWaitsForTheHolderOfTheEditLock) {
  TempDir dir;
  const std::string path = dir.File("p.vmprj");
  PhraseTable start = Project(2);
  SaveProject(start, path);
  std::atomic<bool> edited{false};
  std::thread editor;
  {
    const TProjectEditLock held(path);  // as a window does while it saves
    editor = std::thread([&] {
      EditProjectFile(path, [&](PhraseTable& t) { return ApplyEditedText(t, 0, "late"); });
      edited = true;
    });
    // Wait until the editor blocks on the lock (a minute at most, so that a
    // broken lock fails the test instead of hanging it).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!SomeoneWaitsOn(ProjectEditLockPath(path)) && !edited.load() && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::yield();
    EXPECT_TRUE(SomeoneWaitsOn(ProjectEditLockPath(path)));
    EXPECT_FALSE(edited.load());
  }
  editor.join();
  EXPECT_TRUE(edited.load());
}

TEST(ProjectLock, WindowLockIsSeenByOtherWindowsAndNeverHoldsUpAnEdit) {
  TempDir dir;
  const std::string path = dir.File("p.vmprj");
  PhraseTable start = Project(2);
  SaveProject(start, path);
  EXPECT_FALSE(TProjectWindowLock::IsHeld(path));
  {
    const TProjectWindowLock first(path);
    const TProjectWindowLock second(path);  // a window that opened it anyway
    EXPECT_TRUE(TProjectWindowLock::IsHeld(path));
    // The command line edits meanwhile.
    EXPECT_TRUE(EditProjectFile(path, [](PhraseTable& t) { return ApplyEditedText(t, 1, "from the command line"); }));
  }
  EXPECT_FALSE(TProjectWindowLock::IsHeld(path));
}

TEST(ProjectLock, LocksLieBesideTheFileThatLinksLeadTo) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("real"));
  PhraseTable start = Project(2);
  SaveProject(start, dir.File("real/p.vmprj"));
  std::filesystem::create_symlink("real/p.vmprj", dir.File("link.vmprj"));
  EXPECT_EQ(ProjectEditLockPath(dir.File("link.vmprj")), dir.File("real/.p.vmprj.lock"));
  EXPECT_EQ(ProjectWindowLockPath(dir.File("link.vmprj")), dir.File("real/.p.vmprj.open"));
  const TProjectWindowLock viaLink(dir.File("link.vmprj"));
  EXPECT_TRUE(TProjectWindowLock::IsHeld(dir.File("real/p.vmprj")));
  // An edit through the link changes the real file, which stays a file.
  EXPECT_TRUE(EditProjectFile(dir.File("link.vmprj"), [](PhraseTable& t) { return ApplyEditedText(t, 0, "linked"); }));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.vmprj")));
  PhraseTable real;
  OpenProject(real, dir.File("real/p.vmprj"));
  EXPECT_EQ(real.EditedText(real.Phrases[0]), "linked");
}

TEST(ProjectLock, AChangeWhoseLockCannotBeHadIsRefusedNamingTheLock) {
  struct Case {
    const char* name;
    void (*plant)(const std::string& lock, const std::string& elsewhere);
    const char* reason;
  } cases[] = {
      {"a folder", [](const std::string& lock, const std::string&) { std::filesystem::create_directory(lock); },
       "Is a directory"},
      {"a symbolic link to a file that does not exist yet",
       [](const std::string& lock, const std::string& elsewhere) { std::filesystem::create_symlink(elsewhere, lock); },
       "It is a symbolic link."},
      {"a FIFO", [](const std::string& lock, const std::string&) { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); },
       "It is not a regular file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("p.vmprj");
    PhraseTable start = Project(2);
    SaveProject(start, path);
    const std::string lock = ProjectEditLockPath(path);
    c.plant(lock, dir.File("elsewhere"));
    try {
      EditProjectFile(path, [](PhraseTable& t) { return ApplyEditedText(t, 0, "unlocked"); });
      ADD_FAILURE() << "the change ran without its lock";
    } catch (const ELockError& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + lock + "\""), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
    PhraseTable after;
    OpenProject(after, path);
    EXPECT_EQ(after.EditedTexts.size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));  // a planted link made nothing
  }
}

// A shared folder where another user's lock file is readable by its owner
// only (mode 0600): the change is refused naming the lock, never run
// unlocked. Planting another user's file needs root; the change itself runs
// in a child that has become "nobody".
TEST(ProjectLock, AnotherUsersPrivateLockIsRefusedNotSkipped) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's lock file needs root";
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const std::string path = dir.File("p.vmprj");
  PhraseTable start = Project(2);
  SaveProject(start, path);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const std::string lock = ProjectEditLockPath(path);
  WriteFile(lock, std::string());
  ASSERT_EQ(::chmod(lock.c_str(), 0600), 0);

  enum : int { kRefused = 10, kRanUnlocked = 11, kOtherError = 12, kNoUser = 13 };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(kNoUser);
    try {
      EditProjectFile(path, [](PhraseTable& t) { return ApplyEditedText(t, 0, "unlocked"); });
      ::_exit(kRanUnlocked);
    } catch (const ELockError& e) {
      const std::string what = e.what();
      const bool named = what.find("\"" + lock + "\"") != std::string::npos &&
                         what.find("Permission denied") != std::string::npos;
      ::_exit(named ? kRefused : kOtherError);
    } catch (...) {
      ::_exit(kOtherError);
    }
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kRefused);
  PhraseTable after;
  OpenProject(after, path);
  EXPECT_EQ(after.EditedTexts.size(), 0u);
}

TEST(ProjectLock, AProjectNameTooLongForItsLockGetsAShortenedHashedLock) {
  TempDir dir;
  // 251 bytes: ".NAME.lock" would be 257. Two names that share their start.
  const std::string a = dir.File(std::string(241, 'n') + "a.vmprj");
  const std::string b = dir.File(std::string(241, 'n') + "b.vmprj");
  PhraseTable start = Project(8);
  SaveProject(start, a);
  SaveProject(start, b);
  const std::string lockA = ProjectEditLockPath(a);
  const std::string nameA = lockA.substr(lockA.find_last_of('/') + 1);
  EXPECT_LE(nameA.size(), 255u);
  EXPECT_EQ(nameA.rfind(".nnnn", 0), 0u) << nameA;
  EXPECT_NE(lockA, ProjectEditLockPath(b));
  EXPECT_NE(ProjectWindowLockPath(a), lockA);
  // Concurrent edits of the long-named project still queue on its lock.
  std::vector<std::thread> editors;
  for (size_t i = 0; i < 8; ++i)
    editors.emplace_back([&, i] {
      EditProjectFile(a, [&](PhraseTable& t) {
        std::this_thread::yield();
        return ApplyEditedText(t, i, std::string("L").append(std::to_string(i)));
      });
    });
  for (auto& e : editors) e.join();
  PhraseTable end;
  OpenProject(end, a);
  EXPECT_EQ(end.EditedTexts.size(), 8u);
  EXPECT_TRUE(std::filesystem::exists(lockA));
}

// The notice's quiet time is set to nothing here: the notice itself tells
// the test that the editor waits, and only then is the lock let go.
TEST(ProjectLock, AWaitPastTheQuietTimeIsAnnouncedOnce) {
  TempDir dir;
  const std::string path = dir.File("p.vmprj");
  PhraseTable start = Project(2);
  SaveProject(start, path);
  std::mutex m;
  std::condition_variable announced;
  std::vector<std::string> notices;
  SetLockWaitNotice(
      [&](const std::string& lock) {
        const std::lock_guard<std::mutex> g(m);
        notices.push_back(lock);
        announced.notify_all();
      },
      std::chrono::milliseconds(0));
  // A free lock is taken without a word.
  EditProjectFile(path, [](PhraseTable& t) { return ApplyEditedText(t, 0, "quick"); });
  EXPECT_TRUE(notices.empty());
  std::thread editor;
  {
    const TProjectEditLock held(path);
    editor = std::thread([&] { EditProjectFile(path, [](PhraseTable& t) { return ApplyEditedText(t, 1, "slow"); }); });
    std::unique_lock<std::mutex> lock(m);
    EXPECT_TRUE(announced.wait_for(lock, std::chrono::minutes(1), [&] { return !notices.empty(); }));
  }
  editor.join();
  SetLockWaitNotice(nullptr);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], ProjectEditLockPath(path));
  PhraseTable end;
  OpenProject(end, path);
  EXPECT_EQ(end.EditedText(end.Phrases[1]), "slow") << "the waiting edit went through once the lock was free";
}

}  // namespace
}  // namespace velmora
