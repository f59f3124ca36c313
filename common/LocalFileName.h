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
// folder under ...\users\: it would leave that folder (LeavesFolder), holds a control
// character or is a device name (IsDeviceName). A blank name is not refused here (nobody is
// signed in under it).
bool UnusableAccountName(std::string_view account);

// True when Windows takes the name for a device in whatever folder it is put: CON, PRN, AUX, NUL,
// COM0 to COM9, LPT0 to LPT9 (and COM or LPT with a superscript 1, 2 or 3), CONIN$ and CONOUT$,
// in any letter case, alone or in front of an extension, blanks before the extension or at the
// end included ("nul .txt", "CON ").
bool IsDeviceName(std::string_view name);

// The name with "_" in front when it is a device name (IsDeviceName), so that it names a file;
// every other name as it is.
std::string NotADeviceName(std::string_view name);

// The name as a Windows file name: each character that one cannot hold (\ / : * ? " < > | and
// the control characters) becomes "_", a name that is then "", "." or ".." becomes "_", "_" or
// "__", and a device name gets "_" in front (NotADeviceName). Every other character, letter case
// included, stays as it is.
std::string WindowsFileName(std::string_view name);

}  // namespace tavo
