#include "ui/logic/GridCommands.h"

#include "project/build/BinBuilder.h"
#include "project/check/CheckRun.h"

#include "project/file/PhraseEdits.h"

namespace velmora::ui {

void GridCommands::GridSelectCell(int gridRow) {
  state_.Grid().SelectCell(gridRow);
  state_.Notify(kChangedMemos);
}

void GridCommands::GridMouseDown(int col, int gridRow) {
  PhraseGrid& grid = state_.Grid();
  const PhraseSnapshot before(state_.Table(), {grid.PhraseOfRow(gridRow)});
  switch (const PressResult result = grid.MouseDown(col, gridRow)) {
    case PressResult::ToggledHide:
    case PressResult::ToggledOn:
      if (state_.OnRowChanged) state_.OnRowChanged(gridRow);
      state_.Notify(kChangedMemos);
      undo_.RecordStep(before, result == PressResult::ToggledHide ? kUndoHideLabel : kUndoOnLabel);
      state_.MarkModified();
      break;
    case PressResult::EditAction:
      state_.Notify(kChangedMemos);
      StringGridDblClick();
      break;
    case PressResult::Nothing:
      state_.Notify(kChangedMemos);
      break;
  }
}

void GridCommands::StringGridDblClick() {
  PhraseGrid& grid = state_.Grid();
  PhraseTable& table = state_.Table();
  const int row = grid.SelectedRow();
  const int32_t p = grid.PhraseOfRow(row);
  if (row < 1 || p < 0) return;
  const auto index = static_cast<size_t>(p);
  if (state_.OnEditAction) state_.OnEditAction();

  // The box starts with the phrase's edited text; "before" is that text as
  // the box returns it, with CR LF line breaks.
  const TPhrase& phrase = table.Phrases[index];
  const std::string_view edited = phrase.EditIndex >= 0 ? table.EditedText(phrase) : std::string_view();
  const std::string before = WithCrLf(edited);
  EditForm& editor = state_.Editor();
  const CheckOptions options = state_.CheckOptionsNow();
  editor.Checker = [&table, index, options](std::string_view bytes) {
    return CheckTypedText(table, index, bytes, options);
  };
  editor.Fill(edited, table.OriginText(phrase), state_.DisplayCodePage(), RoomInPlace(phrase.Length));
  if (!state_.Ui().ShowEditForm(editor, row, grid.TopRow())) return;

  const std::string after = editor.Result();
  const PhraseSnapshot snapshot(table, {p});
  bool tableChanged = false;
  // A text the project cannot keep (too long, or no position left) is
  // refused with a message; the phrase keeps its text.
  if (!state_.Guard([&] { tableChanged = ApplyEditedText(table, index, after); })) return;
  undo_.RecordStep(snapshot, kUndoEditLabel);
  unsigned what = kChangedMemos;
  // A text changed and changed back counts as unchanged; a flag that OK
  // moved (ON set, HIDE cleared) is a change all the same, so that closing
  // asks about it.
  if (after != before || tableChanged) {
    grid.UpdateColumnHeaders();
    state_.MarkModified();
    state_.EnableSaveProjectAs();
    what |= kChangedHeaders | kChangedCommands;
  }
  grid.SetMemo2(after);
  // The row is redrawn, not refilled: it stays in view whatever the filter.
  if (state_.OnRowChanged) state_.OnRowChanged(row);
  state_.Notify(what);
}

}  // namespace velmora::ui
