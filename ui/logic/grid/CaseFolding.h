// Case-insensitive matching of 8-bit phrase texts, as the find panels do
// it: the ASCII capitals A to Z match their small letters, every other byte
// only itself. Under Shift JIS a lead byte (analysis/UnitText.h) and the
// byte after it form one character: its second byte, which may look like
// an ASCII letter, is never folded, and a match starts only where a
// character starts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/UnitText.h"
#include "project/text/CodePages.h"

namespace velmora::ui {

// True when texts shown through the code page are Shift JIS (the Japanese
// entry, or Default on a system whose own 8-bit code page is Shift JIS).
bool IsShiftJis(CodePage cp);

// The bytes with A to Z turned into a to z. With shiftJis, the second byte
// of each double-byte character is kept as it is.
std::string FoldAsciiCase(std::string_view bytes, bool shiftJis = false);

// True when `search` occurs in `text`, both folded as above; with shiftJis
// the occurrence must start at a character. An empty search matches
// nothing.
bool ContainsFolded(std::string_view text, std::string_view search, bool shiftJis);

}  // namespace velmora::ui
