// Helpers for the window logic's tests: a scripted Platform, project-file
// operations that tests control, a small phrase table built by hand, and
// the window every test of the shell starts from.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "sampledata/SampleData.h"
#include "support/TableBuilder.h"
#include "support/TestSupport.h"
#include "ui/logic/dialogs/CreateForm.h"
#include "ui/logic/dialogs/LoaderUnitsForm.h"
#include "ui/logic/dialogs/EditForm.h"
#include "ui/logic/dialogs/NewProjectForm.h"
#include "ui/logic/Platform.h"
#include "ui/logic/state/ProjectFiles.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
// Readable failure messages for file dialog set-ups.
inline void PrintTo(const FileDialogRequest& d, std::ostream* os) {
  *os << "{Filter \"" << d.Filter << "\", DefaultExt \"" << d.DefaultExt << "\", PresetName \"" << d.PresetName
      << "\", MustExist " << d.MustExist << ", Folder \"" << d.Folder << "\", Title \"" << d.Title << "\"}";
}
}  // namespace velmora::ui

namespace velmora::ui::testing {

// Answers message boxes and file dialogs from queues and records each call.
class ScriptedPlatform : public Platform {
 public:
  struct Box {
    std::string Text;
    Buttons ButtonSet;
    BoxKind Kind;
  };
  std::vector<Box> Boxes;
  std::deque<Answer> Answers;  // an empty queue answers Cancel (Ok for Ok boxes)

  std::vector<FileDialogRequest> OpenDialogs, SaveDialogs;
  std::deque<std::optional<std::string>> OpenResults, SaveResults;  // empty: cancelled
  std::deque<size_t> FilterResults;  // the filter chosen in each dialog; empty: the first

  // "show:TEXT", "hide-now", "hide-later", and "dialog:NAME" when one of
  // the three dialogs opens (in call order).
  std::vector<std::string> Status;
  int Beeps = 0;
  std::string Clipboard;  // the 8-bit bytes
  std::string ClipboardShown, ClipboardCharset;
  // Every text the status line was given, in order ("" clears it).
  std::vector<std::string> StatusLine;

  // Every set of rows the merge dialog showed, and its answers in order
  // (empty: cancelled).
  std::vector<std::vector<ConflictRow>> Conflicts;
  std::deque<std::optional<std::vector<bool>>> ConflictAnswers;
  std::optional<std::vector<bool>> ResolveConflicts(const std::vector<ConflictRow>& rows) override {
    Conflicts.push_back(rows);
    if (ConflictAnswers.empty()) return std::nullopt;
    auto a = ConflictAnswers.front();
    ConflictAnswers.pop_front();
    return a;
  }

