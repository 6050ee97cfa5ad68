#include "ui/logic/ShellController.h"

#include "ui/logic/CommandLine.h"
#include "ui/logic/WindowTitle.h"

namespace velmora::ui {

ShellController::ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : WindowState(table, platform, files),
      undo_(*this),
      projectFiles_(*this),
      creation_(*this, projectFiles_),
      checks_(*this),
      output_(*this, checks_),
      exchange_(*this, undo_),
      search_(*this),
      gridEvents_(*this, undo_) {}

void ShellController::FormCreate() {
  title_ = kApplicationTitle;
  grid_.ClearRows();
  hasProjectFile_ = false;
  grid_.ResetGrid();
  modified_ = false;
  Notify(kChangedAll);
}

void ShellController::FormShow(const std::vector<std::string>& args) {
  RusMenuItemClick();
  if (const auto path = CommandLineProject(args)) projectFiles_.OpenChosenProject(*path);
}

}  // namespace velmora::ui
