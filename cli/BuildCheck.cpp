#include "cli/BuildCheck.h"

#include <unistd.h>

#include <iostream>
#include <stdexcept>

#include "analysis/UnitHeader.h"
#include "container/io/AtomicFile.h"
#include "project/verify/RecordDamage.h"

namespace velmora::cli {

void RefuseHeaderlessImage(const PhraseTable& table) {
  if (table.ImageLength() < kUnitHeaderSize)
    throw std::runtime_error("the project's unit image holds " + std::to_string(table.ImageLength()) +
                             " bytes, fewer than a unit header (" + std::to_string(kUnitHeaderSize) +
                             "): there is no unit to build");
}

void WarnOfRecordDamage(const std::string& command, const PhraseTable& table) {
  const std::vector<std::string> damage = FindRecordDamage(table);
  if (!damage.empty()) std::cerr << "velmora-cli " << command << ": warning: " << RecordDamageWarning(damage) << "\n";
}

bool CheckBuiltFile(const std::string& command, const std::string& output,
                    const std::function<VerifyResult()>& verify) {
  const VerifyResult result = verify();
  if (result.Clean()) return true;
  std::cerr << "velmora-cli " << command << ": " << ProblemsMessage(result, kMaxListedProblems) << "\n";
  // The build replaced the file that was there, so removing it loses
  // nothing and leaves no broken unit to be flashed by mistake.
  const std::string target = ResolveSymlinks(output);
  if (::unlink(target.c_str()) == 0)
    std::cerr << "velmora-cli " << command << ": " << output << " was removed; check the project ('velmora-cli info')\n";
  return false;
}

}  // namespace velmora::cli
