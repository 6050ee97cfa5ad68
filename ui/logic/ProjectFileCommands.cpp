#include "ui/logic/ProjectFileCommands.h"

#include "project/verify/RecordDamage.h"
#include "ui/logic/DiskMerge.h"

namespace velmora::ui {

void ProjectFileCommands::OpenProjectCommand() {
  if (!ConfirmUnsavedWork(NextStep::OpenProject)) return;
  const auto path = state_.ChooseFileToOpen({kProjectFilter, "", ""});
  if (path) OpenChosenProject(*path);
}

void ProjectFileCommands::OpenChosenProject(const std::string& path) {
  const std::string before = state_.ProjectPath();
  state_.SetProjectPath(path);
  bool opened = false;
  state_.Guard([&] { opened = OpenProjectFile(path); });
  if (!opened) state_.SetProjectPath(before);
}

bool ProjectFileCommands::OpenProjectFile(const std::string& path) {
  ProjectFiles& files = state_.Files();
  // Another window may show the project; the user decides, before the
  // open project is given up.
  if (files.OpenInOtherWindow(path) && !state_.Ask(AlreadyOpenQuestion(path))) return false;
  // The file is read aside first: when the reader refuses it, its
  // exception ends the command here and the open project stays as it was.
  PhraseTable read;
  files.Open(read, path);
  // The window keeps the project for long: its unit bytes must not depend
  // on a file that others may overwrite meanwhile (analysis/UnitBytes.h).
  read.UnitImage.TakePrivateCopy();
  read.LoadNamesFromInfo();
  state_.ResetProject();
  PhraseTable& table = state_.Table();
  table = std::move(read);

  state_.Grid().SetFilter(GridFilter::NoFilter);
  state_.Grid().RefillGrid();
  state_.ShowProject(path, table.UnitTitle() + ".BIN");
  saveProjectDialogName_ = path;
  state_.SetProjectPath(path);
  state_.HoldProjectFile(path);
  state_.Sync().Remember(table, path);
  state_.Ui().HideStatusNow();
  state_.Notify(kChangedAll);
  state_.FilterBtnClick(GridFilter::NoFilter);
  // A damaged project opens (its texts can still be read and exported), but
  // the user learns before building from it.
  const std::vector<std::string> damage = FindRecordDamage(table);
  if (!damage.empty()) state_.Ui().MessageBox(RecordDamageWarning(damage), Buttons::Ok, BoxKind::Warning);
  return true;
}

bool ProjectFileCommands::SaveProjectCommand() { return SaveProjectTo(state_.ProjectPath()); }

bool ProjectFileCommands::SaveProjectAsCommand() {
  const auto path = state_.ChooseFileToSave({kProjectFilter, kProjectExt, saveProjectDialogName_});
  if (!path) return false;
  if (!SaveProjectTo(*path)) return false;
  state_.SetProjectPath(*path);
  return true;
}

bool ProjectFileCommands::SaveProjectTo(const std::string& path) {
  // Title and flags change only once the file is written: a failed save
  // leaves the title on the file that really holds the project, and the
  // project marked as changed, so closing still asks about it.
  DiskMergeResult merge = DiskMergeResult::Unchanged;
  bool written = false;
  const bool ran = state_.Guard([&] {
    // Saving the open project again is a plain save; only the loader it
    // was made from is out of bounds.
    state_.RefuseOutputOverProject(path, false);
    state_.Table().StoreNamesInInfo();
    // What others wrote to the file since the window loaded or saved it is
    // merged in first, under the same lock as the write.
    written = state_.Files().SaveReconciled(state_.Table(), path, [&] {
      merge = DiskMerge(state_).MergeFromDisk(path);
      return merge == DiskMergeResult::Unchanged || merge == DiskMergeResult::Merged;
    });
    if (!written) return;
    state_.ProjectSaved(path);
    state_.Sync().Remember(state_.Table(), path);
  });
  if (!ran || written) return ran && written;
  if ((merge == DiskMergeResult::Gone || merge == DiskMergeResult::NotAProject) &&
      state_.Ask(DiskProblemQuestion(merge, path)))
    return SaveProjectAsCommand();
  return false;
}

void ProjectFileCommands::WindowActivated() {
  if (activating_ || !state_.HasProjectFile()) return;
  activating_ = true;
  state_.Guard([&] {
    const DiskMergeResult r = DiskMerge(state_).MergeFromDisk(state_.ProjectPath());
    if (r == DiskMergeResult::Gone || r == DiskMergeResult::NotAProject) {
      // Said once: the window stops watching until the project is saved.
      state_.Sync().Forget();
      state_.MarkModified();
      state_.Ui().MessageBox(r == DiskMergeResult::Gone
                                 ? "The project file \"" + state_.ProjectPath() + "\" is gone. Save the project to keep it."
                                 : "The file \"" + state_.ProjectPath() +
                                       "\" is no longer this project. Save the project under another name to keep it.",
                             Buttons::Ok, BoxKind::Warning);
    }
  });
  activating_ = false;
}

bool ProjectFileCommands::ConfirmUnsavedWork(NextStep next) {
  const bool hasFile = state_.HasProjectFile();
  const std::optional<std::string> question =
      UnsavedWorkQuestion({state_.Modified(), hasFile, state_.ProjectOpen()}, next,
                          [this](CaptionId id) -> const std::string& { return state_.Caption(id); });
  if (!question) return true;
  const Answer a = state_.Ui().MessageBox(*question, Buttons::YesNoCancel, BoxKind::Question);
  if (a == Answer::No) return true;
  if (a != Answer::Yes) return false;
  // Only a completed save lets the command go on.
  return hasFile ? SaveProjectCommand() : SaveProjectAsCommand();
}

}  // namespace velmora::ui
