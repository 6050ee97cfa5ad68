// The main window's state and the logic of its commands, apart from any
// window system: the flags Modified and HasProjectFile, which commands are
// enabled, the window title, the close questions, the interface language
// and the display code page, the command line, and the project-file
// commands. The window (ui/qt) forwards its events here and redraws what
// the change notifications name; everything it needs from the window system
// goes through Platform.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Filters.h"
#include "analysis/PhraseTable.h"
#include "analysis/ProjectCreation.h"
#include "project/text/CodePages.h"
#include "project/verify/Verify.h"
#include "ui/logic/CaptionTables.h"
#include "ui/logic/CreateForm.h"
#include "ui/logic/EditForm.h"
#include "ui/logic/NewProjectForm.h"
#include "ui/logic/Platform.h"
#include "ui/logic/PhraseGrid.h"
#include "ui/logic/ProjectFiles.h"
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
  kChangedAll = (1u << 10) - 1,
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
// The Export and Import dialogs list the phrase-file formats
// (PhraseDialogFilters); a new export file is proposed as a text file.
inline const std::string kExportExt = "txt";
// The import's message box lists at most this many of the report's notes.
inline constexpr size_t kMaxImportNotesShown = 20;
inline const std::string kTakingTranslationsText = "Taking translations ...";

// The status panel's texts while a project is created.
inline const std::string kCreatingProjectText = "Creating project ...";
inline const std::string kCreatingProjectWaitText = "Creating project. Please wait ...";

// How many problems of a written file the error box lists.
constexpr size_t kProblemsInErrorBox = 10;

// The two find panels over the grid's header row.
enum class FindPanel { Origin = 1, Edited = 2 };

// The status line's note when a search finds nothing.
inline const std::string kNotFoundText = "Not found";
// The names of the undoable steps, shown in the status line after an undo
// ("Undone: ...") or a redo ("Redone: ...").
inline const std::string kUndoHideLabel = "HIDE switched";
inline const std::string kUndoOnLabel = "ON switched";
inline const std::string kUndoEditLabel = "Translation edited";
inline const std::string kUndoImportLabel = "Import from phrase file";
inline const std::string kUndoTakeTranslationsLabel = "Translations taken from a project";

class ShellController {
 public:
  ShellController(PhraseTable& table, Platform& platform, ProjectFiles& files = CoreProjectFiles());

  // Called with the kChanged* bits after a command changed something.
  std::function<void(unsigned)> OnChanged;
  // Called when a single grid row needs redrawing (a toggle).
  std::function<void(int gridRow)> OnRowChanged;
  // Called when the translation editor is about to open (after the edit
  // action found a row to edit).
  std::function<void()> OnEditAction;

  // --- life cycle ---
  // Window creation: caption, empty rows, no project file, empty grid.
  void FormCreate();
  // First show: Russian captions, then the command line (program arguments
  // without the program's name).
  void FormShow(const std::vector<std::string>& args);
  // Asked before the window closes; true lets it close (ConfirmUnsavedWork).
  bool FormCloseQuery();
  // The window closes: the phrase table is emptied.
  void FormClose();

  // The project path named by the command line: the arguments joined with
  // single blanks, when that names an existing file whose extension (from
  // the last dot of the file name on) is exactly ".vmprj".
  static std::optional<std::string> CommandLineProject(const std::vector<std::string>& args);

  // A loader or unit file named by the command line ("Open with" from a
  // file manager): the joined arguments name an existing file called
  // LOADING.KWI, or one whose name ends in .BIN, in any case of letters.
  enum class SourceKind { Loader, Bin };
  struct SourceFile {
    SourceKind Kind;
    std::string Path;
    bool operator==(const SourceFile&) const = default;
  };
  static std::optional<SourceFile> CommandLineSource(const std::vector<std::string>& args);
  // Runs the creation flow of CommandLineSource(args), if any, as Open
  // LOADING.KWI or Open .BIN file do once a file is chosen. The window calls
  // it after FormShow, once it is on the screen behind the dialog.
  void OpenCommandLineSource(const std::vector<std::string>& args);

