// velmora-cli export: writes the phrases that a grid filter shows into a
// phrase file for translation: a text file, gettext PO or XLIFF 1.2.
#include <iostream>
#include <string>

#include "analysis/Filters.h"
#include "cli/CliCommon.h"
#include "cli/ExchangeArgs.h"
#include "cli/StdStreams.h"
#include "container/io/OutputGuard.h"
#include "project/file/ProjectFile.h"
#include "project/text/CodePageChoice.h"
#include "project/text/LanguageTags.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli export PROJECT -o FILE [--format txt|po|xliff] [--filter NAME]\n"
    "                          [--codepage NAME] [--encoding utf-8|utf-16|8bit]\n"
    "                          [--language CODE] [--source-language CODE]\n"
    "\n"
    "Writes the phrases that the grid shows under a filter into FILE. The format\n"
    "follows the extension of FILE (.po gettext PO, .xlf or .xliff XLIFF 1.2, any\n"
    "other a text file); --format overrides it. Link records are never written.\n"
    "\n"
    "A text file has one entry per phrase: its index, \" = \", its source text\n"
    "(never the edited text), CR LF; a text with line feeds continues on further\n"
    "lines. PO and XLIFF files are UTF-8 with one entry per phrase: the index as\n"
    "msgctxt or trans-unit id, the source text, the edited text (fuzzy, or\n"
    "needs-translation, when it is not switched on), the room in bytes that\n"
    "a translation has in place, the pointer count and the string address.\n"
    "They name the code page the texts were converted from (CP1252, CP932, ...),\n"
    "so that an import on a machine with another locale reads them the same,\n"
    "and the languages: the target language in the PO Language header and the\n"
    "XLIFF target-language, the language of the unit's texts in the PO\n"
    "X-Source-Language header and the XLIFF source-language. A switched-on\n"
    "translation is an XLIFF target approved with the state translated; one that\n"
    "is not switched on has the state needs-translation.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  the file to write (\"Phrases.txt\" is customary); - writes\n"
    "                     to standard output, and the count line then goes to\n"
    "                     standard error\n"
    "  --format NAME      txt, po or xliff\n"
    "  --filter NAME      all (default), no-hidden, only-edited, final,\n"
    "                     untranslated (no translation) or to-review (a\n"
    "                     translation switched off)\n"
    "  --codepage NAME    the code page of the unit's texts: default, west-europe,\n"
    "                     east-europe, greek, turkish, baltic, arabic, russian or\n"
    "                     japanese (default: the project's own: japanese when its\n"
    "                     phrases are Japanese texts, else the 8-bit code page of\n"
    "                     the user's locale)\n"
    "  --encoding NAME    text files only: utf-8 or utf-16 (with a byte-order mark,\n"
    "                     texts converted from the code page) or 8bit (the bytes as\n"
    "                     they are). Without it a text file is UTF-16 little-endian\n"
    "                     with a byte-order mark under the japanese code page (when\n"
    "                     the system knows code page 932), else 8-bit.\n"
    "  --language CODE    PO and XLIFF only: the language of the translations, a\n"
    "                     BCP 47 tag or a gettext code (de, pt-BR, pt_BR,\n"
    "                     sr@latin; default: the language of the user's locale,\n"
    "                     LC_ALL, LC_MESSAGES or LANG)\n"
    "  --source-language CODE\n"
    "                     PO and XLIFF only: the language of the unit's texts\n"
    "                     (default: ja under the japanese code page, else en)\n"
    "\n"
    "Example:\n"
    "  velmora-cli export apm.vmprj -o apm.po --language de\n";

int RunExport(const std::vector<std::string>& args) {
  std::vector<std::string> valueOptions = kExchangeValueOptions;
  valueOptions.insert(valueOptions.end(), kLanguageValueOptions.begin(), kLanguageValueOptions.end());
  valueOptions.insert(valueOptions.end(), kOutputOptions.begin(), kOutputOptions.end());
  valueOptions.insert(valueOptions.end(), {"--filter"});
  ArgParser ap(args, valueOptions, {});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one PROJECT");
  const std::string output = RequiredOutput(ap, "the output file is missing (-o FILE)");
  GridFilter filter = GridFilter::NoFilter;
  if (auto f = ap.Value("--filter")) {
    auto parsed = GridFilterFromName(*f);
    if (!parsed) throw UsageError("--filter takes " + std::string(GridFilterNameList()) + ", not '" + *f + "'");
    filter = *parsed;
  }
  const PhraseFormat* chosen = FormatOption(ap);
  const PhraseFormat& format = chosen ? *chosen : PhraseFormatForOutput(output);
  ExchangeOptions options = ExchangeOptionsFrom(ap, &format);
  LanguageOptionsFrom(ap, format, options);

  const bool toStream = IsStreamOutput(output);
  if (!IsStdStream(output)) RefuseOutputOverInputs(output, {ap.Positionals()[0]});
  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  // The loader the project was made from is not read here, but it is the
  // one file of the disc that no export may replace.
  if (!IsStdStream(output)) RefuseOutputOverInputs(output, {table.SourcePath});
  if (!options.PageChosen) options.Page = ProjectCodePage(table);
  if (format.ShortName() != "txt" && !options.Language && !LocaleLanguage())
    std::cerr << "velmora-cli export: the locale names no language, so the file names no target language;"
                 " give --language CODE\n";
  const auto rows = FilterRows(table, filter);
  WriteOutput(output, format.Write(table, rows, options));
  // When the phrases themselves are the command's output, the count is a
  // diagnostic and stays out of their way.
  (toStream ? std::cerr : std::cout) << rows.size() << " phrase(s) exported to " << OutputName(output) << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"export", "write phrase texts to a text, PO or XLIFF file", kUsage, RunExport});

}  // namespace
}  // namespace velmora::cli
