// Fuzzes the readers of translation memories (TMX) and glossaries (TBX and
// tab-separated): a file is read or refused with EFormatError, never
// otherwise; a memory that is read answers a search and writes a file that
// reads back with the same texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/glossary/Glossary.h"
#include "project/glossary/TermMatch.h"
#include "project/memory/TmxFile.h"
#include "project/memory/TranslationMemory.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<TmxUnit> units;
  try {
    const TmxHeader header = ReadTmx(bytes, [&](TmxUnit&& u) { units.push_back(std::move(u)); });
    size_t again = 0;
    ReadTmx(WriteTmx(header, units), [&](TmxUnit&& u) {
      if (again >= units.size() || u.Variants != units[again].Variants) std::abort();
      ++again;
    });
    if (again != units.size()) std::abort();
    TranslationMemory memory;
    memory.AddTmx(bytes, "fuzz.tmx", MemoryOptions{});
    MemorySearch search(memory, "");
    for (const TmxUnit& u : units)
      for (const TmxVariant& v : u.Variants) search.Best(v.Text, 3, 50);
  } catch (const EFormatError&) {
  }
  for (const std::string& target : {std::string(), std::string("de")}) {
    try {
      const TermFinder terms(ReadTbx(bytes, {"en", target}));
      terms.SourceTerms(bytes.substr(0, 200));
    } catch (const EFormatError&) {
    }
  }
  try {
    const TermFinder terms(ReadTabbedGlossary(bytes));
    terms.ForbiddenTerms(bytes.substr(0, 200));
  } catch (const EFormatError&) {
  }
  return 0;
}
