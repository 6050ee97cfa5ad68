// Fuzzes the analysis of a unit taken from a LOADING.KWI: the first bytes
// choose the maker entry, module and unit, the text mode, "Hide ABC", the
// answers and an address range; the rest is the loader. Whatever the
// directory claims, the image never holds more than the loader has from the
// unit's offset, and the table keeps every promise of the phrase table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "analysis/ProjectCreation.h"
#include "container/kiwi/Loading.h"
#include "container/io/StreamErrors.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader in(data, size);
  const uint8_t flags = in.Byte();
  const uint8_t makerChoice = in.Byte();
  const uint8_t moduleChoice = in.Byte();
  const uint8_t unitChoice = in.Byte();
  const uint32_t rangeStart = in.Word32();
  const uint32_t rangeEnd = in.Word32();
  const std::string& path = fuzz::WriteInputFile("LOADING.KWI", in.Rest(), in.RestSize());

  const TLN_Loading loading(path);
  const auto makers = AisinMakerIndices(loading);
  if (makers.empty()) return 0;
  const int maker = makers[makerChoice % makers.size()];
  const auto& modules = loading.Frame.Makers[static_cast<size_t>(maker)].Modules;
  const int module = moduleChoice % static_cast<int>(modules.size());
  const auto& units = modules[static_cast<size_t>(module)].Units;
  // 255 asks for the preselected unit ("APM", else the first).
  const int unit = units.empty() || unitChoice == 255 ? -1 : unitChoice % static_cast<int>(units.size());

  AnalysisOptions options;
  options.Mode = static_cast<TextMode>(flags % 3);
  options.HideAbc = flags & 4;
  const bool yes = flags & 8;
  const bool ranged = flags & 16;
  options.RangeStart = ranged ? rangeStart : 0;
  options.RangeEnd = ranged ? rangeEnd : 0xFFFFFFFEu;

  PhraseTable table;
  CreationResult result;
  try {
    result = CreateProjectFromLoader(table, loading, maker, module, unit, options,
                                     [&](const std::string&) { return yes; });
  } catch (const EStreamError&) {
    fuzz::Check(table.UnitImage.empty() && table.Phrases.empty());
    return 0;
  } catch (const EProjectCreationError&) {
    return 0;
  }
  if (!result.Analysis.Completed) return 0;
  fuzz::CheckExtractedTable(table);
  fuzz::Check(uint64_t{table.Info.UnitOffset} + table.ImageLength() <= in.RestSize());
  fuzz::Check(table.SourcePath == path);
  for (const TPhrase& p : table.Phrases)
    fuzz::Check(!ranged || (p.StringAddress >= rangeStart && p.StringAddress <= rangeEnd));
  return 0;
}
