#include "ui/qt/ProblemsPanel.h"

#include <QListWidget>

#include "ui/qt/QtText.h"

namespace velmora::ui {

TProblemsPanel::TProblemsPanel(CheckCommands& checks, QWidget* parent) : QDockWidget(parent), checks_(checks) {
  setObjectName("ProblemsPanel");
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  list_ = new QListWidget(this);
  list_->setObjectName("ProblemsList");
  setWidget(list_);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { checks_.SelectProblem(static_cast<size_t>(list_->row(item))); });
}

void TProblemsPanel::Refresh() {
  list_->clear();
  const auto& problems = checks_.Problems();
  const auto lines = checks_.ProblemLines();
  for (size_t k = 0; k < lines.size(); ++k) {
    auto* item = new QListWidgetItem(Q(lines[k]), list_);
    if (problems[k].Level == Severity::Error) item->setForeground(QColor(0xB0, 0, 0));
  }
}

}  // namespace velmora::ui
