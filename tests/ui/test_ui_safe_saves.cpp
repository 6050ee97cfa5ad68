// The window with the real project files and locks: its save dialogs refuse
// the open project and the project's source loader, a project shown in
// another Velmora window is opened only when the user asks for it, a text
// the project cannot keep is refused with a message, and extraction that
// stopped at its record limit says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/UiTestSupport.h"
#include "analysis/ProjectCreation.h"
#include "project/file/ProjectLock.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;

// A window that shows p.vmprj, made from the demo LOADING.KWI beside it.
class SafeSaves : public ::testing::Test, protected testing::TestWindow {
 protected:
  SafeSaves() : TestWindow(Files::Real) {
    Start();
    WriteFile(loader, sample::MakeLoader(sample::DemoLoaderRecipe()));
    PhraseTable made;
    AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFE;
    CreateProjectFromLoader(made, loader, -1, 0, -1, options, nullptr);
    ShellController maker(made, platform, CoreProjectFiles());
    platform.SaveResults.push_back(project);
    EXPECT_TRUE(maker.ProjectFile().SaveProjectAsCommand());
    maker.FormClose();
    OpenProject(project);
    EXPECT_TRUE(platform.Boxes.empty()) << platform.Boxes[0].Text;
    EXPECT_TRUE(shell.Project().HasProjectFile());
    platform.Boxes.clear();
    platform.Status.clear();
  }
  ~SafeSaves() override { shell.FormClose(); }

  // The one error box since the last call, its text.
  std::string OnlyError() {
    EXPECT_EQ(platform.Boxes.size(), 1u);
    const std::string text = platform.Boxes.empty() ? "" : platform.Boxes[0].Text;
    if (!platform.Boxes.empty()) {
      EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
    }
    platform.Boxes.clear();
    return text;
  }

  TempDir dir;
  const std::string loader = dir.File("LOADING.KWI");
  const std::string project = dir.File("p.vmprj");
};

TEST_F(SafeSaves, OutputDialogsRefuseTheOpenProjectAndItsSourceLoader) {
  std::filesystem::create_hard_link(project, dir.File("hard.vmprj"));
  std::filesystem::create_symlink(loader, dir.File("link.KWI"));
  const auto projectBytes = ReadFile(project);
  const auto loaderBytes = ReadFile(loader);
  struct Case {
    const char* command;
    std::string output;
    std::string role;
  };
  const Case cases[] = {
      {"bin", project, "the open project"},          {"bin", dir.File("hard.vmprj"), "the open project"},
      {"bin", loader, "the project's source loader"}, {"loader", project, "the open project"},
      {"loader", dir.File("link.KWI"), "the project's source loader"},
      {"export", project, "the open project"},       {"export", loader, "the project's source loader"},
      {"project", loader, "the project's source loader"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " -> " + c.output);
    platform.SaveResults.push_back(c.output);
    const std::string command = c.command;
    if (command == "bin") shell.Output().SaveBinFileCommand();
    if (command == "loader") shell.Output().SaveFileCommand();
    if (command == "export") shell.Exchange().ExportCommand();
    if (command == "project") {
      EXPECT_FALSE(shell.ProjectFile().SaveProjectAsCommand());
    }
    const std::string error = OnlyError();
    EXPECT_EQ(error.rfind("Cannot create file \"" + c.output + "\". It is " + c.role + " (", 0), 0u) << error;
    EXPECT_EQ(ReadFile(project), projectBytes);
    EXPECT_EQ(ReadFile(loader), loaderBytes);
    EXPECT_TRUE(platform.Status.empty());
  }
  // Saving the project onto itself is a plain save.
  platform.SaveResults.push_back(project);
  EXPECT_TRUE(shell.ProjectFile().SaveProjectAsCommand());
  EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(SafeSaves, AProjectShownInAnotherWindowOpensOnlyWhenTheUserSaysSo) {
  const std::string other = dir.File("other.vmprj");
  std::filesystem::copy_file(project, other);
  const std::string title = shell.Project().WindowTitle();
  const size_t phrases = table.Phrases.size();
  {
    const TProjectWindowLock otherWindow(other);
    // No: everything stays as it was.
    platform.OpenResults.push_back(other);
    platform.Answers.push_back(Answer::No);
    shell.ProjectFile().OpenProjectCommand();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, AlreadyOpenQuestion(other));
    EXPECT_EQ(platform.Boxes[0].ButtonSet, Buttons::YesNo);
    EXPECT_EQ(shell.Project().Path(), project);
    EXPECT_EQ(shell.Project().WindowTitle(), title);
    EXPECT_EQ(table.Phrases.size(), phrases);
    EXPECT_TRUE(shell.Project().HasProjectFile());
    // Yes: it opens.
    platform.OpenResults.push_back(other);
    platform.Answers.push_back(Answer::Yes);
    shell.ProjectFile().OpenProjectCommand();
    EXPECT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(shell.Project().Path(), other);
  }
  // The window now holds the project: another window would be asked...
  EXPECT_TRUE(TProjectWindowLock::IsHeld(other));
  EXPECT_FALSE(TProjectWindowLock::IsHeld(project));
  // ...but reopening it here asks nothing.
  platform.Boxes.clear();
  platform.OpenResults.push_back(other);
  shell.ProjectFile().OpenProjectCommand();
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_EQ(shell.Project().Path(), other);
  // Closing the window lets it go.
  shell.FormClose();
  EXPECT_FALSE(TProjectWindowLock::IsHeld(other));
}

