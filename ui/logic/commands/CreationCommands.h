// Project creation in the window: "Open LOADING.KWI" and "Open .BIN file".
// Both run one flow: the question about unsaved work, the file dialog, the
// status panel, the "Create New Project" dialog set up by the chosen file,
// the analysis, and the new project in the grid.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "ui/logic/MainWindow.h"
#include "ui/logic/commands/ProjectFileCommands.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/dialogs/NewProjectForm.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

// The status panel's texts while a project is created.
inline const std::string kCreatingProjectText = "Creating project ...";
inline const std::string kCreatingProjectWaitText = "Creating project. Please wait ...";

// What a new project is made from: a LOADING.KWI or a .BIN file, open for
// reading while the flow runs. It offers the dialog once for each choice it
// holds (a loader: once for each "AISIN-AW" entry, in turn, until one is
// started; a .BIN file: once).
class ProjectSource {
 public:
  virtual ~ProjectSource() = default;
  virtual size_t Offers() const = 0;
  // Sets the dialog up for one offer.
  virtual void Prepare(size_t offer, NewProjectForm& form) = 0;
  // Analyses the unit the dialog chose into table.
  virtual CreationResult Create(size_t offer, PhraseTable& table, const NewProjectForm& form,
                                const AskYesNo& ask) = 0;
};

class CreationCommands {
 public:
  // Before the open project is replaced, projectFile asks about unsaved
  // work.
  CreationCommands(MainWindow& window, ProjectState& project, Presentation& view, FileDialogs& dialogs,
                   NewProjectForm& form, ProjectFileCommands& projectFile)
      : window_(window), project_(project), view_(view), dialogs_(dialogs), form_(form), projectFile_(projectFile) {}

  void OpenFileCommand();
  void OpenBinFileCommand();
  // The flow on a chosen file, after the question and the file dialog.
  void OpenLoaderFile(const std::string& path);
  void OpenBinFile(const std::string& path);
  // Runs the flow on the loader or unit file that the command line names,
  // if any (startup/CommandLine.h).
  void OpenCommandLineSource(const std::vector<std::string>& args);

 private:
  // The flow on the file at path; open reads it.
  void Create(const std::string& path, const std::function<std::unique_ptr<ProjectSource>()>& open);
  // The end of an analysis: the project's commands, grid, code page and
  // title; on a declined question only what the table now holds.
  void FinishCreation(const CreationResult& result, const std::string& path);
  // After a creation step raised: an emptied table takes the grid and the
  // flags with it.
  void AfterCreationError();

  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
  FileDialogs& dialogs_;
  NewProjectForm& form_;
  ProjectFileCommands& projectFile_;
};

}  // namespace velmora::ui
