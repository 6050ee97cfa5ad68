// The reports of a carry: the counts for the user, the list of translations
// that were not carried, and a tab-separated table with one line per phrase
// that a spreadsheet opens.
#pragma once

#include <string>
#include <string_view>

#include "analysis/PhraseTable.h"
#include "project/carry/Carry.h"
#include "project/text/CodePages.h"

namespace velmora {

// The counts, one per line ("Carried: 12", ...), as the command line prints
// them and the window shows them.
std::string CarrySummary(const CarryCounts& counts);

// One line per old phrase whose translation was not carried because it is
// ambiguous or gone: status, index, origin text and translation, texts
// decoded through the code page.
std::string UncarriedList(const PhraseTable& oldProject, const CarryPlan& plan, CodePage codePage);

// The table: a header row, then one line per entry of the plan with its
// status, the rule that matched it, the difference of a similar text, the
// two indices and string addresses, the old and new origin texts, the old
// translation and the translation the new phrase had before. Texts are
// decoded to UTF-8 through the code page and written on one line
// (project/text/OneLineText.h).
std::string CarryTable(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                       CodePage codePage);

}  // namespace velmora
