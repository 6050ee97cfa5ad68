// TMX files: what Velmora writes reads back the same, TMX files of other
// tools (po2tmx, OmegaT, level 2 inline codes) read as a translator expects,
// and hostile or broken files are refused with their line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/memory/TmxFile.h"

using namespace velmora;

namespace {

std::vector<TmxUnit> Read(const std::string& tmx, TmxHeader* header = nullptr) {
  std::vector<TmxUnit> units;
  const TmxHeader h = ReadTmx(tmx, [&](TmxUnit&& u) { units.push_back(std::move(u)); });
  if (header) *header = h;
  return units;
}

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string Tmx(const std::string& body, const std::string& head = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + head +
         "<tmx version=\"1.4\">\n<header creationtool=\"t\" creationtoolversion=\"1\" segtype=\"sentence\" "
         "o-tmf=\"x\" adminlang=\"en\" srclang=\"en\" datatype=\"plaintext\"/>\n<body>\n" +
         body + "</body>\n</tmx>\n";
}

TEST(TmxFile, WhatVelmoraWritesReadsBackTheSame) {
  TmxHeader header;
  header.SourceLanguage = "en";
  header.CodePage = "CP1252";
  header.Unit = "APM_APM";
  header.State = "translated";
  std::vector<TmxUnit> units(4);
  units[0].Variants = {{"en", "Route & <Map>"}, {"de", "Strecke \"und\" Karte"}};
  units[0].Places = {{"APM_APM", 3, 12}, {"APM_APM", 40, 12}};
  // Another unit, code page and state than the header's.
  units[1].Variants = {{"en", "Two\nlines"}, {"de", "Zwei\nZeilen"}};
  units[1].Places = {{"JPN_1", 7, 20}};
  units[1].CodePage = "CP932";
  units[1].Review = true;
  // Control characters XML cannot carry, and a lone carriage return.
  units[2].Variants = {{"en", std::string("a\x01"
                                          "b\rc")},
                       {"de", std::string("x\x1B"
                                          "y")}};
  units[2].Places = {{"APM_APM", 9, 4}};
  // Blanks at either end are part of the text.
  units[3].Variants = {{"en", "  Menu "}, {"fr", " Menu"}};
  units[3].Places = {{"APM_APM", 11, 6}};
  for (TmxUnit& u : units) {
    u.SourceLanguage = "en";
    if (u.CodePage.empty()) u.CodePage = "CP1252";
  }
  const std::string tmx = WriteTmx(header, units);
  EXPECT_NE(tmx.find("segtype=\"phrase\""), std::string::npos);
  EXPECT_NE(tmx.find("datatype=\"plaintext\""), std::string::npos);
  EXPECT_NE(tmx.find("<prop type=\"x-velmora-code-page\">CP932</prop>"), std::string::npos) << tmx;
  EXPECT_EQ(tmx.find("<prop type=\"x-velmora-unit\">APM_APM</prop>"),
            tmx.rfind("<prop type=\"x-velmora-unit\">APM_APM</prop>"))
      << "the header's unit is written once";
  TmxHeader back;
  const std::vector<TmxUnit> read = Read(tmx, &back);
  EXPECT_EQ(back.CodePage, "CP1252");
  EXPECT_EQ(back.Unit, "APM_APM");
  EXPECT_EQ(back.CreationTool, "Velmora");
  ASSERT_EQ(read.size(), units.size());
  for (size_t i = 0; i < units.size(); ++i) EXPECT_EQ(read[i], units[i]) << "unit " << i;
}

TEST(TmxFile, ReadsOtherToolsFiles) {
  // As po2tmx writes: a DOCTYPE naming the DTD, indented segments.
  const std::string po2tmx =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tmx SYSTEM \"tmx14.dtd\">\n<tmx version=\"1.4\">\n"
      "  <header creationtool=\"Translate Toolkit\" creationtoolversion=\"3.8.4\" segtype=\"sentence\" "
      "o-tmf=\"UTF-8\" adminlang=\"en\" srclang=\"en\" datatype=\"PlainText\"/>\n  <body>\n    <tu>\n"
      "      <tuv xml:lang=\"en\">\n        <seg>Stop Guidance</seg>\n      </tuv>\n"
      "      <tuv xml:lang=\"fr\">\n        <seg>Arr&#234;ter le guidage</seg>\n      </tuv>\n    </tu>\n  "
      "</body>\n</tmx>\n";
  std::vector<TmxUnit> u = Read(po2tmx);
  ASSERT_EQ(u.size(), 1u);
  EXPECT_EQ(u[0].SourceLanguage, "en");
  ASSERT_EQ(u[0].Variants.size(), 2u);
  EXPECT_EQ(u[0].Variants[1].Text, "Arr\xC3\xAAter le guidage");
  EXPECT_EQ(u[0].Places.size(), 0u);
  EXPECT_FALSE(u[0].Review);

  // Level 2: the text of inline codes is read, an empty code gives nothing;
  // srclang of the unit; TMX 1.1's lang; notes and props of others ignored.
  const std::string level2 =
      Tmx("<tu srclang=\"de\"><note>n</note><prop type=\"x-other\">p</prop>"
          "<tuv lang=\"DE\"><seg>Distanz <ph x=\"1\">%d</ph> km<ph x=\"2\"/></seg></tuv>"
          "<tuv xml:lang=\"en-GB\"><seg><bpt i=\"1\">&lt;b&gt;</bpt>Distance<ept i=\"1\">&lt;/b&gt;</ept> "
          "<hi>%d</hi> <it pos=\"begin\">[</it>km<sub>!</sub><![CDATA[ & more]]></seg></tuv></tu>\n");
  u = Read(level2);
  ASSERT_EQ(u.size(), 1u);
  EXPECT_EQ(u[0].SourceLanguage, "de");
  EXPECT_EQ(u[0].Variants[0].Language, "DE");
  EXPECT_EQ(u[0].Variants[0].Text, "Distanz %d km");
  EXPECT_EQ(u[0].Variants[1].Text, "<b>Distance</b> %d [km! & more");
}

TEST(TmxFile, ReadsALargeFileInPiecesAsAWhole) {
  // More than one piece of the body; markup that looks like the body's end
  // in comments, CDATA, processing instructions and attribute values must
  // not cut it.
  std::string body;
  for (int i = 0; i < 12000; ++i) {
    body += "<tu tuid=\"a>b</body>\"><!-- </body> <tu> --><?pi </body>?><tuv xml:lang=\"en\"><seg>Text " +
            std::to_string(i) + "</seg></tuv><tuv xml:lang=\"de\"><seg><![CDATA[</body>]]>" + std::to_string(i) +
            "</seg></tuv></tu>\n";
  }
  const std::string tmx = Tmx(body);
  ASSERT_GT(tmx.size(), size_t{3} << 20 >> 1);  // more than one piece of 1 MB
  const std::vector<TmxUnit> u = Read(tmx);
  ASSERT_EQ(u.size(), 12000u);
  EXPECT_EQ(u[11999].Variants[1].Text, "</body>11999");
  EXPECT_EQ(u[11999].Line, 12004u);
}

TEST(TmxFile, RefusesBrokenOrHostileFilesNamingTheLine) {
  const std::string unit = "<tu><tuv xml:lang=\"en\"><seg>a</seg></tuv><tuv xml:lang=\"de\"><seg>b</seg></tuv></tu>\n";
  const std::string big = Repeat(unit, 30000);  // several pieces
  struct Case {
    const char* name;
    std::string file;
    std::string message;
  } cases[] = {
      {"DOCTYPE declaring entities",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE tmx [\n<!ENTITY a \"aaaa\">\n]>\n<tmx version=\"1.4\"><body/></tmx>\n",
       "line 2: a DOCTYPE that declares anything is refused"},
      {"undefined entity", Tmx("<tu><tuv xml:lang=\"en\"><seg>&a;</seg></tuv></tu>\n"),
       "line 5: an undefined entity: &a;"},
      {"entity in a late piece", Tmx(big + "<tu><tuv xml:lang=\"en\"><seg>&lol;</seg></tuv></tu>\n"),
       "line 30005: an undefined entity: &lol;"},
      {"mismatched tags in a late piece", Tmx(big + "<tu><tuv xml:lang=\"en\"><seg>a</tuv></seg></tu>\n"),
       "line 30005: not well-formed XML"},
      {"cut short", Tmx(unit).substr(0, 250), "line 5: not well-formed XML"},
      {"NUL", Tmx(std::string("<tu><tuv xml:lang=\"en\"><seg>a") + '\0' + "b</seg></tuv></tu>\n"),
       "line 5: a NUL character"},
      {"raw control character", Tmx("<tu><tuv xml:lang=\"en\"><seg>a\x1B[2J</seg></tuv></tu>\n"),
       "line 5: the control character U+001B, which XML does not allow"},
      {"noncharacter", Tmx("<tu><tuv xml:lang=\"en\"><seg>\xEF\xBF\xBF</seg></tuv></tu>\n"),
       "line 5: the noncharacter U+FFFF"},
      {"invalid UTF-8", Tmx("<tu><tuv xml:lang=\"en\"><seg>\xFF</seg></tuv></tu>\n"),
       "line 5: the bytes are not UTF-8"},
      {"reference to a control character", Tmx("<tu><tuv xml:lang=\"en\"><seg>&#1;</seg></tuv></tu>\n"),
       "line 5: a character reference to no XML character"},
      {"not TMX", "<?xml version=\"1.0\"?>\n<xliff/>\n", "line 2: not a TMX file"},
      {"variant without language", Tmx("<tu><tuv><seg>a</seg></tuv></tu>\n"), "line 5: a <tuv> without xml:lang"},
      {"variant without segment", Tmx("<tu><tuv xml:lang=\"en\"/></tu>\n"), "line 5: a <tuv> without <seg>"},
      {"index that is no number", Tmx("<tu><prop type=\"x-velmora-index\">-1</prop></tu>\n"),
       "line 5: x-velmora-index \"-1\" is not a number"},
      {"other encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<tmx/>\n", "line 1: the encoding"},
      {"empty file", "", "line 1: not well-formed XML"},
  };
  for (const auto& c : cases) {
    try {
      Read(c.file);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const EFormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
    }
  }
}

TEST(TmxFile, ReadsDeepInlineCodesWithoutRecursion) {
  // Deep enough to overflow the stack of a reader that follows the
  // elements by recursion.
  const std::string deep = Repeat("<hi>", 100000) + "deep" + Repeat("</hi>", 100000);
  const std::vector<TmxUnit> u =
      Read(Tmx("<tu><tuv xml:lang=\"en\"><seg>" + deep + "</seg></tuv><tuv xml:lang=\"de\"><seg>t</seg></tuv></tu>\n"));
  ASSERT_EQ(u.size(), 1u);
  EXPECT_EQ(u[0].Variants[0].Text, "deep");
}

}  // namespace
