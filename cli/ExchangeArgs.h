// The options that export and import share: the file's format, the code
// page of the unit's texts and a text file's encoding.
#pragma once

#include <string>

#include "cli/CliCommon.h"
#include "project/exchange/PhraseFormat.h"

namespace velmora::cli {

// The option names, for ArgParser.
inline const std::vector<std::string> kExchangeValueOptions = {"--format", "--codepage", "--encoding"};

// The format named by --format, or nullptr when none is named. UsageError
// for an unknown name.
const PhraseFormat* FormatOption(const ArgParser& ap);
// --codepage and --encoding as options; --encoding only with text files
// (UsageError otherwise).
ExchangeOptions ExchangeOptionsFrom(const ArgParser& ap, const PhraseFormat* format);

}  // namespace velmora::cli
