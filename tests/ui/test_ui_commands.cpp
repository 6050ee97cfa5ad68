// The window's remaining commands driven headlessly: search in both find
// panels, the Edit menu (Copy, Export, Import) and the two output commands
// (Save .BIN file As, Save LOADING.KWI As with its source dialog, each
// verifying the written file).
#include <gtest/gtest.h>

#include <filesystem>

#include "support/UiTestSupport.h"
#include "analysis/ProjectCreation.h"
#include "container/kiwi/Loading.h"
#include "project/file/PhraseEdits.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/logic/words/DialogFilters.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;
using velmora::test::TempDir;
using velmora::test::WriteFile;
namespace sample = velmora::sample;

std::string ReadFile(const std::string& path) {
  const auto bytes = velmora::test::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class CommandTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  CommandTest() {
    // 0 Route, 1 Hidden (hidden), 2 Menu Main (edited, ON), 3 MENU extra
    // (edited "menu", not ON), 4 C1 E5 EB, 5 E1 E5 EB, 6 link to 2.
    files.OnOpen = [](PhraseTable& t, const std::string&) {
      TableBuilder()
          .Add("Route")
          .Add("Hidden menu", pfHide)
          .Add("Menu Main", pfOn, "Hauptmenue")
          .Add("MENU extra", 0, "Zusatz")
          .Add("\xC1\xE5\xEB")
          .Add("\xE1\xE5\xEB")
          .AddLink(2)
          .Fill(t);
    };
    Start();
  }

  void OpenProject() {
    TestWindow::OpenProject("/p/a.vmprj");
    platform.Status.clear();
  }

  TempDir dir;
};

// ------------------------------------------------------------ search

TEST_F(CommandTest, SearchStepsThroughTheShownRowsWithoutWrapping) {
  OpenProject();
  ASSERT_EQ(shell.View().Grid().SelectedRow(), 1);
  struct Step {
    FindPanel panel;
    bool down;
    const char* typed;
    int row;    // selected afterwards
    int beeps;  // total so far
  };
  const Step steps[] = {
      {FindPanel::Origin, true, "menu", 2, 0},    // "Hidden menu", any case
      {FindPanel::Origin, true, "MeNu", 3, 0},
      {FindPanel::Origin, true, "menu", 4, 0},
      {FindPanel::Origin, true, "menu", 4, 1},    // nothing below: no wrap
      {FindPanel::Origin, false, "MENU", 3, 1},
      {FindPanel::Origin, false, "route", 1, 1},
      {FindPanel::Origin, false, "route", 1, 2},  // up from the first row
      {FindPanel::Edited, true, "MENUE", 3, 2},   // row 2 has no edited text
      {FindPanel::Edited, true, "menu", 3, 3},    // "Zusatz" does not hold it
      {FindPanel::Edited, false, "", 3, 4},       // an empty search beeps
      {FindPanel::Origin, true, "Main", 3, 5},    // only rows below the selection
  };
  for (const Step& s : steps) {
    if (s.down) shell.Search().FindDownBtnClick(s.panel, s.typed);
    else shell.Search().FindUpBtnClick(s.panel, s.typed);
    SCOPED_TRACE(s.typed);
    EXPECT_EQ(shell.View().Grid().SelectedRow(), s.row);
    EXPECT_EQ(platform.Beeps, s.beeps);
  }
  // A match scrolls its row to the top and fills the text boxes.
  shell.Search().FindUpBtnClick(FindPanel::Origin, "hidden");
  EXPECT_EQ(shell.View().Grid().SelectedRow(), 2);
  EXPECT_EQ(shell.View().Grid().TopRow(), 2);
  EXPECT_EQ(shell.View().Grid().Memo1(), "Hidden menu");
  EXPECT_EQ(shell.View().Grid().Memo2(), "");
}

