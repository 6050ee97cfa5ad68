// Loader or unit: the one rule that info, new and the window share.
#include <gtest/gtest.h>

#include <string>

#include "analysis/SourceKind.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::TempDir;
using velmora::test::WriteFile;

TEST(SourceKind, TheNameDecidesWhenItNamesALoaderOrAUnit) {
  struct Case {
    const char* path;
    std::optional<SourceKind> kind;
  };
  const Case cases[] = {
      {"LOADING.KWI", SourceKind::Loader},        {"/disc/loading.kwi", SourceKind::Loader},
      {"/disc/APM.BIN", SourceKind::Unit},        {"units/apm.v2.Bin", SourceKind::Unit},
      {"/a.BIN/LOADING.KWI", SourceKind::Loader},  // the folder's name does not count
      {"/LOADING.KWI/apm", std::nullopt},         {"LOADING.KWI.bak", std::nullopt},
      {"ALLDATA1.KWI", std::nullopt},             {"BIN", std::nullopt},
      {".BIN.txt", std::nullopt},                 {"MYLOADING.KWI", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SourceKindByName(c.path), c.kind) << c.path;
}

// Any other name is decided by the content; the name wins over the content.
TEST(SourceKind, OtherNamesAreDecidedByTheContent) {
  TempDir dir;
  const auto loader = sample::MakeLoader(sample::DemoLoaderRecipe());
  const auto unit = sample::MakeDemoApmUnit();
  WriteFile(dir.File("backup.dat"), loader);
  WriteFile(dir.File("apm.dat"), unit);
  WriteFile(dir.File("empty"), std::string());
  WriteFile(dir.File("LOADER.BIN"), loader);
  EXPECT_EQ(DetectSourceKind(dir.File("backup.dat")), SourceKind::Loader);
  EXPECT_EQ(DetectSourceKind(dir.File("apm.dat")), SourceKind::Unit);
  EXPECT_EQ(DetectSourceKind(dir.File("empty")), SourceKind::Unit);
  EXPECT_ANY_THROW(DetectSourceKind(dir.File("missing")));  // the open error reaches the caller
  EXPECT_EQ(DetectSourceKind(dir.File("LOADER.BIN")), SourceKind::Unit);
}
