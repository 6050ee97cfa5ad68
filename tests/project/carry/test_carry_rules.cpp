// The rules of the carry's decision table, each on the hand-made case that
// shows why it exists, and the shapes of wrong copies that no rule may make
// final. Texts lie in string order; pointers in the same order unless a
// case gives another.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "project/carry/DecisionTable.h"
#include "project/carry/PhrasePairing.h"

using namespace velmora;

namespace {

// One version: its texts in the order of their strings, the order of their
// pointers (positions into texts; empty: the same order), and for the old
// version the state of each copy (empty: every phrase its own, so that
// copies differ).
struct Version {
  std::vector<std::string> texts = {};
  std::vector<int> pointerOrder = {};
  std::vector<uint32_t> states = {};

  std::vector<MatchItem> Items() const {
    std::vector<uint32_t> pointerRank(texts.size());
    std::iota(pointerRank.begin(), pointerRank.end(), 0u);
    for (size_t k = 0; k < pointerOrder.size(); ++k)
      pointerRank[static_cast<size_t>(pointerOrder[k])] = static_cast<uint32_t>(k);
    std::vector<MatchItem> items;
    for (size_t i = 0; i < texts.size(); ++i)
      items.push_back({texts[i], 0x4000u + 0x20u * static_cast<uint32_t>(i), 0x200u + 4u * pointerRank[i],
                       states.empty() ? static_cast<uint32_t>(i) : states[i]});
    return items;
  }
};

struct RuleCase {
  const char* name = "";
  Version olds = {}, news = {};
  // Per new phrase: the old phrase it takes from and the rule, as decided.
  std::vector<int32_t> sourceOfNew = {};
  std::vector<PairRule> ruleOfNew = {};
  int fuzzy = 0;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

constexpr PairRule U = PairRule::Unique, S = PairRule::SameTranslation, C = PairRule::Copied,
                   N = PairRule::Neighbours, G = PairRule::Gap, L = PairRule::Likeliest, F = PairRule::Fuzzy,
                   X = PairRule::None;

class DecisionTableRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DecisionTableRules, DecideAsTheTableSays) {
  const RuleCase& c = GetParam();
  const auto olds = c.olds.Items(), news = c.news.Items();
  PairingOptions options;
  options.FuzzyPercent = c.fuzzy;
  const PhrasePairing p = PairPhrases(olds, news, options);
  if (c.sourceOfNew.empty()) {
    // Only what is not decided: no phrase of a repeated text is final.
    for (size_t n = 0; n < news.size(); ++n)
      if (PairRuleName(p.RuleOfNew[n]) != "unique") {
        EXPECT_NE(RuleOutcome(p.RuleOfNew[n]), CarryOutcome::Carried) << n;
      }
    return;
  }
  EXPECT_EQ(p.SourceOfNew, c.sourceOfNew);
  std::vector<std::string> rules, expected;
  for (PairRule r : p.RuleOfNew) rules.emplace_back(PairRuleName(r));
  for (PairRule r : c.ruleOfNew) expected.emplace_back(PairRuleName(r));
  EXPECT_EQ(rules, expected);
  // Only the fuzzy rule joins different texts.
  for (size_t n = 0; n < news.size(); ++n)
    if (p.SourceOfNew[n] >= 0 && p.RuleOfNew[n] != PairRule::Fuzzy) {
      EXPECT_EQ(news[n].Text, olds[static_cast<size_t>(p.SourceOfNew[n])].Text) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecisionTableRules,
    ::testing::Values(
        // unique: a text once in each version is the same phrase wherever it went.
        RuleCase{"Unique", {{"Alpha", "Beta", "Gamma"}}, {{"Gamma", "Alpha", "Beta", "Delta"}}, {2, 0, 1, -1},
                 {U, U, U, X}},
        // same-translation: three copies of OK with one translation become
        // two, mixed among other texts; which is which cannot matter.
        RuleCase{"SameTranslation",
                 {{"OK", "Alpha", "OK", "Beta", "OK"}, {}, {7, 1, 7, 3, 7}},
                 {{"Beta", "OK", "Alpha", "OK"}},
                 {3, 0, 1, 2},
                 {U, S, U, S}},
        // copied: a unit that grows uses a text in more places; every copy
        // takes the translation, for review, the original as well.
        RuleCase{"Copied", {{"Alpha", "Settings", "Beta"}}, {{"Alpha", "Settings", "Beta", "Settings"}}, {0, 1, 2, 1},
                 {U, C, U, C}},
        // neighbours: two sections of the pointer table changed places,
        // strings laid out in the new table order. Each OK keeps its unique
        // neighbours in both orders: that is the strongest evidence there
        // is, and it decides before any alignment reads the sections as one.
        RuleCase{"Neighbours",
                 {{"A", "OK", "B", "C", "OK", "D"}},
                 {{"C", "OK", "D", "A", "OK", "B"}},
                 {3, 4, 5, 0, 1, 2},
                 {U, N, U, U, N, U}},
        // gap: a run of equal texts has no unique neighbours, but between
        // Alpha and Beta the texts come in the same order and counts in
        // both versions: one reading only.
        RuleCase{"Gap",
                 {{"Alpha", "OK", "OK", "Back", "OK", "Back", "Beta"}},
                 {{"Alpha", "OK", "OK", "Back", "OK", "Back", "Beta", "New"}},
                 {0, 1, 2, 3, 4, 5, 6, -1},
                 {U, G, G, G, G, G, U, X}},
        // gap, doubted: City moved one place right, past the OK after it,
        // while the last OK moved in after City. Between City and Memory the
        // texts read the same, but taken with City as a phrase that may
        // have moved, they no longer do: nothing there is final.
        RuleCase{"GapDoubtsAPairThatMayHaveMoved",
                 {{"Lane", "Cancel", "Cancel", "Back", "Back", "City", "OK", "Cancel", "Memory", "OK"}},
                 {{"Lane", "Cancel", "Back", "Back", "Back", "OK", "City", "OK", "Cancel", "Memory"}},
                 {},
                 {}},
        // gap, doubted: A, B and C moved as a block one place right, past the
        // Back after them, while another Back moved in behind them. Between
        // C and D the texts read the same; taken with the whole block as
        // pairs that may have moved, they do not: the Back after C is only
        // likeliest.
        RuleCase{"GapDoubtsABlockThatMayHaveMoved",
                 {{"P", "Cancel", "A", "B", "C", "Back", "D", "E", "Map", "OK", "Back", "F", "G", "Map", "OK", "H"}},
                 {{"P", "Cancel", "Back", "Map", "A", "B", "C", "OK", "Back", "D", "E", "F", "G", "Map", "OK", "H"}},
                 {},
                 {}},
        // gap, doubted: a copy of Back left the stretch and a copy of Delete
        // came, as where two pieces that moved were joined: the No that both
        // sides hold proves nothing there (nor would it beside two copies
        // of other texts that came, a piece that moved in).
        RuleCase{"GapDoubtsASeam",
                 {{"A", "No", "Back", "B", "C", "Delete", "No", "D", "Back", "Delete", "E"}},
                 {{"A", "No", "Delete", "B", "C", "Back", "No", "D", "Back", "Delete", "E"}},
                 {},
                 {}},
        // likeliest: one of two equal texts went, which one no unit can
        // tell; the alignment's reading is taken, for review, and the other
        // copy is gone.
        RuleCase{"Likeliest", {{"Alpha", "OK", "OK", "Beta"}}, {{"Alpha", "OK", "Beta"}}, {0, 1, 3}, {U, L, U}},
        // likeliest, from runs: a block of repeated texts with no unique text
        // of its own moved as a whole; two of its texts side by side occur
        // so only once in each version, and the run around them follows.
        // (The stretches between B and C, C and D, and D and E read the
        // same in both versions, also with B, C, D or E taken as a pair that
        // may have moved: final.)
        RuleCase{"LikeliestFromAPieceThatMovedWhole",
                 {{"A", "OK", "Back", "Yes", "B", "No", "No", "C", "Back", "OK", "Yes", "D", "No", "No", "E", "F",
                   "G"}},
                 {{"A", "B", "No", "No", "C", "Back", "OK", "Yes", "D", "No", "No", "E", "F", "OK", "Back", "Yes",
                   "G"}},
                 {0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 2, 3, 16},
                 {U, U, G, G, U, G, G, G, U, G, G, U, U, L, L, L, U}},
        // fuzzy: a reworded text, asked for.
        RuleCase{"Fuzzy", {{"Alpha", "Settings", "Beta"}}, {{"Alpha", "Setting", "Beta"}}, {0, 1, 2}, {U, F, U}, 15}),
    [](const ::testing::TestParamInfo<RuleCase>& p) { return std::string(p.param.name); });

// Shapes in which a copy could be given another copy's translation: each
// reading of them is as good as another, so none may be final.
struct WrongCopyCase {
  const char* name = "";
  Version olds = {}, news = {};
};

void PrintTo(const WrongCopyCase& c, std::ostream* os) { *os << c.name; }

class NeverFinal : public ::testing::TestWithParam<WrongCopyCase> {};

TEST_P(NeverFinal, NoCopyOfARepeatedTextIsFinal) {
  const WrongCopyCase& c = GetParam();
  const auto olds = c.olds.Items(), news = c.news.Items();
  const PhrasePairing p = PairPhrases(olds, news, {});
  for (size_t n = 0; n < news.size(); ++n) {
    size_t copies = 0;
    for (const MatchItem& o : olds) copies += o.Text == news[n].Text;
    if (copies < 2) continue;
    EXPECT_NE(RuleOutcome(p.RuleOfNew[n]), CarryOutcome::Carried)
        << "new " << n << " \"" << news[n].Text << "\" by " << PairRuleName(p.RuleOfNew[n]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NeverFinal,
    ::testing::Values(
        // A copy beside its original: which is which, nothing tells.
        WrongCopyCase{"CopyBesideItsOriginal", {{"Alpha", "OK", "OK", "Beta"}}, {{"Alpha", "OK", "OK", "OK", "Beta"}}},
        // One OK went and a Cancel was reworded while another came in: taken
        // plainly, every phrase shifts by one.
        WrongCopyCase{"ARewordedCopy",
                      {{"Alpha", "OK", "Cancel", "OK", "Cancel", "Cancel", "Cancel", "Beta"}},
                      {{"Alpha", "Cancel route", "OK", "Cancel", "Cancel", "Cancel", "Cancel", "Beta"}}},
        // A second Back may have moved in while the first Cancel stayed and
        // the rest went.
        WrongCopyCase{"AnUnseenCopy",
                      {{"Alpha", "Back", "Cancel", "Back", "Cancel", "Beta"}},
                      {{"Alpha", "Back", "Back", "Cancel", "Beta"}}},
        // By the strings the texts line up shifted by one; by the pointers
        // that cannot be.
        WrongCopyCase{"AShiftedReadingTheOtherOrderDenies",
                      {{"Alpha", "Back", "Cancel", "Back", "Cancel", "Cancel", "Beta", "Gamma"}},
                      {{"Alpha", "Cancel", "Back", "Cancel", "Cancel", "Beta", "Gamma", "Back"},
                       {1, 0, 2, 3, 7, 4, 5, 6}}},
        // The strings of two equal texts changed places while their
        // pointers kept theirs: the orders contradict each other.
        WrongCopyCase{"OrdersThatDisagree",
                      {{"Alpha", "OK", "Back", "OK", "Beta"}, {0, 3, 2, 1, 4}},
                      {{"Alpha", "OK", "Back", "OK", "Beta"}}},
        // The first OK moved behind Beta with its pointer: two OKs now sit
        // where one was.
        WrongCopyCase{"MovedWithItsPointerBesideAnEqualText",
                      {{"Alpha", "OK", "Beta", "OK", "Gamma"}},
                      {{"Alpha", "Beta", "OK", "OK", "Gamma"}}},
        // Two pairs that bound the stretch changed places.
        WrongCopyCase{"BoundingPairsThatChangedPlaces",
                      {{"Area edit", "Area delete", "Delete", "Delete", "Area scale", "Search"}},
                      {{"Area edit", "Delete", "Area scale", "Area delete", "Delete", "Search"}}}),
    [](const ::testing::TestParamInfo<WrongCopyCase>& p) { return std::string(p.param.name); });

}  // namespace

TEST(DecisionTable, EveryRuleHasARowAndAWord) {
  for (const PairingRuleRow& row : kPairingRules) {
    EXPECT_EQ(PairRuleName(row.Rule), row.Name);
    EXPECT_FALSE(row.Evidence.empty()) << row.Name;
    EXPECT_NE(row.Outcome, CarryOutcome::NotCarried) << row.Name;
  }
  EXPECT_EQ(PairRuleName(PairRule::None), "");
  EXPECT_EQ(RuleOutcome(PairRule::None), CarryOutcome::NotCarried);
  const struct {
    CarryStatus status;
    const char* word;
    CarryOutcome outcome;
  } words[] = {
      {CarryStatus::Carried, "carried", CarryOutcome::Carried},     {CarryStatus::Review, "review", CarryOutcome::Review},
      {CarryStatus::Kept, "kept", CarryOutcome::NotCarried},        {CarryStatus::Matched, "matched", CarryOutcome::NotCarried},
      {CarryStatus::Ambiguous, "ambiguous", CarryOutcome::NotCarried}, {CarryStatus::Limit, "limit", CarryOutcome::NotCarried},
      {CarryStatus::Gone, "gone", CarryOutcome::NotCarried},        {CarryStatus::New, "new", CarryOutcome::NotCarried},
  };
  for (const auto& w : words) {
    EXPECT_EQ(CarryStatusName(w.status), w.word);
    EXPECT_EQ(OutcomeOf(w.status), w.outcome) << w.word;
  }
}

TEST(DecisionTable, ABudgetSpentLeavesTheRestAsALimitNamingTheCause) {
  // X Y X Y read one place shifted: only an alignment pairs them, and the
  // budget allows a few steps only.
  const Version olds{{"A", "X", "Y", "X", "Y", "B"}};
  const Version news{{"A", "Y", "X", "Y", "X", "B"}};
  PairingOptions options;
  options.Budget = 3;
  const PhrasePairing p = PairPhrases(olds.Items(), news.Items(), options);
  for (size_t n = 1; n <= 4; ++n) {
    EXPECT_TRUE(p.NewUndecided[n]) << n;
    EXPECT_EQ(p.NewLimit[n], LimitReason::CellBudget) << n;
    EXPECT_EQ(p.NewCandidateCount[n], 2u) << n;
  }
  for (size_t o = 1; o <= 4; ++o) EXPECT_EQ(p.OldLimit[o], LimitReason::CellBudget) << o;
  EXPECT_EQ(LimitReasonText(LimitReason::CellBudget), "the budget of alignment work ran out");
  // With the budget a carry has, three of them are taken for review.
  const PhrasePairing enough = PairPhrases(olds.Items(), news.Items(), {});
  size_t likeliest = 0;
  for (PairRule r : enough.RuleOfNew) likeliest += r == PairRule::Likeliest;
  EXPECT_EQ(likeliest, 3u);
}
