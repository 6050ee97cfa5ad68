// The file dialogs of the window's commands: their fixed set-ups, and the
// folder they open in (the open project file's, else the folder of the
// LOADING.KWI or .BIN the project was made from, else the folder of the
// file chosen last).
#pragma once

#include <optional>
#include <string>

#include "ui/logic/Platform.h"
#include "ui/logic/state/ProjectState.h"

namespace velmora::ui {

inline const std::string kProjectFilter = "Loading Translation Project|*.vmprj";
inline const std::string kProjectExt = "vmprj";
inline const std::string kDefaultProjectName = "Project1.vmprj";
inline const std::string kBinFilter = "Binary Loading Unit|*.BIN";
inline const std::string kDefaultBinName = "APM.BIN";
inline const std::string kDefaultLoaderName = "LOADING.KWI";
inline const std::string kLoaderFilter = "LOADING.KWI|LOADING.KWI";

class FileDialogs {
 public:
  FileDialogs(Platform& platform, const ProjectState& project) : platform_(platform), project_(project) {}

  // The folder the dialogs open in.
  std::string Folder() const;
  // The dialogs, opening in Folder(); the chosen file's folder becomes the
  // one used when no project is open.
  std::optional<std::string> ChooseToOpen(FileDialogRequest request);
  std::optional<std::string> ChooseToSave(FileDialogRequest request);

 private:
  Platform& platform_;
  const ProjectState& project_;
  std::string lastFolder_;
};

}  // namespace velmora::ui
