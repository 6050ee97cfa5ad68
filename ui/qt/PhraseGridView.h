// StringGrid1: the phrase grid's view and its cell painter. Mouse presses,
// double-clicks and Enter go to the shell's grid events; everything a cell
// shows comes from the grid logic through the model.
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

#include "ui/logic/ShellController.h"
#include "ui/qt/PhraseGridModel.h"

namespace velmora::ui {

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
  PhraseGridView(ShellController& shell, PhraseGridModel& model, QWidget* parent = nullptr);

  // Brings selection and scroll position in line with the grid logic.
  void SyncFromLogic();
  // The grid row (1 = first data row) at the top of the view.
  int TopGridRow() const;

 signals:
  void contextMenuWanted(const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void PressAt(const QPoint& pos);

  ShellController& shell_;
  PhraseGridModel& model_;
  bool syncing_ = false;
};

}  // namespace velmora::ui