TEST_F(CommandTest, SearchFollowsTheFilterAndTheCodePage) {
  OpenProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::NoHidden);
  shell.Search().FindDownBtnClick(FindPanel::Origin, "hidden");
  EXPECT_EQ(platform.Beeps, 1) << "a phrase the filter hides is never found";

  // Letters outside A to Z match only in their own case.
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Russian));
  shell.Search().FindEditKeyPress(FindPanel::Origin, "бел", '\r');
  EXPECT_EQ(shell.View().Grid().Memo1(), "\xE1\xE5\xEB");
  shell.Search().FindUpBtnClick(FindPanel::Origin, "Бел");
  EXPECT_EQ(shell.View().Grid().Memo1(), "\xC1\xE5\xEB");
  EXPECT_EQ(platform.Beeps, 1);
  // Only Enter searches; a text the code page cannot hold finds nothing.
  shell.Search().FindEditKeyPress(FindPanel::Origin, "бел", 'x');
  EXPECT_EQ(shell.View().Grid().Memo1(), "\xC1\xE5\xEB");
  shell.Search().FindDownBtnClick(FindPanel::Origin, "日本");
  EXPECT_EQ(platform.Beeps, 2);
}

TEST_F(CommandTest, SearchWithoutAProjectBeeps) {
  shell.Search().FindDownBtnClick(FindPanel::Origin, "a");
  shell.Search().FindUpBtnClick(FindPanel::Edited, "a");
  EXPECT_EQ(platform.Beeps, 2);
}

// ------------------------------------------------------------ edit menu

TEST_F(CommandTest, CopyPutsTheOriginTextBoxOnTheClipboardAsTheDisplayCodePageShowsIt) {
  OpenProject();
  shell.GridEvents().GridSelectCell(5);
  const struct {
    CodePage page;
    const char* shown;
    const char* charset;
  } cases[] = {{CodePage::Russian, "Бел", "CP1251"},
               {CodePage::WestEurope, "Áåë", "CP1252"},
               {CodePage::Greek, "Αελ", "CP1253"}};
  for (const auto& c : cases) {
    shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(c.page));
    shell.Exchange().CopyCommand();
    EXPECT_EQ(platform.ClipboardShown, c.shown) << c.charset;
    EXPECT_EQ(platform.ClipboardCharset, c.charset);
    EXPECT_EQ(platform.Clipboard, "\xC1\xE5\xEB") << "the bytes go along unchanged";
  }
}

TEST_F(CommandTest, ExportWritesTheShownRowsSourceTexts) {
  OpenProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  const std::string path = dir.File("Phrases.txt");
  platform.SaveResults.push_back(path);
  shell.Exchange().ExportCommand();
  EXPECT_EQ(platform.SaveDialogs.back(),
            (FileDialogRequest{"Текстовые файлы|*.txt|Текстовые файлы, UTF-8|*.txt|Текстовые файлы, UTF-16|*.txt|"
                            "Текстовые файлы, 8 бит|*.txt|Файлы gettext PO|*.po|Файлы XLIFF 1.2|*.xlf;*.xliff",
                            "txt", "Phrases.txt", false, "/p"}));
  EXPECT_EQ(ReadFile(path), "2 = Menu Main\r\n3 = MENU extra\r\n");
  shell.ViewChoices().EngMenuItemClick();
  platform.SaveResults.push_back(path);
  shell.Exchange().ExportCommand();
  EXPECT_EQ(platform.SaveDialogs.back().Filter.rfind("Text Files|*.txt|Text Files, UTF-8|*.txt|", 0), 0u);

  // Cancelled: nothing written; a file that cannot be created: an error box.
  std::filesystem::remove(path);
  shell.Exchange().ExportCommand();
  EXPECT_FALSE(std::filesystem::exists(path));
  const std::string bad = dir.File("no/such/dir/Phrases.txt");
  platform.SaveResults.push_back(bad);
  shell.Exchange().ExportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("Cannot create file \"" + bad + "\"", 0), 0u);
}

