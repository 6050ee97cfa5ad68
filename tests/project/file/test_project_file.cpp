// The project file: byte layout, round trips, the 8-byte name fields, damaged
// and truncated files, and saves that fail.
#include <gtest/gtest.h>

#include <cstring>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"
#include "project/file/ProjectFile.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;

namespace {

// A small project from a LOADING.KWI: UnitSize 300, SourceSize 200 (image
// 200 bytes), a phrase, a link to it, a hidden phrase with two edited texts.
PhraseTable SmallProject() {
  PhraseTable t;
  t.Info.MakerIndex = 1;
  t.Info.ModuleIndex = 2;
  t.Info.UnitIndex = 3;
  t.Info.UnitOffset = 0x12345678;
  t.Info.SourceSize = 200;
  t.Info.BaseAddress = 0x01000000;
  t.Info.UnitSize = 300;
  t.Info.UnitChecksum = 0xCAFEBABE;
  t.UnitTag = "TAG1";
  t.UnitName = "APM";
  t.SourcePath = "/discs/LOADING.KWI";
  t.UnitImage.resize(200);
  for (size_t i = 0; i < t.UnitImage.size(); ++i) t.UnitImage.MutableData()[i] = static_cast<uint8_t>(i * 7);
  t.Phrases.push_back(TPhrase{128, 150, 5, 0, -1, -1});
  t.Phrases.push_back(TPhrase{132, 150, 5, pfLink, -1, 0});
  t.Phrases.push_back(TPhrase{136, 160, 3, pfHide, -1, -1});
  t.AppendEditedText(2, "Eins");
  t.AppendEditedText(2, "Zwei\r\nDrei");
  t.Phrases[2].Flags = pfOn;
  return t;
}

size_t ImageStart(const PhraseTable& t) { return 64 + 16 * t.Phrases.size(); }

}  // namespace

TEST(ProjectFile, LayoutIsByteExact) {
  TempDir dir;
  PhraseTable t = SmallProject();
  SaveProject(t, dir.File("p.vmprj"));
  const auto b = ReadFile(dir.File("p.vmprj"));

  ASSERT_EQ(b.size(), 64u + 3 * 16 + 200 + (2 + 4) + (2 + 10) + 18);
  EXPECT_EQ(LoadLE32(&b[0]), 64u);
  EXPECT_EQ(LoadLE32(&b[4]), 1u);
  EXPECT_EQ(LoadLE32(&b[8]), 2u);
  EXPECT_EQ(LoadLE32(&b[12]), 3u);
  EXPECT_EQ(LoadLE32(&b[16]), 0x12345678u);
  EXPECT_EQ(LoadLE32(&b[20]), 200u);
  EXPECT_EQ(std::memcmp(&b[24], "TAG1\0\0\0\0", 8), 0);
  EXPECT_EQ(std::memcmp(&b[32], "APM\0\0\0\0\0", 8), 0);
  EXPECT_EQ(LoadLE32(&b[40]), 0x01000000u);
  EXPECT_EQ(LoadLE32(&b[44]), 300u);
  EXPECT_EQ(LoadLE32(&b[48]), 0xCAFEBABEu);
  EXPECT_EQ(LoadLE32(&b[52]), 3u);
  EXPECT_EQ(LoadLE32(&b[56]), 2u);
  EXPECT_EQ(LoadLE32(&b[60]), 18u);

  // Record 1, the link.
  const uint8_t* r1 = &b[64 + 16];
  EXPECT_EQ(LoadLE32(r1 + 0), 132u);
  EXPECT_EQ(LoadLE32(r1 + 4), 150u);
  EXPECT_EQ(LoadLE16(r1 + 8), 5);
  EXPECT_EQ(LoadLE16(r1 + 10), pfLink);
  EXPECT_EQ(LoadLE16(r1 + 12), 0xFFFF);
  EXPECT_EQ(LoadLE16(r1 + 14), 0);
  // Record 2, with its edited text.
  const uint8_t* r2 = &b[64 + 32];
  EXPECT_EQ(LoadLE16(r2 + 10), pfOn);
  EXPECT_EQ(LoadLE16(r2 + 12), 1);
  EXPECT_EQ(LoadLE16(r2 + 14), 0xFFFF);

  const size_t img = ImageStart(t);
  EXPECT_TRUE(std::equal(t.UnitImage.begin(), t.UnitImage.end(), b.begin() + static_cast<long>(img)));
  const size_t texts = img + 200;
  EXPECT_EQ(LoadLE16(&b[texts]), 4);
  EXPECT_EQ(std::string(b.begin() + static_cast<long>(texts) + 2, b.begin() + static_cast<long>(texts) + 6), "Eins");
  EXPECT_EQ(LoadLE16(&b[texts + 6]), 10);
  EXPECT_EQ(std::string(b.end() - 18, b.end()), "/discs/LOADING.KWI");

  // The counts were filled in.
  EXPECT_EQ(t.Info.PhraseCount, 3);
  EXPECT_EQ(t.Info.TextCount, 2);
  EXPECT_EQ(t.Info.SourcePathLength, 18);
}

