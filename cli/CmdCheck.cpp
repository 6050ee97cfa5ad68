// velmora-cli check: checks the project's translations against their
// origin texts before they go to the unit.
#include <iostream>
#include <string>

#include "cli/CheckArgs.h"
#include "cli/CliCommon.h"
#include "cli/JsonText.h"
#include "cli/MemoryArgs.h"
#include "project/file/ProjectFile.h"

namespace velmora::cli {
namespace {

std::string Usage() {
  std::string usage =
      "Usage: velmora-cli check PROJECT [--json] [--all] [--codepage NAME]\n"
      "                         [--charset FILE] [--max-growth BYTES]\n"
      "                         [--glossary FILE [--language CODE]]\n"
      "\n"
      "Checks every switched-on translation (with --all every edited one) against\n"
      "its origin text and prints one line per problem:\n"
      "  phrase INDEX: SEVERITY: CHECK: MESSAGE\n"
      "(\"unit:\" instead of the phrase for a problem of the whole unit), then a\n"
      "count line. The message shows both texts. With --json it prints a JSON array\n"
      "of objects with \"index\" (null for the unit), \"check\", \"severity\" and\n"
      "\"message\" instead.\n"
      "\n"
      "Checks:\n";
  for (const TextCheck* c : Checks()) {
    std::string line = "  " + std::string(c->Id());
    line.resize(16, ' ');
    line += SeverityName(c->Level());
    line.resize(25, ' ');
    usage += line + std::string(c->Summary()) + "\n";
  }
  usage +=
      "\n"
      "Exit status: 0 when there is no error (warnings and infos allowed), 1 when\n"
      "there is one, 2 for a usage error. 'build-bin' and 'build-loader' run the\n"
      "same checks and refuse to write while there is an error.\n"
      "\n"
      "Options:\n"
      "  --json             a JSON array instead of text lines\n"
      "  --all              check every edited text, also those switched off\n";
  return usage + kCheckOptionsUsage +
         "  --glossary FILE    the terms check: a TBX file (termEntry, langSet, tig or\n"
         "                     ntig, term; a term whose administrativeStatus is\n"
         "                     deprecated, superseded or forbidden is forbidden) or a\n"
         "                     tab-separated UTF-8 file, a line per term: source, tab,\n"
         "                     target, and optionally tab and \"forbidden\" (lines of\n"
         "                     one source make one entry; # begins a comment line).\n"
         "                     A term of the origin whose target term the translation\n"
         "                     lacks is a warning, a forbidden term an error. Terms\n"
         "                     match whole words; case matters but for a word's first\n"
         "                     letter, and not at all in a text in capitals.\n"
         "  --language CODE    the language of the translations in a TBX glossary\n"
         "                     (default: the one it has besides the unit's)\n"
         "\n"
         "Example:\n"
         "  velmora-cli check apm.vmprj --json\n";
}

int RunCheck(const std::vector<std::string>& args) {
  std::vector<std::string> valueOptions = kCheckValueOptions;
  valueOptions.insert(valueOptions.end(), {"--glossary", "--language"});
  ArgParser ap(args, valueOptions, {"--json", "--all"});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one PROJECT");
  if (ap.Has("--language") && !ap.Has("--glossary"))
    throw UsageError("--language names a glossary's language: give --glossary FILE");
  CheckOptions options = CheckOptionsFrom(ap);
  options.AllEdited = ap.Has("--all");

  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  options.Terms = GlossaryOption(ap, SourceLanguageOf(table));
  const CheckResult result = CheckProject(table, options);
  if (ap.Has("--json")) {
    std::string out = "[";
    for (size_t k = 0; k < result.Problems.size(); ++k) {
      const Problem& p = result.Problems[k];
      out += k ? ",\n " : "\n ";
      out += "{\"index\": " + (p.Index >= 0 ? std::to_string(p.Index) : std::string("null")) +
             ", \"check\": " + JsonString(p.Check) + ", \"severity\": " + JsonString(SeverityName(p.Level)) +
             ", \"message\": " + JsonString(p.Message) + "}";
    }
    std::cout << out << (result.Problems.empty() ? "]\n" : "\n]\n");
  } else {
    for (const Problem& p : result.Problems) std::cout << CheckProblemLine(p) << "\n";
    std::cout << result.CountLine() << "\n";
  }
  return result.Errors ? kExitFailure : kExitOk;
}

const CommandRegistrar reg({"check", "check translations for faults that could break the unit", Usage(), RunCheck});

}  // namespace
}  // namespace velmora::cli
