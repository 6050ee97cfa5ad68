// The main window's logic, apart from any window system: the window's
// state (ui/logic/WindowState.h) with its life cycle, and every command the
// window offers. Each group of commands is a room of its own; the shell
// composes them and is the one face the window (ui/qt) and the tests talk
// to:
//   ProjectFileCommands  Open Project, Save Project (As), unsaved work
//   CreationCommands     Open LOADING.KWI, Open .BIN file
//   OutputCommands       Save .BIN file As, Save LOADING.KWI As
//   CheckCommands        the Problems list, the character set, the question before a build
//   ExchangeCommands     Copy, Export, Import, Take Translations
//   SearchCommands       the two find panels, F3
//   UndoCommands         undo recording, Undo, Redo
//   GridCommands         the grid's events and the edit action
// The command line is read by ui/logic/CommandLine.h.
#pragma once

#include <string>
#include <vector>

#include "ui/logic/CheckCommands.h"
#include "ui/logic/CreationCommands.h"
#include "ui/logic/ExchangeCommands.h"
#include "ui/logic/GridCommands.h"
#include "ui/logic/OutputCommands.h"
#include "ui/logic/ProjectFileCommands.h"
#include "ui/logic/SearchCommands.h"
#include "ui/logic/UndoCommands.h"
#include "ui/logic/WindowState.h"

namespace velmora::ui {

class ShellController : public WindowState {
 public:
  ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files = CoreProjectFiles());

  // --- life cycle ---
  // Window creation: caption, empty rows, no project file, empty grid.
  void FormCreate();
  // First show: Russian captions, then the project the command line names
  // (program arguments without the program's name).
  void FormShow(const std::vector<std::string>& args);
  // Asked before the window closes; true lets it close (ConfirmUnsavedWork).
  bool FormCloseQuery() { return projectFiles_.ConfirmUnsavedWork(); }
  // The window closes: the phrase table is emptied.
  void FormClose() { ResetProject(); }

  // --- project file ---
  void OpenProjectCommand() { projectFiles_.OpenProjectCommand(); }
  bool OpenProjectFile(const std::string& path) { return projectFiles_.OpenProjectFile(path); }
  bool SaveProjectCommand() { return projectFiles_.SaveProjectCommand(); }
  bool SaveProjectAsCommand() { return projectFiles_.SaveProjectAsCommand(); }
  // The window became active again (another program may have changed its
  // project file).
  void WindowActivated() { projectFiles_.WindowActivated(); }
  bool ConfirmUnsavedWork(NextStep next = NextStep::Quit) { return projectFiles_.ConfirmUnsavedWork(next); }
  const std::string& SaveProjectDialogName() const { return projectFiles_.SaveProjectDialogName(); }

  // --- project creation ---
  void OpenFileCommand() { creation_.OpenFileCommand(); }
  void OpenBinFileCommand() { creation_.OpenBinFileCommand(); }
  void OpenLoaderFile(const std::string& path) { creation_.OpenLoaderFile(path); }
  void OpenBinFile(const std::string& path) { creation_.OpenBinFile(path); }
  // The window calls it after FormShow, once it is on the screen behind the
  // dialog.
  void OpenCommandLineSource(const std::vector<std::string>& args) { creation_.OpenCommandLineSource(args); }

  // --- output ---
  void SaveFileCommand() { output_.SaveFileCommand(); }
  void SaveBinFileCommand() { output_.SaveBinFileCommand(); }
  const std::string& SaveFileDialogName() const { return output_.SaveFileDialogName(); }

  // --- checks ---
  void CheckCommand() { checks_.CheckCommand(); }
  const std::vector<Problem>& Problems() const { return checks_.Problems(); }
  std::vector<std::string> ProblemLines() const { return checks_.ProblemLines(); }
  bool SelectProblem(size_t row) { return checks_.SelectProblem(row); }
  void LoadCharsetCommand() { checks_.LoadCharsetCommand(); }
  void ClearCharset() { checks_.ClearCharset(); }

  // --- exchange ---
  void CopyCommand() { exchange_.CopyCommand(); }
  void ExportCommand() { exchange_.ExportCommand(); }
  void ImportCommand() { exchange_.ImportCommand(); }
  void TakeTranslationsCommand() { exchange_.TakeTranslationsCommand(); }

  // --- search ---
  void FindDownBtnClick(FindPanel panel, const std::string& typed) { search_.FindDownBtnClick(panel, typed); }
  void FindUpBtnClick(FindPanel panel, const std::string& typed) { search_.FindUpBtnClick(panel, typed); }
  void FindEditKeyPress(FindPanel panel, const std::string& typed, char key) {
    search_.FindEditKeyPress(panel, typed, key);
  }
  void FindAgain(bool down) { search_.FindAgain(down); }

  // --- undo ---
  bool RunAsUndoStep(const std::string& label, const std::function<void()>& fn) {
    return undo_.RunAsUndoStep(label, fn);
  }
  void UndoCommand() { undo_.UndoCommand(); }
  void RedoCommand() { undo_.RedoCommand(); }

  // --- grid events ---
  void GridSelectCell(int gridRow) { gridEvents_.GridSelectCell(gridRow); }
  void GridTopRowChanged(int topRow) { gridEvents_.GridTopRowChanged(topRow); }
  void GridMouseDown(int col, int gridRow) { gridEvents_.GridMouseDown(col, gridRow); }
  void GridDoubleClick() { gridEvents_.StringGridDblClick(); }
  void GridEnterKey() { gridEvents_.StringGridDblClick(); }
  void MemoClick() { gridEvents_.StringGridDblClick(); }
  void ToggleOnCommand() { gridEvents_.ToggleOnCommand(); }
  void ToggleHideCommand() { gridEvents_.ToggleHideCommand(); }

 private:
  UndoCommands undo_;
  ProjectFileCommands projectFiles_;
  CreationCommands creation_;
  CheckCommands checks_;
  OutputCommands output_;
  ExchangeCommands exchange_;
  SearchCommands search_;
  GridCommands gridEvents_;
};

}  // namespace velmora::ui
