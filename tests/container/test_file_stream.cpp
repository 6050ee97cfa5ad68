#include "container/io/TLN_FileStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::TempDir;
using test::WriteFile;

// Bytes whose value tells their logical position in a volume set.
uint8_t Mark(int64_t logical) { return static_cast<uint8_t>(logical % 251); }

// Writes volumes of the given sizes named by names[i]; their bytes carry
// Mark() of the logical position.
void WriteVolumes(const TempDir& dir, const std::vector<std::string>& names, const std::vector<int>& sizes) {
  int64_t logical = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    std::vector<uint8_t> b(static_cast<size_t>(sizes[i]));
    for (auto& x : b) x = Mark(logical++);
    WriteFile(dir.File(names[i]), b);
  }
}

std::vector<uint8_t> ReadAt(TStream& s, int64_t pos, size_t count) {
  std::vector<uint8_t> b(count);
  s.Seek(pos, SeekOrigin::Begin);
  b.resize(s.Read(b.data(), count));
  return b;
}

void ExpectMarks(const std::vector<uint8_t>& b, int64_t from) {
  for (size_t i = 0; i < b.size(); ++i) ASSERT_EQ(b[i], Mark(from + static_cast<int64_t>(i))) << "byte " << i;
}

class VolumeSet : public ::testing::Test {
 protected:
  void SetUp() override { WriteVolumes(dir, {"ALLDATA1.KWI", "ALLDATA2.KWI"}, {100, 40}); }
  TempDir dir;
};

TEST_F(VolumeSet, SizesAndSeekFromTheBeginning) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  EXPECT_TRUE(s.MultiVolume());
  ASSERT_EQ(s.Volumes().size(), 2u);
  EXPECT_EQ(s.Volumes()[1].Start, 100);
  EXPECT_EQ(s.Volumes()[1].End, 140);
  EXPECT_EQ(s.TotalSize(), 140);
  EXPECT_EQ(s.VolumeSize(), 100u);
  EXPECT_EQ(s.Size(), 140);
  EXPECT_EQ(s.CurrentVolume(), 0);  // Size() restores the position
  EXPECT_EQ(s.Seek(120, SeekOrigin::Begin), 120);
  EXPECT_EQ(s.CurrentVolume(), 1);
  uint8_t b = 0;
  ASSERT_EQ(s.Read(&b, 1), 1u);
  EXPECT_EQ(b, Mark(120));
}

TEST_F(VolumeSet, ReadAcrossTheBoundary) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  const auto b = ReadAt(s, 90, 30);
  ASSERT_EQ(b.size(), 30u);
  ExpectMarks(b, 90);
  EXPECT_EQ(s.CurrentVolume(), 1);
  EXPECT_EQ(s.Position(), 120);
}

TEST_F(VolumeSet, ReadPastTheLastVolumeRaisesAndKeepsThePosition) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  s.Seek(100, SeekOrigin::Begin);
  std::vector<uint8_t> buf(100, 0xEE);
  try {
    s.Read(buf.data(), 60);
    FAIL() << "no error";
  } catch (const EVolumeReadError& e) {
    EXPECT_EQ(std::string(e.what()), "File Read or File Size Error " + dir.File("ALLDATA2.KWI"));
  }
  EXPECT_EQ(s.Position(), 100);
  EXPECT_EQ(s.CurrentVolume(), 1);
  // Also when the read starts in the first volume.
  s.Seek(50, SeekOrigin::Begin);
  EXPECT_THROW(s.Read(buf.data(), 91), EVolumeReadError);
  EXPECT_EQ(s.Position(), 50);
  EXPECT_EQ(s.Read(buf.data(), 90), 90u);  // exactly to the end is fine
  ExpectMarks({buf.begin(), buf.begin() + 90}, 50);
}

TEST_F(VolumeSet, ReadEndingAtAVolumeEndStaysInThatVolume) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  std::vector<uint8_t> buf(100);
  ASSERT_EQ(s.Read(buf.data(), 100), 100u);
  EXPECT_EQ(s.CurrentVolume(), 0);
  EXPECT_EQ(s.Position(), 100);  // a seek by 0 steps onto the next volume
  EXPECT_EQ(s.CurrentVolume(), 1);
  ASSERT_EQ(s.Read(buf.data(), 5), 5u);
  ExpectMarks({buf.begin(), buf.begin() + 5}, 100);
}

