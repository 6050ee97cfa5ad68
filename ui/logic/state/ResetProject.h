// The two resets that reach over both the open project and its view: the
// grid's rows go with the phrases they showed.
#pragma once

#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

// Empties the phrase table and the grid's rows, clears Modified and
// HasProjectFile, disables the save commands; the window shows no project.
// Returns the kChanged* bits.
[[nodiscard]] inline unsigned ResetProject(ProjectState& project, Presentation& view) {
  const unsigned what = project.Reset();
  return what | view.ClearRows();
}

// The same, leaving the phrase table alone (a new project has just been
// made into it, or an analysis emptied it).
[[nodiscard]] inline unsigned ResetFlags(ProjectState& project, Presentation& view) {
  const unsigned rows = view.ClearRows();
  return rows | project.ClearFlags();
}

}  // namespace velmora::ui
