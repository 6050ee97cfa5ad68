// Where the main window opens: its usual size at the screen's top-left
// corner, made smaller and moved so that the whole window, frame included,
// lies inside the screen's area that windows may use.
#pragma once

namespace velmora::ui {

struct ScreenRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// The window system's frame around the client area.
struct FrameMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// The client area for a window that wants `wanted` (its frame's top-left
// corner and its client size) on a screen whose usable area is
// `available`. The client size never falls below `minimum` (its width and
// height), even when the screen is smaller still.
ScreenRect FitWindow(const ScreenRect& wanted, const FrameMargins& frame, const ScreenRect& available,
                     const ScreenRect& minimum = {});

}  // namespace velmora::ui
