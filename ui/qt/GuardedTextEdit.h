// A plain-text box that asks before it takes text in: a paste, a drop or a
// typed character whose result the guard refuses never reaches the box, so
// a paste of hundreds of kilobytes is turned away before the box lays it
// out.
#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace velmora::ui {

class TGuardedTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  using QPlainTextEdit::QPlainTextEdit;

  // Given the box's whole text as it would be after the input; false
  // refuses the input. Unset: everything is taken.
  std::function<bool(const QString& result)> Accepts;
  // The box's text would need checking only beyond this many UTF-16 units
  // (short texts pass without building the result).
  qsizetype FreeLength = 0;

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Whether inserting `text` in place of the selection is taken.
  bool Takes(const QString& text) const;
};

}  // namespace velmora::ui
