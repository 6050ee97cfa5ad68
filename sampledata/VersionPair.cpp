// Version pairs of sample units with their truth.
#include "sampledata/VersionPair.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "analysis/AnalyseUnit.h"
#include "container/io/Stream.h"
#include "sampledata/SampleRandom.h"

namespace velmora::sample {

namespace {

const char* const kCommon[] = {"OK", "Cancel", "Back", "Yes", "No", "Menu", "Next", "Delete", "Settings", "Volume",
                               "Map", "Exit"};
const char* const kWords[] = {"Route", "Traffic", "Memory", "Phone", "Audio", "Display", "Guide", "Search",
                              "Area", "Street", "City", "Lane", "Toll", "Ferry", "Tunnel", "Bridge"};
const char* const kSecond[] = {"settings", "options", "list", "info", "menu", "point", "mode", "scale",
                               "volume", "edit", "delete", "check", "history", "view", "details", "name"};

// One string of a version while it is edited.
struct Item {
  SampleString string;
  double key = 0;        // the place of its pointer in the table's pointer order
  int old = -1;          // the old string it continues
  bool reworded = false;
  bool moved = false;
  bool pointerMoved = false;
  bool repeated = false;  // its text occurs more than once in the old version
};

size_t Share(double rate, size_t count) {
  return static_cast<size_t>(std::lround(std::max(0.0, rate) * static_cast<double>(count)));
}

// The pointer key for a string placed at position p of items (already
// inserted there): between the keys of its neighbours, so that it keeps
// the table's order of pointers.
double KeyAt(const std::vector<Item>& items, size_t p) {
  const bool hasPrev = p > 0, hasNext = p + 1 < items.size();
  if (hasPrev && hasNext) return (items[p - 1].key + items[p + 1].key) / 2;
  if (!hasPrev && !hasNext) return 0;
  // At an end: one step further in the direction the neighbours run.
  const size_t a = hasPrev ? p - 1 : p + 1;
  const size_t b = hasPrev ? (p >= 2 ? p - 2 : a) : (p + 2 < items.size() ? p + 2 : a);
  const double direction = items[a].key >= items[b].key ? 1 : -1;
  return items[a].key + (hasPrev ? direction : -direction) * 0.5;
}

class Editor {
 public:
  Editor(uint32_t seed, std::unordered_set<std::string>& texts) : rng_(seed), texts_(texts) {}

  Rng& rng() { return rng_; }

  std::string FreshText() {
    for (;;) {
      std::string s = kWords[rng_.Below(std::size(kWords))];
      s += ' ';
      s += kSecond[rng_.Below(std::size(kSecond))];
      s += " v" + std::to_string(rng_.Below(100000));
      if (texts_.insert(s).second) return s;
    }
  }

  // A small change: a mark appended, a letter changed, or a word added.
  std::string Reword(const std::string& text) {
    for (int attempt = 0;; ++attempt) {
      std::string s = text;
      const uint32_t kind = attempt > 8 ? 2 : rng_.Below(3);
      if (kind == 0) {
        s += "!:?."[rng_.Below(4)];
      } else if (kind == 1 && s.size() > 2) {
        const size_t at = 1 + rng_.Below(static_cast<uint32_t>(s.size() - 1));
        if (s[at] == '\n') continue;
        s[at] = static_cast<char>('a' + rng_.Below(26));
      } else {
        s += ' ';
        s += kSecond[rng_.Below(std::size(kSecond))];
        // Short texts run out of small changes: a number makes it new.
        if (attempt > 16) s += " " + std::to_string(rng_.Below(1000000));
      }
      if (s != text && s.size() <= 511 && texts_.insert(s).second) return s;
    }
  }

  // A position of items that holds an unchanged old string (with a text
  // unique in the old version unless repeated ones may be picked), or
  // items.size() when none does.
  size_t PickOld(const std::vector<Item>& items, bool repeatedToo) {
    std::vector<size_t> olds;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].old >= 0 && !items[i].reworded && (repeatedToo || !items[i].repeated)) olds.push_back(i);
    return olds.empty() ? items.size() : olds[rng_.Below(olds.size())];
  }

