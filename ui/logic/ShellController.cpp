#include "ui/logic/ShellController.h"

#include <algorithm>
#include <exception>

#include "container/LoaderRebuild.h"
#include "container/Loading.h"
#include "container/OutputGuard.h"
#include "container/Stream.h"
#include "project/BinBuilder.h"
#include "project/PhraseEdits.h"
#include "project/TextExchange.h"

namespace velmora::ui {

ShellController::ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : table_(table),
      platform_(platform),
      files_(files),
      grid_(table),
      newProject_(platform),
      editForm_(platform),
      createForm_(platform, [this](const std::string& path) { return IsSourceSuitable(table_, path); }) {}

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
      if (!OpenProjectFile(*path)) projectPath_.clear();
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
  ResetFlags();
}

void ShellController::ResetFlags() {
  grid_.ClearRows();
  modified_ = false;
  hasProjectFile_ = false;
  files_.ShowingProject("");
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
  const std::string before = projectPath_;
  projectPath_ = *path;
  Guard([&] {
    if (!OpenProjectFile(*path)) projectPath_ = before;
  });
}

bool ShellController::OpenProjectFile(const std::string& path) {
  // Another window may show the project; the user decides, before the
  // open project is given up.
  if (files_.OpenInOtherWindow(path) && !Ask(AlreadyOpenQuestion(path))) return false;
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
  files_.ShowingProject(path);
  platform_.HideStatusNow();
  Notify(kChangedAll);
  FilterBtnClick(GridFilter::NoFilter);
  return true;
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
    // Saving the open project again is a plain save; only the loader it
    // was made from is out of bounds.
    RefuseOutputOverProject(path, false);
    table_.StoreNamesInInfo();
    files_.Save(table_, path);
    commands_.SaveProject = false;
    modified_ = false;
    hasProjectFile_ = true;
    files_.ShowingProject(path);
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
  createForm_.UnsuitableText = Caption(CaptionId::LoaderUnsuitableText);
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
  const int row = grid_.SelectedRow();
  const int32_t p = grid_.PhraseOfRow(row);
  if (row < 1 || p < 0) return;
  const auto index = static_cast<size_t>(p);
  if (OnEditAction) OnEditAction();

  // The box starts with the phrase's edited text; "before" is that text as
  // the box returns it, with CR LF line breaks.
  const TPhrase& phrase = table_.Phrases[index];
  const std::string_view edited = phrase.EditIndex >= 0 ? table_.EditedText(phrase) : std::string_view();
  const std::string before = WithCrLf(edited);
  editForm_.Fill(edited, table_.OriginText(phrase), codePage_);
  if (!platform_.ShowEditForm(editForm_, row, grid_.TopRow())) return;

  const std::string after = editForm_.Result();
  bool tableChanged = false;
  // A text the project cannot keep (too long, or no position left) is
  // refused with a message; the phrase keeps its text.
  if (!Guard([&] { tableChanged = ApplyEditedText(table_, index, after); })) return;
  unsigned what = kChangedMemos;
  // A text changed and changed back counts as unchanged; a flag that OK
  // moved (ON set, HIDE cleared) is a change all the same, so that closing
  // asks about it.
  if (after != before || tableChanged) {
    grid_.UpdateColumnHeaders();
    MarkModified();
    commands_.SaveProjectAs = true;
    what |= kChangedHeaders | kChangedCommands;
  }
  grid_.SetMemo2(after);
  // The row is redrawn, not refilled: it stays in view whatever the filter.
  if (OnRowChanged) OnRowChanged(row);
  Notify(what);
}

// ---------------------------------------------------------------- project creation

bool ShellController::Ask(const std::string& question) {
  return platform_.MessageBox(question, Buttons::YesNo, BoxKind::Question) == Answer::Yes;
}

void ShellController::AfterCreationError() {
  // An analysis that failed leaves no project: the grid must not keep rows
  // of the table that is gone.
  if (table_.Phrases.empty() && table_.UnitImage.empty()) ResetFlags();
  Notify(kChangedAll);
}

