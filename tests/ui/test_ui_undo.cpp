// Undo and redo: the stack on its own (texts kept by content, the clean
// position, its limit) and through the window's commands (every kind of
// change, the saved state, a whole command as one step, a new project).
#include <gtest/gtest.h>

#include "support/UiTestSupport.h"
#include "project/file/PhraseEdits.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/state/UndoStack.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;

// What a user can see of a phrase table: each phrase's flags and the
// content of its edited text (not the text's position).
struct Seen {
  std::vector<uint16_t> flags;
  std::vector<std::optional<std::string>> texts;
  bool operator==(const Seen&) const = default;
};

Seen SeenOf(const PhraseTable& t) {
  Seen s;
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    s.flags.push_back(t.Phrases[i].Flags);
    s.texts.push_back(StateOf(t, i).Text);
  }
  return s;
}

void PrintTo(const Seen& s, std::ostream* os) {
  for (size_t i = 0; i < s.flags.size(); ++i)
    *os << "\n  " << i << ": flags " << s.flags[i] << " text " << (s.texts[i] ? "\"" + *s.texts[i] + "\"" : "none");
}

// 0 plain, 1 hidden, 2 edited + ON, 3 edited, 4 link to 2.
void FillSmall(PhraseTable& t) {
  TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menue").Add("Map", 0, "Karte").AddLink(2).Fill(t);
}

// The unreferenced entries dropped and every EditIndex renumbered, as a
// full list of edited texts is compacted.
void Compact(PhraseTable& t) {
  std::vector<std::string> kept;
  for (TPhrase& p : t.Phrases) {
    if (!t.HasEditedText(p)) continue;
    kept.push_back(t.EditedTexts[static_cast<size_t>(p.EditIndex)]);
    p.EditIndex = static_cast<int16_t>(kept.size() - 1);
  }
  t.EditedTexts = std::move(kept);
}

// ------------------------------------------------------------ the stack

TEST(UndoStack, StepPutsRecordsAndTextsBackAndForth) {
  PhraseTable t;
  FillSmall(t);
  const PhraseTable original = t;
  const PhraseSnapshot before(t);
  // A command that touches several phrases in several ways.
  ASSERT_TRUE(ToggleHide(t, 1));
  ApplyEditedText(t, 0, "Strecke");
  ApplyEditedText(t, 2, "");
  ApplyEditedText(t, 3, "Landkarte");
  t.EditedTexts[static_cast<size_t>(t.Phrases[3].EditIndex)] += "\nzwei";  // an import's continuation line
  const Seen after = SeenOf(t);
  auto step = before.Step(t, "several");
  ASSERT_TRUE(step);
  ASSERT_EQ(step->Changes.size(), 4u);
  EXPECT_EQ(step->Changes[0].Index, 0);
  EXPECT_EQ(step->Changes[3].Index, 3);

  UndoStack stack;
  stack.Push(std::move(*step));
  ASSERT_NE(stack.Undo(t), nullptr);
  // The appended entries are taken off again: the table is as it was,
  // byte for byte, as the saved project file holds it.
  EXPECT_EQ(t.EditedTexts, original.EditedTexts);
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    EXPECT_EQ(t.Phrases[i].Flags, original.Phrases[i].Flags) << i;
    EXPECT_EQ(t.Phrases[i].EditIndex, original.Phrases[i].EditIndex) << i;
  }
  ASSERT_NE(stack.Redo(t), nullptr);
  EXPECT_EQ(SeenOf(t), after);
  EXPECT_EQ(stack.Redo(t), nullptr) << "nothing more to redo";
}

TEST(UndoStack, TextsComeBackByContentAfterTheListWasRenumbered) {
  PhraseTable t;
  FillSmall(t);
  const Seen original = SeenOf(t);
  UndoStack stack;

  PhraseSnapshot first(t, {2});
  ApplyEditedText(t, 2, "Hauptmenue");
  stack.Push(*first.Step(t, "one"));
  PhraseSnapshot second(t, {3});
  ApplyEditedText(t, 3, "Landkarte");
  stack.Push(*second.Step(t, "two"));
  const Seen edited = SeenOf(t);

  // Between the steps the list loses its unreferenced entries: every
  // position recorded above is stale now.
  Compact(t);
  ASSERT_EQ(t.EditedTexts.size(), 2u);
  stack.Undo(t);
  stack.Undo(t);
  EXPECT_EQ(SeenOf(t), original);
  Compact(t);
  stack.Redo(t);
  stack.Redo(t);
  EXPECT_EQ(SeenOf(t), edited);
}

