// The question asked before the open project is given up: what is unsaved,
// and whether to save it before what comes next (quitting, opening another
// project, creating a new one).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/logic/words/CaptionTables.h"

namespace velmora::ui {

enum class NextStep { Quit, OpenProject, CreateProject };

// What the open project holds that a file does not.
struct UnsavedWork {
  bool Modified = false;
  bool HasProjectFile = false;
  bool ProjectOpen = false;
};

// The question in the language the captions are in, or nullopt when nothing
// would be lost. Quitting with changes asks the two close questions as they
// stand; a project that never had a file counts as unsaved work even
// without changes.
std::optional<std::string> UnsavedWorkQuestion(const UnsavedWork& work, NextStep next,
                                               const std::function<const std::string&(CaptionId)>& caption);

}  // namespace velmora::ui
