// The output commands: "Save .BIN file As ..." and "Save LOADING.KWI As
// ...". Each writes the translated unit (a loader also those of the other
// projects added in its units dialog), checks the written file against the
// projects, and tells the result in the status panel.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "project/verify/Verify.h"
#include "ui/logic/CheckCommands.h"
#include "ui/logic/LoaderUnitsForm.h"
#include "ui/logic/WindowState.h"

namespace velmora::ui {

// How many problems of a written file the error box lists.
constexpr size_t kProblemsInErrorBox = 10;

class OutputCommands {
 public:
  // Before writing, each command runs the checks and asks before it builds
  // over errors.
  OutputCommands(WindowState& state, CheckCommands& checks)
      : state_(state), checks_(checks), unitsForm_(state.Ui(), state.Files()) {}

  void SaveFileCommand();
  void SaveBinFileCommand();

  // Preset name of the Save LOADING.KWI dialog: "LOADING.KWI", then the
  // path chosen last.
  const std::string& SaveFileDialogName() const { return saveFileDialogName_; }

 private:
  // After an output command: verifies the written file when it was built,
  // shows the result, and hides the status panel later when it was shown.
  void FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify);

  WindowState& state_;
  CheckCommands& checks_;
  std::string saveFileDialogName_ = kDefaultLoaderName;
  // The loader's units dialog: which other projects go into the loader.
  LoaderUnitsForm unitsForm_;
};

}  // namespace velmora::ui
