// Project creation from the window: the "Create New Project" dialog's rules
// (lists, options kept between projects, range fields with their colour,
// START and beeps), and the two flows "Open .BIN file" and "Open
// LOADING.KWI" driven through a scripted platform: status texts, title,
// questions, the save commands, the code page and cancelling.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/UiTestSupport.h"
#include "analysis/ProjectCreation.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/logic/dialogs/RangeFields.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/state/WindowTitle.h"

namespace velmora::ui {
namespace {

using testing::ScriptedPlatform;
using testing::TableBuilder;
using velmora::test::TempDir;
using velmora::test::WriteFile;
namespace sample = velmora::sample;

// ------------------------------------------------------------ the dialog's rules

class DialogTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  NewProjectForm form{platform};
};

TEST(DialogRules, HexFields) {
  struct Case {
    const char* text;
    std::optional<uint32_t> value;
  };
  const Case cases[] = {
      {"", std::nullopt},
      {"0", 0u},
      {"00000000", 0u},
      {"1a2B", 0x1A2Bu},
      {"FFFFFFFE", 0xFFFFFFFEu},
      {"ffffffff", std::nullopt},
      {"FFFFFFFF", std::nullopt},
      {"100000000", std::nullopt},
      {"000000000010", 0x10u},
      {"G", std::nullopt},
      {"12 ", std::nullopt},
      {" 12", std::nullopt},
      {"$12", std::nullopt},
      {"0x12", std::nullopt},
      {"-1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexFieldValue(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(IsValidHexField(c.text), c.value.has_value()) << '"' << c.text << '"';
  }
}

TEST(DialogRules, RangeFieldsAndCaption) {
  EXPECT_EQ(FormatHex8(0x1A2B), "00001A2B");
  EXPECT_EQ(FormatHex8(0xABCDEF01), "ABCDEF01");
  const RangeFields f = DefaultRangeFields(0x3C000);
  EXPECT_EQ(f.StartText, "00000000");
  EXPECT_EQ(f.EndText, "0003C000");

  struct Case {
    bool checked;
    const char *start, *end;
    uint32_t rangeStart, rangeEnd;
  };
  const Case cases[] = {
      {false, "100", "200", 0, 0x5000},
      {true, "100", "200", 0x100, 0x200},
      {true, "", "200", 0, 0x200},
      {true, "100", "FFFFFFFF", 0x100, 0x5000},
      {true, "zz", "xx", 0, 0x5000},
  };
  for (const auto& c : cases) {
    const AddressRange r = RangeFromFields(c.checked, c.start, c.end, 0x5000);
    EXPECT_EQ(r.RangeStart, c.rangeStart) << c.start;
    EXPECT_EQ(r.RangeEnd, c.rangeEnd) << c.end;
  }
  EXPECT_EQ(ProjectCaption("/d/LOADING.KWI", "APM", "T1"), "Velmora - /d/LOADING.KWI  [APM_T1]");
}

TEST_F(DialogTest, FieldEditsColourTheFieldAndGateStart) {
  form.PrepareForBin(0x1234);
  form.FormShow();
  EXPECT_EQ(form.StartText(), "00000000");
  EXPECT_EQ(form.EndText(), "00001234");
  EXPECT_FALSE(form.RangeChecked());
  EXPECT_FALSE(form.FieldsEnabled());
  EXPECT_TRUE(form.StartEnabled());
  EXPECT_EQ(platform.Beeps, 0);
  form.RangeCheckBoxClick(true);
  EXPECT_TRUE(form.FieldsEnabled());

  struct Step {
    bool start;  // which field is typed into
    const char* text;
    bool startRed, endRed, startBtn;
    int beeps;  // total so far
  };
  const Step steps[] = {
      {true, "FFFFFFFF", true, false, false, 1},
      {true, "FFFFFFFE", false, false, true, 1},
      {false, "12G4", false, true, false, 2},   // a letter beyond F
      {true, "zz", true, true, false, 3},
      {false, "1234", true, false, false, 3},   // End fine again, Start still red
      {true, "", true, false, false, 4},        // empty is invalid
      {true, "10", false, false, true, 4},
      {false, "100000000", false, true, false, 5},  // beyond 32 bits
      {false, "0000000000ab", false, false, true, 5},
  };
  for (const Step& s : steps) {
    if (s.start) form.StartEditChange(s.text);
    else form.EndEditChange(s.text);
    SCOPED_TRACE(s.text);
    EXPECT_EQ(form.StartRed(), s.startRed);
    EXPECT_EQ(form.EndRed(), s.endRed);
    EXPECT_EQ(form.StartEnabled(), s.startBtn);
    EXPECT_EQ(platform.Beeps, s.beeps);
  }
  form.StartBtnClick();
  EXPECT_EQ(form.Options().RangeStart, 0x10u);
  EXPECT_EQ(form.Options().RangeEnd, 0xABu);
  EXPECT_FALSE(form.StartEnabled());
  EXPECT_FALSE(form.CancelEnabled());
  EXPECT_EQ(form.ChosenModule(), -1) << "the .BIN flow has no lists";
}

TEST_F(DialogTest, UncheckingTheRangeRestoresTheWholeUnit) {
  form.PrepareForBin(0x5000);
  form.FormShow();
  form.RangeCheckBoxClick(true);
  form.StartEditChange("100");
  form.EndEditChange("XYZ");
  form.RangeCheckBoxClick(false);
  EXPECT_EQ(form.StartText(), "00000000");
  EXPECT_EQ(form.EndText(), "00005000");
  EXPECT_FALSE(form.EndRed());
  EXPECT_TRUE(form.StartEnabled());
  form.StartBtnClick();
  EXPECT_EQ(form.Options().RangeStart, 0u);
  EXPECT_EQ(form.Options().RangeEnd, 0x5000u);
}

TEST_F(DialogTest, OptionsStayBetweenProjectsAndTheRangeIsResetOnOpening) {
  form.PrepareForBin(0x800);
  form.FormShow();
  EXPECT_EQ(form.Mode(), TextMode::English);
  EXPECT_TRUE(form.HideAbc());
  form.SetMode(TextMode::Japanese);
  form.SetHideAbc(false);
  form.RangeCheckBoxClick(true);
  form.StartEditChange("40");
  form.StartBtnClick();
  EXPECT_EQ(form.Options().Mode, TextMode::Japanese);
  EXPECT_FALSE(form.Options().HideAbc);
  EXPECT_EQ(form.Options().RangeStart, 0x40u);

  form.PrepareForLoader();
  form.AddModule("M", {{"X", 0x900}});
  form.ModuleChange(0);
  form.FormShow();
  EXPECT_TRUE(form.StartEnabled());
  EXPECT_TRUE(form.CancelEnabled());
  EXPECT_EQ(form.Mode(), TextMode::Japanese);
  EXPECT_FALSE(form.HideAbc());
  EXPECT_FALSE(form.RangeChecked());
  EXPECT_EQ(form.StartText(), "00000000");
  EXPECT_EQ(form.EndText(), "00000900");
}

TEST_F(DialogTest, ModuleAndUnitChoicesSelectApmAndSetTheSize) {
  form.PrepareForLoader();
  form.AddModule("FIRST", {{"BOOT", 0x100}, {"APM", 0x200}, {"MAP", 0x300}, {"APM", 0x400}});
  form.AddModule("SECOND", {{"MAP", 0x500}, {"BOOT", 0x600}});
  form.AddModule("EMPTY", {});
  EXPECT_TRUE(form.ListsEnabled());

  struct Case {
    int module;
    int unit;  // preselected
    const char* end;
    bool start;
  };
  const Case cases[] = {
      {0, 3, "00000400", true},   // the last "APM"
      {1, 0, "00000500", true},   // no "APM": the first
      {2, -1, "00000000", false}, // no units: nothing to start from
  };
  for (const Case& c : cases) {
    form.ModuleChange(c.module);
    EXPECT_EQ(form.UnitIndex(), c.unit) << c.module;
    EXPECT_EQ(form.EndText(), c.end) << c.module;
    EXPECT_EQ(form.StartEnabled(), c.start) << c.module;
  }
  form.ModuleChange(0);
  EXPECT_EQ(form.UnitItems(), (std::vector<std::string>{"BOOT", "APM", "MAP", "APM"}));
  form.RangeCheckBoxClick(true);
  form.StartEditChange("10");
  form.UnitChange(2);
  EXPECT_EQ(form.StartText(), "00000000");
  EXPECT_EQ(form.EndText(), "00000300");
  EXPECT_EQ(form.SelectedUnitSize(), 0x300u);
  form.StartBtnClick();
  EXPECT_EQ(form.ChosenModule(), 0);
  EXPECT_EQ(form.ChosenUnit(), 2);
  EXPECT_EQ(form.Options().RangeEnd, 0x300u);
}

// ------------------------------------------------------------ the flows

sample::SampleUnit MakeUnit(const std::string& tag, uint32_t seed, bool badSum = false,
                            const std::string& maker = "AISIN AW co.LTD") {
  sample::UnitRecipe s;
  s.tag = tag;
  s.strings = sample::EnglishMenuTexts(12, seed);
  s.seed = seed;
  s.corruptChecksum = badSum;
  s.makerText = maker;
  return sample::MakeUnit(s);
}

class FlowTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  FlowTest() {
    EveryProjectHolds([](PhraseTable& t) {
      TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menue").Names("OLD", "T0").Fill(t);
    });
    Start();
  }

  // An earlier project with a file, changed, under the No Hidden filter.
  void OpenEarlierProject() {
    OpenProject("/p/old.vmprj");
    shell.ViewChoices().FilterBtnClick(GridFilter::NoHidden);
    shell.GridEvents().GridMouseDown(kColHide, 1);
    ASSERT_TRUE(shell.Project().Modified());
    platform.Status.clear();
  }

  // The question about the earlier project's unsaved change comes first;
  // No lets the command go on without saving.
  void DiscardEarlierChanges() { platform.Answers.push_back(Answer::No); }
  void ExpectUnsavedQuestion(size_t box = 0) {
    ASSERT_GT(platform.Boxes.size(), box);
    // It names what comes next: a new project.
    EXPECT_EQ(platform.Boxes[box].Text,
              "Последние изменения не были сохранены.\n\rСохранить изменения перед созданием нового проекта?");
    EXPECT_EQ(platform.Boxes[box].ButtonSet, Buttons::YesNoCancel);
  }

  // The dialog closes with START after `act` set it up.
  void StartWith(std::function<void(NewProjectForm&)> act = {}) {
    platform.OnNewProjectForm = [act](NewProjectForm& f) {
      if (act) act(f);
      return f.StartBtnClick();
    };
  }

  TempDir dir;
};

TEST_F(FlowTest, BinFileBecomesAProject) {
  OpenEarlierProject();
  const auto unit = MakeUnit("V12", 3);
  const std::string path = dir.File("APM.V12.BIN");
  WriteFile(path, unit.bytes);
  platform.OpenResults.push_back(path);
  NewProjectForm* seen = nullptr;
  StartWith([&](NewProjectForm& f) {
    seen = &f;
    EXPECT_FALSE(f.ListsEnabled());
    EXPECT_TRUE(f.ModuleItems().empty());
    EXPECT_EQ(f.SelectedUnitSize(), unit.bytes.size());
    EXPECT_EQ(f.EndText(), FormatHex8(static_cast<uint32_t>(unit.bytes.size())));
    EXPECT_EQ(shell.Project().WindowTitle(), "Velmora") << "the caption is reset before the dialog";
  });
  DiscardEarlierChanges();
  shell.Creation().OpenBinFileCommand();

  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(platform.OpenDialogs.back(), (FileDialogRequest{"Binary Loading Unit|*.BIN", "", "APM.BIN", false, "/p"}));
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating project ...", "dialog:new-project",
                                                       "show:Creating project. Please wait ...", "hide-later"}));
  EXPECT_EQ(table.UnitName, "APM");
  EXPECT_EQ(table.UnitTag, "V12");
  EXPECT_TRUE(table.SourcePath.empty());
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - " + path + "  [APM_V12]");
  EXPECT_EQ(shell.Project().SaveBinDialogName(), path);
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true}));
  EXPECT_FALSE(shell.Project().Modified()) << "a new project starts unchanged";
  EXPECT_FALSE(shell.Project().HasProjectFile());
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoFilter);
  EXPECT_EQ(shell.View().Grid().VisibleRows(), FilterRows(table, GridFilter::NoFilter));
  EXPECT_FALSE(shell.View().Grid().VisibleRows().empty());
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default);
  ExpectUnsavedQuestion();
  EXPECT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(shell.Dialogs().Files.Folder(), dir.Path()) << "dialogs now open beside the unit file";
}

