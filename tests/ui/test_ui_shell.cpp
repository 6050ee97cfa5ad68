// The main window's logic driven headlessly: start-up, captions of both
// languages, command enabling, MarkModified, the close questions, the code
// page menu, the command line, and the project-file commands with their
// dialogs, title and error boxes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/UiTestSupport.h"
#include "container/io/StreamErrors.h"
#include "support/TestSupport.h"
#include "ui/logic/startup/CommandLine.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/startup/StartupOptions.h"
#include "velmora/Version.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;
using velmora::test::TempDir;
using velmora::test::WriteFile;

const char* const kRuOrigin = "      Оригинальный текст";
const char* const kRuEdited = "      Редактированнный текст";

class ShellTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  ShellTest() {
    // Opening any path loads this project: 0 plain, 1 hidden, 2 edited+ON, 3 link.
    EveryProjectHolds([](PhraseTable& t) {
      TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menü").AddLink(0).Names("APM", "T1").Fill(t);
    });
    shell.Window().OnChanged = [this](unsigned what) { changes |= what; };
  }

  void StartWithProject(const std::string& path = "/p/one.vmprj") {
    Start();
    OpenProject(path);
  }

  unsigned changes = 0;
};

TEST_F(ShellTest, CreatedWindowHasEmptyHeadersAndNoCaptionsYet) {
  shell.FormCreate();
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], " (0)");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], " (0)");
  EXPECT_EQ(shell.View().Caption(CaptionId::FileToolButtonCaption), "");
  EXPECT_EQ(shell.View().Grid().MemoColour(), MemoBackground::ButtonFace);
}

TEST_F(ShellTest, StartsInRussianWithEverySaveCommandDisabled) {
  Start();
  EXPECT_EQ(shell.View().Language(), UiLanguage::Russian);
  for (const CaptionRow& row : CaptionRows()) EXPECT_EQ(shell.View().Caption(row.Id), row.Russian) << row.Control;
  EXPECT_EQ(shell.View().Caption(CaptionId::FileToolButtonCaption), "Меню Файл");
  EXPECT_EQ(shell.View().Caption(CaptionId::ResultToolButtonCaption), "Результат");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], std::string(kRuOrigin) + " (0)");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], std::string(kRuEdited) + " (0)");
  EXPECT_EQ(shell.Project().Commands(), CommandStates{});
  EXPECT_FALSE(shell.Project().Modified());
  EXPECT_FALSE(shell.Project().HasProjectFile());
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");
  EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(ShellTest, CaptionTableTextsKeepTheirExactBytes) {
  // Leading blanks, the line feed + carriage return of the questions, the
  // tooltip's four lines.
  EXPECT_EQ(CaptionText(CaptionId::FindPanelCaption, UiLanguage::English), "  Find");
  EXPECT_EQ(CaptionText(CaptionId::SaveChangesPrompt, UiLanguage::English),
            "The last changes have not been saved.\n\rSave the changes before quit?");
  EXPECT_EQ(CaptionText(CaptionId::SaveProjectPrompt, UiLanguage::Russian),
            "В проект были внесены изменения.\n\rСохранить проект перед выходом?");
  EXPECT_EQ(CaptionText(CaptionId::HelpToolBtnHint, UiLanguage::English),
            "Column HIDE\r\nAllows you to hide unnecessary records for your convenience.\r\nColumn ON\r\n"
            "If checked Includes the record in Final Release.");
  EXPECT_EQ(CaptionText(CaptionId::LoaderOpenSourceBtnCaption, UiLanguage::Russian), "SOURCE");
  EXPECT_EQ(CaptionText(CaptionId::UndoMenuItemCaption, UiLanguage::Russian), "Отменить");
  EXPECT_EQ(CaptionText(CaptionId::RedoMenuItemCaption, UiLanguage::English), "Redo");
  EXPECT_EQ(CaptionText(CaptionId::TakeTranslationsItemCaption, UiLanguage::Russian), "Взять переводы из проекта ...");
}

