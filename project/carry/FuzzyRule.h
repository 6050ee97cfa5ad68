// The fuzzy rule, asked for with a percentage: a text that only the old
// version holds may be an old wording of a text that only the new version
// holds. Two such phrases pair when they stand in the same closed gap (in
// either order), each is the other's single closest text, the edit
// distance is at most the percentage of the longer text, and they hold the
// same numbers: in firmware "Point 11" and "Point 13" are different texts,
// however alike they look.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "project/carry/GapView.h"
#include "project/carry/PhrasePairing.h"

namespace velmora {

// Whether a and b hold the same runs of digits in the same order.
bool SameNumbers(std::string_view a, std::string_view b);

struct FuzzyPair {
  int32_t Old = -1, New = -1;
  uint8_t Percent = 0;  // the edit distance in percent of the longer text, rounded up
};

// The pairs the rule makes among the open items (oldOpen, newOpen) of the
// gaps of both views; percent from 1 to 100.
std::vector<FuzzyPair> FuzzyPairs(const std::vector<MatchItem>& olds, const std::vector<MatchItem>& news,
                                  const std::array<GapMap, kViews>& gaps, const std::vector<bool>& oldOpen,
                                  const std::vector<bool>& newOpen, int percent);

}  // namespace velmora
