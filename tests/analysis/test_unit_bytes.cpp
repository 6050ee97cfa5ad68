// Unit bytes that are a mapping of their file: they read like the file, a
// whole pass reads them through a buffer, they go to other files inside the
// kernel, a change or a private copy makes them independent of the file, and
// a file shortened under them is an error, not a crash. Copies between
// streams give the same bytes whichever way they go.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "analysis/UnitBytes.h"
#include "container/io/FileCopy.h"
#include "container/io/MappedFileFault.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Bytes that differ from their neighbours everywhere, so a shifted or
// reordered copy shows.
std::vector<uint8_t> Pattern(size_t n, uint32_t seed = 1) {
  std::vector<uint8_t> v(n);
  uint32_t x = seed;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return v;
}

// The bytes [from, from + count) of a file, mapped through a stream as the
// analysis and the project reader map them.
UnitBytes MappedFrom(const std::string& path, int64_t from, size_t count) {
  TFileStream file(path, TFileStream::Mode::OpenRead);
  return ReadUnitBytes(file, from, count);
}

TEST(UnitBytes, BytesOfAFileAreAMappingThatReadsLikeTheFile) {
  TempDir dir;
  const auto bytes = Pattern(10000);
  WriteFile(dir.File("u.bin"), bytes);
  // An offset inside a page: the mapping starts at the page before it.
  const UnitBytes image = MappedFrom(dir.File("u.bin"), 1001, 5000);
  ASSERT_TRUE(image.Mapped());
  EXPECT_EQ(image, std::vector<uint8_t>(bytes.begin() + 1001, bytes.begin() + 6001));

  TMemoryStream memory(bytes);
  const UnitBytes copy = ReadUnitBytes(memory, 1001, 5000);
  EXPECT_FALSE(copy.Mapped());
  EXPECT_EQ(copy, image);
}

TEST(UnitBytes, AChangeOrAPrivateCopyLeavesTheFileBehind) {
  TempDir dir;
  const std::string path = dir.File("u.bin");
  const auto bytes = Pattern(3 * 4096 + 10);
  WriteFile(path, bytes);

  UnitBytes changed = MappedFrom(path, 0, bytes.size());
  const UnitBytes shared = changed;  // copies share the mapping
  changed.MutableData()[5] ^= 0xFF;
  EXPECT_FALSE(changed.Mapped());
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(shared, bytes);
  EXPECT_NE(changed, shared);

  UnitBytes kept = MappedFrom(path, 16, bytes.size() - 16);
  kept.TakePrivateCopy();
  // The file is overwritten in place and shortened, as another program
  // might: the private copy still holds the bytes it had, and reading all of
  // them does not stop the program.
  WriteFile(path, std::string("short"));
  EXPECT_EQ(kept, std::vector<uint8_t>(bytes.begin() + 16, bytes.end()));
  std::vector<uint8_t> passed;
  kept.ForEachChunk(0, kept.size(), [&](size_t, const uint8_t* b, size_t n) {
    passed.insert(passed.end(), b, b + n);
    return true;
  });
  EXPECT_EQ(passed, std::vector<uint8_t>(bytes.begin() + 16, bytes.end()));
}

TEST(UnitBytes, PassesComeInOrderedChunksAndStopWhenAsked) {
  TempDir dir;
  const size_t size = (size_t{5} << 20) / 2 + 12;  // two and a half chunks
  const auto bytes = Pattern(size, 7);
  WriteFile(dir.File("u.bin"), bytes);
  const UnitBytes mapped = MappedFrom(dir.File("u.bin"), 0, size);
  const UnitBytes owned(bytes);

  for (const UnitBytes* image : {&mapped, &owned}) {
    std::vector<uint8_t> seen;
    size_t expectedStart = 128;
    image->ForEachChunk(128, size - 128, [&](size_t start, const uint8_t* b, size_t n) {
      EXPECT_EQ(start, expectedStart);
      expectedStart += n;
      seen.insert(seen.end(), b, b + n);
      return true;
    });
    EXPECT_EQ(seen, std::vector<uint8_t>(bytes.begin() + 128, bytes.end()));
  }

  int calls = 0;
  mapped.ForEachChunk(0, size, [&](size_t, const uint8_t*, size_t) { return ++calls < 2; });
  EXPECT_EQ(calls, 2);
}