  // --- state ---
  PhraseTable& Table() { return table_; }
  PhraseGrid& Grid() { return grid_; }
  const PhraseGrid& Grid() const { return grid_; }
  bool Modified() const { return modified_; }
  bool HasProjectFile() const { return hasProjectFile_; }
  const CommandStates& Commands() const { return commands_; }
  const std::string& WindowTitle() const { return title_; }
  const std::string& ProjectPath() const { return projectPath_; }
  // Preset names of the project and .BIN save dialogs.
  const std::string& SaveProjectDialogName() const { return saveProjectDialogName_; }
  const std::string& SaveBinDialogName() const { return saveBinDialogName_; }
  // Preset name of the Save LOADING.KWI dialog: "LOADING.KWI", then the
  // path chosen last.
  const std::string& SaveFileDialogName() const { return saveFileDialogName_; }
  // The three dialogs' logic, created once and kept for the program's life.
  NewProjectForm& NewProject() { return newProject_; }
  EditForm& Editor() { return editForm_; }
  CreateForm& SourceForm() { return createForm_; }
  UiLanguage Language() const { return language_; }
  CodePage DisplayCodePage() const { return codePage_; }
  // A phrase's 8-bit text as UTF-8, read through the display code page.
  std::string DisplayText(std::string_view bytes) const { return ToUtf8(bytes, codePage_); }
  // The current text of a caption-table row (empty before the first
  // language command).
  const std::string& Caption(CaptionId id) const { return captions_[static_cast<size_t>(id)]; }

  // --- rules used by other commands ---
  // Sets Modified; with a project file it enables Save Project.
  void MarkModified();
  // Empties the phrase table and the grid's rows, clears Modified and
  // HasProjectFile, disables the four save commands.
  void ResetProject();
  // "Velmora - path  [UnitName_UnitTag]".
  std::string ProjectTitle(const std::string& path) const;
  // Asked before the open project is closed or replaced (closing the
  // window, Open Project, Open LOADING.KWI, Open .BIN file): true when the
  // command may go on. Without unsaved changes it asks nothing. Otherwise
  // SaveChangesPrompt (the project has a file) or SaveProjectPrompt (it has
  // none) with Yes, No and Cancel: Yes saves (Save Project or Save Project
  // As) and goes on only when the save completed; No goes on without
  // saving; Cancel stops and keeps everything.
  bool ConfirmUnsavedWork();
  // The folder the file dialogs open in: the open project file's, else the
  // folder of the LOADING.KWI or .BIN the project was made from, else the
  // folder of the file chosen last.
  std::string DialogFolder() const;

  // --- undo and redo ---
  // Runs fn as one undoable step: every phrase it changes (its record and
  // the content of its edited text) is recorded, and a change marks the
  // project modified. Any command that changes phrases can be wrapped so,
  // e.g. RunAsUndoStep(kUndoImportLabel, [&] { ImportPhrases(table, bytes); }).
  // Returns true when a step was recorded. A call inside another joins the
  // outer step. An exception from fn passes through once the changes made
  // so far are recorded. fn may refill the grid but must not replace the
  // project (a table with another number of phrases empties the stack).
  bool RunAsUndoStep(const std::string& label, const std::function<void()>& fn);
  // Edit menu Undo (Ctrl+Z) and Redo (Ctrl+Y, Ctrl+Shift+Z). The grid is
  // refilled and the first phrase of the step selected when shown; an undo
  // or redo back to the saved state clears Modified.
  void UndoCommand();
  void RedoCommand();
  const UndoStack& History() const { return undo_; }

  // --- commands ---
  void OpenProjectCommand();
  // Opens a project file as the Open Project command does after its dialog.
  // When another Velmora window shows it, the user is asked first; returns
  // false (and leaves everything as it was) when the user declines.
  bool OpenProjectFile(const std::string& path);
  // Each returns true when the project was saved.
  bool SaveProjectCommand();
  bool SaveProjectAsCommand();

  // Project creation: "Open LOADING.KWI" and "Open .BIN file".
  void OpenFileCommand();
  void OpenBinFileCommand();
  // The two flows on a chosen file, after their question and file dialog.
  void OpenLoaderFile(const std::string& path);
  void OpenBinFile(const std::string& path);
  // Output: "Save LOADING.KWI As ..." and "Save .BIN file As ...".
  void SaveFileCommand();
  void SaveBinFileCommand();
  // The Edit menu: Copy (the origin text box to the clipboard), Export and
  // Import of a phrase file in the format (and, for text files, the
  // encoding) of the filter chosen in the dialog. Copy All has no action.
  void CopyCommand();
  void ExportCommand();
  void ImportCommand();
  // "Take Translations from Project ...": asks for the project of an older
  // version of the unit and carries its translations over to the open
  // project (project/carry/Carry.h), then shows the counts.
  void TakeTranslationsCommand();

