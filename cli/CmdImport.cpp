// velmora-cli import: reads a phrase file (a text file, gettext PO or XLIFF
// 1.2) back into a project and saves it.
#include <iostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/ExchangeArgs.h"
#include "container/io/OutputGuard.h"
#include "project/file/ProjectEdit.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli import PROJECT FILE [--format txt|po|xliff] [--codepage NAME]\n"
    "                          [--encoding utf-8|utf-16|8bit] [--force]\n"
    "\n"
    "Reads the phrase file FILE into the project and saves it. The format follows\n"
    "the extension of FILE (.po, .pot, .xlf, .xliff, .txt), then its first bytes;\n"
    "--format overrides it.\n"
    "\n"
    "Text files: entry lines are \"INDEX = TEXT\"; lines without \"=\" continue the\n"
    "text before them. Each entry gives its phrase a new edited text; ON and HIDE\n"
    "are not changed (switch imported texts on with 'set --on'). A file that\n"
    "starts with a byte-order mark is read as UTF-16 (FF FE) or UTF-8 (EF BB BF)\n"
    "and its texts are converted into the code page; without one the bytes are\n"
    "taken as they are, unless --encoding names the encoding. An index too large\n"
    "for a 32-bit number stops the import with an error, and the project is then\n"
    "not saved.\n"
    "\n"
    "PO and XLIFF files: only the index (msgctxt, trans-unit id) and the\n"
    "translation (msgstr, target) are data. An entry whose source text no longer\n"
    "matches the project's is skipped as \"source changed\" unless --force is given.\n"
    "A translation that is not fuzzy (target state not new or needs-...) is\n"
    "switched on and shown, as the translation editor's OK does; a fuzzy one is\n"
    "stored switched off; an empty one changes nothing. The report counts the\n"
    "entries applied, unchanged, source changed, over budget (longer than their\n"
    "room: they will be relocated), unrepresentable in the code page and of\n"
    "unknown index, with the file's line for each that needs attention. A file\n"
    "that cannot be parsed is an error naming the line, and nothing is applied.\n"
    "\n"
    "Options:\n"
    "  --format NAME    txt, po or xliff\n"
    "  --codepage NAME  the code page of the unit's texts (default: the one a PO\n"
    "                   or XLIFF file records, else default)\n"
    "  --encoding NAME  text files only: utf-8, utf-16 or 8bit\n"
    "  --force          apply entries whose source text has changed\n"
    "\n"
    "Example:\n"
    "  velmora-cli import apm.vmprj apm.po\n";

// Notes printed after the count line; the rest are counted.
constexpr size_t kMaxNotesShown = 200;

int RunImport(const std::vector<std::string>& args) {
  ArgParser ap(args, kExchangeValueOptions, {"--force"});
  if (ap.Positionals().size() != 2) throw UsageError("give PROJECT and FILE");
  const std::string& projectPath = ap.Positionals()[0];
  const std::string& filePath = ap.Positionals()[1];
  // The project is the one file written; the phrase file is only read.
  RefuseOutputOverInputs(projectPath, {filePath});
  const PhraseFormat* format = FormatOption(ap);
  ExchangeOptions options = ExchangeOptionsFrom(ap, format);
  options.force = ap.Has("--force");

  ImportReport report;
  EditProjectFile(projectPath, [&](PhraseTable& table) {
    report = ImportPhraseFile(format, table, filePath, options);
    return report.Changed;
  });
  std::cout << report.Text(filePath, kMaxNotesShown) << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"import", "read a text, PO or XLIFF phrase file into a project", kUsage, RunImport});

}  // namespace
}  // namespace velmora::cli
