// Export of phrase texts to a text file and their import as edited texts.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "analysis/Filters.h"
#include "container/io/StreamErrors.h"
#include "project/exchange/TextExchange.h"
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
  // Such a file comes back under the Japanese code page; under one that
  // cannot hold the hiragana its entry is skipped and named by its line.
  PhraseTable again = t;
  const ImportReport back = ImportPhrases(again, out, TextEncoding::Auto, CodePage::Japanese);
  EXPECT_EQ(back.Applied, 2);
  EXPECT_EQ(EditedTexts(again), (std::map<size_t, std::string>{{0, "\x82\xA0"}, {1, "AB"}}));
  PhraseTable western = t;
  const ImportReport skipped = ImportPhrases(western, out, TextEncoding::Auto, CodePage::WestEurope);
  EXPECT_EQ(skipped.Applied, 1);
  EXPECT_EQ(skipped.Unrepresentable, 1);
  ASSERT_EQ(skipped.Notes.size(), 1u);
  EXPECT_EQ(skipped.Notes[0].Line, 1u);
  EXPECT_NE(skipped.Notes[0].Text.find("U+3042"), std::string::npos) << skipped.Notes[0].Text;
  EXPECT_EQ(EditedTexts(western), (std::map<size_t, std::string>{{1, "AB"}}));
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

TEST(ImportPhrases, IndexTooLargeQuotesAtMostFortyDigits) {
  PhraseTable t = TwentyPhrases();
  const std::string digits(10 * 1024 * 1024, '7');
  try {
    ImportPhrases(t, digits + " = X\r\n");
    ADD_FAILURE() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), std::string("'").append(digits, 0, 40).append("...' is not a valid integer value"));
  }
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

// ---------------------------------------------------------------- encodings

namespace {

// "Привет" in Windows-1251 and in UTF-8.
const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

std::string Utf16Le(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

}  // namespace

TEST(ImportPhrases, ByteOrderMarkOrChosenEncodingDecodesIntoTheCodePage) {
  // "5 = Привет", CR LF, "6 = ok" in each encoding.
  const std::string privetUtf16 = std::string("\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04", 12);
  const std::string utf16 = Utf16Le("5 = ") + privetUtf16 + Utf16Le("\r\n6 = ok\r\n");
  const std::string utf8 = "5 = " + kPrivetUtf8 + "\r\n6 = ok\r\n";
  const std::string eightBit = "5 = " + kPrivet1251 + "\r\n6 = ok\r\n";
  struct Case {
    const char* name;
    std::string file;
    TextEncoding encoding;
  } cases[] = {
      {"UTF-16 byte-order mark", "\xFF\xFE" + utf16, TextEncoding::Auto},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + utf8, TextEncoding::Auto},
      {"no mark: 8-bit as before", eightBit, TextEncoding::Auto},
      {"UTF-8 named, no mark", utf8, TextEncoding::Utf8},
      {"UTF-8 named, with mark", "\xEF\xBB\xBF" + utf8, TextEncoding::Utf8},
      {"UTF-16 named, no mark", utf16, TextEncoding::Utf16},
      {"8-bit named", eightBit, TextEncoding::EightBit},
  };
  for (const auto& c : cases) {
    PhraseTable t = TwentyPhrases();
    const ImportReport r = ImportPhrases(t, c.file, c.encoding, CodePage::Russian);
    EXPECT_EQ(r.Applied, 2) << c.name;
    EXPECT_EQ(r.Headline, "2 new phrase(s) has been added or replaced.") << c.name;
    EXPECT_EQ(EditedTexts(t), (std::map<size_t, std::string>{{5, kPrivet1251}, {6, "ok"}})) << c.name;
  }
  // 8-bit named keeps a mark's bytes as text: the old reading, untouched.
  PhraseTable t = TwentyPhrases();
  EXPECT_EQ(ImportPhrases(t, "\xEF\xBB\xBF" "5 = A", TextEncoding::EightBit, CodePage::Russian).Applied, 1);
  EXPECT_EQ(EditedTexts(t), (std::map<size_t, std::string>{{5, "A"}}));
}

TEST(ImportPhrases, UnicodeLinesFollowTheLineRulesByCharacters) {
  struct Case {
    const char* name;
    std::string file;
    std::map<size_t, std::string> edited;
  } cases[] = {
      // The character after "=" is skipped whole, not one byte of it.
      {"no blank after =", "5 =\xD0\x96" + kPrivetUtf8, {{5, kPrivet1251}}},
      // One character after "=" (two bytes in UTF-8): the line is ignored.
      {"one character after =", "5 = A\r\n6 =\xD0\x96\r\n\xD0\x96\xD0\x96", {{5, "A\n\xC6\xC6"}}},
      // A continuation of one character (two bytes) is dropped.
      {"single-character continuation", "5 = A\r\n\xD0\x96\r\nBC", {{5, "A\nBC"}}},
  };
  for (const auto& c : cases) {
    PhraseTable t = TwentyPhrases();
    ImportPhrases(t, c.file, TextEncoding::Utf8, CodePage::Russian);
    EXPECT_EQ(EditedTexts(t), c.edited) << c.name;
  }
}