TEST(UndoStack, CleanPositionFollowsSaveUndoAndNewSteps) {
  PhraseTable t;
  FillSmall(t);
  UndoStack stack;
  auto toggle = [&](size_t i) {
    PhraseSnapshot s(t, {static_cast<int32_t>(i)});
    ToggleHide(t, i);
    stack.Push(*s.Step(t, "toggle"));
  };
  EXPECT_TRUE(stack.IsClean());
  toggle(0);
  toggle(1);
  EXPECT_FALSE(stack.IsClean());
  stack.MarkClean();  // saved after two steps
  stack.Undo(t);
  EXPECT_FALSE(stack.IsClean());
  stack.Redo(t);
  EXPECT_TRUE(stack.IsClean()) << "redo back to the saved state";
  stack.Undo(t);
  stack.Undo(t);
  EXPECT_FALSE(stack.IsClean());
  toggle(0);  // a new step drops the redo steps, the saved state among them
  EXPECT_FALSE(stack.CanRedo());
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(stack.IsClean());
    stack.Undo(t);
  }
  stack.Clear();
  EXPECT_TRUE(stack.IsClean());
  EXPECT_FALSE(stack.CanUndo());
}

TEST(UndoStack, EmptyStepsAndReplacedTablesRecordNothing) {
  PhraseTable t;
  FillSmall(t);
  UndoStack stack;
  const PhraseSnapshot untouched(t);
  stack.Push(*untouched.Step(t, "nothing"));
  EXPECT_FALSE(stack.CanUndo());

  // A text replaced by an equal one is no change, though an entry was added.
  const PhraseSnapshot same(t, {2});
  ApplyEditedText(t, 2, "Menue");
  EXPECT_TRUE(same.Step(t, "same")->Changes.empty());

  // Another project with another number of phrases: no step applies.
  const PhraseSnapshot replaced(t);
  TableBuilder().Add("other").Fill(t);
  EXPECT_FALSE(replaced.Step(t, "replaced").has_value());
}

TEST(UndoStack, OldestStepGoesBeyondTheLimit) {
  PhraseTable t;
  FillSmall(t);
  UndoStack stack;
  for (size_t n = 0; n <= UndoStack::kMaxSteps; ++n) {
    PhraseSnapshot s(t, {0});
    ToggleHide(t, 0);
    stack.Push(*s.Step(t, "step " + std::to_string(n)));
  }
  EXPECT_EQ(stack.Count(), UndoStack::kMaxSteps);
  while (stack.CanUndo()) stack.Undo(t);
  EXPECT_FALSE(stack.IsClean()) << "the state before the dropped step cannot be reached";
  EXPECT_TRUE(t.Phrases[0].Flags & pfHide) << "one toggle is beyond reach";
}

// ------------------------------------------------------------ through the window

class UndoTest : public ::testing::Test, public testing::TestWindow {
 public:
  UndoTest() {
    EveryProjectHolds(FillSmall);
    Start();
    OpenProject("/p/a.vmprj");
  }

  // The editor confirms `text` for the selected row.
  void EditSelected(const std::string& text) {
    platform.OnEditForm = [text](EditForm& f, int, int) {
      f.FormShow();
      f.Memo1Change(text, {text});
      return f.OkBtnClick(text);
    };
    shell.GridEvents().StringGridDblClick();
  }
};

struct ChangeCase {
  const char* name;
  std::string label;  // the step's name in the status line (the window is Russian)
  std::function<void(UndoTest&)> change;
};

class EveryChangeTest : public UndoTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(EveryChangeTest, UndoesAndRedoesAsOneStep) {
  const ChangeCase& c = GetParam();
  const Seen before = SeenOf(table);
  c.change(*this);
  const Seen after = SeenOf(table);
  ASSERT_NE(after, before) << "the change changed something";
  ASSERT_TRUE(shell.Project().Modified());
  EXPECT_EQ(shell.Project().History().Count(), 1u);
  EXPECT_TRUE(shell.Project().Commands().Undo);
  EXPECT_FALSE(shell.Project().Commands().Redo);

