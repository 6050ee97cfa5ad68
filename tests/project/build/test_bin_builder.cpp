// The BIN builder: text preparation, in-place and relocated translations,
// links, the rewritten header, padding and the Save BIN command.
#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "analysis/UnitHeader.h"
#include "analysis/UnitText.h"
#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"
#include "project/file/ProjectFile.h"
#include "support/TestSupport.h"
#include "support/UnitFixture.h"

using namespace velmora;

namespace {

constexpr uint32_t kBase = test::kFixtureBase;
using test::Phrase;
using test::Translate;
using test::UnitFixture;

std::string Bytes(std::span<const uint8_t> v, size_t at, size_t n) {
  return std::string(reinterpret_cast<const char*>(v.data()) + at, n);
}

// The header of a built unit agrees with its contents, and the padding is zero.
void ExpectConsistentUnit(const std::vector<uint8_t>& out) {
  ASSERT_GE(out.size(), 2048u);
  ASSERT_EQ(out.size() % 2048, 0u);
  const uint32_t newSize = LoadBE32(&out[kUnitSizeOffset]);
  ASSERT_LE(newSize, out.size());
  EXPECT_EQ(newSize % 4, 0u);
  EXPECT_EQ(LoadBE32(&out[kUnitChecksumOffset]), SumWords(out.data(), newSize));
  for (size_t i = newSize; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << "padding byte " << i;
}

uint32_t PointerTarget(const std::vector<uint8_t>& out, uint32_t link) { return LoadBE32(&out[link]) - kBase; }

// The text a pointer leads to in the built unit, up to its zero byte.
std::string TextAt(const std::vector<uint8_t>& out, uint32_t offset) {
  const auto* s = reinterpret_cast<const char*>(out.data()) + offset;
  return std::string(s, strnlen(s, out.size() - offset));
}

}  // namespace

TEST(BuildUnit, ProjectWithoutSwitchedOnPhrasesCopiesTheImage) {
  UnitFixture u(1024);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "HELLO");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 5));
  t.AppendEditedText(0, "unused, ON is clear");

  const auto out = AssembleUnit(t);
  ASSERT_EQ(out.size(), 2048u);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 1024), t.UnitImage);
  ExpectConsistentUnit(out);
}

TEST(BuildUnit, ImageOfUnalignedLengthGetsNewSizeAndChecksum) {
  UnitFixture u(1001);
  PhraseTable t = u.Table();
  // The header still declares 1001 and the old checksum; the builder rounds up.
  const auto out = AssembleUnit(t);
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 1004u);
  ExpectConsistentUnit(out);
  EXPECT_EQ(Bytes(out, 0, 116), Bytes(t.UnitImage, 0, 116));
  EXPECT_EQ(Bytes(out, 124, 1001 - 124), Bytes(t.UnitImage, 124, 1001 - 124));
}

TEST(BuildUnit, TranslationsThatFitAreWrittenInPlace) {
  // Origin "ABCDEF" (room 6, its zero byte at 0x206) and "ABCDE" (room 5).
  struct Case {
    const char* name;
    uint16_t length;
    std::string edited;
    std::string expectedRoomAndZero;  // Length + 1 bytes at the string; empty = relocated
  } cases[] = {
      {"exact fit keeps the string's own zero", 6, "uvwxyz", std::string("uvwxyz\0", 7)},
      {"odd text fills the room with its added zero", 6, "uvwxy", std::string("uvwxy\0\0", 7)},
      {"shorter text leaves zeros to the old end", 6, "ab", std::string("ab\0\0\0\0\0", 7)},
      {"line breaks only: empty string", 6, "\r\n\r\n", std::string(7, '\0')},
      {"CR LF becomes LF", 6, "a\r\nb", std::string("a\nb\0\0\0\0", 7)},
      {"odd length equal to the room is one byte too long", 5, "vwxyz", ""},
      {"longer text", 6, "uvwxyz!", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitFixture u(1024);
    u.Pointer(0x180, 0x200);
    u.String(0x200, std::string("ABCDEF").substr(0, c.length));
    PhraseTable t = u.Table();
    t.Phrases.push_back(Phrase(0x180, 0x200, c.length));
    Translate(t, 0, c.edited);

    const auto out = AssembleUnit(t);
    ExpectConsistentUnit(out);
    if (!c.expectedRoomAndZero.empty()) {
      EXPECT_EQ(Bytes(out, 0x200, c.length + 1u), c.expectedRoomAndZero);
      EXPECT_EQ(PointerTarget(out, 0x180), 0x200u);
      EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 1024u);
    } else {
      EXPECT_EQ(Bytes(out, 0x200, c.length), std::string(c.length, '\0'));
      EXPECT_EQ(PointerTarget(out, 0x180), 1024u);
      EXPECT_EQ(TextAt(out, 1024), c.edited);
    }
  }
}

