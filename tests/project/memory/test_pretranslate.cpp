// Byte fit of memory translations, pretranslation's rules and its one-step
// apply, suggestions, and a project's translations gathered into a memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/memory/ByteFit.h"
#include "project/memory/MemoryExport.h"
#include "project/memory/Pretranslate.h"
#include "project/memory/Suggest.h"
#include "project/memory/TmxFile.h"
#include "support/TableBuilder.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

TPhrase PhraseOfLength(uint16_t length) {
  TPhrase p;
  p.Length = length;
  return p;
}

TEST(ByteFit, InPlaceRelocatedTooLongOrUnwritable) {
  TCodePageEncoder west(CodePage::WestEurope);
  TCodePageEncoder japanese(CodePage::Japanese);
  struct Case {
    const char* name;
    std::string translation;
    uint16_t length;
    TCodePageEncoder* encoder;
    ByteFit fit;
    uint32_t size;
    uint32_t room;
  } cases[] = {
      {"shorter", "Weg", 5, &west, ByteFit::InPlace, 4, 4},
      {"even, exactly the room", "Wege", 4, &west, ByteFit::InPlace, 4, 4},
      // An odd length gets a zero byte: 5 + 1 does not fit a string of 5.
      {"odd, as long as the string", "Wegen", 5, &west, ByteFit::Relocated, 6, 4},
      {"one letter, two bytes in UTF-8, one in the code page", "K\xC3\xB6ln", 4, &west, ByteFit::InPlace, 4, 4},
      {"line breaks as a build writes them", "a\nb\n\n", 4, &west, ByteFit::InPlace, 4, 4},
      {"a character the code page lacks", "\xC5\x81\xC3\xB3\x64\xC5\xBA", 10, &west, ByteFit::Unwritable, 0, 10},
      {"Japanese in Shift JIS", "\xE5\x9C\xB0\xE5\x9B\xB3", 4, &japanese, ByteFit::InPlace, 4, 4},
      {"longer than a translation may be", std::string(70000, 'a'), 10, &west, ByteFit::TooLong, 70000, 10},
  };
  for (auto& c : cases) {
    const FitResult r = FitInUnit(c.translation, PhraseOfLength(c.length), *c.encoder);
    EXPECT_EQ(r.Fit, c.fit) << c.name;
    EXPECT_EQ(r.Size, c.size) << c.name;
    EXPECT_EQ(r.Room, c.room) << c.name;
    EXPECT_EQ(r.Problem.empty(), c.fit == ByteFit::InPlace || c.fit == ByteFit::Relocated)
        << c.name << ": " << r.Problem;
  }
  const FitResult lacking = FitInUnit("\xC5\x81\xC3\xB3\x64\xC5\xBA", PhraseOfLength(10), west);
  EXPECT_NE(lacking.Problem.find("U+0141"), std::string::npos) << lacking.Problem;
  EXPECT_EQ(ByteFitName(ByteFit::Unwritable), "cannot be written");
}

TranslationMemory MemoryOf(const std::vector<TmxUnit>& units) {
  TmxHeader h;
  h.SourceLanguage = "en";
  TranslationMemory m;
  m.AddTmx(WriteTmx(h, units), "m.tmx", MemoryOptions{});
  return m;
}

TmxUnit Unit(const std::string& source, const std::string& target, size_t places = 1, bool review = false) {
  TmxUnit u;
  u.Variants = {{"en", source}, {"de", target}};
  for (size_t k = 0; k < places; ++k) u.Places.push_back({"APM_APM", static_cast<int64_t>(k), 10});
  u.Review = review;
  return u;
}

const PretranslateEntry& EntryFor(const PretranslatePlan& plan, int32_t index) {
  for (const PretranslateEntry& e : plan.Entries)
    if (e.Index == index) return e;
  throw std::out_of_range("no entry for phrase " + std::to_string(index));
}

