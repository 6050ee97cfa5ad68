// The filter texts of the phrase-file dialogs in the interface language.
#pragma once

#include <string>
#include <vector>

#include "project/exchange/PhraseFormat.h"
#include "ui/logic/words/CaptionTables.h"

namespace velmora::ui {

// A filter's description in the interface language.
std::string DialogFilterCaption(const DialogFilter& filter, UiLanguage lang);

// The open dialog's entries for an import: first "All phrase files" with
// every pattern the readers know (no format of its own: the file's
// extension or first bytes tell), then each reader's own entries.
std::vector<DialogFilter> ImportDialogFilters();

// The entries as one "Description|pattern|Description|pattern" filter text.
std::string JoinDialogFilters(const std::vector<DialogFilter>& filters, UiLanguage lang);

}  // namespace velmora::ui
