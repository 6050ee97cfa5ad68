// What speaks against carrying translations between two projects, though it
// does not stop the carry: the projects are of different units (a renamed
// unit is a new version too), or their texts are in different code pages,
// so that the carried translations would show other characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

// One line for each difference, naming both projects by the names given:
// "OLD is unit APM_V1, NEW is unit NAV_V2" and
// "OLD has code page japanese, NEW has code page default". Empty when the
// projects agree.
std::vector<std::string> CarryWarnings(const PhraseTable& oldProject, std::string_view oldName,
                                       const PhraseTable& newProject, std::string_view newName);

}  // namespace velmora
