// The pairing of the phrases of two versions of a unit: for every phrase of
// the new version, the phrase of the old version whose translation it
// takes, the rule that says so (project/carry/DecisionTable.h) and so
// whether it is final or for review; for what no rule decides, the copies
// it could be. The unit has no map of its strings: a phrase is known only
// by its text and by where its string and its first pointer lie. What the
// outcomes promise is set out in project/carry/CONTRACT.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "project/carry/CarryStatus.h"

namespace velmora {

// One phrase (never a link record) as the pairing sees it.
struct MatchItem {
  std::string_view Text;       // the origin text
  uint32_t StringAddress = 0;  // unit offset of the string
  uint32_t LinkAddress = 0;    // unit offset of its first pointer
  // Old items only: equal for phrases whose translation, ON and HIDE are
  // all equal, so that copies of a text that agree are told from copies
  // that differ.
  uint32_t State = 0;
};

// The rules, named as the reports name them (PairRuleName).
enum class PairRule : uint8_t {
  None,             // no old phrase
  Unique,           // final: the text occurs once in each version
  SameTranslation,  // final: every old copy of the text is in the same state
  Copied,           // review: the text occurred once and now occurs several times
  Neighbours,       // final: the same unique neighbours on both sides, in both orders
  Gap,              // final: the only reading of its closed gap
  Likeliest,        // review: the likeliest alignment of its gap
  Fuzzy,            // review: a similar text (asked for)
};

struct PairingOptions {
  int FuzzyPercent = 0;  // 0: no fuzzy rule; above 100 counts as 100
  // An alignment of one stretch follows at most this many insertions and
  // removals, and all alignments together take at most Budget steps; a
  // stretch past either is left as a limit.
  size_t MaxChanges = 8000;
  size_t Budget = size_t{200} << 20;
};

// For an undecided phrase, at most this many candidates are named.
constexpr size_t kMaxCandidates = 8;

struct PhrasePairing {
  // Per new item: the old item whose translation it takes (-1: none), the
  // rule that decided it (None: none), and for the fuzzy rule how far the
  // texts differ in percent.
  std::vector<int32_t> SourceOfNew;
  std::vector<PairRule> RuleOfNew;
  std::vector<uint8_t> PercentOfNew;
  // Per old item: the new item it is paired with one to one, -1 for none.
  // An old item may be the source of more new items than its partner
  // (SameTranslation, Copied).
  std::vector<int32_t> NewOfOld;
  // Per old item without a partner: its text's copies all agree and passed
  // their translation and state to the new copies, so nothing of it is lost.
  std::vector<bool> OldPassedOn;
  // Undecided items: copies of a text that both versions still hold
  // unpaired. Limit says when a limit of the work left them (None when
  // the rules simply could not decide).
  std::vector<bool> OldUndecided, NewUndecided;
  std::vector<LimitReason> OldLimit, NewLimit;
  // For an undecided item: the undecided copies of its text in the other
  // version, nearest first, at most kMaxCandidates, and how many there are.
  std::vector<std::vector<int32_t>> OldCandidates, NewCandidates;
  std::vector<uint32_t> OldCandidateCount, NewCandidateCount;
};

// Pairs olds with news by the rules of the decision table.
PhrasePairing PairPhrases(const std::vector<MatchItem>& olds, const std::vector<MatchItem>& news,
                          const PairingOptions& options);

}  // namespace velmora
