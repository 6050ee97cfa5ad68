// Carrying translations over generated version pairs of every shape,
// checked against the truth the generator keeps: which old string each new
// string continues. In every shape: no wrong copy is final, every copy of
// a text whose old copies agree is carried, every unique text is carried;
// and the share of the copies of differing texts that get a translation is
// measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "project/carry/Carry.h"
#include "project/file/PhraseEdits.h"
#include "sampledata/SampleRandom.h"
#include "sampledata/VersionPair.h"

using namespace velmora;
namespace sample = velmora::sample;

namespace {

// How the old project of a pair is translated.
enum class Translations {
  Own,     // every phrase its own text; about one in ten switched off
  Shared,  // one text per origin text, switched on or off by the text: copies agree
  Mixed,   // most phrases their own text, some switched off, a few hidden untranslated
};

uint32_t Hash(std::string_view text) {
  uint32_t h = 2166136261u;
  for (char c : text) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
  return h;
}

PhraseTable TranslatedOldProject(const sample::VersionPair& pair, uint32_t seed, Translations style) {
  PhraseTable t = sample::AnalyseSampleUnit(pair.oldUnit);
  sample::Rng rng(seed * 7919u + 17u);
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    if (t.Phrases[i].Flags & pfLink) continue;
    const std::string origin(t.OriginText(t.Phrases[i]));
    const uint32_t r = rng.Below(10);
    switch (style) {
      case Translations::Own:
        ApplyEditedText(t, i, "T" + std::to_string(i) + " " + origin);
        if (r == 0) ToggleOn(t, i);
        break;
      case Translations::Shared:
        ApplyEditedText(t, i, "S " + origin);
        if (Hash(origin) % 5 == 0) ToggleOn(t, i);
        break;
      case Translations::Mixed:
        if (r < 8) {
          ApplyEditedText(t, i, "T" + std::to_string(i) + " " + origin);
          if (r == 0) ToggleOn(t, i);
        } else if (r == 8 && !(t.Phrases[i].Flags & pfHide)) {
          ToggleHide(t, i);
        }
        break;
    }
  }
  return t;
}

// The truth in phrase indices.
struct Truth {
  std::map<int32_t, int32_t> oldOfNew;  // per new phrase: the old one it continues, -1 for none
  std::map<int32_t, int32_t> newOfOld;  // per old phrase that goes on
  std::set<int32_t> reworded, moved;    // new phrases (moved: its string or its pointer left its place)
};

Truth TruthOf(const sample::VersionPair& pair, const PhraseTable& oldProject, const PhraseTable& newProject) {
  const auto oldPhrase = sample::PhraseOfString(pair.oldUnit, oldProject);
  const auto newPhrase = sample::PhraseOfString(pair.newUnit, newProject);
  Truth truth;
  for (size_t s = 0; s < newPhrase.size(); ++s) {
    EXPECT_GE(newPhrase[s], 0) << "every string of the new unit makes a phrase";
    const int32_t from = pair.fromOld[s] >= 0 ? oldPhrase[static_cast<size_t>(pair.fromOld[s])] : -1;
    truth.oldOfNew[newPhrase[s]] = from;
    if (from >= 0) truth.newOfOld[from] = newPhrase[s];
    if (pair.reworded[s]) truth.reworded.insert(newPhrase[s]);
    if (pair.moved[s] || pair.pointerMoved[s]) truth.moved.insert(newPhrase[s]);
  }
  return truth;
}

// The phrases of a project (no link records) in the order of their string
// or their pointer addresses, and each one's position in it.
struct Order {
  std::vector<int32_t> phrases;
  std::map<int32_t, size_t> position;
  Order(const PhraseTable& t, bool byString) {
    for (size_t i = 0; i < t.Phrases.size(); ++i)
      if (!(t.Phrases[i].Flags & pfLink)) phrases.push_back(static_cast<int32_t>(i));
    std::sort(phrases.begin(), phrases.end(), [&](int32_t a, int32_t b) {
      const TPhrase& x = t.Phrases[static_cast<size_t>(a)];
      const TPhrase& y = t.Phrases[static_cast<size_t>(b)];
      return byString ? x.StringAddress < y.StringAddress : x.LinkAddress < y.LinkAddress;
    });
    for (size_t k = 0; k < phrases.size(); ++k) position[phrases[k]] = k;
  }
};

