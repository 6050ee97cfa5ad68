#include "ui/logic/ShellController.h"

#include <exception>

#include "container/Stream.h"

namespace velmora::ui {

ShellController::ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : table_(table), platform_(platform), files_(files), grid_(table) {}

void ShellController::Notify(unsigned what) {
  if (OnChanged && what != 0) OnChanged(what);
}

template <typename F>
bool ShellController::Guard(F&& f) {
  try {
    f();
    return true;
  } catch (const std::exception& e) {
    Notify(kChangedAll);
    platform_.MessageBox(e.what(), Buttons::Ok, BoxKind::Error);
    return false;
  }
}

// ---------------------------------------------------------------- life cycle

void ShellController::FormCreate() {
  title_ = std::string(kAppTitle);
  grid_.ClearRows();
  hasProjectFile_ = false;
  grid_.ResetGrid();
  modified_ = false;
  Notify(kChangedAll);
}

void ShellController::FormShow(const std::vector<std::string>& args) {
  RusMenuItemClick();
  if (auto path = CommandLineProject(args)) {
    Guard([&] {
      projectPath_ = *path;
      OpenProjectFile(*path);
    });
  }
}

std::optional<std::string> ShellController::CommandLineProject(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) path += ' ';
    path += args[i];
  }
  // The extension is taken from the file name only, not from a folder's.
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  if (path.compare(dot, std::string::npos, ".vmprj") != 0) return std::nullopt;
  if (!FileExists(path)) return std::nullopt;
  return path;
}

bool ShellController::FormCloseQuery() {
  if (!modified_) return true;
  if (commands_.SaveProject) {
    const Answer a = platform_.MessageBox(Caption(CaptionId::SaveChangesPrompt), Buttons::YesNo, BoxKind::Question);
    if (a == Answer::No) return true;
    if (a == Answer::Yes) SaveProjectCommand();
    return false;
  }
  const Answer a = platform_.MessageBox(Caption(CaptionId::SaveProjectPrompt), Buttons::YesNoCancel, BoxKind::Question);
  if (a == Answer::No) return true;
  if (a == Answer::Yes) SaveProjectAsCommand();
  return false;
}

void ShellController::FormClose() { ResetProject(); }

// ---------------------------------------------------------------- rules

void ShellController::MarkModified() {
  modified_ = true;
  if (hasProjectFile_) commands_.SaveProject = true;
  Notify(kChangedCommands);
}

void ShellController::ResetProject() {
  table_.Reset();
  grid_.ClearRows();
  modified_ = false;
  hasProjectFile_ = false;
  commands_ = CommandStates{};
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedCommands);
}

std::string ShellController::ProjectTitle(const std::string& path) const {
  return std::string(kAppTitle) + " - " + path + "  [" + table_.UnitName + "_" + table_.UnitTag + "]";
}

// ---------------------------------------------------------------- project file

void ShellController::OpenProjectCommand() {
  const auto path = platform_.OpenFileDialog({kProjectFilter, "", ""});
  if (!path) return;
  projectPath_ = *path;
  Guard([&] { OpenProjectFile(*path); });
}

void ShellController::OpenProjectFile(const std::string& path) {
  ResetProject();
  // The reader empties the table again and leaves it empty when it refuses
  // the file; its exception ends the command here.
  files_.Open(table_, path);
  table_.LoadNamesFromInfo();

  grid_.SetFilter(GridFilter::NoFilter);
  grid_.RefillGrid();
  title_ = ProjectTitle(path);
  saveProjectDialogName_ = path;
  projectPath_ = path;
  commands_.SaveFile = true;
  commands_.SaveBinFile = true;
  saveBinDialogName_ = table_.UnitName + "_" + table_.UnitTag + ".BIN";
  commands_.SaveProjectAs = true;
  hasProjectFile_ = true;
  platform_.HideStatusNow();
  Notify(kChangedAll);
  FilterBtnClick(GridFilter::NoFilter);
}

bool ShellController::SaveProjectCommand() { return SaveProjectTo(projectPath_); }

bool ShellController::SaveProjectAsCommand() {
  const auto path = platform_.SaveFileDialog({kProjectFilter, kProjectExt, saveProjectDialogName_});
  if (!path) return false;
  if (!SaveProjectTo(*path)) return false;
  projectPath_ = *path;
  return true;
}

bool ShellController::SaveProjectTo(const std::string& path) {
  title_ = ProjectTitle(path);
  Notify(kChangedTitle);
  // The flags change only once the file is written: a failed save leaves
  // the project marked as changed, so closing still asks about it.
  return Guard([&] {
    table_.StoreNamesInInfo();
    files_.Save(table_, path);
    commands_.SaveProject = false;
    modified_ = false;
    hasProjectFile_ = true;
    Notify(kChangedCommands);
  });
}

// ---------------------------------------------------------------- filters, language, code page

void ShellController::FilterBtnClick(GridFilter filter) {
  grid_.SetFilter(filter);
  unsigned what = kChangedFilter;
  if (!table_.Phrases.empty()) {
    grid_.RefillGrid();
    what |= kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders;
  }
  Notify(what);
}

void ShellController::ApplyLanguage(UiLanguage lang) {
  language_ = lang;
  for (const CaptionRow& row : CaptionRows())
    captions_[static_cast<size_t>(row.Id)] = lang == UiLanguage::English ? row.English : row.Russian;
  grid_.OriginHeader = Caption(CaptionId::OriginHeader);
  grid_.EditedHeader = Caption(CaptionId::EditedHeader);
  grid_.UpdateColumnHeaders();
  Notify(kChangedCaptions | kChangedHeaders);
}

void ShellController::EngMenuItemClick() { ApplyLanguage(UiLanguage::English); }
void ShellController::RusMenuItemClick() { ApplyLanguage(UiLanguage::Russian); }

void ShellController::CodePageMenuItemClick(int tag) {
  if (tag < 0 || tag >= kCodePageCount) return;
  codePage_ = static_cast<CodePage>(tag);
  unsigned what = kChangedCodePage | kChangedCells | kChangedMemos;
  if (codePage_ == CodePage::Japanese) {
    // The Japanese font shows no Cyrillic: the two column labels turn
    // English until a language is chosen again.
    grid_.OriginHeader = CaptionText(CaptionId::OriginHeader, UiLanguage::English);
    grid_.EditedHeader = CaptionText(CaptionId::EditedHeader, UiLanguage::English);
    grid_.UpdateColumnHeaders();
    what |= kChangedHeaders;
  }
  Notify(what);
}

// ---------------------------------------------------------------- grid events

void ShellController::GridSelectCell(int gridRow) {
  grid_.SelectCell(gridRow);
  Notify(kChangedMemos);
}

void ShellController::GridTopRowChanged(int topRow) { grid_.SetTopRow(topRow); }

void ShellController::GridMouseDown(int col, int gridRow) {
  switch (grid_.MouseDown(col, gridRow)) {
    case PressResult::ToggledHide:
    case PressResult::ToggledOn:
      if (OnRowChanged) OnRowChanged(gridRow);
      Notify(kChangedMemos);
      MarkModified();
      break;
    case PressResult::EditAction:
      Notify(kChangedMemos);
      EditAction();
      break;
    case PressResult::Nothing:
      Notify(kChangedMemos);
      break;
  }
}

void ShellController::GridDoubleClick() { EditAction(); }

void ShellController::GridEnterKey() { EditAction(); }

void ShellController::MemoClick() { EditAction(); }

void ShellController::EditAction() {
  if (grid_.SelectedRow() < 1) return;
  if (OnEditAction) OnEditAction();
}

}  // namespace velmora::ui
