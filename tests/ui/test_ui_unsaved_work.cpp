// No work is lost: every command that closes or replaces the open project
// asks first when it has unsaved changes, and acts on the answer; after a
// failure or a declined question the window shows the state it is in.
#include <gtest/gtest.h>

#include "support/UiTestSupport.h"
#include "container/io/StreamErrors.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;

enum class Command { OpenProject, OpenLoader, OpenBin, Close };

struct AnswerCase {
  const char* name;
  bool modified;        // the project has an unsaved change
  bool hasFile;         // it was opened from a project file
  Answer answer;
  bool saveFails;       // the save raises
  bool saveAsCancelled; // the Save As dialog is cancelled
  bool goesOn;          // the command goes on
  bool saved;           // the project was written
};

const AnswerCase kAnswers[] = {
    {"Unchanged", false, true, Answer::Cancel, false, false, true, false},
    {"FileYes", true, true, Answer::Yes, false, false, true, true},
    {"FileYesSaveFails", true, true, Answer::Yes, true, false, false, false},
    {"FileNo", true, true, Answer::No, false, false, true, false},
    {"FileCancel", true, true, Answer::Cancel, false, false, false, false},
    {"NewYes", true, false, Answer::Yes, false, false, true, true},
    {"NewYesSaveAsCancelled", true, false, Answer::Yes, false, true, false, false},
    {"NewNo", true, false, Answer::No, false, false, true, false},
    {"NewCancel", true, false, Answer::Cancel, false, false, false, false},
    // A project that never had a file is unsaved work even without changes.
    {"NewUnchangedNo", false, false, Answer::No, false, false, true, false},
    {"NewUnchangedCancel", false, false, Answer::Cancel, false, false, false, false},
    {"NewUnchangedYes", false, false, Answer::Yes, false, false, true, true},
};

// The question names what is unsaved and what comes next.
std::string ExpectedQuestion(Command command, const AnswerCase& c) {
  if (command == Command::Close && c.modified)
    return std::string(CaptionText(c.hasFile ? CaptionId::SaveChangesPrompt : CaptionId::SaveProjectPrompt,
                                   UiLanguage::Russian));
  const std::string what = !c.modified ? "Проект ещё не был сохранён."
                           : c.hasFile ? "Последние изменения не были сохранены."
                                       : "В проект были внесены изменения.";
  std::string next;
  switch (command) {
    case Command::Close: next = "Сохранить проект перед выходом?"; break;
    case Command::OpenProject:
      next = c.hasFile ? "Сохранить изменения перед открытием другого проекта?" : "Сохранить проект перед открытием другого?";
      break;
    case Command::OpenLoader:
    case Command::OpenBin:
      next = c.hasFile ? "Сохранить изменения перед созданием нового проекта?" : "Сохранить проект перед созданием нового?";
      break;
  }
  return what + "\n\r" + next;
}

// The earlier project, with a file.
void FillOld(PhraseTable& t) { TableBuilder().Add("Route").Add("Menu", pfOn, "Menue").Names("OLD", "T0").Fill(t); }

class UnsavedWorkTest : public ::testing::TestWithParam<std::tuple<Command, AnswerCase>>,
                        protected testing::TestWindow {
 protected:
  UnsavedWorkTest() {
    EveryProjectHolds(FillOld);
    Start();
  }
};

TEST_P(UnsavedWorkTest, AsksAndActsOnTheAnswer) {
  const auto& [command, c] = GetParam();
  platform.OpenResults.push_back("/p/old.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  if (!c.hasFile) {
    // A project made from a unit, never saved.
    shell.FormClose();
    TableBuilder().Add("Route").Add("Menu", pfOn, "Menue").Names("NEW", "T1").Fill(table);
    shell.ViewChoices().FilterBtnClick(GridFilter::NoFilter);
  }
  if (c.modified) shell.GridEvents().GridMouseDown(kColHide, 1);
  ASSERT_EQ(shell.Project().Modified(), c.modified);
  const std::vector<uint16_t> flagsBefore = {table.Phrases[0].Flags, table.Phrases[1].Flags};
  platform.OpenDialogs.clear();
  platform.Answers.push_back(c.answer);
  if (c.saveFails) files.OnSave = [](PhraseTable&, const std::string& p) { throw EFCreateError(p, "Permission denied"); };
  if (!c.saveAsCancelled) platform.SaveResults.push_back("/p/saved.vmprj");
  // The commands' own file dialogs are cancelled: only whether they opened counts.

  bool wentOn = false;
  switch (command) {
    case Command::OpenProject:
      shell.ProjectFile().OpenProjectCommand();
      wentOn = !platform.OpenDialogs.empty();
      break;
    case Command::OpenLoader:
      shell.Creation().OpenFileCommand();
      wentOn = !platform.OpenDialogs.empty();
      break;
    case Command::OpenBin:
      shell.Creation().OpenBinFileCommand();
      wentOn = !platform.OpenDialogs.empty();
      break;
    case Command::Close:
      wentOn = shell.FormCloseQuery();
      break;
  }
  EXPECT_EQ(wentOn, c.goesOn);
  EXPECT_EQ(!files.Saved.empty(), c.saved);

  if (!c.modified && c.hasFile) {
    EXPECT_TRUE(platform.Boxes.empty()) << "nothing to ask about";
    return;
  }
  ASSERT_FALSE(platform.Boxes.empty());
  const Buttons buttons = platform.Boxes[0].ButtonSet;
  EXPECT_EQ(buttons, Buttons::YesNoCancel);
  EXPECT_EQ(platform.Boxes[0].Text, ExpectedQuestion(command, c));
  if (c.saved) {
    EXPECT_EQ(files.Saved[0], c.hasFile ? "/p/old.vmprj" : "/p/saved.vmprj");
  }
  // Whatever the answer, the phrases are as they were: nothing was thrown
  // away by the question itself.
  EXPECT_EQ(table.Phrases[0].Flags, flagsBefore[0]);
  EXPECT_EQ(table.Phrases[1].Flags, flagsBefore[1]);
  EXPECT_EQ(shell.Project().Modified(), c.modified && !c.saved);
}