TEST(CaptionTable, EveryCaptionIdHasATextInBothLanguages) {
  for (size_t i = 0; i < kCaptionCount; ++i) {
    const auto id = static_cast<CaptionId>(i);
    const CaptionRow& row = CaptionRowOf(id);
    EXPECT_EQ(row.Id, id) << "row " << i;
    EXPECT_FALSE(std::string_view(row.Control).empty()) << "row " << i;
    EXPECT_FALSE(CaptionText(id, UiLanguage::English).empty()) << row.Control << " " << row.What;
    EXPECT_FALSE(CaptionText(id, UiLanguage::Russian).empty()) << row.Control << " " << row.What;
  }
}

TEST_F(ShellTest, LanguageRoundTripGivesTheFirstStartsCaptions) {
  Start();
  std::vector<std::string> first;
  for (const CaptionRow& row : CaptionRows()) first.push_back(shell.View().Caption(row.Id));
  const auto headers = shell.View().Grid().HeaderTexts();

  shell.ViewChoices().EngMenuItemClick();
  EXPECT_EQ(shell.View().Caption(CaptionId::OpenProjectItemCaption), "Open project");
  EXPECT_EQ(shell.View().Caption(CaptionId::EditFormCaption), "Translation Editor");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], "      Origin Text (0)");
  EXPECT_TRUE(changes & kChangedCaptions);
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default) << "language leaves the code page";

  shell.ViewChoices().RusMenuItemClick();
  std::vector<std::string> again;
  for (const CaptionRow& row : CaptionRows()) again.push_back(shell.View().Caption(row.Id));
  EXPECT_EQ(again, first);
  EXPECT_EQ(shell.View().Grid().HeaderTexts(), headers);
}

TEST_F(ShellTest, JapaneseCodePageSwitchesOnlyTheColumnLabelsToEnglish) {
  StartWithProject();
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Japanese));
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Japanese);
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], "      Origin Text (3)");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Edited Text (1)");
  EXPECT_EQ(shell.View().Caption(CaptionId::FileToolButtonCaption), "Меню Файл");
  EXPECT_EQ(shell.View().Caption(CaptionId::OriginHeader), kRuOrigin) << "the caption table itself is unchanged";

  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Greek));
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Greek);
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], "      Origin Text (3)") << "English labels stay";

  shell.ViewChoices().RusMenuItemClick();
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], std::string(kRuOrigin) + " (3)");
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], std::string(kRuEdited) + " (1)");
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Greek);
}

TEST_F(ShellTest, CodePageChoiceShowsTheSameBytesInAnotherScript) {
  files.OnOpen = [](PhraseTable& t, const std::string&) { TableBuilder().Add("Route").Add("\xC1\xE5\xEB").Fill(t); };
  StartWithProject();
  shell.GridEvents().GridSelectCell(2);
  const std::string bytes = shell.View().Grid().Memo1();
  ASSERT_EQ(bytes, "\xC1\xE5\xEB");

  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Russian));
  EXPECT_EQ(shell.View().DisplayText(bytes), "Бел");
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Greek));
  EXPECT_EQ(shell.View().DisplayText(bytes), "Αελ");
  EXPECT_EQ(shell.View().DisplayText(std::string(shell.View().Grid().Cell(kColOrigin, 2).Bytes)), "Αελ");
  EXPECT_EQ(shell.View().Grid().Memo1(), "\xC1\xE5\xEB") << "the table's bytes never change";
  EXPECT_EQ(std::string(table.OriginText(table.Phrases[1])), "\xC1\xE5\xEB");

  shell.ViewChoices().CodePageMenuItemClick(0);
  shell.ViewChoices().CodePageMenuItemClick(0);
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default);
  shell.ViewChoices().CodePageMenuItemClick(42);  // not a menu entry
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default);
}

