#include "container/io/TLN_FileStream.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "container/io/StreamErrors.h"

namespace velmora {

std::string NormalizePath(const std::string& path) {
  std::string s = path;
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string NativePath(const std::string& path) {
  std::string s = path;
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

namespace {

bool IsVolumeSetName(const std::string& name) { return name == "ALLDATA1.KWI" || name == "REGION1.KWI"; }

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t r = 0;
  if (__builtin_add_overflow(a, b, &r)) return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  return r;
}

}  // namespace

namespace {

struct SetName {
  bool isSet = false;
  std::string folder;  // with its trailing separator, native
  std::string name;    // file name of volume 1
};

SetName ParseSetName(const std::string& path) {
  const std::string normalized = NormalizePath(path);
  const auto sep = normalized.rfind('\\');
  SetName r;
  r.name = sep == std::string::npos ? normalized : normalized.substr(sep + 1);
  r.isSet = IsVolumeSetName(r.name);
  r.folder = sep == std::string::npos ? std::string() : NativePath(path).substr(0, sep + 1);
  return r;
}

// Volume k's path: the digit before the first '.' counts the volumes
// ("ALLDATA1.KWI" and "REGION1.KWI" always have one there).
std::string VolumePath(const SetName& set, int k) {
  std::string volumeName = set.name;
  volumeName[set.name.find('.') - 1] = static_cast<char>('0' + k);
  return set.folder + volumeName;
}

}  // namespace

std::vector<std::string> VolumeFilesOf(const std::string& path) {
  const SetName set = ParseSetName(path);
  if (!set.isSet) return {NativePath(path)};
  std::vector<std::string> files;
  for (int k = 1; k <= kMaxVolumes; ++k) {
    const std::string volumePath = VolumePath(set, k);
    if (!FileExists(volumePath)) break;
    files.push_back(volumePath);
  }
  return files;
}

TLN_FileStream::TLN_FileStream(const std::string& path) {
  const SetName set = ParseSetName(path);
  const std::string native = NativePath(path);
  name_ = native;

  if (!set.isSet) {
    plain_ = std::make_unique<TFileStream>(native, TFileStream::Mode::OpenRead);
    return;
  }

  int64_t total = 0;
  for (const std::string& volumePath : VolumeFilesOf(path)) {
    TLN_Volume_Info v;
    v.Stream = std::make_unique<TFileStream>(volumePath, TFileStream::Mode::OpenRead);
    const int64_t size = v.Stream->Seek(0, SeekOrigin::End);
    v.Start = total;
    total += size;
    v.End = total;
    v.Path = volumePath;
    volumes_.push_back(std::move(v));
    multiVolume_ = true;
  }
  if (volumes_.empty()) throw EFOpenError(native, SystemReason(ENOENT));
  totalSize_ = total;
  const int64_t first = volumes_.front().End;
  volumeSize_ = static_cast<uint32_t>(std::min<int64_t>(first, std::numeric_limits<uint32_t>::max()));
  current_ = 0;
  position_ = 0;
}

TLN_FileStream::~TLN_FileStream() = default;

// Volumes are found by their start and end rather than by dividing by the
// first volume's size: the two agree whenever every volume but the last has
// the first one's size, and only the search stays inside the set when a
// disc's volumes differ in size (or the first is empty).
int64_t TLN_FileStream::Locate(int64_t t) {
  t = std::clamp<int64_t>(t, 0, totalSize_);
  for (size_t i = 0; i < volumes_.size(); ++i) {
    if (t < volumes_[i].End) {
      current_ = static_cast<int>(i);
      position_ = t;
      return position_;
    }
  }
  current_ = static_cast<int>(volumes_.size()) - 1;
  position_ = totalSize_;
  return position_;
}

int64_t TLN_FileStream::Seek(int64_t offset, SeekOrigin origin) {
  if (!multiVolume_) return plain_->Seek(offset, origin);
  switch (origin) {
    case SeekOrigin::Begin:
      return Locate(offset);
    case SeekOrigin::Current: {
      const int64_t t = SaturatingAdd(position_, offset);
      const auto& v = volumes_[static_cast<size_t>(current_)];
      if (t >= v.Start && t < v.End) {
        position_ = t;
        return position_;
      }
      return Locate(t);
    }
    case SeekOrigin::End:
      if (offset == 0) {
        current_ = static_cast<int>(volumes_.size()) - 1;
        position_ = totalSize_;
        return position_;
      }
      return Locate(SaturatingAdd(totalSize_, offset));
  }
  return position_;
}

size_t TLN_FileStream::Read(void* buffer, size_t count) {
  if (!multiVolume_) return plain_->Read(buffer, count);
  // Step onto the next volume when the position has reached this one's end.
  const int64_t p = Seek(0, SeekOrigin::Current);
  if (count == 0) return 0;
  if (count > static_cast<uint64_t>(totalSize_ - p)) throw EVolumeReadError(volumes_.back().Path);

  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    auto& v = volumes_[static_cast<size_t>(current_)];
    if (position_ >= v.End) {
      // A read that ends exactly at a volume's end stays in it; only a read
      // that needs more bytes moves on.
      if (static_cast<size_t>(current_) + 1 >= volumes_.size()) break;
      ++current_;
      continue;
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count - done, static_cast<uint64_t>(v.End - position_)));
    v.Stream->Seek(position_ - v.Start, SeekOrigin::Begin);
    const size_t n = v.Stream->Read(out + done, want);
    done += n;
    position_ += static_cast<int64_t>(n);
    if (n < want) break;  // the volume file is shorter than when it was opened
  }
  return done;
}

std::optional<TStream::FileSpan> TLN_FileStream::FileAt(int64_t pos) {
  if (!multiVolume_) return plain_->FileAt(pos);
  for (const auto& v : volumes_)
    if (pos >= v.Start && pos < v.End) return FileSpan{v.Stream->Descriptor(), pos - v.Start, v.End - pos};
  return std::nullopt;
}

void TLN_FileStream::Write(const void*, size_t) { throw EWriteError(); }

}  // namespace velmora
