// The figures of a project's work, counted as the grid's filters count.
#include <gtest/gtest.h>

#include <string>

#include "analysis/Filters.h"
#include "project/stats/ProjectStats.h"
#include "support/TableBuilder.h"

using namespace velmora;
using velmora::test::TableBuilder;

namespace {

TEST(ProjectStats, CountsWords) {
  struct Case {
    const char* text;
    size_t words;
  } cases[] = {
      {"", 0},
      {"Route", 1},
      {"Keep left  at the\nexit", 5},
      {"Distance %d km", 3},  // "d" of "%d" is a word, as a word counter reads it
      {"Day/Night", 2},
      {"K\xC3\xB6ln-Deutz", 2},
      {"\xE5\x9C\xB0\xE5\x9B\xB3\xE3\x82\x92\xE8\xA1\xA8\xE7\xA4\xBA", 5},  // 地図を表示: each character a word
      {"GPS 2", 2},
      {"...", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CountWords(c.text), c.words) << c.text;
}

TEST(ProjectStats, CountsPhrasesAsTheFiltersDo) {
  PhraseTable t;
  TableBuilder()
      .Add("Route options", pfOn, std::string("Streckenoptionen"))  // on, relocated: 16 bytes, room 12
      .Add("Map", pfOn, std::string("Ka"))                          // on, in place: 2 bytes
      .Add("Exit", 0, std::string("Ausfahrt"))                      // to review
      .Add("Menu", pfHide)                                          // hidden, untranslated
      .Add("Zoom in")                                               // untranslated
      .AddLink(0)                                                   // not a phrase
      .Fill(t);
  const ProjectStats s = CountProject(t, CodePage::WestEurope);
  EXPECT_EQ(s.Projects, 1u);
  EXPECT_EQ(s.Phrases, 5u);
  EXPECT_EQ(s.Hidden, 1u);
  EXPECT_EQ(s.Translated, 3u);
  EXPECT_EQ(s.SwitchedOn, 2u);
  EXPECT_EQ(s.ToReview, FilterRows(t, GridFilter::ToReview).size());
  EXPECT_EQ(s.ToReview, 1u);
  EXPECT_EQ(s.Untranslated, FilterRows(t, GridFilter::Untranslated).size());
  EXPECT_EQ(s.Untranslated, 2u);
  EXPECT_EQ(s.Words, 7u);
  EXPECT_EQ(s.UntranslatedWords, 3u);
  EXPECT_EQ(s.TranslationBytes, 18u);
  EXPECT_EQ(s.Relocated, 1u);
  EXPECT_EQ(s.RelocatedBytes, 18u) << "16 bytes and the two zeros that end it";
  EXPECT_EQ(s.UnitBytes, t.ImageLength());
  EXPECT_EQ(s.BuiltBytes, t.ImageLength() + 20) << "the area rounded up to 4 bytes";
  EXPECT_EQ(s.Growth(), 20u);
  EXPECT_NEAR(s.GrowthPercent(), 100.0 * 20 / static_cast<double>(t.ImageLength()), 1e-9);

  ProjectStats total = s;
  total += s;
  EXPECT_EQ(total.Projects, 2u);
  EXPECT_EQ(total.Phrases, 10u);
  EXPECT_EQ(total.Growth(), 40u);
  EXPECT_EQ(ProjectStats().GrowthPercent(), 0.0);
}

}  // namespace
