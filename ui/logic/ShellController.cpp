#include "ui/logic/ShellController.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "container/kiwi/Loading.h"
#include "container/io/OutputGuard.h"
#include "container/io/Stream.h"
#include "project/build/BinBuilder.h"
#include "project/carry/Carry.h"
#include "project/carry/CarryReport.h"
#include "project/file/PhraseEdits.h"
#include "project/exchange/TextExchange.h"
#include "project/verify/Verify.h"
#include "project/exchange/PhraseFormat.h"
#include "ui/logic/DialogFilters.h"
#include "ui/logic/WindowTitle.h"

namespace velmora::ui {

ShellController::ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files)
    : table_(table),
      platform_(platform),
      files_(files),
      grid_(table),
      newProject_(platform),
      editForm_(platform),
      createForm_(platform, [this](const std::string& path) { return IsSourceSuitable(table_, path); }) {
  grid_.SetShiftJis(IsShiftJis(codePage_));
}

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

namespace {

// The program's arguments as one path: a path with blanks may arrive in pieces.
std::string JoinArguments(const std::vector<std::string>& args) {
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) path += ' ';
    path += args[i];
  }
  return path;
}

std::string UpperFileName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

}  // namespace

std::optional<std::string> ShellController::CommandLineProject(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string path = JoinArguments(args);
  // The extension is taken from the file name only, not from a folder's.
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  if (path.compare(dot, std::string::npos, ".vmprj") != 0) return std::nullopt;
  if (!FileExists(path)) return std::nullopt;
  return path;
}

std::optional<ShellController::SourceFile> ShellController::CommandLineSource(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string path = JoinArguments(args);
  const std::string name = UpperFileName(path);
  SourceKind kind;
  if (name == "LOADING.KWI")
    kind = SourceKind::Loader;
  else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".BIN") == 0)
    kind = SourceKind::Bin;
  else
    return std::nullopt;
  if (!FileExists(path)) return std::nullopt;
  return SourceFile{kind, path};
}

void ShellController::OpenCommandLineSource(const std::vector<std::string>& args) {
  const auto source = CommandLineSource(args);
  if (!source) return;
  if (source->Kind == SourceKind::Loader)
    OpenLoaderFile(source->Path);
  else
    OpenBinFile(source->Path);
}

bool ShellController::FormCloseQuery() { return ConfirmUnsavedWork(); }

bool ShellController::ConfirmUnsavedWork() {
  if (!modified_) return true;
  const bool hasFile = hasProjectFile_;
  const CaptionId question = hasFile ? CaptionId::SaveChangesPrompt : CaptionId::SaveProjectPrompt;
  const Answer a = platform_.MessageBox(Caption(question), Buttons::YesNoCancel, BoxKind::Question);
  if (a == Answer::No) return true;
  if (a != Answer::Yes) return false;
  // Only a completed save lets the command go on.
  return hasFile ? SaveProjectCommand() : SaveProjectAsCommand();
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
  // No project is open: the window says so.
  title_ = std::string(kAppTitle);
  creationPath_.clear();
  Notify(kChangedTitle);
}

void ShellController::ResetFlags() {
  grid_.ClearRows();
  // The header counts follow the emptied rows.
  grid_.UpdateColumnHeaders();
  modified_ = false;
  hasProjectFile_ = false;
  files_.ShowingProject("");
  commands_ = CommandStates{};
  // The steps belonged to the table that is gone.
  undo_.Clear();
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedCommands | kChangedHeaders);
}

std::string ShellController::DialogFolder() const {
  auto folder = [](const std::string& path) { return std::filesystem::path(path).parent_path().string(); };
  if (hasProjectFile_ && !projectPath_.empty()) return folder(projectPath_);
  if (!creationPath_.empty()) return folder(creationPath_);
  const bool projectOpen = !table_.Phrases.empty() || !table_.UnitImage.empty();
  if (projectOpen && !table_.SourcePath.empty()) return folder(table_.SourcePath);
  return lastFolder_;
}

