#include "ui/logic/commands/ViewCommands.h"

namespace velmora::ui {

void ViewCommands::ApplyLanguage(UiLanguage lang) {
  const unsigned what = view_.ApplyLanguage(lang);
  sourceForm_.UnsuitableText = view_.Caption(CaptionId::LoaderUnsuitableText);
  window_.Notify(what);
}

void ViewCommands::CodePageMenuItemClick(int tag) {
  if (tag < 0 || tag >= kCodePageCount) return;
  window_.Notify(view_.ChooseCodePage(static_cast<CodePage>(tag)));
}

}  // namespace velmora::ui
