// The editor's OK and the grid's HIDE and ON toggles as table changes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "project/file/PhraseEdits.h"

using namespace velmora;

namespace {

// Phrases 0..2 plain, phrase 3 a link to phrase 0.
PhraseTable FourRecords() {
  PhraseTable t;
  t.UnitImage.assign(512, 'a');
  for (int i = 0; i < 4; ++i) {
    TPhrase p;
    p.LinkAddress = static_cast<uint32_t>(128 + 4 * i);
    p.StringAddress = static_cast<uint32_t>(256 + 16 * (i % 3));
    p.Length = 8;
    if (i == 3) {
      p.Flags = pfLink;
      p.MasterIndex = 0;
      p.StringAddress = 256;
    }
    t.Phrases.push_back(p);
  }
  return t;
}

}  // namespace

TEST(ApplyEditedText, NonEmptyTextIsStoredSwitchedOnAndShown) {
  PhraseTable t = FourRecords();
  t.Phrases[1].Flags = pfHide;
  EXPECT_TRUE(ApplyEditedText(t, 1, "first"));
  EXPECT_EQ(t.EditedText(t.Phrases[1]), "first");
  EXPECT_EQ(t.Phrases[1].Flags, pfOn);

  // Three texts in turn: three entries, the phrase names the last.
  EXPECT_TRUE(ApplyEditedText(t, 1, "second"));
  EXPECT_TRUE(ApplyEditedText(t, 1, "third\r\nline"));
  EXPECT_EQ(t.EditedTexts, (std::vector<std::string>{"first", "second", "third\r\nline"}));
  EXPECT_EQ(t.Phrases[1].EditIndex, 2);

  // The same text again changes nothing the user sees.
  EXPECT_FALSE(ApplyEditedText(t, 1, "third\r\nline"));
  EXPECT_EQ(t.EditedText(t.Phrases[1]), "third\r\nline");
}

TEST(ApplyEditedText, SameTextStillCountsWhenItSwitchesThePhraseOnOrShowsIt) {
  // An imported text leaves ON clear and HIDE as it was; confirming it in the
  // editor sets ON and clears HIDE, which is a change to save.
  PhraseTable t = FourRecords();
  t.Phrases[2].Flags = pfHide;
  t.AppendEditedText(2, "imported");
  EXPECT_TRUE(ApplyEditedText(t, 2, "imported"));
  EXPECT_EQ(t.Phrases[2].Flags, pfOn);
}

TEST(ApplyEditedText, EmptyTextTakesOnlyThisPhrasesTextAway) {
  PhraseTable t = FourRecords();
  ApplyEditedText(t, 0, "zero");
  ApplyEditedText(t, 1, "one");
  ApplyEditedText(t, 2, "two");
  t.Phrases[1].Flags = static_cast<uint16_t>(t.Phrases[1].Flags | pfHide);

  EXPECT_TRUE(ApplyEditedText(t, 1, ""));
  EXPECT_EQ(t.Phrases[1].EditIndex, -1);
  EXPECT_EQ(t.Phrases[1].Flags, pfHide) << "ON cleared, HIDE kept";
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "zero");
  EXPECT_EQ(t.EditedText(t.Phrases[2]), "two");
  EXPECT_EQ(t.Phrases[2].Flags, pfOn);

  // Nothing to take away: no change.
  EXPECT_FALSE(ApplyEditedText(t, 1, ""));
  EXPECT_EQ(t.Phrases[1].Flags, pfHide);
}

TEST(ApplyEditedText, RefusesLinksAndIndicesOutsideTheTable) {
  PhraseTable t = FourRecords();
  EXPECT_THROW(ApplyEditedText(t, 3, "text"), std::invalid_argument);
  EXPECT_THROW(ApplyEditedText(t, 4, "text"), std::out_of_range);
  EXPECT_TRUE(t.EditedTexts.empty());
  EXPECT_EQ(t.Phrases[3].EditIndex, -1);
}

TEST(Toggles, FollowTheGridRules) {
  enum Toggle { Hide, On };
  struct Case {
    const char* name;
    Toggle toggle;
    size_t index;
    uint16_t flags;
    bool withText;
    bool allowed;
    uint16_t flagsAfter;
  } cases[] = {
      {"hide a phrase without text", Hide, 0, 0, false, true, pfHide},
      {"show it again", Hide, 0, pfHide, false, true, 0},
      {"hide refused with a text", Hide, 0, pfOn, true, false, pfOn},
      {"show refused with a text", Hide, 0, pfHide, true, false, pfHide},
      {"switch a text on", On, 0, 0, true, true, pfOn},
      {"switch it off", On, 0, pfOn | pfHide, true, true, pfHide},
      {"on refused without a text", On, 0, 0, false, false, 0},
      {"stray ON without a text can be cleared", On, 0, pfOn, false, true, 0},
      {"link record refused (hide)", Hide, 3, pfLink, false, false, pfLink},
      {"link record refused (on)", On, 3, pfLink, false, false, pfLink},
  };
  for (const auto& c : cases) {
    PhraseTable t = FourRecords();
    if (c.withText) t.AppendEditedText(c.index, "text");
    t.Phrases[c.index].Flags = c.flags;
    const bool result = c.toggle == Hide ? ToggleHide(t, c.index) : ToggleOn(t, c.index);
    EXPECT_EQ(result, c.allowed) << c.name;
    EXPECT_EQ(t.Phrases[c.index].Flags, c.flagsAfter) << c.name;
  }
  PhraseTable t = FourRecords();
  EXPECT_FALSE(ToggleHide(t, 4));
  EXPECT_FALSE(ToggleOn(t, 99));
}
