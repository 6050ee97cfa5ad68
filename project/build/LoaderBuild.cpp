#include "project/build/LoaderBuild.h"

#include "container/io/OutputGuard.h"
#include "container/io/StreamErrors.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"

namespace velmora {

int64_t RebuildLoader(const PhraseTable& table, const std::string& sourcePath, const std::string& outputPath,
                      const StatusCallback& status) {
  return RebuildLoader(std::vector<const PhraseTable*>{&table}, sourcePath, outputPath, status);
}

int64_t RebuildLoader(const std::vector<const PhraseTable*>& tables, const std::string& sourcePath,
                      const std::string& outputPath, const StatusCallback& status) {
  // Refused before the status panel says anything.
  RefuseOutputOverInput(outputPath, sourcePath, "the source loader");

  if (status) status(kCreatingLoaderText);
  struct CompletionReport {
    const StatusCallback& status;
    ~CompletionReport() {
      if (status) status(kLoaderCompleteText);
    }
  } completion{status};

  if (tables.empty()) throw EFormatError("No project to build the loader from.");
  if (tables.size() > 1) {
    if (const auto problem = CheckModuleGroup(tables))
      throw ERefusal("The loader cannot carry " + GroupMemberName(problem->Index, *tables[problem->Index]) +
                         ": " + problem->Reason + ".");
    // Each project's unit must be the one the source holds, or the others'
    // positions in it mean nothing.
    size_t failed = 0;
    const SourceCheck check = CheckGroupSource(tables, sourcePath, &failed);
    if (check != SourceCheck::Suitable)
      throw EFormatError("The source loader does not serve " + GroupMemberName(failed, *tables[failed]) + ": " +
                         SourceCheckText(check) + ".");
  }
  std::vector<TranslatedUnit> units;
  for (const PhraseTable* table : tables) {
    if (table->Info.UnitIndex < 0)
      throw EFormatError("The source loader does not hold the project's module and unit.");
    units.push_back({static_cast<size_t>(table->Info.UnitIndex),
                     [table](TStream& out) { return BuildUnit(*table, out); }});
  }
  return RebuildLoader(sourcePath, outputPath, ProjectModule(*tables.front()), units);
}

}  // namespace velmora
