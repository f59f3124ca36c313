#pragma once
// File names as a person types them, in a command or in the applications' Save As question:
// a Windows path ("C:\x\a.doc", "Z:\tmp\a.doc") stands as typed, and a bare name is in the
// user's Documents folder, where the applications save by default. A path of this machine
// ("/tmp/a.doc") is refused with the Windows path that means it: this machine's files are on
// drive Z:.
#include <string>
#include <string_view>

namespace host {

// RuntimeError 5 (invalid procedure call) for a path of this machine.
std::string UserFilePath(std::string_view typed);

// The Documents folder of the environment's user, "C:\Users\<user>\Documents".
std::string DocumentsFolder();

}  // namespace host
