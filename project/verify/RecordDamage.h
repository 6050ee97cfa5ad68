// Records of a project that a build would turn into a broken unit. The
// project file carries no checksum, so a damaged file (a bit flip in a
// record, a record made up by hand) opens like a sound one. Its records
// are checked against the unit image they were found in, as extraction
// found them: a pointer word lies past the unit header and leads to its
// text, and the text ends at its first zero byte after Length bytes.
// (A pointer word inside another text, or a text over the header's
// numbers, can be found in a sound unit too; what a build would break there
// the check of the written file reports.) Opening such a project warns,
// and the command line refuses to build from it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

// One line for each damaged record, at most max of them, and a last line
// with the number left out.
std::vector<std::string> FindRecordDamage(const PhraseTable& table, size_t max = 20);

// "The project's records do not fit its unit (the project file is
// damaged); a build from it would break the unit:" and the lines.
std::string RecordDamageWarning(const std::vector<std::string>& lines);

}  // namespace velmora
