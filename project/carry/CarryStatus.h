// The words a carry says about each phrase, kept in one place so that every
// report that speaks of carried translations (the carry's own table and
// summary, the window, a pretranslation from a translation memory) uses the
// same ones. What each outcome promises is set out in
// project/carry/CONTRACT.md.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// What became of one phrase.
enum class CarryStatus : uint8_t {
  Carried,    // takes the old translation and its ON state: the evidence leaves no other reading
  Review,     // takes the old translation switched off: the likeliest reading, for the translator to check
  Kept,       // not carried: the new phrase has a translation of its own
  Matched,    // not carried: the old phrase had no translation to carry
  Ambiguous,  // not carried: the text is in both projects, but which copy is which is undecided
  Limit,      // not carried: as Ambiguous, but left because the work to decide it passed a limit
  Gone,       // not carried: only in the old project
  New,        // not carried: only in the new project
};

// The three outcomes that every status falls into.
enum class CarryOutcome : uint8_t { Carried, Review, NotCarried };

CarryOutcome OutcomeOf(CarryStatus status);

// The word of each status, as every report writes it: "carried", "review",
// and for what is not carried the reason: "kept", "matched", "ambiguous",
// "limit", "gone", "new".
std::string_view CarryStatusName(CarryStatus status);

// Why a phrase was left as a "limit".
enum class LimitReason : uint8_t {
  None,
  ChangeCap,   // its stretch differs between the versions in more places than an alignment follows
  CellBudget,  // the carry's budget of alignment work was spent on other stretches
};

// "too many changes in one stretch to align" and "the budget of alignment
// work ran out"; "" for None.
std::string_view LimitReasonText(LimitReason reason);

}  // namespace velmora
