// How a flat control shows that it has the keyboard focus: a frame in the
// highlight colour. Flat tool buttons draw no focus of their own.
#pragma once

namespace velmora::ui {

inline constexpr const char* kFocusFrameStyle =
    "QToolButton:focus { border: 2px solid palette(highlight); border-radius: 3px; }";

}  // namespace velmora::ui
