// XLIFF 1.2 files of phrases: what the export writes, what the reader takes
// from files that CAT tools write, and the files it refuses (entity
// declarations above all).
#include <gtest/gtest.h>

#include <string>

#include "container/io/StreamErrors.h"
#include "project/exchange/XliffFile.h"
#include "support/TableBuilder.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (const char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string Units(const std::string& xliff) {
  const size_t a = xliff.find("<body>");
  return xliff.substr(a, xliff.find("</body>") + 7 - a);
}

}  // namespace

TEST(WriteXliff, FileAndOneTransUnitPerPhrase) {
  PhraseTable t;
  TableBuilder()
      .Add("Route")
      .Add("A & <b>", pfOn, "x\r\ny\rz\x01")
      .Add("Menu", 0, "Men\xFC")
      .AddLink(1)
      .Names("APM", "TAG1")
      .Fill(t);
  ExchangeOptions options;
  options.Page = CodePage::WestEurope;
  options.Language = ParseLanguageTag("de_AT");
  const std::string xliff = WriteXliff(CollectExport(t, {0, 1, 2, 3}, options));
  EXPECT_EQ(xliff.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xliff version=\"1.2\" "
                        "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"",
                        0),
            0u)
      << xliff;
  EXPECT_NE(xliff.find("<file original=\"APM_TAG1\" source-language=\"en\" target-language=\"de-AT\" "
                       "datatype=\"plaintext\" velmora:unit-name=\"APM\" velmora:unit-tag=\"TAG1\" "
                       "velmora:code-page=\"CP1252\">"),
            std::string::npos)
      << xliff;
  const std::string expected =
      "<body>\n"
      "      <trans-unit id=\"0\" resname=\"0x00000090\" maxwidth=\"4\" size-unit=\"byte\" xml:space=\"preserve\">\n"
      "        <source>Route</source>\n"
      "        <note>address 0x00000090, pointers: 1, room: 4 bytes in CP1252</note>\n"
      "      </trans-unit>\n"
      "      <trans-unit id=\"1\" resname=\"0x00000096\" maxwidth=\"6\" size-unit=\"byte\" xml:space=\"preserve\" "
      "approved=\"yes\">\n"
      "        <source>A &amp; &lt;b&gt;</source>\n"
      "        <target state=\"translated\">x\ny<x id=\"c1\" ctype=\"x-velmora-control\" equiv-text=\"U+000D\" />z"
      "<x id=\"c2\" ctype=\"x-velmora-control\" equiv-text=\"U+0001\" /></target>\n"
      "        <note>address 0x00000096, pointers: 2, room: 6 bytes in CP1252</note>\n"
      "      </trans-unit>\n"
      "      <trans-unit id=\"2\" resname=\"0x0000009E\" maxwidth=\"4\" size-unit=\"byte\" xml:space=\"preserve\">\n"
      "        <source>Menu</source>\n"
      "        <target state=\"needs-translation\">Men\xC3\xBC</target>\n"
      "        <note>address 0x0000009E, pointers: 1, room: 4 bytes in CP1252</note>\n"
      "      </trans-unit>\n"
      "    </body>";
  EXPECT_EQ(Units(xliff), expected);

  // What it writes, it reads: the lone CR and the control character come
  // back; the CR before the LF is left to the rule that treats it as the
  // same text.
  const ImportDocument doc = ParseXliff(xliff);
  EXPECT_EQ(doc.CodePageName, "CP1252");
  ASSERT_EQ(doc.Entries.size(), 3u);
  EXPECT_EQ(doc.Entries[1].Source, "A & <b>");
  EXPECT_EQ(doc.Entries[1].Target, "x\ny\rz\x01");
  EXPECT_FALSE(doc.Entries[1].Fuzzy);
  EXPECT_TRUE(doc.Entries[2].Fuzzy);
  EXPECT_TRUE(doc.Entries[0].Target.empty());
}

