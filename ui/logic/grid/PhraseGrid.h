// The phrase grid's state and rules, apart from any window system: the rows
// the active filter lets through (VisibleRows), the selection and the top
// row, the two text-column headers with their counts, the two text boxes
// below the grid, what each cell shows, and what a press on a cell does.
//
// Rows are counted as the grid counts them: row 0 is the header row, grid
// row r >= 1 shows the phrase at VisibleRows[r - 1].
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Filters.h"
#include "analysis/PhraseTable.h"
#include "ui/logic/grid/CaseFolding.h"

namespace velmora::ui {

// Grid columns.
enum GridColumn : int {
  kColIndex = 0,
  kColHide = 1,
  kColOrigin = 2,
  kColOn = 3,
  kColEdited = 4,
  kColLinkAddress = 5,
  kColStringAddress = 6,
};
constexpr int kGridColumnCount = 7;
// The columns' widths before the window lays them out from the font in use
// (GridLayout.h).
constexpr std::array<int, kGridColumnCount> kColumnWidths = {60, 30, 500, 30, 500, 74, 74};
constexpr int kHeaderRowHeight = 25;
constexpr int kDataRowHeight = 24;

// The two find panels in the header row: each ends 2 pixels left of the
// right edge of its column (panel 1 over the origin texts, panel 2 over the
// edited texts); GridLayout.h places them.
constexpr int kFindPanelWidth = 250;
constexpr int kFindPanelHeight = 24;

// Background of the two text boxes: button face until the grid is first
// filled, black from then on.
enum class MemoBackground { ButtonFace, Black };

// What one data cell shows.
struct CellInfo {
  bool IsCheckBox = false;
  bool Checked = false;
  // The grey (silver) background override of hidden phrases' text and
  // address cells and of edited texts that are switched off.
  bool Silver = false;
  // False for a cell that is only filled (the edited text of a phrase
  // without one).
  bool HasText = false;
  // True when Bytes is a phrase's 8-bit text, shown through the display
  // code page; false when Plain holds an ASCII number.
  bool PhraseText = false;
  std::string_view Bytes;
  std::string Plain;
};

// What a press on a data cell did.
enum class PressResult { Nothing, ToggledHide, ToggledOn, EditAction };

class PhraseGrid {
 public:
  explicit PhraseGrid(PhraseTable& table) : table_(table) {}

  // The phrase indices shown, in table order.
  const std::vector<int32_t>& VisibleRows() const { return visibleRows_; }
  // 1 (the header row) + the number of shown phrases.
  int RowCount() const { return 1 + static_cast<int>(visibleRows_.size()); }
  // The phrase shown in a grid row, or -1 for the header row or past the end.
  int32_t PhraseOfRow(int gridRow) const;

  // The filter button that is down.
  GridFilter Filter() const { return filter_; }
  void SetFilter(GridFilter f) { filter_ = f; }

  // The selected grid row (0 while there is no data row) and the first data
  // row on screen. The window reports the user's scrolling through SetTopRow.
  int SelectedRow() const { return selectedRow_; }
  int TopRow() const { return topRow_; }
  void SetTopRow(int row) { topRow_ = row < 1 ? 1 : row; }

  // The labels of columns 2 and 4, set by the language and code-page commands.
  std::string OriginHeader;
  std::string EditedHeader;
  // The header row's texts as the last ResetGrid/UpdateColumnHeaders left them.
  const std::array<std::string, kGridColumnCount>& HeaderTexts() const { return headers_; }

  // The two text boxes below the grid: the selected phrase's origin text and
  // edited text, as 8-bit bytes.
  const std::string& Memo1() const { return memo1_; }
  const std::string& Memo2() const { return memo2_; }
  MemoBackground MemoColour() const { return memoColour_; }
  // Replaces the edited-text box's contents (after the translation editor).
  void SetMemo2(std::string text) { memo2_ = std::move(text); }

  // Empties the grid and the text boxes; fixed headers; UpdateColumnHeaders.
  void ResetGrid();
  // Header of column 2: OriginHeader + " (" + shown rows + ")"; of column 4:
  // EditedHeader + " (" + shown rows with an edited text + ")".
  void UpdateColumnHeaders();
  // Rebuilds VisibleRows by the filter and restores the selection: the same
  // phrase (or the nearest shown one with a lower index) at the same
  // distance from the top row.
  void RefillGrid();
  // Shows a row's phrase in the text boxes; row < 1 empties them.
  void SelectCell(int gridRow);
  // Empties VisibleRows and the text boxes, leaves headers and colours (the
  // phrase table was emptied).
  void ClearRows();

  // What a data cell shows; gridRow must be a data row.
  CellInfo Cell(int col, int gridRow) const;

  // A press of the primary button on a cell. The pressed row becomes the
  // selection; HIDE flips on a phrase without an edited text, ON flips on a
  // phrase with one; ON without an edited text and the edited-text column
  // ask for the edit action. A press on the header row or past the last row
  // does nothing.
  PressResult MouseDown(int col, int gridRow);

  // Search in one grid row: true when the row's origin text (edited text;
  // a phrase without one never matches) contains `search`, both compared
  // with the ASCII letters A to Z folded to a to z (under Shift JIS only
  // single-byte characters fold, and a hit starts at a character); an
  // empty search matches nothing. A match selects the row, makes it the top row (the window
  // clamps it to what it can scroll) and shows it in the text boxes.
  bool MatchOriginText(std::string_view search, int gridRow);
  bool MatchEditedText(std::string_view search, int gridRow);
  // Whether the texts are read as Shift JIS (the display code page).
  void SetShiftJis(bool on) { shiftJis_ = on; }
  // Selects a phrase's row when the filter shows it (the text boxes follow);
  // returns false and changes nothing otherwise. A row above the top row
  // becomes the top row.
  bool SelectPhrase(int32_t phrase);

 private:
  bool MatchText(std::string_view search, int gridRow, bool edited);

  PhraseTable& table_;
  std::vector<int32_t> visibleRows_;
  GridFilter filter_ = GridFilter::NoFilter;
  int selectedRow_ = 0;
  int topRow_ = 1;
  std::array<std::string, kGridColumnCount> headers_;
  std::string memo1_;
  std::string memo2_;
  MemoBackground memoColour_ = MemoBackground::ButtonFace;
  bool shiftJis_ = false;
};

// " 0x" followed by eight upper-case hexadecimal digits.
std::string AddressText(uint32_t address);

}  // namespace velmora::ui