TEST(BuildUnit, RelocatedTextsFollowEachOtherAndEveryOneIsTerminated) {
  // Odd texts get their zero from the preparation; even texts get two zero
  // bytes, so every relocated text ends with a zero and starts at an even
  // distance from the start of the relocation area.
  UnitFixture u(1000);  // 1000 is a multiple of 4: the area starts at 1000
  for (uint32_t k = 0; k < 4; ++k) {
    u.Pointer(0x180 + 4 * k, 0x200 + 0x10 * k);
    u.String(0x200 + 0x10 * k, "abc");
  }
  PhraseTable t = u.Table();
  const std::string texts[] = {"EVEN1234", "ODD1234", "ODDER12", "EVEN"};
  for (uint32_t k = 0; k < 4; ++k) {
    t.Phrases.push_back(Phrase(0x180 + 4 * k, 0x200 + 0x10 * k, 3));
    Translate(t, k, texts[k]);
  }
  const auto out = AssembleUnit(t);
  ExpectConsistentUnit(out);

  // 8 + 2, then 7 + 1, then 7 + 1, then 4 + 2.
  const uint32_t expected[] = {1000, 1010, 1018, 1026};
  for (uint32_t k = 0; k < 4; ++k) {
    EXPECT_EQ(PointerTarget(out, 0x180 + 4 * k), expected[k]) << k;
    EXPECT_EQ(TextAt(out, expected[k]), texts[k]) << k;
    EXPECT_EQ(Bytes(out, 0x200 + 0x10 * k, 3), std::string(3, '\0')) << "old room emptied";
  }
  EXPECT_EQ(Bytes(out, 1026, 6), std::string("EVEN\0\0", 6));
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 1032u);
}

TEST(BuildUnit, FirstRelocationStartsAtImageLengthAndSecondAfterIt) {
  UnitFixture u(1001);
  u.Pointer(0x180, 0x200);
  u.Pointer(0x184, 0x210);
  u.String(0x200, "ab");
  u.String(0x210, "cd");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 2));
  t.Phrases.push_back(Phrase(0x184, 0x210, 2));
  Translate(t, 0, "12345");  // prepared length 6
  Translate(t, 1, "xyz");
  const auto out = AssembleUnit(t);
  EXPECT_EQ(LoadBE32(&out[0x180]), 1001u + kBase);
  EXPECT_EQ(LoadBE32(&out[0x184]), 1001u + 6 + kBase);
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 1012u);  // 1011 rounded up
  ExpectConsistentUnit(out);
}

