// The translated unit while the BIN builder writes it: the project's unit
// image, which stays as it is, seen through a copy of each 4 KB page that the
// builder changes, with zero bytes after the image's end (where the
// relocation area and the padding go). A translation changes a few strings
// and pointers, so the builder copies a few pages instead of the whole unit,
// and the unchanged stretches go to the output straight from the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/UnitBytes.h"
#include "container/io/Stream.h"

namespace velmora {

class TUnitOverlay {
 public:
  // Over the first imageLength bytes of image, which must outlive the
  // overlay.
  TUnitOverlay(const UnitBytes& image, size_t imageLength)
      : image_(image), imageLength_(imageLength) {}

  // The bytes as now written, at any unit offset.
  void Read(uint64_t offset, void* out, size_t count) const;
  void Write(uint64_t offset, const void* bytes, size_t count);
  void Fill(uint64_t offset, uint8_t value, size_t count);
  uint32_t LoadBE32(uint64_t offset) const;
  void StoreBE32(uint64_t offset, uint32_t value);

  // SumWords of the unit as now written, over its first length bytes.
  uint32_t SumWords(uint64_t length) const;
  // Writes the unit's first length bytes to out, in order.
  void WriteTo(TStream& out, uint64_t length) const;

 private:
  static constexpr size_t kPage = 4096;

  // A stretch of the unit as now written, count bytes from offset: a
  // changed page, unchanged bytes of the image, or zero bytes.
  enum class Source { Changed, Image, Zeros };
  struct Run {
    Source From;
    uint64_t Offset;
    const uint8_t* Bytes;  // a changed page's bytes
    uint64_t Count;
  };
  // The unit's first length bytes as a series of runs: each changed page
  // alone, unchanged image pages together, the zero bytes after the image.
  template <typename Visit>
  void ForEachRun(uint64_t length, Visit visit) const;

  // Calls piece(page, at, done, n) for the parts of [offset, offset +
  // count) that lie in one page each: n bytes from at in the page, done
  // bytes after offset.
  template <typename Piece>
  static void ForEachPiece(uint64_t offset, size_t count, Piece piece);

  const uint8_t* ChangedPage(size_t page) const { return page < pages_.size() ? pages_[page].get() : nullptr; }
  uint8_t* PageForWriting(size_t page);

  const UnitBytes& image_;
  size_t imageLength_;
  std::vector<std::unique_ptr<uint8_t[]>> pages_;  // by page number; null while unchanged
};

}  // namespace velmora
