// A window and velmora-cli on one project: the window's save and its
// activation take what the command line changed meanwhile, phrase by
// phrase, and ask about phrases both changed; a project file that is gone
// or no longer a project is said and Save As offered.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/UiTestSupport.h"
#include "project/file/PhraseEdits.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using velmora::test::RunCli;
using velmora::test::TempDir;
using velmora::test::WriteFile;

class DiskMergeTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  DiskMergeTest() : TestWindow(Files::Real) {
    WriteFile(dir.File("APM.BIN"), sample::MakeDemoApmUnit());
    const auto r = RunCli({"new", dir.File("APM.BIN"), "-o", project});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Start();
    OpenProject(project);
    EXPECT_TRUE(platform.Boxes.empty());
    for (size_t i = 0; i < table.Phrases.size() && free.size() < 3; ++i)
      if (!(table.Phrases[i].Flags & pfLink)) free.push_back(i);
    EXPECT_EQ(free.size(), 3u);
  }
  ~DiskMergeTest() override { shell.FormClose(); }

  // The window gives phrase i a text, as the editor's OK does.
  void WindowTranslates(size_t i, const std::string& text) {
    shell.Undo().RunAsUndoStep("Edit", [&] { ApplyEditedText(table, i, text); });
  }
  void CliTranslates(size_t i, const std::string& text) {
    const auto r = RunCli({"translate", project, std::to_string(i), text});
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  // The edited text of phrase i in the project file ("-" when none).
  std::string OnDisk(size_t i) {
    PhraseTable t;
    OpenProject(t, project);
    return t.HasEditedText(t.Phrases[i]) ? std::string(t.EditedText(t.Phrases[i])) : "-";
  }
  std::string InWindow(size_t i) {
    return table.HasEditedText(table.Phrases[i]) ? std::string(table.EditedText(table.Phrases[i])) : "-";
  }
  using TestWindow::OpenProject;
  static void OpenProject(PhraseTable& t, const std::string& path) { velmora::OpenProject(t, path); }

  TempDir dir;
  const std::string project = dir.File("p.vmprj");
  std::vector<size_t> free;
};

TEST_F(DiskMergeTest, ASaveKeepsTheCommandLinesChangesAndItsOwn) {
  WindowTranslates(free[0], "Mine");
  CliTranslates(free[1], "Theirs");
  const auto hide = RunCli({"set", project, "--hide", std::to_string(free[2])});
  ASSERT_EQ(hide.exitCode, 0) << hide.err;

  ASSERT_TRUE(shell.ProjectFile().SaveProjectCommand());
  EXPECT_TRUE(platform.Conflicts.empty()) << "no question without a conflict";
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_EQ(OnDisk(free[0]), "Mine");
  EXPECT_EQ(OnDisk(free[1]), "Theirs");
  PhraseTable t;
  OpenProject(t, project);
  EXPECT_TRUE(t.Phrases[free[2]].Flags & pfHide);
  EXPECT_TRUE(t.Phrases[free[1]].Flags & pfOn);
  ASSERT_FALSE(platform.StatusLine.empty());
  EXPECT_EQ(platform.StatusLine.back(), "2 change(s) taken from disk");
  EXPECT_FALSE(shell.Project().Modified());

  // The merge is one step: undone, both disk changes leave the window.
  shell.Undo().UndoCommand();
  EXPECT_EQ(InWindow(free[1]), "-");
  EXPECT_FALSE(table.Phrases[free[2]].Flags & pfHide);
  EXPECT_EQ(InWindow(free[0]), "Mine");
  EXPECT_TRUE(shell.Project().Modified());
}

TEST_F(DiskMergeTest, APhraseChangedOnBothSidesIsAskedAbout) {
  WindowTranslates(free[0], "Mine");
  WindowTranslates(free[1], "Also mine");
  CliTranslates(free[0], "Theirs");
  CliTranslates(free[1], "Also theirs");

  // Cancelled: nothing is written, the window keeps its versions.
  EXPECT_FALSE(shell.ProjectFile().SaveProjectCommand());
  ASSERT_EQ(platform.Conflicts.size(), 1u);
  ASSERT_EQ(platform.Conflicts[0].size(), 2u);
  const ConflictRow& row = platform.Conflicts[0][0];
  EXPECT_EQ(row.Index, static_cast<int32_t>(free[0]));
  EXPECT_EQ(row.Origin, shell.View().DisplayText(table.OriginText(table.Phrases[free[0]])));
  EXPECT_EQ(row.Mine, "Mine  [ON]");
  EXPECT_EQ(row.Theirs, "Theirs  [ON]");
  EXPECT_EQ(OnDisk(free[0]), "Theirs");
  EXPECT_EQ(InWindow(free[0]), "Mine");
  EXPECT_TRUE(shell.Project().Modified());

  // Take theirs for the first, keep mine for the second.
  platform.ConflictAnswers.push_back(std::vector<bool>{true, false});
  ASSERT_TRUE(shell.ProjectFile().SaveProjectCommand());
  EXPECT_EQ(OnDisk(free[0]), "Theirs");
  EXPECT_EQ(OnDisk(free[1]), "Also mine");
  EXPECT_EQ(InWindow(free[0]), "Theirs");
  EXPECT_EQ(platform.StatusLine.back(), "1 change(s) taken from disk");
}

TEST_F(DiskMergeTest, ActivationTakesTheChangesOfAWindowWithoutItsOwn) {
  CliTranslates(free[1], "Theirs");
  shell.ProjectFile().WindowActivated();
  EXPECT_EQ(InWindow(free[1]), "Theirs");
  EXPECT_FALSE(shell.Project().Modified()) << "the window shows what the file holds";
  EXPECT_EQ(platform.StatusLine.back(), "1 change(s) taken from disk");
  // Nothing new: nothing happens.
  platform.StatusLine.clear();
  shell.ProjectFile().WindowActivated();
  EXPECT_TRUE(platform.StatusLine.empty());
  // A later save of the window's own change keeps the taken one.
  WindowTranslates(free[0], "Mine");
  ASSERT_TRUE(shell.ProjectFile().SaveProjectCommand());
  EXPECT_EQ(OnDisk(free[0]), "Mine");
  EXPECT_EQ(OnDisk(free[1]), "Theirs");
}

TEST_F(DiskMergeTest, AFileThatIsGoneOrNoLongerAProjectIsSaidAndSaveAsOffered) {
  WindowTranslates(free[0], "Mine");
  std::filesystem::remove(project);
  platform.Answers.push_back(Answer::No);
  EXPECT_FALSE(shell.ProjectFile().SaveProjectCommand());
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "The project file \"" + project + "\" is gone.\nSave the project under another name?");
  EXPECT_FALSE(std::filesystem::exists(project));

  WriteFile(project, std::string("not a project"));
  platform.Boxes.clear();
  const std::string other = dir.File("other.vmprj");
  platform.Answers.push_back(Answer::Yes);
  platform.SaveResults.push_back(other);
  EXPECT_TRUE(shell.ProjectFile().SaveProjectCommand());
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_NE(platform.Boxes[0].Text.find("is no longer this project"), std::string::npos) << platform.Boxes[0].Text;
  PhraseTable t;
  OpenProject(t, other);
  EXPECT_EQ(std::string(t.EditedText(t.Phrases[free[0]])), "Mine");
  EXPECT_EQ(test::ReadFile(project).size(), 13u) << "the foreign file is left alone";
}

}  // namespace
}  // namespace velmora::ui
