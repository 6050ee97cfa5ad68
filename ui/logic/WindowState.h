// The main window's state and the rules that every command keeps: the flags
// Modified and HasProjectFile, which commands are enabled, the window
// caption, the interface language and the display code page, the grid over
// the phrase table, and where the file dialogs open. The commands
// (ui/logic/*Commands.h) change the state only through these rules; the
// window (ui/qt) reads it and redraws what the change notifications name.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "analysis/Filters.h"
#include "analysis/PhraseTable.h"
#include "project/check/Check.h"
#include "project/text/CodePages.h"
#include "ui/logic/CaptionTables.h"
#include "ui/logic/CreateForm.h"
#include "ui/logic/EditForm.h"
#include "ui/logic/NewProjectForm.h"
#include "ui/logic/PhraseGrid.h"
#include "ui/logic/Platform.h"
#include "ui/logic/ProjectFiles.h"
#include "ui/logic/ProjectSync.h"
#include "ui/logic/UndoStack.h"

namespace velmora::ui {

// What changed, for the window to bring itself up to date.
enum Change : unsigned {
  kChangedCaptions = 1u << 0,   // captions, tooltips, prompts
  kChangedCommands = 1u << 1,   // enabled state of the save commands
  kChangedTitle = 1u << 2,      // the window caption
  kChangedRows = 1u << 3,       // VisibleRows (the grid's rows)
  kChangedCells = 1u << 4,      // cell contents (all rows)
  kChangedSelection = 1u << 5,  // selected row or top row
  kChangedMemos = 1u << 6,      // the two text boxes (text or colour)
  kChangedHeaders = 1u << 7,    // the header row
  kChangedCodePage = 1u << 8,   // the display code page
  kChangedFilter = 1u << 9,     // which filter button is down
  kChangedProblems = 1u << 10,  // the Problems list
  kChangedAll = (1u << 11) - 1,
  // A project was just created or opened (the keyboard goes to the grid).
  kChangedProjectShown = 1u << 11,
};

// The commands whose enabled state changes; every other command is always
// enabled.
struct CommandStates {
  bool SaveProject = false;    // menu item and tool button together
  bool SaveProjectAs = false;
  bool SaveFile = false;       // Save LOADING.KWI As
  bool SaveBinFile = false;    // Save .BIN file As
  bool Undo = false;           // Edit menu: Undo
  bool Redo = false;           // Edit menu: Redo

  bool operator==(const CommandStates&) const = default;
};

// The file dialogs' fixed set-ups.
inline const std::string kProjectFilter = "Loading Translation Project|*.vmprj";
inline const std::string kProjectExt = "vmprj";
inline const std::string kDefaultProjectName = "Project1.vmprj";
inline const std::string kBinFilter = "Binary Loading Unit|*.BIN";
inline const std::string kDefaultBinName = "APM.BIN";
inline const std::string kDefaultLoaderName = "LOADING.KWI";

class WindowState {
 public:
  WindowState(PhraseTable& table, Platform& platform, ProjectFiles& files);
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;

  // Called with the kChanged* bits after a command changed something.
  std::function<void(unsigned)> OnChanged;
  // Called when a single grid row needs redrawing (a toggle).
  std::function<void(int gridRow)> OnRowChanged;
  // Called when the translation editor is about to open (after the edit
  // action found a row to edit).
  std::function<void()> OnEditAction;

  // --- the state ---
  PhraseTable& Table() { return table_; }
  const PhraseTable& Table() const { return table_; }
  Platform& Ui() { return platform_; }
  ProjectFiles& Files() { return files_; }
  PhraseGrid& Grid() { return grid_; }
  const PhraseGrid& Grid() const { return grid_; }
  bool Modified() const { return modified_; }
  bool HasProjectFile() const { return hasProjectFile_; }
  const CommandStates& Commands() const { return commands_; }
  const std::string& WindowTitle() const { return title_; }
  // The project file the window shows (or is opening).
  const std::string& ProjectPath() const { return projectPath_; }
  // Preset name of the .BIN save dialog.
  const std::string& SaveBinDialogName() const { return saveBinDialogName_; }
  // The three dialogs' logic, created once and kept for the program's life.
  NewProjectForm& NewProject() { return newProject_; }
  EditForm& Editor() { return editForm_; }
  CreateForm& SourceForm() { return createForm_; }
  UiLanguage Language() const { return language_; }
  CodePage DisplayCodePage() const { return codePage_; }
  // The unit's character set, when one was taken from a file; kept while
  // the program runs.
  const std::optional<std::set<uint32_t>>& Charset() const { return charset_; }
  void SetCharset(std::optional<std::set<uint32_t>> charset) { charset_ = std::move(charset); }
  // What the checks go by now: the display code page and the character set.
  CheckOptions CheckOptionsNow() const {
    CheckOptions options;
    options.Page = codePage_;
    options.Charset = charset_;
    return options;
  }
  // A phrase's 8-bit text as UTF-8, read through the display code page.
  std::string DisplayText(std::string_view bytes) const { return ToUtf8(bytes, codePage_); }
  // The current text of a caption-table row (empty before the first
  // language command).
  const std::string& Caption(CaptionId id) const { return captions_[static_cast<size_t>(id)]; }
  // The steps that Undo and Redo take back or bring again.
  UndoStack& History() { return undo_; }
  // The project file as the window last loaded or saved it.
  ProjectSync& Sync() { return sync_; }
  const UndoStack& History() const { return undo_; }
  // True while a project is open (it may have no phrases).
  bool ProjectOpen() const { return !table_.Phrases.empty() || !table_.UnitImage.empty(); }

