// Save LOADING.KWI As with other projects of the same module: the units
// dialog adds and removes them, refuses the ones that do not fit with the
// reason, and the loader then carries every project's unit as the BIN
// builder writes it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/UiTestSupport.h"
#include "analysis/ProjectCreation.h"
#include "container/kiwi/Loading.h"
#include "project/build/BinBuilder.h"
#include "project/file/PhraseEdits.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/logic/shell/ShellController.h"

namespace velmora::ui {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Bytes = std::vector<uint8_t>;

// The demo loader's table-layout module holds APM, MAP and BOOT; the window
// shows a project of its APM unit.
class LoaderUnitsTest : public ::testing::Test, protected testing::TestWindow {
 protected:
  LoaderUnitsTest() : testing::TestWindow(Files::Real) {
    Start();
    loaderPath = OpenDemoLoaderProject(dir.Path());
    EXPECT_EQ(table.UnitName, "APM");
    EXPECT_EQ(table.Info.ModuleIndex, 0);
    ApplyEditedText(table, 1, std::string(table.Phrases[1].Length + 9u, 'W'));
    map = Project(0, 1, "map.vmprj");
    boot = Project(0, 2, "boot.vmprj");
  }

  // A project file of a unit of the demo loader, one text moved.
  std::string Project(int module, int unit, const std::string& name) {
    PhraseTable t;
    AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFFu;
    CreateProjectFromLoader(t, loaderPath, -1, module, unit, options, [](const std::string&) { return true; });
    ApplyEditedText(t, 0, std::string(t.Phrases[0].Length + 3u, 'T'));
    const std::string path = dir.File(name);
    SaveProject(t, path);
    return path;
  }
  Bytes BinOf(const std::string& projectPath) {
    PhraseTable t;
    velmora::OpenProject(t, projectPath);
    const std::string bin = projectPath + ".BIN";
    SaveBin(t, bin);
    return ReadFile(bin);
  }
  static Bytes Slice(const Bytes& b, size_t at, size_t n) {
    if (at + n > b.size()) return {};
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
  }

  TempDir dir;
  std::string loaderPath, map, boot;
};

TEST_F(LoaderUnitsTest, AddedProjectsGoIntoTheLoaderAndMisfitsAreRefusedWithTheReason) {
  const std::string otherModule = Project(1, 0, "split-apm.vmprj");
  const std::string binUnit = dir.File("APM.BIN");
  WriteFile(binUnit, sample::MakeDemoApmUnit());
  PhraseTable fromBin;
  CreateProjectFromBin(fromBin, binUnit, {}, [](const std::string&) { return true; });
  const std::string binProject = dir.File("bin.vmprj");
  SaveProject(fromBin, binProject);
  const std::string notAProject = dir.File("junk.vmprj");
  WriteFile(notAProject, std::string("no project"));

  const std::string out = dir.File("OUT.KWI");
  platform.SaveResults.push_back(out);
  std::vector<std::string> rows;
  platform.OnLoaderUnitsForm = [&](LoaderUnitsForm& f) {
    EXPECT_EQ(f.Rows().size(), 1u) << "the open project alone";
    platform.OpenResults = {map, map, otherModule, binProject, notAProject, std::nullopt, boot};
    EXPECT_TRUE(f.AddBtnClick());
    EXPECT_FALSE(f.AddBtnClick());  // MAP again
    EXPECT_FALSE(f.AddBtnClick());  // another module
    EXPECT_FALSE(f.AddBtnClick());  // a .BIN project
    EXPECT_FALSE(f.AddBtnClick());  // no project at all
    EXPECT_FALSE(f.AddBtnClick());  // cancelled
    EXPECT_TRUE(f.AddBtnClick());
    f.RemoveBtnClick(0);  // the open project stays
    f.RemoveBtnClick(1);  // MAP goes
    EXPECT_EQ(f.AddedPaths(), std::vector<std::string>{boot});
    platform.OpenResults = {map};
    EXPECT_TRUE(f.AddBtnClick());
    rows = f.Rows();
    return true;
  };
  shell.Output().SaveFileCommand();
  EXPECT_EQ(platform.LoaderUnitsShown, 1);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], "BOOT_BOOT  (unit 2)  " + boot);
  EXPECT_EQ(rows[2], "MAP_MAP  (unit 1)  " + map);

  FileDialogRequest add{kProjectFilter, "", ""};
  add.MustExist = true;
  add.Folder = dir.Path();
  ASSERT_FALSE(platform.OpenDialogs.empty());
  EXPECT_EQ(platform.OpenDialogs[0], add);
  ASSERT_EQ(platform.Boxes.size(), 4u);
  const std::pair<std::string, std::string> refusals[] = {
      {map, "its unit 1 (MAP) is already translated by project 2 (MAP_MAP)"},
      {otherModule, "its unit lies in module 1 of maker entry 1; the loader carries module 0 of maker entry 1"},
      {binProject, "it was made from a .BIN file"},
      {notAProject, ""},
  };
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(platform.Boxes[i].Kind, BoxKind::Warning);
    EXPECT_EQ(platform.Boxes[i].Text.rfind(refusals[i].first + "\r\n" + refusals[i].second, 0), 0u)
        << platform.Boxes[i].Text;
  }

  // Each translated unit is what the BIN builder writes; the module's
  // units stand in their order with the open project's APM first.
  const Bytes built = ReadFile(out);
  const TLN_Loading loader(out);
  ASSERT_TRUE(loader.Valid);
  const auto& units = loader.Frame.Makers[0].Modules[0].Units;
  ASSERT_EQ(units.size(), 3u);
  PhraseTable open = table;
  const std::string openBin = dir.File("open.BIN");
  SaveBin(open, openBin);
  EXPECT_EQ(Slice(built, units[0].Offset, ReadFile(openBin).size()), ReadFile(openBin));
  const Bytes mapBin = BinOf(map), bootBin = BinOf(boot);
  EXPECT_EQ(Slice(built, units[1].Offset, mapBin.size()), mapBin);
  EXPECT_EQ(Slice(built, units[2].Offset, bootBin.size()), bootBin);
  // Verified against every project: one text moved in each of the three.
  EXPECT_EQ(platform.Status.at(2), "show:Verified: 0 translations in place, 3 relocated.");
}

