// velmora-cli phrases: lists the phrases of a project file.
#include <iostream>

#include "analysis/Filters.h"
#include "cli/CliCommon.h"
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
    "  --filter FILTER   all (default), no-hidden, only-edited or final\n"
    "  --codepage NAME   default, west-europe, east-europe, greek, turkish,\n"
    "                    baltic, arabic, russian or japanese (default: default)\n"
    "  --json            a JSON array of objects instead of text lines\n"
    "\n"
    "Example:\n"
    "  velmora-cli phrases apm.vmprj --filter no-hidden\n";

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u" + FormatHex(static_cast<unsigned char>(c), 4);
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

int RunPhrases(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--filter", "--codepage"}, {"--json"});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one project file");
  GridFilter filter = GridFilter::NoFilter;
  if (auto f = ap.Value("--filter")) {
    const auto parsed = GridFilterFromName(*f);
    if (!parsed) throw UsageError("--filter takes all, no-hidden, only-edited or final, not '" + *f + "'");
    filter = *parsed;
  }
  const CodePage cp = CodePageOption(ap).value_or(CodePage::Default);
  const bool json = ap.Has("--json");

  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
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
