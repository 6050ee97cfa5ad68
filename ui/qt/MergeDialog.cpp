#include "ui/qt/MergeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/logic/state/WindowTitle.h"
#include "ui/qt/QtText.h"

namespace velmora::ui {

namespace {
constexpr int kChoiceColumn = 4;
}

TMergeDialog::TMergeDialog(const std::vector<ConflictRow>& rows, QWidget* parent) : QDialog(parent) {
  setObjectName("MergeDialog");
  setWindowTitle(Q(kApplicationTitle));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QString("The project file was changed on disk while this window changed the same phrases.\n"
              "Choose for each phrase which version to keep."),
      this);
  layout->addWidget(intro);

  table_ = new QTableWidget(static_cast<int>(rows.size()), 5, this);
  table_->setObjectName("MergeTable");
  table_->setHorizontalHeaderLabels({"Index", "Origin", "Mine", "Theirs", "Keep"});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r);
    table_->setItem(row, 0, new QTableWidgetItem(QString::number(rows[r].Index)));
    table_->setItem(row, 1, new QTableWidgetItem(Q(rows[r].Origin)));
    table_->setItem(row, 2, new QTableWidgetItem(Q(rows[r].Mine)));
    table_->setItem(row, 3, new QTableWidgetItem(Q(rows[r].Theirs)));
    auto* choice = new QComboBox(table_);
    choice->addItems({"keep mine", "take theirs"});
    table_->setCellWidget(row, kChoiceColumn, choice);
  }
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_);

  auto* all = new QHBoxLayout;
  auto* mine = new QPushButton("Keep mine for all", this);
  mine->setObjectName("KeepAllMine");
  auto* theirs = new QPushButton("Take theirs for all", this);
  theirs->setObjectName("TakeAllTheirs");
  connect(mine, &QPushButton::clicked, this, [this] { ChooseAll(false); });
  connect(theirs, &QPushButton::clicked, this, [this] { ChooseAll(true); });
  all->addWidget(mine);
  all->addWidget(theirs);
  all->addStretch();
  layout->addLayout(all);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 360);
}

void TMergeDialog::ChooseAll(bool theirs) {
  for (int row = 0; row < table_->rowCount(); ++row)
    if (auto* c = qobject_cast<QComboBox*>(table_->cellWidget(row, kChoiceColumn))) c->setCurrentIndex(theirs ? 1 : 0);
}

std::vector<bool> TMergeDialog::Choices() const {
  std::vector<bool> out;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const auto* c = qobject_cast<QComboBox*>(table_->cellWidget(row, kChoiceColumn));
    out.push_back(c && c->currentIndex() == 1);
  }
  return out;
}

}  // namespace velmora::ui
