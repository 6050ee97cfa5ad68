// Scores of memory matches, the distance they come from, the marking of
// differences, and the memory's search, which must find what reading every
// entry would find.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "project/memory/MatchScore.h"
#include "project/memory/TextDistance.h"
#include "project/memory/TmxFile.h"
#include "project/memory/TranslationMemory.h"
#include "project/text/Unicode.h"

using namespace velmora;

namespace {

// The textbook table, for checking.
size_t Reference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diag = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      row[j] = std::min({up + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diag = up;
    }
  }
  return row[b.size()];
}

TEST(MatchScore, PercentagesAsTranslationToolsCountThem) {
  struct Case {
    std::string origin;
    std::string source;
    int percent;
    MatchKind kind;
    bool printf, digits;
  } cases[] = {
      {"Screen Off", "Screen Off", 100, MatchKind::Exact, false, false},
      {"SCREEN OFF", "Screen Off", 99, MatchKind::CaseOnly, false, false},
      {"route", "ROUTE", 99, MatchKind::CaseOnly, false, false},
      // One character of ten: 90; of eleven: 90 (90.9 rounded down).
      {"Screen Off", "Screen Of", 90, MatchKind::Fuzzy, false, false},
      {"Screen Offs", "Screen Off", 90, MatchKind::Fuzzy, false, false},
      {"Keep left", "Keep right", 60, MatchKind::Fuzzy, false, false},
      // Characters, not bytes: "ö" is one edit.
      {"K\xC3\xB6ln", "Koln", 75, MatchKind::Fuzzy, false, false},
      // A long text one edit away still scores below 100.
      {std::string(300, 'a'), std::string(299, 'a') + "b", 99, MatchKind::Fuzzy, false, false},
      // Directives and digits differ: marked, and a case twin is no twin then.
      {"Distance %d km", "Distance %s km", 92, MatchKind::Fuzzy, true, false},
      {"ETA %D", "eta %d", 33, MatchKind::Fuzzy, true, false},
      {"Page 1 of 2", "Page 1 of 3", 90, MatchKind::Fuzzy, false, true},
      {"PAGE 1", "page 2", 16, MatchKind::Fuzzy, false, true},
      {"Battery %d%%", "Battery %d %%", 92, MatchKind::Fuzzy, false, false},
      {"", "x", 0, MatchKind::Fuzzy, false, false},
  };
  for (const auto& c : cases) {
    const MatchScore s = ScoreMatch(c.origin, c.source);
    EXPECT_EQ(s.Percent, c.percent) << c.origin << " / " << c.source;
    EXPECT_EQ(s.Kind, c.kind) << c.origin << " / " << c.source;
    EXPECT_EQ(s.PrintfDiffers, c.printf) << c.origin << " / " << c.source;
    EXPECT_EQ(s.DigitsDiffer, c.digits) << c.origin << " / " << c.source;
    if (c.kind == MatchKind::Fuzzy) {
      const auto o = CodePoints(c.origin), t = CodePoints(c.source);
      EXPECT_EQ(s.Distance, Reference(o, t)) << c.origin << " / " << c.source;
    }
  }
}

TEST(TextDistance, AgreesWithTheTextbookTable) {
  std::mt19937 rng(7);
  const std::vector<std::string> alphabet = {"a", "b", "c", " ", "\xC3\xA9", "\xE3\x81\x82", "%"};
  const auto text = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    // Lengths on both sides of the 64 characters one machine word holds.
    const std::string a = text(rng() % (round % 3 == 0 ? 90 : 20)), b = text(rng() % (round % 3 == 0 ? 90 : 20));
    const auto ca = CodePoints(a), cb = CodePoints(b);
    const size_t want = Reference(ca, cb);
    const size_t limit = rng() % 30;
    const size_t bounded = want <= limit ? want : limit + 1;
    EXPECT_EQ(DistanceQuery(ca).To(b, limit), bounded) << a << " / " << b << " limit " << limit;
    EXPECT_EQ(EditDistance(ca, cb, limit), bounded) << a << " / " << b << " limit " << limit;
  }
}

