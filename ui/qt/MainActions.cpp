#include "ui/qt/MainActions.h"

namespace velmora::ui {

namespace {

using C = CaptionId;
using P = ActionPlace;

ShellController& S(ActionHost& host) { return host.Shell(); }

}  // namespace

const std::vector<MainAction>& MainActions() {
  static const std::vector<MainAction> kActions = {
      // ---- File menu
      {.Name = "OpenProjectItem", .Place = P::FileMenu, .Caption = C::OpenProjectItemCaption, .Shortcuts = "Ctrl+O",
       .Icon = "open", .Run = [](ActionHost& h) { S(h).ProjectFile().OpenProjectCommand(); }},
      {.Name = "OpenFileItem", .Place = P::FileMenu, .Caption = C::OpenFileItemCaption,
       .Run = [](ActionHost& h) { S(h).Creation().OpenFileCommand(); }},
      {.Name = "OpenBinFileItem", .Place = P::FileMenu, .Caption = C::OpenBinFileItemCaption,
       .Run = [](ActionHost& h) { S(h).Creation().OpenBinFileCommand(); }},
      {.Name = "TakeTranslationsItem", .Place = P::FileMenu, .SeparatorBefore = true,
       .Caption = C::TakeTranslationsItemCaption, .Run = [](ActionHost& h) { S(h).Exchange().TakeTranslationsCommand(); },
       // Translations are taken into an open project, as soon as one exists.
       .EnabledBy = &CommandStates::SaveProjectAs},
      {.Name = "SaveProjectItem", .Place = P::FileMenu, .SeparatorBefore = true, .Caption = C::SaveProjectItemCaption,
       .Shortcuts = "Ctrl+S", .Icon = "save", .Run = [](ActionHost& h) { S(h).ProjectFile().SaveProjectCommand(); },
       .EnabledBy = &CommandStates::SaveProject},
      {.Name = "SaveProjectAsItem", .Place = P::FileMenu, .Caption = C::SaveProjectAsItemCaption,
       .Shortcuts = "Ctrl+Shift+S", .Run = [](ActionHost& h) { S(h).ProjectFile().SaveProjectAsCommand(); },
       .EnabledBy = &CommandStates::SaveProjectAs, .StandsInFor = "SaveProjectItem"},
      {.Name = "SaveFileItem", .Place = P::FileMenu, .SeparatorBefore = true, .Caption = C::SaveFileItemCaption,
       .Run = [](ActionHost& h) { S(h).Output().SaveFileCommand(); }, .EnabledBy = &CommandStates::SaveFile},
      {.Name = "SaveBinFileItem", .Place = P::FileMenu, .Caption = C::SaveBinFileItemCaption,
       .Run = [](ActionHost& h) { S(h).Output().SaveBinFileCommand(); }, .EnabledBy = &CommandStates::SaveBinFile},
      {.Name = "ExitItem", .Place = P::FileMenu, .SeparatorBefore = true, .Caption = C::ExitItemCaption,
       .Run = [](ActionHost& h) { h.CloseWindow(); }},

      // ---- Edit menu (also the grid's context menu)
      {.Name = "UndoMenuItem", .Place = P::EditMenu, .Caption = C::UndoMenuItemCaption, .Shortcuts = "Ctrl+Z",
       .Run = [](ActionHost& h) { S(h).Undo().UndoCommand(); }, .EnabledBy = &CommandStates::Undo},
      {.Name = "RedoMenuItem", .Place = P::EditMenu, .Caption = C::RedoMenuItemCaption,
       .Shortcuts = "Ctrl+Y; Ctrl+Shift+Z", .Run = [](ActionHost& h) { S(h).Undo().RedoCommand(); },
       .EnabledBy = &CommandStates::Redo},
      {.Name = "CopyMenuItem", .Place = P::EditMenu, .SeparatorBefore = true, .Caption = C::CopyMenuItemCaption,
       .Shortcuts = "Ctrl+C", .Run = [](ActionHost& h) { S(h).Exchange().CopyCommand(); }},
      // Copy All has captions but no action.
      {.Name = "CopyAllMenuItem", .Place = P::EditMenu, .Caption = C::CopyAllMenuItemCaption},
      {.Name = "ExportMenuItem", .Place = P::EditMenu, .SeparatorBefore = true, .Caption = C::ExportMenuItemCaption,
       .Run = [](ActionHost& h) { S(h).Exchange().ExportCommand(); }},
      {.Name = "ImportMenuItem", .Place = P::EditMenu, .Caption = C::ImportMenuItemCaption,
       .Run = [](ActionHost& h) { S(h).Exchange().ImportCommand(); }},
      {.Name = "FindOriginMenuItem", .Place = P::EditMenu, .SeparatorBefore = true,
       .Caption = C::FindOriginMenuItemCaption, .Shortcuts = "Ctrl+F",
       .Run = [](ActionHost& h) { h.FocusFindBox(FindPanel::Origin); }},
      {.Name = "FindEditedMenuItem", .Place = P::EditMenu, .Caption = C::FindEditedMenuItemCaption,
       .Shortcuts = "Ctrl+Shift+F", .Run = [](ActionHost& h) { h.FocusFindBox(FindPanel::Edited); }},
      {.Name = "FindNextMenuItem", .Place = P::EditMenu, .Caption = C::FindNextMenuItemCaption, .Shortcuts = "F3",
       .Run = [](ActionHost& h) { h.FindAgain(true); }},
      {.Name = "FindPreviousMenuItem", .Place = P::EditMenu, .Caption = C::FindPreviousMenuItemCaption,
       .Shortcuts = "Shift+F3", .Run = [](ActionHost& h) { h.FindAgain(false); }},
      {.Name = "ToggleHideMenuItem", .Place = P::EditMenu, .SeparatorBefore = true,
       .Caption = C::ToggleHideMenuItemCaption, .Shortcuts = "Ctrl+H", .GridOnly = true,
       .Run = [](ActionHost& h) { S(h).GridEvents().ToggleHideCommand(); }},
      {.Name = "ToggleOnMenuItem", .Place = P::EditMenu, .Caption = C::ToggleOnMenuItemCaption, .Shortcuts = "Space",
       .GridOnly = true, .Run = [](ActionHost& h) { S(h).GridEvents().ToggleOnCommand(); }},
      {.Name = "CheckMenuItem", .Place = P::EditMenu, .SeparatorBefore = true, .Caption = C::CheckMenuItemCaption,
       .Shortcuts = "F7", .Run = [](ActionHost& h) { h.ShowProblems(); }},
      {.Name = "CharsetMenuItem", .Place = P::EditMenu, .Caption = C::CharsetMenuItemCaption,
       .Run = [](ActionHost& h) { S(h).Checks().LoadCharsetCommand(); }},

      // ---- Code Page menu: one handler, the entry's code page its tag
      {.Name = "DefaultMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Default},
      {.Name = "WestEuropeMenuItem", .Place = P::CodePageMenu, .SeparatorBefore = true, .Page = CodePage::WestEurope},
      {.Name = "EastEuropeMenuItem", .Place = P::CodePageMenu, .Page = CodePage::EastEurope},
      {.Name = "GreekMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Greek},
      {.Name = "TurkishMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Turkish},
      {.Name = "BalticMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Baltic},
      {.Name = "ArabicMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Arabic},
      {.Name = "RussianMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Russian},
      {.Name = "JapanMenuItem", .Place = P::CodePageMenu, .Page = CodePage::Japanese},

      // ---- Language menu: each entry in its own language
      {.Name = "EngMenuItem", .Place = P::LanguageMenu, .FixedCaption = kEnglishMenuCaption,
       .Run = [](ActionHost& h) { S(h).ViewChoices().EngMenuItemClick(); }},
      {.Name = "RusMenuItem", .Place = P::LanguageMenu, .FixedCaption = kRussianMenuCaption,
       .Run = [](ActionHost& h) { S(h).ViewChoices().RusMenuItemClick(); }},

      // ---- Help menu
      {.Name = "HelpItem", .Place = P::HelpMenu, .Caption = C::HelpItemCaption, .Shortcuts = "F1",
       .Run = [](ActionHost& h) { h.ShowHelp(); }},

      // ---- Tool bar, left to right
      {.Name = "FileToolButton", .Place = P::ToolBar, .Caption = C::FileToolButtonCaption, .Icon = "file",
       .Drops = P::FileMenu},
      {.Name = "EditToolButton", .Place = P::ToolBar, .Caption = C::EditToolButtonCaption, .Icon = "edit",
       .Drops = P::EditMenu},
      {.Name = "OpenProjectToolBtn", .Place = P::ToolBar, .Caption = C::OpenProjectToolBtnCaption, .Icon = "open",
       .Run = [](ActionHost& h) { S(h).ProjectFile().OpenProjectCommand(); }},
      {.Name = "SaveProjectToolBtn", .Place = P::ToolBar, .Caption = C::SaveProjectToolBtnCaption, .Icon = "save",
       .Run = [](ActionHost& h) { S(h).ProjectFile().SaveProjectCommand(); }, .EnabledBy = &CommandStates::SaveProject},
      {.Name = "CodePageToolBtn", .Place = P::ToolBar, .Caption = C::CodePageToolBtnCaption, .Icon = "codepage",
       .Drops = P::CodePageMenu},
      {.Name = "NoFilterToolButton", .Place = P::ToolBar, .SeparatorBefore = true,
       .Caption = C::NoFilterToolButtonCaption, .Tooltip = C::NoFilterToolButtonHint, .Icon = "nofilter",
       .Filter = GridFilter::NoFilter},
      {.Name = "NoHiddenToolButton", .Place = P::ToolBar, .Caption = C::NoHiddenToolButtonCaption,
       .Tooltip = C::NoHiddenToolButtonHint, .Icon = "nohidden", .Filter = GridFilter::NoHidden},
      {.Name = "OnlyEditedToolButton", .Place = P::ToolBar, .Caption = C::OnlyEditedToolButtonCaption,
       .Tooltip = C::OnlyEditedToolButtonHint, .Icon = "onlyedited", .Filter = GridFilter::OnlyEdited},
      {.Name = "ResultToolButton", .Place = P::ToolBar, .Caption = C::ResultToolButtonCaption,
       .Tooltip = C::ResultToolButtonHint, .Icon = "result", .Filter = GridFilter::FinalResult},
      {.Name = "LanguageToolBtn", .Place = P::ToolBar, .SeparatorBefore = true, .Caption = C::LanguageToolBtnCaption,
       .Icon = "language", .Drops = P::LanguageMenu},
      // The help exists only as its tooltip.
      {.Name = "HelpToolBtn", .Place = P::ToolBar, .Caption = C::HelpToolBtnCaption, .Tooltip = C::HelpToolBtnHint,
       .Icon = "help"},
  };
  return kActions;
}

const std::vector<MainMenu>& MainMenus() {
  static const std::vector<MainMenu> kMenus = {
      {P::FileMenu, C::FileMenuTitle},         {P::EditMenu, C::EditMenuTitle},
      {P::CodePageMenu, C::CodePageMenuTitle}, {P::LanguageMenu, C::LanguageMenuTitle},
      {P::HelpMenu, C::HelpMenuTitle},
  };
  return kMenus;
}

const char* MenuName(ActionPlace menu) {
  switch (menu) {
    case ActionPlace::FileMenu: return "FilePopupMenu";
    case ActionPlace::EditMenu: return "EditPopupMenu";
    case ActionPlace::CodePageMenu: return "CodePagePopupMenu";
    case ActionPlace::LanguageMenu: return "LanguagePopupMenu";
    case ActionPlace::HelpMenu: return "HelpPopupMenu";
    case ActionPlace::ToolBar: break;
  }
  return "";
}

}  // namespace velmora::ui
