// The options that memory, pretranslate, suggest and check share: the
// memory files, the language of the translations, and the glossary.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "cli/CliCommon.h"
#include "project/glossary/TermMatch.h"
#include "project/memory/TranslationMemory.h"

namespace velmora::cli {

// "--memory FILE": every file named by --memory, then the positionals from
// firstExtra on (more files after the first, as in --memory A.tmx B.tmx).
// UsageError when none is named.
std::vector<std::string> MemoryFiles(const ArgParser& ap, size_t firstExtra);

// --language CODE as a BCP 47 tag ("pt-BR"), or empty when not given;
// UsageError for a code that is no language.
std::string LanguageOption(const ArgParser& ap, const std::string& name = "--language");

// The files read into one memory, the project's language choosing the
// source of units that name none.
TranslationMemory LoadMemory(const std::vector<std::string>& files, const std::string& sourceLanguage);

// The language of the translations to take from the memory: --language,
// else the one language the memory has, else the locale's when the memory
// has it; UsageError naming the memory's languages otherwise.
std::string TargetLanguageFor(const ArgParser& ap, const TranslationMemory& memory);

// The glossary that --glossary names, or null. Its target language is
// --language, or the one language besides the source's that it has.
std::shared_ptr<const TermFinder> GlossaryOption(const ArgParser& ap, const std::string& sourceLanguage);

// The language of a project's texts by its code page: "ja" or "en".
std::string SourceLanguageOf(const PhraseTable& table);

}  // namespace velmora::cli
