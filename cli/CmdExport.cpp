// velmora-cli export: writes the phrases that a grid filter shows into a text
// file, "index = text" per entry, for translation in any text editor.
#include <iostream>
#include <string>

#include "analysis/Filters.h"
#include "cli/CliCommon.h"
#include "container/OutputGuard.h"
#include "project/CodePages.h"
#include "project/ProjectFile.h"
#include "project/TextExchange.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli export PROJECT -o FILE [--filter NAME] [--codepage NAME]\n"
    "\n"
    "Writes the phrases that the grid shows under a filter into FILE, one entry\n"
    "per phrase: its index, \" = \", its source text (never the edited text), CR LF.\n"
    "A text with line feeds continues on further lines. Link records are never\n"
    "written.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  the text file to write (\"Phrases.txt\" is customary)\n"
    "  --filter NAME      all (default), no-hidden, only-edited or final\n"
    "  --codepage NAME    the display code page; with japanese (when the system\n"
    "                     knows code page 932) the file is UTF-16 little-endian\n"
    "                     with a byte-order mark, otherwise the bytes are written\n"
    "                     as they are (default: default)\n";

int RunExport(const std::vector<std::string>& args) {
  ArgParser ap(args, {"-o", "--output", "--filter", "--codepage"}, {});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one PROJECT");
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (!output || output->empty()) throw UsageError("the text file is missing (-o FILE)");
  GridFilter filter = GridFilter::NoFilter;
  if (auto f = ap.Value("--filter")) {
    auto parsed = GridFilterFromName(*f);
    if (!parsed) throw UsageError("--filter takes all, no-hidden, only-edited or final, not '" + *f + "'");
    filter = *parsed;
  }
  CodePage codePage = CodePage::Default;
  if (auto c = ap.Value("--codepage")) {
    auto parsed = CodePageFromCliName(*c);
    if (!parsed) throw UsageError("unknown code page '" + *c + "'");
    codePage = *parsed;
  }

  RefuseOutputOverInputs(*output, {ap.Positionals()[0]});
  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  // The loader the project was made from is not read here, but it is the
  // one file of the disc that no export may replace.
  RefuseOutputOverInputs(*output, {table.SourcePath});
  const auto rows = FilterRows(table, filter);
  WriteExport(*output, ExportPhrases(table, rows, codePage));
  std::cout << rows.size() << " phrase(s) exported to " << *output << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"export", "write phrase texts to a text file", kUsage, RunExport});

}  // namespace
}  // namespace velmora::cli
