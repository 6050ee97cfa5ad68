#include "ui/logic/grid/PhraseGrid.h"

#include <algorithm>

#include "project/file/PhraseEdits.h"
#include "project/text/HexText.h"
#include "ui/logic/words/CaptionTables.h"

namespace velmora::ui {

std::string AddressText(uint32_t address) { return std::string(" ").append(FormatHex0x(address)); }

int32_t PhraseGrid::PhraseOfRow(int gridRow) const {
  if (gridRow < 1 || gridRow > static_cast<int>(visibleRows_.size())) return -1;
  const int32_t p = visibleRows_[static_cast<size_t>(gridRow - 1)];
  // While an analysis replaces the table (its questions let the window
  // repaint), rows of the table that is gone show nothing.
  if (p < 0 || static_cast<size_t>(p) >= table_.Phrases.size()) return -1;
  return p;
}

void PhraseGrid::ResetGrid() {
  memo1_.clear();
  memo2_.clear();
  memoColour_ = MemoBackground::ButtonFace;
  visibleRows_.clear();
  selectedRow_ = 0;
  topRow_ = 1;
  for (int c = 0; c < kGridColumnCount; ++c) headers_[static_cast<size_t>(c)] = std::string(kFixedGridHeaders[static_cast<size_t>(c)]);
  UpdateColumnHeaders();
}

void PhraseGrid::UpdateColumnHeaders() {
  size_t edited = 0;
  for (int32_t i : visibleRows_)
    if (static_cast<size_t>(i) < table_.Phrases.size() && table_.Phrases[static_cast<size_t>(i)].EditIndex >= 0) ++edited;
  headers_[kColOrigin] = OriginHeader + " (" + std::to_string(visibleRows_.size()) + ")";
  headers_[kColEdited] = EditedHeader + " (" + std::to_string(edited) + ")";
}

void PhraseGrid::RefillGrid() {
  // 1. Remember the selected phrase and its distance from the top row.
  int32_t previous = -1;
  if (!visibleRows_.empty() && selectedRow_ >= 2) previous = PhraseOfRow(selectedRow_);
  const int offset = selectedRow_ - topRow_;

  // 2-4. Rebuild the shown rows by the filter (link records never show).
  ResetGrid();
  visibleRows_ = FilterRows(table_, filter_);

  // 5. New rows, headers, dark text boxes, selection on the first data row.
  UpdateColumnHeaders();
  memoColour_ = MemoBackground::Black;
  selectedRow_ = visibleRows_.empty() ? 0 : 1;
  topRow_ = 1;

  // 6. Bring the remembered phrase back, or the nearest shown one below it.
  if (previous < 0) return;
  int a = -1;
  auto it = std::upper_bound(visibleRows_.begin(), visibleRows_.end(), previous);
  if (it != visibleRows_.begin()) a = static_cast<int>(std::prev(it) - visibleRows_.begin());
  if (a - offset > 0) topRow_ = a - offset + 1;
  if (a >= 0) selectedRow_ = a + 1;
  SelectCell(a + 1);
}

void PhraseGrid::SelectCell(int gridRow) {
  const int32_t p = PhraseOfRow(gridRow);
  if (p < 0) {
    memo1_.clear();
    memo2_.clear();
    return;
  }
  selectedRow_ = gridRow;
  const TPhrase& phrase = table_.Phrases[static_cast<size_t>(p)];
  memo1_ = std::string(table_.OriginText(phrase));
  memo2_ = phrase.EditIndex >= 0 ? std::string(table_.EditedText(phrase)) : std::string();
}

bool PhraseGrid::SelectPhrase(int32_t phrase) {
  const auto it = std::lower_bound(visibleRows_.begin(), visibleRows_.end(), phrase);
  if (it == visibleRows_.end() || *it != phrase) return false;
  const int row = static_cast<int>(it - visibleRows_.begin()) + 1;
  if (row < topRow_) topRow_ = row;
  SelectCell(row);
  return true;
}

void PhraseGrid::ClearRows() {
  visibleRows_.clear();
  selectedRow_ = 0;
  topRow_ = 1;
  memo1_.clear();
  memo2_.clear();
}

CellInfo PhraseGrid::Cell(int col, int gridRow) const {
  CellInfo cell;
  const int32_t p = PhraseOfRow(gridRow);
  if (p < 0) return cell;
  const TPhrase& phrase = table_.Phrases[static_cast<size_t>(p)];
  const bool hidden = (phrase.Flags & pfHide) != 0;
  switch (col) {
    case kColIndex:
      cell.HasText = true;
      cell.Plain = std::to_string(p);
      break;
    case kColHide:
      cell.IsCheckBox = true;
      cell.Checked = hidden;
      break;
    case kColOrigin:
      cell.Silver = hidden;
      cell.HasText = true;
      cell.PhraseText = true;
      cell.Bytes = table_.OriginText(phrase);
      break;
    case kColOn:
      cell.IsCheckBox = true;
      cell.Checked = (phrase.Flags & pfOn) != 0;
      break;
    case kColEdited:
      cell.Silver = (phrase.Flags & pfOn) == 0;
      cell.HasText = phrase.EditIndex >= 0;
      cell.PhraseText = true;
      if (cell.HasText) cell.Bytes = table_.EditedText(phrase);
      break;
    case kColLinkAddress:
      cell.Silver = hidden;
      cell.HasText = true;
      cell.Plain = AddressText(phrase.LinkAddress);
      break;
    case kColStringAddress:
      cell.Silver = hidden;
      cell.HasText = true;
      cell.Plain = AddressText(phrase.StringAddress);
      break;
    default:
      break;
  }
  return cell;
}

PressResult PhraseGrid::MouseDown(int col, int gridRow) {
  const int32_t p = PhraseOfRow(gridRow);
  if (p < 0) return PressResult::Nothing;
  // The grid has made the pressed row the selection before the press is handled.
  SelectCell(gridRow);
  const auto index = static_cast<size_t>(p);
  const bool hasText = table_.Phrases[index].EditIndex >= 0;
  PressResult result = PressResult::Nothing;
  if (col == kColHide) {
    // A phrase with an edited text cannot be hidden.
    if (ToggleHide(table_, index)) result = PressResult::ToggledHide;
  } else if (col == kColOn) {
    // ON without an edited text opens the editor instead; a damaged record
    // with ON but no text lets the press clear it.
    if (ToggleOn(table_, index)) result = PressResult::ToggledOn;
    else if (!hasText) result = PressResult::EditAction;
  } else if (col == kColEdited) {
    result = PressResult::EditAction;
  }
  return result;
}

bool PhraseGrid::MatchText(std::string_view search, int gridRow, bool edited) {
  const int32_t p = PhraseOfRow(gridRow);
  if (p < 0 || search.empty()) return false;
  const TPhrase& phrase = table_.Phrases[static_cast<size_t>(p)];
  if (edited && phrase.EditIndex < 0) return false;
  const std::string_view text = edited ? table_.EditedText(phrase) : table_.OriginText(phrase);
  if (!ContainsFolded(text, search, shiftJis_)) return false;
  topRow_ = gridRow;
  SelectCell(gridRow);
  return true;
}

bool PhraseGrid::MatchOriginText(std::string_view search, int gridRow) { return MatchText(search, gridRow, false); }
bool PhraseGrid::MatchEditedText(std::string_view search, int gridRow) { return MatchText(search, gridRow, true); }

}  // namespace velmora::ui
