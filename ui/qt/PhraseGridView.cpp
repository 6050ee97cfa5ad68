#include "ui/qt/PhraseGridView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include "ui/qt/QtText.h"

namespace velmora::ui {

namespace {
const QColor kSilver(192, 192, 192);

QColor Mix(const QColor& a, const QColor& b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

}  // namespace

CellColours ColoursOfCell(const QPalette& pal, bool selected, bool silver) {
  if (silver) return {selected ? Mix(pal.color(QPalette::Highlight), kSilver) : kSilver, pal.color(QPalette::Text)};
  if (selected) return {pal.color(QPalette::Highlight), pal.color(QPalette::HighlightedText)};
  return {pal.color(QPalette::Base), pal.color(QPalette::Text)};
}

// ---------------------------------------------------------------- header

PhraseGridHeader::PhraseGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

int PhraseGridHeader::Padding() const { return 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 4; }

int PhraseGridHeader::LabelRoom(int logicalIndex) const {
  const QString label = model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
  const int section = sectionSize(logicalIndex);
  const int panel = FindPanelWidthFor(section, fontMetrics().horizontalAdvance(label) + Padding() / 2);
  return section - (panel + 2) - kLabelGap - Padding() / 2;
}

QString PhraseGridHeader::ShownLabel(int logicalIndex) const {
  const QString label = model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
  if (logicalIndex != kColOrigin && logicalIndex != kColEdited) return label;
  const QFontMetrics fm = fontMetrics();
  const std::string fitted = FitHeaderLabel(U(label), LabelRoom(logicalIndex), [&fm](std::string_view t) {
    return fm.horizontalAdvance(Q(t));
  });
  return QString::fromStdString(fitted);
}

void PhraseGridHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  QHeaderView::initStyleOptionForIndex(option, logicalIndex);
  if (logicalIndex == kColOrigin || logicalIndex == kColEdited) option->text = ShownLabel(logicalIndex);
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
    const int size = kCheckBoxSize;
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

  const CellColours colours = ColoursOfCell(pal, selected, cell.Silver);
  painter->fillRect(r, colours.Background);
  if (cell.HasText) {
    painter->setPen(colours.Text);
    painter->setFont(option.font);
    const QRect textRect(r.x() + kCellTextLeft, r.y() + 2, r.width() - kCellTextLeft, r.height() - 2);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, model_.CellText(index));
  }
  painter->restore();
}

PhraseGridView::PhraseGridView(GridCommands& events, const PhraseGrid& grid, const PhraseTable& table,
                               PhraseGridModel& model, QWidget* parent)
    : QTableView(parent), events_(events), grid_(grid), table_(table), model_(model) {
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

  auto* hh = new PhraseGridHeader(this);
  setHorizontalHeader(hh);
  hh->setFixedHeight(kHeaderRowHeight);
  hh->setMinimumSectionSize(10);
  hh->setSectionResizeMode(QHeaderView::Fixed);
  // Only the border between the two text columns can be dragged; the
  // edited-text column takes what the origin column leaves.
  hh->setSectionResizeMode(kColOrigin, QHeaderView::Interactive);
  hh->setSectionsClickable(false);
  hh->setHighlightSections(false);
  hh->setStretchLastSection(false);
  hh->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kGridColumnCount; ++c) setColumnWidth(c, kColumnWidths[static_cast<size_t>(c)]);

  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!syncing_ && current.isValid()) events_.GridSelectCell(current.row() + 1);
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (!syncing_) events_.GridTopRowChanged(TopGridRow());
  });
  // Nothing scrolls the grid sideways: the find panels stay over their columns.
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (value != 0) horizontalScrollBar()->setValue(0);
  });
  connect(hh, &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
    if (laying_ || logical != kColOrigin) return;
    originShare_ = OriginShareFor(MeasureTexts(), viewport()->width(), newSize);
    LayOutColumns();
  });
}

void PhraseGridView::SetFindPanels(QWidget* originPanel, QWidget* editedPanel) {
  findPanels_[0] = originPanel;
  findPanels_[1] = editedPanel;
  LayOutColumns();
}

