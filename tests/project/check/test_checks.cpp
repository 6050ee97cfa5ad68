// The checks a translation passes before it reaches the unit: each check's
// table of text pairs, the registry, and a whole project run.
#include <gtest/gtest.h>

#include <algorithm>

#include "project/check/CharacterSet.h"
#include "project/check/CheckRun.h"
#include "project/check/PrintfDirectives.h"
#include "project/exchange/PhraseFormat.h"
#include "support/TableBuilder.h"

namespace velmora {
namespace {

using test::TableBuilder;

// The ids of the problems found for one switched-on translation.
std::vector<std::string> IdsFor(const std::string& origin, const std::string& translation,
                                const CheckOptions& options = {}) {
  PhraseTable table;
  TableBuilder().Add(origin, pfOn, translation).Fill(table);
  std::vector<std::string> ids;
  for (const Problem& p : CheckProject(table, options).Problems) ids.push_back(p.Check);
  return ids;
}

bool Has(const std::vector<std::string>& ids, const std::string& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

struct PairCase {
  const char* origin;
  const char* translation;
  bool error;  // a printf error expected
  const char* why;
};

TEST(PrintfCheck, DirectivePairs) {
  const PairCase cases[] = {
      {"%d km", "%d км", false, "same"},
      {"Version %s of %d", "Version %s von %d", false, "same order"},
      {"Version %s of %d", "%d: Version %s", true, "swapped"},
      {"ETA %02d:%02d", "ETA %02d", true, "dropped"},
      {"Speed", "Speed %d", true, "added"},
      {"%d km", "%d km %s", true, "added after"},
      {"%5d items", "%3d items", false, "width changed: same argument"},
      {"%*d", "%d", true, "a star width reads an argument"},
      {"%.*s", "%.5s", true, "a star precision reads an argument"},
      {"100%% done", "100%% fertig", false, "literal percent"},
      {"100%% done", "fertig", false, "literal percent dropped reads nothing"},
      {"%d%%", "%d %", true, "lone percent at the end"},
      {"%ld bytes", "%d bytes", true, "length modifier dropped"},
      {"%d bytes", "%lld bytes", true, "length modifier added"},
      {"%hhd", "%hd", true, "char against short"},
      {"%x", "%u", false, "both unsigned int"},
      {"%d", "%u", true, "signed against unsigned"},
      {"%f", "%Lf", true, "double against long double"},
      {"%1$s has %2$d", "%2$d in %1$s", false, "positional reordered"},
      {"%1$s has %2$d", "%1$s has %1$s", true, "positional: second argument never read"},
      {"%1$s has %2$d", "%1$d in %2$s", true, "positional: types exchanged"},
      {"%s has %d", "%2$d in %1$s", true, "numbers where the origin has none"},
      {"%1$s has %2$d", "%1$s has %d", true, "numbered and unnumbered mixed"},
      {"%1$s has %2$d", "%s has %d", false, "same order without numbers"},
      {"%s", "%n", true, "a pointer to write through"},
      {"50% off", "50% weg", true, "'% o' reads an unsigned; '% w' none"},
      {"ready", "100% sure", true, "'% s' reads a string"},
      {"ready", "100 %", false, "a stray percent where the origin is no format"},
      {"%-10s|", "%-10s|", false, "flags and width"},
      {"%#08.3lx", "%#08.3lx", false, "everything at once"},
  };
  for (const auto& c : cases) {
    const auto ids = IdsFor(c.origin, c.translation);
    EXPECT_EQ(Has(ids, "printf"), c.error) << c.why << ": \"" << c.origin << "\" -> \"" << c.translation << "\"";
  }
}

TEST(PrintfCheck, MessagesNameTheFaultAndBothTexts) {
  PhraseTable table;
  TableBuilder()
      .Add("Version %s of %d", pfOn, "Version %d von %s")
      .Add("ETA %02d:%02d", pfOn, "ETA %02d")
      .Add("%ld bytes", pfOn, "%d Bytes")
      .Fill(table);
  const auto errors = ErrorsOf(CheckProject(table, {}));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_NE(errors[0].Message.find("another order"), std::string::npos) << errors[0].Message;
  EXPECT_NE(errors[0].Message.find("\"Version %s of %d\" -> \"Version %d von %s\""), std::string::npos);
  EXPECT_NE(errors[1].Message.find("drops argument 2"), std::string::npos) << errors[1].Message;
  EXPECT_NE(errors[2].Message.find("long"), std::string::npos) << errors[2].Message;
  EXPECT_EQ(errors[2].Index, 2);
  EXPECT_EQ(CheckProblemLine(errors[1]).rfind("phrase 1: error: printf: the translation drops", 0), 0u);
}

TEST(PrintfCheck, WidthOrFlagChangeIsAWarning) {
  const struct {
    const char* origin;
    const char* translation;
    bool warned;
  } cases[] = {
      {"%5d items", "%3d items", true},
      {"%s", "%-20s", true},
      {"%x", "%X", true},
      {"%.2f", "%.2f EUR", false},
      {"%1$s %2$d", "%2$d %1$s", false},
      {"%1$5s %2$d", "%2$d %1$s", true},
  };
  for (const auto& c : cases) {
    const auto ids = IdsFor(c.origin, c.translation);
    EXPECT_FALSE(Has(ids, "printf")) << c.origin << " -> " << c.translation;
    EXPECT_EQ(Has(ids, "printf-style"), c.warned) << c.origin << " -> " << c.translation;
  }
}

TEST(PrintfDirectives, ParsesEveryPart) {
  const auto d = ParsePrintf("a %1$-+ #0*2$.*3$lld b %% c %");
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].Position, 1);
  EXPECT_EQ(d[0].Flags, "-+ #0");
  EXPECT_EQ(d[0].Width, "*2$");
  EXPECT_EQ(d[0].Precision, "*3$");
  EXPECT_EQ(d[0].Length, "ll");
  EXPECT_EQ(d[0].Conversion, 'd');
  EXPECT_EQ(d[0].Text, "%1$-+ #0*2$.*3$lld");
  EXPECT_EQ(d[1].Conversion, '%');
  EXPECT_FALSE(d[2].Valid);
  const auto a = PrintfArgumentsOf("%1$-+ #0*2$.*3$lld");
  ASSERT_EQ(a.Arguments.size(), 3u);
  EXPECT_EQ(a.Arguments[0].Type, "long long");
  EXPECT_EQ(a.Arguments[1].Type, "int");
  EXPECT_EQ(a.Arguments[2].Type, "int");
}

TEST(PrintfDirectives, FormatOrNot) {
  EXPECT_TRUE(IsPrintfFormat("%d km"));
  EXPECT_TRUE(IsPrintfFormat("100%%"));
  EXPECT_FALSE(IsPrintfFormat("100%"));
  EXPECT_FALSE(IsPrintfFormat("%d of 100%"));
  EXPECT_FALSE(IsPrintfFormat("plain"));
}

TEST(ControlCheck, ControlBytesTheOriginLacks) {
  const struct {
    std::string origin, translation;
    bool error;
    const char* why;
  } cases[] = {
      {"Line one\nLine two", "Zeile eins\nZeile zwei", false, "line break the origin has"},
      {"One line", "Eine\nZeile", false, "a line break is the line-break check's warning"},
      {"One line", "Eine Zeile\r\n", false, "a trailing line break is not built"},
      {std::string("Col\x1B[1m"), std::string("Farbe\x1B[1m"), false, "escape the origin has"},
      {"Plain", std::string("Pl\x1B" "ain"), true, "escape the origin lacks"},
      {"Plain", std::string("Pl\0ain", 6), true, "NUL ends the text early"},
      {"Tab\there", "Tab\there", false, "tab the origin has"},
      {"Plain", std::string("Pl\x7F"), true, "DEL"},
  };
  for (const auto& c : cases) EXPECT_EQ(Has(IdsFor(c.origin, c.translation), "control"), c.error) << c.why;
}

TEST(CodePageCheck, BytesWithoutACharacter) {
  CheckOptions west;
  west.Page = CodePage::WestEurope;
  // 0x81 has no character in Windows-1252; 0xE9 is an e with acute.
  EXPECT_FALSE(Has(IdsFor("Cafe", "Caf\xE9", west), "codepage"));
  EXPECT_TRUE(Has(IdsFor("Cafe", "Caf\x81", west), "codepage"));
  // An origin that does not decode either says the code page is not the unit's.
  EXPECT_FALSE(Has(IdsFor("X\x81", "Y\x81", west), "codepage"));
  CheckOptions japanese;
  japanese.Page = CodePage::Japanese;
  EXPECT_FALSE(Has(IdsFor("Menu", "\x83\x81\x83\x6A\x83\x85\x81\x5B", japanese), "codepage")) << "メニュー";
  EXPECT_TRUE(Has(IdsFor("Menu", "\x83", japanese), "codepage")) << "a lead byte alone";
}

TEST(CharsetCheck, CharactersOutsideTheFont) {
  CheckOptions options;
  options.Page = CodePage::Russian;
  options.Charset = ParseCharacterSet("\xEF\xBB\xBF" "ABCabc %d\n\xD0\x90\xD0\x91");  // BOM, ASCII, "АБ"
  EXPECT_FALSE(Has(IdsFor("ABC", "\xC0\xC1 %d", options), "charset")) << "АБ are listed";
  EXPECT_TRUE(Has(IdsFor("ABC", "\xC0\xC2", options), "charset")) << "В is not";
  EXPECT_TRUE(Has(IdsFor("ABC", "abce", options), "charset")) << "e is not listed";
  EXPECT_FALSE(Has(IdsFor("ABC", "abcd", {}), "charset")) << "no character set given";
  PhraseTable table;
  TableBuilder().Add("ABC", pfOn, "\xC0\xC2\xC3").Fill(table);
  const auto r = CheckProject(table, options);
  ASSERT_EQ(r.Errors, 1u);
  EXPECT_NE(r.Problems[0].Message.find("\"\xD0\x92\" (U+0412), \"\xD0\x93\" (U+0413)"), std::string::npos)
      << r.Problems[0].Message;
  EXPECT_THROW(ParseCharacterSet("ab\xFF"), std::exception);
}

TEST(LayoutChecks, Table) {
  const struct {
    std::string origin, translation, check;
    bool found;
  } cases[] = {
      {"One\nTwo", "Eins\nZwei", "line-breaks", false},
      {"One", "Eins\nZwei", "line-breaks", true},
      {"One\nTwo", "Eins\nZwei\nDrei", "line-breaks", true},
      {"One\nTwo\nThree", "Eins\nZwei", "line-breaks", false},
      {" Menu", " Menü", "blanks", false},
      {" Menu", "Menü", "blanks", true},
      {"Menu: ", "Menü:", "blanks", true},
      {"Menu", "Menü ", "blanks", true},
      {"(km)", "(km)", "brackets", false},
      {"(km)", "(km", "brackets", true},
      {"[%d]", "]%d[", "brackets", true},
      {"\"Go\"", "\"Los", "brackets", true},
      {"(a", "(b", "brackets", false},
      {"Go", "Los)", "brackets", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Has(IdsFor(c.origin, c.translation), c.check), c.found)
        << c.check << ": \"" << c.origin << "\" -> \"" << c.translation << "\"";
}

TEST(ProjectChecks, SameOriginTranslatedTwoWaysListsThePhrases) {
  PhraseTable table;
  TableBuilder()
      .Add("Exit", pfOn, "Ende")
      .Add("Back", pfOn, "Zurück")
      .Add("Exit", pfOn, "Ausgang")
      .Add("Exit", pfOn, "Ende")
      .Add("Back", pfOn, "Zurück")
      .Fill(table);
  std::vector<int32_t> flagged;
  std::string message;
  for (const Problem& p : CheckProject(table, {}).Problems) {
    if (p.Check != "consistency") continue;
    flagged.push_back(p.Index);
    if (p.Index == 2) message = p.Message;
  }
  EXPECT_EQ(flagged, (std::vector<int32_t>{0, 2, 3}));
  EXPECT_NE(message.find("phrase(s) 0 (\"Ende\"), 3 (\"Ende\")"), std::string::npos) << message;
}

TEST(ProjectChecks, RelocatedIdenticalAndGrowth) {
  PhraseTable table;
  TableBuilder()
      .Add("OK", pfOn, "OK")
      .Add("Go", pfOn, "Weiter geht es")
      .Add("No", 0, "Nein, nein")
      .Fill(table);
  CheckOptions options;
  auto r = CheckProject(table, options);
  ASSERT_EQ(r.Checked, 2u) << "the switched-off text is left out";
  ASSERT_EQ(r.Problems.size(), 2u);
  EXPECT_EQ(r.Problems[0].Check, "identical");
  EXPECT_EQ(r.Problems[0].Level, Severity::Info);
  EXPECT_EQ(r.Problems[1].Check, "relocated");
  EXPECT_EQ(r.Problems[1].Index, 1);

  options.AllEdited = true;
  r = CheckProject(table, options);
  EXPECT_EQ(r.Checked, 3u);
  EXPECT_TRUE(std::any_of(r.Problems.begin(), r.Problems.end(), [](const Problem& p) { return p.Index == 2; }));

  options.MaxGrowth = 100;
  EXPECT_EQ(CheckProject(table, options).Warnings, 0u) << "16 bytes appended";
  options.MaxGrowth = 8;
  r = CheckProject(table, options);
  ASSERT_EQ(r.Warnings, 1u);
  EXPECT_EQ(r.Problems.back().Index, -1);
  EXPECT_EQ(r.Problems.back().Check, "growth");
  EXPECT_NE(r.Problems.back().Message.find("more than the 8 bytes allowed"), std::string::npos);
}

TEST(CheckRegistry, EveryCheckHasAUniqueIdAndErrorsComeFirst) {
  const auto& all = Checks();
  for (const char* id : {"printf", "codepage", "charset", "control", "printf-style", "line-breaks", "blanks",
                         "brackets", "consistency", "growth", "relocated", "identical"}) {
    const TextCheck* c = FindCheck(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_FALSE(c->Summary().empty());
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [&](const TextCheck* k) { return k->Id() == id; }), 1);
  }
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                             [](const TextCheck* a, const TextCheck* b) { return a->Level() < b->Level(); }));
}

