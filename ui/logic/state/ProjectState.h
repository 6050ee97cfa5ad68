// The state of the open project: the phrase table, the flags Modified and
// HasProjectFile with the save commands they enable, the project file that
// holds it (the window's hold on that file and its stamp as last loaded or
// saved), the file it was made from, the window caption that names it, and
// the steps Undo and Redo take back. Each rule returns the kChanged* bits
// (MainWindow.h) of what it changed; the command that calls it tells the
// window.
#pragma once

#include <string>

#include "analysis/PhraseTable.h"
#include "ui/logic/state/ProjectFiles.h"
#include "ui/logic/state/ProjectSync.h"
#include "ui/logic/state/UndoStack.h"

namespace velmora::ui {

// The commands whose enabled state changes; every other command is always
// enabled.
struct CommandStates {
  bool SaveProject = false;    // menu item and tool button together
  bool SaveProjectAs = false;
  bool SaveFile = false;       // Save LOADING.KWI As
  bool SaveBinFile = false;    // Save .BIN file As
  bool Undo = false;           // Edit menu: Undo
  bool Redo = false;           // Edit menu: Redo

  bool operator==(const CommandStates&) const = default;
};

class ProjectState {
 public:
  ProjectState(PhraseTable& table, ProjectFiles& files) : table_(table), files_(files) {}
  ProjectState(const ProjectState&) = delete;
  ProjectState& operator=(const ProjectState&) = delete;

  PhraseTable& Table() { return table_; }
  const PhraseTable& Table() const { return table_; }
  // How project files are read and written, with their locks.
  ProjectFiles& Files() { return files_; }
  // True while a project is open (it may have no phrases).
  bool IsOpen() const { return !table_.Phrases.empty() || !table_.UnitImage.empty(); }
  bool Modified() const { return modified_; }
  bool HasProjectFile() const { return hasProjectFile_; }
  const CommandStates& Commands() const { return commands_; }
  const std::string& WindowTitle() const { return title_; }
  // The project file the window shows (or is opening).
  const std::string& Path() const { return path_; }
  void SetPath(std::string path) { path_ = std::move(path); }
  // The LOADING.KWI or .BIN the open project was made from (empty for a
  // project opened from its file).
  const std::string& CreationPath() const { return creationPath_; }
  void SetCreationPath(std::string path) { creationPath_ = std::move(path); }
  // Preset name of the .BIN save dialog.
  const std::string& SaveBinDialogName() const { return saveBinDialogName_; }
  // The steps that Undo and Redo take back or bring again.
  UndoStack& History() { return undo_; }
  const UndoStack& History() const { return undo_; }
  // The project file as the window last loaded or saved it.
  ProjectSync& Sync() { return sync_; }

  // Sets Modified; with a project file it enables Save Project.
  [[nodiscard]] unsigned MarkModified();
  // Sets or clears Modified (an undo back to the saved state clears it);
  // Save Project follows, given a project file.
  void SetModified(bool modified);
  // Clears Modified and HasProjectFile, forgets the project file and the
  // undo steps, disables the save commands; the phrase table stays.
  [[nodiscard]] unsigned ClearFlags();
  // Empties the phrase table as well; the caption names no project.
  [[nodiscard]] unsigned Reset();
  // A project was opened or made from the file at path: the caption names
  // it, and the save commands other than Save Project are enabled.
  // binName is the preset name of the .BIN save dialog.
  [[nodiscard]] unsigned Show(const std::string& path, std::string binName);
  // The project is now held by the project file at path (opened or saved):
  // this window's lock moves there.
  void HoldFile(const std::string& path);
  // The project was written to path: unmodified, Save Project disabled,
  // caption on that file.
  [[nodiscard]] unsigned Saved(const std::string& path);
  [[nodiscard]] unsigned SetTitle(std::string title);
  // An edited text changed in the translation editor.
  void EnableSaveProjectAs() { commands_.SaveProjectAs = true; }
  void SetUndoCommands(bool canUndo, bool canRedo);
  // Raises EFCreateError when output names the project's source loader or,
  // with projectFileToo, the project file this window shows.
  void RefuseOutputOverProject(const std::string& output, bool projectFileToo) const;

 private:
  PhraseTable& table_;
  ProjectFiles& files_;
  bool modified_ = false;
  bool hasProjectFile_ = false;
  CommandStates commands_;
  std::string title_;
  std::string path_;
  std::string creationPath_;
  std::string saveBinDialogName_;
  UndoStack undo_;
  ProjectSync sync_;
};

}  // namespace velmora::ui
