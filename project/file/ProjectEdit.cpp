#include "project/file/ProjectEdit.h"

#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"

namespace velmora {

bool EditProjectFile(const std::string& path, const ProjectChange& change) {
  const TProjectEditLock lock(path);
  PhraseTable table;
  OpenProject(table, path);
  const bool changed = change(table);
  if (changed) SaveProject(table, path);
  return changed;
}

void SaveProjectLocked(PhraseTable& table, const std::string& path) {
  const TProjectEditLock lock(path);
  SaveProject(table, path);
}

}  // namespace velmora
