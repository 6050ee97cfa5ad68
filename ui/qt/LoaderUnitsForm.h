// TLoaderUnitsForm: the dialog of Save LOADING.KWI that lists the projects
// whose units go into the new loader, with Add and Remove; a thin Qt layer
// over its logic (ui/logic/dialogs/LoaderUnitsForm.h). Created once with the main
// window and reused; its captions follow the interface language.
#pragma once

#include <QDialog>

#include "ui/logic/dialogs/LoaderUnitsForm.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::ui {

class TLoaderUnitsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLoaderUnitsForm(QWidget* parent);
  void SetCaptions(const QString& caption, const QString& label, const QString& add, const QString& remove,
                   const QString& ok, const QString& cancel);
  // Shows the dialog over the logic the command has opened; true for OK.
  bool Run(LoaderUnitsForm& logic);

 private:
  void Refill();

  LoaderUnitsForm* logic_ = nullptr;
  QLabel* label_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* addBtn_ = nullptr;
  QPushButton* removeBtn_ = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
};

}  // namespace velmora::ui
