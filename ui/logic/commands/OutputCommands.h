// The output commands: "Save .BIN file As ..." and "Save LOADING.KWI As
// ...". Each writes the translated unit (a loader also those of the other
// projects added in its units dialog), checks the written file against the
// projects, and tells the result in the status panel.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "project/verify/Verify.h"
#include "ui/logic/MainWindow.h"
#include "ui/logic/commands/CheckCommands.h"
#include "ui/logic/dialogs/CreateForm.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/dialogs/LoaderUnitsForm.h"
#include "ui/logic/state/ProjectState.h"

namespace velmora::ui {

// How many problems of a written file the error box lists.
constexpr size_t kProblemsInErrorBox = 10;

class OutputCommands {
 public:
  // Before writing, each command runs the checks and asks before it builds
  // over errors. A loader's other units come from unitsForm; sourceForm
  // asks for the source loader when the project's own does not serve.
  OutputCommands(MainWindow& window, const ProjectState& project, FileDialogs& dialogs, LoaderUnitsForm& unitsForm,
                 CreateForm& sourceForm, CheckCommands& checks)
      : window_(window),
        project_(project),
        dialogs_(dialogs),
        unitsForm_(unitsForm),
        sourceForm_(sourceForm),
        checks_(checks) {}

  void SaveFileCommand();
  void SaveBinFileCommand();

  // Preset name of the Save LOADING.KWI dialog: "LOADING.KWI", then the
  // path chosen last.
  const std::string& SaveFileDialogName() const { return saveFileDialogName_; }

 private:
  // After an output command: verifies the written file when it was built,
  // shows the result, and hides the status panel later when it was shown.
  void FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify);

  MainWindow& window_;
  const ProjectState& project_;
  FileDialogs& dialogs_;
  LoaderUnitsForm& unitsForm_;
  CreateForm& sourceForm_;
  CheckCommands& checks_;
  std::string saveFileDialogName_ = kDefaultLoaderName;
};

}  // namespace velmora::ui
