// The report of "Take Translations from Project ...": how many translations
// were taken, and a table of the counts of the carry, in the interface
// language.
#pragma once

#include <string>

#include "project/carry/Carry.h"
#include "ui/logic/words/CaptionTables.h"
#include "ui/logic/Platform.h"

namespace velmora::ui {

// fileName: the old project's file name, without its folder.
ReportTable TakeTranslationsReport(const CarryCounts& counts, const std::string& fileName, UiLanguage lang);

}  // namespace velmora::ui