TEST(Pretranslate, TakesAgreeingTextsSwitchedOnAndTheRestForReview) {
  const TranslationMemory memory = MemoryOf({
      Unit("Route", "Strecke"),
      Unit("Route", "Strecke", 2),     // agrees: one translation in three places
      Unit("Menu", "Men\xC3\xBC", 1),  // disagree: two places against one
      Unit("Menu", "Hauptmen\xC3\xBC", 2),
      Unit("Exit", "Ausfahrt", 1, true),  // held for review
      Unit("Keep left", "Links halten"),  // similar: "Keep left!" scores 90
      Unit("ZOOM IN",
           "VERGR\xC3\x96\xC3\x9F"
           "ERN"),                                 // case twin of "Zoom in"
      Unit("Clock", "Uhr"),                        // "Clocks" scores 83, under 90
      Unit("Distance %d km", "Entfernung %s km"),  // breaks the printf check
      Unit("Street", "Stra\xC5\x82\x65"),          // a letter Windows-1252 lacks
      Unit("Hidden text", "Versteckt"),
  });
  PhraseTable t;
  TableBuilder()
      .Add("Route")
      .Add("Menu")
      .Add("Exit")
      .Add("Keep left!")
      .Add("Zoom in")
      .Add("Clocks")
      .Add("Distance %d km")
      .Add("Street")
      .Add("Hidden text", pfHide)
      .Add("Settings", pfOn, std::string("Einstellungen"))  // translated: kept
      .AddLink(0)
      .Fill(t);
  PretranslateOptions options;
  options.MinScore = 90;
  options.Language = "de";
  options.Page = CodePage::WestEurope;
  const PretranslatePlan plan = PlanPretranslation(t, memory, options);

  struct Want {
    int32_t index;
    PretranslateOutcome outcome;
    const char* translation;
    const char* reason;  // a part of it
  } want[] = {
      {0, PretranslateOutcome::Carried, "Strecke", ""},
      {1, PretranslateOutcome::Review, "Hauptmen\xC3\xBC", "2 of its 3 places"},
      {2, PretranslateOutcome::Review, "Ausfahrt", "for review"},
      {3, PretranslateOutcome::Review, "Links halten", "similar text, 90%"},
      {4, PretranslateOutcome::Review,
       "VERGR\xC3\x96\xC3\x9F"
       "ERN",
       "case"},
      {5, PretranslateOutcome::NotCarried, "", "no match of 90%"},
      {6, PretranslateOutcome::NotCarried, "Entfernung %s km", "printf"},
      {7, PretranslateOutcome::NotCarried, "Stra\xC5\x82\x65", "cannot be written"},
      {8, PretranslateOutcome::Carried, "Versteckt", ""},
  };
  ASSERT_EQ(plan.Entries.size(), std::size(want));
  for (const Want& w : want) {
    const PretranslateEntry& e = EntryFor(plan, w.index);
    EXPECT_EQ(e.Outcome, w.outcome) << "phrase " << w.index << ": " << e.Reason;
    EXPECT_EQ(e.Translation, w.translation) << "phrase " << w.index;
    EXPECT_NE(e.Reason.find(w.reason), std::string::npos) << "phrase " << w.index << ": " << e.Reason;
  }
  EXPECT_EQ(plan.Counts.Carried, 2u);
  EXPECT_EQ(plan.Counts.Review, 4u);
  EXPECT_EQ(plan.Counts.Refused, 2u);
  EXPECT_EQ(plan.Counts.NoMatch, 1u);
  EXPECT_EQ(plan.Counts.Kept, 1u);
  EXPECT_EQ(PretranslateOutcomeName(PretranslateOutcome::NotCarried), "not carried");

  PhraseTable applied = t;
  ASSERT_TRUE(ApplyPretranslation(applied, plan));
  const auto state = [&](size_t i) {
    const TPhrase& p = applied.Phrases[i];
    return std::make_pair(std::string(applied.EditedText(p)), p.Flags);
  };
  EXPECT_EQ(state(0), std::make_pair(std::string("Strecke"), uint16_t{pfOn}));
  EXPECT_EQ(state(1), std::make_pair(std::string("Hauptmen\xFC"), uint16_t{0})) << "in the code page, switched off";
  EXPECT_EQ(state(5), std::make_pair(std::string(), uint16_t{0}));
  EXPECT_EQ(state(6), std::make_pair(std::string(), uint16_t{0}));
  EXPECT_EQ(state(8), std::make_pair(std::string("Versteckt"), uint16_t{pfOn})) << "shown once translated";
  EXPECT_EQ(state(9), std::make_pair(std::string("Einstellungen"), uint16_t{pfOn}));
  EXPECT_EQ(applied.Phrases[10].EditIndex, -1) << "a link record takes no text";
  EXPECT_FALSE(ApplyPretranslation(applied, plan)) << "a second apply changes nothing";

  // With --overwrite the translated phrase is looked at too.
  options.Overwrite = true;
  EXPECT_EQ(PlanPretranslation(t, memory, options).Counts.Kept, 0u);
}

TEST(Pretranslate, AGlossaryForbiddenTermRefusesAMatch) {
  const TranslationMemory memory = MemoryOf({Unit("Route", "Weg"), Unit("Map", "Karte")});
  Glossary g;
  g.Entries.push_back({{"Route"}, {"Strecke"}, {"Weg"}, 1});
  g.Entries.push_back({{"Map"}, {"Landkarte"}, {}, 2});
  const TermFinder terms(g);
  PhraseTable t;
  TableBuilder().Add("Route").Add("Map").Fill(t);
  PretranslateOptions options;
  options.Language = "de";
  options.Page = CodePage::WestEurope;
  options.Terms = &terms;
  const PretranslatePlan plan = PlanPretranslation(t, memory, options);
  EXPECT_EQ(EntryFor(plan, 0).Outcome, PretranslateOutcome::NotCarried);
  EXPECT_NE(EntryFor(plan, 0).Reason.find("forbids"), std::string::npos);
  EXPECT_EQ(EntryFor(plan, 1).Outcome, PretranslateOutcome::Carried);
  EXPECT_NE(EntryFor(plan, 1).Note.find("Landkarte"), std::string::npos) << "a missing term is noted";
}

