// The edit distance of two byte strings (insertions, deletions and
// substitutions of single bytes), computed only as far as a limit so that
// comparing many near-equal texts stays cheap.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// The edit distance of a and b when it is at most limit, otherwise
// limit + 1. Works in a band of 2 * limit + 1 cells per row.
size_t BoundedEditDistance(std::string_view a, std::string_view b, size_t limit);

}  // namespace velmora
