// The translation editor: the origin text's lines, the too-long warning
// with wrapped lines and code-page bytes, OK after the first change, the
// beep button, the placement, and the round trip from the grid through OK
// into the phrase table.
#include <gtest/gtest.h>

#include "support/UiTestSupport.h"
#include "project/exchange/ExchangeEntries.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using testing::ScriptedPlatform;
using testing::TableBuilder;

// Splits an edit box's text the way a box without wrapping shows it.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t nl = text.find('\n', start);
    out.push_back(text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return out;
}

// A box that wraps every line after `width` characters (ASCII only).
std::vector<std::string> Wrapped(const std::string& text, size_t width) {
  std::vector<std::string> out;
  for (const std::string& line : Lines(text)) {
    if (line.empty()) out.push_back(line);
    for (size_t i = 0; i < line.size(); i += width) out.push_back(line.substr(i, width));
  }
  return out;
}

TEST(EditorRules, OriginLines) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"abc\r\n", {"abc"}},
      {"ab\r\ncd", {"ab", "cd"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\rb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\n", {"a", ""}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    for (auto l : TextLines(c.text)) got.emplace_back(l);
    EXPECT_EQ(got, c.lines) << ::testing::PrintToString(std::string(c.text));
  }
}

TEST(EditorRules, TooLongByLinesAndLongestLine) {
  ScriptedPlatform platform;
  EditForm form(platform);
  struct Case {
    const char* origin;
    std::vector<std::string> shown;
    bool tooLong;
  };
  const Case cases[] = {
      {"abc", {"abc"}, false},
      {"abc", {"abcd"}, true},
      {"abc", {"abc", ""}, false},  // a last empty line is not counted
      {"abc", {"ab", "c"}, true},
      {"abc", {""}, false},
      {"", {"a"}, true},
      {"0123456789\r\nabcd", {"0123456789", "0123456789"}, false},  // the longest origin line is the limit
      {"0123456789\r\nabcd", {"0123456789", "0", "1"}, true},
      {"0123456789\r\nabcd", {"01234567890"}, true},
  };
  for (const Case& c : cases) {
    form.Fill("", c.origin, CodePage::WestEurope);
    form.FormShow();
    EXPECT_EQ(form.TooLong(c.shown), c.tooLong) << c.origin << " / " << ::testing::PrintToString(c.shown);
  }
}

TEST(EditorRules, LengthsCountBytesOfTheCodePage) {
  ScriptedPlatform platform;
  EditForm form(platform);
  form.Fill("", "\x82\xA0\x82\xA2", CodePage::Japanese);  // two Shift JIS characters, 4 bytes
  form.FormShow();
  EXPECT_EQ(form.OriginMaxLineLength(), 4);
  EXPECT_FALSE(form.TooLong({"あい"}));
  EXPECT_FALSE(form.TooLong({"abcd"}));
  EXPECT_TRUE(form.TooLong({"あいう"}));
  EXPECT_TRUE(form.TooLong({"abcde"}));
}

TEST(EditorRules, WarningBeepsAndOkFollowTheChanges) {
  ScriptedPlatform platform;
  EditForm form(platform);
  form.Fill("old", "abc", CodePage::Default);
  EXPECT_EQ(form.Text(), "old");
  form.Memo1Change("before show", Lines("before show"));  // no check attached yet
  EXPECT_FALSE(form.Yellow());
  EXPECT_EQ(platform.Beeps, 0);

  form.FormShow();
  EXPECT_FALSE(form.OkEnabled());
  EXPECT_FALSE(form.Yellow());
  struct Step {
    const char* text;
    bool yellow;
    int beeps;
  };
  const Step steps[] = {{"abd", false, 0}, {"abdx", true, 1}, {"abdxy", true, 2}, {"abd", false, 2}, {"a\nb", true, 3}};
  for (const Step& s : steps) {
    form.Memo1Change(s.text, Lines(s.text));
    EXPECT_EQ(form.Yellow(), s.yellow) << s.text;
    EXPECT_EQ(platform.Beeps, s.beeps) << s.text;
    EXPECT_TRUE(form.OkEnabled()) << "a too-long text may still be confirmed";
  }
  // With the beep button down the warning is silent.
  form.SetBeepDown(true);
  form.Memo1Change("abcdef", Lines("abcdef"));
  EXPECT_TRUE(form.Yellow());
  EXPECT_EQ(platform.Beeps, 3);

  form.FormClose();
  EXPECT_FALSE(form.Attached());
  form.FormShow();
  EXPECT_FALSE(form.OkEnabled()) << "every opening waits for a change again";
  EXPECT_TRUE(form.BeepDown()) << "the beep button keeps its state";
}

