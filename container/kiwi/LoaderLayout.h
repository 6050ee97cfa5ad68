// Record sizes and field positions of a LOADING.KWI directory, shared by
// the reader and the rebuild.
#pragma once

#include <cstdint>

namespace velmora::loader_layout {

constexpr int64_t kMinLoaderSize = 2048;
constexpr int64_t kMakerRecordSize = 16;    // from position 4, one per maker entry
constexpr int64_t kNameRecordSize = 64;     // one per module, before the module records
constexpr int64_t kModuleRecordSize = 256;  // one per module
constexpr int64_t kUnitEntrySize = 16;      // name 8, word offset 4, size 4
constexpr int64_t kUnitTableOffset = 68;    // table count in the module record
constexpr int64_t kFirstUnitEntry = 72;     // first unit entry in the module record
constexpr int64_t kModuleStartOffset = 250;
constexpr int64_t kModuleLengthOffset = 254;
// A module record has room for 11 unit entries (bytes 72-247).
constexpr uint16_t kRecordUnitSlots = 11;

}  // namespace velmora::loader_layout
