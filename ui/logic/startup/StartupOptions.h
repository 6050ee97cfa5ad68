// The desktop program's own options, --help and --version. They are
// answered before the window system starts, so they work without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora::ui {

// The text to print and exit with when the arguments (without the program's
// name) are exactly one of -h, --help or --version; otherwise nothing, and
// the arguments name a file to open as before.
std::optional<std::string> StartupInfoText(const std::vector<std::string>& args);

}  // namespace velmora::ui
