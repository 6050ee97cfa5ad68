#include "project/build/LoaderBuild.h"

#include "container/io/OutputGuard.h"
#include "container/io/StreamErrors.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/SourceLoader.h"

namespace velmora {

int64_t RebuildLoader(const PhraseTable& table, const std::string& sourcePath, const std::string& outputPath,
                      const StatusCallback& status) {
  // Refused before the status panel says anything.
  RefuseOutputOverInput(outputPath, sourcePath, "the source loader");

  if (status) status(kCreatingLoaderText);
  struct CompletionReport {
    const StatusCallback& status;
    ~CompletionReport() {
      if (status) status(kLoaderCompleteText);
    }
  } completion{status};

  if (table.Info.UnitIndex < 0)
    throw EFormatError("The source loader does not hold the project's module and unit.");
  const TranslatedUnit unit{static_cast<size_t>(table.Info.UnitIndex),
                            [&table](TStream& out) { return BuildUnit(table, out); }};
  return RebuildLoader(sourcePath, outputPath, ProjectModule(table), {unit});
}

}  // namespace velmora