TEST_F(FlowTest, CancelLeavesTheTableAndBareTitleAndReturnsToNoFilter) {
  OpenEarlierProject();
  const std::string path = dir.File("APM.BIN");
  WriteFile(path, MakeUnit("V1", 4).bytes);
  const auto before = table.Phrases.size();
  platform.OpenResults.push_back(path);
  DiscardEarlierChanges();
  shell.Creation().OpenBinFileCommand();  // the dialog answers Cancel
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating project ...", "dialog:new-project", "hide-now"}));
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/old.vmprj  [OLD_T0]") << "the earlier project is still the one open";
  EXPECT_EQ(table.Phrases.size(), before);
  EXPECT_EQ(table.UnitName, "OLD");
  EXPECT_EQ(shell.View().Grid().Filter(), GridFilter::NoFilter);
  EXPECT_EQ(shell.View().Grid().RowCount(), 4);
  EXPECT_TRUE(shell.Project().Modified()) << "the earlier project keeps its change";

  // A cancelled file dialog does nothing at all.
  platform.Status.clear();
  DiscardEarlierChanges();
  shell.Creation().OpenBinFileCommand();
  EXPECT_TRUE(platform.Status.empty());
  EXPECT_TRUE(shell.Project().Modified());
}

TEST_F(FlowTest, QuestionsAreYesNoBoxesAndADeclinedChecksumLeavesNoProject) {
  OpenEarlierProject();
  const std::string badSum = dir.File("BAD.BIN");
  WriteFile(badSum, MakeUnit("B", 5, true).bytes);
  const std::string foreign = dir.File("FOREIGN.BIN");
  WriteFile(foreign, MakeUnit("F", 6, false, "OTHER MAKER").bytes);
  StartWith();

  // Maker question declined: the earlier project stays open and shown,
  // under its own title.
  platform.OpenResults.push_back(foreign);
  platform.Answers = {Answer::No, Answer::No};
  shell.Creation().OpenBinFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 2u);
  ExpectUnsavedQuestion(0);
  EXPECT_EQ(platform.Boxes[1].Text, kForeignMakerQuestion);
  EXPECT_EQ(platform.Boxes[1].ButtonSet, Buttons::YesNo);
  EXPECT_EQ(platform.Boxes[1].Kind, BoxKind::Question);
  EXPECT_EQ(table.UnitName, "OLD");
  EXPECT_EQ(shell.View().Grid().RowCount(), 4);
  EXPECT_TRUE(shell.Project().Commands().SaveProjectAs);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - /p/old.vmprj  [OLD_T0]");
  EXPECT_TRUE(shell.Project().Modified()) << "nothing was discarded";

  // Checksum question declined: the table is empty, and so is the grid,
  // its header counts and the title.
  platform.Boxes.clear();
  platform.OpenResults.push_back(badSum);
  platform.Answers = {Answer::No, Answer::No};
  shell.Creation().OpenBinFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 2u);
  EXPECT_EQ(platform.Boxes[1].Text, kBadChecksumQuestion);
  EXPECT_TRUE(table.Phrases.empty());
  EXPECT_EQ(shell.View().Grid().RowCount(), 1);
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin], CaptionText(CaptionId::OriginHeader, UiLanguage::Russian).data() + std::string(" (0)"));
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], CaptionText(CaptionId::EditedHeader, UiLanguage::Russian).data() + std::string(" (0)"));
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");
  EXPECT_EQ(shell.Project().Commands(), CommandStates{});
  EXPECT_FALSE(shell.Project().Modified());

  // Yes goes on.
  platform.OpenResults.push_back(badSum);
  platform.Answers = {Answer::Yes};
  shell.Creation().OpenBinFileCommand();
  EXPECT_EQ(table.UnitName, "BAD");
  EXPECT_GT(shell.View().Grid().RowCount(), 1);
}