std::optional<std::string> ShellController::ChooseFileToOpen(FileDialogRequest request) {
  request.Folder = DialogFolder();
  auto path = platform_.OpenFileDialog(request);
  if (path) lastFolder_ = std::filesystem::path(*path).parent_path().string();
  return path;
}

std::optional<std::string> ShellController::ChooseFileToSave(FileDialogRequest request) {
  request.Folder = DialogFolder();
  auto path = platform_.SaveFileDialog(request);
  if (path) lastFolder_ = std::filesystem::path(*path).parent_path().string();
  return path;
}

std::string ShellController::ProjectTitle(const std::string& path) const {
  return ProjectCaption(path, table_.UnitName, table_.UnitTag);
}

// ---------------------------------------------------------------- project file

void ShellController::OpenProjectCommand() {
  if (!ConfirmUnsavedWork()) return;
  const auto path = ChooseFileToOpen({kProjectFilter, "", ""});
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
  // the file; its exception ends the command here, with no project open.
  try {
    files_.Open(table_, path);
  } catch (...) {
    ResetProject();
    throw;
  }
  // The window keeps the project for long: its unit bytes must not depend
  // on a file that others may overwrite meanwhile (analysis/UnitBytes.h).
  table_.UnitImage.TakePrivateCopy();
  table_.LoadNamesFromInfo();

  grid_.SetFilter(GridFilter::NoFilter);
  grid_.RefillGrid();
  title_ = ProjectTitle(path);
  saveProjectDialogName_ = path;
  projectPath_ = path;
  commands_.SaveFile = true;
  commands_.SaveBinFile = true;
  saveBinDialogName_ = table_.UnitTitle() + ".BIN";
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
  const auto path = ChooseFileToSave({kProjectFilter, kProjectExt, saveProjectDialogName_});
  if (!path) return false;
  if (!SaveProjectTo(*path)) return false;
  projectPath_ = *path;
  return true;
}