TEST_F(ShellTest, CommandsThroughTheLifeOfAProject) {
  StartWithProject("/p/one.vmprj");
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true}));
  EXPECT_TRUE(shell.Project().HasProjectFile());
  EXPECT_FALSE(shell.Project().Modified());

  shell.GridEvents().GridMouseDown(kColHide, 1);  // toggles phrase 0's HIDE
  EXPECT_TRUE(table.Phrases[0].Flags & pfHide);
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{true, true, true, true, true, false}));

  ASSERT_TRUE(shell.ProjectFile().SaveProjectCommand());
  EXPECT_EQ(files.Saved.back(), "/p/one.vmprj");
  EXPECT_FALSE(shell.Project().Modified());
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true, true, false})) << "a save keeps the steps";

  shell.FormClose();
  EXPECT_EQ(shell.Project().Commands(), CommandStates{});
  EXPECT_FALSE(shell.Project().HasProjectFile());
  EXPECT_TRUE(shell.View().Grid().VisibleRows().empty());
  EXPECT_TRUE(table.Phrases.empty());
  EXPECT_EQ(shell.Project().Path(), "/p/one.vmprj") << "the project path survives a reset";
}

TEST_F(ShellTest, MarkModifiedWithoutAProjectFileNeverEnablesSaveProject) {
  StartWithProject();
  shell.FormClose();
  TableBuilder().Add("x").Fill(table);  // a project that has no file yet
  shell.ViewChoices().FilterBtnClick(GridFilter::NoFilter);
  shell.GridEvents().GridMouseDown(kColHide, 1);
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_FALSE(shell.Project().Commands().SaveProject);
}

TEST_F(ShellTest, ToggleOnAPhraseWithTextFlipsOnAndEditActionsReachTheHook) {
  StartWithProject();
  int edits = 0;
  shell.Window().OnEditAction = [&] { ++edits; };
  // Rows: 0 Route, 1 Hidden, 2 Menu (edited, ON).
  shell.GridEvents().GridMouseDown(kColOn, 3);
  EXPECT_FALSE(table.Phrases[2].Flags & pfOn);
  EXPECT_EQ(edits, 0);
  shell.GridEvents().GridMouseDown(kColOn, 1);  // no text: the editor
  shell.GridEvents().GridMouseDown(kColEdited, 2);
  shell.GridEvents().StringGridDblClick();
  shell.GridEvents().EditSelectedRow();  // Enter in the grid, a click on a text box
  EXPECT_EQ(edits, 4);
  EXPECT_EQ(shell.View().Grid().Memo1(), "Hidden") << "the pressed row became the selection";
}

TEST_F(ShellTest, SpaceAndCtrlHActOnTheSelectedRowAsAClickWould) {
  Start();
  shell.GridEvents().ToggleOnCommand();  // no project, no row: nothing
  shell.GridEvents().ToggleHideCommand();
  EXPECT_FALSE(shell.Project().Modified());
  platform.OpenResults.push_back("/p/one.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  int edits = 0;
  shell.Window().OnEditAction = [&] { ++edits; };
  platform.Status.clear();
  // Rows: 1 Route, 2 Hidden, 3 Menu (edited, ON).
  shell.GridEvents().GridSelectCell(3);
  shell.GridEvents().ToggleHideCommand();  // a phrase with a text cannot be hidden
  EXPECT_FALSE(table.Phrases[2].Flags & pfHide);
  EXPECT_FALSE(shell.Project().Modified());
  shell.GridEvents().ToggleOnCommand();
  EXPECT_FALSE(table.Phrases[2].Flags & pfOn);
  shell.GridEvents().GridSelectCell(1);
  shell.GridEvents().ToggleOnCommand();  // without a text: the editor, as a click on ON
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(platform.Status, std::vector<std::string>{"dialog:editor"});
  shell.GridEvents().ToggleHideCommand();
  EXPECT_TRUE(table.Phrases[0].Flags & pfHide);
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 1) << "the selection stays";
  EXPECT_EQ(shell.Project().History().Count(), 2u);
}

TEST_F(ShellTest, FilterButtonOnAnEmptyTableLeavesTheGrid) {
  Start();
  const auto headers = shell.View().Grid().HeaderTexts();
  shell.ViewChoices().FilterBtnClick(GridFilter::NoHidden);
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoHidden);
  EXPECT_EQ(shell.View().Grid().MemoColour(), MemoBackground::ButtonFace) << "no refill happened";
  EXPECT_EQ(shell.View().Grid().HeaderTexts(), headers);
}

