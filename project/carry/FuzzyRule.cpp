#include "project/carry/FuzzyRule.h"

#include <algorithm>
#include <tuple>

#include "project/carry/EditDistance.h"

namespace velmora {

namespace {

// An old text is compared with at most this many open new texts on either
// side of its proportional place in its gap.
constexpr size_t kWindow = 32;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Edge {
  int32_t o, n;
  uint32_t distance, longer;
};

}  // namespace

bool SameNumbers(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && !IsDigit(a[i])) ++i;
    while (j < b.size() && !IsDigit(b[j])) ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    // One run of digits each: equal runs, then on to the next.
    while (i < a.size() && j < b.size() && IsDigit(a[i]) && IsDigit(b[j])) {
      if (a[i] != b[j]) return false;
      ++i, ++j;
    }
    const bool aMore = i < a.size() && IsDigit(a[i]), bMore = j < b.size() && IsDigit(b[j]);
    if (aMore || bMore) return false;
  }
}

std::vector<FuzzyPair> FuzzyPairs(const std::vector<MatchItem>& olds, const std::vector<MatchItem>& news,
                                  const std::array<GapMap, kViews>& gaps, const std::vector<bool>& oldOpen,
                                  const std::vector<bool>& newOpen, int percent) {
  std::vector<Edge> edges;
  std::vector<int32_t> os, ns;
  for (const GapMap& g : gaps)
    for (size_t gap = 0; gap < g.Count(); ++gap) {
      os.clear();
      ns.clear();
      for (uint32_t k = g.oldStart[gap]; k < g.oldStart[gap + 1]; ++k)
        if (oldOpen[static_cast<size_t>(g.oldItems[k])]) os.push_back(g.oldItems[k]);
      for (uint32_t k = g.newStart[gap]; k < g.newStart[gap + 1]; ++k)
        if (newOpen[static_cast<size_t>(g.newItems[k])]) ns.push_back(g.newItems[k]);
      if (os.empty() || ns.empty()) continue;
      for (size_t p = 0; p < os.size(); ++p) {
        const size_t centre = p * ns.size() / os.size();
        const size_t from = centre > kWindow ? centre - kWindow : 0;
        const size_t to = std::min(ns.size(), centre + kWindow + 1);
        const std::string_view a = olds[static_cast<size_t>(os[p])].Text;
        for (size_t q = from; q < to; ++q) {
          const std::string_view b = news[static_cast<size_t>(ns[q])].Text;
          const size_t longer = std::max(a.size(), b.size());
          const size_t limit = longer * static_cast<size_t>(percent) / 100;
          if (longer - std::min(a.size(), b.size()) > limit || !SameNumbers(a, b)) continue;
          const size_t d = BoundedEditDistance(a, b, limit);
          if (d <= limit) edges.push_back({os[p], ns[q], static_cast<uint32_t>(d), static_cast<uint32_t>(longer)});
        }
      }
    }
  std::sort(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return std::tie(x.o, x.n) < std::tie(y.o, y.n); });
  edges.erase(std::unique(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return x.o == y.o && x.n == y.n; }),
              edges.end());

  // The closest text of each item, by distance relative to the longer
  // text; a tie leaves the item without one.
  struct Best {
    int32_t edge = -1;
    bool tie = false;
  };
  const auto compare = [&](const Edge& x, const Edge& y) {
    const uint64_t l = uint64_t{x.distance} * y.longer, r = uint64_t{y.distance} * x.longer;
    return l < r ? -1 : l > r ? 1 : 0;
  };
  std::vector<Best> bestOld(olds.size()), bestNew(news.size());
  const auto offer = [&](Best& best, int32_t e) {
    if (best.edge < 0) {
      best = {e, false};
      return;
    }
    const int c = compare(edges[static_cast<size_t>(e)], edges[static_cast<size_t>(best.edge)]);
    if (c < 0) best = {e, false};
    else if (c == 0) best.tie = true;
  };
  for (size_t e = 0; e < edges.size(); ++e) {
    offer(bestOld[static_cast<size_t>(edges[e].o)], static_cast<int32_t>(e));
    offer(bestNew[static_cast<size_t>(edges[e].n)], static_cast<int32_t>(e));
  }
  std::vector<FuzzyPair> pairs;
  for (size_t o = 0; o < olds.size(); ++o) {
    const Best& b = bestOld[o];
    if (b.edge < 0 || b.tie) continue;
    const Edge& e = edges[static_cast<size_t>(b.edge)];
    const Best& back = bestNew[static_cast<size_t>(e.n)];
    if (back.edge != b.edge || back.tie) continue;
    pairs.push_back({e.o, e.n, static_cast<uint8_t>((uint64_t{e.distance} * 100 + e.longer - 1) / e.longer)});
  }
  return pairs;
}

}  // namespace velmora
