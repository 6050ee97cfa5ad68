// gettext PO files of phrases: what the export writes, what the reader
// accepts (everything gettext's own tools write), and the files it refuses.
#include <gtest/gtest.h>

#include <string>

#include "container/io/StreamErrors.h"
#include "project/exchange/PoFile.h"
#include "support/TableBuilder.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

// 0 "Route" (room 4), 1 a text with quotes, a backslash and a tab, edited
// and ON, reached by link 3 as well, 2 a two-line text edited but not ON.
PhraseTable Sample() {
  PhraseTable t;
  TableBuilder()
      .Add("Route")
      .Add("Say \"hi\"\\\t!", pfOn, "Sag \"hallo\" \xFC")
      .Add("Two\nlines", 0, "Zwei\r\nZeilen")
      .AddLink(1)
      .Names("APM", "TAG1")
      .Fill(t);
  return t;
}

std::string Entries(const std::string& po) { return po.substr(po.find("\n\n#. ")); }

}  // namespace

TEST(WritePo, HeaderNamesTheUnitTheCodePageAndUtf8) {
  const PhraseTable t = Sample();
  const std::string po = WritePo(CollectExport(t, {0, 1, 2}, CodePage::WestEurope));
  for (const char* field : {"msgid \"\"\nmsgstr \"\"\n", "\"Project-Id-Version: APM_TAG1\\n\"\n",
                            "\"Content-Type: text/plain; charset=UTF-8\\n\"\n",
                            "\"Content-Transfer-Encoding: 8bit\\n\"\n", "\"MIME-Version: 1.0\\n\"\n",
                            "\"X-Generator: Velmora ", "\"X-Velmora-Unit-Name: APM\\n\"\n",
                            "\"X-Velmora-Unit-Tag: TAG1\\n\"\n",
                            "\"X-Velmora-Code-Page: CP1252\\n\"\n"})
    EXPECT_NE(po.find(field), std::string::npos) << field;
}

TEST(WritePo, OneEntryPerPhraseWithRoomPointersAddressAndFuzzy) {
  const PhraseTable t = Sample();
  const std::string po = WritePo(CollectExport(t, {0, 1, 2, 3}, CodePage::WestEurope));
  const std::string expected =
      "\n\n#. room: 4 bytes in CP1252, pointers: 1\n"
      "#: 0x00000090\n"
      "msgctxt \"0\"\n"
      "msgid \"Route\"\n"
      "msgstr \"\"\n"
      "\n#. room: 10 bytes in CP1252, pointers: 2\n"
      "#: 0x00000096\n"
      "msgctxt \"1\"\n"
      "msgid \"Say \\\"hi\\\"\\\\\\t!\"\n"
      "msgstr \"Sag \\\"hallo\\\" \xC3\xBC\"\n"
      "\n#. room: 8 bytes in CP1252, pointers: 1\n"
      "#: 0x000000A2\n"
      "#, fuzzy\n"
      "msgctxt \"2\"\n"
      "msgid \"\"\n"
      "\"Two\\n\"\n"
      "\"lines\"\n"
      "msgstr \"\"\n"
      "\"Zwei\\r\\n\"\n"
      "\"Zeilen\"\n";
  EXPECT_EQ(Entries(po), expected) << "the link record 3 is never an entry";
}

TEST(ParsePo, ReadsWhatGettextToolsWrite) {
  const std::string po =
      "\xEF\xBB\xBF# translator comment\r\n"
      "msgid \"\"\r\n"
      "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
      "\"X-Velmora-Code-Page: russian (CP1251)\\n\"\r\n"
      "\r\n"
      "#. room: 4 bytes\n"
      "#, c-format, fuzzy\n"
      "msgctxt \"4\"\n"
      "msgid \"a\"\n"
      "\"b\"\n"
      "msgstr \"\"\n"
      "  \"x\\101\\x42\\n\\t\\\"\"\n"
      "\"second\"\n"
      "\n"
      "#~ msgctxt \"9\"\n"
      "#~ msgid \"gone\"\n"
      "#~ msgstr \"weg\"\n"
      "\n"
      "msgctxt \"5\" \n"
      "msgid \"one\"\n"
      "msgid_plural \"many\"\n"
      "msgstr[0] \"eins\"\n"
      "msgstr[1] \"viele\"\n"
      "msgid \"no context\"\n"
      "msgstr \"\"";  // last line without a line feed
  const ImportDocument doc = ParsePo(po);
  EXPECT_EQ(doc.CodePageName, "russian");
  EXPECT_EQ(doc.CodePageLine, 2u);
  ASSERT_EQ(doc.Entries.size(), 3u);
  const ImportEntry& a = doc.Entries[0];
  EXPECT_TRUE(a.HasContext);
  EXPECT_EQ(a.Context, "4");
  EXPECT_EQ(a.Source, "ab");
  EXPECT_EQ(a.Target, "xAB\n\t\"second");
  EXPECT_TRUE(a.Fuzzy);
  EXPECT_EQ(a.Line, 8u);
  ASSERT_EQ(a.TargetMarks.size(), 3u);
  EXPECT_EQ(a.TargetMarks[1].Offset, 0u);
  EXPECT_EQ(a.TargetMarks[1].Line, 12u);
  EXPECT_EQ(a.TargetMarks[2].Offset, 6u);
  EXPECT_EQ(a.TargetMarks[2].Line, 13u);
  EXPECT_EQ(doc.Entries[1].Context, "5");
  EXPECT_EQ(doc.Entries[1].Target, "eins") << "the first plural form is the text";
  EXPECT_FALSE(doc.Entries[1].Fuzzy);
  EXPECT_FALSE(doc.Entries[2].HasContext);
  EXPECT_EQ(doc.Entries[2].Line, 24u);
}

