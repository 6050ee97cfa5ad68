// "Take Translations from Project ..." driven headlessly: the open project
// takes the translations of an older project of the same unit, and the
// report says how many in the interface language.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/UiTestSupport.h"
#include "ui/logic/words/CountWords.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/words/TakeTranslationsReport.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;

class TakeTranslationsTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  TakeTranslationsTest() {
    files.OnOpen = [this](PhraseTable& t, const std::string& path) {
      if (path == "/p/broken.vmprj") throw std::runtime_error("Stream read error");
      if (path == "/p/old.vmprj") {
        // 0 Route (ON), 1 Menu (off), 2 Gone, 3 Volume untranslated but hidden.
        TableBuilder()
            .Add("Route", pfOn, "Strecke")
            .Add("Menu", 0, "Menue")
            .Add("Gone", pfOn, "Weg")
            .Add("Volume", pfHide)
            .Fill(t);
      } else {
        // The newer version: 0 New, 1 Menu (hidden), 2 Route, 3 link to
        // Route, 4 Volume.
        TableBuilder().Add("New").Add("Menu", pfHide).Add("Route").AddLink(2).Add("Volume").Fill(t);
      }
    };
    Start();
  }

  void OpenNewProject() {
    OpenProject("/p/new.vmprj");
    platform.Status.clear();
    platform.OpenDialogs.clear();
  }
};

TEST_F(TakeTranslationsTest, CarriesTheTranslationsAndShowsTheCounts) {
  OpenNewProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::NoHidden);
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.Exchange().TakeTranslationsCommand();

  ASSERT_EQ(platform.OpenDialogs.size(), 1u);
  EXPECT_EQ(platform.OpenDialogs[0], (FileDialogRequest{"Loading Translation Project|*.vmprj", "", "", true, "/p",
                                                        "Взять переводы из проекта"}));
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Strecke");
  EXPECT_EQ(table.Phrases[2].Flags, pfOn);
  EXPECT_EQ(table.EditedText(table.Phrases[1]), "Menue");
  EXPECT_EQ(table.Phrases[1].Flags, 0) << "off as it was, and shown";
  EXPECT_EQ(table.Phrases[3].EditIndex, -1) << "a link record follows its phrase";
  EXPECT_EQ(table.Phrases[4].Flags, 0) << "an untranslated phrase keeps its own flags";

  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_TRUE(shell.Project().Commands().SaveProject) << "the project has a file to save to";
  // Refilled under the active filter: Menu, hidden before, now shows.
  EXPECT_EQ(shell.View().Grid().VisibleRows(), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (2)");

  EXPECT_TRUE(platform.Boxes.empty());
  ASSERT_EQ(platform.Reports.size(), 1u);
  const ReportTable& report = platform.Reports[0];
  EXPECT_EQ(report.Title, "Взять переводы из проекта");
  EXPECT_EQ(report.Heading, "Из проекта old.vmprj взято: 2 перевода");
  EXPECT_EQ(report.Columns, (std::vector<std::string>{"", "Фраз", "С переводом"}));
  using Row = std::vector<std::string>;
  EXPECT_EQ(report.Rows, (std::vector<Row>{{"Перенесено", "2", ""},
                                           {"Перенесено, нужна проверка", "0", ""},
                                           {"Оставлено (уже переведено)", "0", ""},
                                           {"Неоднозначно, не тронуто", "0", "0"},
                                           {"Новые (только в новом проекте)", "1", ""},
                                           {"Исчезли (только в старом проекте)", "1", "1"},
                                           {"Совпали, переносить нечего", "1", ""}}));
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Taking translations ...", "hide-now"}));
}

TEST_F(TakeTranslationsTest, AProjectOfAnotherUnitIsTakenFromWithAWarningNamingBoth) {
  files.OnOpen = [](PhraseTable& t, const std::string& path) {
    TableBuilder builder;
    builder.Add("Route", pfOn, "Strecke");
    if (path == "/p/other.vmprj") builder.Names("NAV", "TAG2");
    builder.Fill(t);
  };
  OpenNewProject();
  platform.OpenResults.push_back("/p/other.vmprj");
  shell.Exchange().TakeTranslationsCommand();
  EXPECT_EQ(table.EditedText(table.Phrases[0]), "Strecke") << "a renamed unit may be a new version";
  EXPECT_TRUE(platform.Boxes.empty());
  ASSERT_EQ(platform.Reports.size(), 1u);
  EXPECT_EQ(platform.Reports[0].Notes,
            (std::vector<std::string>{"Warning: /p/other.vmprj is unit NAV_TAG2, the open project is unit APM_TAG1"}));
}

TEST_F(TakeTranslationsTest, TheWholeTakeIsOneUndoableStep) {
  OpenNewProject();
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.Exchange().TakeTranslationsCommand();
  ASSERT_TRUE(shell.Project().Commands().Undo);

  shell.Undo().UndoCommand();
  for (size_t i = 0; i < table.Phrases.size(); ++i) EXPECT_FALSE(table.HasEditedText(table.Phrases[i])) << i;
  EXPECT_EQ(table.Phrases[1].Flags, pfHide) << "Menu is hidden again";
  EXPECT_FALSE(shell.Project().Modified()) << "back at the state the project was opened in";
  EXPECT_FALSE(shell.Project().Commands().Undo);

  shell.Undo().RedoCommand();
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Strecke");
  EXPECT_EQ(table.EditedText(table.Phrases[1]), "Menue");
  EXPECT_EQ(table.Phrases[2].Flags, pfOn);
  EXPECT_TRUE(shell.Project().Modified());
}