TEST_F(FlowTest, FileErrorsShowTheirMessageAndLeaveTheStatusPanel) {
  const std::string missing = dir.File("nothing.BIN");
  platform.OpenResults.push_back(missing);
  shell.Creation().OpenBinFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_NE(platform.Boxes[0].Text.find("Cannot open file \"" + missing + "\""), std::string::npos);
  EXPECT_EQ(platform.Status, std::vector<std::string>{"show:Creating project ..."});

}

TEST_F(FlowTest, JapaneseTextModeChoosesTheJapaneseCodePage) {
  sample::UnitRecipe s;
  s.tag = "JP";
  s.strings = sample::JapaneseTexts(16, 9);
  s.seed = 9;
  const std::string path = dir.File("JP.BIN");
  WriteFile(path, sample::MakeUnit(s).bytes);
  platform.OpenResults.push_back(path);
  StartWith([](NewProjectForm& f) { f.SetMode(TextMode::Japanese); });
  shell.Creation().OpenBinFileCommand();
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Japanese);
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColOrigin].rfind("      Origin Text (", 0), 0u);

  // The next project in another mode goes back to Default, keeping the
  // English column labels as a menu choice does.
  const std::string en = dir.File("EN.BIN");
  WriteFile(en, MakeUnit("EN", 10).bytes);
  platform.OpenResults.push_back(en);
  platform.Answers.push_back(Answer::No);  // the first project was never saved
  StartWith([](NewProjectForm& f) {
    EXPECT_EQ(f.Mode(), TextMode::Japanese) << "the dialog keeps the last choice";
    f.SetMode(TextMode::English);
  });
  shell.Creation().OpenBinFileCommand();
  EXPECT_EQ(shell.View().DisplayCodePage(), CodePage::Default);
}

