#include "ui/qt/PhraseGridView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace velmora::ui {

namespace {
const QColor kSilver(192, 192, 192);
}

PhraseGridDelegate::PhraseGridDelegate(PhraseGridModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QSize PhraseGridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  return {kColumnWidths[static_cast<size_t>(index.column())], kDataRowHeight};
}

void PhraseGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const CellInfo cell = model_.Cell(index);
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  const QPalette& pal = option.palette;
  const QRect r = option.rect;
  painter->save();
  painter->setClipRect(r);

  if (cell.IsCheckBox) {
    // Flat check box, centred; no colour rule applies to these columns.
    painter->fillRect(r, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    const int size = 13;
    const QRect box(r.x() + (r.width() - size) / 2, r.y() + (r.height() - size) / 2, size, size);
    painter->fillRect(box, Qt::white);
    painter->setPen(QPen(QColor(64, 64, 64), 1));
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    if (cell.Checked) {
      painter->setRenderHint(QPainter::Antialiasing, true);
      painter->setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      const QPointF pts[3] = {QPointF(box.x() + 3, box.y() + 6.5), QPointF(box.x() + 5.5, box.y() + 9.5),
                              QPointF(box.x() + 10, box.y() + 3.5)};
      painter->drawPolyline(pts, 3);
    }
    painter->restore();
    return;
  }

  QColor background = selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
  const QColor foreground = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
  if (cell.Silver) background = kSilver;
  painter->fillRect(r, background);
  if (cell.HasText) {
    painter->setPen(foreground);
    painter->setFont(option.font);
    const QRect textRect(r.x() + 2, r.y() + 2, r.width() - 2, r.height() - 2);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, model_.CellText(index));
  }
  painter->restore();
}

PhraseGridView::PhraseGridView(ShellController& shell, PhraseGridModel& model, QWidget* parent)
    : QTableView(parent), shell_(shell), model_(model) {
  setObjectName("StringGrid1");
  setModel(&model_);
  setItemDelegate(new PhraseGridDelegate(model_, this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setShowGrid(true);
  setCornerButtonEnabled(false);

  QHeaderView* vh = verticalHeader();
  vh->hide();
  vh->setMinimumSectionSize(kDataRowHeight);
  vh->setDefaultSectionSize(kDataRowHeight);
  vh->setSectionResizeMode(QHeaderView::Fixed);

  QHeaderView* hh = horizontalHeader();
  hh->setFixedHeight(kHeaderRowHeight);
  hh->setMinimumSectionSize(10);
  hh->setSectionResizeMode(QHeaderView::Fixed);
  hh->setSectionsClickable(false);
  hh->setHighlightSections(false);
  hh->setStretchLastSection(false);
  hh->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kGridColumnCount; ++c) setColumnWidth(c, kColumnWidths[static_cast<size_t>(c)]);

  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!syncing_ && current.isValid()) shell_.GridSelectCell(current.row() + 1);
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (!syncing_) shell_.GridTopRowChanged(TopGridRow());
  });
}

int PhraseGridView::TopGridRow() const { return verticalScrollBar()->value() + 1; }

void PhraseGridView::SyncFromLogic() {
  syncing_ = true;
  executeDelayedItemsLayout();
  updateGeometries();
  const PhraseGrid& grid = shell_.Grid();
  verticalScrollBar()->setValue(grid.TopRow() - 1);
  const int sel = grid.SelectedRow();
  if (sel >= 1 && sel <= model_.rowCount()) {
    selectionModel()->setCurrentIndex(model_.index(sel - 1, currentIndex().isValid() ? currentIndex().column() : 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selectionModel()->clearSelection();
  }
  syncing_ = false;
  // The view clamps the top row to what it can show.
  shell_.GridTopRowChanged(TopGridRow());
}

void PhraseGridView::PressAt(const QPoint& pos) {
  const QModelIndex index = indexAt(pos);
  if (!index.isValid()) return;
  shell_.GridMouseDown(index.column(), index.row() + 1);
}

void PhraseGridView::mousePressEvent(QMouseEvent* event) {
  // The view selects the pressed row first; then the press acts on its cell.
  QTableView::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) PressAt(event->position().toPoint());
}

void PhraseGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double-click is a press too, then the edit action.
  if (event->button() != Qt::LeftButton) return;
  PressAt(event->position().toPoint());
  if (indexAt(event->position().toPoint()).isValid()) shell_.GridDoubleClick();
}

void PhraseGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    shell_.GridEnterKey();
    return;
  }
  QTableView::keyPressEvent(event);
}

void PhraseGridView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuWanted(event->globalPos()); }

}  // namespace velmora::ui