TEST_F(TakeTranslationsTest, NothingToTakeLeavesTheProjectUnmodified) {
  OpenNewProject();
  platform.OpenResults.push_back("/p/new.vmprj");
  shell.Exchange().TakeTranslationsCommand();
  EXPECT_FALSE(shell.Project().Modified());
  ASSERT_EQ(platform.Reports.size(), 1u);
  EXPECT_EQ(platform.Reports[0].Heading, "Из проекта new.vmprj взято: 0 переводов");
  EXPECT_EQ(platform.Reports[0].Rows[0], (std::vector<std::string>{"Перенесено", "0", ""}));
}

TEST_F(TakeTranslationsTest, TheDialogsSpeakTheInterfaceLanguage) {
  OpenNewProject();
  shell.ViewChoices().EngMenuItemClick();
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.Exchange().TakeTranslationsCommand();
  EXPECT_EQ(platform.OpenDialogs.back().Title, "Take Translations from Project");
  ASSERT_EQ(platform.Reports.size(), 1u);
  EXPECT_EQ(platform.Reports[0].Title, "Take Translations from Project");
  EXPECT_EQ(platform.Reports[0].Heading, "Taken from old.vmprj: 2 translations");
  EXPECT_EQ(platform.Reports[0].Columns, (std::vector<std::string>{"", "Phrases", "With a translation"}));
  EXPECT_EQ(platform.Reports[0].Rows.back(), (std::vector<std::string>{"Matched, nothing to carry", "1", ""}));
}

TEST(TakeTranslationsReportText, OneTranslationIsSingularAndPhrasesLeftAtALimitGetTheirRow) {
  CarryCounts counts;
  counts.Review = 1;
  counts.Limit = 1099;
  counts.OldLimit = 1100;
  counts.LimitTranslated = 7;
  const ReportTable en = TakeTranslationsReport(counts, "old.vmprj", UiLanguage::English);
  EXPECT_EQ(en.Heading, "Taken from old.vmprj: 1 translation") << "a translation that needs review is taken too";
  EXPECT_EQ(en.Rows[4], (std::vector<std::string>{"Left at a limit of the work", "1100", "7"}));
  EXPECT_EQ(TakeTranslationsReport(counts, "old.vmprj", UiLanguage::Russian).Heading,
            "Из проекта old.vmprj взято: 1 перевод");
  counts.Limit = counts.OldLimit = 0;
  EXPECT_EQ(TakeTranslationsReport(counts, "x", UiLanguage::English).Rows.size(), 7u) << "no such row without them";
}

TEST(CountWithWord, EnglishAndRussianForms) {
  const struct {
    size_t n;
    const char* english;
    const char* russian;
  } cases[] = {{0, "0 translations", "0 переводов"},    {1, "1 translation", "1 перевод"},
               {2, "2 translations", "2 перевода"},     {4, "4 translations", "4 перевода"},
               {5, "5 translations", "5 переводов"},    {11, "11 translations", "11 переводов"},
               {12, "12 translations", "12 переводов"}, {14, "14 translations", "14 переводов"},
               {21, "21 translations", "21 перевод"},   {22, "22 translations", "22 перевода"},
               {25, "25 translations", "25 переводов"}, {101, "101 translations", "101 перевод"},
               {111, "111 translations", "111 переводов"}, {112, "112 translations", "112 переводов"},
               {1004, "1004 translations", "1004 перевода"}};
  for (const auto& c : cases) {
    EXPECT_EQ(CountWithWord(c.n, CaptionText(CaptionId::TranslationCountForms, UiLanguage::English), UiLanguage::English),
              c.english);
    EXPECT_EQ(CountWithWord(c.n, CaptionText(CaptionId::TranslationCountForms, UiLanguage::Russian), UiLanguage::Russian),
              c.russian);
  }
  EXPECT_EQ(CountWithWord(5, "word", UiLanguage::Russian), "5 word") << "a missing form falls back to the last";
}

TEST_F(TakeTranslationsTest, AnOldProjectThatCannotBeReadChangesNothing) {
  OpenNewProject();
  const auto phrases = table.Phrases;
  platform.OpenResults.push_back("/p/broken.vmprj");
  shell.Exchange().TakeTranslationsCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "Stream read error");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_FALSE(shell.Project().Modified());
  EXPECT_TRUE(table.EditedTexts.empty());
  ASSERT_EQ(table.Phrases.size(), phrases.size());
  for (size_t i = 0; i < phrases.size(); ++i) EXPECT_EQ(table.Phrases[i].Flags, phrases[i].Flags) << i;
  EXPECT_EQ(platform.Status.back(), "hide-now");
}

TEST_F(TakeTranslationsTest, WithoutAnOpenProjectOrWhenCancelledNothingHappens) {
  shell.Exchange().TakeTranslationsCommand();
  EXPECT_TRUE(platform.OpenDialogs.empty()) << "no project is open to take them";

  OpenNewProject();
  shell.Exchange().TakeTranslationsCommand();  // the dialog is cancelled
  EXPECT_EQ(platform.OpenDialogs.size(), 1u);
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_TRUE(platform.Status.empty());
  EXPECT_FALSE(shell.Project().Modified());
}

}  // namespace
}  // namespace velmora::ui