bool ShellController::SaveProjectTo(const std::string& path) {
  // Title and flags change only once the file is written: a failed save
  // leaves the title on the file that really holds the project, and the
  // project marked as changed, so closing still asks about it.
  return Guard([&] {
    // Saving the open project again is a plain save; only the loader it
    // was made from is out of bounds.
    RefuseOutputOverProject(path, false);
    table_.StoreNamesInInfo();
    files_.Save(table_, path);
    title_ = ProjectTitle(path);
    commands_.SaveProject = false;
    modified_ = false;
    hasProjectFile_ = true;
    undo_.MarkClean();
    files_.ShowingProject(path);
    Notify(kChangedCommands | kChangedTitle);
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

// ---------------------------------------------------------------- grid events

void ShellController::GridSelectCell(int gridRow) {
  grid_.SelectCell(gridRow);
  Notify(kChangedMemos);
}

void ShellController::GridTopRowChanged(int topRow) { grid_.SetTopRow(topRow); }

void ShellController::GridMouseDown(int col, int gridRow) {
  const PhraseSnapshot before(table_, {grid_.PhraseOfRow(gridRow)});
  switch (const PressResult result = grid_.MouseDown(col, gridRow)) {
    case PressResult::ToggledHide:
    case PressResult::ToggledOn:
      if (OnRowChanged) OnRowChanged(gridRow);
      Notify(kChangedMemos);
      RecordStep(before, result == PressResult::ToggledHide ? kUndoHideLabel : kUndoOnLabel);
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
  editForm_.Fill(edited, table_.OriginText(phrase), codePage_, phrase.Length);
  if (!platform_.ShowEditForm(editForm_, row, grid_.TopRow())) return;

  const std::string after = editForm_.Result();
  const PhraseSnapshot snapshot(table_, {p});
  bool tableChanged = false;
  // A text the project cannot keep (too long, or no position left) is
  // refused with a message; the phrase keeps its text.
  if (!Guard([&] { tableChanged = ApplyEditedText(table_, index, after); })) return;
  RecordStep(snapshot, kUndoEditLabel);
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
  // As after opening a project: the bytes of a loader on a disc that may be
  // taken out must stay with the window.
  table_.UnitImage.TakePrivateCopy();
  if (!result.Analysis.Completed) {
    // A declined maker question leaves the earlier project; a declined
    // checksum question leaves none.
    if (result.Analysis.TableReset) ResetFlags();
    platform_.HideStatusNow();
    Notify(kChangedAll);
    return;
  }
  ResetFlags();
  creationPath_ = titlePath;
  // The extraction chose the code page; it takes effect as a menu choice.
  CodePageMenuItemClick(static_cast<int>(DisplayCodePageFor(result.Analysis.Mode)));
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

void ShellController::AfterCreationCommand(const std::string& previousTitle) {
  const bool projectOpen = !table_.Phrases.empty() || !table_.UnitImage.empty();
  if (projectOpen && title_ == kAppTitle) {
    title_ = previousTitle;
    Notify(kChangedTitle);
  }
}

void ShellController::OpenBinFileCommand() {
  if (!ConfirmUnsavedWork()) return;
  const auto path = ChooseFileToOpen({kBinFilter, "", kDefaultBinName});
  if (path) OpenBinFile(*path);
}

void ShellController::OpenBinFile(const std::string& path) {
  const std::string previousTitle = title_;
  title_ = std::string(kAppTitle);
  Notify(kChangedTitle);
  platform_.ShowStatus(kCreatingProjectText);

  const bool ok = Guard([&] {
    // The file stays open (others may read it) until the analysis is over.
    TFileStream file(path, TFileStream::Mode::OpenRead);
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
      result = CreateProjectFromBin(table_, path, newProject_.Options(), [this](const std::string& q) { return Ask(q); });
    } catch (...) {
      AfterCreationError();
      throw;
    }
    FinishCreation(result, path);
  });
  AfterCreationCommand(previousTitle);
  if (ok) FilterBtnClick(GridFilter::NoFilter);
}

void ShellController::OpenFileCommand() {
  if (!ConfirmUnsavedWork()) return;
  const auto path = ChooseFileToOpen({kLoaderFilter, "", ""});
  if (path) OpenLoaderFile(*path);
}

void ShellController::OpenLoaderFile(const std::string& path) {
  const std::string previousTitle = title_;
  title_ = std::string(kAppTitle);
  Notify(kChangedTitle);
  platform_.ShowStatus(kCreatingProjectText);

  const bool ok = Guard([&] {
    const TLN_Loading loading(path);
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
      FinishCreation(result, path);
      break;
    }
  });
  AfterCreationCommand(previousTitle);
  if (ok) FilterBtnClick(GridFilter::NoFilter);
}

// ---------------------------------------------------------------- output

void ShellController::RefuseOutputOverProject(const std::string& output, bool projectFileToo) const {
  if (projectFileToo && hasProjectFile_) RefuseOutputOverInput(output, projectPath_, "the open project");
  RefuseOutputOverInput(output, table_.SourcePath, "the project's source loader");
}

void ShellController::SaveBinFileCommand() {
  const auto path = ChooseFileToSave({kBinFilter, "", saveBinDialogName_});
  if (!path) return;
  bool statusShown = false;
  const bool built = Guard([&] {
    RefuseOutputOverProject(*path, true);
    SaveBin(table_, *path, [&](std::string_view t) {
      statusShown = true;
      platform_.ShowStatus(std::string(t));
    });
  });
  FinishOutput(built, statusShown, [&] { return VerifyBin(table_, *path); });
}

void ShellController::SaveFileCommand() {
  const auto output = ChooseFileToSave({"", "", saveFileDialogName_});
  if (!output) return;
  saveFileDialogName_ = *output;
  bool statusShown = false, built = false;
  std::string source = table_.SourcePath;
  Guard([&] {
    RefuseOutputOverProject(*output, true);
    if (!IsSourceSuitable(table_, source)) {
      // The project's own source is gone or differs: the user names it.
      createForm_.Folder = DialogFolder();
      createForm_.FormShow();
      if (!platform_.ShowCreateForm(createForm_)) return;
      source = createForm_.ChosenPath();
    }
    RebuildLoader(table_, source, *output, [&](std::string_view t) {
      statusShown = true;
      platform_.ShowStatus(std::string(t));
    });
    built = true;
  });
  FinishOutput(built, statusShown, [&] { return VerifyLoader(table_, *output, source); });
}

void ShellController::FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify) {
  // The written file is checked against the project before it goes to the
  // device; the panel then tells what was verified.
  if (built)
    Guard([&] {
      const VerifyResult result = verify();
      if (result.Clean()) {
        platform_.ShowStatus(VerifiedStatusText(result));
      } else {
        platform_.ShowStatus(std::string(kVerifyFailedText));
        platform_.MessageBox(ProblemsMessage(result, kProblemsInErrorBox), Buttons::Ok, BoxKind::Error);
      }
    });
  if (statusShown) platform_.HideStatusLater();
}

// ---------------------------------------------------------------- edit menu

void ShellController::CopyCommand() { platform_.SetClipboardText(grid_.Memo1()); }

void ShellController::ExportCommand() {
  const std::vector<DialogFilter> filters = PhraseDialogFilters(PhraseFormat::kCanWrite);
  const auto path = ChooseFileToSave(
      {JoinDialogFilters(filters, language_), kExportExt, std::string(kProposedExportName)});
  if (!path) return;
  const DialogFilter& chosen = filters[std::min(platform_.ChosenFilter(), filters.size() - 1)];
  ExchangeOptions options;
  options.codePage = codePage_;
  options.encoding = chosen.Encoding;
  Guard([&] {
    RefuseOutputOverProject(*path, true);
    ExportPhraseFile(*chosen.Format, table_, grid_.VisibleRows(), *path, options);
  });
}

void ShellController::ImportCommand() {
  const std::vector<DialogFilter> filters = PhraseDialogFilters(PhraseFormat::kCanRead);
  const auto path = ChooseFileToOpen({JoinDialogFilters(filters, language_), "", ""});
  if (!path) return;
  const DialogFilter& chosen = filters[std::min(platform_.ChosenFilter(), filters.size() - 1)];
  std::string bytes;
  if (!Guard([&] {
        const std::vector<uint8_t> data = ReadWholeFile(*path);
        bytes.assign(data.begin(), data.end());
      }))
    return;
  // The chosen filter's format when the file has its extension; otherwise
  // the file's extension or first bytes tell.
  const PhraseFormat* format = chosen.Format->HasExtension(*path) ? chosen.Format : nullptr;
  ExchangeOptions options;
  options.codePage = codePage_;
  options.encoding = chosen.Encoding;

  ImportReport report;
  std::string error;
  // The whole import is one step; imported texts are a change of the
  // project, so closing asks about them.
  RunAsUndoStep(kUndoImportLabel, [&] {
    try {
      report = ImportPhraseBytes(format, table_, *path, bytes, options);
    } catch (const std::exception& e) {
      error = e.what();
    }
  });
  // The texts read before an error of a text file stay attached and are shown.
  grid_.RefillGrid();
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders);
  if (error.empty())
    platform_.MessageBox(report.Text(std::filesystem::path(*path).filename().string(), kMaxImportNotesShown),
                         Buttons::Ok, BoxKind::Information);
  else
    platform_.MessageBox(error, Buttons::Ok, BoxKind::Error);
}

// ---------------------------------------------------------------- carry

void ShellController::TakeTranslationsCommand() {
  // Only an open project can take translations.
  if (!commands_.SaveProjectAs) return;
  const auto path = ChooseFileToOpen({kProjectFilter, "", "", true});
  if (!path) return;
  platform_.ShowStatus(kTakingTranslationsText);
  CarryPlan plan;
  bool changed = false;
  std::string error;
  try {
    PhraseTable oldProject;
    files_.Open(oldProject, *path);
    plan = PlanCarry(oldProject, table_, CarryOptions{});
    // The one change of the open project, one undoable step; it raises
    // before changing anything.
    RunAsUndoStep(kUndoTakeTranslationsLabel, [&] { changed = ApplyCarry(oldProject, table_, plan); });
  } catch (const std::exception& e) {
    error = e.what();
  }
  platform_.HideStatusNow();
  if (!error.empty()) {
    platform_.MessageBox(error, Buttons::Ok, BoxKind::Error);
    return;
  }
  if (changed) {
    grid_.RefillGrid();
    Notify(kChangedRows | kChangedCells | kChangedSelection | kChangedMemos | kChangedHeaders);
  }
  platform_.MessageBox("Translations taken from " + *path + ":\n\n" + CarrySummary(plan.Counts), Buttons::Ok,
                       BoxKind::Information);
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
  lastSearch_ = LastSearch{panel, typed};
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
    NotFound();
    return;
  }
  platform_.ShowStatusLine("");
  Notify(kChangedSelection | kChangedMemos);
}

