#include "project/carry/Rewording.h"

#include "project/carry/EditDistance.h"

namespace velmora {

bool MayBeRewording(std::string_view a, std::string_view b) {
  if (a.find(b) != std::string_view::npos || b.find(a) != std::string_view::npos) return true;
  return BoundedEditDistance(a, b, 1) <= 1;
}

}  // namespace velmora
