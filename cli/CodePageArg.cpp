#include "cli/CodePageArg.h"

#include "project/text/CodePageChoice.h"

namespace velmora::cli {

CodePage CodePageFor(const ArgParser& ap, const PhraseTable& table) {
  if (const auto page = CodePageOption(ap)) return *page;
  return ProjectCodePage(table);
}

}  // namespace velmora::cli
