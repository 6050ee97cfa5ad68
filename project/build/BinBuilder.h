// The BIN builder: turns the open project into a translated loading unit.
// Every switched-on translation is written in place when it fits the room of
// the string it replaces, and otherwise moved to a relocation area appended
// to the unit, with its pointer redirected. The header's size and checksum
// are written anew and the unit is padded to a multiple of 2048 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "container/io/Stream.h"

namespace velmora {

constexpr uint32_t kUnitPadding = 2048;  // a written unit ends on a whole sector

// The status texts of the Save BIN command.
inline constexpr std::string_view kCreatingBinText = "Creating BIN file. Please wait ...";
inline constexpr std::string_view kBinCompleteText = "The creation of the BIN file is complete.";

// Receives the texts a long command wants the status panel to show.
using StatusCallback = std::function<void(std::string_view)>;

// The translated unit as bytes, padded with zeros to a multiple of 2048
// (an empty image gives no bytes). The table is only read.
std::vector<uint8_t> AssembleUnit(const PhraseTable& table);

// Writes the translated unit at the output's current position and returns
// the number of bytes written (a multiple of 2048). The stream is left just
// after the unit. The unit is written front to back in one pass: the
// changed pages from memory, the unchanged stretches straight from the
// image (project/build/UnitOverlay.h), so the output need not be read back.
int64_t BuildUnit(const PhraseTable& table, TStream& output);

// The Save BIN command: writes the translated unit alone into a new file at
// path (through a temporary file renamed into place). When the file cannot
// be created the error is raised before any status text is reported; after
// that, the completion text is reported whether or not the build succeeded.
// Returns the byte count written.
int64_t SaveBin(const PhraseTable& table, const std::string& path, const StatusCallback& status = {});

}  // namespace velmora
