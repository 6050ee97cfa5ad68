// velmora-cli import: reads a phrase file (a text file, gettext PO or XLIFF
// 1.2) back into a project and saves it.
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string>

#include "cli/CliCommon.h"
#include "cli/ExchangeArgs.h"
#include "cli/StdStreams.h"
#include "container/io/OutputGuard.h"
#include "container/io/Stream.h"
#include "project/file/ProjectEdit.h"
#include "project/text/CodePageChoice.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli import PROJECT FILE [--format txt|po|xliff] [--codepage NAME]\n"
    "                          [--encoding utf-8|utf-16|8bit] [--force] [--notes all]\n"
    "\n"
    "Reads the phrase file FILE (- for standard input) into the project and saves\n"
    "it. The format follows the extension of FILE (.po, .pot, .xlf, .xliff, .txt),\n"
    "then its first bytes; --format overrides it. A phrase file, and standard\n"
    "input, may hold at most 64 MB.\n"
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
    "PO and XLIFF files: the index (msgctxt, trans-unit id), the source text and\n"
    "the translation (msgstr, target) are read. An entry lands on the phrase its\n"
    "index names when that phrase has the entry's source text; otherwise on the\n"
    "one phrase whose text is the entry's source (\"matched by text\": tools that\n"
    "convert or merge files drop or renumber the index); a source that several\n"
    "phrases hold is \"ambiguous\" and left alone. An entry whose source text is\n"
    "nowhere in the project is skipped as \"source changed\" unless --force is\n"
    "given, which applies it to the phrase of its index and names it (\"forced\").\n"
    "A translation that is not fuzzy (target state not new or needs-...) is\n"
    "switched on and shown, as the translation editor's OK does; a fuzzy one is\n"
    "shown and \"stored switched off\"; an empty one changes nothing; one with a NUL\n"
    "character is refused. The count line says how many entries were applied,\n"
    "unchanged, source changed, over budget (switched on and longer than their\n"
    "room: they will be relocated), unrepresentable in the code page, of unknown\n"
    "index, stored switched off, matched by text, forced and ambiguous. A file\n"
    "that cannot be parsed is an error naming the line, and nothing is applied.\n"
    "The languages a file names are not read.\n"
    "\n"
    "Standard output carries the count line; standard error carries one\n"
    "\"FILE:LINE: ...\" note per entry: first every entry that was refused or\n"
    "forced, all of them, then up to 200 others (--notes all: every one).\n"
    "\n"
    "Exit status: 0 when the import ran; 1 when it failed, also when FILE holds no\n"
    "entry at all (empty, or not a phrase file); 2 for a wrong command line; 3\n"
    "when nothing was applied and some entries were refused.\n"
    "\n"
    "Options:\n"
    "  --format NAME    txt, po or xliff\n"
    "  --codepage NAME  the code page of the unit's texts (default: the one a PO\n"
    "                   or XLIFF file records, else the project's own: japanese\n"
    "                   when its phrases are Japanese texts, else the 8-bit code\n"
    "                   page of the user's locale)\n"
    "  --encoding NAME  text files only: utf-8, utf-16 or 8bit\n"
    "  --force          apply entries whose source text has changed\n"
    "  --notes all      list every note (without it, 200 besides the refused ones)\n"
    "\n"
    "Example:\n"
    "  velmora-cli import apm.vmprj apm.po\n";

// Notes printed besides those of refused or forced entries, which are all
// printed.
constexpr size_t kMaxNotesShown = 200;

int RunImport(const std::vector<std::string>& args) {
  std::vector<std::string> valueOptions = kExchangeValueOptions;
  valueOptions.push_back("--notes");
  ArgParser ap(args, valueOptions, {"--force"});
  if (ap.Positionals().size() != 2) throw UsageError("give PROJECT and FILE");
  const std::string& projectPath = ap.Positionals()[0];
  const std::string& filePath = ap.Positionals()[1];
  if (SameFile(projectPath, filePath))
    throw std::runtime_error("FILE \"" + filePath + "\" is the project itself; give a phrase file (" +
                             PhraseFormatNames() + ") to read into it");
  size_t maxNotes = kMaxNotesShown;
  if (const auto n = ap.Value("--notes")) {
    if (*n != "all") throw UsageError("--notes takes all, not '" + *n + "'");
    maxNotes = std::numeric_limits<size_t>::max();
  }
  // The project is the one file written; the phrase file is only read.
  if (!IsStdStream(filePath)) RefuseOutputOverInputs(projectPath, {filePath});
  const PhraseFormat* format = FormatOption(ap);
  ExchangeOptions options = ExchangeOptionsFrom(ap, format);
  options.Force = ap.Has("--force");

  // Read before the project's lock is taken: a slow input never holds
  // other commands up.
  const bool fromStdin = IsStdStream(filePath);
  const std::string shownName = fromStdin ? "standard input" : filePath;
  const std::string bytes = fromStdin ? ReadPhraseStandardInput() : ReadPhraseFile(filePath);

  ImportReport report;
  EditProjectFile(projectPath, [&](PhraseTable& table) {
    if (!options.PageChosen) options.Page = ProjectCodePage(table);
    report = ImportPhraseBytes(format, table, shownName, bytes, options);
    return report.Changed;
  });
  if (report.Entries == 0) throw std::runtime_error(NoEntryText(shownName));
  std::cout << (report.Headline.empty() ? report.CountLine() : report.Headline) << "\n";
  const std::string notes = report.NotesText(shownName, maxNotes);
  if (!notes.empty()) std::cerr << notes << "\n";
  if (report.Applied + report.StoredOff == 0 && report.Refused() > 0) return kExitNothingApplied;
  return kExitOk;
}

const CommandRegistrar reg({"import", "read a text, PO or XLIFF phrase file into a project", kUsage, RunImport});

}  // namespace
}  // namespace velmora::cli
