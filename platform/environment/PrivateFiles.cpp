#include "platform/environment/PrivateFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/core/RuntimeError.h"

namespace fs = std::filesystem;

namespace platform::environment {
namespace {

constexpr mode_t kOthersRights = S_IRWXG | S_IRWXO;
constexpr mode_t kOthersWrite = S_IWGRP | S_IWOTH;

std::string UserName(uid_t uid) {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  const std::string number = "uid " + std::to_string(uid);
  if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
    return std::string(found->pw_name) + " (" + number + ")";
  return number;
}

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

bool Within(const fs::path& path, const fs::path& base) {
  auto p = path.begin();
  for (const fs::path& part : base) {
    if (part.empty()) continue;
    if (p == path.end() || *p != part) return false;
    ++p;
  }
  return true;
}

enum class Place { Root, Inside, Above };

// The message names the folder, says where it stands and who can change it, and what to do.
[[noreturn]] void Refuse(const fs::path& folder, const fs::path& root, Place place, const std::string& what,
                         const std::string& remedy) {
  std::string where = "The folder " + folder.string() + " of the environment root " + root.string();
  if (place == Place::Root) where = "The environment root " + root.string();
  if (place == Place::Above)
    where = "The folder " + folder.string() + ", above the environment root " + root.string() + ",";
  Raise(err::PermissionDenied,
        where + " " + what + ": another user could change what the programs read there, or read what they keep. " +
            remedy);
}

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

void RequireUsersOwnFolders(const fs::path& root, const fs::path& folder) {
  constexpr const char* kOwnRoot = "Use a root of your own (TAVO_ROOT), such as one that mktemp -d makes.";
  const uid_t me = ::geteuid();
  std::error_code ec;
  const fs::path spelledRoot = fs::absolute(root, ec).lexically_normal();
  const fs::path realRoot = fs::weakly_canonical(root, ec);
  const auto place = [&](const fs::path& p, const fs::path& base) {
    return p == base ? Place::Root : Within(p, base) ? Place::Inside : Place::Above;
  };

  // Links as the path spells them: whoever owns one can point it elsewhere at any time.
  fs::path at;
  for (const fs::path& part : fs::absolute(folder, ec).lexically_normal()) {
    if (part.empty()) continue;
    at /= part;
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0) break;
    if (S_ISLNK(st.st_mode) && st.st_uid != me && st.st_uid != 0)
      Refuse(at, root, place(at, spelledRoot),
             "is a symbolic link that belongs to " + UserName(st.st_uid) + ", not to you", kOwnRoot);
  }

  // The folders themselves, links resolved.
  at.clear();
  for (const fs::path& part : fs::weakly_canonical(folder, ec)) {
    if (part.empty()) continue;
    at /= part;
    struct stat st {};
    if (::stat(at.c_str(), &st) != 0) break;
    const Place where = place(at, realRoot);
    const bool inRoot = where != Place::Above;
    if (st.st_uid != me && (inRoot || st.st_uid != 0))
      Refuse(at, root, where, "belongs to " + UserName(st.st_uid) + ", not to you", kOwnRoot);
    if ((st.st_mode & kOthersWrite) != 0 && (inRoot || (st.st_mode & S_ISVTX) == 0))
      Refuse(at, root, where,
             "can be written by other users (mode " + ModeText(st.st_mode) + ", owner " + UserName(st.st_uid) + ")",
             "Take their right to write away (chmod go-w " + at.string() + "), or " +
                 "use a root of your own (TAVO_ROOT).");
  }
}

bool NarrowToOwner(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & kOthersRights) == 0) return true;
  return ::chmod(path.c_str(), st.st_mode & 0700) == 0;
}

}  // namespace platform::environment