 private:
  Rng rng_;
  std::unordered_set<std::string>& texts_;
};

// The pointer order of a table of the base recipe, as keys in string order.
std::vector<double> BaseKeys(const StringTable& t, Rng& rng) {
  const size_t n = t.strings.size();
  std::vector<size_t> order(n);  // pointer position -> string
  std::iota(order.begin(), order.end(), size_t{0});
  if (!t.pointerOrder.empty()) {
    order = t.pointerOrder;
  } else if (t.order == Order::Reversed) {
    std::reverse(order.begin(), order.end());
  } else if (t.order == Order::Scattered) {
    rng.Shuffle(order);
  }
  std::vector<double> keys(n);
  for (size_t k = 0; k < order.size(); ++k) keys.at(order[k]) = static_cast<double>(k);
  return keys;
}

// Cuts `sections` stretches out of the table's pointer order and puts each
// back at another place, as a whole; the strings stay where they are.
void MoveSections(std::vector<Item>& items, size_t sections, Rng& rng) {
  const size_t n = items.size();
  if (sections == 0 || n < 8 * sections) return;
  std::vector<size_t> order(n);  // item positions in pointer order
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return items[a].key < items[b].key; });
  // Sections of n / (4 sections) to n / (2 sections) pointers, each taken
  // from what the others left.
  std::vector<std::vector<size_t>> cut;
  for (size_t s = 0; s < sections; ++s) {
    const size_t shortest = std::max<size_t>(1, n / (4 * sections));
    const size_t length = shortest + rng.Below(shortest + 1);
    if (order.size() <= length + 1) break;
    const size_t from = rng.Below(order.size() - length + 1);
    cut.emplace_back(order.begin() + static_cast<ptrdiff_t>(from), order.begin() + static_cast<ptrdiff_t>(from + length));
    order.erase(order.begin() + static_cast<ptrdiff_t>(from), order.begin() + static_cast<ptrdiff_t>(from + length));
  }
  for (const auto& section : cut) {
    const size_t to = rng.Below(order.size() + 1);
    order.insert(order.begin() + static_cast<ptrdiff_t>(to), section.begin(), section.end());
    for (size_t p : section) items[p].pointerMoved = true;
  }
  for (size_t k = 0; k < order.size(); ++k) items[order[k]].key = static_cast<double>(k);
}

void EditTable(std::vector<Item>& items, const VersionEdits& edits, Editor& ed) {
  Rng& rng = ed.rng();
  const size_t count = items.size();

  const bool repeatedToo = edits.editRepeatedTexts;
  for (size_t k = Share(edits.removed, count); k > 0; --k) {
    const size_t p = ed.PickOld(items, repeatedToo);
    if (p == items.size()) break;
    items.erase(items.begin() + static_cast<ptrdiff_t>(p));
  }

  for (size_t k = Share(edits.reworded, count); k > 0; --k) {
    const size_t p = ed.PickOld(items, repeatedToo);
    if (p == items.size()) break;
    items[p].string.bytes = ed.Reword(items[p].string.bytes);
    items[p].reworded = true;
  }

  const auto withPointer = static_cast<uint32_t>(std::clamp(edits.movedPointers, 0.0, 1.0) * 1000);
  for (size_t k = Share(edits.moved, count); k > 0 && items.size() > 1; --k) {
    const size_t from = ed.PickOld(items, repeatedToo);
    if (from == items.size()) break;
    Item it = items[from];
    items.erase(items.begin() + static_cast<ptrdiff_t>(from));
    const size_t to = rng.Below(items.size() + 1);
    items.insert(items.begin() + static_cast<ptrdiff_t>(to), it);
    items[to].moved = true;
    if (rng.Below(1000) < withPointer) {
      items[to].key = KeyAt(items, to);
      items[to].pointerMoved = true;
    }
  }

  for (size_t k = Share(edits.inserted, count); k > 0; --k) {
    const size_t to = rng.Below(items.size() + 1);
    Item it;
    it.string.bytes = ed.FreshText();
    it.string.pointers = rng.Below(12) == 0 ? 2 : 1;
    items.insert(items.begin() + static_cast<ptrdiff_t>(to), it);
    items[to].key = KeyAt(items, to);
  }

  auto copy = [&](bool beside) {
    if (items.empty()) return;
    const size_t from = rng.Below(items.size());
    Item it;
    it.string.bytes = items[from].string.bytes;
    const size_t to = beside ? from + 1 : rng.Below(items.size() + 1);
    items.insert(items.begin() + static_cast<ptrdiff_t>(to), it);
    items[to].key = KeyAt(items, to);
  };
  for (size_t k = Share(edits.duplicated, count); k > 0; --k) copy(false);
  for (size_t k = Share(edits.duplicatedBeside, count); k > 0; --k) copy(true);

  // Texts held once: some get more copies.
  std::vector<std::string> once;
  for (const Item& it : items)
    if (it.old >= 0 && !it.repeated && !it.reworded) once.push_back(it.string.bytes);
  for (size_t k = Share(edits.copiedUnique, once.size()); k > 0; --k) {
    const std::string text = once[rng.Below(once.size())];
    for (uint32_t c = 1 + rng.Below(3); c > 0; --c) {
      const size_t to = rng.Below(items.size() + 1);
      Item it;
      it.string.bytes = text;
      items.insert(items.begin() + static_cast<ptrdiff_t>(to), it);
      items[to].key = KeyAt(items, to);
    }
  }

  MoveSections(items, edits.movedSections, rng);
  if (edits.newStrings == VersionEdits::Layout::TableOrder)
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.key < b.key; });
  else if (edits.newStrings == VersionEdits::Layout::Shuffled)
    rng.Shuffle(items);
}

