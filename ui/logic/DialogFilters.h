// The filter texts of the phrase-file dialogs in the interface language.
#pragma once

#include <string>
#include <vector>

#include "project/exchange/PhraseFormat.h"
#include "ui/logic/CaptionTables.h"

namespace velmora::ui {

// A filter's description in the interface language.
std::string DialogFilterCaption(const DialogFilter& filter, UiLanguage lang);

// The entries as one "Description|pattern|Description|pattern" filter text.
std::string JoinDialogFilters(const std::vector<DialogFilter>& filters, UiLanguage lang);

}  // namespace velmora::ui