TEST_F(CommandTest, ImportAttachesTextsRefillsAndReports) {
  OpenProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  const std::string path = dir.File("in.txt");
  WriteFile(path, std::string("0 = Strecke\r\n6 = link\r\n5 = x\r\nline two\r\n"));
  platform.OpenResults.push_back(path);
  shell.Exchange().ImportCommand();
  EXPECT_EQ(platform.OpenDialogs.back().Filter.rfind("Все файлы фраз|*.txt;*.po;*.xlf;*.xliff|Текстовый файл|*.txt|", 0), 0u);
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "2 new phrase(s) has been added or replaced.");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Information);
  EXPECT_EQ(table.EditedText(table.Phrases[0]), "Strecke");
  EXPECT_EQ(table.EditedText(table.Phrases[5]), "x\nline two");
  EXPECT_FALSE(table.Phrases[0].Flags & pfOn) << "the import does not switch texts on";
  EXPECT_EQ(shell.View().Grid().VisibleRows(), (std::vector<int32_t>{0, 2, 3, 5})) << "refilled";
  EXPECT_EQ(shell.View().Grid().HeaderTexts()[kColEdited], "      Редактированнный текст (4)");
  EXPECT_TRUE(shell.Project().Modified()) << "imported texts are a change to keep";
}

TEST_F(CommandTest, ImportErrorsKeepWhatWasReadAndStillRefill) {
  OpenProject();
  shell.ViewChoices().FilterBtnClick(GridFilter::OnlyEdited);
  const std::string path = dir.File("bad.txt");
  WriteFile(path, std::string("4 = vier\r\n99999999999 = zu gross\r\n0 = null\r\n"));
  platform.OpenResults.push_back(path);
  shell.Exchange().ImportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, "'99999999999' is not a valid integer value");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_EQ(table.EditedText(table.Phrases[4]), "vier");
  EXPECT_EQ(table.Phrases[0].EditIndex, -1);
  EXPECT_EQ(shell.View().Grid().VisibleRows(), (std::vector<int32_t>{2, 3, 4}));

  // A file that cannot be opened changes nothing.
  platform.Boxes.clear();
  platform.OpenResults.push_back(dir.File("missing.txt"));
  shell.Exchange().ImportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("Cannot open file", 0), 0u);
}

// A file that yields no entry is no phrase file: an error box with the
// command line's message, never "0 new phrase(s)", and nothing changes.
TEST_F(CommandTest, ImportOfAFileWithoutEntriesIsAnError) {
  OpenProject();
  const auto textsBefore = table.EditedTexts;
  struct Case {
    const char* what;
    const char* name;
    std::string file;
  } cases[] = {
      {"empty", "empty.txt", ""},
      {"lines without an entry", "words.txt", "Hello\r\nworld\r\n"},
      {"a PO file of comments", "notes.po", "# nothing here\n"},
      {"XLIFF 2.0", "two.xlf",
       "<?xml version=\"1.0\"?>\n<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" version=\"2.0\" "
       "srcLang=\"en\"><file id=\"f\"><unit id=\"1\"><segment><source>Route</source><target>R</target>"
       "</segment></unit></file></xliff>\n"},
  };
  for (const Case& c : cases) {
    platform.Boxes.clear();
    const std::string path = dir.File(c.name);
    WriteFile(path, c.file);
    platform.OpenResults.push_back(path);
    shell.Exchange().ImportCommand();
    ASSERT_EQ(platform.Boxes.size(), 1u) << c.what;
    EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error) << c.what;
    EXPECT_EQ(platform.Boxes[0].Text, path + ": no entry found; nothing was imported (an empty file, or not a "
                                             "text, PO or XLIFF 1.2 phrase file)")
        << c.what;
    EXPECT_EQ(table.EditedTexts, textsBefore) << c.what;
    EXPECT_FALSE(shell.Project().Modified()) << c.what;
  }
  // An entry that changes nothing is still an entry: a report, no error.
  platform.Boxes.clear();
  const std::string path = dir.File("unknown.txt");
  WriteFile(path, std::string("99 = nirgends\r\n"));
  platform.OpenResults.push_back(path);
  shell.Exchange().ImportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Information);
  EXPECT_EQ(platform.Boxes[0].Text, "0 new phrase(s) has been added or replaced.");
}