TEST(Pretranslate, ApplyIsOneStepThatLeavesAFullProjectAsItWas) {
  const TranslationMemory memory = MemoryOf({Unit("a", "x"), Unit("b", "y")});
  PhraseTable t;
  TableBuilder().Add("a").Add("b").Fill(t);
  PretranslateOptions options;
  options.Page = CodePage::WestEurope;
  const PretranslatePlan plan = PlanPretranslation(t, memory, options);
  ASSERT_EQ(plan.Taken(), (std::vector<int32_t>{0, 1}));
  // Every position of EditedTexts in use, each named by a phrase.
  PhraseTable full = t;
  full.EditedTexts.assign(kMaxEditedTexts - 1, "z");
  for (size_t k = 0; k + 1 < kMaxEditedTexts; ++k) {
    TPhrase p = full.Phrases[0];
    p.Flags = pfLink;
    p.MasterIndex = 0;
    p.EditIndex = static_cast<int16_t>(k);
    full.Phrases.push_back(p);
  }
  const PhraseTable before = full;
  EXPECT_THROW(ApplyPretranslation(full, plan), ERefusal);
  EXPECT_EQ(full.EditedTexts, before.EditedTexts);
  ASSERT_EQ(full.Phrases.size(), before.Phrases.size());
  for (size_t i = 0; i < full.Phrases.size(); ++i) {
    EXPECT_EQ(full.Phrases[i].EditIndex, before.Phrases[i].EditIndex);
    EXPECT_EQ(full.Phrases[i].Flags, before.Phrases[i].Flags);
  }
}

TEST(Suggest, RanksMatchesWithTheirBytesAndDifferences) {
  const TranslationMemory memory = MemoryOf({
      Unit("Keep right", "Rechts halten"),
      Unit("Keep left", "Links halten"),
      Unit("KEEP LEFT", "LINKS HALTEN"),
      Unit("Keep left 2", "\xC5\x81\x65wo"),
  });
  PhraseTable t;
  TableBuilder().Add("Keep left").Fill(t);
  TSuggester suggester(memory, "de", CodePage::WestEurope);
  const auto found = suggester.For(t, 0, SuggestOptions{5, 50});
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].Hit.Score.Percent, 100);
  EXPECT_EQ(found[0].Fit.Fit, ByteFit::Relocated) << "12 bytes, room 8";
  EXPECT_TRUE(found[0].Differences.empty());
  EXPECT_EQ(found[1].Hit.Score.Kind, MatchKind::CaseOnly);
  EXPECT_EQ(found[2].Hit.Source, "Keep left 2");
  EXPECT_EQ(found[2].Fit.Fit, ByteFit::Unwritable);
  EXPECT_TRUE(found[2].Hit.Score.DigitsDiffer);
  ASSERT_EQ(found[2].Differences.size(), 1u);
  EXPECT_EQ(found[2].Differences[0].Offset, 9u);
  EXPECT_EQ(found[3].Hit.Source, "Keep right");
  EXPECT_TRUE(suggester.For(t, 1, SuggestOptions{}).empty()) << "no phrase 1";
}

TEST(MemoryExport, OneUnitPerTextAndTranslationWithItsPlaces) {
  PhraseTable a;
  TableBuilder()
      .Add("Route", pfOn, std::string("Strecke"))
      .Add("Route", pfOn, std::string("Strecke"))
      .Add("Menu", 0, std::string("Men\xFC"))  // switched off: only with All
      .Add("Exit")
      .AddLink(0)
      .Names("APM", "APM")
      .Fill(a);
  PhraseTable b;
  TableBuilder().Add("Route", 0, std::string("Strecke")).Names("EUR", "EU").Fill(b);
  MemoryExportOptions options;
  options.Language = "de";
  MemoryExport m = CollectMemory({{&a, CodePage::WestEurope}, {&b, CodePage::WestEurope}}, options);
  ASSERT_EQ(m.Units.size(), 1u);
  EXPECT_EQ(m.Translations, 2u);
  EXPECT_EQ(m.Units[0].Places, (std::vector<TmxPlace>{{"APM_APM", 0, 4}, {"APM_APM", 1, 4}}));
  EXPECT_FALSE(m.Units[0].Review);
  EXPECT_EQ(m.Header.SourceLanguage, "en");
  EXPECT_EQ(m.Header.CodePage, "CP1252");
  EXPECT_EQ(m.Header.Unit, "APM_APM");

  options.All = true;
  m = CollectMemory({{&a, CodePage::WestEurope}, {&b, CodePage::WestEurope}}, options);
  ASSERT_EQ(m.Units.size(), 2u);
  EXPECT_EQ(m.Units[0].Places.size(), 3u) << "switched on in one place: translated";
  EXPECT_FALSE(m.Units[0].Review);
  EXPECT_EQ(m.Units[1].Variants[1].Text, "Men\xC3\xBC");
  EXPECT_TRUE(m.Units[1].Review);
  EXPECT_EQ(m.Header.Unit, "") << "two units: each place names its own";
}

}  // namespace
