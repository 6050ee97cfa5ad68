// The logic of the window's dialogs, created once with the window and kept
// for the program's life; the window (ui/qt) builds one Qt dialog over each.
#pragma once

#include "project/build/SourceLoader.h"
#include "ui/logic/dialogs/CreateForm.h"
#include "ui/logic/dialogs/EditForm.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/dialogs/LoaderUnitsForm.h"
#include "ui/logic/dialogs/NewProjectForm.h"

namespace velmora::ui {

struct DialogModels {
  DialogModels(Platform& platform, ProjectFiles& files, const ProjectState& project)
      : NewProject(platform),
        Editor(platform),
        Source(platform, [&project](const std::string& path) { return IsSourceSuitable(project.Table(), path); }),
        LoaderUnits(platform, files),
        Files(platform, project) {}
  DialogModels(const DialogModels&) = delete;
  DialogModels& operator=(const DialogModels&) = delete;

  NewProjectForm NewProject;  // "Create New Project"
  EditForm Editor;            // the translation editor
  CreateForm Source;          // the source loader of Save LOADING.KWI As
  LoaderUnitsForm LoaderUnits;  // the units of Save LOADING.KWI As
  FileDialogs Files;          // the open and save dialogs
};

}  // namespace velmora::ui
