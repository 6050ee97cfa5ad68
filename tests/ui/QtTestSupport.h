// Helpers for the Qt Test programs on the real window.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>

namespace velmora::ui::testing {

// Acts on the next modal window of type W once it is open (the calls that
// open one do not return until it closes).
template <typename W>
void WhenModal(std::function<void(W*)> act, int tries = 200) {
  QTimer::singleShot(20, [act, tries] {
    if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
      act(w);
      return;
    }
    if (tries > 0) WhenModal<W>(act, tries - 1);
  });
}

// Chooses a file in an open file dialog as a user typing its name would. The
// dialog leaves its name box alone while that box has the focus, so the
// focus is taken from it first.
inline void ChooseFile(QFileDialog* dialog, const QString& path) {
  if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->clearFocus();
  dialog->selectFile(path);
}

}  // namespace velmora::ui::testing
