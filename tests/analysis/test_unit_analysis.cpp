// Reading and checking a unit: header texts, the maker and checksum
// questions and their effect on the table, the image length, short sources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "analysis/AnalyseUnit.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"

using namespace velmora;

namespace {

constexpr uint32_t kBase = 0x01000000;

// A small unit: header with tag and maker text, one pointer to "Menu".
std::vector<uint8_t> MakeUnit(uint32_t size = 0x400, const std::string& maker = "AISIN AW co.LTD",
                              const std::string& tag = "ABCD", bool goodChecksum = true) {
  std::vector<uint8_t> u(size, 0);
  std::memcpy(u.data() + 6, tag.data(), std::min<size_t>(tag.size(), 15));
  std::memcpy(u.data() + 48, maker.data(), std::min<size_t>(maker.size(), 15 + (maker.size() > 15 ? 1 : 0)));
  StoreBE32(u.data() + 112, kBase);
  StoreBE32(u.data() + 116, size);
  if (size >= 0x304) {
    StoreBE32(u.data() + 0x200, kBase + 0x300);
    std::memcpy(u.data() + 0x300, "Menu", 4);
  }
  const uint32_t sum = SumWords(u.data(), u.size());
  StoreBE32(u.data() + 120, goodChecksum ? sum : sum + 1);
  return u;
}

struct Asker {
  std::vector<std::string> asked;
  bool answer = true;
  AskYesNo Fn() {
    return [this](const std::string& q) {
      asked.push_back(q);
      return answer;
    };
  }
};

AnalysisOptions Options(uint32_t end = 0xFFFFFFFF) {
  AnalysisOptions o;
  o.RangeEnd = end;
  return o;
}

// A table that holds an earlier project.
PhraseTable OpenEarlierProject() {
  PhraseTable t;
  t.UnitImage.assign(64, 0xAB);
  t.Info.UnitSize = 64;
  t.Info.SourceSize = 64;
  t.Info.BaseAddress = 0x1234;
  t.Info.UnitChecksum = 77;
  t.UnitTag = "OLD";
  t.Phrases.push_back(TPhrase{128, 20, 3, pfHide, -1, -1});
  t.EditedTexts.push_back("old text");
  return t;
}

}  // namespace

TEST(UnitAnalysis, GoodUnitIsReadAndExtracted) {
  const auto unit = MakeUnit();
  TMemoryStream src(unit);
  PhraseTable t;
  t.Info.SourceSize = static_cast<uint32_t>(unit.size());
  Asker ask;
  const auto r = AnalyseUnit(t, src, 0, Options(), ask.Fn());
  EXPECT_TRUE(r.Completed);
  EXPECT_TRUE(ask.asked.empty());
  EXPECT_EQ(t.UnitTag, "ABCD");
  EXPECT_EQ(t.Info.BaseAddress, kBase);
  EXPECT_EQ(t.Info.UnitSize, unit.size());
  EXPECT_EQ(t.UnitImage, unit);
  ASSERT_EQ(t.Phrases.size(), 1u);
  EXPECT_EQ(t.OriginText(t.Phrases[0]), "Menu");
  EXPECT_EQ(r.Mode, TextMode::English);
}