TEST(BuildUnit, LinkFollowsItsMasterOnlyWhenTheMasterMoved) {
  struct Case {
    const char* name;
    uint16_t masterFlags;
    std::string masterText;
    bool moved;
  } cases[] = {
      {"master relocated", pfOn, "a much longer text", true},
      {"master in place", pfOn, "hi", false},
      {"master switched off", 0, "a much longer text", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitFixture u(1024);
    u.Pointer(0x180, 0x200);
    u.Pointer(0x190, 0x200);
    u.String(0x200, "HELLO");
    PhraseTable t = u.Table();
    t.Phrases.push_back(Phrase(0x180, 0x200, 5));
    t.Phrases.push_back(Phrase(0x190, 0x200, 5, pfLink, -1, 0));
    t.AppendEditedText(0, c.masterText);
    t.Phrases[0].Flags = c.masterFlags;
    const auto out = AssembleUnit(t);
    EXPECT_EQ(PointerTarget(out, 0x180), c.moved ? 1024u : 0x200u);
    EXPECT_EQ(Bytes(out, 0x190, 4), Bytes(out, 0x180, 4));
    if (c.moved) {
      EXPECT_EQ(TextAt(out, PointerTarget(out, 0x190)), c.masterText);
    }
    ExpectConsistentUnit(out);
  }
}

TEST(BuildUnit, EditedTextOnLinkRecordIsNeverWritten) {
  UnitFixture u(1024);
  u.Pointer(0x180, 0x200);
  u.Pointer(0x190, 0x200);
  u.String(0x200, "HELLO");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 5));
  t.Phrases.push_back(Phrase(0x190, 0x200, 5, pfLink | pfOn, -1, 0));
  t.EditedTexts.push_back("LINKTEXT THAT IS LONG");
  t.Phrases[1].EditIndex = 0;
  const auto out = AssembleUnit(t);
  EXPECT_EQ(Bytes(out, 0, 1024).substr(128), Bytes(t.UnitImage, 0, 1024).substr(128));
}

TEST(BuildUnit, SharedBytesAreWrittenInTableOrder) {
  // "HELLO WORLD" at 0x200 and its tail "WORLD" at 0x206 as a phrase of its own.
  auto make = [] {
    UnitFixture u(1024);
    u.Pointer(0x180, 0x200);
    u.Pointer(0x184, 0x206);
    u.String(0x200, "HELLO WORLD");
    PhraseTable t = u.Table();
    t.Phrases.push_back(Phrase(0x180, 0x200, 11));
    t.Phrases.push_back(Phrase(0x184, 0x206, 5));
    return t;
  };
  {
    PhraseTable t = make();
    Translate(t, 0, "GOODBYE AL");  // 10 bytes: in place
    Translate(t, 1, "EARTH");  // 5 -> 6 bytes: relocated, zeroing its old room inside phrase 0
    const auto out = AssembleUnit(t);
    EXPECT_EQ(Bytes(out, 0x200, 12), std::string("GOODBY\0\0\0\0\0\0", 12));
    EXPECT_EQ(TextAt(out, PointerTarget(out, 0x184)), "EARTH");
  }
  {
    PhraseTable t = make();
    Translate(t, 0, "GOODBYE AL");  // 10 bytes: in place
    Translate(t, 1, "MOON");  // in place, the later phrase wins
    const auto out = AssembleUnit(t);
    EXPECT_EQ(Bytes(out, 0x200, 12), std::string("GOODBYMOON\0\0", 12));
  }
}

TEST(BuildUnit, RecordsThatBreakTheTableRulesAreLeftAlone) {
  UnitFixture u(1024);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "HELLO");
  PhraseTable base = u.Table();
  base.EditedTexts.push_back("a text long enough to be relocated");
  const auto reference = AssembleUnit(base);

  const TPhrase bad[] = {
      Phrase(0x180, 0x200, 5, pfOn, -1),                // ON without a text
      Phrase(0x180, 0x200, 5, pfOn, 7),                 // text index past the list
      Phrase(1024, 0x200, 5, pfOn, 0),                  // pointer outside the image
      Phrase(0xFFFFFFFE, 0x200, 5, pfOn, 0),            // pointer offset that wraps
      Phrase(0x180, 1020, 5, pfOn, 0),                  // string reaching past the image
      Phrase(0x180, 0xFFFFFFFF, 5, pfOn, 0),            // string offset that wraps
      Phrase(0x180, 0x300, 5, pfLink, -1, 0),           // link naming itself
      Phrase(0x180, 0x300, 5, pfLink, -1, 5),           // link naming a later record
      Phrase(0x180, 0x300, 5, pfLink, -1, -1),          // link without a master
  };
  for (const auto& p : bad) {
    PhraseTable t = base;
    t.Phrases.push_back(p);
    EXPECT_EQ(AssembleUnit(t), reference) << "record " << (&p - bad);
  }
}

