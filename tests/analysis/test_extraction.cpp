// Phrase extraction: pointer tests, the character rules of the three text
// modes, links, contiguity, "Hide ABC", limits and the address range.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "analysis/Extraction.h"
#include "project/text/CodePages.h"
#include "container/io/ByteOrder.h"
#include "sampledata/SampleData.h"

using namespace velmora;

namespace {

constexpr uint32_t kBase = 0x8000;

AnalysisOptions NoRange(TextMode mode = TextMode::English, bool hideAbc = false) {
  AnalysisOptions o;
  o.Mode = mode;
  o.HideAbc = hideAbc;
  o.RangeStart = 0;
  o.RangeEnd = 0xFFFFFFFF;
  return o;
}

// A unit image in a phrase table: pointers and strings placed by hand.
struct Image {
  PhraseTable table;

  explicit Image(uint32_t length, uint32_t base = kBase) {
    table.UnitImage.assign(length, 0);
    table.Info.UnitSize = length;
    table.Info.SourceSize = length;
    table.Info.BaseAddress = base;
  }
  uint32_t L() const { return table.ImageLength(); }
  Image& Ptr(uint32_t at, uint32_t offset) {
    StoreBE32(table.UnitImage.MutableData() + at, table.Info.BaseAddress + offset);
    return *this;
  }
  Image& Bytes(uint32_t at, const std::string& s) {
    std::memcpy(table.UnitImage.MutableData() + at, s.data(), s.size());
    return *this;
  }
  // The string and its zero byte.
  Image& Text(uint32_t at, const std::string& s) { return Bytes(at, s + std::string(1, '\0')); }

  const std::vector<TPhrase>& Run(AnalysisOptions o = NoRange()) {
    ExtractPhrases(table, o);
    return table.Phrases;
  }
};

}  // namespace

TEST(Extraction, WorkedCaseGivesPhraseAndLink) {
  Image img(0x2000);
  img.Bytes(0x200, std::string("\x00\x00\x90\x00", 4)).Bytes(0x1000, std::string("\x4D\x65\x6E\x75\x00", 5));
  img.Ptr(0x240, 0x1000);
  const auto& r = img.Run();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].LinkAddress, 0x200u);
  EXPECT_EQ(r[0].StringAddress, 0x1000u);
  EXPECT_EQ(r[0].Length, 4);
  EXPECT_EQ(r[0].Flags, 0);
  EXPECT_EQ(r[0].EditIndex, -1);
  EXPECT_EQ(r[0].MasterIndex, -1);
  EXPECT_EQ(r[1].LinkAddress, 0x240u);
  EXPECT_EQ(r[1].StringAddress, 0x1000u);
  EXPECT_EQ(r[1].Length, 4);
  EXPECT_EQ(r[1].Flags, pfLink);
  EXPECT_EQ(r[1].EditIndex, -1);
  EXPECT_EQ(r[1].MasterIndex, 0);
  EXPECT_EQ(img.table.OriginText(r[0]), "Menu");
}

TEST(Extraction, LinksNameTheFirstPhraseAndPointersInsideAStringMakeNewPhrases) {
  Image img(0x2000);
  img.Text(0x1000, "Menu").Text(0x1010, "Route Guide");
  img.Ptr(0x200, 0x1000).Ptr(0x204, 0x1010).Ptr(0x208, 0x1000).Ptr(0x20C, 0x1016).Ptr(0x210, 0x1000).Ptr(0x214, 0x1010);
  const auto& r = img.Run();
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[2].Flags, pfLink);
  EXPECT_EQ(r[2].MasterIndex, 0);
  // 0x1016 is "Guide": not a link, a phrase of its own that overlaps.
  EXPECT_EQ(r[3].Flags & pfLink, 0);
  EXPECT_EQ(r[3].StringAddress, 0x1016u);
  EXPECT_EQ(r[3].Length, 5);
  EXPECT_EQ(r[4].MasterIndex, 0);
  EXPECT_EQ(r[5].MasterIndex, 1);
  EXPECT_EQ(r[5].Length, 11);
}

