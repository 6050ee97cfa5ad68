// The fuzzy rule: a text only one version holds pairs with a similar text
// only the other holds, in the same stretch, mutually closest, within the
// percentage, and holding the same numbers.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "project/carry/EditDistance.h"
#include "project/carry/FuzzyRule.h"
#include "project/carry/PhrasePairing.h"

using namespace velmora;

namespace {

std::vector<MatchItem> Items(const std::vector<std::string>& texts) {
  std::vector<MatchItem> items;
  for (size_t i = 0; i < texts.size(); ++i)
    items.push_back({texts[i], 0x4000u + 0x20u * static_cast<uint32_t>(i), 0x200u + 4u * static_cast<uint32_t>(i),
                     static_cast<uint32_t>(i)});
  return items;
}

}  // namespace

TEST(FuzzyRule, NumbersMustBeTheSame) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Point 11", "Point 13", false}, {"Point 11", "Point 11!", true}, {"Settings", "Setting", true},
      {"Route 5 km", "Route 5km", true}, {"Route 5", "Route 50", false}, {"Track 1 of 2", "Track 12 of", false},
      {"Exit 3", "Exit", false},       {"", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameNumbers(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(SameNumbers(c.b, c.a), c.same) << c.b << " / " << c.a;
  }
}

TEST(FuzzyRule, PairsOnlyMutuallyClosestTextsOfOneStretchWithinThePercentage) {
  const struct {
    const char* name;
    std::vector<std::string> olds, news;
    int percent;
    std::vector<int32_t> sourceOfNew;
    std::vector<uint8_t> percentOfNew;
  } cases[] = {
      {"within the percentage", {"Alpha", "Settings", "Beta"}, {"Alpha", "Setting", "Beta"}, 15, {0, 1, 2}, {0, 13, 0}},
      {"beyond it", {"Alpha", "Settings", "Beta"}, {"Alpha", "Setting", "Beta"}, 10, {0, -1, 2}, {0, 0, 0}},
      {"a number that differs", {"Alpha", "Point 11", "Beta"}, {"Alpha", "Point 13", "Beta"}, 50, {0, -1, 2}, {0, 0, 0}},
      {"two equally close texts", {"Alpha", "Map 1", "Beta"}, {"Alpha", "Map 1a", "Map 1b", "Beta"}, 40, {0, -1, -1, 2},
       {0, 0, 0, 0}},
      {"another stretch", {"Alpha", "Settings", "Beta", "Gamma"}, {"Alpha", "Beta", "Setting", "Gamma"}, 20,
       {0, 2, -1, 3}, {0, 0, 0, 0}},
      {"not asked", {"Alpha", "Settings", "Beta"}, {"Alpha", "Setting", "Beta"}, 0, {0, -1, 2}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    const auto olds = Items(c.olds), news = Items(c.news);
    PairingOptions options;
    options.FuzzyPercent = c.percent;
    const PhrasePairing p = PairPhrases(olds, news, options);
    EXPECT_EQ(p.SourceOfNew, c.sourceOfNew) << c.name;
    EXPECT_EQ(p.PercentOfNew, c.percentOfNew) << c.name;
    for (size_t n = 0; n < news.size(); ++n)
      if (p.SourceOfNew[n] >= 0 && news[n].Text != olds[static_cast<size_t>(p.SourceOfNew[n])].Text) {
        EXPECT_EQ(p.RuleOfNew[n], PairRule::Fuzzy) << c.name;
      }
  }
}

// The plain dynamic programme, for comparison.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

TEST(EditDistance, AgreesWithTheFullTableUpToTheLimit) {
  const std::vector<std::string> texts = {"", "a", "Map", "Maps", "Route Guidance", "Route\nGuidance",
                                          "Guidance Route", "Settings", "Setting", "kitten", "sitting",
                                          "abcdefghij", "jihgfedcba"};
  for (const auto& a : texts)
    for (const auto& b : texts) {
      const size_t full = EditDistance(a, b);
      for (size_t limit : {0u, 1u, 2u, 3u, 5u, 20u})
        EXPECT_EQ(BoundedEditDistance(a, b, limit), std::min(full, limit + 1))
            << '"' << a << "\" \"" << b << "\" limit " << limit;
    }
}
