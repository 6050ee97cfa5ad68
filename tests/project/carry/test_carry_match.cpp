// The matching rules of the carry on small hand-made versions: texts in
// string order, pointers in string order unless a case says otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "project/carry/CarryMatch.h"
#include "project/carry/EditDistance.h"

using namespace velmora;

namespace {

// One version: its texts in the order of their strings, and the order of
// their pointers (positions into texts; empty: the same order).
struct Version {
  std::vector<std::string> texts = {};
  std::vector<int> pointerOrder = {};

  std::vector<MatchItem> Items() const {
    std::vector<uint32_t> pointerRank(texts.size());
    std::iota(pointerRank.begin(), pointerRank.end(), 0u);
    for (size_t k = 0; k < pointerOrder.size(); ++k) pointerRank[static_cast<size_t>(pointerOrder[k])] = static_cast<uint32_t>(k);
    std::vector<MatchItem> items;
    for (size_t i = 0; i < texts.size(); ++i)
      items.push_back({texts[i], 0x4000u + 0x20u * static_cast<uint32_t>(i), 0x200u + 4u * pointerRank[i]});
    return items;
  }
};

struct Case {
  const char* name = "";
  Version olds = {}, news = {};
  std::vector<int> newOfOld = {};      // expected partner of each old text, -1 for none
  std::vector<int> ambiguousOld = {};  // expected undecided old texts
  int fuzzy = 0;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class MatchRules : public ::testing::TestWithParam<Case> {};

TEST_P(MatchRules, PairsAsTheRulesDecide) {
  const Case& c = GetParam();
  const auto olds = c.olds.Items();
  const auto news = c.news.Items();
  const TextMatch m = MatchTexts(olds, news, c.fuzzy);
  std::vector<int> got(m.NewOfOld.begin(), m.NewOfOld.end());
  EXPECT_EQ(got, c.newOfOld);
  std::vector<int> ambiguous;
  for (size_t o = 0; o < olds.size(); ++o)
    if (m.OldAmbiguous[o]) ambiguous.push_back(static_cast<int>(o));
  EXPECT_EQ(ambiguous, c.ambiguousOld);
  // The two directions agree, and every pair joins equal texts unless it
  // was made by similarity.
  for (size_t o = 0; o < olds.size(); ++o) {
    if (m.NewOfOld[o] < 0) continue;
    EXPECT_EQ(m.OldOfNew[static_cast<size_t>(m.NewOfOld[o])], static_cast<int>(o));
    if (m.Rule[o] != MatchRule::Fuzzy) {
      EXPECT_EQ(olds[o].Text, news[static_cast<size_t>(m.NewOfOld[o])].Text);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchRules,
    ::testing::Values(
        Case{"UniqueTextsMatchWhereverTheyMoved",
             {{"Alpha", "Beta", "Gamma"}}, {{"Gamma", "Alpha", "Beta", "Delta"}}, {1, 2, 0}, {}},
        Case{"RepeatedTextPairsBetweenItsMatchedNeighbours",
             {{"Alpha", "OK", "Beta", "OK", "Gamma"}},
             {{"New", "Alpha", "OK", "Beta", "OK", "Gamma"}}, {1, 2, 3, 4, 5}, {}},
        Case{"RunOfEqualTextsPairsByOrder",
             {{"Alpha", "OK", "OK", "OK", "Beta"}}, {{"Alpha", "OK", "OK", "OK", "Beta"}}, {0, 1, 2, 3, 4}, {}},
        Case{"CopyFarFromItsOriginalLeavesTheOriginalDecided",
             {{"Alpha", "OK", "Beta", "Gamma", "Delta"}},
             {{"Alpha", "OK", "Beta", "Gamma", "OK", "Delta"}}, {0, 1, 2, 3, 5}, {}},
        Case{"CopyBesideItsOriginalIsUndecidable",
             {{"Alpha", "OK", "Beta"}}, {{"Alpha", "OK", "OK", "Beta"}}, {0, -1, 3}, {1}},
        Case{"OneOfTwoAdjacentEqualTextsRemovedIsUndecidable",
             {{"Alpha", "OK", "OK", "Beta"}}, {{"Alpha", "OK", "Beta"}}, {0, -1, -1, 2}, {1, 2}},
        // Mid may as well have moved a little, past the first OK, while the
        // second OK was removed: one phrase alone cannot tell.
        Case{"RemovalBesideASingleOtherPhraseIsUndecidable",
             {{"Alpha", "OK", "Mid", "OK", "Beta"}}, {{"Alpha", "Mid", "OK", "Beta"}}, {0, -1, 1, -1, 3}, {1, 3}},
        // Mid and Back agree: the first OK went.
        Case{"RemovalBesideTwoAgreeingPhrasesIsDecided",
             {{"Alpha", "OK", "Mid", "Back", "OK", "Beta"}}, {{"Alpha", "Mid", "Back", "OK", "Beta"}},
             {0, -1, 1, 2, 3, 4}, {}},
        // Between Alpha and Beta one OK went and a Cancel was reworded while
        // another Cancel came in: taken plainly, the texts line up with
        // every phrase shifted by one; read with the rewording, they line up
        // as they truly are. Neither reading may decide.
        Case{"ARewordedCopyLeavesItsEqualTextsUndecided",
             {{"Alpha", "OK", "Cancel", "OK", "Cancel", "Cancel", "Cancel", "Beta"}},
             {{"Alpha", "Cancel route", "OK", "Cancel", "Cancel", "Cancel", "Cancel", "Beta"}},
             {0, -1, -1, -1, -1, -1, -1, 7}, {1, 2, 3, 4, 5, 6}},
        // Plainly the Backs and the last Cancel line up; but a second Back may
        // have moved in while the first Cancel stayed and the rest went.
        // One copy that came unseen undoes the pairs: none is taken.
        Case{"APairAnUnseenCopyCouldShiftIsUndecided",
             {{"Alpha", "Back", "Cancel", "Back", "Cancel", "Beta"}},
             {{"Alpha", "Back", "Back", "Cancel", "Beta"}}, {0, -1, -1, -1, -1, 4}, {1, 2, 3, 4}},
        // By the strings, the texts line up shifted by one, the first Cancel
        // with one that came; by the pointers that pair cannot be, and the
        // second Back's string moved away. Neither order decides, and the
        // last Cancel, which was removed, gets no partner.
        Case{"AShiftedReadingTheOtherOrderDeniesDecidesNothing",
             {{"Alpha", "Back", "Cancel", "Back", "Cancel", "Cancel", "Beta", "Gamma"}},
             {{"Alpha", "Cancel", "Back", "Cancel", "Cancel", "Beta", "Gamma", "Back"}, {1, 0, 2, 3, 7, 4, 5, 6}},
             {0, -1, -1, -1, -1, -1, 5, 6}, {1, 2, 3, 4, 5}},
        // By the strings the four texts line up as they stand; but the
        // strings of the last Cancel and OK have their pointers far away,
        // by which that reading cannot be, and by the pointers two of the
        // four went, which two no order tells: none is taken.
        Case{"AReadingTheOtherOrderRefutesInOnePairDecidesNoPair",
             {{"Alpha", "Cancel", "OK", "Cancel", "OK", "Beta", "Gamma", "Delta"}},
             {{"Alpha", "Cancel", "OK", "Cancel", "OK", "Beta", "Gamma", "Delta"}, {0, 1, 2, 5, 6, 3, 4, 7}},
             {0, -1, -1, -1, -1, 5, 6, 7}, {1, 2, 3, 4}},
        // Plainly the three Cancels line up and the first OK went while
        // another came; had that OK stayed, they would line up around it.
        // Beta alone parts the second OK from the first, which may have
        // moved past it.
        Case{"APairThatHoldsOnlyIfAnEqualTextWentAndCameIsUndecided",
             {{"Alpha", "Cancel", "OK", "Cancel", "Cancel", "Beta", "OK", "Gamma"}},
             {{"Alpha", "Cancel", "Cancel", "Cancel", "OK", "Beta", "OK", "Gamma"}},
             {0, -1, -1, -1, -1, 5, -1, 7}, {1, 2, 3, 4, 6}},
        // Two of three Backs went. The Cancels line up plainly; but if the
        // last Back was the one that stayed, one Cancel went and one came.
        Case{"APairThatHoldsOnlyIfAnotherCopyStayedIsUndecided",
             {{"Alpha", "Back", "Back", "Cancel", "Back", "Cancel", "Beta"}},
             {{"Alpha", "Back", "Cancel", "Cancel", "Beta"}}, {0, -1, -1, -1, -1, -1, 4}, {1, 2, 3, 4, 5}},
        // The first OK's string moved behind Beta; its pointer kept its place.
        Case{"StringMovedPointerKeptIsDecidedByThePointers",
             {{"Alpha", "OK", "Beta", "OK", "Gamma"}},
             {{"Alpha", "Beta", "OK", "OK", "Gamma"}, {0, 2, 1, 3, 4}}, {0, 2, 1, 3, 4}, {}},
        // The first OK moved behind Beta with its pointer: two OKs now sit
        // where one was, none where the other was.
        Case{"MovedWithItsPointerBesideAnEqualTextIsUndecidable",
             {{"Alpha", "OK", "Beta", "OK", "Gamma"}},
             {{"Alpha", "Beta", "OK", "OK", "Gamma"}}, {0, -1, 1, -1, 4}, {1, 3}},
        // The strings of two equal texts changed places while their pointers
        // kept theirs: the orders contradict each other.
        Case{"OrdersThatDisagreeDecideNothing",
             {{"Alpha", "OK", "Back", "OK", "Beta"}, {0, 3, 2, 1, 4}},
             {{"Alpha", "OK", "Back", "OK", "Beta"}, {0, 1, 2, 3, 4}}, {0, -1, 2, -1, 4}, {1, 3}},
        Case{"RewordedTextIsNotMatchedWithoutFuzzy",
             {{"Alpha", "Settings", "Beta"}}, {{"Alpha", "Setting", "Beta"}}, {0, -1, 2}, {}},
        Case{"RewordedTextIsMatchedWithinThePercentage",
             {{"Alpha", "Settings", "Beta"}}, {{"Alpha", "Setting", "Beta"}}, {0, 1, 2}, {}, 15},
        Case{"RewordedTextBeyondThePercentageStaysApart",
             {{"Alpha", "Settings", "Beta"}}, {{"Alpha", "Setting", "Beta"}}, {0, -1, 2}, {}, 10},
        Case{"FuzzyNeedsASingleClosestText",
             {{"Alpha", "Map 1", "Beta"}}, {{"Alpha", "Map 2", "Map 3", "Beta"}}, {0, -1, 3}, {}, 40},
        Case{"FuzzyLooksOnlyInTheSameGap",
             {{"Alpha", "Settings", "Beta", "Gamma"}}, {{"Alpha", "Beta", "Setting", "Gamma"}}, {0, -1, 1, 3}, {}, 20},
        // Both Volumes could be the one that stayed: the reworded copy must
        // not settle it by similarity.
        Case{"FuzzyNeverTakesATextTheExactRulesLeftUndecided",
             {{"Alpha", "Volume", "Volume", "Beta"}}, {{"Alpha", "Volume", "Volumes", "Beta"}}, {0, -1, -1, 3},
             {1, 2}, 30},
        Case{"EmptyVersions", {{}}, {{"Alpha"}}, {}, {}}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

TEST(MatchRules, FuzzyReportsHowDifferentTheTextsAre) {
  const Version olds{{"Alpha", "Destination", "Beta"}};
  const Version news{{"Alpha", "Destinations", "Beta"}};
  const TextMatch m = MatchTexts(olds.Items(), news.Items(), 25);
  ASSERT_EQ(m.NewOfOld[1], 1);
  EXPECT_EQ(m.Rule[1], MatchRule::Fuzzy);
  EXPECT_EQ(m.Percent[1], 9);  // 1 of 12 bytes, rounded up
  EXPECT_EQ(m.Rule[0], MatchRule::Unique);
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

}  // namespace

TEST(MatchLimits, AStretchTooLargeToAlignIsReportedAsALimit) {
  // 1,100 copies of one text between two unique ones, one copy fewer in the
  // new version: too many to align, so none is decided, and each says why.
  // A short stretch of the same kind elsewhere is aligned as usual.
  Version olds, news;
  olds.texts.push_back("Start");
  for (int k = 0; k < 1100; ++k) olds.texts.push_back("OK");
  olds.texts.push_back("Middle");
  for (int k = 0; k < 3; ++k) olds.texts.push_back("Back");
  olds.texts.push_back("End");
  news.texts = olds.texts;
  news.texts.erase(news.texts.begin() + 1);
  const auto o = olds.Items(), n = news.Items();
  const TextMatch m = MatchTexts(o, n, 0);
  for (int k = 1; k <= 1100; ++k) {
    EXPECT_EQ(m.NewOfOld[static_cast<size_t>(k)], -1) << k;
    EXPECT_TRUE(m.OldAmbiguous[static_cast<size_t>(k)]) << k;
    EXPECT_TRUE(m.OldLimited[static_cast<size_t>(k)]) << k;
  }
  for (size_t k = 1; k < 1100; ++k) EXPECT_TRUE(m.NewLimited[k]) << k;
  // The stretch of three "Back" between matched neighbours is decided.
  for (int k = 1102; k <= 1104; ++k) {
    EXPECT_EQ(m.NewOfOld[static_cast<size_t>(k)], k - 1) << k;
    EXPECT_FALSE(m.OldLimited[static_cast<size_t>(k)]) << k;
  }
}

TEST(MatchLimits, AStretchWithTooManyChangesToTestIsReportedAsALimit) {
  // 600 phrases that alternate OK and Back, small enough to align, with the
  // first Back gone: every pair is forced, but each of the hundreds of
  // changes the stretch could hide would need an alignment of its own to
  // rule out. None is decided, each is reported as a limit; a short stretch
  // of the same kind elsewhere is decided.
  Version olds, news;
  olds.texts.push_back("Start");
  for (int k = 0; k < 600; ++k) olds.texts.push_back(k % 2 ? "Back" : "OK");
  olds.texts.push_back("Middle");
  for (const char* t : {"OK", "Back", "OK", "Back"}) olds.texts.push_back(t);
  olds.texts.push_back("End");
  news.texts = olds.texts;
  news.texts.erase(news.texts.begin() + 2);
  const auto o = olds.Items(), n = news.Items();
  const TextMatch m = MatchTexts(o, n, 0);
  for (size_t k = 1; k <= 600; ++k) {
    EXPECT_EQ(m.NewOfOld[k], -1) << k;
    EXPECT_TRUE(m.OldLimited[k]) << k;
  }
  for (size_t k = 602; k <= 605; ++k) {
    EXPECT_EQ(m.NewOfOld[k], static_cast<int32_t>(k) - 1) << k;
    EXPECT_FALSE(m.OldLimited[k]) << k;
  }
}
