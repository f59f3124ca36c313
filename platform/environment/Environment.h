#pragma once
// A Windows-like environment rooted in one host folder, in the way a prefix of a Windows
// compatibility layer is: drive C: is <root>/drive_c, drive Z: is the host's "/". Paths are
// Windows paths spelled with "\" (either separator is accepted); only this layer knows where
// they live on this machine. A path component that does not exist with its exact case is
// looked up case-insensitively, so "maptavoExcel.xml" and "maptavoexcel.xml" are one file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform::environment {

class Environment {
 public:
  // The root is created when missing, with drive_c and the current user's profile folders, all
  // private to the user; an existing root that others may read is narrowed, and one that another
  // user could change is refused with RuntimeError 70 (RequireUsersOwnFolders, PrivateFiles.h).
  explicit Environment(std::filesystem::path root, std::string userName = "tavo");

  const std::filesystem::path& root() const { return root_; }
  // The Windows user whose profile is C:\Users\<name>.
  const std::string& userName() const { return userName_; }
  // Distinct for every Environment object of the process, so that what is cached per
  // environment (the registry connection, the system code page) notices a change even when
  // a later environment reuses the same root folder.
  std::uint64_t id() const { return id_; }

  // Host path of a Windows path. Existing components are matched case-insensitively when
  // the exact spelling does not exist; missing trailing components keep the given spelling.
  // Throws RuntimeError 76 (Path not found) for a path that names no drive this
  // environment maps or is not absolute.
  std::filesystem::path HostPath(std::string_view windowsPath) const;

  // Windows path of a host path: under <root>/drive_c it is C:\..., anything else Z:\...
  std::string WindowsPath(const std::filesystem::path& hostPath) const;

 private:
  std::filesystem::path root_;
  std::string userName_;
  std::uint64_t id_;
};

// The environment of this process: TAVO_ROOT (default ~/.tavo), user TAVO_USER (default "tavo").
Environment& Current();

// Installs an environment for the current scope (tests); restores the previous one after.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(std::filesystem::path root, std::string userName = "tavo");
  ~ScopedEnvironment();
  Environment& environment() { return environment_; }

 private:
  Environment environment_;
  Environment* previous_;
};

// Shorthand for Current().HostPath(windowsPath).
std::filesystem::path HostPath(std::string_view windowsPath);

// The path as HostPath reads it, spelled one way and without looking at the disk: the drive
// as given, then each step after one "\" (separators of either kind, doubled or not), "."
// steps gone, ".." steps gone up (never above the start), trailing blanks and dots of a step
// gone. A path that starts with a separator keeps one in front; letter case is kept.
std::string LexicalWindowsPath(std::string_view windowsPath);

}  // namespace platform::environment
