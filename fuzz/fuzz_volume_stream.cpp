// Fuzzes the volume-set stream: the input describes up to 16 volumes of any
// sizes (empty ones too) and a list of seeks and reads; the rest of it is
// the data, cut into those volumes. Every read must deliver exactly the
// bytes of the joined data, and a read past the end of the set must raise
// the volume error and leave the position where it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader in(data, size);
  const int volumes = 1 + in.Byte() % kMaxVolumes;
  std::vector<size_t> sizes(static_cast<size_t>(volumes));
  for (auto& s : sizes) s = (size_t{in.Byte()} << 8 | in.Byte()) % 1024;
  const size_t opCount = in.Byte() % 32;
  struct Op {
    uint8_t kind;
    int32_t value;
  };
  std::vector<Op> ops(opCount);
  for (auto& op : ops) {
    op.kind = in.Byte();
    op.value = static_cast<int32_t>(in.Word32());
  }
  // The data, cut into the volumes; the last takes what is left.
  const std::vector<uint8_t> all(in.Rest(), in.Rest() + in.RestSize());
  std::string first;
  size_t at = 0;
  for (int k = 1; k <= kMaxVolumes; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "ALLDATA%c.KWI", static_cast<char>('0' + k));
    if (k > volumes) {
      std::remove(fuzz::ScratchPath(name).c_str());  // a set ends at its first missing volume
      continue;
    }
    const size_t n = k == volumes ? all.size() - at : std::min(sizes[static_cast<size_t>(k - 1)], all.size() - at);
    const std::string& p = fuzz::WriteInputFile(name, all.data() + at, n);
    if (k == 1) first = p;
    at += n;
  }

  TLN_FileStream s(first);
  const auto total = static_cast<int64_t>(all.size());
  fuzz::Check(s.MultiVolume() && static_cast<int>(s.Volumes().size()) == volumes);
  fuzz::Check(s.TotalSize() == total && s.Size() == total);
  int64_t pos = s.Position();
  fuzz::Check(pos == 0);
  std::vector<uint8_t> buf;
  for (const Op& op : ops) {
    switch (op.kind % 4) {
      case 0:
        pos = std::clamp<int64_t>(op.value, 0, total);
        fuzz::Check(s.Seek(op.value, SeekOrigin::Begin) == pos);
        break;
      case 1:
        pos = std::clamp<int64_t>(pos + op.value, 0, total);
        fuzz::Check(s.Seek(op.value, SeekOrigin::Current) == pos);
        break;
      case 2:
        pos = std::clamp<int64_t>(total + (op.value % 64), 0, total);
        fuzz::Check(s.Seek(op.value % 64, SeekOrigin::End) == pos);
        break;
      default: {
        const size_t count = static_cast<uint32_t>(op.value) % 2048;
        buf.assign(count, 0xAA);
        if (static_cast<int64_t>(count) > total - pos) {
          try {
            s.Read(buf.data(), count);
            fuzz::Check(false);
          } catch (const EVolumeReadError&) {
          }
          fuzz::Check(s.Position() == pos);
          break;
        }
        fuzz::Check(s.Read(buf.data(), count) == count);
        fuzz::Check(count == 0 || std::memcmp(buf.data(), all.data() + pos, count) == 0);
        pos += static_cast<int64_t>(count);
        fuzz::Check(s.Position() == pos);
      }
    }
  }
  return 0;
}
