#include "ui/logic/commands/ProjectFileCommands.h"

#include "project/verify/RecordDamage.h"
#include "ui/logic/commands/DiskMerge.h"
#include "ui/logic/state/ResetProject.h"

namespace velmora::ui {

void ProjectFileCommands::OpenProjectCommand() {
  if (!ConfirmUnsavedWork(NextStep::OpenProject)) return;
  const auto path = dialogs_.ChooseToOpen({kProjectFilter, "", ""});
  if (path) OpenChosenProject(*path);
}

void ProjectFileCommands::OpenChosenProject(const std::string& path) {
  const std::string before = project_.Path();
  project_.SetPath(path);
  bool opened = false;
  window_.Guard([&] { opened = OpenProjectFile(path); });
  if (!opened) project_.SetPath(before);
}

bool ProjectFileCommands::OpenProjectFile(const std::string& path) {
  ProjectFiles& files = project_.Files();
  // Another window may show the project; the user decides, before the
  // open project is given up.
  if (files.OpenInOtherWindow(path) && !window_.Ask(AlreadyOpenQuestion(path))) return false;
  // The file is read aside first: when the reader refuses it, its
  // exception ends the command here and the open project stays as it was.
  PhraseTable read;
  files.Open(read, path);
  // The window keeps the project for long: its unit bytes must not depend
  // on a file that others may overwrite meanwhile (analysis/UnitBytes.h).
  read.UnitImage.TakePrivateCopy();
  read.LoadNamesFromInfo();
  window_.Notify(ResetProject(project_, view_));
  PhraseTable& table = project_.Table();
  table = std::move(read);

  view_.Grid().SetFilter(GridFilter::NoFilter);
  view_.Grid().RefillGrid();
  window_.Notify(project_.Show(path, table.UnitTitle() + ".BIN"));
  saveProjectDialogName_ = path;
  project_.SetPath(path);
  project_.HoldFile(path);
  project_.Sync().Remember(table, path);
  window_.Ui().HideStatusNow();
  window_.Notify(kChangedAll);
  window_.Notify(view_.ShowFilter(GridFilter::NoFilter));
  // A damaged project opens (its texts can still be read and exported), but
  // the user learns before building from it.
  const std::vector<std::string> damage = FindRecordDamage(table);
  if (!damage.empty()) window_.Ui().MessageBox(RecordDamageWarning(damage), Buttons::Ok, BoxKind::Warning);
  return true;
}

bool ProjectFileCommands::SaveProjectCommand() { return SaveProjectTo(project_.Path()); }

bool ProjectFileCommands::SaveProjectAsCommand() {
  const auto path = dialogs_.ChooseToSave({kProjectFilter, kProjectExt, saveProjectDialogName_});
  if (!path) return false;
  if (!SaveProjectTo(*path)) return false;
  project_.SetPath(*path);
  return true;
}

bool ProjectFileCommands::SaveProjectTo(const std::string& path) {
  // Title and flags change only once the file is written: a failed save
  // leaves the title on the file that really holds the project, and the
  // project marked as changed, so closing still asks about it.
  DiskMergeResult merge = DiskMergeResult::Unchanged;
  bool written = false;
  const bool ran = window_.Guard([&] {
    // Saving the open project again is a plain save; only the loader it
    // was made from is out of bounds.
    project_.RefuseOutputOverProject(path, false);
    project_.Table().StoreNamesInInfo();
    // What others wrote to the file since the window loaded or saved it is
    // merged in first, under the same lock as the write.
    written = project_.Files().SaveReconciled(project_.Table(), path, [&] {
      merge = DiskMerge(window_, project_, view_).MergeFromDisk(path);
      return merge == DiskMergeResult::Unchanged || merge == DiskMergeResult::Merged;
    });
    if (!written) return;
    window_.Notify(project_.Saved(path));
    project_.Sync().Remember(project_.Table(), path);
  });
  if (!ran || written) return ran && written;
  if ((merge == DiskMergeResult::Gone || merge == DiskMergeResult::NotAProject) &&
      window_.Ask(DiskProblemQuestion(merge, path)))
    return SaveProjectAsCommand();
  return false;
}

void ProjectFileCommands::WindowActivated() {
  if (activating_ || !project_.HasProjectFile()) return;
  activating_ = true;
  window_.Guard([&] {
    const DiskMergeResult r = DiskMerge(window_, project_, view_).MergeFromDisk(project_.Path());
    if (r == DiskMergeResult::Gone || r == DiskMergeResult::NotAProject) {
      // Said once: the window stops watching until the project is saved.
      project_.Sync().Forget();
      window_.Notify(project_.MarkModified());
      window_.Ui().MessageBox(r == DiskMergeResult::Gone
                                  ? "The project file \"" + project_.Path() + "\" is gone. Save the project to keep it."
                                  : "The file \"" + project_.Path() +
                                        "\" is no longer this project. Save the project under another name to keep it.",
                              Buttons::Ok, BoxKind::Warning);
    }
  });
  activating_ = false;
}

bool ProjectFileCommands::ConfirmUnsavedWork(NextStep next) {
  const bool hasFile = project_.HasProjectFile();
  const std::optional<std::string> question =
      UnsavedWorkQuestion({project_.Modified(), hasFile, project_.IsOpen()}, next,
                          [this](CaptionId id) -> const std::string& { return view_.Caption(id); });
  if (!question) return true;
  const Answer a = window_.Ui().MessageBox(*question, Buttons::YesNoCancel, BoxKind::Question);
  if (a == Answer::No) return true;
  if (a != Answer::Yes) return false;
  // Only a completed save lets the command go on.
  return hasFile ? SaveProjectCommand() : SaveProjectAsCommand();
}

}  // namespace velmora::ui
