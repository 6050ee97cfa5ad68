#include "ui/logic/commands/SearchCommands.h"

#include <exception>

namespace velmora::ui {

void SearchCommands::FindEditKeyPress(FindPanel panel, const std::string& typed, char key) {
  if (key == '\r') Find(panel, typed, true);
}

void SearchCommands::FindAgain(bool down) {
  if (!lastSearch_) {
    NotFound();
    return;
  }
  const LastSearch last = *lastSearch_;
  Find(last.Panel, last.Typed, down);
}

void SearchCommands::Find(FindPanel panel, const std::string& typed, bool down) {
  // The typed text becomes bytes through the display code page; a text the
  // code page cannot hold finds nothing.
  std::string key;
  try {
    key = FromUtf8(typed, view_.DisplayCodePage());
  } catch (const std::exception&) {
    key.clear();
  }
  lastSearch_ = LastSearch{panel, typed};
  PhraseGrid& grid = view_.Grid();
  const int selected = grid.SelectedRow();
  const int last = grid.RowCount() - 1;
  auto match = [&](int row) {
    return panel == FindPanel::Origin ? grid.MatchOriginText(key, row) : grid.MatchEditedText(key, row);
  };
  bool found = false;
  if (!key.empty()) {
    if (down) {
      for (int row = selected + 1; row <= last && !found; ++row) found = match(row);
    } else if (selected >= 2) {
      for (int row = selected - 1; row >= 1 && !found; --row) found = match(row);
    }
  }
  if (!found) {
    NotFound();
    return;
  }
  window_.Ui().ShowStatusLine("");
  window_.Notify(kChangedSelection | kChangedMemos);
}

void SearchCommands::NotFound() {
  // The beep alone is easily missed: the status line says it too.
  window_.Ui().Beep();
  window_.Ui().ShowStatusLine(view_.Caption(CaptionId::NotFoundStatusText));
}

}  // namespace velmora::ui