// The colour and the count agree: 17 bytes of room hold 16 in place (an odd
// text is written with a zero after it), so a 17-byte text on a 17-byte
// origin line is too long by its count and by its colour.
TEST(EditorRules, ColourAgreesWithTheCount) {
  ScriptedPlatform platform;
  EditForm form(platform);
  const std::string origin(17, 'o');
  form.Fill("", origin, CodePage::Default, RoomInPlace(17));
  form.FormShow();
  EXPECT_FALSE(form.Yellow());
  const struct {
    std::string text;
    std::string count;
    bool yellow;
  } steps[] = {{std::string(16, 't'), "16 / 16 bytes", false},
               {std::string(17, 't'), "18 / 16 bytes", true},
               {std::string(15, 't'), "16 / 16 bytes", false}};
  for (const auto& s : steps) {
    form.Memo1Change(s.text, Lines(s.text));
    EXPECT_EQ(form.ByteCountText(), s.count);
    EXPECT_EQ(form.Yellow(), s.yellow) << s.text;
    EXPECT_EQ(form.OverRoom(), s.yellow) << s.text;
  }
  // A stored text over its room is yellow as the editor opens.
  form.FormClose();
  form.Fill(std::string(20, 's'), origin, CodePage::Default, RoomInPlace(17));
  form.FormShow();
  EXPECT_TRUE(form.Yellow());
}

TEST(EditorRules, CopiedOriginCanWarnWhenItWraps) {
  ScriptedPlatform platform;
  EditForm form(platform);
  const std::string origin(70, 'w');
  form.Fill("", origin, CodePage::Default);
  form.FormShow();
  const std::string copied = form.CopyBtnClick();
  EXPECT_EQ(copied, origin);
  form.Memo1Change(copied, Wrapped(copied, 50));
  EXPECT_TRUE(form.Yellow());
  form.Memo1Change(copied, Wrapped(copied, 80));
  EXPECT_FALSE(form.Yellow());
}

TEST(EditorRules, OkConvertsIntoTheCodePageOrKeepsTheWindowOpen) {
  ScriptedPlatform platform;
  EditForm form(platform);
  form.Fill("", "x", CodePage::Russian);
  EXPECT_TRUE(form.OkBtnClick("Привет\nмир"));
  EXPECT_EQ(form.Result(), "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xEC\xE8\xF0");
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_FALSE(form.OkBtnClick("日本"));
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_FALSE(platform.Boxes[0].Text.empty());
  EXPECT_TRUE(form.OkBtnClick(""));
  EXPECT_EQ(form.Result(), "");
}

TEST(EditorRules, ByteCountIsWhatTheUnitWillHoldAgainstTheRoom) {
  struct Case {
    CodePage cp;
    const char* typed;  // the box's text (UTF-8, line feeds)
    size_t room;        // the phrase's Length
    const char* shown;
    bool over;
  };
  const Case cases[] = {
      {CodePage::WestEurope, "", 16, "0 / 16 bytes", false},
      {CodePage::WestEurope, "Hauptmenü", 16, "10 / 16 bytes", false},  // 9 bytes, made even
      {CodePage::WestEurope, "Navigationsmenü!!", 16, "18 / 16 bytes", true},
      {CodePage::WestEurope, "abcd", 3, "4 / 3 bytes", true},
      {CodePage::WestEurope, "abc", 3, "4 / 3 bytes", true},  // an odd room holds no odd text whole
      {CodePage::WestEurope, "ab\ncd\n", 6, "6 / 6 bytes", false},  // line feeds kept, trailing ones dropped
      {CodePage::Russian, "Меню", 4, "4 / 4 bytes", false},
      {CodePage::Japanese, "メニュー", 8, "8 / 8 bytes", false},       // four double-byte characters
      {CodePage::Japanese, "ﾒﾆｭｰ", 8, "4 / 8 bytes", false},         // four half-width, one byte each
      {CodePage::Japanese, "メニュー画面", 8, "12 / 8 bytes", true},
      {CodePage::WestEurope, "Меню", 8, "? / 8 bytes", false},        // not in the code page
  };
  ScriptedPlatform platform;
  for (const Case& c : cases) {
    EditForm form(platform);
    form.Fill("", "origin", c.cp, c.room);
    form.FormShow();
    form.Memo1Change(c.typed, Lines(c.typed));
    EXPECT_EQ(form.ByteCountText(), c.shown) << c.typed;
    EXPECT_EQ(form.OverRoom(), c.over) << c.typed;
  }
  // The count is there as soon as the editor opens, for the text it starts with.
  EditForm form(platform);
  form.Fill("Karte", "Map", CodePage::Default, 3);
  EXPECT_EQ(form.ByteCountText(), "6 / 3 bytes");
  EXPECT_EQ(form.OriginDisplayText(), "Map");
}

