#include "ui/logic/dialogs/CreateForm.h"

#include "ui/logic/dialogs/FileDialogs.h"

namespace velmora::ui {

bool CreateForm::OpenSourceBtnClick() {
  FileDialogRequest desc{kLoaderFilter, "", ""};
  desc.MustExist = true;
  desc.Folder = Folder;
  const auto path = platform_.OpenFileDialog(desc);
  if (!path) return false;
  if (suitable_ && suitable_(*path)) {
    chosen_ = *path;
    return true;
  }
  platform_.MessageBox(*path + "\r\n" + UnsuitableText, Buttons::Ok, BoxKind::Warning);
  return false;
}

}  // namespace velmora::ui