  shell.Undo().UndoCommand();
  EXPECT_EQ(SeenOf(table), before);
  EXPECT_FALSE(shell.Project().Modified()) << "back at the state the project was opened in";
  EXPECT_FALSE(shell.Project().Commands().SaveProject);
  EXPECT_EQ(platform.StatusLine.back(), "Отменено: " + c.label);
  EXPECT_FALSE(shell.Project().Commands().Undo);
  EXPECT_TRUE(shell.Project().Commands().Redo);

  shell.Undo().RedoCommand();
  EXPECT_EQ(SeenOf(table), after);
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_TRUE(shell.Project().Commands().SaveProject);
  EXPECT_EQ(platform.StatusLine.back(), "Повторено: " + c.label);
}

INSTANTIATE_TEST_SUITE_P(
    Window, EveryChangeTest,
    ::testing::Values(
        ChangeCase{"HideClick", "переключён HIDE", [](UndoTest& u) { u.shell.GridEvents().GridMouseDown(kColHide, 1); }},
        ChangeCase{"OnClick", "переключён ON", [](UndoTest& u) { u.shell.GridEvents().GridMouseDown(kColOn, 3); }},
        ChangeCase{"CtrlH", "переключён HIDE",
                   [](UndoTest& u) {
                     u.shell.GridEvents().GridSelectCell(2);
                     u.shell.GridEvents().ToggleHideCommand();
                   }},
        ChangeCase{"Space", "переключён ON",
                   [](UndoTest& u) {
                     u.shell.GridEvents().GridSelectCell(4);
                     u.shell.GridEvents().ToggleOnCommand();
                   }},
        ChangeCase{"NewText", "правка перевода",
                   [](UndoTest& u) {
                     u.shell.GridEvents().GridSelectCell(2);  // hidden: OK also clears HIDE and sets ON
                     u.EditSelected("Versteckt");
                   }},
        ChangeCase{"ReplacedText", "правка перевода",
                   [](UndoTest& u) {
                     u.shell.GridEvents().GridSelectCell(4);
                     u.EditSelected("Landkarte");
                   }},
        ChangeCase{"TextTakenAway", "правка перевода",
                   [](UndoTest& u) {
                     u.shell.GridEvents().GridSelectCell(3);
                     u.EditSelected("");
                   }},
        ChangeCase{"Import", "импорт из файла фраз",
                   [](UndoTest& u) {
                     velmora::test::TempDir dir;
                     const std::string path = dir.File("in.txt");
                     velmora::test::WriteFile(path, std::string("0 = Strecke\r\n3 = Landkarte\r\nzweite\r\n"));
                     u.platform.OpenResults.push_back(path);
                     u.shell.Exchange().ImportCommand();
                   }}),
    [](const ::testing::TestParamInfo<ChangeCase>& p) { return std::string(p.param.name); });

TEST_F(UndoTest, TheStatusLineSpeaksTheLanguageOfTheMomentNotOfTheStep) {
  shell.GridEvents().GridMouseDown(kColHide, 1);  // recorded while the window is Russian
  shell.GridEvents().GridMouseDown(kColOn, 3);
  shell.ViewChoices().EngMenuItemClick();
  shell.Undo().UndoCommand();
  EXPECT_EQ(platform.StatusLine.back(), "Undone: ON switched");
  shell.ViewChoices().RusMenuItemClick();
  shell.Undo().UndoCommand();
  EXPECT_EQ(platform.StatusLine.back(), "Отменено: переключён HIDE");
  shell.ViewChoices().EngMenuItemClick();
  shell.Undo().RedoCommand();
  EXPECT_EQ(platform.StatusLine.back(), "Redone: HIDE switched");
  // A step the window does not name itself keeps its own name.
  shell.Undo().RunAsUndoStep("Renumbered", [&] { ToggleHide(table, 1); });
  shell.Undo().UndoCommand();
  EXPECT_EQ(platform.StatusLine.back(), "Undone: Renumbered");
}