TEST(ProjectFile, RoundTripGivesTheSameProjectAndTheSameBytes) {
  TempDir dir;
  PhraseTable t = SmallProject();
  SaveProject(t, dir.File("a.vmprj"));

  PhraseTable u;
  OpenProject(u, dir.File("a.vmprj"));
  EXPECT_EQ(std::memcmp(&u.Info, &t.Info, sizeof(ProjectInfo)), 0);
  ASSERT_EQ(u.Phrases.size(), t.Phrases.size());
  EXPECT_EQ(std::memcmp(u.Phrases.data(), t.Phrases.data(), 16 * t.Phrases.size()), 0);
  EXPECT_EQ(u.UnitImage, t.UnitImage);
  EXPECT_EQ(u.EditedTexts, t.EditedTexts);
  EXPECT_EQ(u.SourcePath, t.SourcePath);
  EXPECT_EQ(u.UnitTag, "TAG1");
  EXPECT_EQ(u.UnitName, "APM");
  // Edited twice: both texts kept, the phrase names the second.
  EXPECT_EQ(u.EditedText(u.Phrases[2]), "Zwei\r\nDrei");

  SaveProject(u, dir.File("b.vmprj"));
  EXPECT_EQ(ReadFile(dir.File("a.vmprj")), ReadFile(dir.File("b.vmprj")));
}

TEST(ProjectFile, BinProjectWithoutPhrasesOrTexts) {
  TempDir dir;
  PhraseTable t;
  t.Info.SourceSize = 40;
  t.Info.UnitSize = 0x1000;
  t.UnitImage.assign(40, 0x11);
  t.UnitName = "APM";
  t.UnitTag = "X";
  SaveProject(t, dir.File("bin.vmprj"));
  const auto b = ReadFile(dir.File("bin.vmprj"));
  ASSERT_EQ(b.size(), 64u + 40);
  EXPECT_EQ(LoadLE32(&b[4]), 0xFFFFFFFFu);
  EXPECT_EQ(LoadLE32(&b[60]), 0u);

  PhraseTable u;
  u.SourcePath = "stale";
  OpenProject(u, dir.File("bin.vmprj"));
  EXPECT_EQ(u.Info.MakerIndex, -1);
  EXPECT_EQ(u.Info.UnitOffset, 0u);
  EXPECT_TRUE(u.SourcePath.empty());
  EXPECT_TRUE(u.Phrases.empty());
  EXPECT_EQ(u.UnitImage.size(), 40u);
}

TEST(ProjectFile, NameFieldsHoldEightBytes) {
  struct Case {
    std::string tag, name;
    std::string field;  // the tag's 8 bytes on disc
    std::string readTag, readName;
  };
  const Case cases[] = {
      {"ABCDEFGH", "UNIT", std::string("ABCDEFGH", 8), "ABCDEFGH", "UNIT"},
      {"ABCDEFGHIJ", "LONGNAME12", std::string("ABCDEFGH", 8), "ABCDEFGH", "LONGNAME"},
      {"AB", "", std::string("AB\0\0\0\0\0\0", 8), "AB", ""},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    PhraseTable t;
    t.UnitTag = c.tag;
    t.UnitName = c.name;
    SaveProject(t, dir.File("n.vmprj"));
    const auto b = ReadFile(dir.File("n.vmprj"));
    EXPECT_EQ(std::string(b.begin() + 24, b.begin() + 32), c.field);
    PhraseTable u;
    OpenProject(u, dir.File("n.vmprj"));
    EXPECT_EQ(u.UnitTag, c.readTag);
    EXPECT_EQ(u.UnitName, c.readName);
  }
}