TEST(BuildUnit, TextLongerThanAnyLengthFieldIsRelocatedWhole) {
  UnitFixture u(1024);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "ab");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 2));
  // More than an edited text may hold when it is entered (continuation
  // lines of an import can still grow one that far in memory).
  const std::string huge(70000, 'x');
  Translate(t, 0, "short");
  t.EditedTexts[0] = huge;
  const auto out = AssembleUnit(t);
  ExpectConsistentUnit(out);
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 71028u);  // 1024 + 70000 + 2 zero bytes, rounded to 4
  EXPECT_EQ(TextAt(out, PointerTarget(out, 0x180)), huge);
}

TEST(BuildUnit, ImageShorterThanDeclaredIsNotReadPastItsEnd) {
  UnitFixture u(1024);
  PhraseTable t = u.Table();
  t.UnitImage.resize(600);  // a damaged project: fewer bytes than ImageLength
  const auto out = AssembleUnit(t);
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 600u);
  ExpectConsistentUnit(out);
}

TEST(BuildUnit, NewSizeOfWholeSectorsGetsNoPadding) {
  UnitFixture u(4096);
  PhraseTable t = u.Table();
  EXPECT_EQ(AssembleUnit(t).size(), 4096u);

  // 4080 bytes of image plus a relocated 16-byte text end exactly at 4096.
  UnitFixture v(4080);
  v.Pointer(0x180, 0x200);
  v.String(0x200, "ab");
  PhraseTable w = v.Table();
  w.Phrases.push_back(Phrase(0x180, 0x200, 2));
  Translate(w, 0, "0123456789abc");  // 13 -> 14 with its zero, then +2 to even the next
  const auto out = AssembleUnit(w);
  EXPECT_EQ(out.size(), 4096u);
  EXPECT_EQ(LoadBE32(&out[kUnitSizeOffset]), 4096u);
  ExpectConsistentUnit(out);
}

TEST(BuildUnit, EmptyImageWritesNothing) {
  PhraseTable t;
  TMemoryStream s;
  EXPECT_EQ(BuildUnit(t, s), 0);
  EXPECT_EQ(s.Size(), 0);
}

TEST(BuildUnit, WritesAtTheStreamPositionAndLeavesTheStreamAfterTheUnit) {
  UnitFixture u(1500);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "ab");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 2));
  Translate(t, 0, "relocated text");

  TMemoryStream s;
  s.WriteBuffer("0123456789", 10);
  const int64_t count = BuildUnit(t, s);
  EXPECT_EQ(count, 2048);
  EXPECT_EQ(s.Position(), 10 + count);
  const auto& data = s.Data();
  EXPECT_EQ(Bytes(data, 0, 10), "0123456789");
  const std::vector<uint8_t> unit(data.begin() + 10, data.end());
  EXPECT_EQ(unit, AssembleUnit(t));
  // Pointers are unit offsets plus the base address, not stream positions.
  EXPECT_EQ(PointerTarget(unit, 0x180), 1500u);
  // Building twice from the same project gives the same bytes.
  EXPECT_EQ(AssembleUnit(t), unit);
}

