// The grid's events: selection and scrolling, presses on the HIDE and ON
// boxes (and their keys), and the edit action that opens the translation
// editor for the selected row and stores what it confirms.
#pragma once

#include "ui/logic/MainWindow.h"
#include "ui/logic/commands/UndoCommands.h"
#include "ui/logic/dialogs/EditForm.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

class GridCommands {
 public:
  // A toggle and a confirmed edit are steps of undo.
  GridCommands(MainWindow& window, ProjectState& project, Presentation& view, EditForm& editor, UndoCommands& undo)
      : window_(window), project_(project), view_(view), editor_(editor), undo_(undo) {}

  // A press of the primary button on a cell: HIDE and ON boxes toggle, the
  // edited text (and ON without one) asks for the edit action.
  void Press(int col, int gridRow);
  // The edit action on the selected row: the translation editor opens with
  // its texts, and what OK confirms is stored.
  void EditSelectedRow();

  // The grid's own events.
  void GridSelectCell(int gridRow);
  void GridTopRowChanged(int topRow) { view_.Grid().SetTopRow(topRow); }
  void GridMouseDown(int col, int gridRow) { Press(col, gridRow); }
  // A double-click on a row; Enter in the grid and a click on a text box
  // ask for the same edit action.
  void StringGridDblClick() { EditSelectedRow(); }
  // Space and Ctrl+H on the selected row: as a press on its ON or HIDE box.
  void ToggleOnCommand() { Press(kColOn, view_.Grid().SelectedRow()); }
  void ToggleHideCommand() { Press(kColHide, view_.Grid().SelectedRow()); }

 private:
  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
  EditForm& editor_;
  UndoCommands& undo_;
};

}  // namespace velmora::ui
