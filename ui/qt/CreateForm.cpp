#include "ui/qt/CreateForm.h"

#include <QLabel>
#include <QPushButton>

#include "ui/qt/Fonts.h"
#include "ui/qt/Pictures.h"

namespace velmora::ui {

TCreateForm::TCreateForm(CreateForm& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName("CreateForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  setFixedSize(kCreateFormWidth, kCreateFormHeight);
  setAutoFillBackground(true);

  auto* picture = new QLabel(this);
  picture->setObjectName("Image1");
  picture->setGeometry(0, 0, 121, kCreateFormHeight);
  picture->setPixmap(SourcePicture(kCreateFormHeight));

  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label2_ = new QLabel(this);
  label2_->setObjectName("Label2");
  int y = 14;
  for (QLabel* l : {label1_, label2_}) {
    l->setFont(SansFont(21));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(137, y, 434, 104);
    y += 110;
  }
  sourceBtn_ = new QPushButton(this);
  sourceBtn_->setObjectName("OpenSourceBtn");
  sourceBtn_->setGeometry(137 + (434 - 161) / 2, 240, 161, 49);
  sourceBtn_->setFont(SansFont(14, true));
  sourceBtn_->setAutoDefault(false);
  connect(sourceBtn_, &QPushButton::clicked, this, [this] {
    if (logic_.OpenSourceBtnClick()) accept();
  });
}

void TCreateForm::SetCaptions(const QString& caption, const QString& label1, const QString& label2,
                              const QString& button) {
  setWindowTitle(caption);
  label1_->setText(label1);
  label2_->setText(label2);
  sourceBtn_->setText(button);
}

bool TCreateForm::Run() {
  logic_.FormShow();
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
  return exec() == QDialog::Accepted;
}

}  // namespace velmora::ui
