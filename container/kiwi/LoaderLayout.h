// Record sizes and field positions of a LOADING.KWI directory, shared by
// the reader, the rebuild and the check of a rebuilt loader.
#pragma once

#include <cstdint>

namespace velmora::loader_layout {

constexpr int64_t kMinLoaderSize = 2048;
constexpr int64_t kMakerRecordSize = 16;    // from position 4, one per maker entry
constexpr int64_t kNameRecordSize = 64;     // one per module, before the module records
constexpr int64_t kModuleRecordSize = 256;  // one per module
constexpr int64_t kUnitEntrySize = 16;      // name 8, word offset 4, size 4
constexpr int64_t kUnitEntryOffsetField = 8;  // the word offset within an entry
constexpr int64_t kUnitTableOffset = 68;    // table count in the module record
constexpr int64_t kFirstUnitEntry = 72;     // first unit entry in the module record
constexpr int64_t kModuleStartOffset = 250;
constexpr int64_t kModuleLengthOffset = 254;
// A module record has room for 11 unit entries (bytes 72-247).
constexpr uint16_t kRecordUnitSlots = 11;

// A rebuilt loader holds one maker entry with one module, whose data starts
// at sector 1. Positions in it:
constexpr int64_t kRebuiltMakerRecord = 4;
constexpr int64_t kRebuiltMakerModuleCount = kRebuiltMakerRecord + 12;          // 16
constexpr int64_t kRebuiltNameRecord = kRebuiltMakerModuleCount + 4;           // 20
constexpr int64_t kRebuiltModuleRecord = kRebuiltNameRecord + kNameRecordSize;  // 84
constexpr int64_t kRebuiltRecordTable = kRebuiltModuleRecord + kUnitTableOffset;      // 152
constexpr int64_t kRebuiltModuleStart = kRebuiltModuleRecord + kModuleStartOffset;    // 334
constexpr int64_t kRebuiltModuleLength = kRebuiltModuleRecord + kModuleLengthOffset;  // 338
constexpr int64_t kRebuiltDirectoryEnd = kRebuiltModuleRecord + kModuleRecordSize;    // 340
constexpr int64_t kRebuiltModuleData = 2048;
// The count words at 0 and 16 ("one maker entry", "one module") and the
// module start (sector 1).
constexpr uint32_t kRebuiltCountWord = 0x00010000u;
constexpr uint32_t kRebuiltModuleStartAddress = 0x00000100u;

}  // namespace velmora::loader_layout
