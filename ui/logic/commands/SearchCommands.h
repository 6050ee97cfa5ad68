// Search from the two find panels over the grid's header row: one step down
// or up from the selected row for the typed text in the panel's column; a
// beep (and "Not found", in the interface language, in the status line) when nothing is found.
#pragma once

#include <optional>
#include <string>

#include "ui/logic/MainWindow.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

// The two find panels over the grid's header row.
enum class FindPanel { Origin = 1, Edited = 2 };

class SearchCommands {
 public:
  SearchCommands(MainWindow& window, Presentation& view) : window_(window), view_(view) {}

  // One step down or up from the selected row for typed (UTF-8, turned
  // into bytes through the display code page) in the panel's column.
  void Find(FindPanel panel, const std::string& typed, bool down);
  // The find panels' buttons; Enter in a search box searches down.
  void FindDownBtnClick(FindPanel panel, const std::string& typed) { Find(panel, typed, true); }
  void FindUpBtnClick(FindPanel panel, const std::string& typed) { Find(panel, typed, false); }
  void FindEditKeyPress(FindPanel panel, const std::string& typed, char key);
  // F3 and Shift+F3: the last search once more, down or up. Without an
  // earlier search nothing is found.
  void FindAgain(bool down);

 private:
  void NotFound();

  MainWindow& window_;
  Presentation& view_;
  struct LastSearch {
    FindPanel Panel;
    std::string Typed;
  };
  std::optional<LastSearch> lastSearch_;
};

}  // namespace velmora::ui
