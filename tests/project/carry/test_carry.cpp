// Carrying translations between two projects: the status of every phrase,
// what the new project receives, and the reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/carry/Carry.h"
#include "project/carry/CarryReport.h"
#include "project/carry/CarryWarnings.h"
#include "support/TableBuilder.h"
#include "support/TestSupport.h"

using namespace velmora;

namespace {

// One phrase of a hand-made project: a link record when master >= 0.
struct P {
  std::string text = {};
  uint16_t flags = 0;
  std::optional<std::string> edited = std::nullopt;
  int master = -1;
};

PhraseTable Project(const std::vector<P>& phrases) {
  test::TableBuilder builder;
  for (const P& p : phrases) {
    if (p.master >= 0)
      builder.AddLink(p.master);
    else
      builder.Add(p.text, p.flags, p.edited);
  }
  PhraseTable t;
  builder.Fill(t);
  return t;
}

std::vector<const CarryEntry*> EntriesOfOld(const CarryPlan& plan, int32_t oldIndex) {
  std::vector<const CarryEntry*> out;
  for (const CarryEntry& e : plan.Entries)
    if (e.OldIndex == oldIndex) out.push_back(&e);
  return out;
}
const CarryEntry* EntryOfNew(const CarryPlan& plan, int32_t newIndex) {
  for (const CarryEntry& e : plan.Entries)
    if (e.NewIndex == newIndex) return &e;
  return nullptr;
}

}  // namespace

TEST(Carry, EachPhraseGetsItsStatusAndTheNewProjectOnlyItsTranslations) {
  const PhraseTable oldProject = Project({
      {"Route", pfOn, "Marshrut"},           // 0 carried, switched on
      {"Volume", 0, "Gromkost"},             // 1 carried, switched off
      {"Hidden", pfOn, "Skryto"},            // 2 carried
      {"Menu"},                              // 3 matched, nothing to carry
      {"Removed", pfOn, "Udaleno"},          // 4 gone
      {"OK", pfOn, "Ladno"},                 // 5 once here, twice in the new project: both for review
      {"", 0, std::nullopt, 0},              // 6 link to Route
      {"Own", pfOn, "Svoy"},                 // 7 kept: the new phrase has its own translation
  });
  PhraseTable newProject = Project({
      {"Brand new"},                         // 0 new
      {"Route", pfHide},                     // 1
      {"", 0, std::nullopt, 1},              // 2 link to Route
      {"Volume", pfHide},                    // 3
      {"Hidden", pfHide},                    // 4
      {"Menu", pfHide},                      // 5
      {"OK"},                                // 6
      {"OK", pfHide},                        // 7
      {"Own", 0, "Mine"},                    // 8
  });
  const PhraseTable before = newProject;

  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  const struct {
    int32_t newIndex, oldIndex;
    CarryStatus status;
    PairRule rule;
  } expected[] = {
      {0, -1, CarryStatus::New, PairRule::None},       {1, 0, CarryStatus::Carried, PairRule::Unique},
      {3, 1, CarryStatus::Carried, PairRule::Unique},  {4, 2, CarryStatus::Carried, PairRule::Unique},
      {5, 3, CarryStatus::Matched, PairRule::Unique},  {6, 5, CarryStatus::Review, PairRule::Copied},
      {7, 5, CarryStatus::Review, PairRule::Copied},   {8, 7, CarryStatus::Kept, PairRule::Unique},
  };
  for (const auto& x : expected) {
    const CarryEntry* e = EntryOfNew(plan, x.newIndex);
    ASSERT_NE(e, nullptr) << x.newIndex;
    EXPECT_EQ(e->OldIndex, x.oldIndex) << x.newIndex;
    EXPECT_EQ(e->Status, x.status) << x.newIndex;
    EXPECT_EQ(e->Rule, x.rule) << x.newIndex;
  }
  ASSERT_EQ(EntriesOfOld(plan, 4).size(), 1u);
  EXPECT_EQ(EntriesOfOld(plan, 4)[0]->Status, CarryStatus::Gone);
  EXPECT_EQ(EntriesOfOld(plan, 5).size(), 2u) << "one line for each new copy";
  EXPECT_TRUE(EntriesOfOld(plan, 6).empty()) << "link records take no part";
  EXPECT_EQ(EntryOfNew(plan, 2), nullptr);

  const CarryCounts& c = plan.Counts;
  // New phrases, then old ones.
  EXPECT_EQ(c.Carried, 3u);
  EXPECT_EQ(c.Review, 2u);
  EXPECT_EQ(c.Kept, 1u);
  EXPECT_EQ(c.Matched, 1u);
  EXPECT_EQ(c.New, 1u);
  EXPECT_EQ(c.Ambiguous + c.Limit, 0u);
  EXPECT_EQ(c.OldCarried, 3u);
  EXPECT_EQ(c.OldReview, 1u);
  EXPECT_EQ(c.OldKept, 1u);
  EXPECT_EQ(c.OldMatched, 1u);
  EXPECT_EQ(c.Gone, 1u);
  EXPECT_EQ(c.GoneTranslated, 1u);

  ASSERT_TRUE(ApplyCarry(oldProject, newProject, plan));
  const auto& n = newProject.Phrases;
  EXPECT_EQ(newProject.EditedText(n[1]), "Marshrut");
  EXPECT_EQ(n[1].Flags, pfOn) << "ON as it was, HIDE cleared";
  EXPECT_EQ(newProject.EditedText(n[3]), "Gromkost");
  EXPECT_EQ(n[3].Flags, 0);
  EXPECT_EQ(newProject.EditedText(n[4]), "Skryto");
  EXPECT_EQ(n[4].Flags, pfOn);
  EXPECT_EQ(n[5].Flags, pfHide) << "an untranslated phrase keeps its own flags";
  EXPECT_EQ(n[5].EditIndex, -1);
  for (size_t i : {6u, 7u}) {
    EXPECT_EQ(newProject.EditedText(n[i]), "Ladno") << i;
    EXPECT_EQ(n[i].Flags, 0) << i << ": for review, switched off and shown";
  }
  EXPECT_EQ(newProject.EditedText(n[8]), "Mine");
  for (size_t i : {0u, 2u}) EXPECT_EQ(n[i].EditIndex, -1) << i;
  // Nothing else changed: texts are appended, the image and every other
  // field of the records stay.
  EXPECT_EQ(newProject.UnitImage, before.UnitImage);
  ASSERT_EQ(newProject.EditedTexts.size(), before.EditedTexts.size() + 5);
  EXPECT_EQ(newProject.EditedTexts[0], "Mine");
  for (size_t i = 0; i < n.size(); ++i) {
    EXPECT_EQ(n[i].LinkAddress, before.Phrases[i].LinkAddress);
    EXPECT_EQ(n[i].StringAddress, before.Phrases[i].StringAddress);
    EXPECT_EQ(n[i].Length, before.Phrases[i].Length);
    EXPECT_EQ(n[i].MasterIndex, before.Phrases[i].MasterIndex);
  }
  EXPECT_FALSE(ApplyCarry(oldProject, newProject, PlanCarry(oldProject, newProject, {})))
      << "a second carry finds every translation in place";
}

