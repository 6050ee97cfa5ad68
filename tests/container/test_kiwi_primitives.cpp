#include "container/kiwi/KiwiPrimitives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "container/io/Stream.h"

namespace velmora {
namespace {

TMemoryStream Bytes(std::vector<uint8_t> b) { return TMemoryStream(std::move(b)); }

TEST(KiwiReaders, ReadBigEndianNumbersAtAbsolutePositions) {
  auto s = Bytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
  s.Seek(5, SeekOrigin::Begin);  // readers do not depend on the current position
  EXPECT_EQ(ReadByteAt(s, 1), 0x22);
  EXPECT_EQ(ReadWordBE(s, 0), 0x1122);
  EXPECT_EQ(ReadWordBE(s, 3), 0x4455);
  EXPECT_EQ(ReadDWordBE(s, 1), 0x22334455u);
}

TEST(KiwiReaders, BytesPastTheEndOrBeforeTheStartReadAsZero) {
  auto s = Bytes({0xAB, 0xCD, 0xEF});
  EXPECT_EQ(ReadDWordBE(s, 1), 0xCDEF0000u);
  EXPECT_EQ(ReadWordBE(s, 2), 0xEF00);
  EXPECT_EQ(ReadDWordBE(s, 100), 0u);
  EXPECT_EQ(ReadByteAt(s, 3), 0);
  EXPECT_EQ(ReadDWordBE(s, -2), 0u);
  EXPECT_EQ(ReadFixedText(s, 8, 50), "");
}

TEST(KiwiDecoders, SignMagnitude24) {
  struct Case { uint32_t in; int32_t out; };
  const Case cases[] = {
      {0x000000, 0}, {0x800000, 0}, {0x000001, 1}, {0x800001, -1},
      {0x7FFFFF, 8388607}, {0xFFFFFF, -8388607}, {0x0F56A3, 1005219},
      {0xFF000005, 5},  // bits above 23 are ignored
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeSignMagnitude24(c.in), c.out) << std::hex << c.in;
}

TEST(KiwiDecoders, SectorAddress) {
  struct Case { uint32_t in; int64_t out; };
  const Case cases[] = {
      {0x00000100, 2048},       {0x00000101, 2080},  {0x000001C1, 2080},  // bits 6, 7 ignored
      {0x0000013F, 2048 + 63 * 32}, {0x00000000, 0}, {0xFFFFFFFF, -1},
      {0xFFFFFF3F, int64_t{0xFFFFFF} * 2048 + 63 * 32},  // no overflow for the largest sector
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeSectorAddress(c.in), c.out) << std::hex << c.in;
  auto s = Bytes({0, 0, 0, 0, 0x00, 0x00, 0x02, 0x01});
  EXPECT_EQ(ReadSectorAddress(s, 4), 2 * 2048 + 32);
}

TEST(KiwiDecoders, WordOffsetDoublesIn32Bits) {
  EXPECT_EQ(DecodeWordOffset(0x10, 2048), 2080);
  EXPECT_EQ(DecodeWordOffset(0, 4096), 4096);
  EXPECT_EQ(DecodeWordOffset(0xFFFFFFFF, 0), -1);
  EXPECT_EQ(DecodeWordOffset(0xFFFFFFFF, 123456), -1);
  // 0x80000001 words double to 2 in 32 bits.
  EXPECT_EQ(DecodeWordOffset(0x80000001u, 100), 102);
  EXPECT_EQ(DecodeWordOffset(0x7FFFFFFFu, 0), int64_t{0xFFFFFFFE});
}

// Eight position bytes: latitude field, then longitude field.
std::vector<uint8_t> PositionBytes(uint32_t lat24, uint8_t b3, uint32_t lon24, uint8_t b7) {
  return {static_cast<uint8_t>(lat24 >> 16), static_cast<uint8_t>(lat24 >> 8), static_cast<uint8_t>(lat24), b3,
          static_cast<uint8_t>(lon24 >> 16), static_cast<uint8_t>(lon24 >> 8), static_cast<uint8_t>(lon24), b7};
}

TEST(KiwiPosition, LatitudeFirstOnDiscLongitudeFirstInMemory) {
  auto s = Bytes(PositionBytes(0x0F56A3, 0x99, 0xBC3C8A, 0x77));
  const TLN_Position p = ReadPosition(s, 0);
  EXPECT_EQ(p.Latitude, 1005219);
  EXPECT_EQ(p.Longitude, -0x3C3C8A);
}

TEST(KiwiPosition, SystemIdentificationSkipsByteNine) {
  auto bytes = PositionBytes(0x000010, 0, 0x800020, 0);
  bytes.insert(bytes.end(), {0xA5, 0xFF, 0x12, 0x34});
  auto s = Bytes(bytes);
  const auto id = ReadSystemIdentification(s, 0);
  EXPECT_EQ(id.Position.Latitude, 16);
  EXPECT_EQ(id.Position.Longitude, -32);
  EXPECT_EQ(id.IdByte, 0xA5);
  EXPECT_EQ(id.IdWord, 0x1234);
}

TEST(KiwiText, FixedTextEndsAtFirstZero) {
  auto s = Bytes({'x', 'A', 'P', 'M', 0, 0, 0, 0, 0, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P'});
  EXPECT_EQ(ReadFixedText(s, 8, 1), "APM");
  EXPECT_EQ(ReadFixedText(s, 8, 9), "QWERTYUI");  // no zero: all 8 bytes
  EXPECT_EQ(ReadFixedText(s, 0, 1), "");
  EXPECT_EQ(ReadFixedText(s, 8, 15), "UIOP");  // runs past the end: zeros
}

TEST(MakerTable, EveryRowByExactCoordinates) {
  struct Case { int32_t lon, lat; const char* name; };
  const Case cases[] = {
      {3947658, 1005219, "AISIN-AW"}, {4019390, 1022789, "PANASONIC"},  {3950370, 1009544, "TOYOTA"},
      {3945853, 1007932, "DENSO"},    {310392, 1510128, "VOLKSWAGEN"}, {3894568, 1004808, "MITSUBISHI"},
      {-2391568, 1219088, "GENERAL MOTORS"},
      {3947659, 1005219, ""},  {1005219, 3947658, ""},  // swapped coordinates match nothing
      {2391568, 1219088, ""},  {0, 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MakerNameOf(c.lon, c.lat), c.name) << c.lon << "," << c.lat;
}

// Loaders written for tests and samples take a maker's position from the
// table itself: it must read back as the same name.
TEST(MakerTable, PositionOfMakerReadsBackAsItsName) {
  for (const char* name : {"AISIN-AW", "PANASONIC", "TOYOTA", "DENSO", "VOLKSWAGEN", "MITSUBISHI", "GENERAL MOTORS", ""}) {
    const auto p = PositionOfMaker(name);
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(MakerNameOf(*p), name);
  }
  EXPECT_FALSE(PositionOfMaker("AISIN"));
  EXPECT_FALSE(PositionOfMaker("aisin-aw"));
}

TEST(MakerTable, PositionBytesNameTheMakerWhateverTheUnusedBytes) {
  for (const int j : {0x00, 0x5A, 0xFF}) {
    const auto junk = static_cast<uint8_t>(j);
    auto aisin = Bytes(PositionBytes(0x0F56A3, junk, 0x3C3C8A, junk));
    EXPECT_EQ(MakerNameOf(ReadPosition(aisin, 0)), "AISIN-AW");
    // Text row: 'D' 'E' 'N' in the latitude field, 'O' at byte 4.
    auto denso = Bytes({'D', 'E', 'N', junk, 'O', junk, static_cast<uint8_t>(junk ^ 0x33), junk});
    EXPECT_EQ(MakerNameOf(ReadPosition(denso, 0)), "DENSO");
  }
  auto notDenso = Bytes({'D', 'E', 'N', 'S', 'P', 0, 0, 0});
  EXPECT_EQ(MakerNameOf(ReadPosition(notDenso, 0)), "");
  auto negative = Bytes({'D', 'E', 'N', 0, 0xCF, 0, 0, 0});  // sign bit set on 'O'
  EXPECT_EQ(MakerNameOf(ReadPosition(negative, 0)), "");
}

TEST(BoundedStream, NeverReadsPastItsLimit) {
  TMemoryStream inner(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8});
  TBoundedStream b(inner, 5);
  EXPECT_EQ(b.Size(), 5);
  EXPECT_EQ(ReadDWordBE(b, 3), 0x04050000u);
  uint8_t buf[4] = {9, 9, 9, 9};
  b.Seek(7, SeekOrigin::Begin);
  EXPECT_EQ(b.Read(buf, 4), 0u);
  EXPECT_EQ(b.Seek(-2, SeekOrigin::End), 3);
  EXPECT_EQ(b.Read(buf, 4), 2u);
  EXPECT_EQ(buf[0], 4);
  EXPECT_EQ(buf[1], 5);
  EXPECT_THROW(b.Write(buf, 1), std::exception);
}

}  // namespace
}  // namespace velmora