TEST_F(LoaderUnitsTest, CancelWritesNothingAndNoOutputNamesAnAddedProject) {
  const std::string out = dir.File("OUT.KWI");
  platform.SaveResults.push_back(out);
  platform.OnLoaderUnitsForm = [&](LoaderUnitsForm& f) {
    platform.OpenResults = {map};
    EXPECT_TRUE(f.AddBtnClick());
    return false;
  };
  shell.Output().SaveFileCommand();
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_TRUE(platform.Status.empty());

  // The output names the added project's file: refused, the file unchanged.
  const Bytes before = ReadFile(map);
  platform.SaveResults.push_back(map);
  platform.OnLoaderUnitsForm = [&](LoaderUnitsForm& f) {
    platform.OpenResults = {map};
    return f.AddBtnClick();
  };
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Kind, BoxKind::Error);
  EXPECT_EQ(ReadFile(map), before);

  // With no project added the dialog was opened afresh: the open project alone.
  platform.Boxes.clear();
  platform.SaveResults.push_back(out);
  size_t rows = 0;
  platform.OnLoaderUnitsForm = [&](LoaderUnitsForm& f) {
    rows = f.Rows().size();
    return true;
  };
  shell.Output().SaveFileCommand();
  EXPECT_EQ(rows, 1u);
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_EQ(TLN_Loading(out).Frame.Makers.at(0).Modules.at(0).Units.size(), 3u);
}

TEST_F(LoaderUnitsTest, AMovedSourceMustServeEveryProject) {
  // The loader moves away: the added project is accepted without a source
  // to check, and the source dialog then asks for one that serves both.
  const std::string moved = dir.File("moved/LOADING.KWI");
  std::filesystem::create_directories(dir.File("moved"));
  std::filesystem::rename(loaderPath, moved);
  // A loader that holds the open project's APM but another MAP.
  sample::LoaderRecipe recipe = sample::DemoLoaderRecipe();
  std::swap(recipe.makers[1].modules[0].units[1].second, recipe.makers[1].modules[1].units[1].second);
  const std::string other = dir.File("other/LOADING.KWI");
  std::filesystem::create_directories(dir.File("other"));
  WriteFile(other, sample::MakeLoader(recipe));

  const std::string out = dir.File("OUT.KWI");
  platform.SaveResults.push_back(out);
  platform.OnLoaderUnitsForm = [&](LoaderUnitsForm& f) {
    platform.OpenResults = {map};
    return f.AddBtnClick();
  };
  platform.OnCreateForm = [&](CreateForm& f) {
    platform.OpenResults = {other, moved};
    EXPECT_FALSE(f.OpenSourceBtnClick());
    return f.OpenSourceBtnClick();
  };
  shell.Output().SaveFileCommand();
  ASSERT_EQ(platform.Boxes.size(), 1u);
  EXPECT_EQ(platform.Boxes[0].Text, other + "\r\nНеподходящий файл !!!");
  const TLN_Loading loader(out);
  ASSERT_TRUE(loader.Valid);
  const Bytes mapBin = BinOf(map);
  EXPECT_EQ(Slice(ReadFile(out), loader.Frame.Makers[0].Modules[0].Units[1].Offset, mapBin.size()), mapBin);

  // Afterwards the source dialog tests the open project alone again.
  platform.OnCreateForm = [&](CreateForm& f) {
    platform.OpenResults = {other};
    return f.OpenSourceBtnClick();
  };
  platform.OnLoaderUnitsForm = nullptr;
  platform.Boxes.clear();
  platform.SaveResults.push_back(dir.File("OUT2.KWI"));
  shell.Output().SaveFileCommand();
  EXPECT_TRUE(platform.Boxes.empty());
  EXPECT_TRUE(TLN_Loading(dir.File("OUT2.KWI")).Valid);
}

}  // namespace
}  // namespace velmora::ui