TEST(Carry, CopiesThatAgreeGoToEveryNewCopyAndLoseNothing) {
  // Three copies of OK with one translation, switched on, become two in
  // the new project and are mixed around: both take it, final; the copy
  // that went loses no translation.
  const PhraseTable oldProject = Project({{"OK", pfOn, "Gut"}, {"Alpha"}, {"OK", pfOn, "Gut"}, {"Beta"},
                                          {"OK", pfOn, "Gut"}});
  PhraseTable newProject = Project({{"Beta"}, {"OK"}, {"Alpha"}, {"OK", pfHide}});
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  for (int32_t n : {1, 3}) {
    const CarryEntry* e = EntryOfNew(plan, n);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Status, CarryStatus::Carried) << n;
    EXPECT_EQ(e->Rule, PairRule::SameTranslation) << n;
  }
  EXPECT_EQ(plan.Counts.Carried, 2u);
  EXPECT_EQ(plan.Counts.Gone, 1u);
  EXPECT_EQ(plan.Counts.GoneTranslated, 0u) << "its translation lives on in the other copies";
  ApplyCarry(oldProject, newProject, plan);
  for (size_t n : {1u, 3u}) {
    EXPECT_EQ(newProject.EditedText(newProject.Phrases[n]), "Gut");
    EXPECT_EQ(newProject.Phrases[n].Flags, pfOn);
  }
}

TEST(Carry, OverwriteReplacesTheNewProjectsOwnTranslations) {
  const PhraseTable oldProject = Project({{"Own", pfOn, "Old text"}, {"Same", 0, "Equal"}});
  PhraseTable newProject = Project({{"Own", pfHide, "New text"}, {"Same", pfOn, "Equal"}});
  CarryOptions options;
  options.Overwrite = true;
  const CarryPlan plan = PlanCarry(oldProject, newProject, options);
  EXPECT_EQ(plan.Counts.Carried, 2u);
  EXPECT_EQ(plan.Counts.Kept, 0u);
  ASSERT_TRUE(ApplyCarry(oldProject, newProject, plan));
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[0]), "Old text");
  EXPECT_EQ(newProject.Phrases[0].Flags, pfOn);
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[1]), "Equal");
  EXPECT_EQ(newProject.Phrases[1].Flags, 0) << "switched off, as in the old project";
  EXPECT_EQ(newProject.EditedTexts.size(), 3u) << "an equal text is not stored twice";
}

