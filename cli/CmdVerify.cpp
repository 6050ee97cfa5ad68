// velmora-cli verify: checks a built .BIN or LOADING.KWI against its project
// before it goes to the device.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "container/io/Stream.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"
#include "project/file/ProjectFile.h"
#include "project/verify/Verify.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli verify PROJECT... BUILT [--source LOADING.KWI]\n"
    "\n"
    "Checks BUILT, a .BIN or a LOADING.KWI built from PROJECT, against the\n"
    "project:\n"
    "  - the unit header's size field is the unit's written length, its checksum\n"
    "    the sum of the words over that length, its other bytes the image's;\n"
    "  - every pointer that reached a switched-on phrase with an edited text (its\n"
    "    own and its link records') reaches the translation followed by a zero;\n"
    "  - no other byte and no other pointer changed: only the in-place texts and\n"
    "    their padding, the redirected pointers, the appended area and the two\n"
    "    header fields may differ from the image, and the padding is zero;\n"
    "  - for a loader also: one maker entry with one module and its sector count,\n"
    "    every unit entry giving its unit's position, every other unit equal to\n"
    "    the source loader's copy.\n"
    "\n"
    "Whether BUILT is a loader or a unit is told by where the project's unit\n"
    "stands in it, so a damaged first sector does not change it; a file that\n"
    "holds the unit nowhere is told by its structure (a unit whose checksum\n"
    "holds, or a loader's directory), else by its first sector. The source\n"
    "loader is found as 'build-loader' finds it: the project's own source path,\n"
    "else the file given with --source.\n"
    "\n"
    "With several projects (the last argument is BUILT), BUILT is a loader that\n"
    "carries their units, as 'build-loader PROJECT... -o BUILT' writes it: each\n"
    "translated unit is checked against its project and every other unit byte\n"
    "for byte against the source. The summary gives one line per unit.\n"
    "\n"
    "Every outcome names the kind BUILT was checked as (.BIN or LOADING.KWI).\n"
    "With problems it prints a first line (\"BUILT, checked as a .BIN, does not\n"
    "match the project: 2 problems\"; for a build of another unit, \"is not a\n"
    "build of the project\" and what it holds instead), then one line per\n"
    "problem (kind, position in BUILT, what is wrong), a cut file's truncation\n"
    "first, and exits 1; otherwise it prints what was verified and exits 0.\n"
    "\n"
    "Options:\n"
    "  --source LOADING.KWI   the source loader to use when the project's own\n"
    "                         source path does not serve\n"
    "\n"
    "Example:\n"
    "  velmora-cli verify apm.vmprj LOADING.KWI\n";

// The outcome of a failed check on standard output: a first line naming the
// file, the kind it was checked as and (a build of another unit) what it
// holds, then one line per problem.
void PrintProblems(const VerifyResult& result, const std::string& built) {
  std::cout << FailureLine(result, built) << "\n";
  for (const auto& p : result.Problems) std::cout << ProblemLine(p) << "\n";
  if (result.ProblemCount > result.Problems.size())
    std::cout << "... and " << result.ProblemCount - result.Problems.size() << " more problems\n";
}

// The same outcome on standard error, for a reader of the exit status.
void ReportFailure(const VerifyResult& result, const std::string& built) {
  std::cerr << "velmora-cli verify: " << result.ProblemCount << (result.ProblemCount == 1 ? " problem" : " problems")
            << " found in " << built << " (checked as a " << BuiltKindName(result.Kind) << ")\n";
}

// Several projects: a loader that carries all their units.
int VerifyGroup(const std::vector<std::string>& projectPaths, const std::string& built, const std::string& given) {
  std::vector<PhraseTable> tables(projectPaths.size());
  ProjectList projects;
  for (size_t i = 0; i < projectPaths.size(); ++i) {
    OpenProject(tables[i], projectPaths[i]);
    projects.push_back(&tables[i]);
  }
  if (const auto problem = CheckModuleGroup(projects)) {
    std::cerr << "velmora-cli verify: " << projectPaths[problem->Index] << " cannot go into the loader: "
              << problem->Reason << "\n";
    return kExitFailure;
  }
  const SourceSearch source = FindGroupSource(projects, given);
  if (source.Path.empty()) {
    for (const auto& r : source.Rejected) std::cerr << "velmora-cli verify: " << r << "\n";
    std::cerr << "velmora-cli verify: no source loader serves every project (give one with --source)\n"
              << "Unsuitable file !!!\n";
    return kExitFailure;
  }
  const VerifyResult result = VerifyLoader(projects, built, source.Path);
  for (const auto& note : result.Notes) std::cerr << "note: " << note << "\n";
  if (!result.Clean()) {
    PrintProblems(result, built);
  } else {
    std::cout << "Verified " << built << " as a LOADING.KWI with " << projects.size()
              << " translated units (source " << source.Path << "): every translation reachable, nothing else changed.\n";
  }
  for (const auto& line : UnitSummaryLines(result)) std::cout << line << "\n";
  if (!result.Clean()) {
    ReportFailure(result, built);
    return kExitFailure;
  }
  return kExitOk;
}

int RunVerify(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--source"}, {});
  if (ap.Positionals().size() < 2) throw UsageError("give a PROJECT and the BUILT file");
  const std::string& built = ap.Positionals().back();
  for (size_t i = 0; i + 1 < ap.Positionals().size(); ++i)
    if (SameFile(ap.Positionals()[i], built))
      throw std::runtime_error(built + " is the project file itself, not a built .BIN or LOADING.KWI");
  if (ap.Positionals().size() > 2)
    return VerifyGroup({ap.Positionals().begin(), ap.Positionals().end() - 1}, built,
                       ap.Value("--source").value_or(""));

  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  SourceSearch source;
  if (table.Info.MakerIndex >= 0) source = FindSourceLoader(table, ap.Value("--source").value_or(""));

  const BuiltKind kind = GuessBuiltKind(table, built, source.Path);
  if (kind == BuiltKind::Loader && source.Path.empty()) {
    for (const auto& r : source.Rejected) std::cerr << "velmora-cli verify: " << r << "\n";
    std::cerr << "velmora-cli verify: " << built
              << " is a loader, and no source loader to compare it with was found (give one with --source)\n"
              << "Unsuitable file !!!\n";
    return kExitFailure;
  }
  const VerifyResult result =
      kind == BuiltKind::Bin ? VerifyBin(table, built) : VerifyLoader(table, built, source.Path);

  for (const auto& note : result.Notes) std::cerr << "note: " << note << "\n";
  if (!result.Clean()) {
    PrintProblems(result, built);
    ReportFailure(result, built);
    return kExitFailure;
  }
  std::cout << "Verified " << built << (kind == BuiltKind::Bin ? " as a .BIN" : " as a LOADING.KWI (source " + source.Path + ")")
            << ": every translation reachable, nothing else changed.\n";
  for (const auto& line : SummaryLines(result.Summary)) std::cout << line << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"verify", "check a built .BIN or LOADING.KWI against its project", kUsage, RunVerify});

}  // namespace
}  // namespace velmora::cli
