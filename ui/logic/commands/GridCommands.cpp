#include "ui/logic/commands/GridCommands.h"

#include "analysis/UnitText.h"
#include "project/check/CheckRun.h"
#include "project/file/PhraseEdits.h"

namespace velmora::ui {

void GridCommands::GridSelectCell(int gridRow) {
  view_.Grid().SelectCell(gridRow);
  window_.Notify(kChangedMemos);
}

void GridCommands::Press(int col, int gridRow) {
  PhraseGrid& grid = view_.Grid();
  const PhraseSnapshot before(project_.Table(), {grid.PhraseOfRow(gridRow)});
  switch (const PressResult result = grid.MouseDown(col, gridRow)) {
    case PressResult::ToggledHide:
    case PressResult::ToggledOn:
      window_.RowChanged(gridRow);
      window_.Notify(kChangedMemos);
      undo_.RecordStep(before, result == PressResult::ToggledHide ? kUndoHideLabel : kUndoOnLabel);
      window_.Notify(project_.MarkModified());
      break;
    case PressResult::EditAction:
      window_.Notify(kChangedMemos);
      EditSelectedRow();
      break;
    case PressResult::Nothing:
      window_.Notify(kChangedMemos);
      break;
  }
}

void GridCommands::EditSelectedRow() {
  PhraseGrid& grid = view_.Grid();
  PhraseTable& table = project_.Table();
  const int row = grid.SelectedRow();
  const int32_t p = grid.PhraseOfRow(row);
  if (row < 1 || p < 0) return;
  const auto index = static_cast<size_t>(p);
  window_.EditActionStarts();

  // The box starts with the phrase's edited text; "before" is that text as
  // the box returns it, with CR LF line breaks.
  const TPhrase& phrase = table.Phrases[index];
  const std::string_view edited = phrase.EditIndex >= 0 ? table.EditedText(phrase) : std::string_view();
  const std::string before = WithCrLf(edited);
  const CheckOptions options = view_.CheckOptionsNow();
  editor_.Checker = [&table, index, options](std::string_view bytes) {
    return CheckTypedText(table, index, bytes, options);
  };
  editor_.Fill(edited, table.OriginText(phrase), view_.DisplayCodePage(), RoomInPlace(phrase.Length));
  if (!window_.Ui().ShowEditForm(editor_, row, grid.TopRow())) return;

  const std::string after = editor_.Result();
  const PhraseSnapshot snapshot(table, {p});
  bool tableChanged = false;
  // A text the project cannot keep (too long, or no position left) is
  // refused with a message; the phrase keeps its text.
  if (!window_.Guard([&] { tableChanged = ApplyEditedText(table, index, after); })) return;
  undo_.RecordStep(snapshot, kUndoEditLabel);
  unsigned what = kChangedMemos;
  // A text changed and changed back counts as unchanged; a flag that OK
  // moved (ON set, HIDE cleared) is a change all the same, so that closing
  // asks about it.
  if (after != before || tableChanged) {
    grid.UpdateColumnHeaders();
    window_.Notify(project_.MarkModified());
    project_.EnableSaveProjectAs();
    what |= kChangedHeaders | kChangedCommands;
  }
  grid.SetMemo2(after);
  // The row is redrawn, not refilled: it stays in view whatever the filter.
  window_.RowChanged(row);
  window_.Notify(what);
}

}  // namespace velmora::ui
