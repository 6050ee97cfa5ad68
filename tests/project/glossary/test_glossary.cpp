// Glossaries (TBX and tab-separated), the rules by which their terms match
// a text, and the terms check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/check/CheckRun.h"
#include "project/glossary/Glossary.h"
#include "project/glossary/TermMatch.h"
#include "support/TableBuilder.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

const char* kTbx =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE martif SYSTEM \"TBXcoreStructV02.dtd\">\n"
    "<martif type=\"TBX\" xml:lang=\"en\"><text><body>\n"
    "<termEntry id=\"1\">\n"
    "  <langSet xml:lang=\"en\"><tig><term>Route</term></tig></langSet>\n"
    "  <langSet xml:lang=\"de-DE\"><tig><term> Strecke </term></tig>\n"
    "    <ntig><termGrp><term>Weg</term><termNote type=\"administrativeStatus\">deprecatedTerm-admn-sts</termNote>"
    "</termGrp></ntig></langSet>\n"
    "</termEntry>\n"
    "<termEntry id=\"2\"><langSet xml:lang=\"en\"><tig><term>Point of Interest</term></tig></langSet>"
    "<langSet xml:lang=\"de\"><tig><term>Sonderziel</term></tig></langSet>"
    "<langSet xml:lang=\"fr\"><tig><term>Point d'int&#233;r&#234;t</term></tig></langSet></termEntry>\n"
    "</body></text></martif>\n";

