// --codepage NAME: the code page in which a command reads and writes the
// unit's 8-bit texts. Without it a command takes the project's own.
#pragma once

#include <optional>

#include "analysis/PhraseTable.h"
#include "cli/CliCommon.h"
#include "project/text/CodePages.h"

namespace velmora::cli {

// The code page --codepage names, nullopt when it is not given; UsageError
// for an unknown name.
std::optional<CodePage> CodePageOption(const ArgParser& ap);

// --codepage, else the project's own code page: Japanese when its phrases
// are Japanese texts, else the locale's.
CodePage CodePageFor(const ArgParser& ap, const PhraseTable& table);

}  // namespace velmora::cli
