#pragma once
// What the layers keep in the environment is the user's own, as a Windows user profile is and as
// ssh and desktop programs keep their files here: the registry with the stored password and the
// ticket, the credentials and map files, the logs, the copies of documents. So the folders the
// layers make are 0700 and the files they write 0600, whatever the umask, and a file written
// again, or the root found open to others, loses the rights of group and others.
#include <sys/types.h>

#include <filesystem>
#include <system_error>

namespace platform::environment {

inline constexpr mode_t kPrivateFolderMode = 0700;
inline constexpr mode_t kPrivateFileMode = 0600;

// Makes one folder, private: 0, or -1 with errno set (EEXIST when something is there).
int MakePrivateFolder(const std::filesystem::path& folder);
// Makes the folder and every missing one above it, each private; folders already there stay as
// they are. Sets `ec` when one cannot be made.
void CreatePrivateFolders(const std::filesystem::path& folder, std::error_code& ec);
// open(2) for writing, creating a missing file private; an existing file open to others is
// narrowed to its owner's rights. -1 with errno set on failure.
int OpenPrivateFile(const std::filesystem::path& file, int flags);
// Takes the rights of group and others off an existing file or folder; false when it cannot
// (or there is nothing there).
bool NarrowToOwner(const std::filesystem::path& path);

// Refuses, as ssh refuses keys kept in such folders, a folder of the environment that someone
// other than the user could change: whoever can change a folder can swap the hosts and CA files
// in it, or read what the programs keep there. The root and the folders below it must be the
// user's and writable by nobody else; the folders above the root may be the system's too, and
// writable by others only when they keep others from moving what is not theirs (the sticky bit of
// /tmp); a symbolic link on the way must be the user's or the system's. Checks every folder from
// "/" down to `folder`, as far as they exist; raises RuntimeError 70 (Permission denied) naming
// the first folder that fails and its owner.
void RequireUsersOwnFolders(const std::filesystem::path& root, const std::filesystem::path& folder);

}  // namespace platform::environment