TEST_F(VolumeSet, SeeksFromTheCurrentPositionAndTheEnd) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  EXPECT_EQ(s.Seek(0, SeekOrigin::End), 140);
  EXPECT_EQ(s.CurrentVolume(), 1);
  EXPECT_EQ(s.Seek(-50, SeekOrigin::Current), 90);  // back into volume 1
  EXPECT_EQ(s.CurrentVolume(), 0);
  EXPECT_EQ(s.Seek(5, SeekOrigin::Current), 95);
  EXPECT_EQ(s.Seek(10, SeekOrigin::Current), 105);
  EXPECT_EQ(s.CurrentVolume(), 1);
  EXPECT_EQ(s.Seek(-10, SeekOrigin::End), 130);
  // Positions outside the set are clamped to it.
  EXPECT_EQ(s.Seek(1000, SeekOrigin::Begin), 140);
  EXPECT_EQ(s.Seek(-1000, SeekOrigin::Current), 0);
  EXPECT_EQ(s.CurrentVolume(), 0);
  uint8_t b = 0;
  EXPECT_THROW(s.Write(&b, 1), EWriteError);
}

TEST(VolumeSetNames, WhichNamesOpenASet) {
  TempDir dir;
  WriteVolumes(dir, {"ALLDATA1.KWI", "ALLDATA2.KWI", "ALLDATA4.KWI"}, {10, 10, 10});
  WriteVolumes(dir, {"REGION1.KWI", "REGION2.KWI", "REGION3.KWI"}, {7, 7, 3});
  WriteVolumes(dir, {"alldata1.kwi", "alldata2.kwi"}, {10, 10});
  WriteVolumes(dir, {"ALLDATA1.BIN", "ALLDATA2.BIN"}, {10, 10});
  WriteVolumes(dir, {"LOADING.KWI"}, {2048});
  struct Case { const char* name; bool multi; size_t volumes; int64_t size; };
  const Case cases[] = {
      {"ALLDATA1.KWI", true, 2, 20},   // ALLDATA3 is missing: ALLDATA4 is not taken
      {"REGION1.KWI", true, 3, 17},
      {"alldata1.kwi", false, 0, 10},  // the name test is case-sensitive
      {"ALLDATA1.BIN", false, 0, 10},
      {"LOADING.KWI", false, 0, 2048},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLN_FileStream s(dir.File(c.name));
    EXPECT_EQ(s.MultiVolume(), c.multi);
    EXPECT_EQ(s.Volumes().size(), c.volumes);
    EXPECT_EQ(s.Size(), c.size);
  }
}

TEST(VolumeSetNames, AtMostSixteenVolumes) {
  TempDir dir;
  std::vector<std::string> names;
  for (int k = 1; k <= 17; ++k) names.push_back(std::string("ALLDATA") + static_cast<char>('0' + k) + ".KWI");
  WriteVolumes(dir, names, std::vector<int>(17, 3));
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  ASSERT_EQ(s.Volumes().size(), 16u);
  EXPECT_EQ(s.Volumes()[9].Path, dir.File("ALLDATA:.KWI"));  // 48 + 10
  EXPECT_EQ(s.TotalSize(), 48);
  ExpectMarks(ReadAt(s, 0, 48), 0);
}

TEST(VolumeSetNames, BackslashPathsOpenTheSameFiles) {
  TempDir dir;
  WriteVolumes(dir, {"ALLDATA1.KWI", "ALLDATA2.KWI"}, {100, 40});
  WriteVolumes(dir, {"LOADING.KWI"}, {30});
  std::string back = dir.Path();
  std::replace(back.begin(), back.end(), '/', '\\');
  TLN_FileStream set(back + "\\ALLDATA1.KWI");
  EXPECT_TRUE(set.MultiVolume());
  EXPECT_EQ(set.Size(), 140);
  ExpectMarks(ReadAt(set, 90, 30), 90);
  TLN_FileStream mixed(dir.Path() + "\\ALLDATA1.KWI");
  EXPECT_EQ(mixed.Volumes().size(), 2u);
  TLN_FileStream plain(back + "\\LOADING.KWI");
  EXPECT_FALSE(plain.MultiVolume());
  EXPECT_EQ(plain.Size(), 30);
  EXPECT_EQ(NormalizePath("a/b\\c/D.KWI"), "a\\b\\c\\D.KWI");
}

