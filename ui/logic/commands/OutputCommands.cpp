#include "ui/logic/commands/OutputCommands.h"

#include "container/io/OutputGuard.h"
#include "project/build/BinBuilder.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"

namespace velmora::ui {

void OutputCommands::SaveBinFileCommand() {
  const auto path = dialogs_.ChooseToSave({kBinFilter, "", project_.SaveBinDialogName()});
  if (!path || !checks_.ConfirmBuild()) return;
  bool statusShown = false;
  const bool built = window_.Guard([&] {
    project_.RefuseOutputOverProject(*path, true);
    SaveBin(project_.Table(), *path, [&](std::string_view t) {
      statusShown = true;
      window_.Ui().ShowStatus(std::string(t));
    });
  });
  FinishOutput(built, statusShown, [&] { return VerifyBin(project_.Table(), *path); });
}

void OutputCommands::SaveFileCommand() {
  const auto output = dialogs_.ChooseToSave({"", "", saveFileDialogName_});
  if (!output || !checks_.ConfirmBuild()) return;
  saveFileDialogName_ = *output;
  bool statusShown = false, built = false;
  const PhraseTable& table = project_.Table();
  std::string source = table.SourcePath;
  const bool ownSourceServes = IsSourceSuitable(table, source);

  // Other projects of the same module may go into the same loader.
  unitsForm_.Folder = dialogs_.Folder();
  unitsForm_.Prepare(table, project_.Path(), ownSourceServes ? source : "");
  if (!window_.Ui().ShowLoaderUnitsForm(unitsForm_)) return;
  const ProjectList projects = unitsForm_.Projects();

  window_.Guard([&] {
    project_.RefuseOutputOverProject(*output, true);
    std::vector<std::string> inputs = unitsForm_.AddedPaths();
    for (const PhraseTable* p : projects) inputs.push_back(p->SourcePath);
    RefuseOutputOverInputs(*output, inputs);
    if (!ownSourceServes || CheckGroupSource(projects, source) != SourceCheck::Suitable) {
      // The project's own source is gone or differs: the user names it.
      CreateForm& form = sourceForm_;
      form.SetSuitableTest([&](const std::string& path) { return CheckGroupSource(projects, path) == SourceCheck::Suitable; });
      struct RestoreTest {
        CreateForm& form;
        const PhraseTable& table;
        ~RestoreTest() {
          form.SetSuitableTest([&t = table](const std::string& path) { return IsSourceSuitable(t, path); });
        }
      } restore{form, table};
      form.Folder = dialogs_.Folder();
      if (!window_.Ui().ShowCreateForm(form)) return;
      source = form.ChosenPath();
    }
    RebuildLoader(projects, source, *output, [&](std::string_view t) {
      statusShown = true;
      window_.Ui().ShowStatus(std::string(t));
    });
    built = true;
  });
  FinishOutput(built, statusShown, [&] { return VerifyLoader(projects, *output, source); });
}

void OutputCommands::FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify) {
  Platform& ui = window_.Ui();
  // The written file is checked against the project before it goes to the
  // device; the panel then tells what was verified.
  if (built)
    window_.Guard([&] {
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
