// The registry of phrase-file formats, the rules by which PO and XLIFF
// entries come back into a project, and round trips through every format.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "analysis/Filters.h"
#include "container/io/StreamErrors.h"
#include "project/exchange/PhraseFormat.h"
#include "support/TableBuilder.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

const PhraseFormat& Format(std::string_view name) {
  const PhraseFormat* f = FindPhraseFormat(name);
  if (!f) throw std::runtime_error("no format " + std::string(name));
  return *f;
}

// The state of every phrase: flags and edited text.
struct PhraseState {
  uint16_t Flags;
  std::string Edited;
  bool operator==(const PhraseState&) const = default;
  friend void PrintTo(const PhraseState& s, std::ostream* os) { *os << "{flags " << s.Flags << ", \"" << s.Edited << "\"}"; }
};
std::map<size_t, PhraseState> States(const PhraseTable& t) {
  std::map<size_t, PhraseState> out;
  for (size_t i = 0; i < t.Phrases.size(); ++i)
    out[i] = {t.Phrases[i].Flags, t.HasEditedText(t.Phrases[i]) ? std::string(t.EditedText(t.Phrases[i])) : "-"};
  return out;
}

// 0 "Route", 1 "Menu" (edited, ON), 2 "Hidden" (hidden), 3 "Odd" (edited
// with a CR LF, off), 4 link to 1, 5 "Tiny".
PhraseTable Sample() {
  PhraseTable t;
  TableBuilder()
      .Add("Route")
      .Add("Menu", pfOn, "Menue")
      .Add("Hidden", pfHide)
      .Add("Odd", 0, "Unge\r\nrade")
      .AddLink(1)
      .Add("Tiny")
      .Fill(t);
  return t;
}

std::string PoEntry(const std::string& ctx, const std::string& id, const std::string& str, bool fuzzy = false) {
  return std::string(fuzzy ? "#, fuzzy\n" : "") + "msgctxt \"" + ctx + "\"\nmsgid \"" + id + "\"\nmsgstr \"" + str +
         "\"\n\n";
}

ExchangeOptions West() {
  ExchangeOptions o;
  o.Page = CodePage::WestEurope;
  return o;
}

}  // namespace

