// TFindPanel: FindPanel1 or FindPanel2, a caption, a search box and the two
// flat arrow buttons, laid over the grid's header row.
#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;

namespace velmora::ui {

class TFindPanel : public QFrame {
  Q_OBJECT

 public:
  // panel: 1 (origin texts: down button first) or 2 (edited texts: up
  // button first).
  TFindPanel(int panel, QWidget* parent);
  void SetCaption(const QString& caption);
  QLineEdit* Edit() const { return edit_; }
  // Whether the undo keys undo (or redo) the box's own typing: only while
  // the box holds text and typing to take back (or bring again).
  bool TakesStep(bool undo) const;

 protected:
  // Enter in the search box searches; it must not reach the grid below,
  // where it would open the editor. The undo keys act on the box or pass
  // to the window (TakesStep).
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 signals:
  void searchDown(const QString& text);
  void searchUp(const QString& text);
  void enterPressed(const QString& text);

 private:
  QLabel* caption_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QToolButton* downBtn_ = nullptr;
  QToolButton* upBtn_ = nullptr;
  // The buttons from left to right.
  QToolButton* first_ = nullptr;
  QToolButton* second_ = nullptr;
  void LayOut();
};

}  // namespace velmora::ui