TEST(Extraction, ContiguityShowsPackedStringsAndHidesOthers) {
  struct Case {
    const char* name;
    std::vector<uint32_t> offsets;  // strings, in pointer order
    std::vector<bool> hidden;
  };
  const Case cases[] = {
      {"one byte after the zero byte", {0x1000, 0x1005}, {false, false}},
      {"four bytes after the zero byte", {0x1000, 0x1008}, {false, false}},
      {"five bytes after the zero byte", {0x1000, 0x1009}, {false, true}},
      {"gap of 8 bytes", {0x1000, 0x100C}, {false, true}},
      {"inside the previous string", {0x1000, 0x1002, 0x1008}, {false, true, false}},
      {"reverse order", {0x1030, 0x1020, 0x1010, 0x1000}, {false, true, true, true}},
      {"first phrase far away is shown", {0x1800, 0x1805}, {false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Image img(0x2000);
    uint32_t at = 0x200;
    for (uint32_t off : c.offsets) {
      img.Text(off, "Abcd");
      img.Ptr(at, off);
      at += 4;
    }
    const auto& r = img.Run();
    ASSERT_EQ(r.size(), c.offsets.size());
    for (size_t i = 0; i < r.size(); ++i) EXPECT_EQ((r[i].Flags & pfHide) != 0, c.hidden[i]) << "phrase " << i;
  }
}

TEST(Extraction, LinkRecordsLeaveTheContiguityReferenceAlone) {
  Image img(0x2000);
  img.Text(0x1000, "Abcd").Text(0x1008, "Efgh");
  img.Ptr(0x200, 0x1000).Ptr(0x204, 0x1000).Ptr(0x208, 0x1008);
  const auto& r = img.Run();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1].Flags, pfLink);
  EXPECT_EQ(r[2].Flags, 0);  // still contiguous with the first phrase
}

TEST(Extraction, HideAbcHidesTwoCapitalsOnly) {
  struct Case {
    const char* text;
    bool hideAbc;
    bool hidden;
  };
  const Case cases[] = {
      {"AB menu", true, true}, {"Ab menu", true, false}, {"A menu", true, false}, {"A1", true, false},
      {"A", true, false},      {"ZZ", true, true},       {"AB menu", false, false}, {"<AB>", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Image img(0x2000);
    img.Text(0x1000, c.text).Ptr(0x200, 0x1000);
    const auto& r = img.Run(NoRange(TextMode::English, c.hideAbc));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ((r[0].Flags & pfHide) != 0, c.hidden);
  }
}

TEST(Extraction, CharacterRulesPerMode) {
  using M = TextMode;
  struct Case {
    M mode;
    std::string bytes;  // string bytes; a zero byte is appended
    uint32_t length;    // 0: not a phrase
  };
  const Case cases[] = {
      // First byte, every mode.
      {M::English, "<tag>", 5},
      {M::English, "Menu", 4},
      {M::English, "menu", 0},
      {M::English, "1 Menu", 0},
      {M::English, "0", 0},
      {M::English, " Menu", 0},
      {M::English, "\xC9t\xE9", 0},
      {M::European, "\xC9t\xE9", 3},
      {M::European, "\xDF", 1},
      {M::European, "\xE0x", 0},
      {M::European, "1x", 0},
      {M::Japanese, "Open", 0},
      {M::English, "Open", 4},
      {M::Japanese, "Menu", 4},
      {M::Japanese, "1st", 3},
      {M::Japanese, "9", 1},
      {M::Japanese, "0", 0},
      {M::Japanese, "\x82\xA0", 2},          // a two-byte character
      {M::Japanese, "\x82\x0A", 2},          // any non-zero trail byte
      {M::Japanese, "\xE0\x3F", 0},          // 0xE0 needs a trail of at least 0x40
      {M::Japanese, "\xE0\x40", 2},
      {M::Japanese, "\xB1\xB2", 2},          // half-width katakana, one byte each
      {M::Japanese, "\xB1", 0},              // a lead followed by zero is rejected
      {M::Japanese, "\x80x", 0},
      {M::Japanese, "\xFDx", 0},
      // Following bytes.
      {M::English, "Two\nlines", 9},
      {M::English, "Tab\there", 0},
      {M::English, "CR\r\n", 0},
      {M::English, "Tilde~", 6},
      {M::English, "Del\x7F", 0},
      {M::English, "Caf\xE9", 0},
      {M::European, "Caf\xE9", 4},
      {M::European, "Del\x7F", 4},
      {M::European, "Euro\x80", 0},
      {M::European, "Nbsp\xA0", 0},
      {M::European, "Y\xFF", 2},
      {M::Japanese, "A\x82\x0D", 3},         // the trail byte is not examined on its own
      {M::Japanese, "A\x0D", 0},
      {M::Japanese, "A\x80\xFF\xA5", 4},     // stand-alone high bytes
      {M::Japanese, "A\xFD", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes) + " mode " + std::to_string(static_cast<int>(c.mode)));
    Image img(0x2000);
    img.Text(0x1000, c.bytes).Ptr(0x200, 0x1000);
    const auto& r = img.Run(NoRange(c.mode));
    if (c.length == 0) {
      EXPECT_TRUE(r.empty());
    } else {
      ASSERT_EQ(r.size(), 1u);
      EXPECT_EQ(r[0].Length, c.length);
    }
  }
}

