// The reports of a carry: the counts of both projects for the user, the
// list of the work left (what was taken for review and what is undecided,
// one phrase a line with both sides), and a tab-separated table with one
// line per entry of the plan that a spreadsheet opens.
#pragma once

#include <string>
#include <string_view>

#include "analysis/PhraseTable.h"
#include "project/carry/Carry.h"
#include "project/text/CodePages.h"

namespace velmora {

// The counts, one per line, as the command line prints them and the window
// shows them: "Carried:   125 (from 120 old phrases)", "Ambiguous, left
// alone:   4 old (1 with a translation), 5 new", ...; a limit line names
// each cause with its count.
std::string CarrySummary(const CarryCounts& counts);

// The candidates of an undecided entry as the reports write them: "12 15
// 18", with "+N more" when more copies could be it than are named.
std::string CandidateText(const CarryEntry& entry);

// The work left, one line per entry taken for review, undecided (ambiguous
// or limit) or gone with a translation, tab-separated: status, old index,
// old text (or the new text of a new phrase), old translation, new index,
// candidates, and the rule of a review or the cause of a limit. Empty when
// there is none. Texts are decoded through the code page and written on
// one line.
std::string WorkLeftList(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                         CodePage codePage);
// The header line of that list (without a line break).
std::string_view WorkLeftHeader();

// The table: a header row, then one line per entry of the plan with its
// status, the rule that decided it, the difference of a similar text, the
// two indices and string addresses, the old and new origin texts, the old
// translation, the translation the new phrase had before, the candidates
// of an undecided phrase and the cause of a limit. Texts are decoded to
// UTF-8 through the code page and written on one line
// (project/text/OneLineText.h).
std::string CarryTable(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                       CodePage codePage);

}  // namespace velmora
