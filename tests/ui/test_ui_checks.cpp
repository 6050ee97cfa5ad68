// The window's checks: the editor's live problems under the byte count, the
// Problems list and the phrase its double click selects, the character set
// taken from a file, and the question before Save .BIN / Save LOADING.KWI
// builds over errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/UiTestSupport.h"
#include "support/TestSupport.h"

namespace velmora::ui {
namespace {

using velmora::test::TempDir;
using velmora::test::WriteFile;

// A window showing four phrases: two firmware texts translated (one with
// its directives swapped) and switched on, one hidden, one untranslated.
class WindowChecks : public ::testing::Test, protected testing::TestWindow {
 protected:
  WindowChecks() {
    EveryProjectHolds([](PhraseTable& t) {
      testing::TableBuilder()
          .Add("Version %s of %d", pfOn, "Version %d von %s")
          .Add("Distance %d km", pfOn, "Entfernung %d km")
          .Add("Hidden %d", pfHide | pfOn, "Versteckt %s")
          .Add("Menu")
          .Fill(t);
    });
    Start();
    OpenProject("p.vmprj");
  }
  // The errors of the list (the longer translations also get infos).
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (const Problem& p : shell.Checks().Problems())
      if (p.Level == Severity::Error) ids.push_back(std::to_string(p.Index) + ":" + p.Check);
    return ids;
  }
  // The list's row of a phrase's first problem.
  size_t RowOf(int32_t phrase) const {
    const auto& all = shell.Checks().Problems();
    return static_cast<size_t>(std::find_if(all.begin(), all.end(), [&](const Problem& p) { return p.Index == phrase; }) -
                               all.begin());
  }
};

TEST_F(WindowChecks, ProblemsListHoldsEveryProblemWithItsPhrase) {
  EXPECT_TRUE(shell.Checks().Problems().empty()) << "nothing checked yet";
  shell.Checks().CheckCommand();
  const auto lines = shell.Checks().ProblemLines();
  ASSERT_EQ(Ids(), (std::vector<std::string>{"0:printf", "2:printf"}));
  EXPECT_EQ(lines[0].rfind("phrase 0: error: printf: ", 0), 0u) << lines[0];
}

TEST_F(WindowChecks, DoubleClickSelectsThePhraseEvenWhenTheFilterHidesIt) {
  shell.Checks().CheckCommand();
  shell.ViewChoices().FilterBtnClick(GridFilter::NoHidden);
  ASSERT_TRUE(shell.Checks().SelectProblem(RowOf(0)));
  EXPECT_EQ(shell.View().Grid().PhraseOfRow(shell.View().Grid().SelectedRow()), 0);
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoHidden) << "phrase 0 is shown: the filter stays";
  ASSERT_TRUE(shell.Checks().SelectProblem(RowOf(2)));
  EXPECT_EQ(shell.View().Grid().PhraseOfRow(shell.View().Grid().SelectedRow()), 2);
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoFilter) << "the hidden phrase needs No filter";
  EXPECT_FALSE(shell.Checks().SelectProblem(shell.Checks().Problems().size()));
}

TEST_F(WindowChecks, EditorShowsTheProblemsOfTheTextBeingTyped) {
  std::vector<std::string> seen;
  platform.OnEditForm = [&](EditForm& f, int, int) {
    f.FormShow();
    for (const char* typed : {"Entf. %d km", "Entf. %s km", "Entf. km"}) {
      f.Memo1Change(typed, {typed});
      seen.push_back(f.ProblemsText());
    }
    return false;
  };
  ASSERT_TRUE(shell.View().Grid().SelectPhrase(1));
  shell.GridEvents().StringGridDblClick();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "");
  EXPECT_EQ(seen[1].rfind("error: printf: argument 1 is int (%d) in the origin but char * (%s)", 0), 0u) << seen[1];
  EXPECT_EQ(seen[2].rfind("error: printf: the translation drops argument 1", 0), 0u) << seen[2];
}