TEST_F(SafeSaves, ATextTheProjectCannotKeepIsRefusedWithAMessage) {
  const std::string huge(kMaxEditedTextLength + 1, 'x');
  platform.OnEditForm = [&](EditForm& f, int, int) {
    f.FormShow();
    const bool ok = f.OkBtnClick(huge);
    f.FormClose();
    return ok;
  };
  shell.GridEvents().GridSelectCell(1);
  const int32_t phrase = shell.View().Grid().PhraseOfRow(1);
  shell.GridEvents().StringGridDblClick();
  EXPECT_EQ(OnlyError(), "The edited text of phrase " + std::to_string(phrase) +
                             " is 65536 bytes long; a project keeps at most 65535 bytes per text.");
  EXPECT_EQ(table.Phrases[static_cast<size_t>(phrase)].EditIndex, -1);
  EXPECT_FALSE(shell.Project().Modified());
}

TEST_F(SafeSaves, ExtractionThatStoppedAtItsRecordLimitSaysSo) {
  const std::string big = dir.File("BIG.BIN");
  WriteFile(big, sample::MakeBenchUnit(size_t{1} << 20, 31000, 3).bytes);
  platform.OnNewProjectForm = [](NewProjectForm& f) { return f.StartBtnClick(); };
  platform.OpenResults.push_back(big);
  shell.Creation().OpenBinFileCommand();
  EXPECT_EQ(table.Phrases.size(), kMaxPhraseRecords + 1);
  const auto& s = platform.Status;
  const auto stop = std::find(s.begin(), s.end(), "show:" + std::string(kRecordLimitText));
  ASSERT_NE(stop, s.end()) << ::testing::PrintToString(s);
  EXPECT_NE(std::find(stop, s.end(), "hide-later"), s.end());
}

// A save whose folder could not be synced afterwards (the file is written,
// but may not survive a power cut) is a warning in the status line of the
// window that lives; a window that goes hands the notice back.
TEST_F(SafeSaves, AFolderThatCouldNotBeSyncedIsAWarningInTheStatusLine) {
  const std::string note = FolderSyncNote(dir.File("a.vmprj"), "Input/output error");
  {
    TestWindow other;
    const FolderSyncNotice notice = SetFolderSyncNotice(nullptr);
    notice(note);
    SetFolderSyncNotice(notice);
    EXPECT_EQ(other.platform.StatusNotes, std::vector<std::string>{"Warning: " + note});
  }
  const FolderSyncNotice notice = SetFolderSyncNotice(nullptr);
  notice(note);
  SetFolderSyncNotice(notice);
  EXPECT_EQ(platform.StatusNotes, std::vector<std::string>{"Warning: " + note});
}

}  // namespace
}  // namespace velmora::ui