class LoaderFlowTest : public FlowTest {
 protected:
  std::string WriteLoader(const sample::LoaderRecipe& desc) {
    const std::string path = dir.File("LOADING.KWI");
    WriteFile(path, sample::MakeLoader(desc, &layout));
    return path;
  }
  sample::LoaderLayout layout;
};

TEST_F(LoaderFlowTest, ChosenUnitBecomesAProject) {
  const std::string path = WriteLoader(sample::DemoLoaderRecipe());
  platform.OpenResults.push_back(path);
  StartWith([&](NewProjectForm& f) {
    EXPECT_TRUE(f.ListsEnabled());
    EXPECT_EQ(f.ModuleItems(), (std::vector<std::string>{"AISIN NAVIGATION PROGRAM", "AISIN NAVIGATION PROGRAM EXT"}));
    EXPECT_EQ(f.ModuleIndex(), 0);
    EXPECT_EQ(f.UnitItems(), (std::vector<std::string>{"APM", "MAP", "BOOT"}));
    EXPECT_EQ(f.UnitIndex(), 0);
    EXPECT_EQ(f.UnitListNote(), "") << "a module with units needs no note";
    EXPECT_EQ(f.SelectedUnitSize(), layout.makers[1].modules[0].units[0].size);
    f.ModuleChange(1);
    EXPECT_EQ(f.UnitIndex(), 0);
    f.UnitChange(4);  // "EUR"
    f.SetMode(TextMode::European);
  });
  shell.Creation().OpenFileCommand();

  EXPECT_EQ(platform.OpenDialogs.back(), (FileDialogRequest{"LOADING.KWI|LOADING.KWI", "", ""}));
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating project ...", "dialog:new-project",
                                                       "show:Creating project. Please wait ...", "hide-later"}));
  EXPECT_EQ(table.Info.MakerIndex, 1);
  EXPECT_EQ(table.Info.ModuleIndex, 1);
  EXPECT_EQ(table.Info.UnitIndex, 4);
  EXPECT_EQ(table.Info.UnitOffset, layout.makers[1].modules[1].units[4].offset);
  EXPECT_EQ(table.UnitName, "EUR");
  EXPECT_EQ(table.SourcePath, path);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - " + path + "  [EUR_EUR]");
  EXPECT_EQ(shell.Project().SaveBinDialogName(), "EUR_EUR.BIN");
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true}));
  EXPECT_GT(shell.View().Grid().RowCount(), 1);
}

