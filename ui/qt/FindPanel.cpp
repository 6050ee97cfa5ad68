#include "ui/qt/FindPanel.h"

#include <QKeyEvent>
#include <QResizeEvent>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "ui/logic/grid/PhraseGrid.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/Pictures.h"

namespace velmora::ui {

TFindPanel::TFindPanel(int panel, QWidget* parent) : QFrame(parent) {
  setObjectName(QString("FindPanel%1").arg(panel));
  setFrameShape(QFrame::NoFrame);
  setFixedHeight(24);
  resize(kFindPanelWidth, 24);
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
  first_ = panel == 1 ? downBtn_ : upBtn_;
  second_ = panel == 1 ? upBtn_ : downBtn_;
  LayOut();
  connect(downBtn_, &QToolButton::clicked, this, [this] { emit searchDown(edit_->text()); });
  connect(upBtn_, &QToolButton::clicked, this, [this] { emit searchUp(edit_->text()); });
  edit_->installEventFilter(this);
}

namespace {

enum class BoxStep { None, Undo, Redo };

// The window's undo keys: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo.
BoxStep StepOfKey(const QKeyEvent& key) {
  const QKeySequence pressed(key.keyCombination());
  if (pressed == QKeySequence(Qt::CTRL | Qt::Key_Z)) return BoxStep::Undo;
  if (pressed == QKeySequence(Qt::CTRL | Qt::Key_Y) || pressed == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
    return BoxStep::Redo;
  return BoxStep::None;
}

}  // namespace

bool TFindPanel::TakesStep(bool undo) const {
  // An empty or untouched box leaves the keys to the project.
  if (edit_->text().isEmpty()) return false;
  return undo ? edit_->isUndoAvailable() : edit_->isRedoAvailable();
}

bool TFindPanel::eventFilter(QObject* watched, QEvent* event) {
  // The undo keys undo the typing in the box while there is typing to
  // undo; otherwise they pass to the window, which undoes the project.
  if (watched == edit_ && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
    const BoxStep step = StepOfKey(*static_cast<QKeyEvent*>(event));
    if (step != BoxStep::None) {
      const bool box = TakesStep(step == BoxStep::Undo);
      if (event->type() == QEvent::ShortcutOverride) {
        event->setAccepted(box);
      } else if (box) {
        if (step == BoxStep::Undo) edit_->undo();
        else edit_->redo();
      }
      return true;
    }
  }
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit enterPressed(edit_->text());
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

void TFindPanel::LayOut() {
  // At its full width of 250 the box is 162 wide and the buttons stand at
  // 196 and 222; a narrower panel takes the difference from the box. The
  // origin panel has its down button first, the edited panel its up button
  // first.
  const int w = width();
  edit_->setGeometry(32, 2, std::max(0, w - 32 - 56), 19);
  first_->setGeometry(w - 54, 0, 25, 25);
  second_->setGeometry(w - 28, 0, 25, 25);
}

void TFindPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayOut();
}

void TFindPanel::SetCaption(const QString& caption) { caption_->setText(caption); }

}  // namespace velmora::ui
