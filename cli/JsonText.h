// JSON as the commands print it with --json.
#pragma once

#include <string>

namespace velmora::cli {

// The text as a JSON string literal, quotes included; the text is UTF-8.
std::string JsonString(const std::string& s);

}  // namespace velmora::cli
