#include "ui/logic/state/ProjectState.h"

#include "container/io/OutputGuard.h"
#include "ui/logic/MainWindow.h"
#include "ui/logic/state/WindowTitle.h"

namespace velmora::ui {

unsigned ProjectState::MarkModified() {
  modified_ = true;
  if (hasProjectFile_) commands_.SaveProject = true;
  return kChangedCommands;
}

void ProjectState::SetModified(bool modified) {
  modified_ = modified;
  commands_.SaveProject = modified_ && hasProjectFile_;
}

unsigned ProjectState::ClearFlags() {
  modified_ = false;
  hasProjectFile_ = false;
  files_.ShowingProject("");
  sync_.Forget();
  commands_ = CommandStates{};
  // The steps belonged to the table that is gone.
  undo_.Clear();
  return kChangedCommands;
}

unsigned ProjectState::Reset() {
  table_.Reset();
  const unsigned what = ClearFlags();
  // No project is open: the window says so.
  title_ = kApplicationTitle;
  creationPath_.clear();
  return what | kChangedTitle;
}

unsigned ProjectState::Show(const std::string& path, std::string binName) {
  title_ = ProjectCaption(path, table_.UnitName, table_.UnitTag);
  saveBinDialogName_ = std::move(binName);
  commands_.SaveProjectAs = true;
  commands_.SaveFile = true;
  commands_.SaveBinFile = true;
  return kChangedProjectShown;
}

void ProjectState::HoldFile(const std::string& path) {
  hasProjectFile_ = true;
  files_.ShowingProject(path);
}

unsigned ProjectState::Saved(const std::string& path) {
  title_ = ProjectCaption(path, table_.UnitName, table_.UnitTag);
  commands_.SaveProject = false;
  modified_ = false;
  undo_.MarkClean();
  HoldFile(path);
  return kChangedCommands | kChangedTitle;
}

unsigned ProjectState::SetTitle(std::string title) {
  title_ = std::move(title);
  return kChangedTitle;
}

void ProjectState::SetUndoCommands(bool canUndo, bool canRedo) {
  commands_.Undo = canUndo;
  commands_.Redo = canRedo;
}

void ProjectState::RefuseOutputOverProject(const std::string& output, bool projectFileToo) const {
  if (projectFileToo && hasProjectFile_) RefuseOutputOverInput(output, path_, "the open project");
  RefuseOutputOverInput(output, table_.SourcePath, "the project's source loader");
}

}  // namespace velmora::ui
