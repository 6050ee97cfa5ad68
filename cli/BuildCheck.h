// The check that follows every build of velmora-cli, as in the window: the
// written file is verified against the project, and a file that does not
// match it (a damaged project can make a build write a translation over a
// pointer or into the unit header) is removed and the command fails.
#pragma once

#include <functional>
#include <string>

#include "project/verify/Verify.h"

namespace velmora::cli {

// Raises std::runtime_error when the project's unit image is too short to
// hold a unit header: a build of it would write an empty or broken unit.
void RefuseHeaderlessImage(const PhraseTable& table);

// Prints on stderr the damaged records of the project (FindRecordDamage),
// if any, as a warning under the command's name.
void WarnOfRecordDamage(const std::string& command, const PhraseTable& table);

// Runs verify on the file just written at output. Clean: true. Otherwise
// prints the problems on stderr under the command's name, removes the
// file and returns false.
bool CheckBuiltFile(const std::string& command, const std::string& output,
                    const std::function<VerifyResult()>& verify);

}  // namespace velmora::cli
