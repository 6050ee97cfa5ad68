// Export of phrase texts to a text file and their import as edited texts.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "analysis/Filters.h"
#include "container/StreamErrors.h"
#include "project/TextExchange.h"
#include "support/TestSupport.h"

using namespace velmora;

namespace {

// A table whose phrase i holds texts[i] in its image; phrase 13 (when it
// exists) is a link to phrase 3.
PhraseTable TableWith(const std::vector<std::string>& texts) {
  PhraseTable t;
  t.UnitImage.assign(128, 0);
  for (size_t i = 0; i < texts.size(); ++i) {
    TPhrase p;
    p.LinkAddress = static_cast<uint32_t>(128 + 4 * i);
    p.StringAddress = static_cast<uint32_t>(t.UnitImage.size());
    p.Length = static_cast<uint16_t>(texts[i].size());
    t.UnitImage.insert(t.UnitImage.end(), texts[i].begin(), texts[i].end());
    t.UnitImage.push_back(0);
    if (i == 13) {
      p.Flags = pfLink;
      p.MasterIndex = 3;
      p.StringAddress = t.Phrases[3].StringAddress;
      p.Length = t.Phrases[3].Length;
    }
    t.Phrases.push_back(p);
  }
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(t.UnitImage.size());
  return t;
}

PhraseTable TwentyPhrases() {
  std::vector<std::string> texts;
  for (int i = 0; i < 20; ++i) texts.push_back("TEXT" + std::to_string(i));
  return TableWith(texts);
}

std::map<size_t, std::string> EditedTexts(const PhraseTable& t) {
  std::map<size_t, std::string> out;
  for (size_t i = 0; i < t.Phrases.size(); ++i)
    if (t.HasEditedText(t.Phrases[i])) out[i] = std::string(t.EditedText(t.Phrases[i]));
  return out;
}

}  // namespace

TEST(ExportPhrases, WritesIndexedSourceTextsOfTheGivenRows) {
  PhraseTable t = TableWith({"HELLO", "SKIPPED", "TWO\nLINES\nHERE"});
  t.AppendEditedText(0, "never exported");
  EXPECT_EQ(ExportPhrases(t, {0, 2}, CodePage::Default), "0 = HELLO\r\n2 = TWO\nLINES\nHERE\r\n");
  EXPECT_EQ(ExportPhrases(t, {}, CodePage::Default), "");
  EXPECT_EQ(ExportPhrases(t, {-1, 3, 1}, CodePage::Default), "1 = SKIPPED\r\n");
  // The Only Edited filter exports the edited phrases, with their source texts.
  EXPECT_EQ(ExportPhrases(t, FilterRows(t, GridFilter::OnlyEdited), CodePage::Default), "0 = HELLO\r\n");
  // 8-bit bytes pass unchanged under any code page but Japanese.
  PhraseTable ru = TableWith({"\xCF\xF0\xE8\xE2\xE5\xF2"});
  EXPECT_EQ(ExportPhrases(ru, {0}, CodePage::Russian), "0 = \xCF\xF0\xE8\xE2\xE5\xF2\r\n");
}

TEST(ExportPhrases, JapaneseCodePageWritesUtf16WithByteOrderMark) {
  PhraseTable t = TableWith({"\x82\xA0", "AB"});  // Shift JIS HIRAGANA A
  const std::string out = ExportPhrases(t, {0, 1}, CodePage::Japanese);
  if (!HasCodePage932()) {
    EXPECT_EQ(out, "0 = \x82\xA0\r\n1 = AB\r\n");
    GTEST_SKIP() << "the system knows no code page 932";
  }
  const std::string expected = std::string("\xFF\xFE", 2) +
                               std::string("0\0 \0=\0 \0\x42\x30\r\0\n\0", 14) +
                               std::string("1\0 \0=\0 \0A\0B\0\r\0\n\0", 16);
  EXPECT_EQ(out, expected);
  // Such a file imports nothing: its first NUL ends the text read.
  PhraseTable again = t;
  EXPECT_EQ(ImportPhrases(again, out), 0);
  EXPECT_TRUE(EditedTexts(again).empty());
}

