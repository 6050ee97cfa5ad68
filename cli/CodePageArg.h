// The code page in which a command reads and writes a project's 8-bit
// texts: --codepage, or else the project's own.
#pragma once

#include "analysis/PhraseTable.h"
#include "cli/CliCommon.h"
#include "project/text/CodePages.h"

namespace velmora::cli {

// --codepage (CodePageOption), else the project's own code page: Japanese
// when its phrases are Japanese texts, else the locale's.
CodePage CodePageFor(const ArgParser& ap, const PhraseTable& table);

}  // namespace velmora::cli
