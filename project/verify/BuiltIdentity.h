// Whose build a file is: before a built file is compared byte for byte with a
// project, these tell whether it holds the project's unit at all, so that a
// .BIN with a damaged first sector is still checked as a .BIN, and a build of
// another unit says so instead of listing its every difference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/PhraseTable.h"
#include "project/verify/VerifyReport.h"

namespace velmora::verify {

// Of the image's non-zero bytes from unit offset `from` on (up to 1 MB of
// them), the share that the built file holds at the same unit offsets of a
// unit starting at base; nullopt when the image has no such bytes. A build
// of the project changes only its translations and keeps nearly all of
// them; any other file keeps few.
std::optional<double> ImageMatch(const PhraseTable& table, BuiltFile& built, int64_t base, uint64_t from);

// The share above which a file is taken to hold the project's unit.
constexpr double kSameUnitShare = 0.5;

// Whether the file starts with a sound unit: its header's size lies within
// the file and its checksum is the sum of the words over that size.
bool HoldsSoundUnit(BuiltFile& built);

// The unit tag of the header at base of the built file (missing bytes read
// as zero).
std::string BuiltUnitTag(BuiltFile& built, int64_t base);
// The tag of the project's own image.
std::string ImageUnitTag(const PhraseTable& table);

// When the unit at base is not the project's: its header names another tag
// and its body does not match the image. What it is, for the first line of
// the outcome ("it holds unit tag JPN; the project's unit is APM_APM");
// empty otherwise. `unit` names the unit's place in a loader ("unit 2 (JPN)
// holds ...") and is empty for a .BIN.
std::string OtherUnitAt(const PhraseTable& table, BuiltFile& built, int64_t base, const std::string& unit);

}  // namespace velmora::verify