using UnsavedParam = std::tuple<Command, AnswerCase>;

std::string UnsavedCaseName(const ::testing::TestParamInfo<UnsavedParam>& p) {
  static const char* const kCommands[] = {"OpenProject", "OpenLoader", "OpenBin", "Close"};
  return std::string(kCommands[static_cast<int>(std::get<0>(p.param))]) + "_" + std::get<1>(p.param).name;
}

INSTANTIATE_TEST_SUITE_P(Window, UnsavedWorkTest,
                         ::testing::Combine(::testing::Values(Command::OpenProject, Command::OpenLoader,
                                                              Command::OpenBin, Command::Close),
                                            ::testing::ValuesIn(kAnswers)),
                         UnsavedCaseName);

// ------------------------------------------------------------ the state shown

class ShownStateTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  ShownStateTest() {
    EveryProjectHolds(FillOld);
    Start();
    OpenProject("/p/old.vmprj");
  }
};

TEST_F(ShownStateTest, AReaderThatStopsHalfwayLeavesTheOpenProject) {
  files.OnOpen = [](PhraseTable& t, const std::string&) {
    TableBuilder().Add("half").Add("read").Fill(t);
    throw EReadError();
  };
  platform.OpenResults.push_back("/p/broken.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "Stream read error");
  // Nothing of the half-read file reaches the window.
  ASSERT_EQ(table.Phrases.size(), 2u);
  EXPECT_EQ(table.OriginText(table.Phrases[0]), "Route");
  EXPECT_EQ(shell.View().Grid().RowCount(), 3);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/old.vmprj  [OLD_T0]");
  EXPECT_EQ(shell.Project().Path(), "/p/old.vmprj");
}

TEST_F(ShownStateTest, AFailedSaveAsKeepsTheTitleOfTheRealFile) {
  shell.GridEvents().GridMouseDown(kColHide, 1);
  files.OnSave = [](PhraseTable&, const std::string& p) { throw EFCreateError(p, "Read-only file system"); };
  platform.SaveResults.push_back("/ro/new.vmprj");
  EXPECT_FALSE(shell.ProjectFile().SaveProjectAsCommand());
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/old.vmprj  [OLD_T0]");
  EXPECT_EQ(shell.Project().Path(), "/p/old.vmprj");

  // Once a save works, the title follows it.
  files.OnSave = nullptr;
  platform.SaveResults.push_back("/p/new.vmprj");
  EXPECT_TRUE(shell.ProjectFile().SaveProjectAsCommand());
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/new.vmprj  [OLD_T0]");
}

TEST_F(ShownStateTest, DialogsOpenBesideTheProjectOrItsSource) {
  EXPECT_EQ(shell.Dialogs().Files.Folder(), "/p");
  // With no project open, the folder of the file chosen last.
  shell.FormClose();
  platform.OpenResults.push_back("/data/texts/in.txt");
  shell.Exchange().ImportCommand();  // no project: nothing to import into, but a file was chosen
  EXPECT_EQ(shell.Dialogs().Files.Folder(), "/data/texts");
  // A project made from a loader: the loader's folder.
  TableBuilder().Add("x").Fill(table);
  table.SourcePath = "/disc/LOADING.KWI";
  EXPECT_EQ(shell.Dialogs().Files.Folder(), "/disc");
}

}  // namespace
}  // namespace velmora::ui