TEST(PhraseFormats, RegistryNamesAndFindsTheFormats) {
  EXPECT_EQ(PhraseFormatNames(), "txt|po|xliff");
  EXPECT_EQ(FindPhraseFormat("nope"), nullptr);
  for (const PhraseFormat* f : PhraseFormats())
    EXPECT_EQ(f->Capabilities(), PhraseFormat::kCanRead | PhraseFormat::kCanWrite) << f->ShortName();

  struct Case {
    const char* path;
    std::string head;
    const char* output;  // format for writing (extension only)
    const char* input;   // format for reading (extension, then the bytes)
  } cases[] = {
      {"a/Phrases.txt", "msgid \"\"\n", "txt", "txt"},
      {"x.PO", "", "po", "po"},
      {"x.pot", "", "po", "po"},
      {"d.x/x.XLF", "", "xliff", "xliff"},
      {"x.xliff", "", "xliff", "xliff"},
      {"noext", "", "txt", "txt"},
      {"x.dat", "# comment\n\nmsgctxt \"1\"\n", "txt", "po"},
      {"x.dat", "\xEF\xBB\xBFmsgid \"\"\n", "txt", "po"},
      {"x.dat", "<?xml version=\"1.0\"?>\n<!-- c -->\n<xliff version=\"1.2\">", "txt", "xliff"},
      {"x.dat", std::string("\xFF\xFE<\0x\0l\0i\0f\0f\0", 14), "txt", "xliff"},
      {"x.dat", "<?xml version=\"1.0\"?>\n<html>", "txt", "txt"},
      {"x.dat", "12 = Hello\r\n", "txt", "txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PhraseFormatForOutput(c.path).ShortName(), c.output) << c.path;
    EXPECT_EQ(PhraseFormatForInput(c.path, c.head).ShortName(), c.input) << c.path << " " << c.head;
  }
}

TEST(PhraseFormats, DialogFiltersNameEveryFormatAndEncoding) {
  const auto filters = PhraseDialogFilters(PhraseFormat::kCanRead);
  ASSERT_EQ(filters.size(), 6u);
  EXPECT_EQ(filters[1].Encoding, TextEncoding::Utf8);
  EXPECT_EQ(filters[1].Description, "Text File, UTF-8");
  EXPECT_EQ(filters[4].Format, &Format("po"));
  EXPECT_EQ(filters[5].Patterns, "*.xlf;*.xliff");
}

std::string PoWithoutContext(const std::string& id, const std::string& str) {
  return "msgid \"" + id + "\"\nmsgstr \"" + str + "\"\n\n";
}

TEST(ImportRules, EachEntryByTheRules) {
  struct Case {
    const char* name;
    std::string entries;
    bool force;
    std::map<size_t, PhraseState> changed;  // phrases whose state differs from Sample()
    std::vector<std::string> counts;        // each is part of the count line
  } cases[] = {
      {"translated: the editor's OK (text, ON, shown)", PoEntry("2", "Hidden", "Versteckt"), false,
       {{2, {pfOn, "Versteckt"}}}, {"1 applied, 0 unchanged", "0 stored switched off"}},
      {"fuzzy: the text, switched off", PoEntry("0", "Route", "Strecke", true), false, {{0, {0, "Strecke"}}},
       {"0 applied, 0 unchanged", "1 stored switched off"}},
      {"fuzzy on a hidden phrase: shown, switched off", PoEntry("2", "Hidden", "Versteckt", true), false,
       {{2, {0, "Versteckt"}}}, {"0 applied", "1 stored switched off"}},
      {"fuzzy on a switched-on text: off", PoEntry("1", "Menu", "Menue", true), false, {{1, {0, "Menue"}}},
       {"0 applied, 0 unchanged", "1 stored switched off"}},
      {"translated on a text that is off: on, the text kept", PoEntry("3", "Odd", "Unge\\nrade"), false,
       {{3, {pfOn, "Unge\r\nrade"}}}, {"1 applied, 0 unchanged"}},
      {"as the project holds it", PoEntry("1", "Menu", "Menue") + PoEntry("3", "Odd", "Unge\\r\\nrade", true), false,
       {}, {"0 applied, 2 unchanged", "0 stored switched off"}},
      {"LF against the project's CR LF is the same text", PoEntry("3", "Odd", "Unge\\nrade", true), false, {},
       {"0 applied, 1 unchanged"}},
      {"a new text", PoEntry("3", "Odd", "Seltsam", true), false, {{3, {0, "Seltsam"}}}, {"1 stored switched off"}},
      {"empty msgstr changes nothing", PoEntry("1", "Menu", ""), false, {}, {"0 applied, 1 unchanged"}},
      {"source changed: skipped", PoEntry("0", "Road", "Strasse"), false, {},
       {"0 applied, 0 unchanged, 1 source changed", "0 forced"}},
      {"source changed, forced", PoEntry("0", "Road", "Strasse"), true, {{0, {pfOn, "Strasse"}}},
       {"1 applied", "1 forced", "0 matched by text"}},
      {"unknown context", PoEntry("99", "x", "y") + PoEntry("abc", "x", "y") + PoEntry("-1", "x", "y"), false, {},
       {"3 unknown context", "0 matched by text"}},
      {"a link's index with a text found nowhere", PoEntry("4", "Gone", "x"), false, {}, {"1 unknown context"}},
      // Tools that convert or merge files drop or renumber msgctxt.
      {"no index: lands by its text", PoWithoutContext("Route", "Strecke"), false, {{0, {pfOn, "Strecke"}}},
       {"1 applied", "1 matched by text"}},
      {"no index, fuzzy: by its text, switched off", "#, fuzzy\n" + PoWithoutContext("Tiny", "Klein"), false,
       {{5, {0, "Klein"}}}, {"1 stored switched off", "1 matched by text"}},
      {"renumbered index: lands by its text", PoEntry("5", "Route", "Strecke"), false, {{0, {pfOn, "Strecke"}}},
       {"1 applied", "1 matched by text", "0 source changed"}},
      {"renumbered, forced: the text still wins", PoEntry("5", "Route", "Strecke"), true, {{0, {pfOn, "Strecke"}}},
       {"1 matched by text", "0 forced"}},
      {"a link's index with its master's text: the master", PoEntry("4", "Menu", "Neu"), false,
       {{1, {pfOn, "Neu"}}}, {"1 applied", "1 matched by text"}},
      {"no index, text found nowhere", PoWithoutContext("Gone", "x"), false, {}, {"1 unknown context"}},
      {"unrepresentable", PoEntry("0", "Route", "\xD0\x96"), false, {}, {"1 unrepresentable"}},
      {"over budget: applied, counted", PoEntry("5", "Tiny", "Winzig"), false, {{5, {pfOn, "Winzig"}}},
       {"1 applied, 0 unchanged, 0 source changed, 1 over budget"}},
      {"over budget but switched off: not counted", PoEntry("5", "Tiny", "Winzig", true), false,
       {{5, {0, "Winzig"}}}, {"0 over budget", "1 stored switched off"}},
  };
  for (const auto& c : cases) {
    PhraseTable t = Sample();
    std::map<size_t, PhraseState> expected = States(t);
    for (const auto& [i, s] : c.changed) expected[i] = s;
    ExchangeOptions o = West();
    o.Force = c.force;
    const ImportReport r = Format("po").Read(t, c.entries, o);
    EXPECT_EQ(States(t), expected) << c.name;
    for (const std::string& part : c.counts)
      EXPECT_NE(r.CountLine().find(part), std::string::npos) << c.name << ": " << part << " in " << r.CountLine();
    EXPECT_EQ(r.Changed, !c.changed.empty()) << c.name;
  }
}

TEST(ImportRules, ATextHeldBySeveralPhrasesIsAmbiguousWithoutItsIndex) {
  // 0 "Same", 1 "Same", 2 "Other".
  PhraseTable base;
  TableBuilder().Add("Same").Add("Same").Add("Other").Fill(base);
  struct Case {
    const char* name;
    std::string entries;
    int ambiguous;
    std::map<size_t, PhraseState> changed;
  } cases[] = {
      {"its index names one of them: that one", PoEntry("1", "Same", "Gleich"), 0, {{1, {pfOn, "Gleich"}}}},
      {"no index", PoWithoutContext("Same", "Gleich"), 1, {}},
      {"an index that names another text", PoEntry("2", "Same", "Gleich"), 1, {}},
      {"an index beyond the phrases", PoEntry("7", "Same", "Gleich"), 1, {}},
      {"an empty translation is no problem", PoWithoutContext("Same", ""), 0, {}},
  };
  for (const auto& c : cases) {
    PhraseTable t = base;
    std::map<size_t, PhraseState> expected = States(t);
    for (const auto& [i, s] : c.changed) expected[i] = s;
    const ImportReport r = Format("po").Read(t, c.entries, West());
    EXPECT_EQ(States(t), expected) << c.name;
    EXPECT_EQ(r.Ambiguous, c.ambiguous) << c.name;
    if (c.ambiguous) {
      ASSERT_EQ(r.Notes.size(), 1u) << c.name;
      EXPECT_TRUE(r.Notes[0].Attention) << c.name;
      EXPECT_NE(r.Notes[0].Text.find("\"Same\" occurs 2 times"), std::string::npos) << r.Notes[0].Text;
    }
  }
}

TEST(ImportRules, AFileOfPo2xliffLandsByItsSourceTexts) {
  // po2xliff numbers its units anew and keeps the PO header as a unit.
  const std::string xliff =
      "<?xml version=\"1.0\"?>\n<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.1\" version=\"1.1\">"
      "<file original=\"p.po\" source-language=\"en-US\" datatype=\"plaintext\"><body>\n"
      "<trans-unit id=\"2\" restype=\"x-gettext-domain-header\"><source>Content-Type: text/plain; "
      "charset=UTF-8\n</source><target>Content-Type: text/plain; charset=UTF-8\n</target></trans-unit>\n"
      "<trans-unit id=\"3\"><source>Route</source><target>Strecke</target></trans-unit>\n"
      "<trans-unit id=\"4\"><source>Tiny</source><target>Klein</target></trans-unit>\n"
      "</body></file></xliff>\n";
  PhraseTable t = Sample();
  const ImportReport r = Format("xliff").Read(t, xliff, West());
  EXPECT_EQ(r.Entries, 2);
  EXPECT_EQ(r.MatchedByText, 2);
  EXPECT_EQ(r.Applied, 2);
  EXPECT_EQ(r.SourceChanged, 0) << "the header is no phrase";
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "Strecke");
  EXPECT_EQ(t.EditedText(t.Phrases[5]), "Klein");
  EXPECT_EQ(t.EditedText(t.Phrases[3]), "Unge\r\nrade") << "index 3 names another text";
}

