#include "ui/logic/MainWindow.h"

#include <exception>

namespace velmora::ui {

MainWindow::MainWindow(Platform& platform)
    : platform_(platform),
      earlierNotice_(SetFolderSyncNotice([this](const std::string& note) {
        platform_.ShowStatusNote("Warning: " + note);
      })) {}

MainWindow::~MainWindow() { SetFolderSyncNotice(std::move(earlierNotice_)); }

bool MainWindow::Guard(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    Notify(kChangedAll);
    platform_.MessageBox(e.what(), Buttons::Ok, BoxKind::Error);
    return false;
  }
}

bool MainWindow::Ask(const std::string& question) {
  return platform_.MessageBox(question, Buttons::YesNo, BoxKind::Question) == Answer::Yes;
}

}  // namespace velmora::ui
