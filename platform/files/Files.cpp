#include "platform/files/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <random>
#include <system_error>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"
#include "platform/environment/PrivateFiles.h"

namespace fs = std::filesystem;

namespace platform::files {
namespace {

fs::path Host(std::string_view path) { return environment::HostPath(path); }

// Closes the descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int release() {
    int f = fd;
    fd = -1;
    return f;
  }
};

// The BASIC error for a failed system call on a file.
[[noreturn]] void RaiseErrno(int error, std::string_view path) {
  std::string where(path);
  switch (error) {
    case ENOENT: Raise(err::FileNotFound, {}, where);
    case ENOTDIR: Raise(err::PathNotFound, {}, where);
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: Raise(err::PermissionDenied, {}, where);
    case EEXIST: Raise(err::FileAlreadyExists, {}, where);
    case EISDIR: Raise(err::PathFileAccess, {}, where);
    default: Raise(err::PathFileAccess, std::string("Path/File access error (") + std::strerror(error) + ")", where);
  }
}

bool IsReadOnly(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool IsDirectory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// Whether an application holds the file open under a lock: taking the lock ourselves fails.
bool LockedByOther(const fs::path& p) {
  Fd fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.fd < 0) return false;
  if (::flock(fd.fd, LOCK_EX | LOCK_NB) == 0) return false;
  return errno == EWOULDBLOCK;
}

// Takes the lock an application that has the file open holds, so that none can open and lock it
// while we replace or remove it: the descriptor holding it (-1 for a file that cannot be opened,
// which nobody holds either). 70, as Windows refuses to touch a file in use, when one holds it.
int LockAgainstOthers(const fs::path& host, std::string_view path) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    Raise(err::PermissionDenied, {}, std::string(path));
  }
  return fd;
}

// A file's folder must exist before the file can be created in it.
void RequireParentFolder(const fs::path& file, std::string_view path) {
  if (!IsDirectory(file.parent_path())) Raise(err::PathNotFound, {}, std::string(path));
}

void WriteAll(int fd, std::string_view bytes, std::string_view path) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno, path);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

// Opens for writing a file that may be missing, with the errors a BASIC Open gives.
int OpenForWrite(std::string_view path, int flags) {
  fs::path host = Host(path);
  RequireParentFolder(host, path);
  if (IsDirectory(host)) Raise(err::PathFileAccess, {}, std::string(path));
  int fd = environment::OpenPrivateFile(host, flags | O_WRONLY);
  if (fd < 0) RaiseErrno(errno, path);
  return fd;
}

// The process that made a name of TempName (".<file>.<pid>-<count>-<random>.tmp"); 0 for any
// other name.
long WriterOfTemp(std::string_view name) {
  if (name.size() < 6 || name.front() != '.' || !name.ends_with(".tmp")) return 0;
  name.remove_suffix(4);
  const size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string_view::npos) return 0;
  long numbers[3] = {};
  const char* at = name.data() + dot + 1;
  const char* end = name.data() + name.size();
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && (at == end || *at++ != '-')) return 0;
    const auto [next, ec] = std::from_chars(at, end, numbers[i]);
    if (ec != std::errc() || numbers[i] < 0) return 0;
    at = next;
  }
  return at == end ? numbers[0] : 0;
}

// The temporary files that writers killed before their rename left in the target's folder,
// whatever file they were writing (a download or a save that a crash cut short, which may never
// be written again): names made by TempName whose process has ended. Those of live processes
// (another writer at work right now) are left alone.
void RemoveStaleTemps(const fs::path& target) {
  std::error_code ec;
  for (fs::directory_iterator it(target.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const long pid = WriterOfTemp(it->path().filename().string());
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
  }
}

std::string TempName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random(std::random_device{}());
  return "." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(random() % 1000000) + ".tmp";
}

// Checks every file below a folder before anything is deleted, so that a refused delete
// leaves the folder whole rather than half removed.
void CheckFolderDeletable(const fs::path& folder, bool force, std::string_view path) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) continue;
    if ((!force && IsReadOnly(it->path())) || LockedByOther(it->path()))
      Raise(err::PermissionDenied, {}, std::string(path));
  }
}

}  // namespace

