// The project-file commands: Open Project, Save Project, Save Project As,
// and the question about unsaved work that comes before the open project
// is closed or replaced.
#pragma once

#include <string>

#include "ui/logic/MainWindow.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"
#include "ui/logic/words/UnsavedWorkQuestion.h"

namespace velmora::ui {

class ProjectFileCommands {
 public:
  ProjectFileCommands(MainWindow& window, ProjectState& project, Presentation& view, FileDialogs& dialogs)
      : window_(window), project_(project), view_(view), dialogs_(dialogs) {}

  void OpenProjectCommand();
  // Opens the project file at path (chosen in the dialog or named on the
  // command line); an error is shown and leaves no project open.
  void OpenChosenProject(const std::string& path);
  // Opens a project file as the Open Project command does after its dialog.
  // When another Velmora window shows it, the user is asked first; returns
  // false (and leaves everything as it was) when the user declines.
  bool OpenProjectFile(const std::string& path);
  // Each returns true when the project was saved.
  bool SaveProjectCommand();
  bool SaveProjectAsCommand();
  // The window became active again: what others changed in its project
  // file meanwhile is merged in (the merge dialog for conflicts).
  void WindowActivated();

  // Asked before the open project is closed or replaced (closing the
  // window, Open Project, Open LOADING.KWI, Open .BIN file): true when the
  // command may go on. Without unsaved work it asks nothing. Otherwise the
  // question of UnsavedWorkQuestion, naming what comes next, with Yes, No
  // and Cancel: Yes saves (Save Project or Save Project As) and goes on
  // only when the save completed; No goes on without saving; Cancel stops
  // and keeps everything.
  bool ConfirmUnsavedWork(NextStep next = NextStep::Quit);

  // Preset name of the project save dialog: "Project1.vmprj", then the
  // project file last opened.
  const std::string& SaveProjectDialogName() const { return saveProjectDialogName_; }

 private:
  bool SaveProjectTo(const std::string& path);

  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
  FileDialogs& dialogs_;
  std::string saveProjectDialogName_ = kDefaultProjectName;
  bool activating_ = false;  // the merge dialog activates the window again
};

}  // namespace velmora::ui