TEST_F(LoaderFlowTest, LoaderWithoutAisinModulesSaysSoWithoutADialog) {
  sample::LoaderRecipe desc;
  desc.makers.push_back({"TOYOTA", {{"TOYOTA NAVIGATION SYSTEM", "TNS", false, {{"TNS0", std::vector<uint8_t>(600, 7)}}}}});
  platform.OpenResults.push_back(WriteLoader(desc));
  StartWith();
  shell.Creation().OpenFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "A suitable AISIN module is not detected !");
  EXPECT_EQ(platform.Boxes[0].ButtonSet, Buttons::Ok);
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating project ...", "hide-now"}));
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora");

  // Not a loader at all: the same message.
  const std::string junk = dir.File("junk/LOADING.KWI");
  std::filesystem::create_directories(dir.File("junk"));
  WriteFile(junk, std::vector<uint8_t>(100, 0xEE));
  platform.Boxes.clear();
  platform.OpenResults.push_back(junk);
  shell.Creation().OpenFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, kNoAisinModuleMessage);
}

TEST_F(LoaderFlowTest, AModuleWithoutUnitsCannotBeStarted) {
  // The loader is cut inside the first module's APM unit: the directory
  // leaves that module without units.
  OpenEarlierProject();
  auto bytes = sample::MakeLoader(sample::DemoLoaderRecipe(), &layout);
  const auto& apm = layout.makers[1].modules[0].units[0];
  bytes.resize(apm.offset + apm.size / 2);
  const std::string path = dir.File("LOADING.KWI");
  WriteFile(path, bytes);
  platform.OpenResults.push_back(path);
  const auto& module = layout.makers[1].modules[0];
  StartWith([&](NewProjectForm& f) {
    EXPECT_TRUE(f.UnitItems().empty());
    EXPECT_EQ(f.EndText(), "00000000");
    EXPECT_FALSE(f.StartEnabled());
    // The dialog says why the list is empty.
    EXPECT_EQ(f.UnitListNote(), "The module \"AISIN NAVIGATION PROGRAM\" has no units: its data reaches to byte " +
                                    std::to_string(module.start + module.length) + ", but the file holds only " +
                                    std::to_string(bytes.size()) + " bytes. The loader file is cut short (truncated).");
  });
  DiscardEarlierChanges();
  shell.Creation().OpenFileCommand();
  ExpectUnsavedQuestion();
  EXPECT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Status.back(), "hide-now");
  EXPECT_EQ(table.UnitName, "OLD");
  EXPECT_EQ(shell.View().Grid().RowCount(), 4);
}

