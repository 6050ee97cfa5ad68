// Carrying the translations of a project over to a project made from a new
// version of the same unit. PlanCarry pairs the phrases
// (project/carry/PhrasePairing.h) and says for every phrase what happens to
// it; ApplyCarry is the one step that changes the new project. Both the
// command line and the window use them, so their reports agree. What the
// three outcomes promise is set out in project/carry/CONTRACT.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/carry/CarryStatus.h"
#include "project/carry/PhrasePairing.h"

namespace velmora {

// One line of the plan: a new phrase with the old phrase it takes from, an
// old phrase that gives to no new phrase, or a new phrase that takes from
// none.
struct CarryEntry {
  int32_t OldIndex = -1;  // index in the old project's Phrases, -1 for none
  int32_t NewIndex = -1;  // index in the new project's Phrases, -1 for none
  CarryStatus Status = CarryStatus::Gone;
  PairRule Rule = PairRule::None;
  uint8_t Percent = 0;    // for the fuzzy rule: how different, in percent
  LimitReason Limit = LimitReason::None;  // for Limit: why
  // For Ambiguous and Limit: phrase indices of the other project that it
  // could be (at most kMaxCandidates, nearest first) and how many there are.
  std::vector<int32_t> Candidates;
  uint32_t CandidateCount = 0;
};

// How many phrases of each side have each status. A new phrase has the
// status of its entry; an old phrase the best status among the entries
// that take from it (carried, review, kept, matched), else its own.
struct CarryCounts {
  // New phrases.
  size_t Carried = 0, Review = 0, Kept = 0, Matched = 0, Ambiguous = 0, Limit = 0, New = 0;
  // Old phrases.
  size_t OldCarried = 0, OldReview = 0, OldKept = 0, OldMatched = 0, OldAmbiguous = 0, OldLimit = 0, Gone = 0;
  // Of the old phrases left Ambiguous, Limit or Gone: those whose
  // translation nothing carries (a copy whose every other copy passed the
  // same translation on loses nothing).
  size_t AmbiguousTranslated = 0, LimitTranslated = 0, GoneTranslated = 0;
  // Phrases of both sides left as a limit, by reason.
  size_t LimitChangeCap = 0, LimitCellBudget = 0;
};

struct CarryOptions {
  int FuzzyPercent = 0;    // 0: no matching by similar texts
  bool Overwrite = false;  // replace translations the new project already has
};

struct CarryPlan {
  // Old phrases in index order, each with the new phrases that take from
  // it in index order (or alone); then the new phrases that take from
  // none, in index order. Link records take no part.
  std::vector<CarryEntry> Entries;
  CarryCounts Counts;
};

// Pairs the phrases of oldProject and newProject and decides each one's
// status. Reads both projects only.
CarryPlan PlanCarry(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryOptions& options);

// Gives each Carried and Review phrase of newProject its old translation as a
// new entry of EditedTexts (no entry when it already holds that very text),
// ON as the old phrase had it (Carried) or off (Review), and HIDE cleared,
// since a phrase with a translation is never hidden. Nothing else of
// newProject changes. Returns true when something changed. Raises
// ERefusal, with newProject unchanged, when EditedTexts has no room
// for the new entries.
bool ApplyCarry(const PhraseTable& oldProject, PhraseTable& newProject, const CarryPlan& plan);

// The check ApplyCarry makes first, for a dry run to give the same answer:
// raises ERefusal when newProject would need more than 32768 texts
// in use. A translation that replaces one takes no more room.
void CheckCarryRoom(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan);

}  // namespace velmora