  Answer MessageBox(const std::string& text, Buttons buttons, BoxKind kind) override {
    Boxes.push_back({text, buttons, kind});
    if (Answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    const Answer a = Answers.front();
    Answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& desc) override {
    OpenDialogs.push_back(desc);
    PopFilter();
    return Pop(OpenResults);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& desc) override {
    SaveDialogs.push_back(desc);
    PopFilter();
    return Pop(SaveResults);
  }
  size_t ChosenFilter() const override { return chosenFilter_; }
  void ShowStatus(const std::string& text) override { Status.push_back("show:" + text); }
  void HideStatusNow() override { Status.push_back("hide-now"); }
  void HideStatusLater() override { Status.push_back("hide-later"); }
  void ShowStatusLine(const std::string& text) override { StatusLine.push_back(text); }
  // Every warning the status line was given, in order.
  std::vector<std::string> StatusNotes;
  void ShowStatusNote(const std::string& text) override { StatusNotes.push_back(text); }
  void Repaint() override {}
  void Beep() override { ++Beeps; }
  // Every report shown, in order.
  std::vector<ReportTable> Reports;
  void ShowReport(const ReportTable& report) override { Reports.push_back(report); }
  void SetClipboardText(const ClipboardText& text) override {
    Clipboard = text.Bytes;
    ClipboardShown = text.Shown;
    ClipboardCharset = text.Charset;
  }

  // The dialogs act through these; unset ones are closed with Cancel.
  std::function<bool(NewProjectForm&)> OnNewProjectForm;
  std::function<bool(EditForm&, int gridRow, int topRow)> OnEditForm;
  std::function<bool(CreateForm&)> OnCreateForm;
  // The loader's units dialog: unset, it is closed with OK as it opened (the
  // open project's unit alone), so Save LOADING.KWI goes on as before.
  std::function<bool(LoaderUnitsForm&)> OnLoaderUnitsForm;

  bool ShowNewProjectForm(NewProjectForm& form) override {
    Status.push_back("dialog:new-project");
    form.FormShow();
    return OnNewProjectForm ? OnNewProjectForm(form) : false;
  }
  bool ShowEditForm(EditForm& form, int gridRow, int topRow) override {
    Status.push_back("dialog:editor");
    return OnEditForm ? OnEditForm(form, gridRow, topRow) : false;
  }
  bool ShowCreateForm(CreateForm& form) override {
    Status.push_back("dialog:source");
    form.FormShow();
    return OnCreateForm ? OnCreateForm(form) : false;
  }
  bool ShowLoaderUnitsForm(LoaderUnitsForm& form) override {
    ++LoaderUnitsShown;
    return OnLoaderUnitsForm ? OnLoaderUnitsForm(form) : true;
  }
  int LoaderUnitsShown = 0;

 private:
  static std::optional<std::string> Pop(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
  void PopFilter() {
    chosenFilter_ = FilterResults.empty() ? 0 : FilterResults.front();
    if (!FilterResults.empty()) FilterResults.pop_front();
  }
  size_t chosenFilter_ = 0;
};

// Project-file operations whose effect each test sets.
class FakeProjectFiles : public ProjectFiles {
 public:
  std::function<void(PhraseTable&, const std::string&)> OnOpen;
  std::function<void(PhraseTable&, const std::string&)> OnSave;
  std::vector<std::string> Saved, Opened;

  void Save(PhraseTable& table, const std::string& path) override {
    if (OnSave) OnSave(table, path);
    Saved.push_back(path);
  }
  void Open(PhraseTable& table, const std::string& path) override {
    table.Reset();
    if (OnOpen) OnOpen(table, path);
    Opened.push_back(path);
  }
};

// Builds a phrase table by hand (shared with the core's tests).
using TableBuilder = velmora::test::TableBuilder;

// One window's logic over a scripted platform: the set-up every test of the
// shell starts from. Its project files are FakeProjectFiles (files.OnOpen
// decides what a project file holds), or the real ones with the locks.
struct TestWindow {
  enum class Files { Fake, Real };
  explicit TestWindow(Files kind = Files::Fake)
      : shell(table, platform, kind == Files::Real ? CoreProjectFiles() : static_cast<ProjectFiles&>(files)) {}

  // Every project file that is opened holds the table fill builds.
  void EveryProjectHolds(std::function<void(PhraseTable&)> fill) {
    files.OnOpen = [fill = std::move(fill)](PhraseTable& t, const std::string&) { fill(t); };
  }
  // The program comes up: the window is created and shown with the
  // command line args.
  void Start(const std::vector<std::string>& args = {}) {
    shell.FormCreate();
    shell.FormShow(args);
  }
  // Open Project, with path chosen in its dialog.
  void OpenProject(const std::string& path) {
    platform.OpenResults.push_back(path);
    shell.ProjectFile().OpenProjectCommand();
  }

  // Writes the demo loader into folder and makes a project of its APM unit
  // through Open LOADING.KWI and START; the dialogs and status texts seen on
  // the way are forgotten. Returns the loader's path.
  std::string OpenDemoLoaderProject(const std::string& folder) {
    const std::string loader = folder + "/LOADING.KWI";
    velmora::test::WriteFile(loader, sample::MakeLoader(sample::DemoLoaderRecipe()));
    platform.OpenResults.push_back(loader);
    platform.OnNewProjectForm = [](NewProjectForm& f) { return f.StartBtnClick(); };
    shell.Creation().OpenFileCommand();
    platform.OnNewProjectForm = nullptr;
    platform.Status.clear();
    platform.OpenDialogs.clear();
    return loader;
  }

  PhraseTable table;
  ScriptedPlatform platform;
  FakeProjectFiles files;
  ShellController shell;
};

}  // namespace velmora::ui::testing
