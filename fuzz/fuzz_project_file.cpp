// Fuzzes the project file reader and what runs on an opened project: the
// input is written to a file and opened; when it is accepted, the unit is
// built, exported and a text file (the input itself) is imported.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "FuzzInputFile.h"
#include "analysis/Filters.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"
#include "project/file/ProjectFile.h"
#include "project/exchange/TextExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = velmora::fuzz::WriteInputFile("fuzz.vmprj", data, size);

  velmora::PhraseTable table;
  try {
    velmora::OpenProject(table, path);
  } catch (const velmora::EStreamError&) {
    if (!table.Phrases.empty() || !table.UnitImage.empty()) std::abort();  // a refused file leaves no project
    return 0;
  }
  velmora::TMemoryStream out;
  velmora::BuildUnit(table, out);
  velmora::ExportPhrases(table, velmora::FilterRows(table, velmora::GridFilter::NoFilter), velmora::CodePage::WestEurope);
  try {
    velmora::ImportPhrases(table, std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const velmora::EConvertError&) {
  } catch (const velmora::ERefusal&) {
  }
  return 0;
}