// ------------------------------------------------------------ from the command line

// "Open with" from a file manager: a unit file named on the command line
// runs the Open .BIN file flow on it, without the file dialog.
TEST_F(FlowTest, CommandLineUnitFileStartsTheBinFlow) {
  std::filesystem::create_directories(dir.File("My units"));
  const std::string path = dir.File("My units/apm.v2.bin");  // small letters, a blank in the folder
  WriteFile(path, MakeUnit("V2", 5).bytes);
  StartWith();
  shell.Creation().OpenCommandLineSource({dir.File("My"), "units/apm.v2.bin"});

  EXPECT_TRUE(platform.OpenDialogs.empty());
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating project ...", "dialog:new-project",
                                                       "show:Creating project. Please wait ...", "hide-later"}));
  EXPECT_EQ(table.UnitName, "apm");
  EXPECT_EQ(table.UnitTag, "V2");
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - " + path + "  [apm_V2]");
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true}));
  EXPECT_GT(shell.View().Grid().RowCount(), 1);
}

TEST_F(LoaderFlowTest, CommandLineLoaderStartsTheLoaderFlow) {
  std::filesystem::create_directories(dir.File("disc"));
  const std::string path = dir.File("disc/loading.kwi");
  WriteFile(path, sample::MakeLoader(sample::DemoLoaderRecipe(), &layout));
  StartWith([](NewProjectForm& f) {
    EXPECT_TRUE(f.ListsEnabled());
    EXPECT_EQ(f.UnitItems(), (std::vector<std::string>{"APM", "MAP", "BOOT"}));
  });
  shell.Creation().OpenCommandLineSource({path});

  EXPECT_TRUE(platform.OpenDialogs.empty());
  EXPECT_EQ(table.Info.MakerIndex, 1);
  EXPECT_EQ(table.UnitName, "APM");
  EXPECT_EQ(table.SourcePath, path);
  EXPECT_EQ(shell.Project().WindowTitle(), "Velmora - " + path + "  [APM_" + table.UnitTag + "]");
  EXPECT_EQ(shell.Project().Commands(), (CommandStates{false, true, true, true}));
}

TEST_F(FlowTest, CommandLineWithoutALoaderOrUnitFileStartsNothing) {
  OpenEarlierProject();
  const std::string project = dir.File("one.vmprj");
  WriteFile(project, "x");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {project}, {dir.File("missing.BIN")}, {dir.File("LOADING.KWI")}}) {
    shell.Creation().OpenCommandLineSource(args);
  }
  EXPECT_TRUE(platform.Status.empty());
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_EQ(table.UnitName, "OLD");
  EXPECT_TRUE(shell.Project().Modified()) << "the project on show keeps its change";
}

}  // namespace
}  // namespace velmora::ui