// ------------------------------------------------------------ closing

// Closing asks the same question as every command that replaces the open
// project: Yes saves and closes once the save completed.
struct CloseCase {
  const char* name;
  bool hasFile;          // the project was opened from a file
  Answer answer;
  bool expectClose;
  bool expectSaveAttempt;
};

class CloseTest : public ShellTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, AsksAndActsOnTheAnswer) {
  const CloseCase& c = GetParam();
  StartWithProject();
  if (!c.hasFile) {
    shell.FormClose();
    TableBuilder().Add("x").Fill(table);
    shell.ViewChoices().FilterBtnClick(GridFilter::NoFilter);
  }
  shell.GridEvents().GridMouseDown(kColHide, 1);
  ASSERT_TRUE(shell.Project().Modified());
  platform.Answers.push_back(c.answer);
  platform.SaveResults.push_back("/p/new.vmprj");

  EXPECT_EQ(shell.FormCloseQuery(), c.expectClose);
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].ButtonSet, Buttons::YesNoCancel);
  EXPECT_EQ(platform.Boxes[0].Text, c.hasFile ? "Последние изменения не были сохранены.\n\rСохранить изменения перед выходом?"
                                              : "В проект были внесены изменения.\n\rСохранить проект перед выходом?");
  EXPECT_EQ(!files.Saved.empty(), c.expectSaveAttempt);
  if (c.expectSaveAttempt) {
    EXPECT_EQ(files.Saved.back(), c.hasFile ? "/p/one.vmprj" : "/p/new.vmprj");
    EXPECT_FALSE(shell.Project().Modified());
    // Asked again, nothing is left to ask about.
    EXPECT_TRUE(shell.FormCloseQuery());
    EXPECT_EQ(platform.Boxes.size(), 1u);
  }
  EXPECT_EQ(shell.Project().Modified(), !c.expectSaveAttempt) << "only a save clears the change";
}

INSTANTIATE_TEST_SUITE_P(
    Close, CloseTest,
    ::testing::Values(CloseCase{"file_yes", true, Answer::Yes, true, true},
                      CloseCase{"file_no", true, Answer::No, true, false},
                      CloseCase{"file_cancel", true, Answer::Cancel, false, false},
                      CloseCase{"new_yes", false, Answer::Yes, true, true},
                      CloseCase{"new_no", false, Answer::No, true, false},
                      CloseCase{"new_cancel", false, Answer::Cancel, false, false}),
    [](const ::testing::TestParamInfo<CloseCase>& p) { return std::string(p.param.name); });

TEST_F(ShellTest, UnmodifiedWindowClosesWithoutAQuestionAndCloseEmptiesTheTable) {
  StartWithProject();
  EXPECT_TRUE(shell.FormCloseQuery());
  EXPECT_TRUE(platform.Boxes.empty());
  shell.FormClose();
  EXPECT_TRUE(table.Phrases.empty());
  EXPECT_TRUE(shell.View().Grid().VisibleRows().empty());
}

TEST_F(ShellTest, YesWithACancelledSaveAsKeepsAskingOnTheNextClose) {
  StartWithProject();
  shell.FormClose();
  TableBuilder().Add("x").Fill(table);
  shell.ViewChoices().FilterBtnClick(GridFilter::NoFilter);
  shell.GridEvents().GridMouseDown(kColHide, 1);
  platform.Answers = {Answer::Yes, Answer::No};
  // The Save As dialog is cancelled (no result queued).
  EXPECT_FALSE(shell.FormCloseQuery());
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_TRUE(shell.FormCloseQuery());
  EXPECT_EQ(platform.Boxes.size(), 2u);
}

// ------------------------------------------------------------ command line

