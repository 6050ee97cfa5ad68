// The view's choices: the four filter buttons, the Language menu and the
// Code Page menu. Each handler makes its choice through the presentation
// (state/Presentation.h); the language also reaches the source dialog's
// warning.
#pragma once

#include "ui/logic/MainWindow.h"
#include "ui/logic/dialogs/CreateForm.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

class ViewCommands {
 public:
  ViewCommands(MainWindow& window, Presentation& view, CreateForm& sourceForm)
      : window_(window), view_(view), sourceForm_(sourceForm) {}

  // Every caption of the window and its dialogs in lang.
  void ApplyLanguage(UiLanguage lang);

  void FilterBtnClick(GridFilter filter) { window_.Notify(view_.ShowFilter(filter)); }
  void EngMenuItemClick() { ApplyLanguage(UiLanguage::English); }
  void RusMenuItemClick() { ApplyLanguage(UiLanguage::Russian); }
  // tag: the code page's menu position (CodePage value).
  void CodePageMenuItemClick(int tag);

 private:
  MainWindow& window_;
  Presentation& view_;
  CreateForm& sourceForm_;
};

}  // namespace velmora::ui
