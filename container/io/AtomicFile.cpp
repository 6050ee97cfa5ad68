#include "container/io/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "container/io/StreamErrors.h"

namespace velmora {

namespace {

std::atomic<bool> g_allowUnnamed{true};

// ---- Named temporaries that a signal must remove ----
//
// A fixed table that the signal handler can walk without allocating or
// locking: a slot is claimed (1), filled, then published (2); the handler
// removes the files of published slots.
constexpr int kPendingSlots = 32;
constexpr size_t kPendingPathMax = 4096;
struct PendingTemporary {
  std::atomic<int> state{0};
  char path[kPendingPathMax];
};
PendingTemporary g_pending[kPendingSlots];

}  // namespace

void RemovePendingTemporariesInSignal() {
  for (auto& p : g_pending)
    if (p.state.load() == 2) ::unlink(p.path);
}

namespace {
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

int RegisterPending(const std::string& path) {
  if (path.size() >= kPendingPathMax) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    int expected = 0;
    if (g_pending[i].state.compare_exchange_strong(expected, 1)) {
      std::memcpy(g_pending[i].path, path.c_str(), path.size() + 1);
      g_pending[i].state.store(2);
      return i;
    }
  }
  return -1;
}

void ReleasePending(int& slot) {
  if (slot >= 0) g_pending[slot].state.store(0);
  slot = -1;
}

// Installed with SA_RESETHAND: after the temporaries are gone the signal
// is raised again and ends the program as it would have without us.
extern "C" void RemovePendingTemporaries(int sig) {
  const int savedErrno = errno;
  RemovePendingTemporariesInSignal();
  errno = savedErrno;
  ::raise(sig);
}

// Once per process: SIGXFSZ ignored (a size limit becomes EFBIG, a write
// error with a message), and the interrupt signals remove pending
// temporaries -- only where nobody else has claimed them.
void PrepareProcessForSaves() {
  static std::once_flag once;
  std::call_once(once, [] {
    ::signal(SIGXFSZ, SIG_IGN);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(sig, nullptr, &old) != 0) continue;
      if ((old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL) continue;
      struct sigaction sa {};
      sa.sa_handler = RemovePendingTemporaries;
      sigemptyset(&sa.sa_mask);
      sa.sa_flags = SA_RESETHAND;
      ::sigaction(sig, &sa, nullptr);
    }
  });
}

// ---- Names ----

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name is cut so that the temporary's name stays within the 255 bytes
// a file name may have wherever the target's name fits.
std::string TemporaryPrefix(const std::string& target) { return "." + BaseNameOf(target).substr(0, 200) + ".tmp-"; }

std::string TemporaryName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(target);
  return (folder == "/" ? "" : folder) + "/" + TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
         std::to_string(++counter);
}

// Removes the temporaries of this target that a killed program left: their
// name carries the writer's process id, and that process is gone.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = TemporaryPrefix(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale.push_back(folder + "/" + name);
  }
  ::closedir(dir);
  for (const auto& path : stale) ::unlink(path.c_str());
}

// Syncs the folder so that a rename in it lasts; the reason when that fails,
// empty otherwise.
FolderSyncNotice& FolderNotice() {
  static FolderSyncNotice notice;
  return notice;
}

std::string SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {};  // a folder we may not open cannot be synced by us either
  const int r = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  if (r != 0 && err != EINVAL && err != EROFS && err != EBADF) return SystemReasonText(err);
  return {};
}

}  // namespace

std::string ResolveSymlinks(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 2);
    ssize_t n;
    while ((n = ::readlink(p.c_str(), buf.data(), buf.size())) >= static_cast<ssize_t>(buf.size()))
      buf.resize(buf.size() * 2);
    if (n < 0) return p;
    const std::string link(buf.data(), static_cast<size_t>(n));
    if (!link.empty() && link[0] == '/') {
      p = link;
    } else {
      const std::string folder = FolderOf(p);
      p = (p.find('/') == std::string::npos ? std::string() : (folder == "/" ? "" : folder) + "/") + link;
    }
  }
  throw EFCreateError(path, SystemReason(ELOOP));
}

