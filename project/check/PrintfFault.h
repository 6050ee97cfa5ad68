// The printf check's verdict on one pair of 8-bit texts, for those that
// report a mismatch where they find it (the import, with the file's line).
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// What is wrong with the translation's printf directives against the
// origin's ("the translation drops argument 2, int (%02d)"), or "" when
// they read the same arguments.
std::string PrintfFault(std::string_view origin, std::string_view translation);

// The note an import gives a phrase whose translation PrintfFault finds
// fault with: "phrase 12: <fault>; applied, but a build refuses it until it
// is mended"; "" when there is none.
std::string PrintfImportNote(size_t index, std::string_view origin, std::string_view translation);

}  // namespace velmora