TEST(ImportRules, ForcedEntriesAreNamedWithBothTexts) {
  PhraseTable t = Sample();
  ExchangeOptions o = West();
  o.Force = true;
  const ImportReport r =
      Format("po").Read(t, PoEntry("1", "Menu", "Menue") + PoEntry("0", "Road", "Strasse"), o);  // lines 1-4, 5-8
  EXPECT_EQ(r.Forced, 1);
  std::vector<ImportNote> attention;
  for (const ImportNote& n : r.Notes)
    if (n.Attention) attention.push_back(n);
  ASSERT_EQ(attention.size(), 1u);
  EXPECT_EQ(attention[0].Line, 5u);
  EXPECT_EQ(attention[0].Text, "phrase 0: forced over a changed source text: old \"Road\" (the file's), new \"Route\" "
                               "(the project's)");
  EXPECT_NE(r.Text("f.po", 0).find("f.po:5: phrase 0: forced"), std::string::npos) << "never left out";
}

TEST(ImportRules, ANulInATranslationIsRefusedByEveryReader) {
  // The XLIFF placeholder of a control character, and PO, which has no
  // escape for a NUL and refuses it as it parses.
  const std::string xliff =
      "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file original=\"x\" source-language=\"en\" datatype=\"plaintext\">"
      "<body>\n<trans-unit id=\"0\"><source>Route</source>\n<target>a<x id=\"1\" ctype=\"x-velmora-control\" "
      "equiv-text=\"U+0000\"/>b</target></trans-unit>\n</body></file></xliff>\n";
  PhraseTable t = Sample();
  const auto before = States(t);
  const ImportReport r = Format("xliff").Read(t, xliff, West());
  EXPECT_EQ(States(t), before);
  EXPECT_EQ(r.Unrepresentable, 1);
  ASSERT_EQ(r.Notes.size(), 1u);
  EXPECT_EQ(r.Notes[0].Line, 4u);
  EXPECT_NE(r.Notes[0].Text.find("NUL"), std::string::npos) << r.Notes[0].Text;
  EXPECT_THROW(Format("po").Read(t, std::string("msgctxt \"0\"\nmsgid \"Route\"\nmsgstr \"a") + '\0' + "b\"\n", West()),
               EFormatError);
  EXPECT_EQ(States(t), before);
}

