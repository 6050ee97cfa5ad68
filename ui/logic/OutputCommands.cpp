#include "ui/logic/OutputCommands.h"

#include "project/build/BinBuilder.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"

namespace velmora::ui {

void OutputCommands::SaveBinFileCommand() {
  const auto path = state_.ChooseFileToSave({kBinFilter, "", state_.SaveBinDialogName()});
  if (!path) return;
  bool statusShown = false;
  const bool built = state_.Guard([&] {
    state_.RefuseOutputOverProject(*path, true);
    SaveBin(state_.Table(), *path, [&](std::string_view t) {
      statusShown = true;
      state_.Ui().ShowStatus(std::string(t));
    });
  });
  FinishOutput(built, statusShown, [&] { return VerifyBin(state_.Table(), *path); });
}

void OutputCommands::SaveFileCommand() {
  const auto output = state_.ChooseFileToSave({"", "", saveFileDialogName_});
  if (!output) return;
  saveFileDialogName_ = *output;
  bool statusShown = false, built = false;
  std::string source = state_.Table().SourcePath;
  state_.Guard([&] {
    state_.RefuseOutputOverProject(*output, true);
    if (!IsSourceSuitable(state_.Table(), source)) {
      // The project's own source is gone or differs: the user names it.
      CreateForm& form = state_.SourceForm();
      form.Folder = state_.DialogFolder();
      form.FormShow();
      if (!state_.Ui().ShowCreateForm(form)) return;
      source = form.ChosenPath();
    }
    RebuildLoader(state_.Table(), source, *output, [&](std::string_view t) {
      statusShown = true;
      state_.Ui().ShowStatus(std::string(t));
    });
    built = true;
  });
  FinishOutput(built, statusShown, [&] { return VerifyLoader(state_.Table(), *output, source); });
}

void OutputCommands::FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify) {
  Platform& ui = state_.Ui();
  // The written file is checked against the project before it goes to the
  // device; the panel then tells what was verified.
  if (built)
    state_.Guard([&] {
      const VerifyResult result = verify();
      // The panel goes after a second; the status line keeps the result
      // until the next command.
      if (result.Clean()) {
        ui.ShowStatus(VerifiedStatusText(result));
        ui.ShowStatusLine(VerifiedStatusText(result));
      } else {
        ui.ShowStatus(std::string(kVerifyFailedText));
        ui.ShowStatusLine(std::string(kVerifyFailedText));
        ui.MessageBox(ProblemsMessage(result, kProblemsInErrorBox), Buttons::Ok, BoxKind::Error);
      }
    });
  if (statusShown) ui.HideStatusLater();
}

}  // namespace velmora::ui
