#include <memory>

#include "container/io/OutputGuard.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"
#include "ui/logic/state/ProjectFiles.h"

namespace velmora::ui {

std::string AlreadyOpenQuestion(const std::string& path) {
  return "The project \"" + path + "\" is already open in another Velmora window.\nOpen it anyway?";
}

namespace {

class CoreFiles final : public ProjectFiles {
 public:
  void Save(PhraseTable& table, const std::string& path) override { SaveProjectLocked(table, path); }
  void Open(PhraseTable& table, const std::string& path) override { OpenProject(table, path); }
  bool SaveReconciled(PhraseTable& table, const std::string& path, const std::function<bool()>& reconcile) override {
    const TProjectEditLock lock(path);
    if (!reconcile()) return false;
    SaveProject(table, path);
    return true;
  }

  bool OpenInOtherWindow(const std::string& path) override {
    if (!held_ || !NamesSameFile(heldPath_, path)) return TProjectWindowLock::IsHeld(path);
    // Reopening the project this window shows: only others count.
    held_.reset();
    const bool elsewhere = TProjectWindowLock::IsHeld(path);
    held_ = std::make_unique<TProjectWindowLock>(heldPath_);
    return elsewhere;
  }

  void ShowingProject(const std::string& path) override {
    if (held_ && !path.empty() && NamesSameFile(heldPath_, path)) return;
    held_.reset();
    heldPath_ = path;
    if (!path.empty()) held_ = std::make_unique<TProjectWindowLock>(path);
  }

 private:
  std::unique_ptr<TProjectWindowLock> held_;
  std::string heldPath_;
};

}  // namespace

ProjectFiles& CoreProjectFiles() {
  static CoreFiles files;
  return files;
}

}  // namespace velmora::ui