// The wrong pair that nothing in the units can reveal. In the order of
// string or of pointer addresses, take the stretch around old phrase o up
// to its nearest neighbours of another text that stayed where they were,
// and the stretch between those neighbours in the new version. When new
// phrase n lies in that stretch, and there a phrase of the same text left
// its place (removed, reworded, moved away) while another arrived (a copy,
// or an equal text moved in), the stretch reads exactly as if o had
// stayed: pairing o with n is then as good as any answer.
class Unobservable {
 public:
  Unobservable(const PhraseTable& oldProject, const PhraseTable& newProject, const Truth& truth)
      : old_(oldProject), new_(newProject), truth_(truth) {
    for (bool byString : {true, false}) orders_.push_back({Order(oldProject, byString), Order(newProject, byString)});
  }

  bool operator()(int32_t o, int32_t n) const {
    if (o < 0) return false;
    for (const auto& [olds, news] : orders_)
      if (InStretch(olds, news, o, n)) return true;
    return false;
  }

 private:
  std::string_view OldText(int32_t i) const { return old_.OriginText(old_.Phrases[static_cast<size_t>(i)]); }
  std::string_view NewText(int32_t i) const { return new_.OriginText(new_.Phrases[static_cast<size_t>(i)]); }
  bool Departed(int32_t o) const {
    const auto it = truth_.newOfOld.find(o);
    return it == truth_.newOfOld.end() || truth_.reworded.count(it->second) || truth_.moved.count(it->second);
  }
  bool Arrived(int32_t n) const { return truth_.oldOfNew.at(n) < 0 || truth_.moved.count(n); }

  bool InStretch(const Order& olds, const Order& news, int32_t o, int32_t n) const {
    const std::string_view text = OldText(o);
    if (NewText(n) != text) return false;
    const auto anchor = [&](int32_t p) { return !Departed(p) && OldText(p) != text; };
    const auto at = static_cast<ptrdiff_t>(olds.position.at(o));
    ptrdiff_t before = at - 1, after = at + 1;
    const auto size = static_cast<ptrdiff_t>(olds.phrases.size());
    while (before >= 0 && !anchor(olds.phrases[static_cast<size_t>(before)])) --before;
    while (after < size && !anchor(olds.phrases[static_cast<size_t>(after)])) ++after;
    const auto newAt = [&](ptrdiff_t k, ptrdiff_t outside) {
      if (k < 0 || k >= size) return outside;
      return static_cast<ptrdiff_t>(news.position.at(truth_.newOfOld.at(olds.phrases[static_cast<size_t>(k)])));
    };
    const ptrdiff_t lo = newAt(before, -1), hi = newAt(after, static_cast<ptrdiff_t>(news.phrases.size()));
    const auto where = static_cast<ptrdiff_t>(news.position.at(n));
    if (!(lo < where && where < hi)) return false;
    bool departure = false, arrival = false;
    for (ptrdiff_t k = before + 1; k < after; ++k) {
      const int32_t p = olds.phrases[static_cast<size_t>(k)];
      departure = departure || (OldText(p) == text && Departed(p));
    }
    for (ptrdiff_t k = lo + 1; k < hi; ++k) {
      const int32_t q = news.phrases[static_cast<size_t>(k)];
      arrival = arrival || (NewText(q) == text && Arrived(q));
    }
    return departure && arrival;
  }

  const PhraseTable& old_;
  const PhraseTable& new_;
  const Truth& truth_;
  std::vector<std::pair<Order, Order>> orders_;
};