TEST(MatchScore, DifferencesMarkWhatTheSourceChanged) {
  struct Case {
    const char* origin;
    const char* source;
    std::vector<TextDifference> want;
  } cases[] = {
      {"Keep left", "Keep left", {}},
      // "lef" became "righ"; the "t" stayed.
      {"Keep left", "Keep right", {{5, 4, "lef"}}},
      {"Route Options", "Route", {{5, 0, " Options"}}},
      {"Zoom", "Zoom In", {{4, 3, ""}}},
      {"K\xC3\xB6ln 1", "Koln 2", {{1, 1, "\xC3\xB6"}, {5, 1, "1"}}},
  };
  for (const auto& c : cases) {
    const auto got = Differences(c.origin, c.source);
    ASSERT_EQ(got.size(), c.want.size()) << c.origin << " / " << c.source;
    for (size_t k = 0; k < got.size(); ++k) {
      EXPECT_EQ(got[k].Offset, c.want[k].Offset) << c.origin << " / " << c.source;
      EXPECT_EQ(got[k].Length, c.want[k].Length) << c.origin << " / " << c.source;
      EXPECT_EQ(got[k].Origin, c.want[k].Origin) << c.origin << " / " << c.source;
    }
  }
}

// A memory of texts from a small vocabulary, so that many are near one another.
struct RandomMemory {
  std::vector<std::pair<std::string, std::string>> entries;  // source, German translation
  TranslationMemory memory;

  RandomMemory(uint32_t seed, size_t files, size_t perFile) {
    std::mt19937 rng(seed);
    const char* words[] = {"Route", "route", "Map",         "Zoom", "in",  "out", "Keep",   "left", "right", "%d",
                           "km",    "12",    "K\xC3\xB6ln", "ETA",  "off", "on",  "Screen", "Menu", "a",     "the"};
    for (size_t f = 0; f < files; ++f) {
      std::vector<TmxUnit> units;
      for (size_t i = 0; i < perFile; ++i) {
        std::string s;
        const size_t n = 1 + rng() % 5;
        for (size_t k = 0; k < n; ++k) s += (k ? " " : "") + std::string(words[rng() % std::size(words)]);
        const size_t at = rng() % s.size();
        if (rng() % 4 == 0 && static_cast<unsigned char>(s[at]) < 0x80) s[at] = 'x';
        const std::string t = "T" + std::to_string(rng() % 3) + " " + s;
        entries.emplace_back(s, t);
        TmxUnit u;
        u.Variants = {{"en", s}, {"de", t}};
        // A few translations into another language, which a German search passes over.
        if (i % 10 == 0) u.Variants.push_back({"fr", "F " + s});
        units.push_back(std::move(u));
      }
      TmxHeader h;
      h.SourceLanguage = "en";
      memory.AddTmx(WriteTmx(h, units), "m" + std::to_string(f) + ".tmx", MemoryOptions{});
    }
  }

  // The scores of every distinct (source, target) pair, best first, by
  // reading every entry.
  std::vector<int> AllScores(const std::string& origin) const {
    std::vector<std::pair<std::string, std::string>> pairs = entries;
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    std::vector<int> scores;
    for (const auto& e : pairs) scores.push_back(ScoreMatch(origin, e.first).Percent);
    std::sort(scores.rbegin(), scores.rend());
    return scores;
  }
};

