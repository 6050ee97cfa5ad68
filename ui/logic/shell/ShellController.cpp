#include "ui/logic/shell/ShellController.h"

#include "ui/logic/startup/CommandLine.h"
#include "ui/logic/state/ResetProject.h"
#include "ui/logic/state/WindowTitle.h"

namespace velmora::ui {

ShellController::ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : window_(platform),
      project_(table, files),
      view_(table),
      dialogs_(platform, files, project_),
      undo_(window_, project_, view_),
      projectFile_(window_, project_, view_, dialogs_.Files),
      creation_(window_, project_, view_, dialogs_.Files, dialogs_.NewProject, projectFile_),
      checks_(window_, project_, view_, dialogs_.Files),
      output_(window_, project_, dialogs_.Files, dialogs_.LoaderUnits, dialogs_.Source, checks_),
      exchange_(window_, project_, view_, dialogs_.Files, undo_),
      search_(window_, view_),
      gridEvents_(window_, project_, view_, dialogs_.Editor, undo_),
      viewChoices_(window_, view_, dialogs_.Source) {}

void ShellController::FormCreate() {
  // Nothing is open yet: the caption names no project, the grid is empty.
  const unsigned what = project_.SetTitle(kApplicationTitle) | project_.ClearFlags();
  view_.Grid().ClearRows();
  view_.Grid().ResetGrid();
  window_.Notify(what | kChangedAll);
}

void ShellController::FormShow(const std::vector<std::string>& args) {
  viewChoices_.ApplyLanguage(UiLanguage::Russian);
  if (const auto path = CommandLineProject(args)) projectFile_.OpenChosenProject(*path);
}

void ShellController::FormClose() { window_.Notify(ResetProject(project_, view_)); }

}  // namespace velmora::ui
