// The widths of the grid's columns, taken from the font in use: the index,
// check-box and address columns just wide enough for their widest text and
// their header, the two text columns sharing what is left of the grid's
// width. A text column's header holds its label at the left and its find
// panel at the right; where the width allows, the label stands whole beside
// the panel, and where it does not, the label gives way (FitHeaderLabel).
// The window measures the texts; this decides.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/logic/grid/PhraseGrid.h"

namespace velmora::ui {

// Texts measured in the grid's font, in pixels.
struct GridTextWidths {
  int IndexHeader = 0;    // " Index"
  int IndexDigits = 0;    // the widest index the project can show
  int HideHeader = 0;     // " HIDE"
  int OnHeader = 0;       // "  ON"
  int Address = 0;        // " 0x" and eight of the widest hexadecimal digit
  int LinkHeader = 0;     // "Link Address"
  int StringHeader = 0;   // "String Address"
  int OriginLabel = 0;    // header of the origin-text column, with its count
  int EditedLabel = 0;    // header of the edited-text column, with its count
  int CheckBox = 13;      // the drawn check box
  int CellPadding = 5;    // room a data cell needs besides its text (2 before it, grid line)
  int HeaderPadding = 8;  // room a header section needs besides its text
};

struct GridColumns {
  std::array<int, kGridColumnCount> Widths{};
  // Left edges of the two find panels in the header row: each ends 2 pixels
  // left of the right edge of its column.
  int FindPanel1Left = 0;
  int FindPanel2Left = 0;
  // Their widths (FindPanelWidthFor).
  int FindPanel1Width = kFindPanelWidth;
  int FindPanel2Width = kFindPanelWidth;
  int Total() const;
};

// Room left of a find panel that a label keeps at the least.
constexpr int kMinLabelRoom = 40;
// On a narrow screen a find panel gives up part of its search box, down to
// this width, before any column is cut.
constexpr int kMinFindPanelWidth = 170;

// The width of the find panel over a text column `columnWidth` pixels wide
// whose label (with its count and padding) is `labelWidth` wide: its full
// width where the column has room for it beside the whole label, else
// narrower, down to kMinFindPanelWidth, so that the label keeps its count.
int FindPanelWidthFor(int columnWidth, int labelWidth);
// The gap between a text column's label and its find panel.
constexpr int kLabelGap = 6;

// The narrowest a text column may be: a little label room and its panel.
int MinTextColumnWidth(const GridTextWidths& m);
// The width at which a text column shows its whole label beside its panel.
int WholeLabelColumnWidth(const GridTextWidths& m, int column);
// The narrowest grid that shows every column whole, the text columns'
// labels included; and the narrowest that shows every column at all.
int WholeGridWidth(const GridTextWidths& m);
int MinGridWidth(const GridTextWidths& m);

// The columns for a grid `width` pixels wide (without its scroll bar).
// originShare: the part of the two text columns' width that the origin
// column takes, once the user has dragged the border between them; without
// it both get half, or, when that would cut a label that could stand whole,
// each at least its whole label's width; when the width is too small for
// both labels, each column gives way in proportion. A grid narrower than
// MinGridWidth gets the narrowest columns.
GridColumns LayOutColumns(const GridTextWidths& m, int width, std::optional<double> originShare = std::nullopt);

// The share that gives the origin column `originWidth` pixels, kept within
// what both text columns' minimum widths allow.
double OriginShareFor(const GridTextWidths& m, int width, int originWidth);

// The label as a header shows it in `room` pixels: whole when it fits; else
// without its leading blanks; else its words shortened with "…" before the
// count in brackets, which stays whole; else shortened in the middle.
std::string FitHeaderLabel(std::string_view label, int room, const std::function<int(std::string_view)>& measure);

}  // namespace velmora::ui
