#include "analysis/ModuleUnits.h"

#include <cstdint>

#include "analysis/ProjectCreation.h"
#include "container/io/TLN_FileStream.h"

namespace velmora {

std::string NoUnitsReason(const TLN_Loading& loading, const TLN_Module_Info& module) {
  if (!module.Units.empty()) return {};
  const std::string head = "The module \"" + module.Name + "\" has no units: ";
  if (module.Start == 0xFFFFFFFFu) return head + "its record gives its data no position in the loader.";
  TLN_FileStream file(loading.FileName);
  const int64_t size = file.Seek(0, SeekOrigin::End);
  const int64_t end = int64_t{module.Start} + int64_t{module.Length};
  if (end > size)
    return head + "its data reaches to byte " + std::to_string(end) + ", but the file holds only " +
           std::to_string(size) + " bytes. The loader file is cut short (truncated).";
  return head + "its unit table lists none, or more than its record can hold.";
}

void RequireUnits(const TLN_Loading& loading, const TLN_Module_Info& module) {
  if (module.Units.empty()) throw EProjectCreationError(NoUnitsReason(loading, module));
}

}  // namespace velmora
