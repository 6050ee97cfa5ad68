// Whether a text may be a rewording of another: the small changes that
// new versions of a unit make to their menu texts (a mark or a word added
// or dropped, one letter changed).
#pragma once

#include <string_view>

namespace velmora {

// True when one text holds the other whole, or when the two differ in a
// single byte (one inserted, removed or replaced).
bool MayBeRewording(std::string_view a, std::string_view b);

}  // namespace velmora