TEST(CommandLine, JoinsArgumentsAndOpensOnlyExistingVmprjFiles) {
  TempDir dir;
  const std::string spaced = dir.File("My Project.vmprj");
  const std::string plain = dir.File("one.vmprj");
  const std::string capitals = dir.File("CAPS.VMPRJ");
  WriteFile(spaced, "x");
  WriteFile(plain, "x");
  WriteFile(capitals, "x");
  ::mkdir(dir.File("folder.vmprj").c_str(), 0755);
  ::mkdir(dir.File("a.vmprj").c_str(), 0755);
  WriteFile(dir.File("a.vmprj") + "/file", "x");

  struct Case {
    std::vector<std::string> args;
    std::optional<std::string> expect;
  };
  const std::string d = dir.Path();
  const Case cases[] = {
      {{}, std::nullopt},
      {{plain}, plain},
      {{d + "/My", "Project.vmprj"}, spaced},   // a path with a blank that came in pieces
      {{d + "/My ", "Project.vmprj"}, std::nullopt},  // joined with exactly one blank
      {{capitals}, std::nullopt},                // the extension is case-sensitive
      {{d + "/missing.vmprj"}, std::nullopt},
      {{dir.File("folder.vmprj")}, std::nullopt},  // not a file
      {{dir.File("a.vmprj") + "/file"}, std::nullopt},  // the dot belongs to a folder
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += "[" + a + "]";
    EXPECT_EQ(CommandLineProject(c.args), c.expect) << joined;
  }
}

TEST(CommandLine, NamesALoaderByItsNameAndAUnitByItsExtensionInAnyCase) {
  TempDir dir;
  using Kind = SourceKind;
  for (const char* name : {"LOADING.KWI", "loading.kwi", "APM.BIN", "apm.v2.Bin", "My unit.BIN", "one.vmprj",
                           "LOADING.KWI.bak", "ALLDATA1.KWI", "BIN", ".BIN.txt"})
    WriteFile(dir.File(name), "x");
  ::mkdir(dir.File("folder.BIN").c_str(), 0755);

  struct Case {
    std::vector<std::string> args;
    std::optional<SourceFile> expect;
  };
  const std::string d = dir.Path();
  const Case cases[] = {
      {{}, std::nullopt},
      {{d + "/LOADING.KWI"}, {{Kind::Loader, d + "/LOADING.KWI"}}},
      {{d + "/loading.kwi"}, {{Kind::Loader, d + "/loading.kwi"}}},
      {{d + "/APM.BIN"}, {{Kind::Unit, d + "/APM.BIN"}}},
      {{d + "/apm.v2.Bin"}, {{Kind::Unit, d + "/apm.v2.Bin"}}},
      {{d + "/My", "unit.BIN"}, {{Kind::Unit, d + "/My unit.BIN"}}},  // joined like a project path
      {{d + "/one.vmprj"}, std::nullopt},        // a project, opened by FormShow
      {{d + "/LOADING.KWI.bak"}, std::nullopt},
      {{d + "/ALLDATA1.KWI"}, std::nullopt},     // only the loader itself
      {{d + "/BIN"}, std::nullopt},
      {{d + "/.BIN.txt"}, std::nullopt},
      {{d + "/missing.BIN"}, std::nullopt},
      {{d + "/folder.BIN"}, std::nullopt},       // not a file
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += "[" + a + "]";
    EXPECT_EQ(CommandLineSource(c.args), c.expect) << joined;
  }
}

TEST(CommandLine, HelpAndVersionOnlyAsTheOneArgument) {
  const auto version = StartupInfoText({"--version"});
  ASSERT_TRUE(version);
  EXPECT_EQ(*version, std::string("velmora ") + kVersion + "\n");
  for (const char* help : {"--help", "-h"}) {
    const auto text = StartupInfoText({help});
    ASSERT_TRUE(text) << help;
    EXPECT_EQ(text->rfind("Usage: velmora [FILE]\n", 0), 0u) << help;
  }
  // Otherwise the arguments name a file, as they always did.
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--help", "me.vmprj"},
                                               {"my", "--version"}, {"--Help"}, {"help"}})
    EXPECT_FALSE(StartupInfoText(args)) << args.size();
}

