// TCreateForm: the loader-rebuild dialog that asks for the source
// LOADING.KWI, a thin Qt layer over its logic (ui/logic/dialogs/CreateForm.h).
// Created once with the main window and reused; its captions follow the
// interface language.
#pragma once

#include <QDialog>

#include "ui/logic/dialogs/CreateForm.h"

class QLabel;
class QPushButton;

namespace velmora::ui {

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

}  // namespace velmora::ui
