// Matching the phrases of two versions of a unit by their origin texts, so
// that the translation of a phrase can follow it into the new version. The
// unit has no map of its strings: a phrase is known only by its text and by
// where its string and its first pointer lie. Matching is precise rather
// than eager: a pair is made only when the rules decide it, and a phrase
// that cannot be decided stays unmatched and is marked ambiguous.
//
// The rules, in order:
//  1. A text that occurs exactly once in each version matches.
//  2. A text that occurs several times: the matched phrases that keep their
//     order in both versions split the unit into gaps, once by string
//     address and once by pointer address. In each gap the unmatched texts
//     of the two versions are aligned like the lines of two files (longest
//     common subsequence); a pair that every such alignment makes is
//     decided in that order, but only where nothing that could have
//     happened instead undoes it:
//     - every alignment still makes it when either matched neighbour that
//       bounds the gap is disregarded (that phrase may have moved a little);
//     - every alignment still makes it when a text only one version holds
//       may be a rewording of a text it resembles (one holds the other
//       whole, or they differ in one byte), and no such text lies between
//       the pair's nearest matched neighbours;
//     - the nearest matched neighbours on both sides are partners and hold
//       as many copies between them, the pair at the same place, unless the
//       other order decides the same pair;
//     - the other order does not speak against it: it must not pair either
//       phrase with another one while leaving this pair out, nor so speak
//       against any other pair that the gap's alignment forces (then the
//       whole alignment may be read shifted);
//     - no copy that came or went unseen (its count hidden by another copy
//       of its text that went or came elsewhere in the gap) undoes it:
//       every alignment still makes it with any one phrase of another text
//       left out, and with a phrase that no alignment pairs taken as one
//       that stayed. A gap too costly to test this way stays undecided.
//     Pairs taken in a round that cross each other wait; the rest become
//     neighbours for the next round, until a round adds none. What no order
//     decides stays undecided.
//  3. Only when asked (fuzzyPercent > 0): phrases whose text has no
//     unmatched counterpart in the other version pair with a similar text
//     in the same gap, when each is the other's single closest text and the
//     edit distance is at most fuzzyPercent percent of the longer text.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

// One phrase (never a link record) as the matching sees it.
struct MatchItem {
  std::string_view Text;       // the origin text
  uint32_t StringAddress = 0;  // unit offset of the string
  uint32_t LinkAddress = 0;    // unit offset of its first pointer
};

enum class MatchRule : uint8_t {
  None,        // unmatched
  Unique,      // rule 1: the text is unique in both versions
  Neighbours,  // rule 2: order among equal texts between matched neighbours
  Fuzzy,       // rule 3: a similar text
};

struct TextMatch {
  std::vector<int32_t> NewOfOld;   // per old item: the new item it matches, -1 for none
  std::vector<int32_t> OldOfNew;   // per new item: the old item, -1 for none
  std::vector<MatchRule> Rule;     // per old item
  std::vector<uint8_t> Percent;    // per old item: for Fuzzy, the difference in percent (rounded up)
  // Unmatched items whose text the other version holds in an unmatched item
  // too: the rules could not decide which is which.
  std::vector<bool> OldAmbiguous;
  std::vector<bool> NewAmbiguous;
  // Of the ambiguous items: those in a stretch of unmatched phrases too
  // large to align (about a thousand or more on each side), or whose
  // alignment has too many changes to test against unseen copies, which
  // the rules could not decide.
  std::vector<bool> OldLimited;
  std::vector<bool> NewLimited;
};

// Matches olds to news by the rules above. fuzzyPercent 0 turns rule 3 off;
// values above 100 count as 100.
TextMatch MatchTexts(const std::vector<MatchItem>& olds, const std::vector<MatchItem>& news, int fuzzyPercent);

}  // namespace velmora