TEST(UnitAnalysis, HeaderTextsAreCut) {
  struct Case {
    std::string raw;  // 15+ bytes at offset 6
    std::string tag;
  };
  const Case cases[] = {
      {"AB\r\nCD", "AB"},
      {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"},  // 15 bytes, nothing beyond
      {"AB\rCD\nEF", "AB\rCD\nEF"},
      {std::string("AB\0\r\n", 5), "AB"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> h(128, 0);
    std::memcpy(h.data() + 6, c.raw.data(), std::min<size_t>(c.raw.size(), 17));
    EXPECT_EQ(ParseUnitHeader(h.data(), h.size()).UnitTag, c.tag) << testing::PrintToString(c.raw);
  }
}

TEST(UnitAnalysis, MakerTextDecidesTheQuestion) {
  struct Case {
    std::string maker;
    bool asks;
  };
  const Case cases[] = {
      {"AISIN AW co.LTD", false},
      {"AISIN AW co.LTDX", false},  // only 15 characters are read
      {"AISIN-AW", true},
      {"AISIN AW CO.LTD", true},
      {"aisin aw co.ltd", true},
      {"", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maker);
    const auto unit = MakeUnit(0x400, c.maker);
    TMemoryStream src(unit);
    PhraseTable t;
    t.Info.SourceSize = 0x400;
    Asker ask;
    AnalyseUnit(t, src, 0, Options(), ask.Fn());
    EXPECT_EQ(ask.asked.size(), c.asks ? 1u : 0u);
    if (c.asks) {
      EXPECT_EQ(ask.asked[0], kForeignMakerQuestion);
    }
  }
}

TEST(UnitAnalysis, DecliningTheMakerQuestionLeavesTheEarlierProject) {
  const auto unit = MakeUnit(0x400, "OTHER MAKER");
  TMemoryStream src(unit);
  PhraseTable t = OpenEarlierProject();
  const PhraseTable before = t;
  t.Info.SourceSize = 64;
  Asker ask;
  ask.answer = false;
  const auto r = AnalyseUnit(t, src, 0, Options(), ask.Fn());
  EXPECT_FALSE(r.Completed);
  EXPECT_FALSE(r.TableReset);
  EXPECT_EQ(t.UnitImage, before.UnitImage);
  EXPECT_EQ(t.Phrases.size(), 1u);
  EXPECT_EQ(t.EditedTexts, before.EditedTexts);
  EXPECT_EQ(t.UnitTag, "OLD");
  EXPECT_EQ(t.Info.BaseAddress, 0x1234u);
  EXPECT_EQ(t.Info.UnitChecksum, 77u);

  // Answering Yes goes on with the new unit.
  ask.answer = true;
  t.Info.SourceSize = 0x400;
  EXPECT_TRUE(AnalyseUnit(t, src, 0, Options(), ask.Fn()).Completed);
  EXPECT_EQ(t.Phrases.size(), 1u);
  EXPECT_EQ(t.EditedTexts.size(), 0u);
  EXPECT_EQ(t.UnitImage, unit);
}

TEST(UnitAnalysis, ChecksumQuestion) {
  const auto unit = MakeUnit(0x400, "AISIN AW co.LTD", "T", false);
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    TMemoryStream src(unit);
    PhraseTable t = OpenEarlierProject();
    t.Info.SourceSize = 0x400;
    Asker ask;
    ask.answer = yes;
    const auto r = AnalyseUnit(t, src, 0, Options(), ask.Fn());
    ASSERT_EQ(ask.asked.size(), 1u);
    EXPECT_EQ(ask.asked[0], kBadChecksumQuestion);
    EXPECT_EQ(r.Completed, yes);
    EXPECT_TRUE(r.TableReset);
    EXPECT_EQ(t.UnitImage, unit);  // the new unit's image in both cases
    EXPECT_TRUE(t.EditedTexts.empty());
    EXPECT_EQ(t.Phrases.size(), yes ? 1u : 0u);
  }
}

TEST(UnitAnalysis, EmptyAskAnswersNo) {
  const auto unit = MakeUnit(0x400, "NOT AISIN");
  TMemoryStream src(unit);
  PhraseTable t;
  t.Info.SourceSize = 0x400;
  EXPECT_FALSE(AnalyseUnit(t, src, 0, Options(), nullptr).Completed);
}

TEST(UnitAnalysis, ImageLengthIsTheSmallerOfHeaderAndSource) {
  auto unit = MakeUnit(0x400);
  unit[0x3F0] = 0x01;  // a body word that a cut image loses
  StoreBE32(unit.data() + 120, SumWords(unit.data(), unit.size()));
  struct Case {
    const char* name;
    uint32_t sourceSize;
    size_t streamBytes;
    uint32_t imageLength;
    bool checksumQuestion;
  };
  const Case cases[] = {
      {"source longer than the unit", 0x600, 0x600, 0x400, false},
      {"source shorter than the unit", 0x380, 0x380, 0x380, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> data = unit;
    data.resize(c.streamBytes, 0x55);
    TMemoryStream src(data);
    PhraseTable t;
    t.Info.SourceSize = c.sourceSize;
    Asker ask;
    const auto r = AnalyseUnit(t, src, 0, Options(), ask.Fn());
    EXPECT_EQ(t.UnitImage.size(), c.imageLength);
    EXPECT_TRUE(std::equal(t.UnitImage.begin(), t.UnitImage.end(), data.begin()));
    // The checksum covers only the image: a cut image does not match.
    EXPECT_EQ(ask.asked.size(), c.checksumQuestion ? 1u : 0u);
    EXPECT_TRUE(r.Completed);
  }
}

TEST(UnitAnalysis, SourceEndingInsideTheImageLeavesTheTableEmpty) {
  const auto unit = MakeUnit(0x400);
  std::vector<uint8_t> cut(unit.begin(), unit.begin() + 0x300);
  TMemoryStream src(cut);
  PhraseTable t = OpenEarlierProject();
  t.Info.SourceSize = 0x400;  // the directory promised more than the file holds
  Asker ask;
  try {
    AnalyseUnit(t, src, 0, Options(), ask.Fn());
    FAIL() << "no error";
  } catch (const EReadError& e) {
    // Refused before the image is allocated, saying where the source ends.
    EXPECT_EQ(std::string(e.what()), "Stream read error: the file ends at byte 768, before the unit's end at byte 1024");
  }
  EXPECT_TRUE(t.Phrases.empty());
  EXPECT_TRUE(t.EditedTexts.empty());
  EXPECT_TRUE(t.UnitImage.empty());
}

TEST(UnitAnalysis, UnitInsideALargerSource) {
  const auto unit = MakeUnit(0x400);
  std::vector<uint8_t> data(0x1000, 0xEE);
  std::copy(unit.begin(), unit.end(), data.begin() + 0x800);
  TMemoryStream src(data);
  PhraseTable t;
  t.Info.SourceSize = 0x400;
  Asker ask;
  EXPECT_TRUE(AnalyseUnit(t, src, 0x800, Options(), ask.Fn()).Completed);
  EXPECT_TRUE(ask.asked.empty());
  EXPECT_EQ(t.UnitImage, unit);
}

TEST(UnitAnalysis, SmallAndEmptyUnits) {
  struct Case {
    const char* name;
    uint32_t declared;  // UnitSize in the header
    size_t sourceBytes;
    uint32_t storedChecksum;
    bool asks;
    size_t imageLength;
  };
  const Case cases[] = {
      {"UnitSize 0", 0, 0x400, 0, false, 0},
      {"130 bytes, checksum 0", 130, 130, 0, false, 130},
      {"131 bytes, checksum 5", 131, 131, 5, true, 131},
      // Fewer than 124 header bytes: the numbers read as zero.
      {"source of 100 bytes", 0x400, 100, 0x400, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> data(std::max<size_t>(c.sourceBytes, 128), 0);
    std::memcpy(data.data() + 48, "AISIN AW co.LTD", 15);
    StoreBE32(data.data() + 112, kBase);
    StoreBE32(data.data() + 116, c.declared);
    StoreBE32(data.data() + 120, c.storedChecksum);
    data.resize(c.sourceBytes);
    TMemoryStream src(data);
    PhraseTable t;
    t.Info.SourceSize = static_cast<uint32_t>(c.sourceBytes);
    Asker ask;
    const auto r = AnalyseUnit(t, src, 0, Options(), ask.Fn());
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(ask.asked.size(), c.asks ? 1u : 0u);
    EXPECT_EQ(t.UnitImage.size(), c.imageLength);
    EXPECT_TRUE(t.Phrases.empty());
  }
}

TEST(UnitAnalysis, SumWordsAddsWholeBodyWordsWithWrapAround) {
  std::vector<uint8_t> img(128 + 4 * 3 + 3, 0);
  StoreBE32(img.data() + 120, 0xDEADBEEF);  // the header is not summed
  StoreBE32(img.data() + 128, 0xFFFFFFFF);
  StoreBE32(img.data() + 132, 0x00000002);
  StoreBE32(img.data() + 136, 0x10000000);
  img[140] = 0xFF;  // a partial word at the end is not summed
  EXPECT_EQ(SumWords(img.data(), img.size()), 0x10000001u);
  EXPECT_EQ(SumWords(img.data(), 131), 0u);
  EXPECT_EQ(SumWords(img.data(), 132), 0xFFFFFFFFu);
}

// The sum over a stream (read in pieces, for units too large to hold) gives
// the sum over memory, for a unit anywhere in the stream, across piece
// boundaries, and stops where the stream ends whatever length is asked.
TEST(UnitAnalysis, SumWordsOverAStreamEqualsTheSumInMemory) {
  std::vector<uint8_t> file(3 * 65536 + 999);
  uint32_t x = 12345;
  for (auto& b : file) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16);
  TMemoryStream s(file);
  const auto size = static_cast<int64_t>(file.size());
  struct Case { int64_t pos; uint64_t length; };
  for (const Case c : {Case{0, file.size()}, Case{0, 65536 + 128 + 3}, Case{4, 2 * 65536}, Case{777, 131},
                       Case{777, 132}, Case{1000, file.size()}, Case{1000, UINT64_MAX / 2}}) {
    const size_t held = static_cast<size_t>(std::min<uint64_t>(c.length, file.size() - static_cast<size_t>(c.pos)));
    EXPECT_EQ(SumWords(s, size, c.pos, c.length), SumWords(file.data() + c.pos, held)) << c.pos << "+" << c.length;
  }
  EXPECT_EQ(SumWords(s, size, size, 1000), 0u);
  EXPECT_EQ(SumWords(s, size, -4, 1000), 0u);
}

TEST(UnitAnalysis, JapaneseModeChoosesTheJapaneseCodePage) {
  const auto unit = MakeUnit();
  TMemoryStream src(unit);
  PhraseTable t;
  t.Info.SourceSize = 0x400;
  AnalysisOptions o = Options();
  o.Mode = TextMode::Japanese;
  EXPECT_EQ(AnalyseUnit(t, src, 0, o, nullptr).Mode, TextMode::Japanese);
}