void ShellController::FinishCreation(const CreationResult& result, const std::string& titlePath) {
  if (!result.Analysis.Completed) {
    // A declined maker question leaves the earlier project; a declined
    // checksum question leaves none.
    if (result.Analysis.TableReset) ResetFlags();
    platform_.HideStatusNow();
    Notify(kChangedAll);
    return;
  }
  ResetFlags();
  // The extraction chose the code page; it takes effect as a menu choice.
  CodePageMenuItemClick(static_cast<int>(result.Analysis.DisplayCodePage));
  grid_.RefillGrid();
  title_ = ProjectCaption(titlePath, table_.UnitName, table_.UnitTag);
  saveBinDialogName_ = result.SuggestedBinName;
  commands_.SaveProjectAs = true;
  commands_.SaveFile = true;
  commands_.SaveBinFile = true;
  if (result.Analysis.StoppedAtRecordLimit) platform_.ShowStatus(kRecordLimitText);
  platform_.HideStatusLater();
  Notify(kChangedAll);
}

void ShellController::OpenBinFileCommand() {
  const auto path = platform_.OpenFileDialog({kBinFilter, "", kDefaultBinName});
  if (!path) return;
  title_ = std::string(kAppTitle);
  Notify(kChangedTitle);
  platform_.ShowStatus(kCreatingProjectText);

  const bool ok = Guard([&] {
    // The file stays open (others may read it) until the analysis is over.
    TFileStream file(*path, TFileStream::Mode::OpenRead);
    const int64_t size = file.Size();
    newProject_.PrepareForBin(static_cast<uint32_t>(std::min<int64_t>(size, 0xFFFFFFFF)));
    newProject_.FormShow();
    if (!platform_.ShowNewProjectForm(newProject_)) {
      platform_.HideStatusNow();
      return;
    }
    platform_.ShowStatus(kCreatingProjectWaitText);
    CreationResult result;
    try {
      result = CreateProjectFromBin(table_, *path, newProject_.Options(), [this](const std::string& q) { return Ask(q); });
    } catch (...) {
      AfterCreationError();
      throw;
    }
    FinishCreation(result, *path);
  });
  if (ok) FilterBtnClick(GridFilter::NoFilter);
}

void ShellController::OpenFileCommand() {
  const auto path = platform_.OpenFileDialog({kLoaderFilter, "", ""});
  if (!path) return;
  title_ = std::string(kAppTitle);
  Notify(kChangedTitle);
  platform_.ShowStatus(kCreatingProjectText);

  const bool ok = Guard([&] {
    const TLN_Loading loading(*path);
    newProject_.PrepareForLoader();
    const std::vector<int> makers = AisinMakerIndices(loading);
    if (makers.empty()) {
      platform_.MessageBox(kNoAisinModuleMessage, Buttons::Ok, BoxKind::Information);
      platform_.HideStatusNow();
      return;
    }
    // A loader with several "AISIN-AW" entries offers the dialog for each in
    // turn, each with its own modules, until one is started.
    for (const int maker : makers) {
      newProject_.PrepareForLoader();
      for (const TLN_Module_Info& module : loading.Frame.Makers[static_cast<size_t>(maker)].Modules) {
        std::vector<UnitChoice> units;
        for (const TLN_Unit_Info& unit : module.Units) units.push_back({unit.Name, unit.Size});
        newProject_.AddModule(module.Name, std::move(units));
      }
      newProject_.ModuleChange(0);
      TFileStream file(loading.FileName, TFileStream::Mode::OpenRead);
      newProject_.FormShow();
      if (!platform_.ShowNewProjectForm(newProject_)) {
        platform_.HideStatusNow();
        continue;
      }
      platform_.ShowStatus(kCreatingProjectWaitText);
      CreationResult result;
      try {
        result = CreateProjectFromLoader(table_, loading, maker, newProject_.ChosenModule(), newProject_.ChosenUnit(),
                                         newProject_.Options(), [this](const std::string& q) { return Ask(q); });
      } catch (...) {
        AfterCreationError();
        throw;
      }
      FinishCreation(result, *path);
      break;
    }
  });
  if (ok) FilterBtnClick(GridFilter::NoFilter);
}

// ---------------------------------------------------------------- output

void ShellController::RefuseOutputOverProject(const std::string& output, bool projectFileToo) const {
  if (projectFileToo && hasProjectFile_) RefuseOutputOverInput(output, projectPath_, "the open project");
  RefuseOutputOverInput(output, table_.SourcePath, "the project's source loader");
}

