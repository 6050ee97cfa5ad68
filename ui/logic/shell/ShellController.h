// The main window's logic, apart from any window system. The shell owns
// the window's state, split by job, and every command the window offers;
// each command is given only the parts of the state it uses:
//   MainWindow (ui/logic)  the platform, the change notices, error boxes, questions
//   ProjectState (state)   the phrase table, the flags, the project file, undo
//   Presentation (state)   language and captions, code page, the grid's view
//   DialogModels (dialogs) the dialogs' logic and the file dialogs
// The commands (commands/), each a room of its own:
//   ProjectFileCommands  Open Project, Save Project (As), unsaved work
//   CreationCommands     Open LOADING.KWI, Open .BIN file
//   OutputCommands       Save .BIN file As, Save LOADING.KWI As
//   CheckCommands        the Problems list, the character set, the question before a build
//   ExchangeCommands     Copy, Export, Import, Take Translations
//   SearchCommands       the two find panels, F3
//   UndoCommands         undo recording, Undo, Redo
//   GridCommands         the grid's events and the edit action
//   ViewCommands         the filter buttons, the Language and Code Page menus
// The window (ui/qt) and the tests reach a command through the shell and
// call it directly. The shell itself handles the window's life cycle.
#pragma once

#include <string>
#include <vector>

#include "ui/logic/MainWindow.h"
#include "ui/logic/commands/CheckCommands.h"
#include "ui/logic/commands/CreationCommands.h"
#include "ui/logic/commands/ExchangeCommands.h"
#include "ui/logic/commands/GridCommands.h"
#include "ui/logic/commands/OutputCommands.h"
#include "ui/logic/commands/ProjectFileCommands.h"
#include "ui/logic/commands/SearchCommands.h"
#include "ui/logic/commands/UndoCommands.h"
#include "ui/logic/commands/ViewCommands.h"
#include "ui/logic/dialogs/DialogModels.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

class ShellController {
 public:
  ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files = CoreProjectFiles());
  ShellController(const ShellController&) = delete;
  ShellController& operator=(const ShellController&) = delete;

  // --- the state, by job
  MainWindow& Window() { return window_; }
  ProjectState& Project() { return project_; }
  const ProjectState& Project() const { return project_; }
  Presentation& View() { return view_; }
  const Presentation& View() const { return view_; }
  DialogModels& Dialogs() { return dialogs_; }

  // --- the commands
  ProjectFileCommands& ProjectFile() { return projectFile_; }
  CreationCommands& Creation() { return creation_; }
  OutputCommands& Output() { return output_; }
  CheckCommands& Checks() { return checks_; }
  const CheckCommands& Checks() const { return checks_; }
  ExchangeCommands& Exchange() { return exchange_; }
  SearchCommands& Search() { return search_; }
  UndoCommands& Undo() { return undo_; }
  GridCommands& GridEvents() { return gridEvents_; }
  ViewCommands& ViewChoices() { return viewChoices_; }

  // --- the window's life cycle
  // Window creation: caption, empty rows, no project file, empty grid.
  void FormCreate();
  // First show: Russian captions, then the project the command line names
  // (program arguments without the program's name). A loader or unit file
  // on the command line is opened later, by
  // Creation().OpenCommandLineSource, once the window is on the screen.
  void FormShow(const std::vector<std::string>& args);
  // Asked before the window closes; true lets it close (ConfirmUnsavedWork).
  bool FormCloseQuery() { return projectFile_.ConfirmUnsavedWork(); }
  // The window closes: the phrase table is emptied.
  void FormClose();

 private:
  MainWindow window_;
  ProjectState project_;
  Presentation view_;
  DialogModels dialogs_;

  UndoCommands undo_;
  ProjectFileCommands projectFile_;
  CreationCommands creation_;
  CheckCommands checks_;
  OutputCommands output_;
  ExchangeCommands exchange_;
  SearchCommands search_;
  GridCommands gridEvents_;
  ViewCommands viewChoices_;
};

}  // namespace velmora::ui
