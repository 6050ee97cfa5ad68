// The read-only stream through which KIWI files are read. For an ordinary
// file (LOADING.KWI, a .BIN) it is the file itself. For the two data files
// that a disc splits into numbered volumes, ALLDATA1.KWI and REGION1.KWI,
// it opens every volume of the set beside the named file (ALLDATA1.KWI,
// ALLDATA2.KWI, ... up to the first missing number, at most 16) and presents
// them as one continuous stream addressed by one logical position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "container/io/Stream.h"

namespace velmora {

// The path with every '/' replaced by '\'.
std::string NormalizePath(const std::string& path);
// The path with every '\' replaced by '/', as the file system here wants it.
std::string NativePath(const std::string& path);

constexpr int kMaxVolumes = 16;

// The files a KIWI stream opened on path reads: the volumes of the set
// that exist (ALLDATA1.KWI, ALLDATA2.KWI, ... up to the first missing
// number) for a volume-set name, otherwise path alone.
std::vector<std::string> VolumeFilesOf(const std::string& path);

struct TLN_Volume_Info {
  std::unique_ptr<TFileStream> Stream;
  int64_t Start = 0;  // logical position of the volume's first byte
  int64_t End = 0;    // logical position just past its last byte
  std::string Path;   // the volume file, as opened
};

class TLN_FileStream : public TStream {
 public:
  // Opens path for reading (plain file or volume set). Raises EFOpenError
  // when the file (or the first volume of a set) cannot be opened.
  explicit TLN_FileStream(const std::string& path);
  ~TLN_FileStream() override;

  // In a volume set a read may cross volume boundaries; one that would run
  // past the end of the last volume raises EVolumeReadError naming that
  // volume and leaves the position unchanged.
  size_t Read(void* buffer, size_t count) override;
  // Always raises EWriteError: the stream is read-only.
  void Write(const void* buffer, size_t count) override;
  // In a volume set, positions are clamped to 0 ... TotalSize.
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  // The path the stream was opened with (volume 1 of a set).
  std::string Name() const override { return name_; }
  // In a volume set: the volume that holds pos, up to its end.
  std::optional<FileSpan> FileAt(int64_t pos) override;

  bool MultiVolume() const { return multiVolume_; }
  const std::vector<TLN_Volume_Info>& Volumes() const { return volumes_; }
  int CurrentVolume() const { return current_; }
  int64_t TotalSize() const { return totalSize_; }
  uint32_t VolumeSize() const { return volumeSize_; }

 private:
  // Makes the volume that holds logical position t current and positions
  // it there; t is clamped to the set. Returns the new logical position.
  int64_t Locate(int64_t t);

  std::string name_;
  std::unique_ptr<TFileStream> plain_;
  bool multiVolume_ = false;
  std::vector<TLN_Volume_Info> volumes_;
  int current_ = 0;
  int64_t position_ = 0;  // logical position in a volume set
  int64_t totalSize_ = 0;
  uint32_t volumeSize_ = 0;
};

}  // namespace velmora
