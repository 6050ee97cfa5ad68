// TNewProjectForm: the "Create New Project" dialog, a thin Qt layer over
// its logic (ui/logic/dialogs/NewProjectForm.h). Created once with the main window
// and reused; its captions follow the interface language.
#pragma once

#include <QDialog>

#include "ui/logic/dialogs/NewProjectForm.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

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
  // Shows why the unit list is empty under it (an empty note hides it) and
  // moves the controls below out of its way.
  void ShowUnitListNote(const QString& note);

  NewProjectForm& logic_;
  bool refreshing_ = false;
  QLabel* unitNote_ = nullptr;
  QWidget* lower_ = nullptr;
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

}  // namespace velmora::ui
