#pragma once
// Names that the online service sends, used as the file names of local copies. Such a name is
// the service's text: put in front of an extension in the user's documents folder, it must name a
// file in that folder and nowhere else.
#include <string>
#include <string_view>

namespace tavo {

// True when `name`, as the file name in front of an extension, would lead out of the folder it is
// put in: it holds a folder separator ("\" or "/") or a drive (":"), or it is "." or "..".
bool LeavesFolder(std::string_view name);

// The name as a Windows file name: each character that one cannot hold (\ / : * ? " < > | and
// the control characters) becomes "_", and a name that is then "", "." or ".." becomes "_", "_"
// or "__". Every other character, letter case included, stays as it is.
std::string WindowsFileName(std::string_view name);

}  // namespace tavo
