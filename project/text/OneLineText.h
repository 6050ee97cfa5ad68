// A text written on one line of a listing or a tab-separated table:
// backslash, line feed, carriage return and tab as \\, \n, \r and \t, other
// control bytes as \xNN, so that every phrase stays on its line and in its
// cell.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::string OneLineText(std::string_view text);

}  // namespace velmora
