// TEditForm: the translation editor, a thin Qt layer over its logic
// (ui/logic/dialogs/EditForm.h). Created once with the main window and reused; its
// captions follow the interface language.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/logic/dialogs/EditForm.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace velmora::ui {

class TGuardedTextEdit;

// The editor's lines as its box shows them: every wrapped piece of every
// paragraph, laid out with the box's font at its text width.
std::vector<std::string> DisplayedLines(const QPlainTextEdit& box);

class TEditForm : public QDialog {
  Q_OBJECT

 public:
  TEditForm(EditForm& logic, QWidget* parent);
  void SetCaptions(const QString& caption, const QString& cancel);
  // Fills the box from the logic, opens at `pos` (screen coordinates) and
  // runs modally; true when closed with OK.
  bool Run(const QPoint& pos);
  void Refresh();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void MemoChanged();

  EditForm& logic_;
  bool filling_ = false;
  QPlainTextEdit* origin_ = nullptr;
  TGuardedTextEdit* memo_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* problems_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QToolButton* copyBtn_ = nullptr;
  QToolButton* beepBtn_ = nullptr;
  QPushButton* okBtn_ = nullptr;
};

}  // namespace velmora::ui
