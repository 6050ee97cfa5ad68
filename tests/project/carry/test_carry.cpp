// Carrying translations between two projects: the status of every phrase,
// what the new project receives, and the reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/carry/Carry.h"
#include "project/carry/CarryReport.h"
#include "project/carry/CarryWarnings.h"
#include "support/TableBuilder.h"

using namespace velmora;

namespace {

struct P {
  std::string text = {};                        // origin text (empty for a link record)
  uint16_t flags = 0;
  std::optional<std::string> edited = std::nullopt;  // its translation
  int master = -1;                     // a link record to this phrase
};

// A project whose strings lie one after another behind a 128-byte header,
// with pointers in the same order.
PhraseTable Project(const std::vector<P>& phrases) {
  PhraseTable t;
  t.UnitImage.assign(0x1000, 0x11);
  for (size_t i = 0; i < phrases.size(); ++i) {
    const P& p = phrases[i];
    TPhrase r;
    r.LinkAddress = 0x80 + 4 * static_cast<uint32_t>(i);
    if (p.master >= 0) {
      const TPhrase& m = t.Phrases[static_cast<size_t>(p.master)];
      r.StringAddress = m.StringAddress;
      r.Length = m.Length;
      r.Flags = pfLink;
      r.MasterIndex = static_cast<int16_t>(p.master);
    } else {
      r.StringAddress = static_cast<uint32_t>(t.UnitImage.size());
      r.Length = static_cast<uint16_t>(p.text.size());
      r.Flags = p.flags;
      t.UnitImage.insert(t.UnitImage.end(), p.text.begin(), p.text.end());
      do t.UnitImage.push_back(0);
      while (t.UnitImage.size() % 4 != 0);
    }
    t.Phrases.push_back(r);
    if (p.edited) {
      t.EditedTexts.push_back(*p.edited);
      t.Phrases.back().EditIndex = static_cast<int16_t>(t.EditedTexts.size() - 1);
    }
  }
  t.UnitImage.resize(t.UnitImage.size() + 64, 0);
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(t.UnitImage.size());
  return t;
}

const CarryEntry* EntryOfOld(const CarryPlan& plan, int32_t oldIndex) {
  for (const CarryEntry& e : plan.Entries)
    if (e.OldIndex == oldIndex) return &e;
  return nullptr;
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
      {"Hidden", pfHide | pfOn, "Skryto"},   // 2 carried: a translated phrase is shown
      {"Menu"},                              // 3 matched, nothing to carry
      {"Removed", pfOn, "Udaleno"},          // 4 gone
      {"OK", pfOn, "Ladno"},                 // 5 ambiguous: a copy of OK sits beside it
      {"", 0, std::nullopt, 0},              // 6 link to Route
      {"Own", pfOn, "Svoy"},                 // 7 kept: the new phrase has its own translation
  });
  PhraseTable newProject = Project({
      {"Brand new"},                         // 0 new
      {"Route", pfHide},                     // 1
      {"", 0, std::nullopt, 1},              // 2 link to Route
      {"Volume", pfHide},                    // 3
      {"Hidden"},                            // 4
      {"Menu", pfHide},                      // 5
      {"OK"},                                // 6
      {"OK"},                                // 7
      {"Own", 0, "Mine"},                    // 8
  });
  const PhraseTable before = newProject;

  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  const struct {
    int32_t oldIndex, newIndex;
    CarryStatus status;
  } expected[] = {
      {0, 1, CarryStatus::Carried},  {1, 3, CarryStatus::Carried},  {2, 4, CarryStatus::Carried},
      {3, 5, CarryStatus::Matched},  {4, -1, CarryStatus::Gone},    {5, -1, CarryStatus::Ambiguous},
      {7, 8, CarryStatus::Kept},
  };
  for (const auto& x : expected) {
    const CarryEntry* e = EntryOfOld(plan, x.oldIndex);
    ASSERT_NE(e, nullptr) << x.oldIndex;
    EXPECT_EQ(e->NewIndex, x.newIndex) << x.oldIndex;
    EXPECT_EQ(e->Status, x.status) << x.oldIndex;
  }
  EXPECT_EQ(EntryOfOld(plan, 6), nullptr) << "link records take no part";
  EXPECT_EQ(EntryOfNew(plan, 2), nullptr);
  EXPECT_EQ(EntryOfNew(plan, 0)->Status, CarryStatus::New);
  EXPECT_EQ(EntryOfNew(plan, 6)->Status, CarryStatus::Ambiguous);
  EXPECT_EQ(EntryOfNew(plan, 7)->Status, CarryStatus::Ambiguous);

  const CarryCounts& c = plan.Counts;
  EXPECT_EQ(c.Carried, 3u);
  EXPECT_EQ(c.Review, 0u);
  EXPECT_EQ(c.Kept, 1u);
  EXPECT_EQ(c.Matched, 1u);
  EXPECT_EQ(c.Ambiguous, 1u);
  EXPECT_EQ(c.AmbiguousTranslated, 1u);
  EXPECT_EQ(c.Gone, 1u);
  EXPECT_EQ(c.GoneTranslated, 1u);
  EXPECT_EQ(c.New, 1u);

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
  EXPECT_EQ(newProject.EditedText(n[8]), "Mine");
  for (size_t i : {0u, 2u, 6u, 7u}) EXPECT_EQ(n[i].EditIndex, -1) << i;
  // Nothing else changed: texts are appended, the image and every other
  // field of the records stay.
  EXPECT_EQ(newProject.UnitImage, before.UnitImage);
  ASSERT_EQ(newProject.EditedTexts.size(), before.EditedTexts.size() + 3);
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
  const CarryEntry* e = EntryOfOld(plan, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Status, CarryStatus::Review);
  EXPECT_EQ(e->Rule, MatchRule::Fuzzy);
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

