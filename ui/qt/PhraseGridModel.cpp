#include "ui/qt/PhraseGridModel.h"

#include "ui/qt/QtText.h"

namespace velmora::ui {

PhraseGridModel::PhraseGridModel(const Presentation& view, QObject* parent)
    : QAbstractTableModel(parent), view_(view), cache_(512) {}

int PhraseGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(view_.Grid().VisibleRows().size());
}

int PhraseGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGridColumnCount;
}

CellInfo PhraseGridModel::Cell(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  return view_.Grid().Cell(index.column(), index.row() + 1);
}

QString PhraseGridModel::Decode(std::string_view bytes, CodePage cp) {
  if (bytes.empty()) return {};
  return Q(ToUtf8(bytes, cp));
}

QString PhraseGridModel::CellText(const QModelIndex& index) const {
  const CellInfo cell = Cell(index);
  if (!cell.HasText) return {};
  if (!cell.PhraseText) return QString::fromLatin1(cell.Plain.data(), static_cast<qsizetype>(cell.Plain.size()));
  const int32_t phrase = view_.Grid().PhraseOfRow(index.row() + 1);
  const quint64 key = (static_cast<quint64>(static_cast<uint32_t>(phrase)) << 4) | static_cast<quint64>(index.column());
  if (const QString* hit = cache_.object(key)) return *hit;
  QString text = Q(view_.DisplayText(cell.Bytes));
  cache_.insert(key, new QString(text));
  return text;
}

QVariant PhraseGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    const CellInfo cell = Cell(index);
    if (cell.IsCheckBox) return {};
    return CellText(index);
  }
  if (role == Qt::CheckStateRole) {
    const CellInfo cell = Cell(index);
    if (!cell.IsCheckBox) return {};
    return cell.Checked ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

QVariant PhraseGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kGridColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(view_.Grid().HeaderTexts()[static_cast<size_t>(section)]);
  // A text column's label may give way to its find panel: the tooltip has it whole.
  if (role == Qt::ToolTipRole && (section == kColOrigin || section == kColEdited))
    return QString::fromStdString(view_.Grid().HeaderTexts()[static_cast<size_t>(section)]).trimmed();
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

void PhraseGridModel::ResetRows() {
  beginResetModel();
  cache_.clear();
  endResetModel();
}

void PhraseGridModel::RowChanged(int gridRow) {
  const int row = gridRow - 1;
  if (row < 0 || row >= rowCount()) return;
  const int32_t phrase = view_.Grid().PhraseOfRow(gridRow);
  for (int c = 0; c < kGridColumnCount; ++c)
    cache_.remove((static_cast<quint64>(static_cast<uint32_t>(phrase)) << 4) | static_cast<quint64>(c));
  emit dataChanged(index(row, 0), index(row, kGridColumnCount - 1));
}

void PhraseGridModel::AllCellsChanged() {
  cache_.clear();
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kGridColumnCount - 1));
}

void PhraseGridModel::HeadersChanged() { emit headerDataChanged(Qt::Horizontal, 0, kGridColumnCount - 1); }

}  // namespace velmora::ui
