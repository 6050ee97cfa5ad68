// What a window remembers of the project file it loaded or saved, to notice
// when someone else changed it: device, inode, size, modification time and
// a hash of the bytes. A file rewritten with the same bytes (a save without
// changes, a touch) counts as unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct FileStamp {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  uint64_t Size = 0;
  int64_t ModifiedNs = 0;
  uint64_t Hash = 0;  // FNV-1a over the bytes
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path; nullopt when no regular file is there or
// it cannot be read.
std::optional<FileStamp> StampFile(const std::string& path);

// True when the file at path holds other bytes than when stamp was taken,
// or is gone. Reads the file only when its metadata changed.
bool FileChangedSince(const FileStamp& stamp, const std::string& path);

}  // namespace velmora