TEST(ImportPhrases, LineRules) {
  struct Case {
    const char* name;
    std::string file;
    int count;
    std::map<size_t, std::string> edited;
  } cases[] = {
      {"entry as exported", "12 = Hello\r\n", 1, {{12, "Hello"}}},
      {"last line without a line end", "12 = Hello", 1, {{12, "Hello"}}},
      {"no blank after =: first character lost", "12 =Hello", 1, {{12, "ello"}}},
      {"digits around other characters are joined", "1 2 = X Y", 1, {{12, "X Y"}}},
      {"non-digits before = are skipped", "x5y = A", 1, {{5, "A"}}},
      {"leading zeros", "005 = A", 1, {{5, "A"}}},
      {"leading blanks dropped, trailing kept", "5 =    spaced  ", 1, {{5, "spaced  "}}},
      {"a tab is not a blank", "5 = \tX", 1, {{5, "\tX"}}},
      {"only = counts that comes first", "5 = A = B", 1, {{5, "A = B"}}},
      {"second character after = starts the text", "5 ==AB", 1, {{5, "AB"}}},
      {"blanks only: no effect, no current phrase", "5 =    \r\nmore", 0, {}},
      {"continuations joined with LF", "5 = A\r\nmore\r\nlast", 1, {{5, "A\nmore\nlast"}}},
      {"single character and empty continuations dropped", "5 = A\r\nx\r\n\r\nlast", 1, {{5, "A\nlast"}}},
      {"lone CR and lone LF end lines", "5 = A\rmore\nlast\r", 1, {{5, "A\nmore\nlast"}}},
      {"one character after =: ignored, current stays", "5 = A\r\n7 =x\r\ncont", 1, {{5, "A\ncont"}}},
      {"= in position 1: ignored, current stays", "5 = A\r\n=5 = B\r\ncont", 1, {{5, "A\ncont"}}},
      {"line with = is an entry, not a continuation", "5 = A\r\n6 = B", 2, {{5, "A"}, {6, "B"}}},
      {"link record: no effect, continuations dropped", "13 = L\r\nmore", 0, {}},
      {"index past the table", "20 = X\r\nmore", 0, {}},
      {"largest 32-bit index past the table", "2147483647 = X", 0, {}},
      {"no digits", "abc = X\r\nmore", 0, {}},
      {"entry without effect ends the current phrase", "5 = A\r\n20 = X\r\nmore", 1, {{5, "A"}}},
      {"later entry for the same index wins", "5 = A\r\n5 = B", 2, {{5, "B"}}},
      {"NUL ends the file's text", std::string("5 = A\0\r\n6 = B", 13), 1, {{5, "A"}}},
      {"nothing that matches", "hello\r\nworld", 0, {}},
      {"empty file", "", 0, {}},
  };
  for (const auto& c : cases) {
    PhraseTable t = TwentyPhrases();
    t.Phrases[5].Flags = pfHide;
    const auto flagsBefore = t.Phrases[5].Flags;
    EXPECT_EQ(ImportPhrases(t, c.file), c.count) << c.name;
    EXPECT_EQ(EditedTexts(t), c.edited) << c.name;
    EXPECT_EQ(t.Phrases[5].Flags, flagsBefore) << c.name << ": import changes no flag";
  }
}

TEST(ImportPhrases, RepeatedEntriesAddEntriesAndKeepTheEarlierOnes) {
  PhraseTable t = TwentyPhrases();
  EXPECT_EQ(ImportPhrases(t, "5 = A\r\n5 = B\r\n6 = C\r\n"), 3);
  EXPECT_EQ(t.EditedTexts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(t.Phrases[5].EditIndex, 1);
  EXPECT_EQ(t.Phrases[6].EditIndex, 2);
}

TEST(ImportPhrases, IndexTooLargeStopsTheImportAfterTheEarlierEntries) {
  for (const char* digits : {"2147483648", "99999999999999999999999"}) {
    PhraseTable t = TwentyPhrases();
    const std::string file = std::string("5 = A\r\nmore\r\n") + digits + " = B\r\n6 = C\r\n";
    try {
      ImportPhrases(t, file);
      ADD_FAILURE() << digits << " was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + digits + "' is not a valid integer value");
    }
    EXPECT_EQ(EditedTexts(t), (std::map<size_t, std::string>{{5, "A\nmore"}}));
  }
}

TEST(ImportPhrases, ExportedFileImportsAsTheSourceTexts) {
  // Texts that survive the round trip: no leading blank, further lines of
  // at least two characters without "=".
  PhraseTable t = TableWith({"HELLO", "Two words", "FIRST LINE\nSECOND\nthird line", "x", "trailing  "});
  const std::vector<int32_t> rows = FilterRows(t, GridFilter::NoFilter);
  const std::string file = ExportPhrases(t, rows, CodePage::Default);
  EXPECT_EQ(ImportPhrases(t, file), 5);
  for (const int32_t i : rows) {
    const TPhrase& p = t.Phrases[static_cast<size_t>(i)];
    EXPECT_EQ(t.EditedText(p), t.OriginText(p)) << i;
    EXPECT_EQ(p.Flags & pfOn, 0) << "ON is left to the user";
  }
}

TEST(ImportMessage, CountThenFixedText) {
  EXPECT_EQ(ImportMessage(0), "0 new phrase(s) has been added or replaced.");
  EXPECT_EQ(ImportMessage(12), "12 new phrase(s) has been added or replaced.");
}

TEST(WriteExport, WritesTheBytesOrRaisesTheCreateError) {
  test::TempDir dir;
  const std::string bytes("0 = A\r\n\xFF\0", 9);
  WriteExport(dir.File("Phrases.txt"), bytes);
  const auto back = test::ReadFile(dir.File("Phrases.txt"));
  EXPECT_EQ(std::string(back.begin(), back.end()), bytes);
  EXPECT_THROW(WriteExport(dir.File("none/Phrases.txt"), bytes), EFCreateError);
}
