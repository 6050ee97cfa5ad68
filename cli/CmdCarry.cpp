// velmora-cli carry: takes the translations of a project over to a project
// made from a new version of the same unit.
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/StdStreams.h"
#include "container/io/AtomicFile.h"
#include "container/io/OutputGuard.h"
#include "project/carry/Carry.h"
#include "project/carry/CarryReport.h"
#include "project/carry/CarryWarnings.h"
#include "project/text/CodePageChoice.h"
#include "project/text/CodePages.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli carry OLD.vmprj NEW.vmprj [-o OUT.vmprj] [--report FILE]\n"
    "                         [--dry-run] [--fuzzy N] [--overwrite] [--codepage NAME]\n"
    "\n"
    "Takes the translations of OLD over to NEW, a project made with `new` from a\n"
    "new version of the same unit. Each phrase is looked for by its origin text,\n"
    "and each has one of three outcomes:\n"
    "  carried  it takes the old translation, switched on or off as it was: the\n"
    "           evidence leaves no other reading\n"
    "  review   it takes the old translation switched off, as the likeliest\n"
    "           reading (`phrases NEW --filter to-review` lists them)\n"
    "  not carried, with the reason: kept (NEW has a translation of its own),\n"
    "           matched (nothing to carry), ambiguous (which copy is which is\n"
    "           undecided), limit (deciding it took more work than allowed), gone\n"
    "           (only in OLD), new (only in NEW)\n"
    "A text found once in each project is carried. When every copy of a\n"
    "repeated text in OLD has the same translation, ON and HIDE, every copy in NEW\n"
    "takes it; a text found once in OLD and several times in NEW goes to every\n"
    "copy for review. Copies that differ are carried where the same unique\n"
    "neighbours surround them in both projects, in string and in pointer order,\n"
    "or where the stretch between matched phrases holds the texts of both\n"
    "projects in the same order and counts; the rest are taken for review by the\n"
    "likeliest alignment of their stretch, or left as ambiguous. Link records\n"
    "follow their phrases. A carried or reviewed phrase is shown (HIDE cleared),\n"
    "as every phrase with a translation is. Nothing else of NEW changes. Without\n"
    "-o, NEW is updated in place; it stays as it was when anything fails.\n"
    "\n"
    "The summary counts the phrases of both projects. Then comes the work left,\n"
    "tab-separated, one phrase a line: status, old index, text, old\n"
    "translation, new index, candidates (of an undecided phrase: the phrase\n"
    "indices of the other project it could be, nearest first) and the rule of a\n"
    "review or the cause of a limit.\n"
    "\n"
    "Projects of different units (name or tag), or whose texts are in different\n"
    "code pages, are carried between all the same, with a warning on standard\n"
    "error that names both.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  write the result to FILE and leave NEW as it is\n"
    "  --report FILE      write a table with one line per phrase, or per new\n"
    "                     phrase with the old one it takes from (tab-separated,\n"
    "                     UTF-8, for a spreadsheet; tabs and line breaks in texts\n"
    "                     written as \\t, \\n, \\r): Status, Rule, Difference %,\n"
    "                     Old index, New index, Old and New string address, Old\n"
    "                     text, New text, Translation, New project's translation,\n"
    "                     Candidates, Cause; - writes it to standard output and\n"
    "                     the summary then goes to standard error\n"
    "  --dry-run          print the report and write no project (the --report\n"
    "                     table is still written)\n"
    "  --fuzzy N          also match a text that differs by at most N percent of\n"
    "                     its bytes (1 to 100) from a text that is in OLD only,\n"
    "                     when both hold the same numbers; such phrases take the\n"
    "                     translation for review\n"
    "  --overwrite        replace translations that NEW already has (without it\n"
    "                     they are kept)\n"
    "  --codepage NAME    the code page the reports decode texts with (default,\n"
    "                     west-europe, east-europe, greek, turkish, baltic, arabic,\n"
    "                     russian, japanese; without it, the project's own:\n"
    "                     japanese for Japanese texts, else default)\n"
    "\n"
    "Example:\n"
    "  velmora-cli carry apm.vmprj apm-new.vmprj --report carry.tsv\n";

