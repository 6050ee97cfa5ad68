// The small pictures the dialogs draw themselves: the translation editor's
// copy and beep buttons, the source dialog's strip with a disc, and the
// find panels' arrows.
#pragma once

#include <QPixmap>

namespace velmora::ui {

// Two sheets, 24 x 24.
QPixmap CopyPicture(bool enabled);
// A loudspeaker, crossed out when beeps are off, 24 x 24.
QPixmap BeepPicture(bool enabled, bool off);
// A strip 121 pixels wide with a disc in its middle.
QPixmap SourcePicture(int height);
// A triangle pointing down or up, 16 x 16.
QPixmap ArrowPicture(bool down);

}  // namespace velmora::ui