void ShellController::StatusText(std::string_view text) {
  platform_.ShowStatus(std::string(text));
  if (text == kBinCompleteText || text == kLoaderCompleteText) platform_.HideStatusLater();
}

void ShellController::SaveBinFileCommand() {
  const auto path = platform_.SaveFileDialog({kBinFilter, "", saveBinDialogName_});
  if (!path) return;
  Guard([&] {
    RefuseOutputOverProject(*path, true);
    SaveBin(table_, *path, [this](std::string_view t) { StatusText(t); });
  });
}

void ShellController::SaveFileCommand() {
  const auto output = platform_.SaveFileDialog({"", "", saveFileDialogName_});
  if (!output) return;
  saveFileDialogName_ = *output;
  Guard([&] {
    RefuseOutputOverProject(*output, true);
    std::string source = table_.SourcePath;
    if (!IsSourceSuitable(table_, source)) {
      // The project's own source is gone or differs: the user names it.
      createForm_.FormShow();
      if (!platform_.ShowCreateForm(createForm_)) return;
      source = createForm_.ChosenPath();
    }
    RebuildLoader(table_, source, *output, [this](std::string_view t) { StatusText(t); });
  });
}

// ---------------------------------------------------------------- edit menu

void ShellController::CopyCommand() { platform_.SetClipboardText(grid_.Memo1()); }

void ShellController::ExportCommand() {
  const std::string bytes = ExportPhrases(table_, grid_.VisibleRows(), codePage_);
  const auto path = platform_.SaveFileDialog({kExportFilter, kExportExt, std::string(kProposedExportName)});
  if (!path) return;
  Guard([&] {
    RefuseOutputOverProject(*path, true);
    WriteExport(*path, bytes);
  });
}

void ShellController::ImportCommand() {
  const auto path = platform_.OpenFileDialog({kImportFilter, "", ""});
  if (!path) return;
  std::string bytes;
  if (!Guard([&] {
        const std::vector<uint8_t> data = ReadWholeFile(*path);
        bytes.assign(data.begin(), data.end());
      }))
    return;

  const size_t textsBefore = table_.EditedTexts.size();
  int count = 0;
  std::string error;
  try {
    count = ImportPhrases(table_, bytes);
  } catch (const std::exception& e) {
    error = e.what();
  }
  // The texts read before an error stay attached and are shown.
  grid_.RefillGrid();
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders);
  // Imported texts are a change of the project: closing asks about them.
  if (table_.EditedTexts.size() != textsBefore) MarkModified();
  if (error.empty())
    platform_.MessageBox(ImportMessage(count), Buttons::Ok, BoxKind::Information);
  else
    platform_.MessageBox(error, Buttons::Ok, BoxKind::Error);
}

// ---------------------------------------------------------------- search

void ShellController::FindStep(FindPanel panel, const std::string& typed, bool down) {
  // The typed text becomes bytes through the display code page; a text the
  // code page cannot hold finds nothing.
  std::string key;
  try {
    key = FromUtf8(typed, codePage_);
  } catch (const std::exception&) {
    key.clear();
  }
  const int selected = grid_.SelectedRow();
  const int last = grid_.RowCount() - 1;
  auto match = [&](int row) {
    return panel == FindPanel::Origin ? grid_.MatchOriginText(key, row) : grid_.MatchEditedText(key, row);
  };
  bool found = false;
  if (!key.empty()) {
    if (down) {
      for (int row = selected + 1; row <= last && !found; ++row) found = match(row);
    } else if (selected >= 2) {
      for (int row = selected - 1; row >= 1 && !found; --row) found = match(row);
    }
  }
  if (!found) {
    platform_.Beep();
    return;
  }
  Notify(kChangedSelection | kChangedMemos);
}

void ShellController::FindDownBtnClick(FindPanel panel, const std::string& typed) { FindStep(panel, typed, true); }
void ShellController::FindUpBtnClick(FindPanel panel, const std::string& typed) { FindStep(panel, typed, false); }
void ShellController::FindEditKeyPress(FindPanel panel, const std::string& typed, char key) {
  if (key == '\r') FindStep(panel, typed, true);
}

}  // namespace velmora::ui