TEST(Extraction, LongestStringIs511Bytes) {
  for (uint32_t len : {510u, 511u, 512u, 600u}) {
    SCOPED_TRACE(len);
    Image img(0x2000);
    img.Text(0x1000, std::string(len, 'M')).Ptr(0x200, 0x1000);
    const auto& r = img.Run();
    if (len <= 511) {
      ASSERT_EQ(r.size(), 1u);
      EXPECT_EQ(r[0].Length, len);
    } else {
      EXPECT_TRUE(r.empty());
    }
  }
  // A two-byte character whose trail byte would be byte 512.
  Image img(0x2000);
  img.Text(0x1000, std::string(510, 'M') + "\x82\xA0").Ptr(0x200, 0x1000);
  EXPECT_TRUE(img.Run(NoRange(TextMode::Japanese)).empty());
  Image img2(0x2000);
  img2.Text(0x1000, std::string(509, 'M') + "\x82\xA0").Ptr(0x200, 0x1000);
  ASSERT_EQ(img2.Run(NoRange(TextMode::Japanese)).size(), 1u);
  EXPECT_EQ(img2.table.Phrases[0].Length, 511);
}

TEST(Extraction, EndOfImageLimits) {
  const uint32_t L = 0x400;
  struct Case {
    const char* name;
    uint32_t target;
    std::string text;
    bool found;
  };
  const Case cases[] = {
      {"target at L-16, zero byte at L-8", L - 16, "Menu1234", true},
      {"target at L-16, zero byte at L-7", L - 16, "Menu12345", false},
      {"target at L-15", L - 15, "Men", false},
      {"one byte string", L - 16, "M", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Image img(L);
    img.Text(c.target, c.text).Ptr(0x200, c.target);
    EXPECT_EQ(img.Run().size(), c.found ? 1u : 0u);
  }
}

TEST(Extraction, ImageLengthIsTheSmallerOfDeclaredAndAvailable) {
  // The string lies beyond SourceSize: it is not in the image the analysis sees.
  Image img(0x2000);
  img.Text(0x1000, "Menu").Ptr(0x200, 0x1000);
  img.table.Info.SourceSize = 0x1000;
  img.table.UnitImage.resize(0x1000);
  EXPECT_TRUE(img.Run().empty());
}

TEST(Extraction, RangeLimitsStringOffsetsNotPointers) {
  Image img(0x2000);
  img.Text(0x1000, "First").Text(0x1100, "Second").Text(0x1200, "Third");
  img.Ptr(0x1F00, 0x1000).Ptr(0x200, 0x1100).Ptr(0x204, 0x1200).Ptr(0x208, 0x1100).Ptr(0x20C, 0x1000);
  auto o = NoRange();
  o.RangeStart = 0x1000;
  o.RangeEnd = 0x1100;
  const auto& r = img.Run(o);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].StringAddress, 0x1100u);
  EXPECT_EQ(r[1].Flags, pfLink);
  EXPECT_EQ(r[2].StringAddress, 0x1000u);  // a phrase: outside-range strings never listed
  EXPECT_EQ(r[2].Flags & pfLink, 0);
  EXPECT_EQ(r[3].LinkAddress, 0x1F00u);    // the pointer may lie anywhere
  EXPECT_EQ(r[3].Flags, pfLink);
}

TEST(Extraction, EmptyOrInvertedRangeFindsNothing) {
  Image img(0x2000);
  img.Text(0x1000, "First").Ptr(0x200, 0x1000);
  auto o = NoRange();
  o.RangeStart = 0x1001;
  o.RangeEnd = 0x1000;
  EXPECT_TRUE(img.Run(o).empty());
}

TEST(Extraction, SmallImagesAndHeaderTargets) {
  // 131 bytes: no candidate. 132 bytes: the word at 128 is one, and it may
  // point into the header (the maker text at 48).
  for (uint32_t len : {131u, 132u}) {
    SCOPED_TRACE(len);
    Image img(len);
    uint8_t word[4];
    StoreBE32(word, kBase + 48);
    // At 131 bytes only three bytes of the word at 128 are in the image.
    img.Text(48, "AISIN AW co.LTD").Bytes(128, std::string(reinterpret_cast<char*>(word), len - 128));
    const auto& r = img.Run();
    EXPECT_EQ(r.size(), len == 132 ? 1u : 0u);
  }
  // v = 0 is never a pointer, even to a valid text.
  Image img(0x400);
  img.Text(0, "Head").Ptr(0x200, 0);
  EXPECT_TRUE(img.Run().empty());
  // Tiny images do not underflow.
  for (uint32_t len : {0u, 4u, 15u, 16u}) {
    Image tiny(len);
    EXPECT_EQ(ExtractPhrases(tiny.table, NoRange()), TextMode::English);
    EXPECT_TRUE(tiny.table.Phrases.empty());
  }
}