TEST(Carry, EqualTextsBeyondTheLimitAreReportedAsALimitNotAsAmbiguous) {
  std::vector<P> olds{{"Start"}}, news{{"Start"}};
  for (int k = 0; k < 1100; ++k) olds.push_back({"OK", pfOn, "Gut " + std::to_string(k)});
  for (int k = 0; k < 1099; ++k) news.push_back({"OK"});
  olds.push_back({"End"});
  news.push_back({"End"});
  const PhraseTable oldProject = Project(olds), newProject = Project(news);
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  EXPECT_EQ(plan.Counts.Limit, 1100u);
  EXPECT_EQ(plan.Counts.LimitTranslated, 1100u);
  EXPECT_EQ(plan.Counts.Ambiguous, 0u);
  EXPECT_EQ(plan.Counts.Carried, 0u);
  EXPECT_NE(CarrySummary(plan.Counts).find("Not tried, too many equal texts: 1100 (1100 with a translation; more "
                                           "than about 1,000 equal texts in one stretch)\n"),
            std::string::npos)
      << CarrySummary(plan.Counts);
  EXPECT_EQ(UncarriedList(oldProject, plan, CodePage::Default).rfind("limit\t1\tOK\tGut 0\n", 0), 0u);
}

TEST(CarryReport, SummaryCountsEachKind) {
  CarryCounts c;
  c.Carried = 120;
  c.Review = 3;
  c.Kept = 2;
  c.Ambiguous = 4;
  c.AmbiguousTranslated = 1;
  c.New = 10;
  c.Gone = 8;
  c.GoneTranslated = 5;
  c.Matched = 30;
  const std::string s = CarrySummary(c);
  for (const char* line : {"Carried:                         120\n", "Carried, needs review:           3\n",
                           "Kept (already translated):       2\n",
                           "Ambiguous, left alone:           4 (1 with a translation)\n",
                           "New (only in the new project):   10\n",
                           "Gone (only in the old project):  8 (5 with a translation)\n",
                           "Matched, nothing to carry:       30\n"})
    EXPECT_NE(s.find(line), std::string::npos) << line << "\nin\n" << s;
}

TEST(CarryReport, TableHasOneLinePerPhraseWithTextsDecodedAndEscaped) {
  // Windows-1251 texts: "Menu" in Russian, and a translation with a tab
  // and a line break.
  const PhraseTable oldProject = Project({{"\xCC\xE5\xED\xFE", pfOn, "Line 1\r\nLine\t2\\"}, {"Gone", 0, "X"}});
  PhraseTable newProject = Project({{"\xCC\xE5\xED\xFE"}, {"Fresh"}});
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  const std::string table = CarryTable(oldProject, newProject, plan, CodePage::Russian);
  std::vector<std::string> lines;
  for (size_t at = 0; at < table.size();) {
    const size_t end = table.find('\n', at);
    ASSERT_NE(end, std::string::npos) << "every line ends with a line break";
    lines.push_back(table.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "Status\tRule\tDifference %\tOld index\tNew index\tOld string address\tNew string address\tOld text\t"
            "New text\tTranslation\tNew project's translation");
  EXPECT_EQ(lines[1],
            "carried\tunique\t\t0\t0\t0x00001000\t0x00001000\t\xD0\x9C\xD0\xB5\xD0\xBD\xD1\x8E\t"
            "\xD0\x9C\xD0\xB5\xD0\xBD\xD1\x8E\tLine 1\\r\\nLine\\t2\\\\\t");
  EXPECT_EQ(lines[2], "gone\t\t\t1\t\t0x00001008\t\tGone\t\tX\t");
  EXPECT_EQ(lines[3], "new\t\t\t\t1\t\t0x00001008\t\tFresh\t\t");
  for (const auto& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 10) << line;

  EXPECT_EQ(UncarriedList(oldProject, plan, CodePage::Russian), "gone\t1\tGone\tX\n");
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
