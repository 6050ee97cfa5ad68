#include "project/ProjectEdit.h"

#include "project/ProjectFile.h"

namespace velmora {

bool EditProjectFile(const std::string& path, const ProjectChange& change) {
  PhraseTable table;
  OpenProject(table, path);
  const bool changed = change(table);
  if (changed) SaveProject(table, path);
  return changed;
}

}  // namespace velmora
