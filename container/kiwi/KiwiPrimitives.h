// Readers and decoders of the KIWI number codings used by the loader file
// LOADING.KWI and by its units, and the table that names the maker of a
// maker entry by its position. Everything here is stateless: every reader
// takes a stream and an absolute byte position, seeks there and reads.
// Bytes that the stream does not deliver (past its end, or at a negative
// position) read as zero; errors the stream itself raises pass through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "container/io/Stream.h"

namespace velmora {

constexpr int64_t kSectorSize = 2048;
constexpr int64_t kBlockSize = 32;
constexpr int64_t kBlocksPerSector = kSectorSize / kBlockSize;  // 64
constexpr int64_t kWordSize = 2;
// value rounded up to the next multiple of m: sizes on disc are padded so (a
// unit to 4 bytes and to a sector, a module to a sector).
constexpr uint64_t RoundUp(uint64_t value, uint64_t m) { return (value + m - 1) / m * m; }
// A sector address or word offset with this value means "none".
constexpr uint32_t kNoAddress = 0xFFFFFFFFu;
// The maker entry whose modules carry translatable units.
inline constexpr const char* kAisinMakerName = "AISIN-AW";
// The maker entry whose module start is stored in its own coding.
inline constexpr const char* kDensoMakerName = "DENSO";
// Coordinates count in 1/8 second of arc.
constexpr int32_t kCoordinateUnitsPerDegree = 28800;

// A position: longitude first, then latitude, in 1/8 arc-second units.
struct TLN_Position {
  int32_t Longitude = 0;
  int32_t Latitude = 0;
};

// The 12-byte system identification of a maker entry.
struct TLN_System_Identification {
  TLN_Position Position;
  uint8_t IdByte = 0;
  uint16_t IdWord = 0;
};

uint8_t ReadByteAt(TStream& stream, int64_t pos);
uint16_t ReadWordBE(TStream& stream, int64_t pos);
uint32_t ReadDWordBE(TStream& stream, int64_t pos);

// A 24-bit sign-and-magnitude number: bit 23 is the sign, bits 0-22 the
// magnitude. Bits above 23 are ignored.
int32_t DecodeSignMagnitude24(uint32_t value);

// Sector number (bits 8-31) x 2048 + block number (bits 0-5) x 32; bits 6
// and 7 are ignored. -1 for kNoAddress.
int64_t DecodeSectorAddress(uint32_t address);
int64_t ReadSectorAddress(TStream& stream, int64_t pos);

// base + 2 x count, the doubling wrapping in 32 bits. -1 for kNoAddress,
// whatever the base.
int64_t DecodeWordOffset(uint32_t count, int64_t base);

// The 8-byte position: latitude field at pos, longitude field at pos + 4.
TLN_Position ReadPosition(TStream& stream, int64_t pos);
TLN_System_Identification ReadSystemIdentification(TStream& stream, int64_t pos);

// A zero-padded text field of length bytes: the bytes before the first zero
// byte, or all of them.
std::string ReadFixedText(TStream& stream, uint16_t length, int64_t pos);

// The maker's name for a maker entry's position, or "" when no row of the
// maker table matches.
std::string MakerNameOf(const TLN_Position& position);
std::string MakerNameOf(int32_t longitude, int32_t latitude);
// The position of the first coordinate row of the maker table that gives
// name, or nullopt when no coordinate row does; "" gives 0, 0, which names
// no maker. For writing loaders that MakerNameOf reads back as name.
std::optional<TLN_Position> PositionOfMaker(const std::string& name);

// A read-only view of another stream that never reads at or past limit:
// reads there deliver fewer bytes (or none) instead of touching the stream,
// so a volume set does not raise for reads past its end. The view keeps its
// own position (starting at 0) and seeks the inner stream only to read.
class TBoundedStream : public TStream {
 public:
  TBoundedStream(TStream& inner, int64_t limit) : inner_(inner), limit_(limit) {}
  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  std::string Name() const override { return inner_.Name(); }
  int64_t Limit() const { return limit_; }

 private:
  TStream& inner_;
  int64_t limit_;
  int64_t pos_ = 0;
};

}  // namespace velmora
