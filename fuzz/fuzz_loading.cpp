// Fuzzes the loader directory: the input is written to a file named
// LOADING.KWI, parsed with TLN_Loading, and the header of every unit is read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInputFile.h"
#include "container/Loading.h"
#include "container/StreamErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = velmora::fuzz::WriteInputFile("LOADING.KWI", data, size);

  const velmora::TLN_Loading loader(path);
  if (!loader.Valid && (loader.Frame.MakerCount != 0 || !loader.Frame.Makers.empty())) std::abort();
  if (loader.Frame.Makers.size() != loader.Frame.MakerCount) std::abort();
  size_t headers = 0;
  for (const auto& maker : loader.Frame.Makers) {
    if (maker.Modules.size() != maker.ModuleCount) std::abort();
    for (const auto& module : maker.Modules) {
      if (module.Units.size() != module.UnitCount) std::abort();
      if (!module.Units.empty() && maker.MakerName != "AISIN-AW") std::abort();
      for (const auto& unit : module.Units) {
        if (headers++ >= 4096) break;  // every header opens the file anew
        const auto h = loader.ReadUnitHeader(unit.Offset);
        if (h.UnitTag.size() > 15 || h.MakerText.size() > 15) std::abort();
      }
    }
  }
  return 0;
}
