// The limits of edited texts: every edit appends a text and EditIndex can
// name 32,768 of them, so a long-lived project makes room by dropping the
// texts no phrase uses any more -- only then, so that below the limit files
// stay exactly as they always were. A text too long for the project file's
// 16-bit length is refused naming its phrase.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"
#include "project/file/ProjectFile.h"
#include "project/exchange/TextExchange.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// n phrases (a link record after every tenth) over a unit of its own.
PhraseTable Project(size_t n) {
  PhraseTable t;
  const uint32_t size = static_cast<uint32_t>(256 + 4 * n);
  t.Info.UnitSize = t.Info.SourceSize = size;
  t.UnitImage.assign(size, 'A');
  for (size_t i = 0; i < n; ++i) {
    const auto link = static_cast<uint32_t>(128 + 4 * i);
    if (i % 10 == 9) t.Phrases.push_back({link, 128, 4, pfLink, -1, static_cast<int16_t>(i - 1)});
    else t.Phrases.push_back({link, 128, 4, 0, -1, -1});
  }
  return t;
}

std::string TextOf(const PhraseTable& t, size_t i) { return std::string(t.EditedText(t.Phrases[i])); }

TEST(EditedTextLimits, BelowTheLimitEveryTextIsKeptInOrder) {
  PhraseTable t = Project(3);
  for (int k = 0; k < 1000; ++k) t.AppendEditedText(static_cast<size_t>(k % 3), "text " + std::to_string(k));
  ASSERT_EQ(t.EditedTexts.size(), 1000u);
  for (int k = 0; k < 1000; ++k) EXPECT_EQ(t.EditedTexts[static_cast<size_t>(k)], "text " + std::to_string(k));
  EXPECT_EQ(t.Phrases[0].EditIndex, 999);
  EXPECT_EQ(t.Phrases[1].EditIndex, 997);
}

TEST(EditedTextLimits, AtTheLimitUnusedTextsMakeRoomAndTheRestKeepTheirOrder) {
  PhraseTable t = Project(4);
  t.Phrases[3].EditIndex = -1;
  for (size_t k = 0; k < kMaxEditedTexts; ++k) t.AppendEditedText(k % 3, std::string("t").append(std::to_string(k)));
  ASSERT_EQ(t.EditedTexts.size(), kMaxEditedTexts);
  const std::string last0 = TextOf(t, 0), last1 = TextOf(t, 1), last2 = TextOf(t, 2);

  t.AppendEditedText(3, "new");
  // The three texts in use, in their old order, then the new one.
  EXPECT_EQ(t.EditedTexts, (std::vector<std::string>{"t32765", "t32766", "t32767", "new"}));
  EXPECT_EQ(TextOf(t, 0), last0);
  EXPECT_EQ(TextOf(t, 1), last1);
  EXPECT_EQ(TextOf(t, 2), last2);
  EXPECT_EQ(TextOf(t, 3), "new");
}

TEST(EditedTextLimits, WhenEveryPositionIsInUseTheNewTextIsRefusedByItsPhrase) {
  PhraseTable t = Project(kMaxEditedTexts + 1);
  for (auto& p : t.Phrases) p = {p.LinkAddress, 128, 4, 0, -1, -1};
  for (size_t i = 0; i < kMaxEditedTexts; ++i) t.AppendEditedText(i, "in use");
  try {
    t.AppendEditedText(kMaxEditedTexts, "one more");
    FAIL() << "accepted";
  } catch (const ERefusal& e) {
    EXPECT_STREQ(e.what(),
                 "Phrase 32768 cannot take another edited text: all 32768 edited texts of the project are in use.");
  }
  EXPECT_EQ(t.EditedTexts.size(), kMaxEditedTexts);
  EXPECT_EQ(t.Phrases[kMaxEditedTexts].EditIndex, -1);
}

