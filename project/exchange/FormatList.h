// The formats the registry lists, and what their implementations share.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "project/exchange/PhraseFormat.h"

namespace velmora {

const PhraseFormat& TextFileFormat();
const PhraseFormat& PoFileFormat();
const PhraseFormat& XliffFileFormat();

// How much of a file's start LooksLike is shown.
inline constexpr size_t kFormatHeadBytes = 4096;

// True when the file name's last extension is one of extensions (given in
// lower case; the name's case is ignored).
bool PathHasExtension(std::string_view path, const std::vector<std::string_view>& extensions);

}  // namespace velmora
