// What the main window's logic needs from the window system. The desktop
// program implements it with Qt; the tests implement it with a script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::ui {

class NewProjectForm;
class EditForm;
class CreateForm;
class LoaderUnitsForm;

// The button sets of the message boxes.
enum class Buttons { Ok, YesNo, YesNoCancel };
// The answer a message box returns.
enum class Answer { Ok, Yes, No, Cancel };
// How a message box presents itself (icon).
enum class BoxKind { Error, Question, Information, Warning };

// A file dialog's set-up: the filter as "Description|pattern" (empty: all
// files; several filters follow each other as "Description|pattern|
// Description|pattern", and a pattern may list several as "*.xlf;*.xliff"),
// the extension added to a name typed without one (save dialogs), and the
// file name shown when the dialog opens.
struct FileDialogRequest {
  std::string Filter;
  std::string DefaultExt;
  std::string PresetName;
  // Open dialogs: only an existing file may be chosen.
  bool MustExist = false;
  // The folder the dialog opens in (empty: the platform's choice). A preset
  // name with a folder of its own opens there instead.
  std::string Folder{};
  // The dialog's title, naming the command it serves (empty: the
  // platform's own, "Open" or "Save").
  std::string Title{};

  bool operator==(const FileDialogRequest&) const = default;
};

// A phrase changed both in the window and in its project file on disk.
// The versions are shown as the grid shows them: the edited text (UTF-8)
// and its ON and HIDE boxes.
struct ConflictRow {
  int32_t Index = 0;
  std::string Origin;  // the phrase's origin text, UTF-8
  std::string Mine;    // "Strecke  [ON]", "(no translation)  [HIDE]"
  std::string Theirs;
  bool operator==(const ConflictRow&) const = default;
};

// A text for the clipboard: Shown is the Unicode text (UTF-8) as the window
// shows it, Bytes the 8-bit bytes it was decoded from and Charset the iconv
// name of their code page ("CP1251").
struct ClipboardText {
  std::string Bytes;
  std::string Shown;
  std::string Charset;
  bool operator==(const ClipboardText&) const = default;
};

// A report shown in a window of its own: a title that names it, a heading,
// and a table whose columns line up. Rows hold a label and then numbers;
// an empty cell stays empty.
struct ReportTable {
  std::string Title;
  std::string Heading;
  std::vector<std::string> Columns;  // the heads; the label column's may be empty
  std::vector<std::vector<std::string>> Rows;
  std::vector<std::string> Notes;  // lines shown under the table, such as warnings
  bool operator==(const ReportTable&) const = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box; returns the button the user chose.
  virtual Answer MessageBox(const std::string& text, Buttons buttons, BoxKind kind) = 0;
  // Modal file dialogs; nullopt when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& desc) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& desc) = 0;
  // The position (from 0) of the filter that was chosen when the last file
  // dialog closed with a file.
  virtual size_t ChosenFilter() const = 0;

  // The status panel over the grid: show a text (the window repaints once
  // before the caller goes on), hide it now, or hide it after 1000 ms.
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void HideStatusNow() = 0;
  virtual void HideStatusLater() = 0;

  // The window's status line: a short note such as "Not found" or the
  // result of a verification, kept until the next command; an empty text
  // clears it.
  virtual void ShowStatusLine(const std::string& text) = 0;
  // A warning kept in the status line beside its text until the next
  // command, such as a written file whose folder could not be synced; an
  // empty text clears it.
  virtual void ShowStatusNote(const std::string& text) = 0;

  // Processes pending repaints once (before a long piece of work).
  virtual void Repaint() = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Puts a text on the clipboard: as the window shows it, and alongside as
  // its 8-bit bytes.
  virtual void SetClipboardText(const ClipboardText& text) = 0;

  // A report, shown modally until the user closes it.
  virtual void ShowReport(const ReportTable& report) = 0;

  // The three dialogs, shown modally; each opens with its logic's FormShow,
  // drives the logic with the user's actions and returns true when it
  // closed with OK (START).
  virtual bool ShowNewProjectForm(NewProjectForm& form) = 0;
  // The translation editor for grid row gridRow while topRow is the grid's
  // top scroll row (its placement).
  virtual bool ShowEditForm(EditForm& form, int gridRow, int topRow) = 0;
  virtual bool ShowCreateForm(CreateForm& form) = 0;
  // The loader's units dialog of Save LOADING.KWI; true when closed with OK.
  virtual bool ShowLoaderUnitsForm(LoaderUnitsForm& form) = 0;
  // The merge dialog: lists the conflicts with "keep mine" and "take theirs"
  // for each and for all. Returns, for each row, true to take theirs;
  // nullopt when the user cancels.
  virtual std::optional<std::vector<bool>> ResolveConflicts(const std::vector<ConflictRow>& rows) = 0;
};

}  // namespace velmora::ui