TEST_F(WindowChecks, CharsetFromAFileIsKeptAndChecked) {
  TempDir dir;
  const std::string font = dir.File("font.txt");
  WriteFile(font, std::string("VersionEntfrug %dkm"));
  platform.OpenResults.push_back(font);
  shell.Checks().LoadCharsetCommand();
  ASSERT_TRUE(shell.View().Charset().has_value());
  EXPECT_EQ(platform.StatusLine.back(), "Character set: 17 characters");
  EXPECT_EQ(platform.OpenDialogs.back().Filter, kCharsetFilter);
  shell.Checks().CheckCommand();
  EXPECT_EQ(Ids(), (std::vector<std::string>{"0:printf", "0:charset", "2:printf", "2:charset"}));

  platform.OpenResults.push_back(dir.File("missing.txt"));
  shell.Checks().LoadCharsetCommand();
  EXPECT_TRUE(shell.View().Charset().has_value()) << "a file that cannot be read keeps the set";
  EXPECT_EQ(platform.Boxes.back().Kind, BoxKind::Error);
  shell.Checks().ClearCharset();
  EXPECT_FALSE(shell.View().Charset().has_value());
}

TEST_F(WindowChecks, SaveBinListsTheErrorsAndAsksBeforeBuilding) {
  TempDir dir;
  const std::string bin = dir.File("OUT.BIN");
  platform.SaveResults.push_back(bin);
  platform.Answers.push_back(Answer::No);
  shell.Output().SaveBinFileCommand();
  ASSERT_FALSE(platform.Boxes.empty());
  const auto& question = platform.Boxes.back();
  EXPECT_EQ(question.ButtonSet, Buttons::YesNo);
  EXPECT_EQ(question.Text.rfind("2 error(s) may break the navigation unit:\n\nphrase 0: error: printf: ", 0), 0u)
      << question.Text;
  EXPECT_NE(question.Text.find("\nphrase 2: error: printf: "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(bin)) << "No: nothing written";

  platform.SaveResults.push_back(bin);
  platform.Answers.push_back(Answer::Yes);
  shell.Output().SaveBinFileCommand();
  EXPECT_TRUE(std::filesystem::exists(bin)) << "Yes: built over the errors";

  // Without errors nothing is asked.
  platform.OnEditForm = [](EditForm& f, int, int) {
    f.FormShow();
    return f.OkBtnClick("Version %s von %d");
  };
  ASSERT_TRUE(shell.View().Grid().SelectPhrase(0));
  shell.GridEvents().StringGridDblClick();
  platform.OnEditForm = [](EditForm& f, int, int) {
    f.FormShow();
    return f.OkBtnClick("Versteckt %d");
  };
  ASSERT_TRUE(shell.View().Grid().SelectPhrase(2));
  shell.GridEvents().StringGridDblClick();
  const size_t boxes = platform.Boxes.size();
  platform.SaveResults.push_back(dir.File("CLEAN.BIN"));
  shell.Output().SaveBinFileCommand();
  EXPECT_TRUE(std::filesystem::exists(dir.File("CLEAN.BIN")));
  for (size_t k = boxes; k < platform.Boxes.size(); ++k)
    EXPECT_EQ(platform.Boxes[k].Text.find("error(s) may break"), std::string::npos) << platform.Boxes[k].Text;
}

TEST_F(WindowChecks, SaveLoaderAsksBeforeBuildingToo) {
  TempDir dir;
  platform.SaveResults.push_back(dir.File("LOADING.KWI"));
  platform.Answers.push_back(Answer::No);
  shell.Output().SaveFileCommand();
  ASSERT_FALSE(platform.Boxes.empty());
  EXPECT_NE(platform.Boxes.back().Text.find("Build anyway?"), std::string::npos);
  EXPECT_EQ(std::count(platform.Status.begin(), platform.Status.end(), "dialog:source"), 0)
      << "No: the source is not even looked for";
}

}  // namespace
}  // namespace velmora::ui
