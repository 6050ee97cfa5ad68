// "Take Translations from Project ..." driven headlessly: the open project
// takes the translations of an older project of the same unit.
#include <gtest/gtest.h>

#include <stdexcept>

#include "UiTestSupport.h"
#include "ui/logic/ShellController.h"

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
  shell.FilterBtnClick(GridFilter::NoHidden);
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.TakeTranslationsCommand();

  ASSERT_EQ(platform.OpenDialogs.size(), 1u);
  EXPECT_EQ(platform.OpenDialogs[0], (FileDialogRequest{"Loading Translation Project|*.vmprj", "", "", true, "/p"}));
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Strecke");
  EXPECT_EQ(table.Phrases[2].Flags, pfOn);
  EXPECT_EQ(table.EditedText(table.Phrases[1]), "Menue");
  EXPECT_EQ(table.Phrases[1].Flags, 0) << "off as it was, and shown";
  EXPECT_EQ(table.Phrases[3].EditIndex, -1) << "a link record follows its phrase";
  EXPECT_EQ(table.Phrases[4].Flags, 0) << "an untranslated phrase keeps its own flags";

  EXPECT_TRUE(shell.Modified());
  EXPECT_TRUE(shell.Commands().SaveProject) << "the project has a file to save to";
  // Refilled under the active filter: Menu, hidden before, now shows.
  EXPECT_EQ(shell.Grid().VisibleRows(), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(shell.Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (2)");

  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Information);
  const std::string& text = platform.Boxes[0].Text;
  EXPECT_EQ(text.rfind("Translations taken from /p/old.vmprj:\n\n", 0), 0u) << text;
  for (const char* line : {"Carried:                         2\n", "New (only in the new project):   1\n",
                           "Gone (only in the old project):  1 (1 with a translation)\n",
                           "Matched, nothing to carry:       1\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
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
  shell.TakeTranslationsCommand();
  EXPECT_EQ(table.EditedText(table.Phrases[0]), "Strecke") << "a renamed unit may be a new version";
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("Translations taken from /p/other.vmprj:\n\n"
                                         "Warning: /p/other.vmprj is unit NAV_TAG2, the open project is unit APM_TAG1\n\n"
                                         "Carried:",
                                         0),
            0u)
      << platform.Boxes[0].Text;
}

TEST_F(TakeTranslationsTest, TheWholeTakeIsOneUndoableStep) {
  OpenNewProject();
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.TakeTranslationsCommand();
  ASSERT_TRUE(shell.Commands().Undo);

  shell.UndoCommand();
  for (size_t i = 0; i < table.Phrases.size(); ++i) EXPECT_FALSE(table.HasEditedText(table.Phrases[i])) << i;
  EXPECT_EQ(table.Phrases[1].Flags, pfHide) << "Menu is hidden again";
  EXPECT_FALSE(shell.Modified()) << "back at the state the project was opened in";
  EXPECT_FALSE(shell.Commands().Undo);

  shell.RedoCommand();
  EXPECT_EQ(table.EditedText(table.Phrases[2]), "Strecke");
  EXPECT_EQ(table.EditedText(table.Phrases[1]), "Menue");
  EXPECT_EQ(table.Phrases[2].Flags, pfOn);
  EXPECT_TRUE(shell.Modified());
}

TEST_F(TakeTranslationsTest, NothingToTakeLeavesTheProjectUnmodified) {
  OpenNewProject();
  platform.OpenResults.push_back("/p/new.vmprj");
  shell.TakeTranslationsCommand();
  EXPECT_FALSE(shell.Modified());
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_NE(platform.Boxes[0].Text.find("Carried:                         0\n"), std::string::npos);
}

TEST_F(TakeTranslationsTest, AnOldProjectThatCannotBeReadChangesNothing) {
  OpenNewProject();
  const auto phrases = table.Phrases;
  platform.OpenResults.push_back("/p/broken.vmprj");
  shell.TakeTranslationsCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "Stream read error");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_FALSE(shell.Modified());
  EXPECT_TRUE(table.EditedTexts.empty());
  ASSERT_EQ(table.Phrases.size(), phrases.size());
  for (size_t i = 0; i < phrases.size(); ++i) EXPECT_EQ(table.Phrases[i].Flags, phrases[i].Flags) << i;
  EXPECT_EQ(platform.Status.back(), "hide-now");
}

TEST_F(TakeTranslationsTest, WithoutAnOpenProjectOrWhenCancelledNothingHappens) {
  shell.TakeTranslationsCommand();
  EXPECT_TRUE(platform.OpenDialogs.empty()) << "no project is open to take them";

  OpenNewProject();
  shell.TakeTranslationsCommand();  // the dialog is cancelled
  EXPECT_EQ(platform.OpenDialogs.size(), 1u);
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_TRUE(platform.Status.empty());
  EXPECT_FALSE(shell.Modified());
}

}  // namespace
}  // namespace velmora::ui
