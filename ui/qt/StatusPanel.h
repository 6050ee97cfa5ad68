// TStatusPanel: ImagePanel, the welcome picture over the grid. Long
// commands show their status in it (ImagePanelLabel); it hides at once or,
// through ImagePanelTimer, after 1000 ms. It stays centred over the grid's
// panel whatever the window's size.
#pragma once

#include <QFrame>

class QLabel;
class QTimer;

namespace velmora::ui {

class TStatusPanel : public QFrame {
  Q_OBJECT

 public:
  // Shows the welcome text over parent.
  explicit TStatusPanel(QWidget* parent);

  // Shows text; the window repaints once before the caller goes on.
  void ShowText(const QString& text);
  void HideNow() { hide(); }
  void HideLater();
  // Processes pending repaints once (before a long piece of work).
  void Repaint();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The timer's single event: hides the panel and stops the timer.
  void ImagePanelTimerTimer();
  void Centre();

  QLabel* label_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace velmora::ui
