// The main window's caption.
#pragma once

#include <string>

#include "analysis/PhraseTable.h"

namespace velmora::ui {

inline constexpr const char* kApplicationTitle = "Velmora";

// The caption of an open project: "Velmora - " + path + "  [" + unitName +
// "_" + unitTag + "]".
inline std::string ProjectCaption(const std::string& path, const std::string& unitName, const std::string& unitTag) {
  return std::string(kApplicationTitle) + " - " + path + "  [" + UnitTitle(unitName, unitTag) + "]";
}

}  // namespace velmora::ui
