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

// The bytes that stand for an edited text inside the unit: carriage returns
// removed, trailing line feeds removed, and one zero byte appended when the
// length is odd, so the result always has an even length.
std::string PrepareText(std::string_view text);

// The bytes an edited text may take and still be written in place: the
// builder writes a text of odd length with a zero byte after it, so a
// string of Length bytes has room for Length rounded down to even.
constexpr uint32_t RoomInPlace(uint16_t length) { return length & ~1u; }

// PrepareText's bytes with what the relocation area needs to know of them.
struct PreparedText {
  std::string bytes;
  bool zeroAdded = false;  // preparation appended the terminating zero itself
  // The bytes the text takes in the relocation area: a text without a zero
  // of its own gets two, one that ends it and one that keeps the next
  // relocated text at an even distance from the area's start.
  uint64_t RelocatedSize() const { return bytes.size() + (zeroAdded ? 0 : 2); }
};
PreparedText PrepareTextForUnit(std::string_view text);

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
