// The model of where a build writes: which bytes of the image a build of
// the project changes, to what, and who wrote them, worked out from the
// project alone.
#include <gtest/gtest.h>

#include <string>

#include "analysis/UnitHeader.h"
#include "analysis/UnitText.h"
#include "project/build/BinBuilder.h"
#include "project/build/TranslationPlan.h"
#include "project/verify/ExpectedWrites.h"
#include "support/UnitFixture.h"

using namespace velmora;
using namespace velmora::verify;
using test::Phrase;
using test::Translate;
using test::UnitFixture;

namespace {

// What the model says of the bytes [from, from + length): the expected bytes
// (a '?' where the byte is masked), and the writer of each byte.
struct Stretch {
  std::string bytes;
  std::vector<int32_t> writers;
};

Stretch Read(const ExpectedWrites& w, uint64_t from, uint64_t length) {
  Stretch out;
  for (uint64_t o = from; o < from + length; ++o) {
    const Segment* s = w.SegmentAt(o);
    if (!s) {
      out.bytes += '.';  // left as the image holds it
      out.writers.push_back(-1);
      continue;
    }
    out.bytes += s->MaskAt(o) == kFixed ? s->Bytes[o - s->Start] : s->MaskAt(o) == kPointer ? 'P' : 'F';
    out.writers.push_back(s->WriterAt(o));
  }
  return out;
}

std::string Zeros(size_t n) { return std::string(n, '\0'); }

// Phrase 0 in place, phrase 1 relocated with its link record 2, phrase 3
// with a text that is not switched on.
//   0x200 "Main Menu" <- 0x180     0x220 "Settings" <- 0x184, 0x188 (link)
//   0x240 "Volume"    <- 0x18C
PhraseTable Project() {
  UnitFixture u(4096);
  u.Pointer(0x180, 0x200);
  u.Pointer(0x184, 0x220);
  u.Pointer(0x188, 0x220);
  u.Pointer(0x18C, 0x240);
  u.String(0x200, "Main Menu");
  u.String(0x220, "Settings");
  u.String(0x240, "Volume");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x200, 9), Phrase(0x184, 0x220, 8), Phrase(0x188, 0x220, 8, pfLink, -1, 1),
               Phrase(0x18C, 0x240, 6)};
  Translate(t, 0, "Menu");
  Translate(t, 1, "Einstellungen");
  t.AppendEditedText(3, "Lautstaerke");
  return t;
}

TEST(ExpectedWrites, InPlaceTextsRelocatedRoomsRedirectedPointersAndTheHeaderFields) {
  const PhraseTable t = Project();
  const TranslationPlan plan = PlanTranslations(t);
  const ExpectedWrites w(t, plan);

  // In place: the prepared text, then zeros to the end of the old room.
  const std::string menu = PrepareText("Menu");
  const Stretch inPlace = Read(w, 0x200, 9);
  EXPECT_EQ(inPlace.bytes, menu + Zeros(9 - menu.size()));
  EXPECT_EQ(inPlace.writers, std::vector<int32_t>(9, 0));

  // Relocated: the old room emptied, the pointer and its link's redirected.
  EXPECT_EQ(Read(w, 0x220, 9).bytes, Zeros(8) + ".");
  EXPECT_EQ(Read(w, 0x184, 8).bytes, "PPPPPPPP");
  EXPECT_EQ(Read(w, 0x184, 8).writers, std::vector<int32_t>({1, 1, 1, 1, 2, 2, 2, 2}));
  ASSERT_EQ(w.PlanOf(1), 1);
  EXPECT_EQ(w.LinksOf(1), std::vector<size_t>{2});
  EXPECT_TRUE(w.RelocatedRoot(1));
  EXPECT_TRUE(w.RelocatedRoot(2));
  EXPECT_FALSE(w.RelocatedRoot(0));

  // Never written: the pointer of phrase 0, phrase 3 (not switched on).
  EXPECT_EQ(Read(w, 0x180, 4).bytes, "....");
  EXPECT_EQ(Read(w, 0x240, 6).bytes, "......");
  EXPECT_EQ(w.PlanOf(3), -1);

  // The header's size and checksum, and nothing else of the header.
  const Stretch header = Read(w, kUnitSizeOffset - 1, 10);
  EXPECT_EQ(header.bytes, ".FFFFFFFF.");
  EXPECT_EQ(header.writers[1], kHeaderWriter);

  EXPECT_EQ(w.PointerOverwrittenBy(0x180, false), -1);
  EXPECT_EQ(w.PointerOverwrittenBy(0x184, true), -1);  // redirected and nothing else
  for (size_t k = 1; k < w.Segments().size(); ++k) EXPECT_LE(w.Segments()[k - 1].End(), w.Segments()[k].Start);
}

// Strings that share bytes are written in table order: the later write wins
// byte for byte, and each byte names its own writer.
TEST(ExpectedWrites, OverlappingWritesTheLaterWinsByteForByte) {
  UnitFixture u(4096);
  u.Pointer(0x180, 0x300);
  u.Pointer(0x184, 0x304);
  u.String(0x300, "ABCDEFGH");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x300, 8), Phrase(0x184, 0x304, 4)};
  Translate(t, 0, "wxyz12");
  Translate(t, 1, "Q");
  const TranslationPlan plan = PlanTranslations(t);
  const ExpectedWrites w(t, plan);
  const std::string first = PrepareText("wxyz12"), second = PrepareText("Q");
  const Stretch s = Read(w, 0x300, 8);
  EXPECT_EQ(s.bytes, first.substr(0, 4) + second + Zeros(4 - second.size()));
  EXPECT_EQ(s.writers, std::vector<int32_t>({0, 0, 0, 0, 1, 1, 1, 1}));
}

// A link follows its master's pointer word as the writes before it left it:
// when an earlier in-place text ran over that word, the link copies the
// overwritten bytes, and both pointers count as overwritten.
TEST(ExpectedWrites, ALinkCopiesItsMastersPointerAsEarlierWritesLeftIt) {
  UnitFixture u(4096);
  u.Pointer(0x180, 0x19C);  // phrase 0: its room covers the master's pointer at 0x1A0
  u.Pointer(0x1A0, 0x300);  // phrase 1, the master
  u.Pointer(0x1B0, 0x300);  // record 2, its link
  u.String(0x19C, "ab");
  u.String(0x300, "Target");
  PhraseTable t = u.Table();
  t.Phrases = {Phrase(0x180, 0x19C, 12), Phrase(0x1A0, 0x300, 6), Phrase(0x1B0, 0x300, 6, pfLink, -1, 1)};
  Translate(t, 0, "0123456789");
  const TranslationPlan plan = PlanTranslations(t);
  ASSERT_FALSE(plan.Texts[0].Relocated);
  const ExpectedWrites w(t, plan);
  const std::string text = PrepareText("0123456789");
  const Stretch link = Read(w, 0x1B0, 4);
  EXPECT_EQ(link.bytes, text.substr(4, 4));
  EXPECT_EQ(link.writers, std::vector<int32_t>(4, 2));
  EXPECT_EQ(w.PointerOverwrittenBy(0x1A0, false), 0);
  EXPECT_EQ(w.PointerOverwrittenBy(0x1B0, false), 2);
  EXPECT_FALSE(w.RelocatedRoot(2));

  // With the master's pointer left alone the link is not written at all.
  t.Phrases[0].Flags = 0;
  const TranslationPlan none = PlanTranslations(t);
  EXPECT_EQ(Read(ExpectedWrites(t, none), 0x1B0, 4).bytes, "....");
}

}  // namespace