TEST(CheckTypedText, TheEditorsTextAsItWouldBeBuilt) {
  PhraseTable table;
  TableBuilder().Add("%d km").AddLink(0).Fill(table);
  EXPECT_TRUE(CheckTypedText(table, 0, "", {}).empty()) << "an empty text removes the translation";
  const auto typed = CheckTypedText(table, 0, "%s km\r\n", {});
  ASSERT_EQ(typed.size(), 2u);
  EXPECT_EQ(typed[0].Check, "printf");
  EXPECT_EQ(typed[1].Check, "relocated") << "5 bytes and the zero a build adds take 6, the room is 5";
  EXPECT_TRUE(CheckTypedText(table, 1, "%s", {}).empty()) << "links are never edited";
  const auto same = CheckTypedText(table, 0, "%d km", {});
  EXPECT_TRUE(std::any_of(same.begin(), same.end(), [](const Problem& p) { return p.Check == "identical"; }));
}

TEST(ExchangeFlags, PoFlagsFormatsAndStrayPercents) {
  PhraseTable table;
  TableBuilder()
      .Add("Speed %d km/h")
      .Add("100% sure")  // "% s" reads a string: a format
      .Add("Done 100%", pfOn, "Fertig")
      .Add("Plain", 0, "Schlicht")
      .Add("Rate %d%%", 0, "Rate %d%%")
      .Fill(table);
  const std::string po = FindPhraseFormat("po")->Write(table, {0, 1, 2, 3, 4}, ExchangeOptions{});
  EXPECT_NE(po.find("#, c-format\nmsgctxt \"0\""), std::string::npos) << po;
  EXPECT_NE(po.find("#, c-format\nmsgctxt \"1\""), std::string::npos) << po;
  EXPECT_NE(po.find("#, no-c-format\nmsgctxt \"2\""), std::string::npos) << po;
  EXPECT_NE(po.find("#, fuzzy\nmsgctxt \"3\""), std::string::npos) << po;
  EXPECT_NE(po.find("#, fuzzy, c-format\nmsgctxt \"4\""), std::string::npos) << po;
}

}  // namespace
}  // namespace velmora