void ShellController::NotFound() {
  // The beep alone is easily missed: the status line says it too.
  platform_.Beep();
  platform_.ShowStatusLine(kNotFoundText);
}

void ShellController::FindAgain(bool down) {
  if (!lastSearch_) {
    NotFound();
    return;
  }
  const LastSearch last = *lastSearch_;
  FindStep(last.Panel, last.Typed, down);
}

// ---------------------------------------------------------------- keyboard toggles

void ShellController::ToggleOnCommand() { GridMouseDown(kColOn, grid_.SelectedRow()); }
void ShellController::ToggleHideCommand() { GridMouseDown(kColHide, grid_.SelectedRow()); }

// ---------------------------------------------------------------- undo and redo

void ShellController::UpdateUndoCommands() {
  commands_.Undo = undo_.CanUndo();
  commands_.Redo = undo_.CanRedo();
}

bool ShellController::RecordStep(const PhraseSnapshot& before, const std::string& label) {
  if (undoDepth_ > 0) return false;
  auto step = before.Step(table_, label);
  if (!step) {
    // The command replaced the project: no earlier step applies.
    undo_.Clear();
  } else if (!step->Changes.empty()) {
    undo_.Push(std::move(*step));
    UpdateUndoCommands();
    MarkModified();
    return true;
  }
  UpdateUndoCommands();
  Notify(kChangedCommands);
  return false;
}