TEST_F(ShellTest, CommandLineProjectIsOpenedAtStart) {
  TempDir dir;
  const std::string path = dir.File("Demo project.vmprj");
  WriteFile(path, "x");
  Start({dir.Path() + "/Demo", "project.vmprj"});
  ASSERT_EQ(files.Opened, std::vector<std::string>{path});
  EXPECT_EQ(shell.Project().Path(), path);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - " + path + "  [APM_T1]");
  EXPECT_EQ(shell.View().Grid().VisibleRows().size(), 3u);
  EXPECT_EQ(shell.View().Caption(CaptionId::OpenFileItemCaption), "Открыть LOADING.KWI") << "Russian came first";
}

TEST_F(ShellTest, CommandLineNamingNothingOpensNothingAndReportsNothing) {
  Start({"/no/such/file.vmprj"});
  EXPECT_TRUE(files.Opened.empty());
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");
}

// ------------------------------------------------------------ project files

TEST_F(ShellTest, OpenProjectAsksForAProjectFileAndSetsEverything) {
  Start();
  platform.OpenResults.push_back("/data/Trip.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  ASSERT_EQ(platform.OpenDialogs.size(), 1u);
  EXPECT_EQ(platform.OpenDialogs[0].Filter, "Loading Translation Project|*.vmprj");
  EXPECT_EQ(shell.Project().Path(), "/data/Trip.vmprj");
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /data/Trip.vmprj  [APM_T1]");
  EXPECT_EQ(shell.ProjectFile().SaveProjectDialogName(), "/data/Trip.vmprj");
  EXPECT_EQ(shell.Project().SaveBinDialogName(), "APM_T1.BIN");
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoFilter);
  EXPECT_EQ(shell.View().Grid().VisibleRows(), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], std::string(kRuEdited) + " (1)");
  EXPECT_EQ(platform.Status, std::vector<std::string>{"hide-now"});
}

TEST_F(ShellTest, OpenProjectSwitchesTheFilterBackToNoFilter) {
  StartWithProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  ASSERT_EQ(shell.View().Grid().VisibleRows().size(), 1u);
  platform.OpenResults.push_back("/p/two.vmprj");
  shell.ProjectFile().OpenProjectCommand();
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoFilter);
  EXPECT_EQ(shell.View().Grid().VisibleRows().size(), 3u);
  EXPECT_TRUE(changes & kChangedFilter);
}

TEST_F(ShellTest, CancelledOpenKeepsTheProject) {
  StartWithProject();
  shell.GridEvents().GridMouseDown(kColHide, 1);
  shell.ProjectFile().OpenProjectCommand();  // cancelled
  EXPECT_EQ(files.Opened.size(), 1u);
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_EQ(table.Phrases.size(), 4u);
}

TEST_F(ShellTest, FailedOpenShowsTheMessageAndKeepsTheOpenProject) {
  // Whether or not the open project had a change the user let go, a file
  // that cannot be read leaves it as it was: nothing is lost to a failure.
  Start();
  const auto holds = files.OnOpen;
  for (const bool changed : {false, true}) {
    files.OnOpen = holds;
    OpenProject("/p/one.vmprj");
    if (changed) shell.GridEvents().GridMouseDown(kColHide, 1);
    const std::string title = shell.Project().WindowTitle();
    const std::vector<int> rows = shell.View().Grid().VisibleRows();
    const CommandStates commands = shell.Project().Commands();
    platform.Boxes.clear();
    files.OnOpen = [](PhraseTable&, const std::string& path) { throw EFOpenError(path, "No such file or directory"); };
    platform.OpenResults.push_back("/p/gone.vmprj");
    if (changed) platform.Answers.push_back(Answer::No);  // the change is not saved first
    shell.ProjectFile().OpenProjectCommand();
    ASSERT_EQ(platform.Boxes.size(), changed ? 2u : 1u);
    EXPECT_EQ(platform.Boxes.back().Text, "Cannot open file \"/p/gone.vmprj\". No such file or directory");
    EXPECT_EQ(platform.Boxes.back().ButtonSet, Buttons::Ok);
    EXPECT_EQ(platform.Boxes.back().Kind, BoxKind::Error);
    EXPECT_EQ(table.Phrases.size(), 4u);
    EXPECT_EQ(shell.View().Grid().VisibleRows(), rows);
    EXPECT_EQ(shell.Project().WindowTitle(), title);
    EXPECT_EQ(shell.Project().Commands(), commands);
    EXPECT_EQ(shell.Project().Modified(), changed);
    EXPECT_EQ(shell.Project().History().CanUndo(), changed);
    EXPECT_TRUE(shell.Project().HasProjectFile());
    EXPECT_EQ(shell.Project().Path(), "/p/one.vmprj") << "the project stays on its own file";
    EXPECT_EQ(table.Phrases[0].Flags & pfHide, changed ? pfHide : 0);
  }
}

