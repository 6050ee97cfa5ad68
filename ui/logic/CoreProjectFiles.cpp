#include "project/ProjectFile.h"
#include "ui/logic/ProjectFiles.h"

namespace velmora::ui {

namespace {

class CoreFiles final : public ProjectFiles {
 public:
  void Save(PhraseTable& table, const std::string& path) override { SaveProject(table, path); }
  void Open(PhraseTable& table, const std::string& path) override { OpenProject(table, path); }
};

}  // namespace

ProjectFiles& CoreProjectFiles() {
  static CoreFiles files;
  return files;
}

}  // namespace velmora::ui