  // Search: one step down or up from the selected row for the typed text
  // (UTF-8, turned into bytes through the display code page) in the panel's
  // column; a beep when nothing is found. Enter in a search box searches down.
  void FindDownBtnClick(FindPanel panel, const std::string& typed);
  void FindUpBtnClick(FindPanel panel, const std::string& typed);
  void FindEditKeyPress(FindPanel panel, const std::string& typed, char key);
  // F3 and Shift+F3: the last search once more, down or up. Without an
  // earlier search nothing is found.
  void FindAgain(bool down);

  // Space and Ctrl+H on the selected row: as a press on its ON or HIDE box.
  void ToggleOnCommand();
  void ToggleHideCommand();

  void FilterBtnClick(GridFilter filter);
  void EngMenuItemClick();
  void RusMenuItemClick();
  // tag: the code page's menu position (CodePage value).
  void CodePageMenuItemClick(int tag);

  // Grid events.
  void GridSelectCell(int gridRow);
  void GridTopRowChanged(int topRow);
  void GridMouseDown(int col, int gridRow);
  void GridDoubleClick();
  void GridEnterKey();
  void MemoClick();

 private:
  void ApplyLanguage(UiLanguage lang);
  // Clears Modified and HasProjectFile and disables the save commands,
  // leaving the phrase table alone (a new project has just been made).
  void ResetFlags();
  // The end of an analysis: the project's commands, grid, code page and
  // title; on a declined question only what the table now holds.
  void FinishCreation(const CreationResult& result, const std::string& titlePath);
  // After a creation step raised: an emptied table takes the grid and the
  // flags with it.
  void AfterCreationError();
  bool Ask(const std::string& question);
  // After an output command: verifies the written file when it was built,
  // shows the result, and hides the status panel later when it was shown.
  void FinishOutput(bool built, bool statusShown, const std::function<VerifyResult()>& verify);
  void FindStep(FindPanel panel, const std::string& typed, bool down);
  bool SaveProjectTo(const std::string& path);
  // The file dialogs, opening in DialogFolder(); the chosen file's folder
  // becomes the one used when no project is open.
  std::optional<std::string> ChooseFileToOpen(FileDialogRequest request);
  std::optional<std::string> ChooseFileToSave(FileDialogRequest request);
  // Pushes what changed since `before` as a step (not inside RunAsUndoStep,
  // whose step takes it in). Returns true when a step was pushed.
  bool RecordStep(const PhraseSnapshot& before, const std::string& label);
  void StepCommand(bool undo);
  void UpdateUndoCommands();
  // After a creation command: with the earlier project still open, its
  // title comes back; without a project the window shows none.
  void AfterCreationCommand(const std::string& previousTitle);
  void NotFound();
  // Raises EFCreateError when output names the project's source loader or,
  // with projectFileToo, the project file this window shows.
  void RefuseOutputOverProject(const std::string& output, bool projectFileToo) const;
  void EditAction();
  void Notify(unsigned what);
  // Runs a command; an exception is shown in an error box with its message,
  // and the state stays as far as the command got.
  template <typename F>
  bool Guard(F&& f);

  PhraseTable& table_;
  Platform& platform_;
  ProjectFiles& files_;
  PhraseGrid grid_;
  bool modified_ = false;
  bool hasProjectFile_ = false;
  CommandStates commands_;
  std::string title_;
  std::string projectPath_;
  std::string saveProjectDialogName_ = kDefaultProjectName;
  std::string saveBinDialogName_;
  std::string saveFileDialogName_ = kDefaultLoaderName;
  NewProjectForm newProject_;
  EditForm editForm_;
  CreateForm createForm_;
  UiLanguage language_ = UiLanguage::Russian;
  CodePage codePage_ = CodePage::Default;
  std::array<std::string, kCaptionCount> captions_;
  UndoStack undo_;
  int undoDepth_ = 0;  // RunAsUndoStep calls under way
  // The last search (F3, Shift+F3).
  struct LastSearch {
    FindPanel Panel;
    std::string Typed;
  };
  std::optional<LastSearch> lastSearch_;
  // The LOADING.KWI or .BIN the open project was made from (empty for a
  // project opened from its file); the folder of the file chosen last.
  std::string creationPath_;
  std::string lastFolder_;
};

}  // namespace velmora::ui
