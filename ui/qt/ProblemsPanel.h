// The Problems list: a dock under the grid that lists what the checks found,
// one line a problem; a double click selects the problem's phrase.
#pragma once

#include <QDockWidget>

#include "ui/logic/commands/CheckCommands.h"

class QListWidget;

namespace velmora::ui {

class TProblemsPanel : public QDockWidget {
  Q_OBJECT

 public:
  TProblemsPanel(CheckCommands& checks, QWidget* parent);
  // Fills the list from the last check.
  void Refresh();
  QListWidget* List() const { return list_; }

 private:
  CheckCommands& checks_;
  QListWidget* list_ = nullptr;
};

}  // namespace velmora::ui
