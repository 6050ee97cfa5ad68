// The view of a gap: the closed stretches between pairs that are
// neighbours in both versions, in one order, with the pairs that moved
// alone passed over and stretches at the edges of moved sections left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/carry/GapView.h"

using namespace velmora;

namespace {

// Items whose strings and pointers lie in the order given (the pointer
// view is what these cases look at).
std::vector<MatchItem> Items(size_t count) {
  std::vector<MatchItem> items(count);
  for (size_t i = 0; i < count; ++i) {
    items[i].LinkAddress = 0x200u + 4u * static_cast<uint32_t>(i);
    items[i].StringAddress = 0x4000u + 0x20u * static_cast<uint32_t>(i);
  }
  return items;
}

struct Gap {
  std::vector<int32_t> olds, news;
  bool supported;
  bool operator==(const Gap& g) const { return olds == g.olds && news == g.news && supported == g.supported; }
};

void PrintTo(const Gap& g, std::ostream* os) {
  *os << "{old";
  for (int32_t o : g.olds) *os << " " << o;
  *os << " | new";
  for (int32_t n : g.news) *os << " " << n;
  *os << (g.supported ? ", supported}" : "}");
}

// The gaps of the pointer view of count old and count new items (same
// numbering), the pairs given as (old, new).
std::vector<Gap> GapsOf(size_t olds, size_t news, const std::vector<std::pair<int32_t, int32_t>>& pairs) {
  const auto oldItems = Items(olds), newItems = Items(news);
  std::vector<int32_t> oldPartner(olds, -1), newPartner(news, -1);
  for (const auto& [o, n] : pairs) {
    oldPartner[static_cast<size_t>(o)] = n;
    newPartner[static_cast<size_t>(n)] = o;
  }
  const GapMap g = ClosedGaps(PhraseOrder(oldItems), PhraseOrder(newItems), kByPointer, oldPartner, newPartner);
  std::vector<Gap> out;
  for (size_t k = 0; k < g.Count(); ++k) {
    Gap gap{{g.oldItems.begin() + g.oldStart[k], g.oldItems.begin() + g.oldStart[k + 1]},
            {g.newItems.begin() + g.newStart[k], g.newItems.begin() + g.newStart[k + 1]},
            g.supported[k]};
    for (int32_t o : gap.olds) EXPECT_EQ(g.oldGap[static_cast<size_t>(o)], static_cast<int32_t>(k));
    for (int32_t n : gap.news) EXPECT_EQ(g.newGap[static_cast<size_t>(n)], static_cast<int32_t>(k));
    out.push_back(gap);
  }
  return out;
}

}  // namespace

TEST(GapView, OrdersRankEveryItemOnce) {
  std::vector<MatchItem> items = Items(4);
  items[0].StringAddress = 0x9000;  // the first pointer leads to the last string
  const PhraseOrder order(items);
  EXPECT_EQ(order.byRank[kByPointer], (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(order.byRank[kByString], (std::vector<int32_t>{1, 2, 3, 0}));
  EXPECT_EQ(order.rank[kByString], (std::vector<int32_t>{3, 0, 1, 2}));
}

TEST(GapView, ClosedGapsLieBetweenPairsThatAreNeighboursInBothVersions) {
  const struct {
    const char* name;
    size_t olds, news;
    std::vector<std::pair<int32_t, int32_t>> pairs;
    std::vector<Gap> gaps;
  } cases[] = {
      // 0 A 2 B 4 / 0 A 2 3 B 5: two stretches and the ends.
      {"stretches between pairs and at the ends",
       5,
       6,
       {{1, 1}, {3, 4}},
       {{{0}, {0}, true}, {{2}, {2, 3}, true}, {{4}, {5}, true}}},
      // A pair that moved alone, to the end: passed over, and its old
      // neighbours bound one stretch again (empty stretches are gaps too);
      // the gaps it lies in are not supported.
      {"a pair that moved alone is passed over",
       6,
       6,
       {{0, 0}, {2, 5}, {4, 3}, {5, 4}},
       {{{}, {}, true}, {{1, 3}, {1, 2}, false}, {{}, {}, true}, {{}, {}, false}}},
      // Two pairs that changed places: which one moved, no order tells.
      // Neither is passed over, and no stretch reads across them.
      {"two pairs that changed places",
       6,
       6,
       {{0, 0}, {2, 3}, {3, 2}, {5, 5}},
       {{{}, {}, false}, {{}, {}, false}}},
      // A section of two pairs moved from the start to the end: its inside
      // is closed, the stretches at its edges are not.
      {"a section that moved",
       9,
       9,
       {{0, 5}, {2, 7}, {4, 0}, {6, 2}, {8, 4}},
       {{{1}, {6}, false}, {{5}, {1}, false}, {{7}, {3}, false}}},
  };
  for (const auto& c : cases) EXPECT_EQ(GapsOf(c.olds, c.news, c.pairs), c.gaps) << c.name;
}
