// velmora-cli pretranslate: fills the phrases that have no translation with
// the matches of a translation memory.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/CodePageArg.h"
#include "cli/MemoryArgs.h"
#include "cli/StdStreams.h"
#include "container/io/AtomicFile.h"
#include "container/io/OutputGuard.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"
#include "project/memory/Pretranslate.h"
#include "project/memory/TmxFile.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli pretranslate PROJECT --memory FILE [FILE...] [--min N]\n"
    "                                [--overwrite] [--dry-run] [--report FILE]\n"
    "                                [-o OUT.vmprj] [--language CODE]\n"
    "                                [--glossary FILE] [--codepage NAME]\n"
    "\n"
    "Fills the phrases that have no translation with translations from a\n"
    "translation memory: TMX files (at most 64 MB each) as 'memory' writes them,\n"
    "or as OmegaT and translate-toolkit's po2tmx do. Hidden phrases are filled\n"
    "too, and shown, as every phrase with a translation is.\n"
    "\n"
    "  - The same text in the memory: when every entry gives the same\n"
    "    translation, it is taken switched on (carried). When the entries\n"
    "    disagree, the translation that most places give is taken for review\n"
    "    (stored switched off), and so is one the memory holds for review.\n"
    "  - Otherwise the best match scoring at least --min is taken for review:\n"
    "    the same text in another case (99), or a similar text, scored\n"
    "    100 - 100 * edits / longer length in characters.\n"
    "  - A match is not carried when the project's code page cannot write it,\n"
    "    when it is longer than a translation may be (65,535 bytes), when its\n"
    "    printf directives would not read the origin's arguments, or when it\n"
    "    holds a term that the glossary forbids.\n"
    "\n"
    "It prints the counts and the matches not carried, with the reason. Without\n"
    "-o, PROJECT is updated in place; it stays as it was when anything fails.\n"
    "\n"
    "Options:\n"
    "  --memory FILE      a TMX file; give it again, or name more files after it,\n"
    "                     for a memory of several files\n"
    "  --min N            the least score of a match taken for review (1 to 100,\n"
    "                     default 75)\n"
    "  --overwrite        also replace the translations that phrases have\n"
    "  --dry-run          print the report and write no project (the --report\n"
    "                     table is still written)\n"
    "  --report FILE      write a table with one line per phrase looked at (tab-\n"
    "                     separated, UTF-8): outcome (carried, review, not\n"
    "                     carried), index, match (exact, case, fuzzy), score, byte\n"
    "                     fit (in place, relocated, too long, cannot be written),\n"
    "                     bytes, room, origin, the memory's source and\n"
    "                     translation, reason and note; - writes it to standard\n"
    "                     output and the summary then goes to standard error\n"
    "  -o, --output FILE  write the result to FILE and leave PROJECT as it is\n"
    "  --language CODE    the language of the translations to take (default: the\n"
    "                     one language the memory has, else the locale's); also\n"
    "                     the target language of a TBX glossary\n"
    "  --glossary FILE    a TBX or tab-separated glossary (see 'check'): a match\n"
    "                     holding a forbidden term is not carried, and one that\n"
    "                     lacks a term's translation is noted\n"
    "  --codepage NAME    the code page of the unit's texts (default: the\n"
    "                     project's own: japanese for Japanese texts, else the\n"
    "                     8-bit code page of the user's locale)\n"
    "\n"
    "Example:\n"
    "  velmora-cli pretranslate apm-new.vmprj --memory apm.tmx\n";

int RunPretranslate(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--memory", "--min", "--report", "-o", "--output", "--language", "--glossary", "--codepage"},
               {"--overwrite", "--dry-run"});
  const auto& pos = ap.Positionals();
  if (pos.empty()) throw UsageError("give the PROJECT");
  const std::string& projectPath = pos[0];
  const std::vector<std::string> memoryFiles = MemoryFiles(ap, 1);
  PretranslateOptions options;
  options.Overwrite = ap.Has("--overwrite");
  if (const auto m = ap.Value("--min")) {
    const long long n = ParseInteger(*m, "--min");
    if (n < 1 || n > 100) throw UsageError("--min takes a score from 1 to 100, not '" + *m + "'");
    options.MinScore = static_cast<int>(n);
  }
  const bool dryRun = ap.Has("--dry-run");
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (output && output->empty()) throw UsageError("the output file name is empty");
  const auto report = ap.Value("--report");
  if (report && report->empty()) throw UsageError("the report file name is empty");
  CodePageOption(ap);  // an unknown name fails before anything is read

  // Outputs are checked before anything is read or written.
  std::vector<std::string> inputs = memoryFiles;
  inputs.push_back(projectPath);
  if (const auto g = ap.Value("--glossary")) inputs.push_back(*g);
  const bool reportToStream = report && IsStreamOutput(*report);
  if (output && !dryRun) RefuseOutputOverInputs(*output, inputs);
  if (report && !IsStdStream(*report)) RefuseOutputOverInputs(*report, inputs);
  if (report && output && !dryRun && !IsStdStream(*report) && NamesSameFile(*report, *output))
    throw UsageError("-o and --report name the same file; give each its own");

  std::unique_ptr<TAtomicFile> reportFile;
  PretranslatePlan plan;
  // Reads the memory and the glossary in the project's language, plans and,
  // unless it is a dry run, applies.
  auto work = [&](PhraseTable& table, bool apply) {
    if (output && !dryRun) RefuseOutputOverInputs(*output, {table.SourcePath});
    if (report && !IsStdStream(*report)) RefuseOutputOverInputs(*report, {table.SourcePath});
    const std::string sourceLanguage = SourceLanguageOf(table);
    const TranslationMemory memory = LoadMemory(memoryFiles, sourceLanguage);
    const std::shared_ptr<const TermFinder> glossary = GlossaryOption(ap, sourceLanguage);
    // The report is created now and put in place only once the project is
    // written, so a report that cannot be created stops the command first.
    if (report && !reportToStream) reportFile = std::make_unique<TAtomicFile>(*report);
    options.Language = TargetLanguageFor(ap, memory);
    options.Page = CodePageFor(ap, table);
    options.Terms = glossary.get();
    plan = PlanPretranslation(table, memory, options);
    return apply && ApplyPretranslation(table, plan);
  };

  std::string outcome;
  if (dryRun) {
    PhraseTable table;
    OpenProject(table, projectPath);
    work(table, false);
    outcome = "Dry run: nothing written.";
  } else if (output) {
    PhraseTable table;
    OpenProject(table, projectPath);
    work(table, true);
    SaveProjectLocked(table, *output);
    outcome = "Written to " + *output + ".";
  } else {
    const bool changed = EditProjectFile(projectPath, [&](PhraseTable& t) { return work(t, true); });
    outcome = changed ? "Updated " + projectPath + "." : "Nothing to change in " + projectPath + ".";
  }

  if (report) {
    const std::string table = PretranslateTable(plan);
    if (reportFile) {
      reportFile->Stream().WriteBuffer(table.data(), table.size());
      reportFile->Commit();
    } else {
      WriteOutput(*report, table);
    }
  }
  std::ostream& out = reportToStream ? std::cerr : std::cout;
  out << PretranslateSummary(plan.Counts, options.MinScore);
  const std::string refused = NotCarriedList(plan);
  if (!refused.empty()) out << "\nMatches not carried:\n" << refused;
  out << "\n" << outcome << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"pretranslate", "fill untranslated phrases from a TMX translation memory", kUsage,
                            RunPretranslate});

}  // namespace
}  // namespace velmora::cli
