// Takes what others changed in the window's project file into the window's
// table: on save (under the project's edit lock, before the write) and when
// the window is activated again. Phrases changed on disk only are taken
// without a question; phrases changed on both sides go to the merge dialog.
// The merge is one undoable step.
#pragma once

#include <string>

#include "ui/logic/MainWindow.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

enum class DiskMergeResult {
  Unchanged,    // the file is as the window last saw it
  Merged,       // its changes are in the table now
  Cancelled,    // the user cancelled the merge dialog: nothing changed
  Gone,         // no file at the path any more
  NotAProject,  // the file is no longer this project
};

// The question after Gone or NotAProject, offering Save As.
std::string DiskProblemQuestion(DiskMergeResult result, const std::string& path);

class DiskMerge {
 public:
  DiskMerge(MainWindow& window, ProjectState& project, Presentation& view)
      : window_(window), project_(project), view_(view) {}

  // Merges the changes of the file at path (the window's project file) into
  // the table. Unchanged when the window does not track that file.
  DiskMergeResult MergeFromDisk(const std::string& path);

 private:
  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
};

}  // namespace velmora::ui
