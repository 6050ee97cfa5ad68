#include "cli/BuildCheck.h"

#include <unistd.h>

#include <iostream>
#include <stdexcept>

#include "analysis/UnitHeader.h"
#include "container/io/AtomicFile.h"
#include "project/verify/RecordDamage.h"

namespace velmora::cli {

void WarnOfHeaderlessImage(const std::string& command, const PhraseTable& table) {
  if (table.ImageLength() < kUnitHeaderSize)
    std::cerr << "velmora-cli " << command << ": warning: the project's unit image holds " << table.ImageLength()
              << " bytes, fewer than a unit header (" << kUnitHeaderSize << "): the file written holds no whole unit\n";
}

void RefuseRecordDamage(const PhraseTable& table) {
  const std::vector<std::string> damage = FindRecordDamage(table);
  if (!damage.empty()) throw std::runtime_error(RecordDamageWarning(damage) + "\nNothing was written.");
}

bool CheckBuiltFile(const std::string& command, const std::string& output,
                    const std::function<VerifyResult()>& verify) {
  const VerifyResult result = verify();
  if (result.Clean()) return true;
  if (result.BreakingCount == 0) {
    for (const VerifyProblem& p : result.Problems)
      std::cerr << "velmora-cli " << command << ": warning: " << ProblemLine(p) << "\n";
    return true;
  }
  std::cerr << "velmora-cli " << command << ": " << ProblemsMessage(result, kMaxListedProblems) << "\n";
  // The build replaced the file that was there, so removing it loses
  // nothing and leaves no broken unit to be flashed by mistake.
  const std::string target = ResolveSymlinks(output);
  if (::unlink(target.c_str()) == 0)
    std::cerr << "velmora-cli " << command << ": " << output << " was removed; check the project ('velmora-cli info')\n";
  return false;
}

}  // namespace velmora::cli
