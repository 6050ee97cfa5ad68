// The overlay through which the BIN builder writes a unit behaves like a
// plain copy of the image followed by zero bytes: the same bytes read back,
// the same checksum, the same bytes written out, for writes that cross page
// boundaries and the image's end, over images in memory and mapped ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "project/build/UnitOverlay.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

constexpr size_t kPage = 4096;

// The overlay and its model, a plain buffer, changed alike.
struct Pair {
  const UnitBytes& image;
  TUnitOverlay overlay;
  std::vector<uint8_t> model;
  Pair(const UnitBytes& img, size_t room)
      : image(img), overlay(img, img.size()), model(std::max(room, img.size()), 0) {
    std::copy(img.begin(), img.end(), model.begin());
  }
  void Write(uint64_t at, const std::vector<uint8_t>& bytes) {
    overlay.Write(at, bytes.data(), bytes.size());
    std::copy(bytes.begin(), bytes.end(), model.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void Fill(uint64_t at, uint8_t value, size_t n) {
    overlay.Fill(at, value, n);
    std::fill_n(model.begin() + static_cast<std::ptrdiff_t>(at), n, value);
  }
  void Check(const std::string& where) {
    std::vector<uint8_t> read(model.size());
    overlay.Read(0, read.data(), read.size());
    ASSERT_EQ(read, model) << where;
    for (const size_t length : {size_t{0}, size_t{128}, size_t{131}, size_t{132}, image.size(), image.size() + 3,
                                model.size() / 4 * 4, model.size()}) {
      if (length > model.size()) continue;
      EXPECT_EQ(overlay.SumWords(length), SumWords(model.data(), length)) << where << ", length " << length;
      TMemoryStream out;
      out.WriteBuffer("<", 1);
      overlay.WriteTo(out, length);
      ASSERT_EQ(out.Data().size(), length + 1) << where;
      EXPECT_TRUE(std::equal(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(length), out.Data().begin() + 1))
          << where << ", length " << length;
    }
  }
};

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

// Offsets near the places where the overlay's pieces meet.
uint64_t InterestingOffset(std::mt19937& rng, size_t imageLength, size_t room) {
  const uint64_t anchors[] = {0, 116, 128, imageLength, kPage, 2 * kPage, imageLength / kPage * kPage, room / 2};
  const uint64_t anchor = anchors[rng() % std::size(anchors)];
  const int64_t shift = static_cast<int64_t>(rng() % 64) - 32;
  return static_cast<uint64_t>(std::clamp<int64_t>(static_cast<int64_t>(anchor) + shift, 0, static_cast<int64_t>(room) - 1));
}

void Exercise(const UnitBytes& image, uint32_t seed) {
  std::mt19937 rng(seed);
  const size_t room = image.size() + 3 * kPage + 5;
  Pair pair(image, room);
  pair.Check("before any write");
  for (int step = 0; step < 60; ++step) {
    const uint64_t at = InterestingOffset(rng, image.size(), room);
    const size_t n = std::min<size_t>(1 + rng() % 600, room - at);
    if (rng() % 3 == 0)
      pair.Fill(at, static_cast<uint8_t>(rng()), n);
    else
      pair.Write(at, RandomBytes(rng, n));
    if (step % 10 == 9) pair.Check("step " + std::to_string(step));
  }
  // Big-endian words as the builder reads and writes pointers.
  const uint64_t at = kPage - 2;
  if (at + 4 <= room) {
    pair.overlay.StoreBE32(at, 0x11223344u);
    EXPECT_EQ(pair.overlay.LoadBE32(at), 0x11223344u);
    const uint8_t bytes[4] = {0x11, 0x22, 0x33, 0x44};
    std::copy(bytes, bytes + 4, pair.model.begin() + static_cast<std::ptrdiff_t>(at));
  }
  pair.Check("at the end");
}

TEST(UnitOverlay, BehavesLikeAPlainCopyOverImagesOfEveryShape) {
  test::TempDir dir;
  std::mt19937 rng(99);
  for (const size_t length : {size_t{0}, size_t{100}, size_t{131}, kPage - 1, kPage, kPage + 1, 3 * kPage + 2,
                              size_t{10001}}) {
    SCOPED_TRACE("image of " + std::to_string(length) + " bytes");
    const std::vector<uint8_t> bytes = RandomBytes(rng, length);
    Exercise(UnitBytes(bytes), static_cast<uint32_t>(length));

    if (length == 0) continue;
    // The same over a mapped image, whose unchanged stretches are summed
    // through a buffer and written file to file.
    test::WriteFile(dir.File("image.bin"), bytes);
    TFileStream file(dir.File("image.bin"), TFileStream::Mode::OpenRead);
    const UnitBytes mapped = ReadUnitBytes(file, 0, length);
    ASSERT_TRUE(mapped.Mapped());
    Exercise(mapped, static_cast<uint32_t>(length));
  }
}

}  // namespace
}  // namespace velmora