// What a shape's pairs gave, summed over its seeds.
struct Tally {
  size_t pairs = 0, newPhrases = 0;
  size_t finals = 0, wrongFinals = 0, unobservable = 0;
  size_t unique = 0, uniqueCarried = 0;
  size_t agreeing = 0, agreeingCarried = 0;
  size_t differing = 0, differingTranslated = 0, differingFinal = 0;
  size_t reviews = 0, reviewsRight = 0;  // phrases taken for review, and those given their own translation
  size_t left = 0;  // new phrases left undecided (ambiguous or limit)
  Tally& operator+=(const Tally& t) {
    pairs += t.pairs;
    newPhrases += t.newPhrases;
    finals += t.finals;
    wrongFinals += t.wrongFinals;
    unobservable += t.unobservable;
    unique += t.unique;
    uniqueCarried += t.uniqueCarried;
    agreeing += t.agreeing;
    agreeingCarried += t.agreeingCarried;
    differing += t.differing;
    differingTranslated += t.differingTranslated;
    differingFinal += t.differingFinal;
    reviews += t.reviews;
    reviewsRight += t.reviewsRight;
    left += t.left;
    return *this;
  }
};

double Percent(size_t part, size_t whole) { return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 100.0; }

// A phrase's outcome as a translator sees it: its translation and ON.
struct Outcome {
  bool translated = false;
  std::string text;
  bool on = false;
  bool operator==(const Outcome& o) const { return translated == o.translated && text == o.text && on == o.on; }
};

Outcome OutcomeOf(const PhraseTable& t, int32_t index) {
  Outcome out;
  if (index < 0) return out;
  const TPhrase& p = t.Phrases[static_cast<size_t>(index)];
  out.translated = t.HasEditedText(p);
  if (out.translated) out.text = t.EditedText(p);
  out.on = (p.Flags & pfOn) != 0;
  return out;
}