TEST(ProjectFile, DamagedFilesAreRefusedAndLeaveNoProject) {
  TempDir dir;
  PhraseTable good = SmallProject();
  SaveProject(good, dir.File("good.vmprj"));
  const auto base = ReadFile(dir.File("good.vmprj"));
  const size_t img = ImageStart(good);
  const size_t texts = img + 200;

  enum Kind { Format, Read };
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  auto truncate = [](size_t n) { return Edit([n](std::vector<uint8_t>& b) { b.resize(n); }); };
  auto set32 = [](size_t at, uint32_t v) { return Edit([=](std::vector<uint8_t>& b) { StoreLE32(&b[at], v); }); };
  auto set16 = [](size_t at, uint16_t v) { return Edit([=](std::vector<uint8_t>& b) { StoreLE16(&b[at], v); }); };
  struct Case {
    const char* name;
    Edit edit;
    Kind kind;
  };
  const Case cases[] = {
      {"empty file", truncate(0), Format},
      {"inside section 1", truncate(63), Format},
      {"inside the records", truncate(64 + 20), Format},
      {"inside the image", truncate(img + 100), Read},
      {"at the end of the image", truncate(img + 200), Format},
      {"inside an edited text", truncate(texts + 3), Format},
      {"inside the source path", truncate(base.size() - 1), Format},
      {"a byte after the source path", [](std::vector<uint8_t>& b) { b.push_back(0); }, Format},
      {"negative phrase count", set32(52, 0xFFFFFFFF), Format},
      {"negative text count", set32(56, 0x80000000), Format},
      {"negative path length", set32(60, 0xFFFFFFF0), Format},
      {"phrase count too large for the file", set32(52, 0x7FFFFFFF), Format},
      {"text count too large for the file", set32(56, 0x7FFFFFFF), Format},
      {"path length too large for the file", set32(60, 19), Format},
      {"text length too large", set16(texts, 0xFFFF), Format},
      {"unknown flag bit", set16(64 + 10, 8), Format},
      {"pointer beyond the image", set32(64 + 0, 197), Format},
      {"string beyond the image", set32(64 + 4, 196), Format},
      {"edited text index too large", set16(64 + 32 + 12, 2), Format},
      {"edited text index -2", set16(64 + 32 + 12, 0xFFFE), Format},
      {"link to itself", set16(64 + 16 + 14, 1), Format},
      {"link without master", set16(64 + 16 + 14, 0xFFFF), Format},
      {"link to a later record", set16(64 + 16 + 14, 2), Format},
      {"master on a phrase", set16(64 + 32 + 14, 0), Format},
      {"link to a link", [&](std::vector<uint8_t>& b) { StoreLE16(&b[64 + 32 + 10], pfLink); StoreLE16(&b[64 + 32 + 12], 0xFFFF); StoreLE16(&b[64 + 32 + 14], 1); }, Format},
      {"link with an edited text", set16(64 + 16 + 12, 0), Format},
      {"smaller image than the records need", set32(20, 150), Format},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = base;
    c.edit(bytes);
    WriteFile(dir.File("bad.vmprj"), bytes);
    PhraseTable t = SmallProject();  // an open project that the open discards
    try {
      OpenProject(t, dir.File("bad.vmprj"));
      ADD_FAILURE() << "accepted";
    } catch (const EReadError& e) {
      EXPECT_EQ(c.kind, Read);
      EXPECT_EQ(std::string(e.what()).rfind("Stream read error: " + dir.File("bad.vmprj") + ": the file ends at byte ", 0), 0u)
          << e.what();
    } catch (const EFormatError& e) {
      EXPECT_EQ(c.kind, Format);
      EXPECT_NE(std::string(e.what()).find("bad.vmprj\" is damaged"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(t.Phrases.empty());
    EXPECT_TRUE(t.EditedTexts.empty());
    EXPECT_TRUE(t.UnitImage.empty());
    EXPECT_TRUE(t.SourcePath.empty());
    EXPECT_EQ(t.ImageLength(), 0u);
  }
}

TEST(ProjectFile, MissingFileCannotBeOpened) {
  TempDir dir;
  PhraseTable t = SmallProject();
  EXPECT_THROW(OpenProject(t, dir.File("none.vmprj")), EFOpenError);
  EXPECT_TRUE(t.Phrases.empty());
  EXPECT_THROW(OpenProject(t, dir.Path()), EFOpenError);
}

TEST(ProjectFile, FailedSaveKeepsTheEarlierFile) {
  TempDir dir;
  // A file size limit makes the write fail half-way (this works for every
  // user, root included); the limit's signal is ignored by the writer.
  const std::string target = dir.File("limited.vmprj");
  PhraseTable first = SmallProject();
  WriteFile(target, std::string("earlier contents"));
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  struct rlimit small = before;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  try {
    SaveProject(first, target);
    ADD_FAILURE() << "saved";
  } catch (const EWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Stream write error: " + target + ": File too large");
  }
  ::setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(ReadFile(target), std::vector<uint8_t>({'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'c', 'o', 'n', 't', 'e',
                                                    'n', 't', 's'}));

  // A project that cannot be stored (an edited text over 65535 bytes, which
  // continuation lines of an import can grow) is refused before the file is
  // touched, naming the phrase that shows the text.
  const std::string path = dir.File("p.vmprj");
  SaveProject(first, path);
  const auto saved = ReadFile(path);
  first.AppendEditedText(0, "x");
  first.EditedTexts.back().assign(70000, 'x');
  try {
    SaveProject(first, path);
    ADD_FAILURE() << "saved";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("phrase 0 is 70000 bytes long"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFile(path), saved);
  // So is a table without its whole image.
  PhraseTable broken = SmallProject();
  broken.UnitImage.resize(10);
  EXPECT_ANY_THROW(SaveProject(broken, path));
  EXPECT_EQ(ReadFile(path), saved);
  // No temporary files are left behind.
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 2u);
}
