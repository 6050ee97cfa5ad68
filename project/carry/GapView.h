// Where the undecided phrases of two versions stand between the pairs
// already made. A unit has no map of its strings; the orders it does have
// are two: the order of the strings and the order of their pointers. In
// each order, two paired phrases that are neighbours among the paired ones
// in both versions bound a closed gap: whatever lies between them in the
// old version, and between their partners in the new one, is the same
// stretch of the unit, before and after. A pair whose neighbours on both
// sides are no longer its neighbours (a phrase that moved alone) bounds
// nothing and is passed over; a stretch at the edge of a section that moved
// as a whole belongs to no closed gap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "project/carry/PhrasePairing.h"

namespace velmora {

// The two orders in which phrases are seen.
enum View : uint8_t { kByString = 0, kByPointer = 1 };
constexpr size_t kViews = 2;

// One version's phrases in each order, worked out once for a carry.
struct PhraseOrder {
  std::array<std::vector<int32_t>, kViews> byRank;  // the item at each position
  std::array<std::vector<int32_t>, kViews> rank;    // the position of each item

  explicit PhraseOrder(const std::vector<MatchItem>& items);
  size_t size() const { return byRank[0].size(); }
};

// The closed gaps of one order. Gaps are numbered from 0; an item that is
// paired, or lies in no closed gap, has gap -1.
struct GapMap {
  std::vector<int32_t> oldGap, newGap;  // per item
  // The unpaired items of gap g in view order: oldItems[oldStart[g] ..
  // oldStart[g + 1]), and the same for the new ones.
  std::vector<int32_t> oldItems, newItems;
  std::vector<uint32_t> oldStart, newStart;
  // Per gap: the pairs that bound it are also closed on their other sides
  // (or are the unit's ends), so that the gap is part of a longer stretch
  // that kept its order, never two pairs that happen to lie side by side
  // in a version whose strings were reordered; and no pair passed over lies
  // in it (whether it moved alone, or the stretch moved around it, and
  // what went with it, no order can tell).
  std::vector<bool> supported;
  // Per gap: the old items of the pairs that bound it, -1 at the unit's ends.
  std::vector<int32_t> leftPair, rightPair;

  size_t Count() const { return oldStart.empty() ? 0 : oldStart.size() - 1; }
};

// The closed gaps of view v, the pairs given by partner (per old item its
// new item, per new item its old one, -1 for none).
GapMap ClosedGaps(const PhraseOrder& olds, const PhraseOrder& news, View v, const std::vector<int32_t>& oldPartner,
                  const std::vector<int32_t>& newPartner);

}  // namespace velmora