bool FileExists(std::string_view path) {
  try {
    std::error_code ec;
    return fs::is_regular_file(Host(path), ec);
  } catch (const RuntimeError&) {
    return false;
  }
}

bool FolderExists(std::string_view path) {
  try {
    return IsDirectory(Host(path));
  } catch (const RuntimeError&) {
    return false;
  }
}

void CreateFolder(std::string_view path) {
  fs::path host = Host(path);
  std::error_code ec;
  if (fs::symlink_status(host, ec).type() != fs::file_type::not_found)
    Raise(err::FileAlreadyExists, {}, std::string(path));
  RequireParentFolder(host, path);
  if (environment::MakePrivateFolder(host) != 0) RaiseErrno(errno, path);
}

void DeleteFile(std::string_view path, bool force) {
  fs::path host = Host(path);
  std::error_code ec;
  if (!fs::is_regular_file(host, ec)) Raise(err::FileNotFound, {}, std::string(path));
  if (IsReadOnly(host) && !force) Raise(err::PermissionDenied, {}, std::string(path));
  const Fd held(LockAgainstOthers(host, path));
  if (::unlink(host.c_str()) != 0) RaiseErrno(errno, path);
}

void DeleteFolder(std::string_view path, bool force) {
  fs::path host = Host(path);
  if (!IsDirectory(host)) Raise(err::PathNotFound, {}, std::string(path));
  CheckFolderDeletable(host, force, path);
  std::error_code ec;
  fs::remove_all(host, ec);
  if (ec) RaiseErrno(ec.value(), path);
}

bool DeleteFileA(std::string_view path) noexcept {
  try {
    DeleteFile(path, false);
    return true;
  } catch (...) {
    return false;
  }
}

