// What the window last loaded from or saved to its project file: the
// file's stamp and the phrases as they were then. A later look at the file
// tells whether someone else changed it, and the phrases are the base of
// the three-way merge with the window's table and the disk copy.
#pragma once

#include <optional>
#include <string>

#include "analysis/PhraseTable.h"
#include "project/file/FileStamp.h"
#include "project/file/PhraseMerge.h"

namespace velmora::ui {

class ProjectSync {
 public:
  // The table now equals the file at path (just opened or saved).
  void Remember(const PhraseTable& table, const std::string& path) {
    Rebase(PhraseRecords::Of(table), path, StampFile(path));
  }
  // The disk copy, stamped before it was read, is the new base.
  void Rebase(PhraseRecords base, const std::string& path, std::optional<FileStamp> stamp) {
    path_ = path;
    base_ = std::move(base);
    stamp_ = stamp;
  }
  void Forget() {
    path_.clear();
    base_ = {};
    stamp_.reset();
  }
  // True when the window remembers the file at path.
  bool Tracks(const std::string& path) const { return stamp_ && !path_.empty() && path_ == path; }
  // True when the tracked file was changed, replaced or removed since.
  bool ChangedOnDisk() const { return stamp_ && FileChangedSince(*stamp_, path_); }
  const PhraseRecords& Base() const { return base_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  PhraseRecords base_;
  std::optional<FileStamp> stamp_;
};

}  // namespace velmora::ui
