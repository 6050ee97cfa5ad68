#include "project/verify/Verify.h"

#include <algorithm>

#include "project/verify/BuiltIdentity.h"
#include "project/verify/VerifyReport.h"

namespace velmora {

namespace verify {

void Report::Problem(VerifyKind kind, uint64_t offset, std::string message, bool sharedBytes) {
  if (result_.Problems.size() < kMaxListedProblems)
    result_.Problems.push_back({kind, offset, context_.empty() ? std::move(message) : context_ + message, sharedBytes});
  ++result_.ProblemCount;
  if (!sharedBytes) ++result_.BreakingCount;
}

void Report::Note(std::string note) {
  if (notes_++ < kMaxListedNotes) {
    result_.Notes.push_back(std::move(note));
  } else if (notes_ == kMaxListedNotes + 1) {
    result_.Notes.push_back("Further notes are left out.");
  }
}

}  // namespace verify

const char* VerifyKindName(VerifyKind kind) {
  switch (kind) {
    case VerifyKind::FileLength: return "length";
    case VerifyKind::UnitSize: return "size";
    case VerifyKind::Checksum: return "checksum";
    case VerifyKind::Header: return "header";
    case VerifyKind::Pointer: return "pointer";
    case VerifyKind::Translation: return "translation";
    case VerifyKind::Overwritten: return "overwritten";
    case VerifyKind::Image: return "image";
    case VerifyKind::Appended: return "appended";
    case VerifyKind::Padding: return "padding";
    case VerifyKind::Directory: return "directory";
    case VerifyKind::UnitEntry: return "unit-entry";
    case VerifyKind::OtherUnit: return "other-unit";
    case VerifyKind::ModuleData: return "module";
  }
  return "problem";
}

const char* BuiltKindName(BuiltKind kind) { return kind == BuiltKind::Bin ? ".BIN" : "LOADING.KWI"; }

VerifyResult VerifyBin(const PhraseTable& table, const std::string& builtPath) {
  VerifyResult result;
  result.Kind = BuiltKind::Bin;
  const TranslationPlan plan = PlanTranslations(table);
  result.Summary = plan.Summary;
  verify::Report report(result);
  verify::BuiltFile built(builtPath);
  result.OtherUnit = verify::OtherUnitAt(table, built, 0, "");
  verify::CheckUnit(table, plan, built, 0, report);
  const uint64_t size = static_cast<uint64_t>(built.Size());
  if (size > plan.Summary.PaddedSize)
    report.Problem(VerifyKind::FileLength, plan.Summary.PaddedSize,
                   "the file holds " + std::to_string(size - plan.Summary.PaddedSize) +
                       " bytes after the unit and its padding (" + std::to_string(plan.Summary.PaddedSize) +
                       " bytes)");
  return result;
}

std::vector<std::string> UnitSummaryLines(const VerifyResult& result) {
  std::vector<std::string> lines;
  for (const UnitVerifySummary& u : result.Units) {
    std::string line = "unit " + std::to_string(u.UnitIndex) + " (" + u.Name + "): ";
    if (u.Translated)
      line += "translated, " + std::to_string(u.Build.InPlace) + " in place, " + std::to_string(u.Build.Relocated) +
              " relocated, ";
    else
      line += "copied, ";
    line += u.Problems == 0 ? std::string("no problems")
                            : std::to_string(u.Problems) + (u.Problems == 1 ? " problem" : " problems");
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string ProblemLine(const VerifyProblem& problem) {
  return std::string(VerifyKindName(problem.Kind)) + " at " + FormatHex0x(problem.Offset) + ": " + problem.Message;
}

namespace {
std::string ProblemCountText(uint64_t count) {
  return std::to_string(count) + (count == 1 ? " problem" : " problems");
}
// "the project", or "the projects" for a loader of several translated units.
std::string ProjectsText(const VerifyResult& result) {
  const auto translated = std::count_if(result.Units.begin(), result.Units.end(),
                                        [](const UnitVerifySummary& u) { return u.Translated; });
  return translated > 1 ? "the projects" : "the project";
}
}  // namespace

std::string FailureLine(const VerifyResult& result, const std::string& builtName) {
  std::string line = builtName + ", checked as a " + BuiltKindName(result.Kind) + ", ";
  if (!result.OtherUnit.empty())
    line += "is not a build of " + ProjectsText(result) + ": " + result.OtherUnit + "; ";
  else
    line += "does not match " + ProjectsText(result) + ": ";
  return line + ProblemCountText(result.ProblemCount);
}

std::string VerifiedStatusText(const VerifyResult& result) {
  return "Verified: " + std::to_string(result.Summary.InPlace) + " translations in place, " +
         std::to_string(result.Summary.Relocated) + " relocated.";
}

std::string ProblemsMessage(const VerifyResult& result, size_t maxLines) {
  std::string text = std::string("The written ") + BuiltKindName(result.Kind) + " " +
                     (result.OtherUnit.empty() ? "does not match " + ProjectsText(result)
                                               : "is not a build of " + ProjectsText(result) + ": " + result.OtherUnit) +
                     " (" + ProblemCountText(result.ProblemCount) + "):";
  const size_t shown = std::min(maxLines, result.Problems.size());
  for (size_t i = 0; i < shown; ++i) {
    text += '\n';
    text += ProblemLine(result.Problems[i]);
  }
  if (result.ProblemCount > shown) {
    text += "\n... and ";
    text += std::to_string(result.ProblemCount - shown) + " more.";
  }
  return text;
}

}  // namespace velmora
