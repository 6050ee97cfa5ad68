#include "container/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "container/StreamErrors.h"

namespace velmora {

namespace {
std::string TempNameFor(const std::string& target) {
  static unsigned counter = 0;
  return target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}
}  // namespace

TAtomicFile::TAtomicFile(const std::string& targetPath) : target_(targetPath) {
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    throw EFCreateError(target_, SystemReason(EISDIR));
  temp_ = TempNameFor(target_);
  try {
    stream_ = std::make_unique<TFileStream>(temp_, TFileStream::Mode::Create);
  } catch (const EFCreateError& e) {
    throw EFCreateError(target_, e.Reason());
  }
}

TAtomicFile::~TAtomicFile() {
  if (!committed_) {
    stream_.reset();
    ::unlink(temp_.c_str());
  }
}

void TAtomicFile::Commit() {
  stream_->Flush();
  stream_->Close();
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) ::chmod(temp_.c_str(), st.st_mode & 07777);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) throw EWriteError();
  committed_ = true;
}

void WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  TAtomicFile file(path);
  file.Stream().Write(data, size);
  file.Commit();
}

}  // namespace velmora
