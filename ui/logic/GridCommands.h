// The grid's events: selection and scrolling, presses on the HIDE and ON
// boxes (and their keys), and the edit action that opens the translation
// editor for the selected row and stores what it confirms.
#pragma once

#include "ui/logic/UndoCommands.h"
#include "ui/logic/WindowState.h"

namespace velmora::ui {

class GridCommands {
 public:
  GridCommands(WindowState& state, UndoCommands& undo) : state_(state), undo_(undo) {}

  void GridSelectCell(int gridRow);
  void GridTopRowChanged(int topRow) { state_.Grid().SetTopRow(topRow); }
  void GridMouseDown(int col, int gridRow);
  // A double-click on a row, Enter in the grid, a click on a text box: the
  // edit action (StringGridDblClick).
  void StringGridDblClick();
  // Space and Ctrl+H on the selected row: as a press on its ON or HIDE box.
  void ToggleOnCommand() { GridMouseDown(kColOn, state_.Grid().SelectedRow()); }
  void ToggleHideCommand() { GridMouseDown(kColHide, state_.Grid().SelectedRow()); }

 private:
  WindowState& state_;
  UndoCommands& undo_;
};

}  // namespace velmora::ui