TEST(Extraction, PointerValuesWrapAroundThe32BitRange) {
  Image img(0x2000, 0xFFFFFF00);
  img.Text(0x1000, "Wrapped").Ptr(0x200, 0x1000);  // stored value 0x00000F00
  img.Text(0x1100, "Below").Bytes(0x204, std::string("\x7F\xFF\xF0\x00", 4));  // below the base
  const auto& r = img.Run();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].StringAddress, 0x1000u);
}

TEST(Extraction, StopsOnceMoreThan30000Records) {
  // One phrase and 30 100 further pointers to it: the scan stops at 30 001.
  const uint32_t pointers = 30101;
  Image img(0x200 + pointers * 4 + 0x100);
  const uint32_t target = 0x200 + pointers * 4 + 0x10;
  img.Text(target, "Shared");
  for (uint32_t k = 0; k < pointers; ++k) img.Ptr(0x200 + 4 * k, target);
  const auto& r = img.Run();
  ASSERT_EQ(r.size(), kMaxPhraseRecords + 1);
  EXPECT_EQ(r.back().LinkAddress, 0x200u + 4 * kMaxPhraseRecords);
  EXPECT_EQ(r.back().MasterIndex, 0);
}

TEST(Extraction, ClosingStepChoosesTheCodePage) {
  for (auto [mode, cp] : {std::pair{TextMode::English, CodePage::Default}, {TextMode::European, CodePage::Default},
                          {TextMode::Japanese, CodePage::Japanese}}) {
    Image img(100);
    const TextMode found = ExtractPhrases(img.table, NoRange(mode));
    EXPECT_EQ(found, mode);
    EXPECT_EQ(DisplayCodePageFor(found), cp);
  }
}

TEST(Extraction, SampleUnitsGiveTheirPlannedRecords) {
  using namespace velmora::sample;
  struct Case {
    const char* name;
    TextMode mode;
    std::vector<SampleString> strings;
    Order order;
  };
  const Case cases[] = {
      {"english packed", TextMode::English, EnglishMenuTexts(40, 3), Order::Packed},
      {"english reversed", TextMode::English, EnglishMenuTexts(25, 4), Order::Reversed},
      {"european scattered", TextMode::European, EuropeanTexts(30, 5), Order::Scattered},
      {"japanese packed", TextMode::Japanese, JapaneseTexts(30, 6), Order::Packed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitRecipe desc;
    desc.strings = c.strings;
    desc.order = c.order;
    const SampleUnit unit = MakeUnit(desc);
    PhraseTable table;
    table.UnitImage = unit.bytes;
    table.Info.UnitSize = table.Info.SourceSize = static_cast<uint32_t>(unit.bytes.size());
    table.Info.BaseAddress = unit.baseAddress;
    ExtractPhrases(table, NoRange(c.mode));
    const auto expected = ExpectedRecords(unit, true);
    ASSERT_EQ(table.Phrases.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(table.Phrases[i].LinkAddress, expected[i].LinkAddress) << i;
      EXPECT_EQ(table.Phrases[i].StringAddress, expected[i].StringAddress) << i;
      EXPECT_EQ(table.Phrases[i].Length, expected[i].Length) << i;
      EXPECT_EQ(table.Phrases[i].Flags, expected[i].Flags) << i;
      EXPECT_EQ(table.Phrases[i].MasterIndex, expected[i].MasterIndex) << i;
    }
  }
}

TEST(Extraction, APointerIsFoundAtEveryWordPosition) {
  // One pointer, moved through every candidate position of images whose
  // lengths are not multiples of the scan's block size.
  for (uint32_t len : {132u, 135u, 160u, 163u, 300u, 301u}) {
    const uint32_t last = len / 4 * 4 - 4;
    for (uint32_t at = 128; at <= last; at += 4) {
      Image img(len);
      img.Text(48, "AISIN AW co.LTD").Ptr(at, 48);
      const auto& r = img.Run();
      ASSERT_EQ(r.size(), 1u) << "length " << len << " pointer at " << at;
      EXPECT_EQ(r[0].LinkAddress, at);
    }
  }
}
