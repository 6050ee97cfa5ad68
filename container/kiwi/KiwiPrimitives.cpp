#include "container/kiwi/KiwiPrimitives.h"

#include <algorithm>
#include <cstring>

#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"

namespace velmora {

uint8_t ReadByteAt(TStream& stream, int64_t pos) {
  uint8_t b = 0;
  ReadBytesAt(stream, pos, &b, 1);
  return b;
}

uint16_t ReadWordBE(TStream& stream, int64_t pos) {
  uint8_t b[2];
  ReadBytesAt(stream, pos, b, sizeof b);
  return LoadBE16(b);
}

uint32_t ReadDWordBE(TStream& stream, int64_t pos) {
  uint8_t b[4];
  ReadBytesAt(stream, pos, b, sizeof b);
  return LoadBE32(b);
}

int32_t DecodeSignMagnitude24(uint32_t value) {
  const auto magnitude = static_cast<int32_t>(value & 0x7FFFFFu);
  return (value & 0x800000u) != 0 ? -magnitude : magnitude;
}

int64_t DecodeSectorAddress(uint32_t address) {
  if (address == kNoAddress) return -1;
  const int64_t sector = address >> 8;
  const int64_t block = address & 0x3Fu;
  return sector * kSectorSize + block * kBlockSize;
}

int64_t ReadSectorAddress(TStream& stream, int64_t pos) {
  return DecodeSectorAddress(ReadDWordBE(stream, pos));
}

int64_t DecodeWordOffset(uint32_t count, int64_t base) {
  if (count == kNoAddress) return -1;
  const uint32_t bytes = count * 2u;  // wraps in 32 bits, as the format does
  return base + static_cast<int64_t>(bytes);
}

namespace {

uint32_t Load24(const uint8_t* p) {
  return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[2]};
}

}  // namespace

TLN_Position ReadPosition(TStream& stream, int64_t pos) {
  uint8_t b[8];
  ReadBytesAt(stream, pos, b, sizeof b);
  TLN_Position p;
  p.Latitude = DecodeSignMagnitude24(Load24(b));
  p.Longitude = DecodeSignMagnitude24(Load24(b + 4));
  return p;
}

TLN_System_Identification ReadSystemIdentification(TStream& stream, int64_t pos) {
  TLN_System_Identification id;
  id.Position = ReadPosition(stream, pos);
  id.IdByte = ReadByteAt(stream, pos + 8);
  id.IdWord = ReadWordBE(stream, pos + 10);
  return id;
}

std::string ReadFixedText(TStream& stream, uint16_t length, int64_t pos) {
  std::string text(length, '\0');
  if (length == 0) return text;
  ReadBytesAt(stream, pos, text.data(), length);
  const auto zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

namespace {

struct MakerRow {
  const char* name;
  int32_t longitude;
  int32_t latitude;
  bool textRow;  // matches "DEN" in the latitude field and 'O' in the longitude field
};

constexpr MakerRow kMakerTable[] = {
    {kAisinMakerName, 3947658, 1005219, false},
    {"PANASONIC", 4019390, 1022789, false},
    {"TOYOTA", 3950370, 1009544, false},
    {kDensoMakerName, 3945853, 1007932, false},
    {kDensoMakerName, 0, 0, true},
    {"VOLKSWAGEN", 310392, 1510128, false},
    {"MITSUBISHI", 3894568, 1004808, false},
    {"GENERAL MOTORS", -2391568, 1219088, false},
};

// Latitude bytes 'D' 'E' 'N' read as a 24-bit number.
constexpr int32_t kDenLatitude = 0x44454E;
// The letter 'O' in bits 16-23 of the longitude.
constexpr uint32_t kOLongitudeByte = 0x4F;

}  // namespace

std::string MakerNameOf(int32_t longitude, int32_t latitude) {
  for (const auto& row : kMakerTable) {
    if (row.textRow) {
      if (latitude == kDenLatitude && ((static_cast<uint32_t>(longitude) >> 16) & 0xFFu) == kOLongitudeByte)
        return row.name;
    } else if (row.longitude == longitude && row.latitude == latitude) {
      return row.name;
    }
  }
  return {};
}

std::optional<TLN_Position> PositionOfMaker(const std::string& name) {
  if (name.empty()) return TLN_Position{};
  for (const auto& row : kMakerTable)
    if (!row.textRow && name == row.name) {
      TLN_Position p;
      p.Longitude = row.longitude;
      p.Latitude = row.latitude;
      return p;
    }
  return std::nullopt;
}

std::string MakerNameOf(const TLN_Position& position) {
  return MakerNameOf(position.Longitude, position.Latitude);
}

size_t TBoundedStream::Read(void* buffer, size_t count) {
  if (count == 0 || pos_ >= limit_) return 0;
  const auto room = static_cast<uint64_t>(limit_ - pos_);
  const size_t want = static_cast<size_t>(std::min<uint64_t>(count, room));
  inner_.Seek(pos_, SeekOrigin::Begin);
  const size_t n = inner_.Read(buffer, want);
  pos_ += static_cast<int64_t>(n);
  return n;
}

void TBoundedStream::Write(const void*, size_t) { throw EWriteError(); }

int64_t TBoundedStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::Current) base = pos_;
  if (origin == SeekOrigin::End) base = limit_;
  pos_ = std::max<int64_t>(0, base + offset);
  return pos_;
}

}  // namespace velmora