TEST(Glossary, ReadsTbxTermsOfTheLanguagesAsked) {
  const Glossary g = ReadTbx(kTbx, {"en", "de"});
  EXPECT_EQ(g.TargetLanguage, "de");
  ASSERT_EQ(g.Entries.size(), 2u);
  EXPECT_EQ(g.Entries[0].Sources, std::vector<std::string>{"Route"});
  EXPECT_EQ(g.Entries[0].Targets, std::vector<std::string>{"Strecke"});
  EXPECT_EQ(g.Entries[0].Forbidden, std::vector<std::string>{"Weg"});
  EXPECT_EQ(g.Entries[0].Line, 4u);
  EXPECT_EQ(ReadTbx(kTbx, {"en", "fr"}).Entries[1].Targets, std::vector<std::string>{"Point d'int\xC3\xA9r\xC3\xAAt"});

  // TBX 3, and a single language besides the source's found by itself.
  const std::string tbx3 =
      "<?xml version=\"1.0\"?>\n<tbx type=\"TBX-Basic\" style=\"dca\" xml:lang=\"en\"><text><body>\n"
      "<conceptEntry id=\"c1\"><langSec xml:lang=\"en\"><termSec><term>Map</term></termSec></langSec>"
      "<langSec xml:lang=\"fr\"><termSec><term>Carte</term></termSec><termSec><term>Plan</term>"
      "<termNote type=\"administrativeStatus\">forbidden</termNote></termSec></langSec></conceptEntry>\n"
      "</body></text></tbx>\n";
  const Glossary g3 = ReadTbx(tbx3, {"en", ""});
  EXPECT_EQ(g3.TargetLanguage, "fr");
  ASSERT_EQ(g3.Entries.size(), 1u);
  EXPECT_EQ(g3.Entries[0].Targets, std::vector<std::string>{"Carte"});
  EXPECT_EQ(g3.Entries[0].Forbidden, std::vector<std::string>{"Plan"});

  struct Case {
    const char* name;
    std::string file;
    GlossaryLanguages languages;
    std::string message;
  } refused[] = {
      {"several languages, none named", kTbx, {"en", ""}, "line 3: the glossary has terms in several languages"},
      {"not TBX", "<?xml version=\"1.0\"?>\n<tmx/>\n", {"en", "de"}, "line 2: not a TBX file"},
      {"entities",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE martif [<!ENTITY a \"b\">]>\n<martif/>\n",
       {"en", "de"},
       "line 2: a DOCTYPE that declares anything"},
      {"language set without language",
       "<martif><text><body><termEntry><langSet><tig><term>a</term></tig></langSet></termEntry></body></text></martif>",
       {"en", "de"},
       "line 1: a <langSet> without xml:lang"},
  };
  for (const auto& c : refused) {
    try {
      ReadTbx(c.file, c.languages);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const EFormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
    }
  }
}

TEST(Glossary, ReadsTabSeparatedTerms) {
  const Glossary g = ReadTabbedGlossary(
      "\xEF\xBB\xBF# source, target, forbidden\n"
      "Route\tStrecke\r\n"
      "\n"
      "Route\tWeg\tforbidden\n"
      "Map\tKarte\t\n"
      "Exit \t Ausfahrt\tFORBIDDEN\n");
  ASSERT_EQ(g.Entries.size(), 3u);
  EXPECT_EQ(g.Entries[0].Targets, std::vector<std::string>{"Strecke"});
  EXPECT_EQ(g.Entries[0].Forbidden, std::vector<std::string>{"Weg"});
  EXPECT_EQ(g.Entries[1].Targets, std::vector<std::string>{"Karte"});
  EXPECT_EQ(g.Entries[2].Sources, std::vector<std::string>{"Exit"});
  EXPECT_EQ(g.Entries[2].Forbidden, std::vector<std::string>{"Ausfahrt"});
  EXPECT_EQ(g.Entries[2].Line, 6u);
  struct Case {
    std::string file;
    std::string message;
  } refused[] = {
      {"Route\n", "line 1: a line holds a source term, a tab, the target term"},
      {"a\tb\n\tc\n", "line 2: a term is empty"},
      {"a\tb\tmaybe\n", "line 1: the third field is \"forbidden\" or nothing"},
      {"a\tb\tforbidden\tx\n", "line 1: a line holds"},
      {"a\t\xFF\n", "line 1: the bytes are not UTF-8"},
  };
  for (const auto& c : refused) {
    try {
      ReadTabbedGlossary(c.file);
      ADD_FAILURE() << c.file << ": accepted";
    } catch (const EFormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
}

TEST(TermFinder, MatchesWholeWordsWithTheCaseRules) {
  Glossary g;
  g.Entries.push_back({{"Route"}, {"Strecke"}, {}, 1});
  g.Entries.push_back({{"Point of Interest"}, {"Sonderziel"}, {}, 2});
  g.Entries.push_back({{"GPS"}, {"GPS"}, {}, 3});
  g.Entries.push_back({{"\xE5\x9C\xB0\xE5\x9B\xB3"}, {"Karte"}, {}, 4});  // 地図
  g.Entries.push_back({{"Day/Night"}, {"Tag/Nacht"}, {}, 5});
  const TermFinder f(g);
  struct Case {
    const char* text;
    std::vector<size_t> entries;
  } cases[] = {
      {"Route", {0}},
      {"Show route", {0}},  // a word's first letter may differ
      {"Routes", {}},       // a longer word is another word
      {"Reroute", {}},
      {"RoUte", {}},           // other letters must agree
      {"ROUTE OPTIONS", {0}},  // a label in capitals
      {"(Route)", {0}},
      {"Point of\ninterest", {1}},  // line breaks and blanks between words
      {"Point  of  Interests", {}},
      {"gps", {2}},                                                           // a term in capitals matches any case
      {"\xE5\x9C\xB0\xE5\x9B\xB3\xE3\x82\x92\xE8\xA1\xA8\xE7\xA4\xBA", {3}},  // 地図を表示: no blanks in Japanese
      {"Day / Night", {4}},
      {"Route to the Point of Interest", {0, 1}},
  };
  for (const auto& c : cases) {
    std::vector<size_t> got;
    for (const TermHit& h : f.SourceTerms(c.text)) got.push_back(h.Entry);
    EXPECT_EQ(got, c.entries) << c.text;
  }
  const auto hits = f.SourceTerms("Show route");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].Offset, 5u);
  EXPECT_EQ(hits[0].Length, 5u);
  EXPECT_EQ(hits[0].Term, "Route");
  EXPECT_TRUE(f.HoldsTarget("STRECKE W\xC3\x84HLEN", 0));
  EXPECT_FALSE(f.HoldsTarget("Streckenwahl", 0));
}

TEST(TermsCheck, WarnsOfAMissingTermAndRefusesAForbiddenOne) {
  Glossary g;
  g.Entries.push_back({{"Route"}, {"Strecke", "Route"}, {"Weg"}, 1});
  g.Entries.push_back({{"Map"}, {"Karte"}, {}, 2});
  PhraseTable t;
  TableBuilder()
      .Add("Route options", pfOn, std::string("Streckenoptionen"))  // lacks the term: warning
      .Add("Route", pfOn, std::string("Strecke"))                   // fine
      .Add("Map", pfOn, std::string("Weg"))                         // forbidden: error; lacks Karte: warning
      .Add("ROUTE", pfOn, std::string("STRECKE"))                   // capitals: fine
      .Add("Exit", 0, std::string("Weg"))                           // switched off: not checked
      .Fill(t);
  CheckOptions options;
  options.Page = CodePage::WestEurope;
  const CheckResult none = CheckProject(t, options);
  for (const Problem& p : none.Problems) EXPECT_NE(p.Check, "terms") << "no glossary, no terms check";
  options.Terms = std::make_shared<const TermFinder>(g);
  std::vector<std::tuple<int32_t, Severity, std::string>> got;
  for (const Problem& p : CheckProject(t, options).Problems)
    if (p.Check == "terms") got.emplace_back(p.Index, p.Level, p.Message);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(std::get<0>(got[0]), 0);
  EXPECT_EQ(std::get<1>(got[0]), Severity::Warning);
  EXPECT_EQ(std::get<2>(got[0]),
            "the glossary translates \"Route\" as \"Strecke\" or \"Route\", which the translation lacks: "
            "\"Route options\" -> \"Streckenoptionen\"");
  EXPECT_EQ(std::get<0>(got[1]), 2);
  EXPECT_EQ(std::get<1>(got[1]), Severity::Warning);
  EXPECT_EQ(std::get<0>(got[2]), 2);
  EXPECT_EQ(std::get<1>(got[2]), Severity::Error);
  EXPECT_EQ(std::get<2>(got[2]),
            "the translation holds \"Weg\", which the glossary forbids (for \"Route\" it gives \"Strecke\" or "
            "\"Route\"): \"Map\" -> \"Weg\"");
}

}  // namespace
