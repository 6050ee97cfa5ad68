// velmora-cli info on a project file: the unit it holds, its phrases and the
// code page the commands read its texts in when none is named.
#pragma once

#include <string>

#include "analysis/Filters.h"
#include "analysis/PhraseTable.h"

namespace velmora::cli {

// True for a file name ending in ".vmprj" (case ignored).
bool IsProjectPath(const std::string& path);

// Prints the summary of the project at path to standard output.
void PrintProject(const std::string& path);

// The lines that `new` and `info` share: the unit, where it came from
// (source), its size and the counts of its records.
void PrintUnitAndCounts(const PhraseTable& table, const std::string& source, const PhraseCounts& counts);

}  // namespace velmora::cli