GridTextWidths PhraseGridView::MeasureTexts() const {
  const QFontMetrics cells = fontMetrics();
  const auto* header = static_cast<const PhraseGridHeader*>(horizontalHeader());
  const QFontMetrics heads = header->fontMetrics();
  auto widest = [&cells](const char* chars) {
    int w = 0;
    for (const char* c = chars; *c; ++c) w = std::max(w, cells.horizontalAdvance(QLatin1Char(*c)));
    return w;
  };
  auto headerText = [this](int col) { return model_.headerData(col, Qt::Horizontal, Qt::DisplayRole).toString(); };
  GridTextWidths m;
  m.IndexHeader = heads.horizontalAdvance(headerText(kColIndex));
  const size_t phrases = table_.Phrases.size();
  const int digits = static_cast<int>(std::to_string(phrases > 0 ? phrases - 1 : 0).size());
  m.IndexDigits = digits * widest("0123456789");
  m.HideHeader = heads.horizontalAdvance(headerText(kColHide));
  m.OnHeader = heads.horizontalAdvance(headerText(kColOn));
  m.Address = cells.horizontalAdvance(QStringLiteral(" 0x")) + 8 * widest("0123456789ABCDEF");
  m.LinkHeader = heads.horizontalAdvance(headerText(kColLinkAddress));
  m.StringHeader = heads.horizontalAdvance(headerText(kColStringAddress));
  m.OriginLabel = heads.horizontalAdvance(headerText(kColOrigin));
  m.EditedLabel = heads.horizontalAdvance(headerText(kColEdited));
  m.CheckBox = kCheckBoxSize;
  m.CellPadding = kCellTextLeft + 3;
  m.HeaderPadding = header->Padding();
  return m;
}

void PhraseGridView::LayOutColumns() {
  const GridColumns g = velmora::ui::LayOutColumns(MeasureTexts(), viewport()->width(), originShare_);
  laying_ = true;
  for (int c = 0; c < kGridColumnCount; ++c) setColumnWidth(c, g.Widths[static_cast<size_t>(c)]);
  laying_ = false;
  if (findPanels_[0]) findPanels_[0]->setGeometry(g.FindPanel1Left, 0, g.FindPanel1Width, findPanels_[0]->height());
  if (findPanels_[1]) findPanels_[1]->setGeometry(g.FindPanel2Left, 0, g.FindPanel2Width, findPanels_[1]->height());
  horizontalScrollBar()->setValue(0);
  horizontalHeader()->viewport()->update();
}

bool PhraseGridView::viewportEvent(QEvent* event) {
  const bool handled = QTableView::viewportEvent(event);
  if (event->type() == QEvent::Resize) LayOutColumns();
  return handled;
}

void PhraseGridView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  // With the focus in the grid, its selected row wears a frame: the cells
  // paint their selection alike whether or not the grid has the focus.
  if (!hasFocus() || !currentIndex().isValid()) return;
  const int row = currentIndex().row();
  const QRect first = visualRect(model_.index(row, 0));
  QRect frame(0, first.top(), viewport()->width(), first.height());
  QPainter painter(viewport());
  painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void PhraseGridView::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  viewport()->update();
}

void PhraseGridView::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  viewport()->update();
}

void PhraseGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  // Column 0 stands at the left edge: scrolling to it moves only up or down.
  QTableView::scrollTo(index.isValid() ? index.siblingAtColumn(kColIndex) : index, hint);
  horizontalScrollBar()->setValue(0);
}

int PhraseGridView::TopGridRow() const { return verticalScrollBar()->value() + 1; }

void PhraseGridView::SyncFromLogic() {
  syncing_ = true;
  executeDelayedItemsLayout();
  updateGeometries();
  verticalScrollBar()->setValue(grid_.TopRow() - 1);
  const int sel = grid_.SelectedRow();
  if (sel >= 1 && sel <= model_.rowCount()) {
    selectionModel()->setCurrentIndex(model_.index(sel - 1, currentIndex().isValid() ? currentIndex().column() : 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // A row selected below the rows in view (an undone change) is brought in.
    scrollTo(model_.index(sel - 1, kColIndex));
  } else {
    selectionModel()->clearSelection();
  }
  syncing_ = false;
  // The view clamps the top row to what it can show.
  events_.GridTopRowChanged(TopGridRow());
}

void PhraseGridView::PressAt(const QPoint& pos) {
  const QModelIndex index = indexAt(pos);
  if (!index.isValid()) return;
  events_.GridMouseDown(index.column(), index.row() + 1);
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
  if (indexAt(event->position().toPoint()).isValid()) events_.StringGridDblClick();
}

void PhraseGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    events_.EditSelectedRow();
    return;
  }
  // Home and End go to the first and the last row, with Ctrl or without.
  // Left to the table view, a plain Home or End moves to the row's first or
  // last column, which a grid of whole rows does not show, and whether it
  // does depends on the platform's key bindings.
  if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) && model_.rowCount() > 0 &&
      !(event->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier))) {
    const int row = event->key() == Qt::Key_Home ? 0 : model_.rowCount() - 1;
    setCurrentIndex(model_.index(row, currentIndex().isValid() ? currentIndex().column() : kColIndex));
    return;
  }
  QTableView::keyPressEvent(event);
}

void PhraseGridView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuWanted(event->globalPos()); }

}  // namespace velmora::ui