// Carries the translations of one pair and checks and counts the result.
Tally Check(const sample::VersionPair& pair, uint32_t seed, Translations style, const std::string& label) {
  const PhraseTable oldProject = TranslatedOldProject(pair, seed, style);
  PhraseTable newProject = sample::AnalyseSampleUnit(pair.newUnit);
  const Truth truth = TruthOf(pair, oldProject, newProject);
  const CarryPlan plan = PlanCarry(oldProject, newProject, {});
  ApplyCarry(oldProject, newProject, plan);
  const Unobservable unobservable(oldProject, newProject, truth);

  // Per old text: how many copies, whether they all agree, whether translated.
  struct TextInfo {
    int oldCount = 0, newCount = 0;
    bool agree = true, translated = true;
    Outcome first;
    uint16_t hide = 0;
  };
  std::map<std::string_view, TextInfo> texts;
  for (size_t i = 0; i < oldProject.Phrases.size(); ++i) {
    const TPhrase& p = oldProject.Phrases[i];
    if (p.Flags & pfLink) continue;
    TextInfo& info = texts[oldProject.OriginText(p)];
    const Outcome o = OutcomeOf(oldProject, static_cast<int32_t>(i));
    const auto hide = static_cast<uint16_t>(p.Flags & pfHide);
    if (info.oldCount++ == 0) {
      info.first = o;
      info.hide = hide;
    } else if (!(o == info.first) || hide != info.hide) {
      info.agree = false;
    }
    info.translated = info.translated && o.translated;
  }
  for (const TPhrase& p : newProject.Phrases)
    if (!(p.Flags & pfLink)) ++texts[newProject.OriginText(p)].newCount;

  Tally tally;
  tally.pairs = 1;
  for (const CarryEntry& e : plan.Entries) {
    if (e.NewIndex < 0) continue;
    ++tally.newPhrases;
    const std::string_view text = newProject.OriginText(newProject.Phrases[static_cast<size_t>(e.NewIndex)]);
    const TextInfo& info = texts[text];
    const int32_t origin = truth.oldOfNew.at(e.NewIndex);
    const bool continues = origin >= 0 && !truth.reworded.count(e.NewIndex);
    const Outcome got = OutcomeOf(newProject, e.NewIndex);
    const bool final = e.Status == CarryStatus::Carried;
    tally.finals += final;
    tally.left += e.Status == CarryStatus::Ambiguous || e.Status == CarryStatus::Limit;
    if (e.Status == CarryStatus::Review) {
      ++tally.reviews;
      Outcome own = continues ? OutcomeOf(oldProject, origin) : Outcome{};
      own.on = false;
      tally.reviewsRight += continues && got == own;
    }

    if (final) {
      // Wrong: another translation or ON than the phrase it continues had;
      // or, for a phrase that continues none, a copy of a differing text
      // given as final by its place.
      const bool wrong = continues ? !(got == OutcomeOf(oldProject, origin))
                                   : e.Rule == PairRule::Neighbours || e.Rule == PairRule::Gap;
      if (wrong) {
        if (unobservable(e.OldIndex, e.NewIndex)) {
          ++tally.unobservable;
        } else {
          ++tally.wrongFinals;
          ADD_FAILURE() << label << ": new " << e.NewIndex << " \"" << text << "\" carried from old " << e.OldIndex
                        << " by " << CarryStatusName(e.Status) << "/" << static_cast<int>(e.Rule)
                        << ", but it continues old " << origin;
        }
      }
    }
    if (!continues) continue;
    if (info.oldCount == 1 && info.newCount == 1) {
      ++tally.unique;
      tally.uniqueCarried += final || e.Status == CarryStatus::Matched;
      EXPECT_TRUE(final || e.Status == CarryStatus::Matched) << label << ": unique new " << e.NewIndex;
    } else if (info.oldCount >= 2 && info.agree && info.translated) {
      ++tally.agreeing;
      tally.agreeingCarried += final && got == info.first;
      EXPECT_TRUE(final && got == info.first) << label << ": agreeing new " << e.NewIndex << " is "
                                              << CarryStatusName(e.Status);
    } else if (info.oldCount >= 2 && !info.agree && OutcomeOf(oldProject, origin).translated) {
      ++tally.differing;
      tally.differingTranslated += got.translated;
      tally.differingFinal += final;
    }
  }
  // A phrase for review is shown and switched off.
  for (const CarryEntry& e : plan.Entries)
    if (e.Status == CarryStatus::Review) {
      const TPhrase& n = newProject.Phrases[static_cast<size_t>(e.NewIndex)];
      EXPECT_EQ(n.Flags & (pfOn | pfHide), 0) << label << ": review new " << e.NewIndex;
    }
  return tally;
}

// The seeds each shape runs: 1 to 30, or FIRST to LAST when the
// environment variable VELMORA_CARRY_SEEDS holds "FIRST-LAST" (e.g.
// 31-1000), to search many more pairs for a wrong copy.
std::pair<uint32_t, uint32_t> Seeds() {
  const char* env = std::getenv("VELMORA_CARRY_SEEDS");
  if (!env || !*env) return {1, 30};
  unsigned first = 0, last = 0;
  char end = 0;
  if (std::sscanf(env, "%u-%u%c", &first, &last, &end) != 2 || first == 0 || last < first) {
    ADD_FAILURE() << "VELMORA_CARRY_SEEDS is \"" << env << "\", not FIRST-LAST";
    return {1, 30};
  }
  return {first, last};
}

struct Shape {
  const char* name;
  std::function<sample::UnitRecipe(uint32_t)> recipe;
  std::function<sample::VersionEdits(uint32_t)> edits;
  Translations translations;
};