TEST(EditorRules, Placement) {
  struct Case {
    EditorPlacementInput in;
    EditorPlacement out;
  };
  const Case cases[] = {
      {{24, 5, 1, 100, 50, 80, 620, 537, 1920}, {50 + 620, 100 + 80 + 24 * 4}},
      {{24, 12, 10, 0, 0, 75, 620, 537, 1920}, {620, 75 + 48}},
      {{24, 1, 1, 0, 0, 75, 1500, 537, 1920}, {1920 - 537, 75}},  // moved left at the screen's edge
      // An 800 x 600 screen whose panel takes its top 30 pixels; the editor
      // is 300 high.
      {{24, 3, 1, 30, 0, 100, 400, 537, 800, 0, 30, 570, 300}, {800 - 537, 30 + 100 + 48}},  // room below
      {{24, 12, 1, 30, 0, 100, 400, 537, 800, 0, 30, 570, 300}, {800 - 537, 30 + 100 + 264 - 300}},  // moved up
      {{24, 8, 1, 30, 0, 100, 400, 537, 800, 0, 30, 570, 450}, {800 - 537, 600 - 450}},  // no room above: at the bottom
      {{24, 1, 1, 0, -600, 0, 0, 537, 800, -600, 0, 0, 300}, {-600, 0}},  // a screen left of the first
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceEditor(c.in), c.out);
}

