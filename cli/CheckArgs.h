// The options of the checks that 'check', 'build-bin' and 'build-loader'
// share, and the gate that keeps a build from writing over errors.
#pragma once

#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "project/check/CheckRun.h"

namespace velmora::cli {

// --codepage NAME, --charset FILE, --max-growth BYTES.
inline const std::vector<std::string> kCheckValueOptions = {"--codepage", "--charset", "--max-growth"};
// The usage lines of those options.
extern const char* const kCheckOptionsUsage;

// The options as given; UsageError for a wrong one. The character set file
// is read here, so a missing one fails before anything is written.
CheckOptions CheckOptionsFrom(const ArgParser& ap);

// Runs the checks before a build. Without errors it returns true. With
// errors it lists them on stderr; with force it says it builds over them and
// returns true, otherwise it says nothing is written and returns false.
bool PassBuildGate(const PhraseTable& table, const CheckOptions& options, bool force, const std::string& command);

}  // namespace velmora::cli