TEST(Carry, ASimilarTextTakesTheTranslationSwitchedOffForReview) {
  const PhraseTable oldProject = Project({{"Alpha"}, {"Recalculating route", pfOn, "Perescet"}, {"Beta"}});
  PhraseTable newProject = Project({{"Alpha"}, {"Recalculating the route", pfHide}, {"Beta"}});
  EXPECT_EQ(PlanCarry(oldProject, newProject, {}).Counts.Gone, 1u) << "no similar texts unless asked";
  CarryOptions options;
  options.FuzzyPercent = 20;
  const CarryPlan plan = PlanCarry(oldProject, newProject, options);
  const CarryEntry* e = EntryOfNew(plan, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->OldIndex, 1);
  EXPECT_EQ(e->Status, CarryStatus::Review);
  EXPECT_EQ(e->Rule, PairRule::Fuzzy);
  EXPECT_EQ(e->Percent, 18);  // 4 of 23 bytes
  EXPECT_EQ(plan.Counts.Review, 1u);
  ApplyCarry(oldProject, newProject, plan);
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[1]), "Perescet");
  EXPECT_EQ(newProject.Phrases[1].Flags, 0) << "off for review, and shown";
}

TEST(Carry, AProjectWithoutRoomForTheTranslationsIsLeftAsItWas) {
  const PhraseTable oldProject = Project({{"Alpha", pfOn, "A"}, {"Beta", pfOn, "B"}});
  // 32767 texts in use leave room for one more, and two are to be carried.
  std::vector<P> phrases{{"Alpha"}, {"Beta"}};
  for (int k = 0; k < 32767; ++k) phrases.push_back({"T" + std::to_string(k), 0, "in use"});
  PhraseTable newProject = Project(phrases);
  const PhraseTable before = newProject;
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  EXPECT_THROW(ApplyCarry(oldProject, newProject, plan), ERefusal);
  EXPECT_EQ(newProject.EditedTexts.size(), before.EditedTexts.size());
  EXPECT_EQ(newProject.Phrases[0].EditIndex, -1);
  EXPECT_EQ(newProject.Phrases[0].Flags, before.Phrases[0].Flags);
}

TEST(Carry, TextsNoPhraseNamesMakeRoomForTheTranslations) {
  const PhraseTable oldProject = Project({{"Alpha", pfOn, "A"}, {"Beta", pfOn, "B"}});
  PhraseTable newProject = Project({{"Alpha"}, {"Beta"}});
  newProject.EditedTexts.assign(32767, "replaced long ago");
  ApplyCarry(oldProject, newProject, PlanCarry(oldProject, newProject, {}));
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[0]), "A");
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[1]), "B");
  EXPECT_LE(newProject.EditedTexts.size(), 32768u);
}

TEST(Carry, OverwriteCountsAReplacedTextOnce) {
  // 20,000 phrases translated in both projects, differently, plus 12,768
  // other texts in use: every replacement takes its old text's place, so
  // the list never needs more than the 32768 it may hold.
  std::vector<P> olds, news;
  for (int k = 0; k < 20000; ++k) {
    olds.push_back({"Text " + std::to_string(k), pfOn, "Old " + std::to_string(k)});
    news.push_back({"Text " + std::to_string(k), pfOn, "Mine " + std::to_string(k)});
  }
  for (int k = 0; k < 12768; ++k) news.push_back({"Other " + std::to_string(k), 0, "in use"});
  const PhraseTable oldProject = Project(olds);
  PhraseTable newProject = Project(news);
  CarryOptions options;
  options.Overwrite = true;
  const CarryPlan plan = PlanCarry(oldProject, newProject, options);
  EXPECT_EQ(plan.Counts.Carried, 20000u);
  EXPECT_NO_THROW(CheckCarryRoom(oldProject, newProject, plan));
  ASSERT_TRUE(ApplyCarry(oldProject, newProject, plan));
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[0]), "Old 0");
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[19999]), "Old 19999");
  EXPECT_EQ(newProject.EditedText(newProject.Phrases[20000]), "in use");
  EXPECT_LE(newProject.EditedTexts.size(), 32768u);
  // One phrase more without a text of its own is one too many, and the
  // check says so before anything changes.
  news.push_back({"Extra"});
  olds.push_back({"Extra", pfOn, "X"});
  const PhraseTable oldFull = Project(olds);
  const PhraseTable newFull = Project(news);
  EXPECT_THROW(CheckCarryRoom(oldFull, newFull, PlanCarry(oldFull, newFull, options)), ERefusal);
}

