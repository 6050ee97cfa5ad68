#include "ui/logic/OutputCommands.h"

#include "project/build/BinBuilder.h"
#include "container/io/OutputGuard.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"

namespace velmora::ui {

void OutputCommands::SaveBinFileCommand() {
  const auto path = state_.ChooseFileToSave({kBinFilter, "", state_.SaveBinDialogName()});
  if (!path || !checks_.ConfirmBuild()) return;
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
  if (!output || !checks_.ConfirmBuild()) return;
  saveFileDialogName_ = *output;
  bool statusShown = false, built = false;
  std::string source = state_.Table().SourcePath;
  const bool ownSourceServes = IsSourceSuitable(state_.Table(), source);

  // Other projects of the same module may go into the same loader.
  unitsForm_.Folder = state_.DialogFolder();
  unitsForm_.FormShow(state_.Table(), state_.ProjectPath(), ownSourceServes ? source : "");
  if (!state_.Ui().ShowLoaderUnitsForm(unitsForm_)) return;
  const ProjectList projects = unitsForm_.Projects();

  state_.Guard([&] {
    state_.RefuseOutputOverProject(*output, true);
    std::vector<std::string> inputs = unitsForm_.AddedPaths();
    for (const PhraseTable* p : projects) inputs.push_back(p->SourcePath);
    RefuseOutputOverInputs(*output, inputs);
    if (!ownSourceServes || CheckGroupSource(projects, source) != SourceCheck::Suitable) {
      // The project's own source is gone or differs: the user names it.
      CreateForm& form = state_.SourceForm();
      form.SetSuitableTest([&](const std::string& path) { return CheckGroupSource(projects, path) == SourceCheck::Suitable; });
      struct RestoreTest {
        CreateForm& form;
        const PhraseTable& table;
        ~RestoreTest() {
          form.SetSuitableTest([&t = table](const std::string& path) { return IsSourceSuitable(t, path); });
        }
      } restore{form, state_.Table()};
      form.Folder = state_.DialogFolder();
      form.FormShow();
      if (!state_.Ui().ShowCreateForm(form)) return;
      source = form.ChosenPath();
    }
    RebuildLoader(projects, source, *output, [&](std::string_view t) {
      statusShown = true;
      state_.Ui().ShowStatus(std::string(t));
    });
    built = true;
  });
  FinishOutput(built, statusShown, [&] { return VerifyLoader(projects, *output, source); });
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
