#include "ui/qt/LoaderUnitsForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"

namespace velmora::ui {

TLoaderUnitsForm::TLoaderUnitsForm(QWidget* parent) : QDialog(parent) {
  setObjectName("LoaderUnitsForm");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  resize(560, 320);

  label_ = new QLabel(this);
  label_->setObjectName("Label1");
  label_->setWordWrap(true);
  list_ = new QListWidget(this);
  list_->setObjectName("UnitsList");
  addBtn_ = new QPushButton(this);
  addBtn_->setObjectName("AddBtn");
  removeBtn_ = new QPushButton(this);
  removeBtn_->setObjectName("RemoveBtn");
  okBtn_ = new QPushButton(this);
  okBtn_->setObjectName("OkBtn");
  okBtn_->setDefault(true);
  cancelBtn_ = new QPushButton(this);
  cancelBtn_->setObjectName("CancelBtn");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addBtn_);
  buttons->addWidget(removeBtn_);
  buttons->addStretch(1);
  buttons->addWidget(okBtn_);
  buttons->addWidget(cancelBtn_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);

  connect(addBtn_, &QPushButton::clicked, this, [this] {
    if (logic_ && logic_->AddBtnClick()) Refill();
  });
  connect(removeBtn_, &QPushButton::clicked, this, [this] {
    if (!logic_) return;
    logic_->RemoveBtnClick(list_->currentRow());
    Refill();
  });
  // Row 0 is the open project: it cannot be removed.
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { removeBtn_->setEnabled(row > 0); });
  connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

void TLoaderUnitsForm::SetCaptions(const QString& caption, const QString& label, const QString& add,
                                   const QString& remove, const QString& ok, const QString& cancel) {
  setWindowTitle(caption);
  label_->setText(label);
  addBtn_->setText(add);
  removeBtn_->setText(remove);
  okBtn_->setText(ok);
  cancelBtn_->setText(cancel);
}

void TLoaderUnitsForm::Refill() {
  list_->clear();
  if (logic_)
    for (const std::string& row : logic_->Rows()) list_->addItem(Local(row));
  list_->setCurrentRow(list_->count() - 1);
  removeBtn_->setEnabled(list_->currentRow() > 0);
}

bool TLoaderUnitsForm::Run(LoaderUnitsForm& logic) {
  logic_ = &logic;
  Refill();
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
  const bool ok = exec() == QDialog::Accepted;
  logic_ = nullptr;
  return ok;
}

}  // namespace velmora::ui