TEST(VolumeSetNames, MissingFilesRaiseTheOpenError) {
  TempDir dir;
  EXPECT_THROW(TLN_FileStream(dir.File("LOADING.KWI")), EFOpenError);
  EXPECT_THROW(TLN_FileStream(dir.File("ALLDATA1.KWI")), EFOpenError);
  EXPECT_THROW(TLN_FileStream(dir.Path()), EFOpenError);  // a folder
}

// Volumes of unequal size (the set is supposed to have equal ones): the
// stream still finds every byte where it is, and a read may cross more than
// one boundary.
TEST(VolumeSetShapes, UnequalAndEmptyVolumes) {
  TempDir dir;
  WriteVolumes(dir, {"REGION1.KWI", "REGION2.KWI", "REGION3.KWI", "REGION4.KWI"}, {100, 40, 0, 100});
  TLN_FileStream s(dir.File("REGION1.KWI"));
  ASSERT_EQ(s.TotalSize(), 240);
  EXPECT_EQ(s.Seek(150, SeekOrigin::Begin), 150);
  EXPECT_EQ(s.CurrentVolume(), 3);
  ExpectMarks(ReadAt(s, 150, 90), 150);
  ExpectMarks(ReadAt(s, 0, 240), 0);
  ExpectMarks(ReadAt(s, 139, 2), 139);
  std::vector<uint8_t> buf(241);
  s.Seek(0, SeekOrigin::Begin);
  EXPECT_THROW(s.Read(buf.data(), 241), EVolumeReadError);

  TempDir empty;
  WriteVolumes(empty, {"ALLDATA1.KWI", "ALLDATA2.KWI"}, {0, 10});
  TLN_FileStream e(empty.File("ALLDATA1.KWI"));
  EXPECT_EQ(e.VolumeSize(), 0u);
  ExpectMarks(ReadAt(e, 3, 7), 3);
  EXPECT_EQ(e.Seek(0, SeekOrigin::End), 10);
}

// The one reader at a position: it stops at its bound and at the data's
// end, and leaves zero what it does not deliver.
TEST(ReadBytesAt, StopsAtItsBoundAndZeroesWhatItDoesNotDeliver) {
  TMemoryStream data(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  struct Case {
    int64_t pos;
    size_t count;
    int64_t end;
    size_t delivered;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {2, 3, INT64_MAX, 3, {3, 4, 5}},
      {8, 4, INT64_MAX, 2, {9, 10, 0, 0}},  // past the data
      {2, 4, 4, 2, {3, 4, 0, 0}},           // past the bound
      {4, 2, 4, 0, {0, 0}},                 // at the bound
      {12, 2, INT64_MAX, 0, {0, 0}},
      {-1, 3, INT64_MAX, 0, {0, 0, 0}},
      {0, 0, 10, 0, {}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> got(c.count, 0xEE);
    EXPECT_EQ(ReadBytesAt(data, c.pos, got.data(), c.count, c.end), c.delivered) << c.pos << "+" << c.count;
    EXPECT_EQ(got, c.bytes) << c.pos << "+" << c.count;
  }
}

TEST_F(VolumeSet, ReadBytesAtBoundByTheSetsSizeNeverRaises) {
  TLN_FileStream s(dir.File("ALLDATA1.KWI"));
  std::vector<uint8_t> got(30, 0xEE);
  EXPECT_EQ(ReadBytesAt(s, 130, got.data(), got.size(), s.Size()), 10u);
  ExpectMarks(std::vector<uint8_t>(got.begin(), got.begin() + 10), 130);
  EXPECT_EQ(got[10], 0);
}

}  // namespace
}  // namespace velmora