TEST(EditorRules, ATextOverTheProjectsLimitIsRefusedAsItComes) {
  ScriptedPlatform platform;
  EditForm form(platform);
  const size_t limit = kMaxEditedTextLength;
  struct Case {
    const char* name;
    std::string text;
    CodePage page;
    bool taken;
  };
  std::string crowded;  // 65535 characters, but each break is CR LF in the unit's bytes
  while (crowded.size() + 3 <= limit) crowded += "ab\n";
  std::string cyrillic;  // twice the limit in UTF-8, within it in Windows-1251
  for (size_t i = 0; i < limit; ++i) cyrillic += "Б";
  const Case cases[] = {
      {"at the limit", std::string(limit, 'x'), CodePage::WestEurope, true},
      {"one byte over", std::string(limit + 1, 'x'), CodePage::WestEurope, false},
      {"a paste of 300 kB", std::string(300000, 'x'), CodePage::WestEurope, false},
      {"line breaks count twice", crowded, CodePage::WestEurope, false},
      {"bytes of the code page", cyrillic, CodePage::Russian, true},
      {"one more character", cyrillic + "Б", CodePage::Russian, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form.Fill("Strecke", "Route", c.page);
    form.FormShow();
    const int beeps = platform.Beeps;
    EXPECT_EQ(form.Memo1Change(c.text, {c.text}), c.taken);
    if (c.taken) {
      EXPECT_EQ(form.Text(), c.text);
      EXPECT_EQ(form.RefusalText(), "");
      EXPECT_TRUE(form.OkBtnClick(form.Text()));
      EXPECT_LE(form.Result().size(), limit);
      continue;
    }
    EXPECT_EQ(form.Text(), "Strecke") << "the box keeps its text";
    EXPECT_EQ(platform.Beeps, beeps + 1);
    EXPECT_NE(form.RefusalText().find("a translation holds at most 65535 bytes"), std::string::npos)
        << form.RefusalText();
    // The next change that fits is taken, and the reason goes.
    EXPECT_TRUE(form.Memo1Change("Strecke 2", {"Strecke 2"}));
    EXPECT_EQ(form.RefusalText(), "");
  }
  form.Fill("", "Route", CodePage::WestEurope);
  form.FormShow();
  form.Memo1Change(std::string(limit + 7, 'x'), std::vector<std::string>{});
  EXPECT_EQ(form.RefusalText(),
            "Not taken: the text would be 65542 bytes long; a translation holds at most 65535 bytes.");
}

// ------------------------------------------------------------ the round trip

class EditRoundTrip : public ::testing::Test, protected testing::TestWindow {
 protected:
  EditRoundTrip() {
    // 0 plain, 1 hidden, 2 edited + ON.
    EveryProjectHolds([](PhraseTable& t) {
      TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menue").Fill(t);
    });
    shell.Window().OnRowChanged = [this](int row) { redrawn.push_back(row); };
    Start();
    OpenProject("/p/a.vmprj");
  }

  // The editor types `text` and confirms it.
  void Type(const std::string& text) {
    platform.OnEditForm = [text](EditForm& f, int, int) {
      f.FormShow();
      f.Memo1Change(text, Lines(text));
      EXPECT_TRUE(f.OkEnabled());
      const bool ok = f.OkBtnClick(text);
      f.FormClose();
      return ok;
    };
  }

  std::vector<int> redrawn;
};

TEST_F(EditRoundTrip, ARefusedPasteLeavesThePhraseWithTheTextBeforeIt) {
  shell.GridEvents().GridSelectCell(3);
  platform.OnEditForm = [](EditForm& f, int, int) {
    f.FormShow();
    f.Memo1Change("Menue 1", {"Menue 1"});
    EXPECT_FALSE(f.Memo1Change(std::string(200000, 'p'), std::vector<std::string>{}));
    // The window puts the kept text back; OK stores it.
    return f.OkBtnClick(f.Text());
  };
  shell.GridEvents().StringGridDblClick();
  EXPECT_TRUE(platform.Boxes.empty()) << "nothing is thrown away after OK";
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Menue 1");
}

TEST_F(EditRoundTrip, NewTextOnAHiddenPhraseSwitchesItOn) {
  shell.GridEvents().GridSelectCell(2);
  int seenRow = 0, seenTop = 0;
  platform.OnEditForm = [&](EditForm& f, int row, int top) {
    seenRow = row;
    seenTop = top;
    EXPECT_EQ(f.Text(), "");
    f.FormShow();
    EXPECT_EQ(f.OriginLineCount(), 1);
    EXPECT_EQ(f.OriginMaxLineLength(), 6);
    f.Memo1Change("Versteckt", Lines("Versteckt"));
    EXPECT_TRUE(f.Yellow());
    return f.OkBtnClick("Versteckt");
  };
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(seenRow, 2);
  EXPECT_EQ(seenTop, 1);
  const TPhrase& p = table.Phrases[1];
  EXPECT_EQ(table.EditedText(p), "Versteckt");
  EXPECT_TRUE(p.Flags & pfOn);
  EXPECT_FALSE(p.Flags & pfHide);
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_TRUE(shell.Project().Commands().SaveProject);
  EXPECT_TRUE(shell.Project().Commands().SaveProjectAs);
  EXPECT_EQ(shell.View().Grid().Memo2(), "Versteckt");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (2)");
  EXPECT_EQ(redrawn, std::vector<int>{2});
  EXPECT_EQ(platform.Beeps, 1);
}

TEST_F(EditRoundTrip, EmptyTextTakesTheTextAwayAndTheRowStaysInView) {
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  ASSERT_EQ(shell.View().Grid().RowCount(), 2);
  shell.GridEvents().GridSelectCell(1);
  Type("");
  shell.GridEvents().EditSelectedRow();  // Enter
  EXPECT_EQ(table.Phrases[2].EditIndex, -1);
  EXPECT_FALSE(table.Phrases[2].Flags & pfOn);
  EXPECT_EQ(shell.View().Grid().RowCount(), 2) << "no refill";
  EXPECT_EQ(shell.View().Grid().Memo2(), "");
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (0)");
}

TEST_F(EditRoundTrip, UnchangedResultsMarkNothing) {
  // Empty on a phrase without a text.
  shell.GridEvents().GridSelectCell(1);
  Type("");
  shell.GridEvents().EditSelectedRow();  // a click on a text box
  EXPECT_EQ(table.Phrases[0].EditIndex, -1);
  EXPECT_FALSE(shell.Project().Modified());

  // The same text again (changed and changed back) on a phrase that is ON.
  shell.GridEvents().GridSelectCell(3);
  Type("Menue");
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Menue");
  EXPECT_FALSE(shell.Project().Modified());

  // Cancel stores nothing.
  platform.OnEditForm = nullptr;
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Menue");
  EXPECT_FALSE(shell.Project().Modified());
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"hide-now", "dialog:editor", "dialog:editor", "dialog:editor"}));
}

TEST_F(EditRoundTrip, TextIsStoredInTheDisplayCodePageWithCrLf) {
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Russian));
  shell.GridEvents().GridSelectCell(1);
  int attempts = 0;
  platform.OnEditForm = [&](EditForm& f, int, int) {
    f.FormShow();
    f.Memo1Change("日本", Lines("日本"));
    ++attempts;
    if (f.OkBtnClick("日本")) return true;  // refused: the window stays open
    ++attempts;
    f.Memo1Change("Да\nнет", Lines("Да\nнет"));
    return f.OkBtnClick("Да\nнет");
  };
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(attempts, 2);
  EXPECT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(table.EditedText(table.Phrases[0]), "\xC4\xE0\r\n\xED\xE5\xF2");
}

TEST_F(EditRoundTrip, NoDataRowNoEditor) {
  shell.FormClose();
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(platform.Status, std::vector<std::string>{"hide-now"});
}

}  // namespace
}  // namespace velmora::ui