TEST(EditedTextLimits, ATextTooLongForTheProjectFileIsRefusedByItsPhrase) {
  PhraseTable t = Project(5);
  t.AppendEditedText(2, "kept");
  EXPECT_NO_THROW(t.AppendEditedText(4, std::string(kMaxEditedTextLength, 'x')));
  try {
    t.AppendEditedText(2, std::string(kMaxEditedTextLength + 1, 'x'));
    FAIL() << "accepted";
  } catch (const ERefusal& e) {
    EXPECT_STREQ(e.what(), "The edited text of phrase 2 is 65536 bytes long; a project keeps at most 65535 bytes per text.");
  }
  EXPECT_EQ(TextOf(t, 2), "kept");
  EXPECT_EQ(t.EditedTexts.size(), 2u);
}

// The import file that gives every phrase of the project a text.
std::string FullImport(const PhraseTable& t, const std::string& tag) {
  std::string file;
  for (size_t i = 0; i < t.Phrases.size(); ++i)
    if (!(t.Phrases[i].Flags & pfLink)) file += std::to_string(i) + " = " + tag + std::to_string(i) + "\r\n";
  return file;
}

TEST(EditedTextLimits, ASecondFullImportOfA30000PhraseProjectSucceeds) {
  TempDir dir;
  PhraseTable t = Project(30000);
  const int first = ImportPhrases(t, FullImport(t, "first "));
  EXPECT_EQ(first, 27000);
  const int second = ImportPhrases(t, FullImport(t, "second "));
  EXPECT_EQ(second, 27000);
  EXPECT_LE(t.EditedTexts.size(), kMaxEditedTexts);
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    if (t.Phrases[i].Flags & pfLink) EXPECT_EQ(t.Phrases[i].EditIndex, -1);
    else ASSERT_EQ(TextOf(t, i), "second " + std::to_string(i)) << i;
  }
  // The project saves and opens again with the same texts.
  SaveProject(t, dir.File("p.vmprj"));
  PhraseTable again;
  OpenProject(again, dir.File("p.vmprj"));
  EXPECT_EQ(again.EditedTexts, t.EditedTexts);
  EXPECT_EQ(TextOf(again, 29998), "second 29998");
}

TEST(EditedTextLimits, ProjectFileListingMoreTextsThanCanBeNamedIsRefused) {
  TempDir dir;
  PhraseTable t = Project(2);
  SaveProject(t, dir.File("p.vmprj"));
  auto bytes = ReadFile(dir.File("p.vmprj"));
  // 32,769 empty texts: they fit the file, but no EditIndex could name the last.
  StoreLE32(&bytes[56], static_cast<uint32_t>(kMaxEditedTexts + 1));
  bytes.insert(bytes.end(), 2 * (kMaxEditedTexts + 1), 0);
  WriteFile(dir.File("many.vmprj"), bytes);
  PhraseTable opened;
  try {
    OpenProject(opened, dir.File("many.vmprj"));
    FAIL() << "accepted";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("it lists 32769 edited texts, more than the 32768 a project can name"),
              std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(opened.Phrases.empty());
}

TEST(EditedTextLimits, AnUnusedTextTooLongToSaveIsDroppedWhenSaving) {
  TempDir dir;
  PhraseTable t = Project(3);
  t.AppendEditedText(0, "grown");
  t.EditedTexts[0].assign(kMaxEditedTextLength + 10, 'g');  // as import continuation lines can grow it
  t.AppendEditedText(0, "replaced");                         // the long one is now unused
  t.AppendEditedText(1, "other");
  SaveProject(t, dir.File("p.vmprj"));
  PhraseTable again;
  OpenProject(again, dir.File("p.vmprj"));
  EXPECT_EQ(again.EditedTexts, (std::vector<std::string>{"replaced", "other"}));
  EXPECT_EQ(TextOf(again, 0), "replaced");
  EXPECT_EQ(TextOf(again, 1), "other");
}

}  // namespace
}  // namespace velmora