TEST(Carry, AStretchWithTooManyChangesIsLeftAsALimitAndSaysSo) {
  // 5,000 OKs then 5,000 Backs, each with its own translation, become the
  // Backs then the OKs: aligning them means 10,000 insertions and
  // removals, more than an alignment follows. Every copy is left, as a
  // limit, and the summary names the cause.
  std::vector<P> olds{{"Start"}}, news{{"Start"}};
  for (int k = 0; k < 5000; ++k) olds.push_back({"OK", pfOn, "Gut " + std::to_string(k)});
  for (int k = 0; k < 5000; ++k) olds.push_back({"Back", pfOn, "Zurueck " + std::to_string(k)});
  for (int k = 0; k < 5000; ++k) news.push_back({"Back"});
  for (int k = 0; k < 5000; ++k) news.push_back({"OK"});
  olds.push_back({"End"});
  news.push_back({"End"});
  const PhraseTable oldProject = Project(olds), newProject = Project(news);
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  EXPECT_EQ(plan.Counts.Limit, 10000u);
  EXPECT_EQ(plan.Counts.OldLimit, 10000u);
  EXPECT_EQ(plan.Counts.LimitTranslated, 10000u);
  EXPECT_EQ(plan.Counts.LimitChangeCap, 20000u);
  EXPECT_EQ(plan.Counts.Carried + plan.Counts.Review + plan.Counts.Ambiguous, 0u);
  const CarryEntry* e = EntryOfNew(plan, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Status, CarryStatus::Limit);
  EXPECT_EQ(e->Limit, LimitReason::ChangeCap);
  EXPECT_EQ(e->CandidateCount, 5000u);
  EXPECT_EQ(e->Candidates.size(), kMaxCandidates);
  const std::string summary = CarrySummary(plan.Counts);
  EXPECT_NE(summary.find("Left at a limit:                 10000 new, 10000 old (10000 with a translation); too "
                         "many changes in one stretch to align (20000 phrases)\n"),
            std::string::npos)
      << summary;
}

TEST(CarryReport, SummaryCountsBothSides) {
  CarryCounts c;
  c.Carried = 125;
  c.OldCarried = 120;
  c.Review = 3;
  c.OldReview = 1;
  c.Kept = 2;
  c.OldKept = 2;
  c.Ambiguous = 5;
  c.OldAmbiguous = 4;
  c.AmbiguousTranslated = 1;
  c.New = 10;
  c.Gone = 8;
  c.GoneTranslated = 5;
  c.Matched = 30;
  c.OldMatched = 30;
  const std::string s = CarrySummary(c);
  for (const char* line : {"Carried:                         125 (from 120 old phrases)\n",
                           "Carried, needs review:           3 (from 1 old phrase)\n",
                           "Kept (already translated):       2 (from 2 old phrases)\n",
                           "Ambiguous, left alone:           5 new, 4 old (1 with a translation)\n",
                           "New (only in the new project):   10\n",
                           "Gone (only in the old project):  8 (5 with a translation)\n",
                           "Matched, nothing to carry:       30 (from 30 old phrases)\n"})
    EXPECT_NE(s.find(line), std::string::npos) << line << "\nin\n" << s;
  EXPECT_EQ(s.find("limit"), std::string::npos) << "no limit line without a limit";
  c.Limit = 2;
  c.OldLimit = 3;
  c.LimitTranslated = 3;
  c.LimitChangeCap = 4;
  c.LimitCellBudget = 1;
  EXPECT_NE(CarrySummary(c).find("Left at a limit:                 2 new, 3 old (3 with a translation); too many "
                                 "changes in one stretch to align (4 phrases); the budget of alignment work ran "
                                 "out (1 phrases)\n"),
            std::string::npos)
      << CarrySummary(c);
}

