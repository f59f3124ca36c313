#pragma once
// Names that end up in the add-in's paths: the names the online service sends, used as the file
// names of local copies, and the account names the per-user folders are named after. Put in
// front of an extension in the user's documents folder, or under ...\users\, such a name must
// name a file or folder in that folder and nowhere else.
#include <string>
#include <string_view>

namespace tavo {

// True when `name`, as the file name in front of an extension, would lead out of the folder it is
// put in: it holds a folder separator ("\" or "/") or a drive (":"), or it is "." or "..".
bool LeavesFolder(std::string_view name);

// True when an account name, trimmed as the per-user folders take it, cannot be the name of one
// folder under ...\users\: it would leave that folder (LeavesFolder) or holds a control
// character. A blank name is not refused here (nobody is signed in under it).
bool UnusableAccountName(std::string_view account);

// The name as a Windows file name: each character that one cannot hold (\ / : * ? " < > | and
// the control characters) becomes "_", and a name that is then "", "." or ".." becomes "_", "_"
// or "__". Every other character, letter case included, stays as it is.
std::string WindowsFileName(std::string_view name);

}  // namespace tavo
