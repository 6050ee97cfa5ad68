#include "ui/qt/GuardedTextEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace velmora::ui {

bool TGuardedTextEdit::Takes(const QString& text) const {
  if (!Accepts) return true;
  // The document's count is known without building its text.
  if (document()->characterCount() + text.size() <= FreeLength) return true;
  const QTextCursor cursor = textCursor();
  QString result = toPlainText();
  result.replace(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), text);
  return Accepts(result);
}

void TGuardedTextEdit::insertFromMimeData(const QMimeData* source) {
  if (source && source->hasText() && !Takes(source->text())) return;
  QPlainTextEdit::insertFromMimeData(source);
}

void TGuardedTextEdit::keyPressEvent(QKeyEvent* event) {
  // Enter starts a line; any other key that types something types its text.
  QString typed;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
    typed = QStringLiteral("\n");
  else if (!event->text().isEmpty() && event->text().front().isPrint())
    typed = event->text();
  if (!typed.isEmpty() && !isReadOnly() && !Takes(typed)) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace velmora::ui