StringTable TableOf(const std::vector<Item>& items, Order order) {
  StringTable t;
  t.order = order;
  for (const Item& it : items) t.strings.push_back(it.string);
  t.pointerOrder.resize(items.size());
  std::iota(t.pointerOrder.begin(), t.pointerOrder.end(), size_t{0});
  std::stable_sort(t.pointerOrder.begin(), t.pointerOrder.end(),
                   [&](size_t a, size_t b) { return items[a].key < items[b].key; });
  return t;
}

}  // namespace

VersionPair MakeVersionPair(const UnitRecipe& base, const VersionEdits& edits, uint32_t seed) {
  VersionPair pair;
  Rng rng(seed);

  std::vector<StringTable> baseTables;
  baseTables.push_back({base.strings, base.order, base.pointerOrder});
  for (const StringTable& t : base.moreTables) baseTables.push_back(t);

  std::unordered_set<std::string> texts;
  std::unordered_map<std::string, int> occurrences;
  for (const StringTable& t : baseTables)
    for (const SampleString& s : t.strings) {
      texts.insert(s.bytes);
      ++occurrences[s.bytes];
    }

  // The old version with explicit pointer orders, the new one edited from it.
  std::vector<std::vector<Item>> oldItems, newItems;
  int next = 0;
  for (const StringTable& t : baseTables) {
    const std::vector<double> keys = BaseKeys(t, rng);
    std::vector<Item> items;
    for (size_t i = 0; i < t.strings.size(); ++i) {
      Item it;
      it.string = t.strings[i];
      it.key = keys[i];
      it.old = next++;
      it.repeated = occurrences[it.string.bytes] > 1;
      items.push_back(it);
    }
    oldItems.push_back(items);
  }
  Editor ed(seed ^ 0x5EED5EEDu, texts);
  for (const auto& items : oldItems) {
    newItems.push_back(items);
    EditTable(newItems.back(), edits, ed);
  }

  auto recipeOf = [&](const std::vector<std::vector<Item>>& tables, size_t codeWords, uint32_t unitSeed) {
    UnitRecipe recipe = base;
    recipe.codeWordsBefore = codeWords;
    recipe.seed = unitSeed;
    recipe.moreTables.clear();
    for (size_t t = 0; t < tables.size(); ++t) {
      StringTable table = TableOf(tables[t], baseTables[t].order);
      if (t == 0) {
        recipe.strings = table.strings;
        recipe.order = table.order;
        recipe.pointerOrder = table.pointerOrder;
      } else {
        recipe.moreTables.push_back(table);
      }
    }
    return recipe;
  };
  const size_t shift = edits.codeShiftWords > 0 ? edits.codeShiftWords : 1 + rng.Below(64);
  pair.oldRecipe = recipeOf(oldItems, base.codeWordsBefore, base.seed);
  pair.newRecipe = recipeOf(newItems, base.codeWordsBefore + shift, base.seed + 1);
  pair.oldUnit = MakeUnit(pair.oldRecipe);
  pair.newUnit = MakeUnit(pair.newRecipe);

  for (const auto& items : newItems)
    for (const Item& it : items) {
      pair.fromOld.push_back(it.old);
      pair.reworded.push_back(it.reworded);
      pair.moved.push_back(it.moved);
      pair.pointerMoved.push_back(it.pointerMoved);
    }
  return pair;
}

