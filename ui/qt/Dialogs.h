// The three dialogs of the main window, thin Qt layers over their logic:
// TNewProjectForm ("Create New Project"), TEditForm (the translation
// editor) and TCreateForm (the loader-rebuild source dialog). Each is
// created once with the main window and reused; its captions follow the
// interface language through SetCaptions.
#pragma once

#include <QDialog>
#include <QFrame>
#include <string>
#include <vector>

#include "ui/logic/CreateForm.h"
#include "ui/logic/EditForm.h"
#include "ui/logic/NewProjectForm.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace velmora::ui {

class TNewProjectForm : public QDialog {
  Q_OBJECT

 public:
  TNewProjectForm(NewProjectForm& logic, QWidget* parent);
  ~TNewProjectForm() override;
  void SetCaptions(const QString& caption, const QString& label1, const QString& start, const QString& cancel);
  // Shows the dialog modally; true when it closed with START.
  bool Run();
  // Brings the controls in line with the logic.
  void Refresh();

 private:
  NewProjectForm& logic_;
  bool refreshing_ = false;
  QLabel* label1_ = nullptr;
  QComboBox* moduleBox_ = nullptr;
  QComboBox* unitBox_ = nullptr;
  QGroupBox* options_ = nullptr;
  QRadioButton* englishBtn_ = nullptr;
  QRadioButton* europeanBtn_ = nullptr;
  QRadioButton* japaneseBtn_ = nullptr;
  QCheckBox* smartBox_ = nullptr;
  QCheckBox* rangeBox_ = nullptr;
  QLineEdit* startEdit_ = nullptr;
  QLineEdit* endEdit_ = nullptr;
  QPushButton* startBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
};

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
  QPlainTextEdit* memo_ = nullptr;
  QLabel* count_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QToolButton* copyBtn_ = nullptr;
  QToolButton* beepBtn_ = nullptr;
  QPushButton* okBtn_ = nullptr;
};

class TCreateForm : public QDialog {
  Q_OBJECT

 public:
  TCreateForm(CreateForm& logic, QWidget* parent);
  void SetCaptions(const QString& caption, const QString& label1, const QString& label2, const QString& button);
  bool Run();

 private:
  CreateForm& logic_;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QPushButton* sourceBtn_ = nullptr;
};

// FindPanel1 / FindPanel2: a caption, a search box and the two flat arrow
// buttons, laid over the grid's header row.
class TFindPanel : public QFrame {
  Q_OBJECT

 public:
  // panel: 1 (origin texts: down button first) or 2 (edited texts: up
  // button first).
  TFindPanel(int panel, QWidget* parent);
  void SetCaption(const QString& caption);
  QLineEdit* Edit() const { return edit_; }

 protected:
  // Enter in the search box searches; it must not reach the grid below,
  // where it would open the editor.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void searchDown(const QString& text);
  void searchUp(const QString& text);
  void enterPressed(const QString& text);

 private:
  QLabel* caption_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QToolButton* downBtn_ = nullptr;
  QToolButton* upBtn_ = nullptr;
};

}  // namespace velmora::ui
