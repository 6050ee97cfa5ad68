#include "ui/logic/commands/DiskMerge.h"

#include "project/file/PhraseMerge.h"

namespace velmora::ui {

namespace {

std::string Shown(const Presentation& view, const PhraseVersion& v) {
  std::string s = v.HasText ? view.DisplayText(v.Text) : "(no translation)";
  if (v.Flags & pfOn) s += "  [ON]";
  if (v.Flags & pfHide) s += "  [HIDE]";
  return s;
}

}  // namespace

std::string DiskProblemQuestion(DiskMergeResult result, const std::string& path) {
  const std::string what = result == DiskMergeResult::Gone
                               ? "The project file \"" + path + "\" is gone."
                               : "The file \"" + path + "\" is no longer this project.";
  return what + "\nSave the project under another name?";
}

DiskMergeResult DiskMerge::MergeFromDisk(const std::string& path) {
  ProjectSync& sync = project_.Sync();
  if (!sync.Tracks(path) || !sync.ChangedOnDisk()) return DiskMergeResult::Unchanged;
  const std::optional<FileStamp> stamp = StampFile(path);
  if (!stamp) return DiskMergeResult::Gone;
  PhraseTable theirs;
  try {
    project_.Files().Open(theirs, path);
  } catch (const std::exception&) {
    return DiskMergeResult::NotAProject;
  }
  PhraseTable& mine = project_.Table();
  const PhraseRecords theirRecords = PhraseRecords::Of(theirs);
  const MergePlan plan = PlanMerge(sync.Base(), PhraseRecords::Of(mine), theirRecords);
  if (!plan.SameProject) return DiskMergeResult::NotAProject;

  std::vector<bool> takeTheirs(plan.Conflicts.size(), false);
  if (!plan.Conflicts.empty()) {
    std::vector<ConflictRow> rows;
    for (const MergeConflict& c : plan.Conflicts)
      rows.push_back({static_cast<int32_t>(c.Index), view_.DisplayText(mine.OriginText(mine.Phrases[c.Index])),
                      Shown(view_, c.Mine), Shown(view_, c.Theirs)});
    const auto chosen = window_.Ui().ResolveConflicts(rows);
    if (!chosen || chosen->size() != rows.size()) return DiskMergeResult::Cancelled;
    takeTheirs = *chosen;
  }

  // One step for Undo, whatever it takes.
  const bool wasModified = project_.Modified();
  const bool wasClean = project_.History().IsClean();
  const PhraseSnapshot before(mine);
  size_t taken = 0;
  for (const size_t i : plan.TakeTheirs) {
    TakeVersion(mine, i, theirRecords.Version(i));
    ++taken;
  }
  for (size_t k = 0; k < plan.Conflicts.size(); ++k) {
    if (!takeTheirs[k]) continue;
    TakeVersion(mine, plan.Conflicts[k].Index, plan.Conflicts[k].Theirs);
    ++taken;
  }
  if (auto step = before.Step(mine, "Changes from disk"); step && !step->Changes.empty()) {
    project_.History().Push(std::move(*step));
    // Without changes of its own the window now shows what the file holds.
    if (wasClean && !wasModified && plan.Conflicts.empty()) project_.History().MarkClean();
  }
  sync.Rebase(theirRecords, path, stamp);
  project_.SetModified(wasModified);
  project_.SetUndoCommands(project_.History().CanUndo(), project_.History().CanRedo());
  view_.Grid().RefillGrid();
  window_.Ui().ShowStatusLine(std::to_string(taken) + " change(s) taken from disk");
  window_.Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders | kChangedCommands);
  return DiskMergeResult::Merged;
}

}  // namespace velmora::ui
