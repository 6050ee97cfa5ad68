// An output file written beside its target under a temporary name and
// renamed into place by Commit(), so a failed write never destroys the
// earlier file. Without Commit() the temporary file is removed.
#pragma once

#include <memory>
#include <string>

#include "container/Stream.h"

namespace velmora {

class TAtomicFile {
 public:
  // Raises EFCreateError naming the target when the file cannot be created.
  explicit TAtomicFile(const std::string& targetPath);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  TStream& Stream() { return *stream_; }
  const std::string& TargetPath() const { return target_; }
  // Flushes, closes and renames into place; EWriteError on failure (the
  // target is then untouched).
  void Commit();

 private:
  std::string target_;
  std::string temp_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};

// Writes bytes to path atomically.
void WriteFileAtomically(const std::string& path, const void* data, size_t size);

}  // namespace velmora