TEST_F(CommandTest, ExportWritesTheFormatAndEncodingOfTheChosenFilter) {
  OpenProject();
  shell.ViewChoices().CodePageMenuItemClick(static_cast<int>(CodePage::Russian));
  // Filter 1: a text file in UTF-8, the texts converted from the code page.
  const std::string txt = dir.File("Phrases.txt");
  platform.SaveResults.push_back(txt);
  platform.FilterResults.push_back(1);
  shell.Exchange().ExportCommand();
  EXPECT_EQ(ReadFile(txt).substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(ReadFile(txt).find("4 = \xD0\x91\xD0\xB5\xD0\xBB\r\n"), std::string::npos) << "Бел in UTF-8";
  // Filter 4: gettext PO of the shown rows.
  const std::string po = dir.File("Phrases.po");
  platform.SaveResults.push_back(po);
  platform.FilterResults.push_back(4);
  shell.Exchange().ExportCommand();
  const std::string text = ReadFile(po);
  EXPECT_NE(text.find("msgctxt \"2\"\nmsgid \"Menu Main\"\nmsgstr \"Hauptmenue\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#, fuzzy\nmsgctxt \"3\""), std::string::npos) << text;
  EXPECT_EQ(text.find("msgctxt \"6\""), std::string::npos) << "links are never exported";
  EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(CommandTest, ExportNeverWritesOverTheOpenProject) {
  OpenProject();
  platform.SaveResults.push_back("/p/a.vmprj");
  platform.FilterResults.push_back(4);
  shell.Exchange().ExportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("Cannot create file \"/p/a.vmprj\"", 0), 0u) << platform.Boxes[0].Text;
}

TEST_F(CommandTest, ImportOfPoSwitchesTranslationsOnAndReports) {
  OpenProject();
  const std::string path = dir.File("in.po");
  WriteFile(path, std::string("msgctxt \"0\"\nmsgid \"Route\"\nmsgstr \"Strecke\"\n\n"
                              "msgctxt \"1\"\nmsgid \"Hidden menu\"\nmsgstr \"Versteckt\"\n\n"
                              "msgctxt \"5\"\nmsgid \"changed\"\nmsgstr \"x\"\n"));
  platform.OpenResults.push_back(path);
  platform.FilterResults.push_back(1);  // the text filter: the extension still says PO
  shell.Exchange().ImportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text,
            "2 applied, 0 unchanged, 1 source changed, 1 over budget (these will be relocated), 0 unrepresentable, "
            "0 unknown context, 0 stored switched off, 0 matched by text, 0 forced, 0 ambiguous.\n"
            // What was refused comes first.
            "in.po:9: phrase 5: the source text differs from the project's; not applied\n"
            "in.po:3: phrase 0: the text takes 8 bytes in the unit, its room is 4: it will be relocated");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Information);
  EXPECT_EQ(table.EditedText(table.Phrases[0]), "Strecke");
  EXPECT_EQ(table.Phrases[1].Flags, pfOn) << "switched on and shown, as the editor's OK";
  EXPECT_TRUE(shell.Project().Modified());
}

TEST_F(CommandTest, ImportOfABrokenFileNamesTheLineAndChangesNothing) {
  OpenProject();
  const auto textsBefore = table.EditedTexts;
  const std::string path = dir.File("bad.xlf");
  WriteFile(path, std::string("<xliff><file><body>\n<trans-unit id=\"0\"><source>Route</source>"
                              "<target>Strecke</target></trans-unit>\n<trans-unit"));
  platform.OpenResults.push_back(path);
  shell.Exchange().ImportCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_EQ(platform.Boxes[0].Text.rfind(path + ": line 3: not well-formed XML", 0), 0u) << platform.Boxes[0].Text;
  EXPECT_EQ(table.EditedTexts, textsBefore);
  EXPECT_FALSE(shell.Project().Modified());
}

