// A number with the word it counts, in the interface language: "1
// translation", "5 translations"; in Russian "1 перевод", "2 перевода",
// "5 переводов", "11 переводов", "21 перевод".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/logic/words/CaptionTables.h"

namespace velmora::ui {

// forms: the word's forms separated by "|": singular|plural in English,
// one|few|many in Russian (a missing form falls back to the last one given).
std::string CountWithWord(size_t count, std::string_view forms, UiLanguage lang);

}  // namespace velmora::ui
