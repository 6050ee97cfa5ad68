// velmora-cli phrases: lists the phrases of a project file.
#include <iostream>

#include "analysis/Filters.h"
#include "cli/CliCommon.h"
#include "cli/CodePageArg.h"
#include "cli/JsonText.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"
#include "project/text/OneLineText.h"
#include "project/file/ProjectFile.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli phrases PROJECT.vmprj [--filter FILTER] [--codepage NAME] [--json]\n"
    "\n"
    "Lists the phrases of a project (never its link records), one per line:\n"
    "index, HIDE, ON, pointer offset, string offset, length, origin text and\n"
    "edited text. Texts are shown in UTF-8 from the chosen code page; line\n"
    "breaks, tabs and backslashes appear as \\n, \\r, \\t and \\\\.\n"
    "\n"
    "Options:\n"
    "  --filter FILTER   all (default), no-hidden, only-edited, final,\n"
    "                    untranslated (no translation) or to-review (a\n"
    "                    translation switched off)\n"
    "  --codepage NAME   default, west-europe, east-europe, greek, turkish,\n"
    "                    baltic, arabic, russian or japanese (default: the\n"
    "                    project's own: japanese when its phrases are Japanese\n"
    "                    texts, else the 8-bit code page of the user's locale)\n"
    "  --json            a JSON array of objects instead of text lines\n"
    "\n"
    "Example:\n"
    "  velmora-cli phrases apm.vmprj --filter no-hidden\n";

int RunPhrases(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--filter", "--codepage"}, {"--json"});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one project file");
  GridFilter filter = GridFilter::NoFilter;
  if (auto f = ap.Value("--filter")) {
    const auto parsed = GridFilterFromName(*f);
    if (!parsed) throw UsageError("--filter takes " + std::string(GridFilterNameList()) + ", not '" + *f + "'");
    filter = *parsed;
  }
  CodePageOption(ap);  // a wrong name is a usage error before the project is read
  const bool json = ap.Has("--json");

  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  const CodePage cp = CodePageFor(ap, table);
  const auto rows = FilterRows(table, filter);

  std::string out;
  if (json) {
    out += "[";
    bool first = true;
    for (const int32_t r : rows) {
      const TPhrase& p = table.Phrases[static_cast<size_t>(r)];
      out += first ? "\n" : ",\n";
      first = false;
      out += "  {\"index\": " + std::to_string(r) + ", \"hide\": " + ((p.Flags & pfHide) ? "true" : "false") +
             ", \"on\": " + ((p.Flags & pfOn) ? "true" : "false") +
             ", \"linkAddress\": " + std::to_string(p.LinkAddress) +
             ", \"stringAddress\": " + std::to_string(p.StringAddress) + ", \"length\": " + std::to_string(p.Length) +
             ", \"origin\": " + JsonString(ToUtf8(table.OriginText(p), cp)) + ", \"edited\": " +
             (table.HasEditedText(p) ? JsonString(ToUtf8(table.EditedText(p), cp)) : std::string("null")) + "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
  } else {
    out += "INDEX\tHIDE\tON\tLINK\tSTRING\tLENGTH\tORIGIN\tEDITED\n";
    for (const int32_t r : rows) {
      const TPhrase& p = table.Phrases[static_cast<size_t>(r)];
      out += std::to_string(r) + "\t" + ((p.Flags & pfHide) ? "x" : "-") + "\t" + ((p.Flags & pfOn) ? "x" : "-") +
             "\t" + FormatHex8(p.LinkAddress) + "\t" + FormatHex8(p.StringAddress) + "\t" + std::to_string(p.Length) + "\t" +
             OneLineText(ToUtf8(table.OriginText(p), cp)) + "\t" +
             (table.HasEditedText(p) ? OneLineText(ToUtf8(table.EditedText(p), cp)) : std::string()) + "\n";
    }
  }
  std::cout << out;
  return kExitOk;
}

CommandRegistrar reg({"phrases", "list the phrases of a project file", kUsage, RunPhrases});

}  // namespace
}  // namespace velmora::cli
