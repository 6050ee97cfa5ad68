// What the rules of the decision table share while they pair two versions:
// the texts by id, the orders, and the pairs made so far. Built once per
// carry; the rules only add pairs.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "project/carry/GapView.h"
#include "project/carry/PhrasePairing.h"

namespace velmora {

struct PairingState {
  PairingState(const std::vector<MatchItem>& oldItems, const std::vector<MatchItem>& newItems,
               const PairingOptions& opts);

  const std::vector<MatchItem>& olds;
  const std::vector<MatchItem>& news;
  PairingOptions options;
  PhraseOrder oldOrder, newOrder;  // worked out once

  // Text ids, shared by both versions, and per text: how many copies each
  // version holds, and whether every old copy is in the same state.
  std::vector<int32_t> oldText, newText;
  std::vector<int32_t> oldCount, newCount;
  std::vector<bool> agree;
  size_t TextCount() const { return oldCount.size(); }

  // The pairs made so far (-1: none) and, per old item, by which rule.
  std::vector<int32_t> oldPartner, newPartner;
  std::vector<PairRule> rule;
  void Pair(int32_t o, int32_t n, PairRule by);

  // The closed gaps of the pairs made by final rules, as last worked out.
  std::array<GapMap, kViews> gaps;
  void ComputeGaps();

  // Limits met while aligning, per item.
  std::vector<LimitReason> oldLimit, newLimit;
  size_t budget;
};

}  // namespace velmora