namespace {

FileStamp StampOfStat(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
          static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> StampOf(std::string_view path) noexcept {
  try {
    struct stat st {};
    if (::stat(Host(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return StampOfStat(st);
  } catch (...) {
    return std::nullopt;
  }
}

bool DeleteFileIfUnchanged(std::string_view path, const FileStamp& stamp) noexcept {
  try {
    const fs::path host = Host(path);
    if (IsReadOnly(host)) return false;
    // The file is compared and removed under its lock, as DeleteFile removes it: an application
    // that has it open keeps it (LockAgainstOthers raises), and none can take it between the
    // comparison and the removal.
    const Fd fd(LockAgainstOthers(host, path));
    if (fd.fd < 0) return false;
    struct stat opened {}, named {};
    if (::fstat(fd.fd, &opened) != 0 || !S_ISREG(opened.st_mode) || StampOfStat(opened) != stamp) return false;
    if (::stat(host.c_str(), &named) != 0 || StampOfStat(named) != stamp) return false;
    return ::unlink(host.c_str()) == 0;
  } catch (...) {
    return false;
  }
}

std::vector<std::string> ListFileNames(std::string_view folder) {
  fs::path host = Host(folder);
  if (!IsDirectory(host)) Raise(err::PathNotFound, {}, std::string(folder));
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
  }
  if (ec) RaiseErrno(ec.value(), folder);
  return names;
}

PieceReader::PieceReader(std::string_view path) : path_(path) {
  fs::path host = Host(path);
  if (IsDirectory(host)) Raise(err::PathFileAccess, {}, path_);
  fd_ = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) RaiseErrno(errno, path);
  struct stat st {};
  length_ = ::fstat(fd_, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
}

PieceReader::~PieceReader() {
  if (fd_ >= 0) ::close(fd_);
}

size_t PieceReader::Read(char* buffer, size_t size) {
  size_t used = 0;
  while (used < size) {
    ssize_t n = ::read(fd_, buffer + used, size - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno, path_);
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  return used;
}

std::string ReadAllBytes(std::string_view path) {
  PieceReader file(path);
  // Read straight into the result, sized from the file's length and grown if the file grows
  // meanwhile: large files (the map, workbooks) are read whole, and a bounce buffer would copy
  // every byte twice.
  std::string bytes(file.Length() + 1, '\0');  // one spare byte tells the end from a file that grew
  size_t used = 0;
  while (true) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    size_t n = file.Read(bytes.data() + used, bytes.size() - used);
    used += n;
    if (used < bytes.size()) break;
  }
  bytes.resize(used);
  return bytes;
}

AtomicFileWriter::AtomicFileWriter(std::string_view path) : path_(path) {
  fs::path host = Host(path);
  RequireParentFolder(host, path);
  struct stat old {};
  bool exists = ::stat(host.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) Raise(err::PathFileAccess, {}, path_);
  // A read-only file is not replaced behind its owner's back, nor one an application has open:
  // refused before anything is written (Commit checks again).
  if (exists && (old.st_mode & S_IWUSR) == 0) Raise(err::PermissionDenied, {}, path_);
  if (exists && LockedByOther(host)) Raise(err::PermissionDenied, {}, path_);

  RemoveStaleTemps(host);
  fs::path temp;
  for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
    temp = host.parent_path() / TempName(host);
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, environment::kPrivateFileMode);
    if (fd_ < 0 && errno != EEXIST) RaiseErrno(errno, path);
  }
  if (fd_ < 0) Raise(err::PathFileAccess, {}, path_);
  // The new file keeps the owner's rights of the old one, and no one else gets any.
  ::fchmod(fd_, exists ? old.st_mode & 0700 : environment::kPrivateFileMode);
  host_ = host.string();
  temp_ = temp.string();
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(temp_.c_str());
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) Raise(err::PathFileAccess, {}, path_);
  WriteAll(fd_, bytes, path_);
}

void AtomicFileWriter::Commit() {
  if (fd_ < 0) Raise(err::PathFileAccess, {}, path_);
  if (::fsync(fd_) != 0) RaiseErrno(errno, path_);
  ::close(fd_);
  fd_ = -1;
  int error = 0;
  try {
    // Held until the new file has taken the old one's place.
    const Fd held(LockAgainstOthers(host_, path_));
    if (::rename(temp_.c_str(), host_.c_str()) != 0) error = errno;
  } catch (...) {
    ::unlink(temp_.c_str());
    throw;
  }
  if (error != 0) {
    ::unlink(temp_.c_str());
    RaiseErrno(error, path_);
  }
  // Make the rename itself durable.
  Fd dir(::open(fs::path(host_).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) ::fsync(dir.fd);
}

void WriteAllBytes(std::string_view path, std::string_view bytes) {
  AtomicFileWriter file(path);
  file.Write(bytes);
  file.Commit();
}

void AppendText(std::string_view path, std::string_view text) {
  Fd fd(OpenForWrite(path, O_APPEND));
  WriteAll(fd.fd, text, path);
}

void OverwriteBytes(std::string_view path, std::string_view bytes) {
  Fd fd(OpenForWrite(path, 0));
  WriteAll(fd.fd, bytes, path);
}

void SetReadOnly(std::string_view path, bool readOnly) {
  fs::path host = Host(path);
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) RaiseErrno(errno, path);
  mode_t mode = readOnly ? (st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR);
  if (::chmod(host.c_str(), mode & 07777) != 0) RaiseErrno(errno, path);
}

FileLock::~FileLock() { Release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

void FileLock::Release() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
}

FileLock LockExclusive(std::string_view path) {
  fs::path host = Host(path);
  RequireParentFolder(host, path);
  int raw = ::open(host.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, environment::kPrivateFileMode);
  if (raw < 0 && (errno == EACCES || errno == EROFS)) raw = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (raw < 0) RaiseErrno(errno, path);
  Fd fd(raw);
  // flock, not fcntl: its locks belong to the open file, so two opens within one process
  // exclude each other as two applications would.
  if (::flock(fd.fd, LOCK_EX | LOCK_NB) != 0) RaiseErrno(errno, path);
  FileLock lock;
  lock.fd_ = fd.release();
  return lock;
}

bool TryLockExclusive(std::string_view path, FileLock* lock) noexcept {
  try {
    FileLock taken = LockExclusive(path);
    if (lock) *lock = std::move(taken);
    return true;
  } catch (...) {
    return false;
  }
}

bool OpensForExclusiveUpdate(std::string_view path) noexcept {
  try {
    const fs::path host = Host(path);
    // The read-only attribute refuses write access whoever asks (root included, here).
    if (IsReadOnly(host)) return false;
    Fd fd(::open(host.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    return fd.fd >= 0 && ::flock(fd.fd, LOCK_EX | LOCK_NB) == 0;
  } catch (...) {
    return false;
  }
}

}  // namespace platform::files
