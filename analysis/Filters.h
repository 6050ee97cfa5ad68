// The grid's four filters and the rows they let through.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

enum class GridFilter { NoFilter, NoHidden, OnlyEdited, FinalResult };

// The phrase indices shown under a filter, in table order. Link records are
// never shown.
std::vector<int32_t> FilterRows(const PhraseTable& table, GridFilter filter);

// "all", "no-hidden", "only-edited", "final" (the command line's names).
std::optional<GridFilter> GridFilterFromName(std::string_view name);

}  // namespace velmora