TEST(ImportRules, NotesNameTheLinesThatNeedAttention) {
  PhraseTable t = Sample();
  const std::string po = PoEntry("5", "Tiny", "Winzig") +                   // lines 1-4: over budget
                         PoEntry("0", "Road", "Strasse") +                  // 5-8
                         PoEntry("1", "Menu", "") +                         // 9-12
                         "msgctxt \"3\"\nmsgid \"Odd\"\nmsgstr \"\"\n\"ok\"\n\"\xD0\x96\"\n\n" +  // 13-18
                         PoEntry("77", "x", "y");                           // 19-
  const ImportReport r = Format("po").Read(t, po, West());
  ASSERT_EQ(r.Notes.size(), 4u);
  EXPECT_EQ(r.Notes[0].Line, 3u);
  EXPECT_FALSE(r.Notes[0].Attention) << "an applied text longer than its room only informs";
  EXPECT_EQ(r.Notes[1].Line, 5u);
  EXPECT_NE(r.Notes[1].Text.find("phrase 0: the source text differs"), std::string::npos);
  EXPECT_EQ(r.Notes[2].Line, 17u) << "the line of the character";
  EXPECT_NE(r.Notes[2].Text.find("U+0416"), std::string::npos) << r.Notes[2].Text;
  EXPECT_EQ(r.Notes[3].Line, 19u);
  for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(r.Notes[i].Attention) << i;
  // Whatever the limit, the entries that need attention come first and all
  // of them; only the others are cut.
  const std::string problems =
      "f.po:5: " + r.Notes[1].Text + "\nf.po:17: " + r.Notes[2].Text + "\nf.po:19: " + r.Notes[3].Text;
  EXPECT_EQ(r.Text("f.po", 0), r.CountLine() + "\n" + problems + "\n... and 1 more.");
  EXPECT_EQ(r.Text("f.po", 1), r.CountLine() + "\n" + problems + "\nf.po:3: " + r.Notes[0].Text);
}