// ------------------------------------------------------------ output

class OutputTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  OutputTest() {
    Start();
    loaderPath = OpenDemoLoaderProject(dir.Path());
    EXPECT_EQ(table.UnitName, "APM");
  }

  const std::vector<std::string> kLoaderStatus = {"show:Creating LOADING.KWI file. Please wait ...",
                                                  "show:The creation of the file LOADING.KWI is complete.",
                                                  "show:Verified: 0 translations in place, 0 relocated.",
                                                  "hide-later"};

  TempDir dir;
  std::string loaderPath;
};

TEST_F(OutputTest, SaveBinWritesTheUnitWithItsStatusTexts) {
  const std::string out = dir.File("out.BIN");
  platform.SaveResults.push_back(out);
  shell.Output().SaveBinFileCommand();
  EXPECT_EQ(platform.SaveDialogs.back(), (FileDialogRequest{"Binary Loading Unit|*.BIN", "", "APM_APM.BIN", false, dir.Path()}));
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating BIN file. Please wait ...",
                                                       "show:The creation of the BIN file is complete.",
                                                       "show:Verified: 0 translations in place, 0 relocated.",
                                                       "hide-later"}));
  const std::string bytes = ReadFile(out);
  EXPECT_EQ(bytes.size() % 2048, 0u);
  EXPECT_EQ(bytes.compare(0, table.ImageLength(), std::string(table.UnitImage.begin(), table.UnitImage.end())), 0);

  // A file that cannot be created: an error box, no status text.
  platform.Status.clear();
  platform.SaveResults.push_back(dir.File("no/dir/out.BIN"));
  shell.Output().SaveBinFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("Cannot create file", 0), 0u);
  EXPECT_TRUE(platform.Status.empty());
}

TEST_F(OutputTest, WrittenFilesAreVerifiedAndTheStatusSaysWhat) {
  // One translation that fits and one that is moved.
  table.Phrases[0].Flags = 0;
  ApplyEditedText(table, 0, "X");
  ApplyEditedText(table, 1, std::string(table.Phrases[1].Length + 5u, 'L'));
  const std::string verified = "show:Verified: 1 translations in place, 1 relocated.";

  platform.SaveResults.push_back(dir.File("out.BIN"));
  shell.Output().SaveBinFileCommand();
  ASSERT_EQ(platform.Status.size(), 4u);
  EXPECT_EQ(platform.Status[2], verified);
  EXPECT_EQ(platform.Status[3], "hide-later");
  // The panel goes; the status line keeps the result.
  ASSERT_FALSE(platform.StatusLine.empty());
  EXPECT_EQ(platform.StatusLine.back(), verified.substr(5));

  platform.Status.clear();
  platform.SaveResults.push_back(dir.File("out.KWI"));
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Status.size(), 4u);
  EXPECT_EQ(platform.Status[2], verified);
  EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(OutputTest, ATranslationTheBuildOverwritesIsShownInAnErrorBox) {
  // Phrase 1 is made to point into the middle of phrase 0's text, and both
  // are translated in place: phrase 1's text runs over phrase 0's.
  const TPhrase first = table.Phrases[0];
  ASSERT_GE(first.Length, 6);
  table.Phrases[1].StringAddress = first.StringAddress + 2;
  table.Phrases[1].Length = static_cast<uint16_t>(first.Length - 2);
  ApplyEditedText(table, 0, std::string(first.Length - 1u, 'A'));
  ApplyEditedText(table, 1, "BB");

  platform.SaveResults.push_back(dir.File("out.BIN"));
  shell.Output().SaveBinFileCommand();
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"show:Creating BIN file. Please wait ...",
                                                       "show:The creation of the BIN file is complete.",
                                                       "show:The written file does not match the project.",
                                                       "hide-later"}));
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  // The box names the kind of file it checked.
  EXPECT_EQ(platform.Boxes[0].Text.rfind("The written .BIN does not match the project (", 0), 0u)
      << platform.Boxes[0].Text;
  EXPECT_NE(platform.Boxes[0].Text.find("\noverwritten at "), std::string::npos) << platform.Boxes[0].Text;
  EXPECT_NE(platform.Boxes[0].Text.find("by phrase 1"), std::string::npos) << platform.Boxes[0].Text;
  // The file stays written: the translator decides what to do with it.
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.BIN")));

  // The same translations in a loader: its box names the loader.
  platform.Boxes.clear();
  platform.SaveResults.push_back(dir.File("out.KWI"));
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text.rfind("The written LOADING.KWI does not match the project (", 0), 0u)
      << platform.Boxes[0].Text;
}

