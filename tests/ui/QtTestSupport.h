// Helpers for the Qt Test programs on the real window.
#pragma once

#include <QApplication>
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

}  // namespace velmora::ui::testing
