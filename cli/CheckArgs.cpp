#include "cli/CheckArgs.h"

#include <iostream>

#include "project/check/CharacterSet.h"

namespace velmora::cli {

const char* const kCheckOptionsUsage =
    "  --codepage NAME    the code page of the unit's texts (default: default, the\n"
    "                     8-bit code page of the user's locale)\n"
    "  --charset FILE     a UTF-8 text file listing the characters the unit's font\n"
    "                     has; any other character of a translation is an error\n"
    "  --max-growth BYTES\n"
    "                     warn when relocated texts make the unit grow by more\n";

CheckOptions CheckOptionsFrom(const ArgParser& ap) {
  CheckOptions options;
  if (const auto c = ap.Value("--codepage")) {
    const auto page = CodePageFromCliName(*c);
    if (!page) throw UsageError("unknown code page '" + *c + "'");
    options.Page = *page;
  }
  if (const auto g = ap.Value("--max-growth")) {
    const long long bytes = ParseInteger(*g, "--max-growth");
    if (bytes < 0) throw UsageError("--max-growth takes a number of bytes, not '" + *g + "'");
    options.MaxGrowth = static_cast<uint64_t>(bytes);
  }
  if (const auto f = ap.Value("--charset")) options.Charset = LoadCharacterSet(*f);
  return options;
}

bool PassBuildGate(const PhraseTable& table, const CheckOptions& options, bool force, const std::string& command) {
  const std::vector<Problem> errors = ErrorsOf(CheckProject(table, options));
  if (errors.empty()) return true;
  const std::string prefix = "velmora-cli " + command + ": ";
  for (const Problem& p : errors) std::cerr << prefix << CheckProblemLine(p) << "\n";
  if (force) {
    std::cerr << prefix << "--force: building over " << errors.size()
              << " error(s) that may break the unit (listed above)\n";
    return true;
  }
  std::cerr << prefix << errors.size() << " error(s) found by the checks; nothing written"
            << " (mend them, or build anyway with --force)\n";
  return false;
}

}  // namespace velmora::cli
