// The main window's actions as data: every menu item and tool-bar button,
// with its name, place, caption, tooltip, shortcuts, icon, handler and the
// command that enables it. The window builds its four menus and its tool
// bar from this one table, in its order, and sets captions, tooltips and
// enabled states by it; a new action, shortcut or menu is a new row.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/Filters.h"
#include "project/text/CodePages.h"
#include "ui/logic/words/CaptionTables.h"
#include "ui/logic/commands/SearchCommands.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {

// What the actions run on: the window's logic and the few commands that are
// the window's own.
class ActionHost {
 public:
  virtual ~ActionHost() = default;
  virtual ShellController& Shell() = 0;
  // Closes the window as its close box does.
  virtual void CloseWindow() = 0;
  // Shows the help on the grid's columns.
  virtual void ShowHelp() = 0;
  // Puts the focus into a find box, its text selected.
  virtual void FocusFindBox(FindPanel panel) = 0;
  // In a search box, searches for what it holds; elsewhere the last search
  // runs once more.
  virtual void FindAgain(bool down) = 0;
  // Checks the translations and shows the Problems list.
  virtual void ShowProblems() = 0;
};

// Where an action stands: in one of the menus, or on the tool bar as a
// button.
enum class ActionPlace { FileMenu, EditMenu, CodePageMenu, LanguageMenu, HelpMenu, ToolBar };
constexpr size_t kMenuCount = static_cast<size_t>(ActionPlace::ToolBar);

struct MainAction {
  const char* Name;  // the control's name
  ActionPlace Place;
  // A separator stands before it (a 21-pixel one on the tool bar).
  bool SeparatorBefore = false;
  // Its caption in the interface language, or one that keeps its form.
  std::optional<CaptionId> Caption{};
  std::string_view FixedCaption{};
  std::optional<CaptionId> Tooltip{};
  // Key sequences in Qt's portable form, separated by "; " ("Ctrl+Y;
  // Ctrl+Shift+Z"); they work wherever the focus is in the window.
  const char* Shortcuts = "";
  // The shortcuts work only while the grid has the focus: keys that other
  // controls use for themselves (Space presses a button).
  bool GridOnly = false;
  // The picture ":/art/icons/<Icon>.png"; none when null.
  const char* Icon = nullptr;
  // What it does; nothing when null.
  void (*Run)(ActionHost&) = nullptr;
  // The command whose state enables it; always enabled when null.
  bool CommandStates::*EnabledBy = nullptr;
  // The name of a row whose shortcuts this one takes while that row is
  // disabled: Ctrl+S saves a project that has no file yet through Save As.
  const char* StandsInFor = nullptr;
  // A tool button that drops a menu down.
  std::optional<ActionPlace> Drops{};
  // One of the four filter toggles (FilterBtnClick): exactly one is down.
  std::optional<GridFilter> Filter{};
  // One of the radio entries of the Code Page menu (CodePageMenuItemClick);
  // its caption is the code page's own.
  std::optional<CodePage> Page{};
};

// Every action, menus first, in the order they are shown.
const std::vector<MainAction>& MainActions();

// A menu of the menu bar: its place and its title with the mnemonic.
struct MainMenu {
  ActionPlace Place;
  CaptionId Title;
};

// The menu bar, left to right.
const std::vector<MainMenu>& MainMenus();

// The menus' names.
const char* MenuName(ActionPlace menu);

}  // namespace velmora::ui
