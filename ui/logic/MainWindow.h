// The main window as its commands see it: the window system's services
// (Platform.h), the notices of what a command changed, the error box
// around a step, and the Yes/No question. The commands (commands/) change
// the state (state/) and tell the window here what to redraw; the window
// (ui/qt) listens to the notices.
#pragma once

#include <functional>
#include <string>

#include "container/io/AtomicFile.h"
#include "ui/logic/Platform.h"

namespace velmora::ui {

// What changed, for the window to bring itself up to date.
enum Change : unsigned {
  kChangedCaptions = 1u << 0,   // captions, tooltips, prompts
  kChangedCommands = 1u << 1,   // enabled state of the save commands
  kChangedTitle = 1u << 2,      // the window caption
  kChangedRows = 1u << 3,       // VisibleRows (the grid's rows)
  kChangedCells = 1u << 4,      // cell contents (all rows)
  kChangedSelection = 1u << 5,  // selected row or top row
  kChangedMemos = 1u << 6,      // the two text boxes (text or colour)
  kChangedHeaders = 1u << 7,    // the header row
  kChangedCodePage = 1u << 8,   // the display code page
  kChangedFilter = 1u << 9,     // which filter button is down
  kChangedProblems = 1u << 10,  // the Problems list
  kChangedAll = (1u << 11) - 1,
  // A project was just created or opened (the keyboard goes to the grid).
  kChangedProjectShown = 1u << 11,
};

class MainWindow {
 public:
  // While the window lives, a written file whose folder could not be
  // synced is a warning in its status line (container/io/AtomicFile.h).
  explicit MainWindow(Platform& platform);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Called with the kChanged* bits after a command changed something.
  std::function<void(unsigned)> OnChanged;
  // Called when a single grid row needs redrawing (a toggle).
  std::function<void(int gridRow)> OnRowChanged;
  // Called when the translation editor is about to open (after the edit
  // action found a row to edit).
  std::function<void()> OnEditAction;

  Platform& Ui() { return platform_; }

  void Notify(unsigned what) {
    if (OnChanged && what != 0) OnChanged(what);
  }
  void RowChanged(int gridRow) {
    if (OnRowChanged) OnRowChanged(gridRow);
  }
  void EditActionStarts() {
    if (OnEditAction) OnEditAction();
  }
  // Runs a step of a command; an exception is shown in an error box with its
  // message, and the state stays as far as the step got. True when the step
  // ran to its end.
  bool Guard(const std::function<void()>& step);
  // A Yes/No question; true for Yes.
  bool Ask(const std::string& question);

 private:
  Platform& platform_;
  FolderSyncNotice earlierNotice_;
};

}  // namespace velmora::ui
