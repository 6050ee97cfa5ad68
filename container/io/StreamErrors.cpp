#include "container/io/StreamErrors.h"

#include <cstring>

namespace velmora {

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot open file \"" + path + "\". " + reason) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot create file \"" + path + "\". " + reason), reason_(reason) {}

namespace {
std::string WithPlace(const char* prefix, const std::string& path, const std::string& reason) {
  std::string s = prefix;
  if (!path.empty()) s += ": " + path;
  if (!reason.empty()) s += ": " + reason;
  return s;
}
}  // namespace

EReadError::EReadError() : EStreamError("Stream read error") {}
EReadError::EReadError(const std::string& path, const std::string& reason)
    : EStreamError(WithPlace("Stream read error", path, reason)) {}

EWriteError::EWriteError() : EStreamError("Stream write error") {}
EWriteError::EWriteError(const std::string& path, const std::string& reason)
    : EStreamError(WithPlace("Stream write error", path, reason)) {}

EVolumeReadError::EVolumeReadError(const std::string& volumePath)
    : EReadError(Message{}, "File Read or File Size Error " + volumePath) {}

EConvertError::EConvertError(const std::string& digits)
    : EStreamError("'" + digits + "' is not a valid integer value") {}

std::string SystemReasonText(int err) { return std::strerror(err); }

std::string SystemReason(int err) {
  std::string s = SystemReasonText(err);
  if (!s.empty() && s.back() != '.') s += '.';
  return s;
}

}  // namespace velmora