TAtomicFile::TAtomicFile(const std::string& targetPath) : shown_(targetPath) {
  PrepareProcessForSaves();
  target_ = ResolveSymlinks(targetPath);
  folder_ = FolderOf(target_);

  // An existing target must be a regular file that we may write.
  struct stat st {};
  const bool replacing = ::stat(target_.c_str(), &st) == 0;
  if (!replacing && errno != ENOENT) throw EFCreateError(shown_, SystemReason(errno));
  if (replacing) {
    if (S_ISDIR(st.st_mode)) throw EFCreateError(shown_, SystemReason(EISDIR));
    if (!S_ISREG(st.st_mode)) throw EFCreateError(shown_, "It is not a regular file.");
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) throw EFCreateError(shown_, SystemReason(errno));
  }
  RemoveStaleTemporaries(target_);

  int fd = -1;
#ifdef O_TMPFILE
  // linkat() names an unnamed file through /proc.
  if (g_allowUnnamed.load() && ::access("/proc/self/fd", X_OK) == 0) {
    fd = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    unnamed_ = fd >= 0;
  }
#endif
  if (fd < 0) {
    // No unnamed file here: the folder does not support them, or refuses us
    // (then the named create below reports why).
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
      temp_ = TemporaryName(target_);
      pendingSlot_ = RegisterPending(temp_);
      fd = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) {
        const int err = errno;
        ReleasePending(pendingSlot_);
        temp_.clear();
        if (err != EEXIST) throw EFCreateError(shown_, SystemReason(err));
      }
    }
    if (fd < 0) throw EFCreateError(shown_, SystemReason(EEXIST));
  }
  if (replacing) {
    // The new file takes the old one's permissions; the owner only where
    // the system allows it (as root, or a group the user belongs to).
    // A new file must never be more open than the one it replaces.
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
      const int err = errno;
      ::close(fd);
      DropTemporary();
      throw EFCreateError(shown_, SystemReason(err));
    }
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Kept as the user's own file.
      }
    }
  }
  stream_ = std::make_unique<TFileStream>(fd, shown_);
}

TAtomicFile::~TAtomicFile() {
  if (committed_) return;
  stream_.reset();  // an unnamed file vanishes with its descriptor
  DropTemporary();
}

void TAtomicFile::DropTemporary() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  ReleasePending(pendingSlot_);
}

// Gives the complete unnamed file its temporary name.
void TAtomicFile::NameTemporary() {
  char proc[64];
  std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", stream_->Descriptor());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_ = TemporaryName(target_);
    // Registered first, so an interrupt right after the link removes it.
    pendingSlot_ = RegisterPending(temp_);
    if (::linkat(AT_FDCWD, proc, AT_FDCWD, temp_.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
    const int err = errno;
    ReleasePending(pendingSlot_);
    temp_.clear();
    if (err != EEXIST) throw EWriteError(shown_, SystemReasonText(err));
  }
  throw EWriteError(shown_, SystemReasonText(EEXIST));
}

void TAtomicFile::Commit() {
  stream_->Flush();
  if (unnamed_) NameTemporary();
  stream_->Close();
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    DropTemporary();
    throw EWriteError(shown_, SystemReasonText(err));
  }
  temp_.clear();
  ReleasePending(pendingSlot_);
  committed_ = true;
  // The file is in place now: a folder that cannot be synced does not undo
  // the save, so it is a note instead of an error.
  const std::string problem = SyncFolder(folder_);
  if (!problem.empty() && FolderNotice()) FolderNotice()(FolderSyncNote(shown_, problem));
}

FolderSyncNotice SetFolderSyncNotice(FolderSyncNotice notice) {
  FolderSyncNotice before = std::move(FolderNotice());
  FolderNotice() = std::move(notice);
  return before;
}

std::string FolderSyncNote(const std::string& path, const std::string& reason) {
  return "the folder of \"" + path + "\" could not be synced: " + reason +
         "; the file is written but may not survive a power cut";
}

void WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  TAtomicFile file(path);
  file.Stream().Write(data, size);
  file.Commit();
}

void AllowUnnamedTemporaries(bool allow) { g_allowUnnamed.store(allow); }

}  // namespace velmora
