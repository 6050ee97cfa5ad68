#include "analysis/UnitBytes.h"

#include <cstring>

#include "container/io/FileCopy.h"

namespace velmora {

std::vector<uint8_t>& UnitBytes::Own() {
  if (mapping_) {
    owned_.assign(mapping_->Data(), mapping_->Data() + mapping_->Size());
    mapping_.reset();
  }
  return owned_;
}

void UnitBytes::TakePrivateCopy() {
  if (!mapping_) return;
  std::shared_ptr<const TFileMapping> copy = TFileMapping::PrivateCopy(*mapping_);
  if (copy) {
    mapping_ = std::move(copy);
  } else {
    Own();
  }
}

void UnitBytes::WriteTo(TStream& out, size_t from, size_t count) const {
  if (mapping_) {
    const uint64_t copied = CopyFileBytes(mapping_->Descriptor(), mapping_->Offset() + from, out, count);
    from += static_cast<size_t>(copied);
    count -= static_cast<size_t>(copied);
  }
  out.WriteBuffer(data() + from, count);
}

UnitBytes ReadUnitBytes(TStream& source, int64_t pos, size_t count) {
  if (count == 0) return {};
  if (std::shared_ptr<const TFileMapping> mapping = source.Map(pos, count)) return UnitBytes(std::move(mapping));
  std::vector<uint8_t> bytes(count);
  source.SetPosition(pos);
  source.ReadBuffer(bytes.data(), count);
  return UnitBytes(std::move(bytes));
}

bool operator==(const UnitBytes& a, const UnitBytes& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

}  // namespace velmora
