// The rules that decide which old phrase a new phrase continues, as a table:
// each row names the rule as the reports do, says what evidence it takes
// and what outcome it gives. A new phrase takes the outcome of the first
// row whose evidence holds for it; a phrase no row decides is not carried.
// Each rule has its hand-made case in tests/test_carry_rules.cpp.
//
//  rule              evidence                                              outcome
//  unique            the text occurs once in each version                  carried
//  same-translation  every old copy of the text has the same translation,  carried, every new copy,
//                    ON and HIDE (two copies or more)                      whatever the pairing
//  copied            the text occurred once and now occurs several times   review, every new copy
//  neighbours        the phrase's neighbours before and after, in string   carried
//                    order and in pointer order, are unique texts paired
//                    with the new phrase's neighbours
//  gap               in a closed gap (project/carry/GapView.h) whose       carried
//                    bounding pairs are closed on their other sides too,
//                    the texts both versions hold come in the same order
//                    and counts; no piece of copies of other texts moved
//                    in or out (two on one side, or one on each: a seam);
//                    no pair passed over lies in it; and the reading
//                    holds with the bounding pairs, alone or as a block,
//                    taken as phrases that may have moved a little
//  likeliest         the alignment of its closed gap with the fewest       review
//                    insertions and removals, a run of equal texts on from
//                    a pair, or a piece of two texts side by side that
//                    occurs once in each version; not denied by the other
//                    order
//  fuzzy             (asked for) project/carry/FuzzyRule.h                 review
//
// The rules build on each other in this order: unique pairs bound the
// gaps; neighbours and gap pairs narrow them, round after round, until a
// round adds nothing; only then is the likeliest alignment taken, so that
// a guess never bounds a gap that decides a final pair. The gap rule lives
// in GapRule.cpp, the likeliest in LikeliestRule.cpp, the fuzzy rule in
// FuzzyRule.cpp, the others in DecisionTable.cpp; what they share about a
// stretch in Stretch.h.
#pragma once

#include <array>
#include <string_view>

#include "project/carry/CarryStatus.h"
#include "project/carry/PairingState.h"
#include "project/carry/PhrasePairing.h"

namespace velmora {

struct PairingRuleRow {
  PairRule Rule;
  std::string_view Name;      // as the report's Rule column says it
  std::string_view Evidence;  // in a few words, for the help text and the contract
  CarryOutcome Outcome;       // Carried (final) or Review
};

// The rows of the table above, in the order a phrase is judged by them.
extern const std::array<PairingRuleRow, 7> kPairingRules;

// The row of a rule; "" and NotCarried for PairRule::None.
std::string_view PairRuleName(PairRule rule);
CarryOutcome RuleOutcome(PairRule rule);

// The evidence of each rule, gathered into the state's pairs.
void PairUniqueTexts(PairingState& s);
void PairByNeighbours(PairingState& s);
void PairByGaps(PairingState& s);
void PairByLikeliestAlignment(PairingState& s);
void PairBySimilarText(PairingState& s, PhrasePairing& result);

// Settles every new item's source and rule from the pairs and the texts'
// copies: same-translation and copied take every new copy of their texts,
// the pairs of the other rules their partners.
void SettleSources(const PairingState& s, PhrasePairing& result);

}  // namespace velmora