TEST(ParsePo, HeaderCharsetOtherThanUtf8IsConverted) {
  const std::string po =
      "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
      "msgctxt \"1\"\nmsgid \"M\xFC\"\nmsgstr \"\xE9t\xE9\"\n";
  const ImportDocument doc = ParsePo(po);
  ASSERT_EQ(doc.Entries.size(), 1u);
  EXPECT_EQ(doc.Entries[0].Source, "M\xC3\xBC");
  EXPECT_EQ(doc.Entries[0].Target, "\xC3\xA9t\xC3\xA9");
}

TEST(ParsePo, RefusesBrokenFilesNamingTheLine) {
  const std::string entry = "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\"\n";
  struct Case {
    const char* name;
    std::string file;
    std::string message;  // how the error begins
  } cases[] = {
      {"truncated after msgid", entry + "\nmsgctxt \"2\"\nmsgid \"c\"\n", "line 6: the file ends inside an entry"},
      {"truncated inside a string", entry + "msgctxt \"2\"\nmsgid \"c", "line 5: unterminated string"},
      {"unterminated string", "msgctxt \"1\nmsgid \"a\"\nmsgstr \"\"\n", "line 1: unterminated string"},
      {"escape at the line end", "msgctxt \"1\"\nmsgid \"a\\\nmsgstr \"\"\n", "line 2: unterminated string"},
      {"duplicate msgctxt", entry + "\n" + entry, "line 5: duplicate msgctxt \"1\" (first at line 1)"},
      {"two msgctxt naming one phrase", "msgctxt \"0\"\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgctxt \"00\"\nmsgid \"a\"\nmsgstr \"c\"\n",
       "line 5: duplicate msgctxt \"00\" (first at line 1)"},
      {"CR-only line ends", "msgctxt \"1\"\rmsgid \"a\"\rmsgstr \"b\"\r", "line 1: a carriage return inside a line: the lines end in CR alone"},
      {"invalid UTF-8", entry + "msgctxt \"2\"\nmsgid \"\xC3\x28\"\nmsgstr \"\"\n", "line 5: the bytes are not UTF-8"},
      {"overlong UTF-8", "msgctxt \"1\"\nmsgid \"\xC0\xAF\"\nmsgstr \"\"\n", "line 2: the bytes are not UTF-8"},
      {"unknown keyword", entry + "msgfoo \"x\"\n", "line 4: unknown keyword \"msgfoo\""},
      {"unknown escape", "msgctxt \"1\"\nmsgid \"\\q\"\nmsgstr \"\"\n", "line 2: unknown escape sequence \\q"},
      {"NUL by escape", "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"x\\0y\"\n", "line 3: a string holds a NUL character"},
      {"string without keyword", "\"lost\"\n", "line 1: a string without a keyword"},
      {"msgstr without msgid", "msgctxt \"1\"\nmsgstr \"b\"\n", "line 2: msgstr without msgid"},
      {"text after the string", "msgctxt \"1\" x\nmsgid \"a\"\nmsgstr \"\"\n", "line 1: unexpected text"},
      {"missing msgstr before the next msgid", "msgid \"a\"\nmsgid \"b\"\nmsgstr \"\"\n", "line 2: msgid inside an entry"},
      {"unknown charset", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=NO-SUCH\\n\"\n",
       "line 1: the charset \"NO-SUCH\" is not known"},
  };
  for (const auto& c : cases) {
    try {
      ParsePo(c.file);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const EFormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
    }
  }
}
