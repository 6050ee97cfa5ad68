#include "project/carry/GapView.h"

#include <algorithm>
#include <numeric>

namespace velmora {

PhraseOrder::PhraseOrder(const std::vector<MatchItem>& items) {
  for (size_t v = 0; v < kViews; ++v) {
    auto& order = byRank[v];
    order.resize(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      return v == kByString ? items[static_cast<size_t>(a)].StringAddress < items[static_cast<size_t>(b)].StringAddress
                            : items[static_cast<size_t>(a)].LinkAddress < items[static_cast<size_t>(b)].LinkAddress;
    });
    rank[v].resize(items.size());
    for (size_t r = 0; r < order.size(); ++r) rank[v][static_cast<size_t>(order[r])] = static_cast<int32_t>(r);
  }
}

namespace {

// Passes over the paired phrases that bound nothing: a pair whose
// neighbours among the kept pairs differ on both sides. Dropping one can
// make its neighbours neighbours, so it runs until nothing changes (a few
// passes; the cap only bounds hostile input).
constexpr int kMaxDropPasses = 8;

}  // namespace

GapMap ClosedGaps(const PhraseOrder& olds, const PhraseOrder& news, View v, const std::vector<int32_t>& oldPartner,
                  const std::vector<int32_t>& newPartner) {
  const auto& oldOrder = olds.byRank[v];
  const auto& newOrder = news.byRank[v];
  std::vector<int32_t> anchors;  // paired old items in view order
  for (int32_t o : oldOrder)
    if (oldPartner[static_cast<size_t>(o)] >= 0) anchors.push_back(o);

  // place[o]: the position of o's partner among the kept pairs in new order.
  std::vector<int32_t> place(olds.size(), -1);
  std::vector<bool> kept(olds.size(), false);
  for (int32_t o : anchors) kept[static_cast<size_t>(o)] = true;
  std::vector<bool> linked;  // linked[i]: kept anchors i - 1 and i (or an end) are neighbours in both versions
  for (int pass = 0;; ++pass) {
    int32_t count = 0;
    for (int32_t n : newOrder) {
      const int32_t o = newPartner[static_cast<size_t>(n)];
      if (o >= 0 && kept[static_cast<size_t>(o)]) place[static_cast<size_t>(o)] = count++;
    }
    anchors.erase(std::remove_if(anchors.begin(), anchors.end(), [&](int32_t o) { return !kept[static_cast<size_t>(o)]; }),
                  anchors.end());
    const size_t k = anchors.size();
    linked.assign(k + 1, false);
    for (size_t i = 0; i <= k; ++i) {
      const int32_t before = i == 0 ? -1 : place[static_cast<size_t>(anchors[i - 1])];
      const int32_t after = i == k ? count : place[static_cast<size_t>(anchors[i])];
      linked[i] = after == before + 1;
    }
    if (pass == kMaxDropPasses) break;
    // A pair that bounds nothing on either side, and without which its two
    // neighbours would be neighbours in both versions, is a phrase that
    // moved alone. Only then is it passed over: in a version whose strings
    // were reordered, passing over every pair that bounds nothing would
    // leave a few that lie side by side by chance. Two such pairs side by
    // side changed places, and which of them moved no order can tell: both
    // stay, and bound nothing.
    std::vector<bool> alone(k, false);
    for (size_t i = 0; i < k; ++i) {
      if (linked[i] || linked[i + 1]) continue;
      const int32_t before = i == 0 ? -1 : place[static_cast<size_t>(anchors[i - 1])];
      const int32_t after = i + 1 == k ? count : place[static_cast<size_t>(anchors[i + 1])];
      alone[i] = after == before + 1;
    }
    bool dropped = false;
    for (size_t i = 0; i < k; ++i)
      if (alone[i] && (i == 0 || !alone[i - 1]) && (i + 1 == k || !alone[i + 1])) {
        kept[static_cast<size_t>(anchors[i])] = false;
        dropped = true;
      }
    if (!dropped) break;
  }

  GapMap g;
  g.oldGap.assign(olds.size(), -1);
  g.newGap.assign(news.size(), -1);
  g.oldStart.push_back(0);
  g.newStart.push_back(0);
  const size_t k = anchors.size();
  for (size_t i = 0; i <= k; ++i) {
    if (!linked[i]) continue;
    const auto gap = static_cast<int32_t>(g.oldStart.size() - 1);
    const int32_t oldFrom = i == 0 ? 0 : olds.rank[v][static_cast<size_t>(anchors[i - 1])] + 1;
    const int32_t oldTo = i == k ? static_cast<int32_t>(olds.size()) : olds.rank[v][static_cast<size_t>(anchors[i])];
    const int32_t newFrom =
        i == 0 ? 0 : news.rank[v][static_cast<size_t>(oldPartner[static_cast<size_t>(anchors[i - 1])])] + 1;
    const int32_t newTo = i == k ? static_cast<int32_t>(news.size())
                                 : news.rank[v][static_cast<size_t>(oldPartner[static_cast<size_t>(anchors[i])])];
    bool passedOver = false;  // a pair that moved alone lies in the gap
    for (int32_t r = oldFrom; r < oldTo; ++r) {
      const int32_t o = oldOrder[static_cast<size_t>(r)];
      if (oldPartner[static_cast<size_t>(o)] >= 0) {
        passedOver = true;
        continue;
      }
      g.oldGap[static_cast<size_t>(o)] = gap;
      g.oldItems.push_back(o);
    }
    for (int32_t r = newFrom; r < newTo; ++r) {
      const int32_t n = newOrder[static_cast<size_t>(r)];
      if (newPartner[static_cast<size_t>(n)] >= 0) {
        passedOver = true;
        continue;
      }
      g.newGap[static_cast<size_t>(n)] = gap;
      g.newItems.push_back(n);
    }
    g.oldStart.push_back(static_cast<uint32_t>(g.oldItems.size()));
    g.newStart.push_back(static_cast<uint32_t>(g.newItems.size()));
    g.supported.push_back(!passedOver && (i == 0 || linked[i - 1]) && (i == k || linked[i + 1]));
    g.leftPair.push_back(i == 0 ? -1 : anchors[i - 1]);
    g.rightPair.push_back(i == k ? -1 : anchors[i]);
  }
  return g;
}

}  // namespace velmora