bool ShellController::RunAsUndoStep(const std::string& label, const std::function<void()>& fn) {
  if (undoDepth_ > 0) {
    fn();
    return false;
  }
  const PhraseSnapshot before(table_);
  struct Depth {
    int& n;
    explicit Depth(int& d) : n(d) { ++n; }
    ~Depth() { --n; }
  };
  try {
    const Depth depth(undoDepth_);
    fn();
  } catch (...) {
    RecordStep(before, label);
    throw;
  }
  return RecordStep(before, label);
}

void ShellController::UndoCommand() { StepCommand(true); }
void ShellController::RedoCommand() { StepCommand(false); }

void ShellController::StepCommand(bool undo) {
  if (undo ? !undo_.CanUndo() : !undo_.CanRedo()) {
    platform_.Beep();
    return;
  }
  const UndoStep* step = nullptr;
  // Putting a text back may meet a full list of edited texts.
  const bool ok = Guard([&] { step = undo ? undo_.Undo(table_) : undo_.Redo(table_); });
  modified_ = !ok || !undo_.IsClean();
  commands_.SaveProject = modified_ && hasProjectFile_;
  UpdateUndoCommands();
  grid_.RefillGrid();
  if (step && !step->Changes.empty()) grid_.SelectPhrase(step->Changes.front().Index);
  if (step) platform_.ShowStatusLine((undo ? "Undone: " : "Redone: ") + step->Label);
  Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders | kChangedCommands);
}

void ShellController::FindDownBtnClick(FindPanel panel, const std::string& typed) { FindStep(panel, typed, true); }
void ShellController::FindUpBtnClick(FindPanel panel, const std::string& typed) { FindStep(panel, typed, false); }
void ShellController::FindEditKeyPress(FindPanel panel, const std::string& typed, char key) {
  if (key == '\r') FindStep(panel, typed, true);
}

}  // namespace velmora::ui