TEST_F(UndoTest, SaveMovesTheCleanPoint) {
  shell.GridEvents().GridMouseDown(kColHide, 1);
  ASSERT_TRUE(shell.ProjectFile().SaveProjectCommand());
  shell.GridEvents().GridMouseDown(kColHide, 2);
  EXPECT_TRUE(shell.Project().Commands().SaveProject);

  shell.Undo().UndoCommand();
  EXPECT_FALSE(shell.Project().Modified()) << "back at the saved state";
  EXPECT_FALSE(shell.Project().Commands().SaveProject);
  EXPECT_TRUE(shell.FormCloseQuery()) << "closing asks nothing";
  shell.Undo().UndoCommand();
  EXPECT_TRUE(shell.Project().Modified()) << "before the saved state";
  EXPECT_TRUE(shell.Project().Commands().SaveProject);
  shell.Undo().RedoCommand();
  EXPECT_FALSE(shell.Project().Modified());
  EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(UndoTest, UndoSelectsTheChangedPhraseAndRefills) {
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  shell.GridEvents().GridSelectCell(1);  // phrase 2
  EditSelected("");         // its text taken away; the row stays until a refill
  ASSERT_EQ(shell.View().Grid().RowCount(), 3);
  shell.GridEvents().GridSelectCell(2);  // phrase 3
  shell.Undo().UndoCommand();
  EXPECT_EQ(shell.View().Grid().VisibleRows(), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 1);
  EXPECT_EQ(shell.View().Grid().Memo2(), "Menue");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (2)");
}

TEST_F(UndoTest, NothingToUndoOrRedoBeeps) {
  shell.Undo().UndoCommand();
  shell.Undo().RedoCommand();
  EXPECT_EQ(platform.Beeps, 2);
  EXPECT_FALSE(shell.Project().Modified());
}

TEST_F(UndoTest, AWholeCommandIsOneStepAndNestedCallsJoinIt) {
  const Seen before = SeenOf(table);
  const bool recorded = shell.Undo().RunAsUndoStep("Take translations", [&] {
    ApplyEditedText(table, 0, "Strecke");
    ToggleHide(table, 1);
    // A command that wraps itself joins the step around it.
    EXPECT_FALSE(shell.Undo().RunAsUndoStep("inner", [&] { ApplyEditedText(table, 3, "Landkarte"); }));
    shell.GridEvents().GridMouseDown(kColOn, 3);  // a click inside the command as well
  });
  EXPECT_TRUE(recorded);
  EXPECT_EQ(shell.Project().History().Count(), 1u);
  EXPECT_EQ(shell.Project().History().UndoLabel(), "Take translations");
  EXPECT_TRUE(shell.Project().Modified());
  shell.Undo().UndoCommand();
  EXPECT_EQ(SeenOf(table), before);
  EXPECT_FALSE(shell.Project().Modified());

  // A command that changes nothing leaves no step.
  EXPECT_FALSE(shell.Undo().RunAsUndoStep("nothing", [] {}));
  EXPECT_TRUE(shell.Project().Commands().Redo) << "the redo step survives an empty command";
}

TEST_F(UndoTest, ACommandThatFailsHalfwayKeepsWhatItDidUndoable) {
  const Seen before = SeenOf(table);
  EXPECT_THROW(shell.Undo().RunAsUndoStep("failing",
                                   [&] {
                                     ApplyEditedText(table, 0, "Strecke");
                                     throw std::runtime_error("Stream read error");
                                   }),
               std::runtime_error);
  EXPECT_TRUE(shell.Project().Modified());
  ASSERT_TRUE(shell.Project().Commands().Undo);
  shell.Undo().UndoCommand();
  EXPECT_EQ(SeenOf(table), before);
}

TEST_F(UndoTest, AnotherProjectEmptiesTheStack) {
  shell.GridEvents().GridMouseDown(kColHide, 1);
  ASSERT_TRUE(shell.Project().Commands().Undo);
  platform.Answers.push_back(Answer::No);  // discard the change
  platform.OpenResults.push_back("/p/b.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  EXPECT_FALSE(shell.Project().Commands().Undo);
  EXPECT_FALSE(shell.Project().History().CanUndo());
  shell.Undo().UndoCommand();
  EXPECT_EQ(platform.Beeps, 1);
}

}  // namespace
}  // namespace velmora::ui
