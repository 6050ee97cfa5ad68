// The alignment of two sequences of text ids that the carry's likeliest
// reading rests on: a longest common subsequence, within a cap on changes
// and a budget of work.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "project/carry/SequenceAlignment.h"
#include "sampledata/SampleRandom.h"

using namespace velmora;

namespace {

// The length of a longest common subsequence by the full table.
size_t LcsLength(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
  std::vector<std::vector<size_t>> t(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j)
      t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
  return t[a.size()][b.size()];
}

// b made from a by removals, insertions and changes, from a small
// alphabet, so that many alignments tie.
std::vector<int32_t> Edited(const std::vector<int32_t>& a, sample::Rng& rng, uint32_t alphabet) {
  std::vector<int32_t> b;
  for (int32_t x : a) {
    const uint32_t r = rng.Below(10);
    if (r == 0) continue;
    if (r == 1) b.push_back(static_cast<int32_t>(rng.Below(alphabet)));
    b.push_back(x);
  }
  return b;
}

}  // namespace

TEST(SequenceAlignment, FindsALongestCommonSubsequence) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    sample::Rng rng(seed);
    const uint32_t alphabet = 2 + seed % 5;
    std::vector<int32_t> a(rng.Below(60));
    for (int32_t& x : a) x = static_cast<int32_t>(rng.Below(alphabet));
    const std::vector<int32_t> b = seed % 4 == 0 ? std::vector<int32_t>(rng.Below(40), 1) : Edited(a, rng, alphabet);
    size_t budget = 1u << 20;
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    ASSERT_EQ(AlignSequences(a.data(), a.size(), b.data(), b.size(), 1000, budget, pairs), AlignResult::Aligned)
        << seed;
    EXPECT_EQ(pairs.size(), LcsLength(a, b)) << seed;
    for (size_t k = 0; k < pairs.size(); ++k) {
      EXPECT_EQ(a[pairs[k].first], b[pairs[k].second]) << seed;
      if (k > 0) {
        EXPECT_LT(pairs[k - 1].first, pairs[k].first) << seed;
        EXPECT_LT(pairs[k - 1].second, pairs[k].second) << seed;
      }
    }
  }
}

TEST(SequenceAlignment, StopsAtTheCapOnChangesAndAtTheBudget) {
  // 100 of one text then 100 of another, against the two halves swapped:
  // 200 insertions and removals.
  std::vector<int32_t> a(200, 1), b(200, 2);
  std::fill(a.begin() + 100, a.end(), 2);
  std::fill(b.begin() + 100, b.end(), 1);
  std::vector<std::pair<uint32_t, uint32_t>> pairs{{9, 9}};
  const struct {
    const char* name;
    size_t maxChanges, budget;
    AlignResult result;
  } cases[] = {
      {"within both", 1000, 1u << 20, AlignResult::Aligned},
      {"past the cap on changes", 150, 1u << 20, AlignResult::TooManyChanges},
      {"past the budget", 1000, 500, AlignResult::OverBudget},
  };
  for (const auto& c : cases) {
    size_t budget = c.budget;
    EXPECT_EQ(AlignSequences(a.data(), a.size(), b.data(), b.size(), c.maxChanges, budget, pairs), c.result)
        << c.name;
    EXPECT_EQ(pairs.size(), c.result == AlignResult::Aligned ? 100u : 0u) << c.name;
    EXPECT_LT(budget, c.budget) << c.name << ": the work is taken from the budget";
  }
}

TEST(SequenceAlignment, EqualAndEmptySequences) {
  const std::vector<int32_t> a{1, 2, 1, 1, 3};
  size_t budget = 1000;
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
  ASSERT_EQ(AlignSequences(a.data(), a.size(), a.data(), a.size(), 0, budget, pairs), AlignResult::Aligned);
  EXPECT_EQ(pairs.size(), a.size()) << "equal sequences need no change at all";
  EXPECT_EQ(AlignSequences(a.data(), a.size(), a.data(), 0, 10, budget, pairs), AlignResult::Aligned);
  EXPECT_TRUE(pairs.empty());
  const std::vector<int32_t> other{4, 5};
  EXPECT_EQ(AlignSequences(a.data(), a.size(), other.data(), other.size(), 10, budget, pairs), AlignResult::Aligned);
  EXPECT_TRUE(pairs.empty()) << "nothing in common";
}