TEST_F(OutputTest, SaveLoaderFromTheProjectsOwnSource) {
  const std::string out = dir.File("new/LOADING.KWI");
  std::filesystem::create_directories(dir.File("new"));
  platform.SaveResults.push_back(out);
  shell.Output().SaveFileCommand();
  EXPECT_EQ(platform.SaveDialogs.back(), (FileDialogRequest{"", "", "LOADING.KWI", false, dir.Path()}));
  EXPECT_EQ(platform.Status, kLoaderStatus);
  EXPECT_TRUE(TLN_Loading(out).Valid);
  // The dialog proposes the path chosen last; cancelling writes nothing.
  shell.Output().SaveFileCommand();
  EXPECT_EQ(platform.SaveDialogs.back().PresetName, out);
  EXPECT_EQ(platform.Status, kLoaderStatus);

  // The source itself as output is refused with an error box.
  platform.SaveResults.push_back(loaderPath);
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_TRUE(TLN_Loading(loaderPath).Valid);
}

TEST_F(OutputTest, MovedSourceIsAskedForThroughTheSourceDialog) {
  const std::string moved = dir.File("moved/LOADING.KWI");
  std::filesystem::create_directories(dir.File("moved"));
  std::filesystem::rename(loaderPath, moved);
  const std::string other = dir.File("other/LOADING.KWI");
  std::filesystem::create_directories(dir.File("other"));
  sample::LoaderRecipe otherRecipe = sample::DemoLoaderRecipe();
  otherRecipe.makers.erase(otherRecipe.makers.begin());  // "AISIN-AW" now first: MakerIndex differs
  WriteFile(other, sample::MakeLoader(otherRecipe));

  const std::string out = dir.File("out.KWI");
  platform.SaveResults.push_back(out);
  int clicks = 0;
  platform.OnCreateForm = [&](CreateForm& f) {
    platform.OpenResults = {std::nullopt, other, moved};
    for (;;) {
      ++clicks;
      if (f.OpenSourceBtnClick()) return true;
    }
  };
  shell.Output().SaveFileCommand();
  EXPECT_EQ(clicks, 3);
  ASSERT_EQ(platform.OpenDialogs.size(), 3u);
  FileDialogRequest source{"LOADING.KWI|LOADING.KWI", "", ""};
  source.MustExist = true;
  source.Folder = dir.Path();  // beside the loader the project was made from
  EXPECT_EQ(platform.OpenDialogs[0], source);
  ASSERT_EQ(platform.Boxes.size(), 1u) << "one warning, for the unsuitable file";
  EXPECT_EQ(platform.Boxes[0].Text, other + "\r\nНеподходящий файл !!!");
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Warning);
  EXPECT_EQ(platform.Status, (std::vector<std::string>{"dialog:source", kLoaderStatus[0], kLoaderStatus[1],
                                                       kLoaderStatus[2], kLoaderStatus[3]}));
  EXPECT_TRUE(TLN_Loading(out).Valid);
  EXPECT_EQ(table.SourcePath, loaderPath) << "the project keeps its own source path";

  // In English the warning is English; a closed dialog writes nothing.
  shell.ViewChoices().EngMenuItemClick();
  std::filesystem::remove(out);
  platform.Boxes.clear();
  platform.SaveResults.push_back(out);
  platform.OnCreateForm = [&](CreateForm& f) {
    platform.OpenResults = {other};
    EXPECT_FALSE(f.OpenSourceBtnClick());
    return false;
  };
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, other + "\r\nUnsuitable file !!!");
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(OutputTest, ABinProjectFindsNoSuitableSource) {
  const std::string bin = dir.File("APM.BIN");
  WriteFile(bin, std::vector<uint8_t>(table.UnitImage.begin(), table.UnitImage.end()));
  platform.OpenResults.push_back(bin);
  platform.OnNewProjectForm = [](NewProjectForm& f) { return f.StartBtnClick(); };
  platform.Answers.push_back(Answer::No);  // the project made before was never saved
  shell.Creation().OpenBinFileCommand();
  ASSERT_EQ(table.UnitName, "APM");
  platform.SaveResults.push_back(dir.File("x.KWI"));
  platform.OnCreateForm = [&](CreateForm& f) {
    platform.OpenResults = {loaderPath};
    return f.OpenSourceBtnClick();
  };
  platform.Boxes.clear();
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Warning);
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.KWI")));
}

