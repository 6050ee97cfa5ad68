// Carrying the translations of a project over to a project made from a new
// version of the same unit. PlanCarry matches the phrases (project/carry/CarryMatch.h)
// and says for every phrase what happens to it; ApplyCarry is the one step
// that changes the new project. Both the command line and the window use
// them, so their reports agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/carry/CarryMatch.h"

namespace velmora {

enum class CarryStatus : uint8_t {
  Carried,    // the new phrase takes the old translation and the old ON flag
  Review,     // matched by a similar text: takes the translation switched off
  Kept,       // matched, but the new phrase has a translation of its own
  Matched,    // matched, and the old phrase had no translation to carry
  Ambiguous,  // the text is in both projects, but which phrase is which is undecided
  Limit,      // as Ambiguous, but among more equal texts than the matching aligns
  Gone,       // only in the old project
  New,        // only in the new project
};

// The word the reports use: "carried", "review", "kept", "matched",
// "ambiguous", "limit", "gone", "new".
std::string_view CarryStatusName(CarryStatus status);
// "unique", "neighbours", "fuzzy" or "" for an unmatched phrase.
std::string_view MatchRuleName(MatchRule rule);

// One phrase of either project (a matched pair is one entry).
struct CarryEntry {
  int32_t OldIndex = -1;  // index in the old project's Phrases, -1 when only in the new one
  int32_t NewIndex = -1;  // index in the new project's Phrases, -1 when only in the old one
  CarryStatus Status = CarryStatus::Gone;
  MatchRule Rule = MatchRule::None;
  uint8_t Percent = 0;    // for a match by similar text: how different, in percent
};

struct CarryCounts {
  size_t Carried = 0, Review = 0, Kept = 0, Matched = 0, Ambiguous = 0, Gone = 0, New = 0, Limit = 0;
  // Of Ambiguous, Limit and Gone: old phrases that had a translation, which is not carried.
  size_t AmbiguousTranslated = 0, GoneTranslated = 0, LimitTranslated = 0;
};

struct CarryOptions {
  int FuzzyPercent = 0;    // 0: no matching by similar texts
  bool Overwrite = false;  // replace translations the new project already has
};

struct CarryPlan {
  // Old phrases in index order (each with its partner), then the new
  // phrases that have no partner, in index order. Link records take no part.
  std::vector<CarryEntry> Entries;
  CarryCounts Counts;
};

// Matches the phrases of oldProject and newProject and decides each one's
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
// raises std::length_error when newProject would need more than 32768 texts
// in use. A translation that replaces one takes no more room.
void CheckCarryRoom(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan);

}  // namespace velmora