Tally RunShape(const Shape& shape) {
  Tally total;
  const auto [first, last] = Seeds();
  for (uint32_t seed = first; seed <= last; ++seed) {
    const auto pair = sample::MakeVersionPair(shape.recipe(seed), shape.edits(seed), seed);
    total += Check(pair, seed, shape.translations, std::string(shape.name) + " seed " + std::to_string(seed));
  }
  std::printf(
      "%-34s pairs %zu, new phrases %zu: wrong finals %zu (unobservable %zu); unique carried %.1f%% of %zu; "
      "agreeing copies carried %.1f%% of %zu; differing copies translated %.1f%% of %zu (final %.1f%%); "
      "review right %.1f%% of %zu; undecided %zu\n",
      shape.name, total.pairs, total.newPhrases, total.wrongFinals, total.unobservable,
      Percent(total.uniqueCarried, total.unique), total.unique, Percent(total.agreeingCarried, total.agreeing),
      total.agreeing, Percent(total.differingTranslated, total.differing), total.differing,
      Percent(total.differingFinal, total.differing), Percent(total.reviewsRight, total.reviews), total.reviews,
      total.left);
  EXPECT_EQ(total.wrongFinals, 0u) << shape.name;
  // The goal for copies that differ: at least 80 % of the new copies take a
  // translation, final or for review.
  EXPECT_GE(Percent(total.differingTranslated, total.differing), 80.0) << shape.name;
  EXPECT_EQ(total.uniqueCarried, total.unique) << shape.name;
  EXPECT_EQ(total.agreeingCarried, total.agreeing) << shape.name;
  return total;
}

// A unit with repeated menu texts in a packed, a reversed and a scattered
// table; the scattered table repeats a block of the packed one's texts, as
// a menu that a unit holds twice.
sample::UnitRecipe MenuRecipe(uint32_t seed, size_t strings, double repeats) {
  sample::UnitRecipe recipe;
  recipe.strings = sample::RepeatingMenuTexts(strings, repeats, seed * 3 + 1);
  recipe.moreTables.push_back(
      {sample::RepeatingMenuTexts(strings / 4, repeats, seed * 3 + 100000), sample::Order::Reversed});
  std::vector<sample::SampleString> block(recipe.strings.begin(),
                                          recipe.strings.begin() + static_cast<ptrdiff_t>(strings / 4));
  recipe.moreTables.push_back({block, sample::Order::Scattered});
  recipe.seed = seed;
  return recipe;
}

// One table of `strings` texts drawn mostly from `words` short ones.
sample::UnitRecipe DenseRecipe(uint32_t seed, size_t strings, size_t words, double uniqueShare) {
  sample::UnitRecipe r;
  r.strings = sample::SmallVocabularyTexts(strings, words, uniqueShare, seed * 5 + 7);
  r.seed = seed;
  return r;
}

sample::VersionEdits DefaultEdits(uint32_t seed) {
  sample::VersionEdits edits;
  edits.duplicatedBeside = seed % 3 == 0 ? 0.02 : 0.0;
  return edits;
}

// A firmware update that moves four to eight sections of the pointer table,
// with 5 % of the texts removed and 5 % added.
sample::VersionEdits SectionEdits(uint32_t seed, sample::VersionEdits::Layout layout) {
  sample::VersionEdits edits;
  edits.removed = edits.inserted = 0.05;
  edits.reworded = edits.moved = edits.duplicated = 0;
  edits.movedSections = 4 + seed % 5;
  edits.newStrings = layout;
  return edits;
}

