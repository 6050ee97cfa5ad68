// The options that export and import share: the file's format, the code
// page of the unit's texts and a text file's encoding; and the languages
// that an export names.
#pragma once

#include <string>

#include "cli/CliCommon.h"
#include "project/exchange/PhraseFormat.h"

namespace velmora::cli {

// The option names, for ArgParser.
inline const std::vector<std::string> kExchangeValueOptions = {"--format", "--codepage", "--encoding"};
inline const std::vector<std::string> kLanguageValueOptions = {"--language", "--source-language"};

// The format named by --format, or nullptr when none is named. UsageError
// for an unknown name.
const PhraseFormat* FormatOption(const ArgParser& ap);
// --codepage and --encoding as options; --encoding only with text files
// (UsageError otherwise). Without --codepage, codePageChosen is false and
// the caller sets the project's own code page.
ExchangeOptions ExchangeOptionsFrom(const ArgParser& ap, const PhraseFormat* format);
// --language and --source-language into options; only for PO and XLIFF
// files, and only codes that ParseLanguageTag reads (UsageError otherwise).
void LanguageOptionsFrom(const ArgParser& ap, const PhraseFormat& format, ExchangeOptions& options);

}  // namespace velmora::cli
