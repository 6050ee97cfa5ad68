// The main window's caption.
#pragma once

#include <string>

namespace velmora::ui {

inline constexpr const char* kApplicationTitle = "Velmora";

// The caption of an open project: "Velmora - " + path + "  [" + unitName +
// "_" + unitTag + "]".
inline std::string ProjectCaption(const std::string& path, const std::string& unitName, const std::string& unitTag) {
  return std::string(kApplicationTitle) + " - " + path + "  [" + unitName + "_" + unitTag + "]";
}

}  // namespace velmora::ui
