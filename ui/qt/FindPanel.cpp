#include "ui/qt/FindPanel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "ui/qt/Fonts.h"
#include "ui/qt/Pictures.h"

namespace velmora::ui {

TFindPanel::TFindPanel(int panel, QWidget* parent) : QFrame(parent) {
  setObjectName(QString("FindPanel%1").arg(panel));
  setFrameShape(QFrame::NoFrame);
  setFixedSize(250, 24);
  setAutoFillBackground(true);
  setFont(SansFont(11));
  caption_ = new QLabel(this);
  caption_->setObjectName(QString("FindLabel%1").arg(panel));
  caption_->setGeometry(0, 0, 32, 24);
  // The caption has the 32 pixels left of the search box; fonts wider than
  // the window font's usual face are drawn a little tighter to fit.
  QFont tight = caption_->font();
  tight.setLetterSpacing(QFont::PercentageSpacing, 92);
  caption_->setFont(tight);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString("FindEdit%1").arg(panel));
  edit_->setGeometry(32, 2, 162, 19);
  edit_->setFrame(true);
  edit_->setStyleSheet("QLineEdit { padding: 0px 1px; }");
  downBtn_ = new QToolButton(this);
  downBtn_->setObjectName(QString("FindDownBtn%1").arg(panel));
  upBtn_ = new QToolButton(this);
  upBtn_->setObjectName(QString("FindUpBtn%1").arg(panel));
  downBtn_->setIcon(QIcon(ArrowPicture(true)));
  upBtn_->setIcon(QIcon(ArrowPicture(false)));
  for (QToolButton* b : {downBtn_, upBtn_}) {
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    b->setFocusPolicy(Qt::NoFocus);
  }
  // The origin panel has its down button first, the edited panel its up
  // button first.
  (panel == 1 ? downBtn_ : upBtn_)->setGeometry(196, 0, 25, 25);
  (panel == 1 ? upBtn_ : downBtn_)->setGeometry(222, 0, 25, 25);
  connect(downBtn_, &QToolButton::clicked, this, [this] { emit searchDown(edit_->text()); });
  connect(upBtn_, &QToolButton::clicked, this, [this] { emit searchUp(edit_->text()); });
  edit_->installEventFilter(this);
}

bool TFindPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit enterPressed(edit_->text());
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

void TFindPanel::SetCaption(const QString& caption) { caption_->setText(caption); }

}  // namespace velmora::ui
