// Two versions of one sample unit, as a firmware update makes them: texts
// inserted, removed, reworded, moved to other addresses and duplicated, and
// the code before the tables grown so that every address changes. The pair
// comes with its truth: which old string each new string continues.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "sampledata/SampleData.h"

namespace velmora::sample {

// Each rate is the share of the old strings of a table that the edit
// touches (rounded to whole strings).
struct VersionEdits {
  double removed = 0.05;
  double inserted = 0.05;    // fresh texts that neither version had
  double reworded = 0.05;    // a small change of the text (a letter, a word, a mark)
  double moved = 0.05;       // the string moves elsewhere in its string area
  double movedPointers = 0.5;  // of the moved strings: the share whose pointer moves
                               // along; the others keep their pointer's place
  double duplicated = 0.03;  // a new string with the text of an existing one, placed anywhere
  // A copy placed right after its original, string and pointer: nothing in
  // the unit tells the two apart any more.
  double duplicatedBeside = 0.0;
  // Of the strings whose text the old version holds once: the share that
  // gets one to three more copies anywhere in the table (a unit that grows
  // and uses a text in more places).
  double copiedUnique = 0.0;
  // false: removals, rewordings and moves touch only strings whose text is
  // unique in the old version.
  bool editRepeatedTexts = true;
  // Sections of a table's pointers moved elsewhere in the table as a whole,
  // after the other edits (a firmware that reorders its menus).
  size_t movedSections = 0;
  // Where the new version lays out its strings: where they were (Kept), in
  // the order of their pointers (TableOrder), or in a seeded shuffle.
  enum class Layout { Kept, TableOrder, Shuffled };
  Layout newStrings = Layout::Kept;
  size_t codeShiftWords = 0;  // words of code added before the tables; 0 picks 1 to 64
};

struct VersionPair {
  UnitRecipe oldRecipe, newRecipe;
  SampleUnit oldUnit, newUnit;
  // Per string of newUnit (in its strings order): the index of the string of
  // oldUnit it continues, or -1 for an inserted text or a copy.
  std::vector<int> fromOld;
  std::vector<bool> reworded;  // per new string: it continues an old string with a changed text
  std::vector<bool> moved;     // per new string: it continues an old string moved elsewhere
  // Per new string: its pointer left its place among the others (moved
  // with its string, or in a section that moved).
  std::vector<bool> pointerMoved;
};

// Makes the pair from base (its tables, their orders, the header), all
// deterministic from seed. Every reworded or inserted text differs from
// every text of both versions.
VersionPair MakeVersionPair(const UnitRecipe& base, const VersionEdits& edits, uint32_t seed);

// n English menu texts of which about repeatShare are drawn from a dozen
// short ones ("OK", "Cancel", "Back", ...) that therefore repeat; the others
// are unique. About one string in twelve has a second pointer.
std::vector<SampleString> RepeatingMenuTexts(size_t n, double repeatShare, uint32_t seed);

// n texts of which about uniqueShare are unique and the others are drawn
// from only `words` short ones (at most a dozen): a table where most texts
// repeat many times.
std::vector<SampleString> SmallVocabularyTexts(size_t n, size_t words, double uniqueShare, uint32_t seed);

// A pointer order (StringTable::pointerOrder) for n strings that starts at
// string `by` and wraps around: a table whose pointers are rotated against
// its strings.
std::vector<size_t> RotatedOrder(size_t n, size_t by);

// The project `new` makes of a sample unit saved as a .BIN: English texts,
// "Hide ABC" on, no address range.
PhraseTable AnalyseSampleUnit(const SampleUnit& unit, const std::string& unitName = "APM");

// The phrase (never a link record) of each string of the unit, found by its
// string address; -1 for a string that has none.
std::vector<int32_t> PhraseOfString(const SampleUnit& unit, const PhraseTable& project);

}  // namespace velmora::sample
