// The window's checks of the translations: the Problems list and the phrase
// its double click selects, the unit's character set taken from a file and
// kept while the program runs, and the question the output commands ask
// before they build over errors. The checks themselves are the core's one
// list (project/check), which velmora-cli reads too.
#pragma once

#include <string>
#include <vector>

#include "project/check/CheckRun.h"
#include "ui/logic/MainWindow.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

// How many errors the question before a build lists.
constexpr size_t kErrorsInBuildQuestion = 10;
inline const std::string kCharsetFilter = "Text Files|*.txt";

class CheckCommands {
 public:
  CheckCommands(MainWindow& window, const ProjectState& project, Presentation& view, FileDialogs& dialogs)
      : window_(window), project_(project), view_(view), dialogs_(dialogs) {}

  // Runs the checks over the open project (switched-on translations) and
  // keeps their problems for the Problems list.
  void CheckCommand();
  const std::vector<Problem>& Problems() const { return problems_; }
  // A row of the Problems list: "phrase 12: error: printf: ...".
  std::vector<std::string> ProblemLines() const;
  // The list's double click: selects the problem's phrase in the grid,
  // switching to "No filter" when the active filter hides it. A problem of
  // the whole unit selects nothing. Returns true when a row was selected.
  bool SelectProblem(size_t row);

  // The unit's character set from a UTF-8 text file that lists it; kept
  // until the program ends or it is cleared. Errors of the file are shown.
  void LoadCharsetCommand();
  void ClearCharset();

  // Before a build: true when the checks find no error, or when the user
  // answers Yes to the question that lists them.
  bool ConfirmBuild();

 private:
  MainWindow& window_;
  const ProjectState& project_;
  Presentation& view_;
  FileDialogs& dialogs_;
  std::vector<Problem> problems_;
};

}  // namespace velmora::ui
