#include "ui/qt/StatusPanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

#include "ui/logic/words/CaptionTables.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"

namespace velmora::ui {

TStatusPanel::TStatusPanel(QWidget* parent) : QFrame(parent) {
  setObjectName("ImagePanel");
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setGeometry(220, 152, 769, 265);
  auto* picture = new QLabel(this);
  picture->setObjectName("WelcomeImage");
  picture->setGeometry(1, 1, 767, 263);
  picture->setPixmap(QPixmap(":/art/welcome.jpg"));
  label_ = new QLabel(this);
  label_->setObjectName("ImagePanelLabel");
  label_->setAttribute(Qt::WA_TranslucentBackground);
  label_->setFont(SansFont(24, true));
  label_->setStyleSheet("color: white; background: transparent;");
  label_->setGeometry(59, 32, 700, 34);
  label_->setText(Q(kWelcomeText));
  raise();
  parent->installEventFilter(this);

  timer_ = new QTimer(this);
  timer_->setObjectName("ImagePanelTimer");
  timer_->setSingleShot(true);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, [this] { ImagePanelTimerTimer(); });
}

void TStatusPanel::ShowText(const QString& text) {
  label_->setText(text);
  show();
  raise();
  Repaint();
}

void TStatusPanel::HideLater() { timer_->start(); }

void TStatusPanel::Repaint() {
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TStatusPanel::ImagePanelTimerTimer() {
  hide();
  timer_->stop();
}

bool TStatusPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) Centre();
  return QFrame::eventFilter(watched, event);
}

void TStatusPanel::Centre() {
  const QSize outer = parentWidget()->size();
  move(std::max(0, (outer.width() - width()) / 2), std::max(0, (outer.height() - height()) / 2));
}

}  // namespace velmora::ui