TEST(ImportRules, CodePageRecordedInTheFileIsUsedWhenNoneIsChosen) {
  // "Привет" in Windows-1251; the file says it was written under russian.
  PhraseTable t;
  TableBuilder().Add("\xCF\xF0\xE8\xE2\xE5\xF2").Fill(t);
  const std::string po =
      "msgid \"\"\nmsgstr \"X-Velmora-Code-Page: russian (CP1251)\\n\"\n\n" +
      PoEntry("0", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\x9C\xD0\xB8\xD1\x80");
  ExchangeOptions unchosen = West();
  unchosen.PageChosen = false;
  PhraseTable a = t;
  EXPECT_EQ(Format("po").Read(a, po, unchosen).Applied, 1);
  EXPECT_EQ(a.EditedText(a.Phrases[0]), "\xCC\xE8\xF0");
  // Chosen otherwise: the choice holds and the report says so.
  PhraseTable b = t;
  const ImportReport r = Format("po").Read(b, po, West());
  EXPECT_EQ(r.Applied, 0);
  EXPECT_EQ(r.SourceChanged, 1);
  ASSERT_FALSE(r.Notes.empty());
  EXPECT_EQ(r.Notes[0].Line, 1u);
  EXPECT_NE(r.Notes[0].Text.find("\"russian\""), std::string::npos);
}

TEST(ImportRules, AParseErrorOrAFailedChangeLeavesTheTableAsItWas) {
  PhraseTable t = Sample();
  const auto before = States(t);
  EXPECT_THROW(Format("po").Read(t, PoEntry("0", "Route", "Strecke") + "msgctxt \"2\"\nmsgid \"Hidden", West()),
               EFormatError);
  EXPECT_THROW(Format("xliff").Read(t, "<xliff><file><body><trans-unit id=\"0\"><source>Route</source>"
                                       "<target>Strecke</target></trans-unit>",
                                    West()),
               EFormatError);
  EXPECT_EQ(States(t), before);
  // Texts no phrase names make room when the list is full: the import goes on.
  PhraseTable roomy = Sample();
  while (roomy.EditedTexts.size() < 32767) roomy.EditedTexts.push_back("unused");
  Format("po").Read(roomy, PoEntry("0", "Route", "Strecke") + PoEntry("2", "Hidden", "V"), West());
  EXPECT_EQ(roomy.EditedText(roomy.Phrases[0]), "Strecke");
  EXPECT_EQ(roomy.EditedText(roomy.Phrases[2]), "V");
  // Every position in use: the second new text fails, and the first is taken
  // back with it.
  const TPhrase extra = t.Phrases[5];
  while (t.EditedTexts.size() < 32767) {
    t.Phrases.push_back(extra);
    t.Phrases.back().EditIndex = static_cast<int16_t>(t.EditedTexts.size());
    t.EditedTexts.push_back("in use");
  }
  const auto full = States(t);
  EXPECT_ANY_THROW(Format("po").Read(t, PoEntry("0", "Route", "Strecke") + PoEntry("2", "Hidden", "V"), West()));
  EXPECT_EQ(States(t), full);
  EXPECT_EQ(t.EditedTexts.size(), 32767u);
}

TEST(ImportRules, TextsLongerThanAProjectHoldsAreRefused) {
  PhraseTable t = Sample();
  const ImportReport r = Format("po").Read(t, PoEntry("0", "Route", std::string(65536, 'x')), West());
  EXPECT_EQ(r.TooLong, 1);
  EXPECT_EQ(r.Applied, 0);
  EXPECT_FALSE(t.HasEditedText(t.Phrases[0]));
  ASSERT_EQ(r.Notes.size(), 1u);
  EXPECT_EQ(r.Notes[0].Line, 3u);
}

TEST(PhraseFormats, UnchangedExportImportsWithoutAChange) {
  struct Case {
    CodePage page;
    std::vector<std::string> texts;
    std::vector<std::string> edited;
  } cases[] = {
      {CodePage::WestEurope, {"K\xF6ln", "Two\nlines", "Say \"hi\"\\", "Plain"}, {"K\xF6ln!", "Zwei\r\nZeilen\x01", "", "x"}},
      {CodePage::Japanese,
       {"\x8F\x5A\x8F\x8A", "\x83\x81\x83\x6A\x83\x85\x81\x5B\nAB", "\xB1\xB2", "1\x82\xA0"},
       {"\x8F\x5A", "", "\xB1", "ABC"}},
  };
  for (const auto& c : cases) {
    if (c.page == CodePage::Japanese && !HasCodePage932()) continue;
    TableBuilder b;
    for (size_t i = 0; i < c.texts.size(); ++i)
      b.Add(c.texts[i], i % 2 ? pfOn : 0, c.edited[i].empty() ? std::nullopt : std::optional(c.edited[i]));
    b.AddLink(0);
    PhraseTable t;
    b.Fill(t);
    ExchangeOptions o;
    o.Page = c.page;
    for (const char* name : {"po", "xliff"}) {
      const PhraseFormat& f = Format(name);
      const std::string file = f.Write(t, FilterRows(t, GridFilter::NoFilter), o);
      PhraseTable back = t;
      const ImportReport r = f.Read(back, file, o);
      EXPECT_FALSE(r.Changed) << name << ": " << r.Text(name, 10);
      EXPECT_EQ(r.Unchanged, static_cast<int>(c.texts.size())) << name << ": " << r.Text(name, 10);
      EXPECT_EQ(States(back), States(t)) << name;
      EXPECT_EQ(back.EditedTexts, t.EditedTexts) << name << ": no text was added";
    }
  }
}

TEST(PhraseFormats, ImportPhraseFileNamesThePathInParseErrors) {
  velmora::test::TempDir dir;
  const std::string path = dir.File("bad.po");
  velmora::test::WriteFile(path, std::string("msgctxt \"1\"\nmsgid \"x\n"));
  PhraseTable t = Sample();
  try {
    ImportPhraseFile(nullptr, t, path, West());
    ADD_FAILURE() << "accepted";
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()), path + ": line 2: unterminated string");
  }
  EXPECT_THROW(ImportPhraseFile(nullptr, t, dir.File("missing.po"), West()), EFOpenError);
}
