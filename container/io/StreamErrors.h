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

// "Stream read error", and when the file is known
// "Stream read error: <path>: <reason>" (the system's reason, or where the
// file ends).
class EReadError : public EStreamError {
 public:
  EReadError();
  EReadError(const std::string& path, const std::string& reason);

 protected:
  struct Message {};
  EReadError(Message, const std::string& message) : EStreamError(message) {}
};

// "Stream write error", and when the file is known
// "Stream write error: <path>: <reason>".
class EWriteError : public EStreamError {
 public:
  EWriteError();
  EWriteError(const std::string& path, const std::string& reason);
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

// A change or command refused because it would break a limit of the
// project or of the unit (an edited text too long, no room left for more
// edited texts). Nothing has changed when it is raised; the message says
// what was asked and what limits it.
class ERefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "'%s' is not a valid integer value"
class EConvertError : public EStreamError {
 public:
  explicit EConvertError(const std::string& digits);
};

// The system's wording for an errno value, ending with a full stop (for
// the open and create messages).
std::string SystemReason(int err);
// The same without the full stop (for "Stream ... error: path: reason").
std::string SystemReasonText(int err);

}  // namespace velmora