TEST(ImportPhrases, UnrepresentableOrUndecodableEntriesAreSkippedWithTheirLine) {
  PhraseTable t = TwentyPhrases();
  // Line 3 holds a Greek letter that Windows-1251 lacks, line 5 a byte that
  // is not UTF-8; the entries they belong to are skipped, the others kept.
  const std::string file = "1 = one\r\n2 = two\r\ncontinued \xCE\xA9\r\n3 = three\r\n4 = \xFF\r\n5 = five";
  const ImportReport r = ImportPhrases(t, file, TextEncoding::Utf8, CodePage::Russian);
  EXPECT_EQ(r.Applied, 3);
  EXPECT_EQ(r.Unrepresentable, 2);
  ASSERT_EQ(r.Notes.size(), 2u);
  EXPECT_EQ(r.Notes[0].Line, 3u);
  EXPECT_NE(r.Notes[0].Text.find("phrase 2"), std::string::npos) << r.Notes[0].Text;
  EXPECT_NE(r.Notes[0].Text.find("U+03A9"), std::string::npos) << r.Notes[0].Text;
  EXPECT_EQ(r.Notes[1].Line, 5u);
  EXPECT_EQ(EditedTexts(t), (std::map<size_t, std::string>{{1, "one"}, {3, "three"}, {5, "five"}}));
}

TEST(ImportPhrases, TextLongerThanAProjectHoldsIsRefusedNamingItsLine) {
  PhraseTable t = TwentyPhrases();
  std::string file = "1 = one\r\n2 = start\r\n";
  for (int i = 0; i < 700; ++i) file += std::string(100, 'x') + "\r\n";  // 70 kB of continuation
  file += "3 = three\r\n";
  for (const TextEncoding encoding : {TextEncoding::EightBit, TextEncoding::Utf8}) {
    PhraseTable copy = t;
    const ImportReport r = ImportPhrases(copy, file, encoding, CodePage::Russian);
    EXPECT_EQ(r.Applied, 2);
    EXPECT_EQ(r.TooLong, 1);
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_EQ(r.Notes[0].Line, 2u);
    EXPECT_NE(r.Notes[0].Text.find("phrase 2"), std::string::npos);
    EXPECT_EQ(EditedTexts(copy), (std::map<size_t, std::string>{{1, "one"}, {3, "three"}}));
  }
  // A text of exactly 65535 bytes still fits.
  PhraseTable edge = t;
  EXPECT_EQ(ImportPhrases(edge, "1 = " + std::string(65535, 'y')), 1);
}

TEST(ExportPhrases, ChosenEncodingWritesAMarkAndConvertsFromTheCodePage) {
  PhraseTable t = TableWith({kPrivet1251, "AB"});
  EXPECT_EQ(ExportPhrases(t, {0, 1}, CodePage::Russian, TextEncoding::Utf8),
            "\xEF\xBB\xBF" "0 = " + kPrivetUtf8 + "\r\n1 = AB\r\n");
  EXPECT_EQ(ExportPhrases(t, {1}, CodePage::Russian, TextEncoding::Utf16), "\xFF\xFE" + Utf16Le("1 = AB\r\n"));
  EXPECT_EQ(ExportPhrases(t, {0}, CodePage::Russian, TextEncoding::EightBit), "0 = " + kPrivet1251 + "\r\n");
  EXPECT_EQ(ExportPhrases(t, {0}, CodePage::Russian, TextEncoding::Auto), ExportPhrases(t, {0}, CodePage::Russian));
  // 8-bit under the Japanese code page: the bytes, not UTF-16.
  PhraseTable jp = TableWith({"\x82\xA0"});
  EXPECT_EQ(ExportPhrases(jp, {0}, CodePage::Japanese, TextEncoding::EightBit), "0 = \x82\xA0\r\n");
}

TEST(ExportPhrases, EveryEncodingRoundTripsInEightBitAndJapaneseCodePages) {
  struct Case {
    CodePage page;
    std::vector<std::string> texts;
  } cases[] = {
      {CodePage::Russian, {kPrivet1251, "Two\nLINES", "Plain"}},
      {CodePage::Japanese, {"\x8F\x5A\x8F\x8A", "\x83\x81\x83\x6A\x83\x85\x81\x5B\nAB", "\xB1\xB2"}},
  };
  for (const auto& c : cases) {
    if (c.page == CodePage::Japanese && !HasCodePage932()) continue;
    for (const TextEncoding encoding :
         {TextEncoding::Auto, TextEncoding::EightBit, TextEncoding::Utf8, TextEncoding::Utf16}) {
      PhraseTable t = TableWith(c.texts);
      const std::string file = ExportPhrases(t, FilterRows(t, GridFilter::NoFilter), c.page, encoding);
      const ImportReport r = ImportPhrases(t, file, encoding, c.page);
      EXPECT_EQ(r.Applied, 3);
      for (size_t i = 0; i < c.texts.size(); ++i)
        EXPECT_EQ(t.EditedText(t.Phrases[i]), c.texts[i]) << static_cast<int>(encoding) << " phrase " << i;
    }
  }
}
