// Errors of files and streams. Each carries the exact text the user sees in
// the error box; the core never shows anything itself.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// 'Cannot open file "%s". %s'
class EFOpenError : public EStreamError {
 public:
  EFOpenError(const std::string& path, const std::string& reason);
};

// 'Cannot create file "%s". %s'
class EFCreateError : public EStreamError {
 public:
  EFCreateError(const std::string& path, const std::string& reason);
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// "Stream read error"
class EReadError : public EStreamError {
 public:
  EReadError();
  explicit EReadError(const std::string& message) : EStreamError(message) {}
};

// "Stream write error"
class EWriteError : public EStreamError {
 public:
  EWriteError();
};

// A read past the last volume of a volume set:
// "File Read or File Size Error " followed by the volume's path.
class EVolumeReadError : public EReadError {
 public:
  explicit EVolumeReadError(const std::string& volumePath);
};

// A file whose contents do not have the expected form (a damaged project
// file, for instance). The message says what is wrong.
class EFormatError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// "'%s' is not a valid integer value"
class EConvertError : public EStreamError {
 public:
  explicit EConvertError(const std::string& digits);
};

// The system's wording for an errno value.
std::string SystemReason(int err);

}  // namespace velmora
