// Search beyond the find panels' single steps: case folding that respects
// Shift JIS characters, "Not found" in the status line, and F3 / Shift+F3
// repeating the last search.
#include <gtest/gtest.h>

#include "support/UiTestSupport.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/grid/CaseFolding.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;

// Shift JIS: 0x83 0x41 is katakana "a" (ア), whose second byte is an ASCII
// "A"; 0x83 0x61 is katakana "di" (ヂ), whose second byte is an ASCII "a";
// 0x83 0x83 is a small "ya" (ャ); 0xB1 is the single-byte half-width
// katakana "a".
TEST(CaseFolding, FoldsOnlySingleByteCharactersUnderShiftJis) {
  EXPECT_EQ(FoldAsciiCase("AbC\x83\x41Z", true), "abc\x83\x41z");
  EXPECT_EQ(FoldAsciiCase("AbC\x83\x41Z", false), "abc\x83\x61z") << "8-bit code pages fold every A to Z";
  EXPECT_EQ(FoldAsciiCase("\x83", true), "\x83") << "a lead byte at the end stays";
  EXPECT_EQ(FoldAsciiCase("\xB1" "A", true), "\xB1" "a") << "half-width katakana is one byte";
}

TEST(CaseFolding, MatchesStartAtCharactersUnderShiftJis) {
  struct Case {
    const char* text;
    const char* search;
    bool shiftJis;
    bool found;
  };
  const Case cases[] = {
      {"Route Menu", "MENU", false, true},
      {"Route Menu", "", false, false},
      {"\x83\x41", "a", true, false},          // the second byte of ア is no "A"
      {"\x83\x41", "A", true, false},
      {"\x83\x41", "a", false, true},          // as 8-bit text it is one
      {"\x83\x61", "a", true, false},          // nor is the second byte of ヂ an "a"
      {"\x83\x41", "\x83\x41", true, true},    // the character itself
      {"\x83\x83\x41", "\x83\x41", true, false},  // bytes found across two characters
      {"\x83\x83\x41", "A", true, true},       // the single-byte A after ャ
      {"\x83\x83\x83\x41", "\x83\x41", true, true},
      {"x\x83\x41y" "ABC", "abc", true, true},
      {"\xB1\xB2", "\xB2", true, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ContainsFolded(c.text, c.search, c.shiftJis), c.found)
        << ::testing::PrintToString(std::string(c.text)) << " / " << ::testing::PrintToString(std::string(c.search))
        << (c.shiftJis ? " (Shift JIS)" : "");
}

class SearchTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  SearchTest() {
    // 0 アア (A as second byte), 1 "Menu", 2 ヂヂ (a as second byte), 3 "Map
    // area", edited "Karte A", 4 "ANA".
    EveryProjectHolds([](PhraseTable& t) {
      TableBuilder()
          .Add("\x83\x41\x83\x41")
          .Add("Menu")
          .Add("\x83\x61\x83\x61")
          .Add("Map area", pfOn, "Karte A")
          .Add("ANA")
          .Fill(t);
    });
    Start();
    OpenProject("/p/jp.vmprj");
  }
};

TEST_F(SearchTest, JapaneseCodePageNeverMatchesInsideACharacter) {
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Japanese));
  shell.GridEvents().GridSelectCell(1);
  shell.Search().FindDownBtnClick(FindPanel::Origin, "a");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 4) << "row 4 (Map area), not the katakana rows";
  shell.Search().FindDownBtnClick(FindPanel::Origin, "a");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 5);
  // Typed katakana is found as a whole character.
  shell.Search().FindUpBtnClick(FindPanel::Origin, "ヂ");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 3);
  EXPECT_EQ(platform.Beeps, 0);

  // The same bytes under an 8-bit code page fold as letters.
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::WestEurope));
  shell.GridEvents().GridSelectCell(1);
  shell.Search().FindDownBtnClick(FindPanel::Origin, "a");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 3);
}

TEST_F(SearchTest, NotFoundIsSaidInTheStatusLineInTheInterfaceLanguageAndClearedByAHit) {
  shell.Search().FindDownBtnClick(FindPanel::Edited, "nothing like this");
  EXPECT_EQ(platform.Beeps, 1);
  ASSERT_FALSE(platform.StatusLine.empty());
  EXPECT_EQ(platform.StatusLine.back(), "Не найдено");
  shell.Search().FindDownBtnClick(FindPanel::Edited, "karte");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 4);
  EXPECT_EQ(platform.StatusLine.back(), "");
  shell.ViewChoices().EngMenuItemClick();
  shell.Search().FindUpBtnClick(FindPanel::Origin, "");  // an empty box
  EXPECT_EQ(platform.StatusLine.back(), "Not found");
  EXPECT_EQ(platform.Beeps, 2);
}

TEST_F(SearchTest, F3RepeatsTheLastSearchDownAndUp) {
  // Nothing searched yet: nothing to repeat.
  shell.Search().FindAgain(true);
  EXPECT_EQ(platform.Beeps, 1);
  EXPECT_EQ(platform.StatusLine.back(), "Не найдено");

  shell.GridEvents().GridSelectCell(1);
  shell.Search().FindDownBtnClick(FindPanel::Origin, "m");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 2);
  shell.Search().FindAgain(true);
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 4);
  shell.Search().FindAgain(true);
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 4) << "no wrap-around";
  EXPECT_EQ(platform.Beeps, 2);
  shell.Search().FindAgain(false);
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 2);

  // The last search is the panel's too: the edited texts now.
  shell.Search().FindUpBtnClick(FindPanel::Edited, "a");
  EXPECT_EQ(platform.Beeps, 3) << "no edited text above row 2";
  shell.Search().FindAgain(true);
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 4);
}

}  // namespace
}  // namespace velmora::ui
