// The grid's table model: its rows are VisibleRows of the phrase grid logic.
// It holds no copy of the texts: a cell's text is decoded on demand from the
// phrase table through the display code page, with a small cache of the
// cells decoded last.
#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QString>

#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

class PhraseGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PhraseGridModel(const Presentation& view, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // What a cell shows, and its text as the display code page shows it.
  CellInfo Cell(const QModelIndex& index) const;
  QString CellText(const QModelIndex& index) const;

  // VisibleRows changed.
  void ResetRows();
  // A grid row (1 = first data row) changed.
  void RowChanged(int gridRow);
  // Every cell changed (the display code page).
  void AllCellsChanged();
  void HeadersChanged();

  // 8-bit text to display text through the display code page.
  static QString Decode(std::string_view bytes, CodePage cp);

 private:
  const Presentation& view_;
  mutable QCache<quint64, QString> cache_;
};

}  // namespace velmora::ui
