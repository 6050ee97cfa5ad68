#include "ui/logic/WindowState.h"

#include <exception>
#include <filesystem>

#include "container/io/OutputGuard.h"
#include "project/build/SourceLoader.h"
#include "ui/logic/WindowTitle.h"

namespace velmora::ui {

namespace {

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

WindowState::WindowState(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : table_(table),
      platform_(platform),
      files_(files),
      grid_(table),
      newProject_(platform),
      editForm_(platform),
      createForm_(platform, [this](const std::string& path) { return IsSourceSuitable(table_, path); }) {
  grid_.SetShiftJis(IsShiftJis(codePage_));
}

void WindowState::Notify(unsigned what) {
  if (OnChanged && what != 0) OnChanged(what);
}

bool WindowState::Guard(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    Notify(kChangedAll);
    platform_.MessageBox(e.what(), Buttons::Ok, BoxKind::Error);
    return false;
  }
}

bool WindowState::Ask(const std::string& question) {
  return platform_.MessageBox(question, Buttons::YesNo, BoxKind::Question) == Answer::Yes;
}

// ---------------------------------------------------------------- flags and commands

void WindowState::MarkModified() {
  modified_ = true;
  if (hasProjectFile_) commands_.SaveProject = true;
  Notify(kChangedCommands);
}

void WindowState::SetModified(bool modified) {
  modified_ = modified;
  commands_.SaveProject = modified_ && hasProjectFile_;
}

void WindowState::ResetProject() {
  table_.Reset();
  ResetFlags();
  // No project is open: the window says so.
  title_ = kApplicationTitle;
  creationPath_.clear();
  Notify(kChangedTitle);
}

void WindowState::ResetFlags() {
  grid_.ClearRows();
  // The header counts follow the emptied rows.
  grid_.UpdateColumnHeaders();
  modified_ = false;
  hasProjectFile_ = false;
  files_.ShowingProject("");
  sync_.Forget();
  commands_ = CommandStates{};
  // The steps belonged to the table that is gone.
  undo_.Clear();
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedCommands | kChangedHeaders);
}

void WindowState::ShowProject(const std::string& path, std::string binName) {
  title_ = ProjectCaption(path, table_.UnitName, table_.UnitTag);
  saveBinDialogName_ = std::move(binName);
  commands_.SaveProjectAs = true;
  commands_.SaveFile = true;
  commands_.SaveBinFile = true;
  Notify(kChangedProjectShown);
}

void WindowState::HoldProjectFile(const std::string& path) {
  hasProjectFile_ = true;
  files_.ShowingProject(path);
}

void WindowState::ProjectSaved(const std::string& path) {
  title_ = ProjectCaption(path, table_.UnitName, table_.UnitTag);
  commands_.SaveProject = false;
  modified_ = false;
  undo_.MarkClean();
  HoldProjectFile(path);
  Notify(kChangedCommands | kChangedTitle);
}

void WindowState::SetTitle(std::string title) {
  title_ = std::move(title);
  Notify(kChangedTitle);
}

void WindowState::EnableSaveProjectAs() { commands_.SaveProjectAs = true; }

void WindowState::SetUndoCommands(bool canUndo, bool canRedo) {
  commands_.Undo = canUndo;
  commands_.Redo = canRedo;
}

// ---------------------------------------------------------------- file dialogs

std::string WindowState::DialogFolder() const {
  if (hasProjectFile_ && !projectPath_.empty()) return FolderOf(projectPath_);
  if (!creationPath_.empty()) return FolderOf(creationPath_);
  if (ProjectOpen() && !table_.SourcePath.empty()) return FolderOf(table_.SourcePath);
  return lastFolder_;
}

std::optional<std::string> WindowState::ChooseFileToOpen(FileDialogRequest request) {
  request.Folder = DialogFolder();
  auto path = platform_.OpenFileDialog(request);
  if (path) lastFolder_ = FolderOf(*path);
  return path;
}

std::optional<std::string> WindowState::ChooseFileToSave(FileDialogRequest request) {
  request.Folder = DialogFolder();
  auto path = platform_.SaveFileDialog(request);
  if (path) lastFolder_ = FolderOf(*path);
  return path;
}

void WindowState::RefuseOutputOverProject(const std::string& output, bool projectFileToo) const {
  if (projectFileToo && hasProjectFile_) RefuseOutputOverInput(output, projectPath_, "the open project");
  RefuseOutputOverInput(output, table_.SourcePath, "the project's source loader");
}

// ---------------------------------------------------------------- filter, language, code page

void WindowState::FilterBtnClick(GridFilter filter) {
  grid_.SetFilter(filter);
  unsigned what = kChangedFilter;
  if (!table_.Phrases.empty()) {
    grid_.RefillGrid();
    what |= kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders;
  }
  Notify(what);
}

void WindowState::ApplyLanguage(UiLanguage lang) {
  language_ = lang;
  for (const CaptionRow& row : CaptionRows())
    captions_[static_cast<size_t>(row.Id)] = lang == UiLanguage::English ? row.English : row.Russian;
  createForm_.UnsuitableText = Caption(CaptionId::LoaderUnsuitableText);
  grid_.OriginHeader = Caption(CaptionId::OriginHeader);
  grid_.EditedHeader = Caption(CaptionId::EditedHeader);
  grid_.UpdateColumnHeaders();
  Notify(kChangedCaptions | kChangedHeaders);
}

void WindowState::EngMenuItemClick() { ApplyLanguage(UiLanguage::English); }
void WindowState::RusMenuItemClick() { ApplyLanguage(UiLanguage::Russian); }

void WindowState::CodePageMenuItemClick(int tag) {
  if (tag < 0 || tag >= kCodePageCount) return;
  codePage_ = static_cast<CodePage>(tag);
  grid_.SetShiftJis(IsShiftJis(codePage_));
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

}  // namespace velmora::ui