TEST(UnitBytes, AFileShortenedUnderAPassIsAReadErrorNamingIt) {
  TempDir dir;
  const std::string path = dir.File("u.bin");
  WriteFile(path, Pattern(3u << 20));
  const UnitBytes image = MappedFrom(path, 0, 3u << 20);
  ASSERT_EQ(::truncate(path.c_str(), 1u << 20), 0);
  try {
    image.ForEachChunk(0, image.size(), [](size_t, const uint8_t*, size_t) { return true; });
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

// A page past the new end of a shortened file cannot be read at all: the
// programs end with a message and exit code 1 instead of a crash.
TEST(UnitBytesDeathTest, APageLostToAShortenedFileEndsTheProgramWithAMessage) {
  TempDir dir;
  const std::string path = dir.File("u.bin");
  WriteFile(path, Pattern(3u << 20));
  EXPECT_EXIT(
      {
        InstallMappedFileFaultHandler("velmora-test");
        const UnitBytes image = MappedFrom(path, 0, 3u << 20);
        if (::truncate(path.c_str(), 4096) != 0) ::_exit(3);
        volatile uint8_t last = image.data()[(3u << 20) - 1];
        (void)last;
        ::_exit(0);
      },
      ::testing::ExitedWithCode(1),
      "velmora-test: Stream read error: a file changed while it was read \\(it was shortened while mapped\\)");
}

TEST(UnitBytes, AWriteOfBytesLostToAShortenedFileBlamesTheInput) {
  TempDir dir;
  const std::string path = dir.File("u.bin");
  WriteFile(path, Pattern(3u << 20));
  const UnitBytes image = MappedFrom(path, 0, 3u << 20);
  ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
  TFileStream out(dir.File("OUT"), TFileStream::Mode::Create);
  try {
    out.WriteBuffer(image.data() + (2u << 20), 4096);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error: a file changed while it was read (it was shortened while mapped)");
  }
}

// Writing a part of the bytes to a file (inside the kernel) and to memory
// (from the mapping) gives the same bytes, at the stream's position.
TEST(UnitBytes, WritesAPartToAFileOrToMemory) {
  TempDir dir;
  const auto bytes = Pattern(200000, 3);
  WriteFile(dir.File("u.bin"), bytes);
  const UnitBytes image = MappedFrom(dir.File("u.bin"), 333, bytes.size() - 333);
  const std::vector<uint8_t> part(bytes.begin() + 333 + 4097, bytes.begin() + 333 + 4097 + 150001);

  {
    TFileStream out(dir.File("out.bin"), TFileStream::Mode::Create);
    out.WriteBuffer("head", 4);
    image.WriteTo(out, 4097, 150001);
    EXPECT_EQ(out.Position(), 4 + 150001);
    out.WriteBuffer("tail", 4);
  }
  std::vector<uint8_t> expected = {'h', 'e', 'a', 'd'};
  expected.insert(expected.end(), part.begin(), part.end());
  expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
  EXPECT_EQ(ReadFile(dir.File("out.bin")), expected);

  TMemoryStream memory;
  memory.WriteBuffer("head", 4);
  image.WriteTo(memory, 4097, 150001);
  memory.WriteBuffer("tail", 4);
  EXPECT_EQ(memory.Data(), expected);
}

// CopyFrom between files goes through the kernel, a volume at a time; from
// memory, and at a source that ends early, it reads itself.
TEST(StreamCopy, SameBytesFromAFileAVolumeSetOrMemory) {
  TempDir dir;
  const auto bytes = Pattern(300000, 5);
  WriteFile(dir.File("plain.bin"), bytes);
  WriteFile(dir.File("ALLDATA1.KWI"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 100000));
  WriteFile(dir.File("ALLDATA2.KWI"), std::vector<uint8_t>(bytes.begin() + 100000, bytes.begin() + 170001));
  WriteFile(dir.File("ALLDATA3.KWI"), std::vector<uint8_t>(bytes.begin() + 170001, bytes.end()));
  const std::vector<uint8_t> expected(bytes.begin() + 99999, bytes.begin() + 99999 + 150000);

  TLN_FileStream plain(dir.File("plain.bin"));
  TLN_FileStream volumes(dir.File("ALLDATA1.KWI"));
  TMemoryStream memory(bytes);
  for (TStream* source : {static_cast<TStream*>(&plain), static_cast<TStream*>(&volumes),
                          static_cast<TStream*>(&memory)}) {
    source->SetPosition(99999);
    {
      TFileStream out(dir.File("out.bin"), TFileStream::Mode::Create);
      out.WriteBuffer("x", 1);
      out.CopyFrom(*source, expected.size());
      EXPECT_EQ(out.Position(), 1 + static_cast<int64_t>(expected.size()));
    }
    EXPECT_EQ(source->Position(), 99999 + static_cast<int64_t>(expected.size()));
    std::vector<uint8_t> got = ReadFile(dir.File("out.bin"));
    ASSERT_EQ(got.size(), expected.size() + 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin() + 1));
  }

  plain.SetPosition(static_cast<int64_t>(bytes.size()) - 10);
  TFileStream out(dir.File("short.bin"), TFileStream::Mode::Create);
  EXPECT_THROW(out.CopyFrom(plain, 20), EReadError);
}

}  // namespace
}  // namespace velmora
