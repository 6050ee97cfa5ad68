// Pretranslation: phrases without a translation take one from a
// translation memory. PlanPretranslation decides for every phrase what it
// gets and why; ApplyPretranslation is the one step that changes the
// project (one undo step in the window). The command line and the window
// use both, so their reports agree.
//
// - The same text in the memory: when every entry gives the same
//   translation, it is taken switched on ("carried"; for review when every
//   entry was itself stored for review). When the entries disagree, the
//   translation most places give is taken for review ("review").
// - Otherwise the best match scoring at least the minimum (the same text
//   in another case, or a similar text) is taken for review.
// - A match is not taken ("not carried") when the project's code page
//   cannot write it, when it would be longer than a project's text may be,
//   when its printf directives would not read the origin's arguments, or
//   when it holds a term the glossary forbids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/glossary/TermMatch.h"
#include "project/memory/ByteFit.h"
#include "project/memory/MatchScore.h"
#include "project/memory/TranslationMemory.h"
#include "project/text/CodePages.h"

namespace velmora {

enum class PretranslateOutcome : uint8_t {
  Carried,     // taken, switched on
  Review,      // taken, stored switched off
  NotCarried,  // a match not taken, or no match
};
// The words of the reports, as carry's reports use them: "carried",
// "review", "not carried".
std::string_view PretranslateOutcomeName(PretranslateOutcome outcome);

struct PretranslateOptions {
  int MinScore = 75;                  // the least score of a match taken for review
  bool Overwrite = false;             // also replace the translations phrases have
  std::string Language;               // of the translations taken; empty: any
  CodePage Page = CodePage::Default;  // the project's texts
  const TermFinder* Terms = nullptr;  // a glossary whose forbidden terms refuse a match
};

// One phrase that pretranslation looked at.
struct PretranslateEntry {
  int32_t Index = -1;
  PretranslateOutcome Outcome = PretranslateOutcome::NotCarried;
  bool Matched = false;  // the memory had a match at or above the minimum
  MatchScore Score;
  std::string Origin;       // the phrase's text, UTF-8
  std::string Source;       // the memory's source text, UTF-8
  std::string Translation;  // the memory's translation, UTF-8
  FitResult Fit;            // its bytes in the code page and how they fit
  uint32_t Agreeing = 0;    // same text: places that give this translation
  uint32_t Places = 0;      // same text: places in the memory
  std::string Reason;       // not carried: why; review: why not switched on
  std::string Note;         // what else the translator should know
};

struct PretranslateCounts {
  size_t Carried = 0;
  size_t Review = 0;
  size_t Refused = 0;  // a match not taken
  size_t NoMatch = 0;
  size_t Kept = 0;  // phrases with a translation of their own, left alone
};

struct PretranslatePlan {
  std::vector<PretranslateEntry> Entries;  // by phrase index
  PretranslateCounts Counts;
  // The phrases that ApplyPretranslation changes (taken ones), for an undo
  // snapshot.
  std::vector<int32_t> Taken() const;
};

// Looks at every phrase without a translation (with options.Overwrite,
// every phrase) and decides what it gets. Reads the project only.
PretranslatePlan PlanPretranslation(const PhraseTable& table, const TranslationMemory& memory,
                                    const PretranslateOptions& options);

// Gives each taken phrase its translation (a new entry of EditedTexts
// unless it holds that very text already), switched on when carried and off
// for review, and shows it (HIDE cleared), since a phrase with a
// translation is never hidden. Returns true when the project changed.
// Raises ERefusal, with the project as it was, when the texts do not fit
// the project's limits.
bool ApplyPretranslation(PhraseTable& table, const PretranslatePlan& plan);

// The counts, one per line, as the command line prints them and the window
// shows them.
std::string PretranslateSummary(const PretranslateCounts& counts, int minScore);
// One line per match not taken: outcome, index, reason, origin, translation.
std::string NotCarriedList(const PretranslatePlan& plan);
// A tab-separated table with a header row and a line per phrase looked at:
// outcome, index, match, score, byte fit, bytes, room, origin, the memory's
// source and translation, the reason and the note (texts on one line).
std::string PretranslateTable(const PretranslatePlan& plan);

}  // namespace velmora