TEST(ParseXliff, ReadsUnitsAsCatToolsLeaveThem) {
  const std::string body =
      "<?xml version='1.0' encoding='utf-8'?>\n"
      "<!-- saved by a CAT tool -->\n"
      "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n"
      " <file original=\"x\" source-language=\"ja\" target-language=\"en\" datatype=\"plaintext\"><body>\n"
      "  <group id=\"g\">\n"
      "   <trans-unit id=\"7\"><source>a</source><target state=\"final\">A &#x42;&#67;&apos;<g id=\"1\">in g</g>"
      "<ph id=\"2\">code</ph><![CDATA[<raw>]]></target></trans-unit>\n"
      "  </group>\n"
      "  <trans-unit id=\"8\"><source>b</source><target state=\"new\">B</target></trans-unit>\n"
      "  <trans-unit id=\"9\"><source>c</source><target state=\"needs-adaptation\">C</target></trans-unit>\n"
      "  <trans-unit id=\"10\"><source>d</source><target>  </target></trans-unit>\n"
      "  <trans-unit id=\"11\"><source>e</source></trans-unit>\n"
      " </body></file>\n"
      "</xliff>\n";
  for (const std::string& file : {body, "\xEF\xBB\xBF" + body, Utf16Le(body)}) {
    const ImportDocument doc = ParseXliff(file);
    ASSERT_EQ(doc.Entries.size(), 5u);
    EXPECT_EQ(doc.Entries[0].Context, "7");
    EXPECT_EQ(doc.Entries[0].Line, 6u);
    EXPECT_EQ(doc.Entries[0].Target, "A BC'in g<raw>");
    EXPECT_FALSE(doc.Entries[0].Fuzzy);
    EXPECT_TRUE(doc.Entries[1].Fuzzy);
    EXPECT_TRUE(doc.Entries[2].Fuzzy);
    EXPECT_EQ(doc.Entries[3].Target, "  ") << "blanks are a text";
    EXPECT_FALSE(doc.Entries[3].Fuzzy);
    EXPECT_TRUE(doc.Entries[4].Target.empty());
    EXPECT_EQ(doc.Entries[4].Line, 11u);
  }
}

TEST(ParseXliff, RefusesBrokenOrHostileFilesNamingTheLine) {
  const std::string head = "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file><body>\n";
  const std::string tail = "</body></file></xliff>\n";
  const std::string unit = "<trans-unit id=\"1\"><source>a</source></trans-unit>\n";
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n"
      "<!DOCTYPE lolz [\n"
      " <!ENTITY lol \"lol\">\n"
      " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
      " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
      "]>\n"
      "<xliff version=\"1.2\"><file><body><trans-unit id=\"1\"><source>&lol2;</source></trans-unit></body></file>"
      "</xliff>\n";
  struct Case {
    const char* name;
    std::string file;
    std::string message;
  } cases[] = {
      {"cut short", head + unit + "<trans-unit id=\"2\"><source>b</sou", "line 4: not well-formed XML"},
      {"mismatched tags", head + "<trans-unit id=\"1\"><source>a</target></trans-unit>\n" + tail,
       "line 3: not well-formed XML"},
      {"billion laughs", laughs, "line 2: a DOCTYPE is refused"},
      {"undefined entity", head + "<trans-unit id=\"1\"><source>&lol;</source></trans-unit>\n" + tail,
       "line 3: an undefined entity: &lol;"},
      {"reference to a control character", head + "<trans-unit id=\"1\"><source>&#1;</source></trans-unit>\n" + tail,
       "line 3: a character reference to no XML character"},
      {"bare ampersand", head + "<trans-unit id=\"1\"><source>a & b</source></trans-unit>\n" + tail,
       "line 3: a bare \"&\""},
      {"not XLIFF", "<?xml version=\"1.0\"?>\n<html><body/></html>\n", "line 2: not an XLIFF file"},
      {"unit without source", head + unit + "<trans-unit id=\"2\"><target>b</target></trans-unit>\n" + tail,
       "line 4: a <trans-unit> without <source>"},
      {"duplicate id", head + unit + unit + tail, "line 4: duplicate trans-unit id \"1\" (first at line 3)"},
      {"invalid UTF-8", head + unit + "<trans-unit id=\"2\"><source>\xFF</source></trans-unit>\n" + tail,
       "line 4: the bytes are not UTF-8"},
      {"other encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<xliff/>\n", "line 1: the encoding"},
      {"empty file", "", "line 1: not well-formed XML"},
      // Deep enough to overflow the stack of a reader that follows them by
      // recursion (30,000 groups fill about 450 KB).
      {"30,000 nested groups", head + Repeat("<group>", 30000) + unit + Repeat("</group>", 30000) + tail,
       "line 3: elements nest deeper than 200 levels"},
      {"60,000 nested inline codes",
       head + "<trans-unit id=\"1\"><source>" + Repeat("<g id=\"g\">", 30000) + Repeat("<mrk mtype=\"x\">", 30000) +
           "a" + Repeat("</mrk>", 30000) + Repeat("</g>", 30000) + "</source></trans-unit>\n" + tail,
       "line 3: elements nest deeper than 200 levels"},
  };
  for (const auto& c : cases) {
    try {
      ParseXliff(c.file);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const EFormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
    }
  }
}

TEST(WriteXliff, NamesWithControlCharactersGiveAFileItsOwnReaderTakes) {
  PhraseTable t;
  TableBuilder().Add("Route", pfOn, "Weg").Names(std::string("ctl\x01na\tm"), std::string("T\x1B[2J")).Fill(t);
  const std::string xliff = WriteXliff(CollectExport(t, {0}, CodePage::WestEurope));
  EXPECT_NE(xliff.find("original=\"ctlU+0001naU+0009m_TU+001B[2J\""), std::string::npos) << xliff;
  const ImportDocument doc = ParseXliff(xliff);
  ASSERT_EQ(doc.Entries.size(), 1u);
  EXPECT_EQ(doc.Entries[0].Target, "Weg");
}