const Shape kShapes[] = {
    {"light edits", [](uint32_t s) { return MenuRecipe(s, 300, 0.25); }, DefaultEdits, Translations::Mixed},
    {"reordered sections, table order",
     [](uint32_t s) { return MenuRecipe(s, 400, 0.3); },
     [](uint32_t s) { return SectionEdits(s, sample::VersionEdits::Layout::TableOrder); }, Translations::Own},
    {"reordered sections, shuffled strings",
     [](uint32_t s) { return MenuRecipe(s, 400, 0.3); },
     [](uint32_t s) { return SectionEdits(s, sample::VersionEdits::Layout::Shuffled); }, Translations::Own},
    {"reordered sections, strings kept",
     [](uint32_t s) { return MenuRecipe(s, 400, 0.3); },
     [](uint32_t s) { return SectionEdits(s, sample::VersionEdits::Layout::Kept); }, Translations::Own},
    {"copies sharing one translation", [](uint32_t s) { return MenuRecipe(s, 300, 0.5); }, DefaultEdits,
     Translations::Shared},
    {"copies each with its own translation", [](uint32_t s) { return MenuRecipe(s, 300, 0.5); }, DefaultEdits,
     Translations::Own},
    {"a unit that doubles",
     [](uint32_t s) { return MenuRecipe(s, 300, 0.25); },
     [](uint32_t s) {
       sample::VersionEdits edits = DefaultEdits(s);
       edits.copiedUnique = 0.3;
       return edits;
     },
     Translations::Own},
    {"rotated pointers",
     [](uint32_t s) {
       sample::UnitRecipe r = MenuRecipe(s, 300, 0.4);
       r.pointerOrder = sample::RotatedOrder(r.strings.size(), r.strings.size() / 3 + s % 7);
       return r;
     },
     DefaultEdits, Translations::Own},
    {"reversed pointers",
     [](uint32_t s) {
       sample::UnitRecipe r = MenuRecipe(s, 300, 0.4);
       r.order = sample::Order::Reversed;
       return r;
     },
     DefaultEdits, Translations::Own},
    {"small vocabularies",
     [](uint32_t s) {
       sample::UnitRecipe r;
       r.strings = sample::SmallVocabularyTexts(300, 3, 0.15, s * 5 + 7);
       r.moreTables.push_back({sample::SmallVocabularyTexts(80, 2, 0.1, s * 5 + 8), sample::Order::Reversed});
       std::vector<sample::SampleString> second = sample::SmallVocabularyTexts(60, 3, 0.2, s * 5 + 9);
       r.moreTables.push_back({second, sample::Order::Packed, sample::RotatedOrder(second.size(), 17)});
       r.seed = s;
       return r;
     },
     DefaultEdits, Translations::Own},
    {"dense repeats", [](uint32_t s) { return DenseRecipe(s, 600, 2, 0.03); }, DefaultEdits, Translations::Own},
    {"dense repeats, shared translations", [](uint32_t s) { return DenseRecipe(s, 600, 3, 0.03); }, DefaultEdits,
     Translations::Shared},
};

class CarryShapes : public ::testing::TestWithParam<Shape> {};

TEST_P(CarryShapes, NoWrongCopyIsFinalAndEveryAgreeingAndUniqueTextIsCarried) { RunShape(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Shapes, CarryShapes, ::testing::ValuesIn(kShapes),
                         [](const ::testing::TestParamInfo<Shape>& p) {
                           std::string name;
                           for (const char* c = p.param.name; *c; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

}  // namespace

TEST(CarryVersions, EveryUnchangedPhraseIsCarriedWhenTheUnitsTellThemApart) {
  // Edits that never make two equal texts indistinguishable: removals,
  // rewordings and moves touch unique texts only, a moved string keeps its
  // pointer's place, and no text is copied.
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    sample::VersionEdits edits;
    edits.editRepeatedTexts = false;
    edits.movedPointers = 0;
    edits.duplicated = 0;
    edits.removed = edits.inserted = edits.reworded = edits.moved = 0.08;
    const auto pair = sample::MakeVersionPair(MenuRecipe(seed, 300, 0.3), edits, seed);
    const std::string label = "seed " + std::to_string(seed);
    const PhraseTable oldProject = TranslatedOldProject(pair, seed, Translations::Own);
    PhraseTable newProject = sample::AnalyseSampleUnit(pair.newUnit);
    const Truth truth = TruthOf(pair, oldProject, newProject);
    const CarryPlan plan = PlanCarry(oldProject, newProject, {});
    std::map<int32_t, const CarryEntry*> entryOfNew;
    for (const CarryEntry& e : plan.Entries)
      if (e.NewIndex >= 0) entryOfNew[e.NewIndex] = &e;
    for (const auto& [newIndex, oldIndex] : truth.oldOfNew) {
      if (oldIndex < 0 || truth.reworded.count(newIndex)) continue;
      const CarryEntry& e = *entryOfNew.at(newIndex);
      EXPECT_EQ(e.Status, CarryStatus::Carried) << label << ": new " << newIndex;
      EXPECT_EQ(e.OldIndex, oldIndex) << label << ": new " << newIndex;
    }
  }
}
