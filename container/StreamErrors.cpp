#include "container/StreamErrors.h"

#include <cstring>

namespace velmora {

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot open file \"" + path + "\". " + reason) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot create file \"" + path + "\". " + reason), reason_(reason) {}

EReadError::EReadError() : EStreamError("Stream read error") {}

EWriteError::EWriteError() : EStreamError("Stream write error") {}

EVolumeReadError::EVolumeReadError(const std::string& volumePath)
    : EReadError("File Read or File Size Error " + volumePath) {}

EConvertError::EConvertError(const std::string& digits)
    : EStreamError("'" + digits + "' is not a valid integer value") {}

std::string SystemReason(int err) {
  std::string s = std::strerror(err);
  if (!s.empty() && s.back() != '.') s += '.';
  return s;
}

}  // namespace velmora
