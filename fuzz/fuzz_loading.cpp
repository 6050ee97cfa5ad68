// Fuzzes the loader directory: the input is written to a file named
// LOADING.KWI, parsed with TLN_Loading, and the header of every unit is read
// -- through one stream for the whole directory (a stream per header, as
// ReadUnitHeader opens, would cost most of the run), and once through
// ReadUnitHeader itself, which must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/Loading.h"
#include "analysis/UnitHeader.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInputFile("LOADING.KWI", data, size);

  const TLN_Loading loader(path);
  fuzz::Check(loader.Valid || (loader.Frame.MakerCount == 0 && loader.Frame.Makers.empty()));
  fuzz::Check(loader.Frame.Makers.size() == loader.Frame.MakerCount);
  TLN_FileStream file(path);
  TBoundedStream stream(file, static_cast<int64_t>(size));
  bool first = true;
  size_t headers = 0;
  for (const auto& maker : loader.Frame.Makers) {
    fuzz::Check(maker.Modules.size() == maker.ModuleCount);
    for (const auto& module : maker.Modules) {
      fuzz::Check(module.Units.size() == module.UnitCount);
      fuzz::Check(module.Units.empty() || maker.MakerName == "AISIN-AW");
      for (const auto& unit : module.Units) {
        if (++headers > 512) break;  // a directory may list 262,144 units
        const auto h = ReadUnitHeaderFrom(stream, unit.Offset);
        fuzz::Check(h.UnitTag.size() <= 15 && h.MakerText.size() <= 15);
        if (first) {
          const auto again = ReadUnitHeader(loader, unit.Offset);
          fuzz::Check(again.UnitTag == h.UnitTag && again.UnitSize == h.UnitSize &&
                      again.UnitChecksum == h.UnitChecksum && again.BaseAddress == h.BaseAddress);
          first = false;
        }
      }
    }
  }
  return 0;
}