TEST(MemorySearch, FindsWhatReadingEveryEntryFinds) {
  const RandomMemory m(11, 2, 1500);
  MemorySearch search(m.memory, "de");
  std::mt19937 rng(5);
  size_t nonEmpty = 0;
  for (int q = 0; q < 300; ++q) {
    // Queries from the memory, changed a little, and new ones.
    std::string origin = m.entries[rng() % m.entries.size()].first;
    if (q % 3 == 1) origin.insert(origin.find(' ') == std::string::npos ? 0 : origin.find(' '), "e");
    if (q % 3 == 2) origin = "Zoom " + origin.substr(0, origin.size() / 2);
    const std::vector<int> all = m.AllScores(origin);
    for (const int minScore : {40, 75, 90}) {
      for (const size_t count : {size_t{1}, size_t{5}}) {
        const std::vector<MemoryHit> hits = search.Best(origin, count, minScore);
        std::vector<int> got;
        for (const MemoryHit& h : hits) {
          got.push_back(h.Score.Percent);
          EXPECT_EQ(h.Score.Percent, ScoreMatch(origin, h.Source).Percent);
          EXPECT_EQ(h.Language, "de");
        }
        std::vector<int> want;
        for (size_t k = 0; k < all.size() && k < count && all[k] >= minScore; ++k) want.push_back(all[k]);
        EXPECT_EQ(got, want) << "\"" << origin << "\" min " << minScore << " count " << count;
        nonEmpty += !hits.empty();
      }
    }
  }
  EXPECT_GT(nonEmpty, 600u) << "the queries must find matches to compare";
}

TEST(MemorySearch, EqualEntriesAreOneMatchWithTheirPlacesSummed) {
  TmxHeader h;
  h.SourceLanguage = "en";
  std::vector<TmxUnit> units(3);
  units[0].Variants = {{"en", "Route"}, {"de", "Strecke"}};
  units[0].Places = {{"A_A", 1, 6}, {"A_A", 2, 6}};
  units[1].Variants = {{"en", "Route"}, {"de", "Weg"}};
  units[1].Review = true;
  units[2].Variants = {{"en", "ROUTE"}, {"de", "STRECKE"}};
  TranslationMemory memory;
  memory.AddTmx(WriteTmx(h, units), "one.tmx", MemoryOptions{});
  memory.AddTmx(WriteTmx(h, {units[0]}), "two.tmx", MemoryOptions{});
  MemorySearch search(memory, "de-DE");
  const auto hits = search.Best("Route", 5, 75);
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].Target, "Strecke");
  EXPECT_EQ(hits[0].Weight, 4u) << "two places in each file";
  EXPECT_EQ(hits[0].File, "one.tmx");
  EXPECT_EQ(hits[1].Target, "Weg");
  EXPECT_TRUE(hits[1].Review);
  EXPECT_EQ(hits[2].Target, "STRECKE");
  EXPECT_EQ(hits[2].Score.Kind, MatchKind::CaseOnly);
  EXPECT_EQ(search.Exact("Route").size(), 3u) << "every exact entry, for pretranslation's count of agreement";
  EXPECT_TRUE(search.Exact("route").empty());
  EXPECT_EQ(memory.Languages(), std::vector<std::string>{"de"});
}

TEST(MemorySearch, AFileAddedLaterIsSearchedFromTheNextLookup) {
  // The window adds memory files while a project is open.
  TmxHeader h;
  h.SourceLanguage = "en";
  std::vector<TmxUnit> first(1), second(1);
  first[0].Variants = {{"en", "Zoom"}, {"de", "Zoom"}};
  second[0].Variants = {{"en", "Zoom in the map"}, {"de", "Karte vergr\xC3\xB6\xC3\x9F" "ern"}};
  TranslationMemory memory;
  memory.AddTmx(WriteTmx(h, first), "small.tmx", MemoryOptions{});
  MemorySearch search(memory, "de");
  EXPECT_TRUE(search.Best("Zoom in the maps", 5, 75).empty());
  memory.AddTmx(WriteTmx(h, second), "large.tmx", MemoryOptions{});
  const auto hits = search.Best("Zoom in the maps", 5, 75);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].File, "large.tmx");
  EXPECT_EQ(search.Exact("Zoom in the map").size(), 1u);
}

}  // namespace
