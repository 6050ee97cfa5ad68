// The project file (*.vmprj): ProjectInfo, the phrase records, the unit
// image, the edited texts and the source path, little-endian, in that order.
#pragma once

#include <string>

#include "analysis/PhraseTable.h"

namespace velmora {

// Writes the open project to path atomically (a temporary file beside it,
// renamed into place), so a failed save leaves the earlier file as it was.
// Fills the three counts of table.Info. Raises EFCreateError or EWriteError.
void SaveProject(PhraseTable& table, const std::string& path);

// Discards the open project and loads the one stored at path. A file that
// ends early, whose counts do not fit its length, or whose records reach
// outside the image or the lists is refused (EFormatError, or EReadError
// for a file that ends inside the unit image); the table is then left empty.
void OpenProject(PhraseTable& table, const std::string& path);

}  // namespace velmora