  // --- the rules ---
  void Notify(unsigned what);
  // Runs a step of a command; an exception is shown in an error box with its
  // message, and the state stays as far as the step got. True when the step
  // ran to its end.
  bool Guard(const std::function<void()>& step);
  // A Yes/No question; true for Yes.
  bool Ask(const std::string& question);

  // Sets Modified; with a project file it enables Save Project.
  void MarkModified();
  // Sets or clears Modified (an undo back to the saved state clears it);
  // Save Project follows, given a project file.
  void SetModified(bool modified);
  // Empties the phrase table and the grid's rows, clears Modified and
  // HasProjectFile, disables the save commands; the window shows no project.
  void ResetProject();
  // Clears Modified and HasProjectFile and disables the save commands,
  // leaving the phrase table alone (a new project has just been made).
  void ResetFlags();
  // A project was opened or made from the file at path: the caption names
  // it, and the save commands other than Save Project are enabled.
  // binName is the preset name of the .BIN save dialog.
  void ShowProject(const std::string& path, std::string binName);
  // The project is now held by the project file at path (opened or saved):
  // this window's lock moves there.
  void HoldProjectFile(const std::string& path);
  // The project was written to path: unmodified, Save Project disabled,
  // caption on that file.
  void ProjectSaved(const std::string& path);
  void SetTitle(std::string title);
  void SetProjectPath(std::string path) { projectPath_ = std::move(path); }
  // The LOADING.KWI or .BIN the open project was made from.
  void SetCreationPath(std::string path) { creationPath_ = std::move(path); }
  // An edited text changed in the translation editor.
  void EnableSaveProjectAs();
  void SetUndoCommands(bool canUndo, bool canRedo);

  // The folder the file dialogs open in: the open project file's, else the
  // folder of the LOADING.KWI or .BIN the project was made from, else the
  // folder of the file chosen last.
  std::string DialogFolder() const;
  // The file dialogs, opening in DialogFolder(); the chosen file's folder
  // becomes the one used when no project is open.
  std::optional<std::string> ChooseFileToOpen(FileDialogRequest request);
  std::optional<std::string> ChooseFileToSave(FileDialogRequest request);
  // Raises EFCreateError when output names the project's source loader or,
  // with projectFileToo, the project file this window shows.
  void RefuseOutputOverProject(const std::string& output, bool projectFileToo) const;

  // --- the view's choices ---
  void FilterBtnClick(GridFilter filter);
  void EngMenuItemClick();
  void RusMenuItemClick();
  // tag: the code page's menu position (CodePage value).
  void CodePageMenuItemClick(int tag);

 protected:
  void ApplyLanguage(UiLanguage lang);

  PhraseTable& table_;
  Platform& platform_;
  ProjectFiles& files_;
  PhraseGrid grid_;
  bool modified_ = false;
  bool hasProjectFile_ = false;
  CommandStates commands_;
  std::string title_;
  std::string projectPath_;
  std::string saveBinDialogName_;
  NewProjectForm newProject_;
  EditForm editForm_;
  CreateForm createForm_;
  UiLanguage language_ = UiLanguage::Russian;
  CodePage codePage_ = CodePage::Default;
  std::optional<std::set<uint32_t>> charset_;
  std::array<std::string, kCaptionCount> captions_;
  UndoStack undo_;
  ProjectSync sync_;
  // The LOADING.KWI or .BIN the open project was made from (empty for a
  // project opened from its file); the folder of the file chosen last.
  std::string creationPath_;
  std::string lastFolder_;
};

}  // namespace velmora::ui