TEST(CarryReport, TableHasOneLinePerEntryWithTextsDecodedAndEscaped) {
  // Windows-1251 texts: "Menu" in Russian, and a translation with a tab
  // and a line break.
  const PhraseTable oldProject = Project({{"\xCC\xE5\xED\xFE", pfOn, "Line 1\r\nLine\t2\\"}, {"Gone", 0, "X"}});
  PhraseTable newProject = Project({{"\xCC\xE5\xED\xFE"}, {"Fresh"}});
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  const auto lines = test::OutputLines(CarryTable(oldProject, newProject, plan, CodePage::Russian));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "Status\tRule\tDifference %\tOld index\tNew index\tOld string address\tNew string address\tOld text\t"
            "New text\tTranslation\tNew project's translation\tCandidates\tCause");
  EXPECT_EQ(lines[1],
            "carried\tunique\t\t0\t0\t0x00000088\t0x00000088\t\xD0\x9C\xD0\xB5\xD0\xBD\xD1\x8E\t"
            "\xD0\x9C\xD0\xB5\xD0\xBD\xD1\x8E\tLine 1\\r\\nLine\\t2\\\\\t\t\t");
  EXPECT_EQ(lines[2], "gone\t\t\t1\t\t0x0000008D\t\tGone\t\tX\t\t\t");
  EXPECT_EQ(lines[3], "new\t\t\t\t1\t\t0x0000008D\t\tFresh\t\t\t\t");
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 12) << lines[i];
}

TEST(CarryReport, WorkLeftListsReviewAndUndecidedPhrasesWithBothSides) {
  // OK once, twice in the new project: both for review. Back twice with
  // different translations, and three times in the new project between
  // Delta and Gamma, which changed places: the Back before Gamma is taken
  // for review with it, the other old Back is left with the two new ones it
  // could be, nearest first, and each of them names it.
  const PhraseTable oldProject = Project({{"Alpha"}, {"OK", pfOn, "Gut"}, {"Beta"}, {"Back", pfOn, "Z1"},
                                          {"Gamma"}, {"Back", pfOn, "Z2"}, {"Delta"}, {"Gone", pfOn, "Weg"}});
  const PhraseTable newProject =
      Project({{"Alpha"}, {"OK"}, {"Beta"}, {"OK"}, {"Delta"}, {"Back"}, {"Back"}, {"Back"}, {"Gamma"}});
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  EXPECT_EQ(WorkLeftHeader(), "Status\tOld index\tText\tTranslation\tNew index\tCandidates\tRule or cause");
  const std::vector<std::string> expected = {
      "review\t1\tOK\tGut\t1\t\tcopied",
      "review\t1\tOK\tGut\t3\t\tcopied",
      "review\t3\tBack\tZ1\t7\t\tlikeliest",
      "ambiguous\t5\tBack\tZ2\t\t6 5\t",
      "gone\t7\tGone\tWeg\t\t\t",
      "ambiguous\t\tBack\t\t5\t5\t",
      "ambiguous\t\tBack\t\t6\t5\t",
  };
  EXPECT_EQ(test::OutputLines(WorkLeftList(oldProject, newProject, plan, CodePage::Default)), expected);
  EXPECT_EQ(plan.Counts.Ambiguous, 2u);
  EXPECT_EQ(plan.Counts.OldAmbiguous, 1u);
}

TEST(CarryWarnings, NameBothProjectsWhenTheirUnitsOrCodePagesDiffer) {
  struct Side {
    const char* name;
    const char* tag;
    std::vector<std::string> texts;
  };
  const std::vector<std::string> english{"Route", "Menu"}, japanese{"1st", "Route"};  // a leading digit
  const struct {
    const char* name;
    Side olds, news;
    std::vector<std::string> lines;
  } cases[] = {
      {"one unit, one code page", {"APM", "TAG1", english}, {"APM", "TAG1", english}, {}},
      {"another unit name",
       {"APM", "TAG1", english},
       {"NAV", "TAG1", english},
       {"old.vmprj is unit APM_TAG1, new.vmprj is unit NAV_TAG1"}},
      {"another unit tag",
       {"APM", "TAG1", english},
       {"APM", "TAG2", english},
       {"old.vmprj is unit APM_TAG1, new.vmprj is unit APM_TAG2"}},
      {"Japanese texts against others",
       {"APM", "TAG1", japanese},
       {"APM", "TAG1", english},
       {"old.vmprj has code page japanese, new.vmprj has code page default"}},
      {"both",
       {"APM", "TAG1", english},
       {"NAV", "TAG9", japanese},
       {"old.vmprj is unit APM_TAG1, new.vmprj is unit NAV_TAG9",
        "old.vmprj has code page default, new.vmprj has code page japanese"}},
  };
  for (const auto& c : cases) {
    PhraseTable tables[2];
    for (int k = 0; k < 2; ++k) {
      const Side& side = k == 0 ? c.olds : c.news;
      test::TableBuilder builder;
      for (const std::string& text : side.texts) builder.Add(text);
      builder.Names(side.name, side.tag).Fill(tables[k]);
    }
    EXPECT_EQ(CarryWarnings(tables[0], "old.vmprj", tables[1], "new.vmprj"), c.lines) << c.name;
  }
}
