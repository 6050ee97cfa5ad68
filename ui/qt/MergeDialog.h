// The merge dialog: the phrases changed both in the window and in the
// project file on disk, each with the window's and the file's version, and
// the choice between them ("keep mine", "take theirs"), one by one or for
// all.
#pragma once

#include <QDialog>
#include <vector>

#include "ui/logic/Platform.h"

class QTableWidget;

namespace velmora::ui {

class TMergeDialog : public QDialog {
  Q_OBJECT

 public:
  TMergeDialog(const std::vector<ConflictRow>& rows, QWidget* parent);
  // For each row: true to take theirs.
  std::vector<bool> Choices() const;
  void ChooseAll(bool theirs);

 private:
  QTableWidget* table_ = nullptr;
};

}  // namespace velmora::ui
