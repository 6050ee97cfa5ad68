// Concurrent work on one stored project: edits queue on the project's edit
// lock and all of them survive; a window's lock tells other windows that it
// shows the project without ever holding up an edit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
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

}  // namespace
}  // namespace velmora
