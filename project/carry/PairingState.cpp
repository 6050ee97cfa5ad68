#include "project/carry/PairingState.h"

#include <string_view>
#include <unordered_map>

namespace velmora {

PairingState::PairingState(const std::vector<MatchItem>& oldItems, const std::vector<MatchItem>& newItems,
                           const PairingOptions& opts)
    : olds(oldItems),
      news(newItems),
      options(opts),
      oldOrder(oldItems),
      newOrder(newItems),
      oldText(oldItems.size()),
      newText(newItems.size()),
      oldPartner(oldItems.size(), -1),
      newPartner(newItems.size(), -1),
      rule(oldItems.size(), PairRule::None),
      oldLimit(oldItems.size(), LimitReason::None),
      newLimit(newItems.size(), LimitReason::None),
      budget(opts.Budget) {
  std::unordered_map<std::string_view, int32_t> ids;
  ids.reserve(olds.size() + news.size());
  std::vector<uint32_t> firstState;
  auto idOf = [&](std::string_view text) {
    const auto [it, added] = ids.try_emplace(text, static_cast<int32_t>(oldCount.size()));
    if (added) {
      oldCount.push_back(0);
      newCount.push_back(0);
      agree.push_back(true);
      firstState.push_back(0);
    }
    return it->second;
  };
  for (size_t o = 0; o < olds.size(); ++o) {
    const auto t = static_cast<size_t>(oldText[o] = idOf(olds[o].Text));
    if (oldCount[t]++ == 0)
      firstState[t] = olds[o].State;
    else if (olds[o].State != firstState[t])
      agree[t] = false;
  }
  for (size_t n = 0; n < news.size(); ++n) ++newCount[static_cast<size_t>(newText[n] = idOf(news[n].Text))];
}

void PairingState::Pair(int32_t o, int32_t n, PairRule by) {
  oldPartner[static_cast<size_t>(o)] = n;
  newPartner[static_cast<size_t>(n)] = o;
  rule[static_cast<size_t>(o)] = by;
}

void PairingState::ComputeGaps() {
  for (size_t v = 0; v < kViews; ++v)
    gaps[v] = ClosedGaps(oldOrder, newOrder, static_cast<View>(v), oldPartner, newPartner);
}

}  // namespace velmora
