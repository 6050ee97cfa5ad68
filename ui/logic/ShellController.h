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
#include "project/CodePages.h"
#include "ui/logic/CaptionTables.h"
#include "ui/logic/CreateForm.h"
#include "ui/logic/EditForm.h"
#include "ui/logic/NewProjectForm.h"
#include "ui/logic/Platform.h"
#include "ui/logic/PhraseGrid.h"
#include "ui/logic/ProjectFiles.h"

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

  bool operator==(const CommandStates&) const = default;
};

// The file dialogs' fixed set-ups.
inline const std::string kProjectFilter = "Loading Translation Project|*.vmprj";
inline const std::string kProjectExt = "vmprj";
inline const std::string kDefaultProjectName = "Project1.vmprj";
inline const std::string kBinFilter = "Binary Loading Unit|*.BIN";
inline const std::string kDefaultBinName = "APM.BIN";
inline const std::string kDefaultLoaderName = "LOADING.KWI";
inline const std::string kExportFilter = "Text Files|*.txt";
inline const std::string kExportExt = "txt";
inline const std::string kImportFilter = "Text File|*.txt";

// The status panel's texts while a project is created.
inline const std::string kCreatingProjectText = "Creating project ...";
inline const std::string kCreatingProjectWaitText = "Creating project. Please wait ...";

// The two find panels over the grid's header row.
enum class FindPanel { Origin = 1, Edited = 2 };

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
  // Asked before the window closes; true lets it close.
  bool FormCloseQuery();
  // The window closes: the phrase table is emptied.
  void FormClose();

  // The project path named by the command line: the arguments joined with
  // single blanks, when that names an existing file whose extension (from
  // the last dot of the file name on) is exactly ".vmprj".
  static std::optional<std::string> CommandLineProject(const std::vector<std::string>& args);

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
  // Output: "Save LOADING.KWI As ..." and "Save .BIN file As ...".
  void SaveFileCommand();
  void SaveBinFileCommand();
  // The Edit menu: Copy (the origin text box to the clipboard), Export and
  // Import of the phrase text file. Copy All has no action.
  void CopyCommand();
  void ExportCommand();
  void ImportCommand();

  // Search: one step down or up from the selected row for the typed text
  // (UTF-8, turned into bytes through the display code page) in the panel's
  // column; a beep when nothing is found. Enter in a search box searches down.
  void FindDownBtnClick(FindPanel panel, const std::string& typed);
  void FindUpBtnClick(FindPanel panel, const std::string& typed);
  void FindEditKeyPress(FindPanel panel, const std::string& typed, char key);

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
  void StatusText(std::string_view text);
  void FindStep(FindPanel panel, const std::string& typed, bool down);
  bool SaveProjectTo(const std::string& path);
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
};

}  // namespace velmora::ui