TEST_F(ShellTest, SaveProjectAsOffersTheProjectDialogAndTakesThePathOnSuccess) {
  StartWithProject("/p/one.vmprj");
  shell.FormClose();
  TableBuilder().Add("x").Names("NAVI", "ABCDEFGH").Fill(table);
  platform.SaveResults.push_back("/p/Saved.vmprj");
  ASSERT_TRUE(shell.ProjectFile().SaveProjectAsCommand());
  ASSERT_EQ(platform.SaveDialogs.size(), 1u);
  EXPECT_EQ(platform.SaveDialogs[0], (FileDialogRequest{"Loading Translation Project|*.vmprj", "vmprj", "/p/one.vmprj", false, "/p"}));
  EXPECT_EQ(files.Saved, std::vector<std::string>{"/p/Saved.vmprj"});
  EXPECT_EQ(shell.Project().Path(), "/p/Saved.vmprj");
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/Saved.vmprj  [NAVI_ABCDEFGH]");
  EXPECT_TRUE(shell.Project().HasProjectFile());
}

TEST_F(ShellTest, SaveProjectAsPresetIsProject1BeforeAnyOpen) {
  Start();
  TableBuilder().Add("x").Fill(table);
  shell.ProjectFile().SaveProjectAsCommand();  // cancelled
  ASSERT_EQ(platform.SaveDialogs.size(), 1u);
  EXPECT_EQ(platform.SaveDialogs[0].PresetName, "Project1.vmprj");
  EXPECT_TRUE(files.Saved.empty());
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");
}

TEST_F(ShellTest, FailedSaveShowsTheMessageAndKeepsTheChangeMarked) {
  StartWithProject("/p/one.vmprj");
  shell.GridEvents().GridMouseDown(kColHide, 1);
  files.OnSave = [](PhraseTable&, const std::string& path) { throw EFCreateError(path, "Permission denied"); };

  platform.SaveResults.push_back("/ro/x.vmprj");
  EXPECT_FALSE(shell.ProjectFile().SaveProjectAsCommand());
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "Cannot create file \"/ro/x.vmprj\". Permission denied");
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/one.vmprj  [APM_T1]") << "the title names the file that holds the project";
  EXPECT_EQ(shell.Project().Path(), "/p/one.vmprj") << "a failed Save As does not take the path";
  EXPECT_TRUE(shell.Project().Modified());
  EXPECT_TRUE(shell.Project().Commands().SaveProject);

  files.OnSave = [](PhraseTable&, const std::string&) { throw EWriteError(); };
  EXPECT_FALSE(shell.ProjectFile().SaveProjectCommand());
  EXPECT_EQ(platform.Boxes.back().Text, "Stream write error");
  EXPECT_TRUE(shell.Project().Modified()) << "the project was not saved, so closing must still ask";
  platform.Answers.push_back(Answer::Yes);
  EXPECT_FALSE(shell.FormCloseQuery()) << "Yes with a failing save keeps the window open";
  EXPECT_TRUE(shell.Project().Modified());
}

}  // namespace
}  // namespace velmora::ui
