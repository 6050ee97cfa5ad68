// The project-file operations the shell's commands call. The program uses
// the core's SaveProject/OpenProject with the project locks of
// project/file/ProjectLock.h; tests may put their own in.
#pragma once

#include <functional>
#include <string>

#include "analysis/PhraseTable.h"

namespace velmora::ui {

// The question asked before opening a project that another Velmora window
// shows.
std::string AlreadyOpenQuestion(const std::string& path);

class ProjectFiles {
 public:
  virtual ~ProjectFiles() = default;
  // Both raise an exception whose message is shown to the user. Save holds
  // the project's edit lock while it writes, so it queues behind a
  // command-line edit of the same project.
  virtual void Save(PhraseTable& table, const std::string& path) = 0;
  virtual void Open(PhraseTable& table, const std::string& path) = 0;
  // The window's save: under the project's edit lock, from reading the disk
  // copy to the rename, so that no command slips in between. reconcile runs
  // first (it may read the disk copy and merge it into table); the table is
  // written only when it returns true. Returns whether it was written.
  virtual bool SaveReconciled(PhraseTable& table, const std::string& path, const std::function<bool()>& reconcile) {
    if (!reconcile()) return false;
    Save(table, path);
    return true;
  }

  // True when another Velmora window shows the project stored at path (this
  // window's own hold on it does not count).
  virtual bool OpenInOtherWindow(const std::string& /*path*/) { return false; }
  // The window now shows the project stored at path, or none (empty path):
  // its window lock moves there.
  virtual void ShowingProject(const std::string& /*path*/) {}
};

// SaveProject and OpenProject of project/file/ProjectFile.h, with the locks.
ProjectFiles& CoreProjectFiles();

}  // namespace velmora::ui