TEST(DialogFilters, PhraseFileFiltersInBothLanguages) {
  EXPECT_EQ(JoinDialogFilters(PhraseDialogFilters(PhraseFormat::kCanWrite), UiLanguage::English),
            "Text Files|*.txt|Text Files, UTF-8|*.txt|Text Files, UTF-16|*.txt|Text Files, 8-bit|*.txt|"
            "gettext PO Files|*.po|XLIFF 1.2 Files|*.xlf;*.xliff");
  EXPECT_EQ(JoinDialogFilters(PhraseDialogFilters(PhraseFormat::kCanRead), UiLanguage::English),
            "Text File|*.txt|Text File, UTF-8|*.txt|Text File, UTF-16|*.txt|Text File, 8-bit|*.txt|"
            "gettext PO Files|*.po|XLIFF 1.2 Files|*.xlf;*.xliff");
  EXPECT_EQ(JoinDialogFilters(PhraseDialogFilters(PhraseFormat::kCanWrite), UiLanguage::Russian),
            "Текстовые файлы|*.txt|Текстовые файлы, UTF-8|*.txt|Текстовые файлы, UTF-16|*.txt|"
            "Текстовые файлы, 8 бит|*.txt|Файлы gettext PO|*.po|Файлы XLIFF 1.2|*.xlf;*.xliff");
  // The import offers every format under one filter, chosen first.
  EXPECT_EQ(JoinDialogFilters(ImportDialogFilters(), UiLanguage::English),
            "All phrase files|*.txt;*.po;*.xlf;*.xliff|Text File|*.txt|Text File, UTF-8|*.txt|Text File, UTF-16|*.txt|"
            "Text File, 8-bit|*.txt|gettext PO Files|*.po|XLIFF 1.2 Files|*.xlf;*.xliff");
  // Every description the formats give has its Russian caption.
  for (const auto use : {PhraseFormat::kCanRead, PhraseFormat::kCanWrite})
    for (const DialogFilter& f : PhraseDialogFilters(use))
      EXPECT_NE(DialogFilterCaption(f, UiLanguage::Russian), f.Description) << f.Description;
  EXPECT_EQ(DialogFilterCaption(ImportDialogFilters().front(), UiLanguage::Russian), "Все файлы фраз");
}

}  // namespace
}  // namespace velmora::ui
