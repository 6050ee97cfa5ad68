// The three-way merge of phrase records: one side's change is taken, the
// same change on both sides is no conflict, different changes are.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "project/file/PhraseMerge.h"
#include "support/TableBuilder.h"

namespace velmora {
namespace {

using test::TableBuilder;

// A phrase's state on one side: flags and an edited text (nullopt: none).
struct Side {
  uint16_t flags = 0;
  std::optional<std::string> text;
};

PhraseTable TableOf(const Side& s) {
  PhraseTable t;
  TableBuilder().Add("Route").Add("Menu", s.flags, s.text).AddLink(1).Fill(t);
  return t;
}

TEST(PhraseMerge, EachPhraseByWhichSideChangedIt) {
  const Side none{0, std::nullopt}, hidden{pfHide, std::nullopt}, a{pfOn, "A"}, aOff{0, "A"}, b{pfOn, "B"};
  enum Outcome { KeepMine, TakeTheirs, Conflict };
  struct Case {
    const char* name;
    Side base, mine, theirs;
    Outcome outcome;
  } cases[] = {
      {"nobody changed it", none, none, none, KeepMine},
      {"mine only", none, a, none, KeepMine},
      {"theirs only: a text", none, none, a, TakeTheirs},
      {"theirs only: HIDE", none, none, hidden, TakeTheirs},
      {"theirs only: switched off", a, a, aOff, TakeTheirs},
      {"theirs only: text taken away", a, a, none, TakeTheirs},
      {"the same change on both sides", none, a, a, KeepMine},
      {"different texts", none, a, b, Conflict},
      {"a text against a HIDE", none, a, hidden, Conflict},
      {"ON against a new text", aOff, a, b, Conflict},
      {"taken away against changed", a, none, b, Conflict},
  };
  for (const auto& c : cases) {
    const PhraseTable base = TableOf(c.base), mine = TableOf(c.mine), theirs = TableOf(c.theirs);
    const MergePlan plan = PlanMerge(PhraseRecords::Of(base), PhraseRecords::Of(mine), PhraseRecords::Of(theirs));
    ASSERT_TRUE(plan.SameProject) << c.name;
    EXPECT_EQ(plan.TakeTheirs, c.outcome == TakeTheirs ? std::vector<size_t>{1} : std::vector<size_t>{}) << c.name;
    ASSERT_EQ(plan.Conflicts.size(), c.outcome == Conflict ? 1u : 0u) << c.name;
    if (c.outcome == Conflict) {
      EXPECT_EQ(plan.Conflicts[0].Index, 1u);
      EXPECT_EQ(plan.Conflicts[0].Mine, PhraseRecords::Of(mine).Version(1)) << c.name;
      EXPECT_EQ(plan.Conflicts[0].Theirs, PhraseRecords::Of(theirs).Version(1)) << c.name;
    }
    // Taking their version makes mine equal theirs, and touches no other
    // phrase.
    PhraseTable merged = mine;
    TakeVersion(merged, 1, PhraseRecords::Of(theirs).Version(1));
    EXPECT_EQ(PhraseRecords::Of(merged).Version(1), PhraseRecords::Of(theirs).Version(1)) << c.name;
    EXPECT_EQ(PhraseRecords::Of(merged).Version(0), PhraseRecords::Of(mine).Version(0)) << c.name;
    EXPECT_EQ(merged.Phrases[2].Flags, pfLink) << c.name;
  }
}

TEST(PhraseMerge, ADifferentProjectCannotBeMerged) {
  PhraseTable base = TableOf({}), other;
  TableBuilder().Add("Route").Add("Menu").Add("More").Fill(other);
  EXPECT_FALSE(PlanMerge(PhraseRecords::Of(base), PhraseRecords::Of(base), PhraseRecords::Of(other)).SameProject);
  PhraseTable moved = base;
  moved.Phrases[1].StringAddress += 2;
  EXPECT_FALSE(PlanMerge(PhraseRecords::Of(base), PhraseRecords::Of(base), PhraseRecords::Of(moved)).SameProject);
}

TEST(PhraseMerge, TextsAreComparedByContentNotByPosition) {
  // Theirs stored the same text as a later entry (a text given twice):
  // still the same version, no change.
  PhraseTable base = TableOf({pfOn, "A"});
  PhraseTable theirs = base;
  theirs.AppendEditedText(1, "A");
  const MergePlan plan =
      PlanMerge(PhraseRecords::Of(base), PhraseRecords::Of(base), PhraseRecords::Of(theirs));
  EXPECT_TRUE(plan.TakeTheirs.empty());
  EXPECT_TRUE(plan.Conflicts.empty());
}

}  // namespace
}  // namespace velmora
