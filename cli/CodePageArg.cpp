#include "cli/CodePageArg.h"

#include <string>

#include "project/text/CodePageChoice.h"

namespace velmora::cli {

std::optional<CodePage> CodePageOption(const ArgParser& ap) {
  const auto name = ap.Value("--codepage");
  if (!name) return std::nullopt;
  const auto page = CodePageFromCliName(*name);
  if (!page) throw UsageError("unknown code page '" + *name + "'");
  return page;
}

CodePage CodePageFor(const ArgParser& ap, const PhraseTable& table) {
  if (const auto page = CodePageOption(ap)) return *page;
  return ProjectCodePage(table);
}

}  // namespace velmora::cli
