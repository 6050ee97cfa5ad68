// The check that follows every build of velmora-cli, as in the window: the
// written file is verified against the project, and a file that does not
// match it (a damaged project can make a build write a translation over a
// pointer or into the unit header) is removed and the command fails.
#pragma once

#include <functional>
#include <string>

#include "project/verify/Verify.h"

namespace velmora::cli {

// Warns on stderr when the project's unit image is too short to hold a
// unit header: the build writes no unit worth the name.
void WarnOfHeaderlessImage(const std::string& command, const PhraseTable& table);

// Raises std::runtime_error listing the damaged records of the project
// (FindRecordDamage), if any: a build from them would break the unit.
void RefuseRecordDamage(const PhraseTable& table);

// Runs verify on the file just written at output. Problems that break the
// unit: prints them on stderr under the command's name, removes the file
// and returns false. Translations cut where phrases share bytes (a build
// writes them in table order by design) are printed as warnings.
bool CheckBuiltFile(const std::string& command, const std::string& output,
                    const std::function<VerifyResult()>& verify);

}  // namespace velmora::cli