// A unit of several pages whose texts and pointers sit across page
// boundaries, with an image length that is not a whole number of words:
// what lands in place and what moves, a link that follows its moved master,
// and the checksum over the word split between the image and the moved
// texts. Built from the project in memory and from the project file (whose
// image is then a mapping of the file) it gives the same bytes.
TEST(BuildUnit, TextsAcrossPageBoundariesFromMemoryAndFromTheProjectFile) {
  UnitFixture u(4 * 4096 + 2);
  u.Pointer(0x1FFE, 0x0FFC);  // a pointer across the page boundary at 0x2000
  u.String(0x0FFC, "Across");  // a text across the boundary at 0x1000
  u.Pointer(0x2FFC, 0x3FFD);
  u.String(0x3FFD, "Moves");  // across the boundary at 0x4000
  u.Pointer(0x3000, 0x3FFD);  // a second pointer to it, on the next page
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x1FFE, 0x0FFC, 6));
  t.Phrases.push_back(Phrase(0x2FFC, 0x3FFD, 5));
  t.Phrases.push_back(Phrase(0x3000, 0x3FFD, 5, pfLink, -1, 1));
  Translate(t, 0, "Inside");
  Translate(t, 1, "Moved far away");

  const std::vector<uint8_t> out = AssembleUnit(t);
  ExpectConsistentUnit(out);
  EXPECT_EQ(PointerTarget(out, 0x1FFE), 0x0FFCu);
  EXPECT_EQ(TextAt(out, 0x0FFC), "Inside");
  EXPECT_EQ(PointerTarget(out, 0x2FFC), 4 * 4096u + 2);
  EXPECT_EQ(PointerTarget(out, 0x3000), 4 * 4096u + 2);
  EXPECT_EQ(TextAt(out, 4 * 4096 + 2), "Moved far away");
  EXPECT_EQ(Bytes(out, 0x3FFD, 5), std::string(5, '\0'));

  test::TempDir dir;
  SaveProject(t, dir.File("p.vmprj"));
  PhraseTable opened;
  OpenProject(opened, dir.File("p.vmprj"));
  ASSERT_TRUE(opened.UnitImage.Mapped());
  EXPECT_EQ(AssembleUnit(opened), out);
  EXPECT_EQ(SaveBin(opened, dir.File("p.BIN")), static_cast<int64_t>(out.size()));
  EXPECT_EQ(test::ReadFile(dir.File("p.BIN")), out);
}

TEST(SaveBin, WritesTheUnitAloneAndReportsStatus) {
  test::TempDir dir;
  UnitFixture u(3000);
  u.Pointer(0x180, 0x200);
  u.String(0x200, "ab");
  PhraseTable t = u.Table();
  t.Phrases.push_back(Phrase(0x180, 0x200, 2));
  Translate(t, 0, "longer");

  // The project's own .BIN is replaced; the unit's bytes come from the project.
  const std::string path = dir.File("APM.BIN");
  test::WriteFile(path, std::vector<uint8_t>(t.UnitImage.begin(), t.UnitImage.end()));
  std::vector<std::string> status;
  const int64_t count = SaveBin(t, path, [&](std::string_view s) { status.emplace_back(s); });
  const auto file = test::ReadFile(path);
  EXPECT_EQ(count, static_cast<int64_t>(file.size()));
  EXPECT_EQ(file, AssembleUnit(t));
  EXPECT_EQ(status, (std::vector<std::string>{"Creating BIN file. Please wait ...",
                                               "The creation of the BIN file is complete."}));
  // Opened again, the unit passes the checksum test over its declared size.
  const uint32_t size = LoadBE32(&file[kUnitSizeOffset]);
  EXPECT_EQ(SumWords(file.data(), size), LoadBE32(&file[kUnitChecksumOffset]));
}

TEST(SaveBin, UncreatableFileRaisesBeforeAnyStatus) {
  test::TempDir dir;
  UnitFixture u(1024);
  PhraseTable t = u.Table();
  std::vector<std::string> status;
  EXPECT_THROW(SaveBin(t, dir.File("missing/APM.BIN"), [&](std::string_view s) { status.emplace_back(s); }),
               EFCreateError);
  EXPECT_TRUE(status.empty());
}
