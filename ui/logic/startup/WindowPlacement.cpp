#include "ui/logic/startup/WindowPlacement.h"

#include <algorithm>

namespace velmora::ui {

ScreenRect FitWindow(const ScreenRect& wanted, const FrameMargins& frame, const ScreenRect& available,
                     const ScreenRect& minimum) {
  const int frameWidth = frame.Left + frame.Right;
  const int frameHeight = frame.Top + frame.Bottom;
  ScreenRect client;
  client.Width = std::max(minimum.Width, std::min(wanted.Width, available.Width - frameWidth));
  client.Height = std::max(minimum.Height, std::min(wanted.Height, available.Height - frameHeight));
  // The frame's corner as close to the wanted one as the screen allows.
  const int right = available.Left + available.Width - (client.Width + frameWidth);
  const int bottom = available.Top + available.Height - (client.Height + frameHeight);
  const int left = std::max(available.Left, std::min(wanted.Left, right));
  const int top = std::max(available.Top, std::min(wanted.Top, bottom));
  client.Left = left + frame.Left;
  client.Top = top + frame.Top;
  return client;
}

}  // namespace velmora::ui
