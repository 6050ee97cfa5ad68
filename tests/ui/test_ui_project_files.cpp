// The project commands with the real project file: a project saved through
// Save As opens again as the same project, and the file layer's failures
// reach the user in an error box with their own messages.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/UiTestSupport.h"
#include "project/build/BinBuilder.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;
using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;

// A window with the real project files.
struct Window : testing::TestWindow {
  Window() : TestWindow(Files::Real) { Start(); }
};

void FillSample(PhraseTable& t) {
  TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menü").AddLink(0).Names("APM", "TAG8CHAR").Fill(t);
  t.SourcePath = "/disc/LOADING.KWI";
  t.Info.MakerIndex = 1;
  t.Info.ModuleIndex = 0;
  t.Info.UnitIndex = 2;
}

TEST(ProjectFileCommands, SaveAsThenOpenGivesTheSameProject) {
  TempDir dir;
  const std::string path = dir.File("Trip.vmprj");
  Window a;
  FillSample(a.table);
  a.shell.ViewChoices().FilterBtnClick(GridFilter::NoFilter);
  a.shell.GridEvents().GridMouseDown(kColHide, 1);  // phrase 0 hidden
  a.platform.SaveResults.push_back(path);
  ASSERT_TRUE(a.shell.ProjectFile().SaveProjectAsCommand()) << (a.platform.Boxes.empty() ? "" : a.platform.Boxes[0].Text);
  EXPECT_FALSE(a.shell.Project().Modified());

  Window b;
  b.platform.OpenResults.push_back(path);
  b.shell.ProjectFile().OpenProjectCommand();
  ASSERT_TRUE(b.platform.Boxes.empty()) << b.platform.Boxes[0].Text;
  ASSERT_EQ(b.table.Phrases.size(), a.table.Phrases.size());
  EXPECT_EQ(0, std::memcmp(b.table.Phrases.data(), a.table.Phrases.data(), a.table.Phrases.size() * sizeof(TPhrase)));
  EXPECT_EQ(b.table.EditedTexts, a.table.EditedTexts);
  EXPECT_EQ(b.table.UnitImage, a.table.UnitImage);
  EXPECT_EQ(b.table.SourcePath, "/disc/LOADING.KWI");
  EXPECT_EQ(b.shell.Project().WindowTitle(), "Velmora - " + path + "  [APM_TAG8CHAR]");
  EXPECT_EQ(b.shell.Project().SaveBinDialogName(), "APM_TAG8CHAR.BIN");
  EXPECT_TRUE(b.shell.Project().HasProjectFile());
  EXPECT_EQ(b.shell.View().Grid().VisibleRows(), (std::vector<int32_t>{0, 1, 2}));

  // Saving the reopened project again writes the same bytes.
  const auto first = ReadFile(path);
  b.shell.GridEvents().GridMouseDown(kColHide, 1);
  b.shell.GridEvents().GridMouseDown(kColHide, 1);
  ASSERT_TRUE(b.shell.Project().Commands().SaveProject);
  ASSERT_TRUE(b.shell.ProjectFile().SaveProjectCommand());
  EXPECT_EQ(ReadFile(path), first);
}

// The window keeps its own copy of the unit's bytes: the project file may be
// overwritten in place by another program (here shortened to a few bytes),
// and the open project, its .BIN included, stays as it was opened.
TEST(ProjectFileCommands, TheOpenProjectOutlivesItsFileBeingOverwritten) {
  TempDir dir;
  const std::string path = dir.File("Trip.vmprj");
  PhraseTable saved;
  FillSample(saved);
  saved.UnitImage.resize(3 * 4096 + 10, 0x5A);
  saved.Info.UnitSize = saved.Info.SourceSize = static_cast<uint32_t>(saved.UnitImage.size());
  SaveProject(saved, path);
  const std::vector<uint8_t> built = AssembleUnit(saved);

  Window w;
  w.platform.OpenResults.push_back(path);
  w.shell.ProjectFile().OpenProjectCommand();
  ASSERT_TRUE(w.platform.Boxes.empty()) << w.platform.Boxes[0].Text;
  WriteFile(path, std::string("gone"));

  EXPECT_EQ(w.table.UnitImage, saved.UnitImage);
  w.platform.SaveResults.push_back(dir.File("Trip.BIN"));
  w.shell.Output().SaveBinFileCommand();
  EXPECT_EQ(ReadFile(dir.File("Trip.BIN")), built);
}

TEST(ProjectFileCommands, DamagedFileIsReportedWithTheReadersMessage) {
  TempDir dir;
  const std::string good = dir.File("good.vmprj");
  const std::string cut = dir.File("cut.vmprj");
  {
    PhraseTable t;
    FillSample(t);
    SaveProject(t, good);
  }
  auto bytes = ReadFile(good);
  bytes.resize(64 + 4 * 16 + 20);  // ends inside the unit image
  WriteFile(cut, bytes);
  std::string expected;
  try {
    PhraseTable scratch;
    OpenProject(scratch, cut);
  } catch (const std::exception& e) {
    expected = e.what();
  }
  ASSERT_FALSE(expected.empty()) << "the reader accepted a cut file";

  Window w;
  w.platform.OpenResults.push_back(good);
  w.shell.ProjectFile().OpenProjectCommand();
  ASSERT_TRUE(w.shell.Project().HasProjectFile());
  const std::vector<int> rows = w.shell.View().Grid().VisibleRows();
  w.platform.OpenResults.push_back(cut);
  w.shell.ProjectFile().OpenProjectCommand();
  ASSERT_EQ(w.platform.Boxes.size(), 1u);
  EXPECT_EQ(w.platform.Boxes[0].Text, expected);
  EXPECT_EQ(w.platform.Boxes[0].Kind, BoxKind::Error);
  // The project open before stays open, and nothing is left beside the
  // damaged file.
  EXPECT_FALSE(w.table.Phrases.empty());
  EXPECT_EQ(w.shell.View().Grid().VisibleRows(), rows);
  EXPECT_TRUE(w.shell.Project().HasProjectFile());
  EXPECT_EQ(w.shell.Project().Path(), good);
  EXPECT_FALSE(std::filesystem::exists(ProjectWindowLockPath(cut)));
  EXPECT_TRUE(std::filesystem::exists(ProjectWindowLockPath(good)));
}

TEST(ProjectFileCommands, MissingFileAndUncreatableFileShowTheSystemsReason) {
  TempDir dir;
  Window w;
  w.platform.OpenResults.push_back(dir.File("none.vmprj"));
  w.shell.ProjectFile().OpenProjectCommand();
  ASSERT_EQ(w.platform.Boxes.size(), 1u);
  EXPECT_EQ(w.platform.Boxes[0].Text.rfind("Cannot open file \"" + dir.File("none.vmprj") + "\". ", 0), 0u)
      << w.platform.Boxes[0].Text;

  FillSample(w.table);
  const std::string bad = dir.File("no/such/dir/x.vmprj");
  w.platform.SaveResults.push_back(bad);
  EXPECT_FALSE(w.shell.ProjectFile().SaveProjectAsCommand());
  ASSERT_EQ(w.platform.Boxes.size(), 2u);
  EXPECT_EQ(w.platform.Boxes[1].Text.rfind("Cannot create file \"" + bad + "\". ", 0), 0u) << w.platform.Boxes[1].Text;
  EXPECT_FALSE(w.shell.Project().HasProjectFile());
}

}  // namespace
}  // namespace velmora::ui
