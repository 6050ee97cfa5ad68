// The project-file operations the shell's commands call. The program uses
// the core's SaveProject/OpenProject; tests may put their own in.
#pragma once

#include <string>

#include "analysis/PhraseTable.h"

namespace velmora::ui {

class ProjectFiles {
 public:
  virtual ~ProjectFiles() = default;
  // Both raise an exception whose message is shown to the user.
  virtual void Save(PhraseTable& table, const std::string& path) = 0;
  virtual void Open(PhraseTable& table, const std::string& path) = 0;
};

// SaveProject and OpenProject of project/ProjectFile.h.
ProjectFiles& CoreProjectFiles();

}  // namespace velmora::ui