// A project made from a .BIN does not record where the .BIN lies; a file
// that holds the project's unit from its first byte is taken to be it.
bool HoldsUnitOf(const std::string& path, const PhraseTable& project) {
  if (project.UnitImage.empty() || !FileExists(path)) return false;
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  if (!f || static_cast<uint64_t>(f.tellg()) != project.Info.SourceSize) return false;
  const size_t count = std::min<size_t>(project.UnitImage.size(), 4096);
  std::string head(count, '\0');
  f.seekg(0);
  if (!f.read(head.data(), static_cast<std::streamsize>(count))) return false;
  return std::equal(head.begin(), head.end(), project.UnitImage.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

void RefuseOverSourceBin(const std::string& output, const PhraseTable& project, const std::string& projectPath) {
  if (project.SourcePath.empty() && HoldsUnitOf(output, project))
    RefuseOutputOverInput(output, output, "the .BIN that " + projectPath + " was made from");
}

int RunCarry(const std::vector<std::string>& args) {
  ArgParser ap(args, {"-o", "--output", "--report", "--fuzzy", "--codepage"}, {"--dry-run", "--overwrite"});
  const auto& pos = ap.Positionals();
  if (pos.size() != 2) throw UsageError("give OLD.vmprj and NEW.vmprj");
  const std::string& oldPath = pos[0];
  const std::string& newPath = pos[1];
  const auto output = OutputOption(ap);
  const auto report = ap.Value("--report");
  if (report && report->empty()) throw UsageError("the report file name is empty");
  const bool dryRun = ap.Has("--dry-run");

  CarryOptions options;
  options.Overwrite = ap.Has("--overwrite");
  if (auto f = ap.Value("--fuzzy")) {
    const long long n = ParseInteger(*f, "--fuzzy");
    if (n < 0 || n > 100) throw UsageError("--fuzzy takes a percentage from 0 to 100, not '" + *f + "'");
    options.FuzzyPercent = static_cast<int>(n);
  }
  // Without --codepage, the texts are decoded in the project's own code page.
  const std::optional<CodePage> codePage = CodePageOption(ap);
  if (NamesSameFile(oldPath, newPath)) throw UsageError("OLD and NEW are the same project");

  // Outputs are checked before anything is read or written.
  const bool reportToStream = report && IsStreamOutput(*report);
  if (output && !dryRun) RefuseOutputOverInputs(*output, {oldPath, newPath});
  if (report && output && !dryRun && !IsStdStream(*report) && NamesSameFile(*report, *output))
    throw UsageError("-o and --report name the same file; give each its own");
  if (report && !IsStdStream(*report)) RefuseOutputOverInputs(*report, {oldPath, newPath});

  // Nor may they replace the loader or the .BIN either project was made from.
  auto refuseOverSource = [&](const PhraseTable& project, const std::string& projectPath) {
    if (output && !dryRun) {
      RefuseOutputOverInputs(*output, {project.SourcePath});
      RefuseOverSourceBin(*output, project, projectPath);
    }
    if (report && !IsStdStream(*report)) {
      RefuseOutputOverInputs(*report, {project.SourcePath});
      RefuseOverSourceBin(*report, project, projectPath);
    }
  };

  PhraseTable oldProject;
  OpenProject(oldProject, oldPath);
  refuseOverSource(oldProject, oldPath);
  // The report is created now and put in place only once the project is
  // written, so a report that cannot be created stops the command first.
  std::unique_ptr<TAtomicFile> reportFile;
  if (report && !reportToStream) reportFile = std::make_unique<TAtomicFile>(*report);

  CarryPlan plan;
  std::string table, workLeft;
  auto planAndApply = [&](PhraseTable& newProject, bool apply) {
    refuseOverSource(newProject, newPath);
    for (const std::string& line : CarryWarnings(oldProject, oldPath, newProject, newPath))
      std::cerr << "velmora-cli carry: warning: " << line << "\n";
    plan = PlanCarry(oldProject, newProject, options);
    if (report) table = CarryTable(oldProject, newProject, plan, codePage.value_or(ProjectCodePage(newProject)));
    workLeft = WorkLeftList(oldProject, newProject, plan, codePage.value_or(ProjectCodePage(oldProject)));
    // A dry run refuses what the real run would refuse.
    if (!apply) CheckCarryRoom(oldProject, newProject, plan);
    return apply && ApplyCarry(oldProject, newProject, plan);
  };

  std::string outcome;
  if (dryRun) {
    PhraseTable newProject;
    OpenProject(newProject, newPath);
    planAndApply(newProject, false);
    outcome = "Dry run: nothing written.";
  } else if (output) {
    PhraseTable newProject;
    OpenProject(newProject, newPath);
    planAndApply(newProject, true);
    SaveProjectLocked(newProject, *output);
    outcome = "Written to " + *output + ".";
  } else {
    const bool changed = EditProjectFile(newPath, [&](PhraseTable& t) { return planAndApply(t, true); });
    outcome = changed ? "Updated " + newPath + "." : "Nothing to change in " + newPath + ".";
  }

  if (reportFile) {
    reportFile->Stream().WriteBuffer(table.data(), table.size());
    reportFile->Commit();
  } else if (report) {
    WriteOutput(*report, table);
  }

  // When the table goes to standard output, the summary stays out of its way.
  std::ostream& out = reportToStream ? std::cerr : std::cout;
  out << CarrySummary(plan.Counts);
  if (!workLeft.empty()) out << "\nWork left:\n" << WorkLeftHeader() << "\n" << workLeft;
  out << "\n" << outcome << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"carry", "take the translations of a project over to a newer project", kUsage, RunCarry});

}  // namespace
}  // namespace velmora::cli
