// StringGrid1: the phrase grid's view and its cell painter. Mouse presses,
// double-clicks and Enter go to the grid's handlers (GridCommands); everything a cell
// shows comes from the grid logic through the model.
#pragma once

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>

#include "ui/logic/grid/GridLayout.h"
#include "analysis/PhraseTable.h"
#include "ui/logic/commands/GridCommands.h"
#include "ui/logic/grid/PhraseGrid.h"
#include "ui/qt/PhraseGridModel.h"

namespace velmora::ui {

// A data cell's text starts this far right of its left edge; the check
// boxes are this many pixels square.
constexpr int kCellTextLeft = 2;
constexpr int kCheckBoxSize = 13;

// The colours of a data cell. A selected cell takes the highlight colours;
// a silver cell stays silver, and selected it takes a silver tinted with the
// highlight under the normal text colour, so that it stays readable.
struct CellColours {
  QColor Background;
  QColor Text;
};
CellColours ColoursOfCell(const QPalette& palette, bool selected, bool silver);

// The header row: the labels of the two text columns give way to the find
// panels laid over their right ends (FitHeaderLabel); the whole header text
// is the section's tooltip.
class PhraseGridHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit PhraseGridHeader(QWidget* parent = nullptr);
  // The room a text column's label has left of its find panel.
  int LabelRoom(int logicalIndex) const;
  // The label as the section shows it.
  QString ShownLabel(int logicalIndex) const;
  // The room a section needs besides its text.
  int Padding() const;

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

// Draws a data cell: highlight or window colour, the silver override,
// text 2 pixels in from the top-left corner cut at the cell's edge, or a
// flat check box.
class PhraseGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  PhraseGridDelegate(PhraseGridModel& model, QObject* parent = nullptr);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  PhraseGridModel& model_;
};

class PhraseGridView : public QTableView {
  Q_OBJECT

 public:
  // events: the grid's handlers; grid and table: what it shows.
  PhraseGridView(GridCommands& events, const PhraseGrid& grid, const PhraseTable& table, PhraseGridModel& model,
                 QWidget* parent = nullptr);

  // Brings selection and scroll position in line with the grid logic.
  void SyncFromLogic();
  // The grid row (1 = first data row) at the top of the view.
  int TopGridRow() const;

  // The find panels laid over the header row; they follow their columns.
  void SetFindPanels(QWidget* originPanel, QWidget* editedPanel);
  // Sets the column widths from the font in use and the view's width, and
  // moves the find panels over their columns.
  void LayOutColumns();
  // The texts measured in the fonts in use.
  GridTextWidths MeasureTexts() const;
  // The narrowest view (without scroll bar and frame) that cuts no column.
  int MinimumGridWidth() const { return MinGridWidth(MeasureTexts()); }
  // The narrowest that also shows both text labels whole.
  int WholeLabelsGridWidth() const { return WholeGridWidth(MeasureTexts()); }

  // The view scrolls only up and down: the current cell's column never
  // moves it sideways.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 signals:
  void contextMenuWanted(const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void PressAt(const QPoint& pos);

  GridCommands& events_;
  const PhraseGrid& grid_;
  const PhraseTable& table_;
  PhraseGridModel& model_;
  bool syncing_ = false;
  bool laying_ = false;
  QWidget* findPanels_[2] = {nullptr, nullptr};
  // Set once the user drags the border between the two text columns.
  std::optional<double> originShare_;
};

}  // namespace velmora::ui