std::vector<SampleString> RepeatingMenuTexts(size_t n, double repeatShare, uint32_t seed) {
  Rng rng(seed);
  std::vector<SampleString> out;
  std::unordered_set<std::string> used;
  const auto threshold = static_cast<uint32_t>(std::clamp(repeatShare, 0.0, 1.0) * 1000);
  for (size_t i = 0; i < n; ++i) {
    SampleString s;
    if (rng.Below(1000) < threshold) {
      s.bytes = kCommon[rng.Below(std::size(kCommon))];
    } else {
      do {
        s.bytes = kWords[rng.Below(std::size(kWords))];
        s.bytes += ' ';
        s.bytes += kSecond[rng.Below(std::size(kSecond))];
        s.bytes += ' ' + std::to_string(i);
      } while (!used.insert(s.bytes).second);
    }
    s.pointers = rng.Below(12) == 0 ? 2 : 1;
    out.push_back(s);
  }
  return out;
}

std::vector<SampleString> SmallVocabularyTexts(size_t n, size_t words, double uniqueShare, uint32_t seed) {
  words = std::clamp<size_t>(words, 1, std::size(kCommon));
  // Unique ones from the menu texts, the rest from the first `words` common ones.
  std::vector<SampleString> out = RepeatingMenuTexts(n, 1.0 - uniqueShare, seed);
  Rng rng(seed ^ 0xC0FFEEu);
  for (SampleString& s : out)
    if (std::find(std::begin(kCommon), std::end(kCommon), s.bytes) != std::end(kCommon))
      s.bytes = kCommon[rng.Below(static_cast<uint32_t>(words))];
  return out;
}

std::vector<size_t> RotatedOrder(size_t n, size_t by) {
  std::vector<size_t> order(n);
  for (size_t k = 0; k < n; ++k) order[k] = (k + by) % n;
  return order;
}

PhraseTable AnalyseSampleUnit(const SampleUnit& unit, const std::string& unitName) {
  PhraseTable table;
  table.Info.MakerIndex = table.Info.ModuleIndex = table.Info.UnitIndex = -1;
  table.Info.UnitOffset = 0;
  table.Info.SourceSize = static_cast<uint32_t>(unit.bytes.size());
  AnalysisOptions options;
  options.Mode = TextMode::English;
  options.HideAbc = true;
  options.RangeStart = 0;
  options.RangeEnd = table.Info.SourceSize;
  TMemoryStream source(unit.bytes);
  const AnalysisResult r = AnalyseUnit(table, source, 0, options, [](const std::string&) { return false; });
  if (!r.Completed) throw std::runtime_error("sample unit: the analysis asked a question");
  table.UnitName = unitName;
  table.StoreNamesInInfo();
  return table;
}

std::vector<int32_t> PhraseOfString(const SampleUnit& unit, const PhraseTable& project) {
  std::unordered_map<uint32_t, int32_t> byAddress;
  for (size_t i = 0; i < project.Phrases.size(); ++i)
    if (!(project.Phrases[i].Flags & pfLink))
      byAddress.emplace(project.Phrases[i].StringAddress, static_cast<int32_t>(i));
  std::vector<int32_t> out;
  out.reserve(unit.strings.size());
  for (const PlacedString& s : unit.strings) {
    const auto it = byAddress.find(s.offset);
    out.push_back(it == byAddress.end() ? -1 : it->second);
  }
  return out;
}

}  // namespace velmora::sample
