#include "platform/environment/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fs = std::filesystem;

namespace platform::environment {
namespace {

constexpr mode_t kOthersRights = S_IRWXG | S_IRWXO;

}  // namespace

int MakePrivateFolder(const fs::path& folder) {
  if (::mkdir(folder.c_str(), kPrivateFolderMode) != 0) return -1;
  // The umask may have taken the owner's own rights too.
  ::chmod(folder.c_str(), kPrivateFolderMode);
  return 0;
}

void CreatePrivateFolders(const fs::path& folder, std::error_code& ec) {
  ec.clear();
  fs::path current;
  for (const fs::path& part : folder) {
    if (part.empty()) continue;
    current /= part;
    struct stat st {};
    if (::stat(current.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      ec = std::make_error_code(std::errc::not_a_directory);
      return;
    }
    if (MakePrivateFolder(current) != 0 && errno != EEXIST) {
      ec = std::error_code(errno, std::generic_category());
      return;
    }
  }
}

int OpenPrivateFile(const fs::path& file, int flags) {
  const int fd = ::open(file.c_str(), flags | O_CREAT | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return fd;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && (st.st_mode & kOthersRights) != 0) ::fchmod(fd, st.st_mode & 0700);
  return fd;
}

bool NarrowToOwner(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & kOthersRights) == 0) return true;
  return ::chmod(path.c_str(), st.st_mode & 0700) == 0;
}

}  // namespace platform::environment
