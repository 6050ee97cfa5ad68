// The bytes of the open unit, PhraseTable::UnitImage.
//
// They are filled once, when a unit is analysed or a project is opened, and
// are then only read: extraction, display, search and export read strings out
// of them, and the builders write a changed copy elsewhere. So they need not
// be a copy of their own: bytes that come from a file are a mapping of that
// file (container/io/FileMapping.h), which costs nothing to "read"; passes over
// all of them read the file through a small buffer (ForEachChunk), and saves
// copy them file to file (WriteTo). Bytes given as a vector (tests,
// fixtures) are held as they are.
//
// Reading goes through the const accessors. The changes below exist for
// fixtures that build an image piece by piece; each first makes the bytes
// the table's own, a copy when they are mapped.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "container/io/FileMapping.h"
#include "container/io/Stream.h"

namespace velmora {

class UnitBytes {
 public:
  using value_type = uint8_t;
  using iterator = const uint8_t*;
  using const_iterator = const uint8_t*;

  UnitBytes() = default;
  // Implicit, so a vector of bytes is assigned as before.
  UnitBytes(std::vector<uint8_t> bytes) : owned_(std::move(bytes)) {}  // NOLINT(google-explicit-constructor)
  explicit UnitBytes(std::shared_ptr<const TFileMapping> mapping) : mapping_(std::move(mapping)) {}

  const uint8_t* data() const { return mapping_ ? mapping_->Data() : owned_.data(); }
  size_t size() const { return mapping_ ? mapping_->Size() : owned_.size(); }
  bool empty() const { return size() == 0; }
  const uint8_t& operator[](size_t i) const { return data()[i]; }
  const uint8_t* begin() const { return data(); }
  const uint8_t* end() const { return data() + size(); }

  // True while the bytes are a mapping of a file.
  bool Mapped() const { return mapping_ != nullptr; }

  // Hands the bytes [from, from + count) to visit in order, as
  // visit(offset, bytes, n), until visit returns false. Mapped bytes come
  // through a buffer of 1 MB read from the file: a pass over every byte goes
  // much faster that way than through a mapping's pages, each of which costs
  // a little on its first use. Bytes in memory come in one piece.
  template <typename Visit>
  void ForEachChunk(size_t from, size_t count, Visit visit) const;

  // Writes the bytes [from, from + count) to out at its position. Mapped
  // bytes go file to file inside the kernel (container/io/FileCopy.h) where out
  // is a file.
  void WriteTo(TStream& out, size_t from, size_t count) const;

  // Replaces a mapping of a file that others may change or shorten (a
  // project, a loader on a removable disc) by a copy in memory that only this
  // process can reach (TFileMapping::PrivateCopy, else a copy of its own). A
  // window that keeps a project open for hours does this.
  void TakePrivateCopy();

  // Changes; each makes the bytes the table's own first.
  uint8_t* MutableData() { return Own().data(); }
  void assign(size_t count, uint8_t value) { Own().assign(count, value); }
  template <typename It>
    requires(!std::is_integral_v<It>)
  void assign(It first, It last) {
    Own().assign(first, last);
  }
  template <typename It>
  void insert(const uint8_t* pos, It first, It last) {
    const auto at = static_cast<std::ptrdiff_t>(pos - data());
    auto& bytes = Own();
    bytes.insert(bytes.begin() + at, first, last);
  }
  void push_back(uint8_t value) { Own().push_back(value); }
  void resize(size_t count, uint8_t value = 0) { Own().resize(count, value); }
  // Lets go of the bytes and of any mapping.
  void clear() {
    mapping_.reset();
    std::vector<uint8_t>().swap(owned_);
  }

 private:
  std::vector<uint8_t>& Own();

  std::vector<uint8_t> owned_;
  std::shared_ptr<const TFileMapping> mapping_;  // when set, the bytes; shared by copies, never written
};

// The count bytes of source from pos on: a mapping of its file where it is
// one, else a copy read from it. The caller has made sure the source holds
// them; a short read raises EReadError.
UnitBytes ReadUnitBytes(TStream& source, int64_t pos, size_t count);

template <typename Visit>
void UnitBytes::ForEachChunk(size_t from, size_t count, Visit visit) const {
  if (count == 0) return;
  if (!mapping_) {
    visit(from, data() + from, count);
    return;
  }
  constexpr size_t kChunk = size_t{1} << 20;
  const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(std::min(count, kChunk));
  for (size_t done = 0; done < count;) {
    const size_t n = std::min(count - done, kChunk);
    mapping_->ReadAt(from + done, buffer.get(), n);
    if (!visit(from + done, static_cast<const uint8_t*>(buffer.get()), n)) return;
    done += n;
  }
}

bool operator==(const UnitBytes& a, const UnitBytes& b);
inline bool operator==(const UnitBytes& a, const std::vector<uint8_t>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace velmora
