#include "host/files/UserPaths.h"

#include "host/files/WinPath.h"
#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"

namespace host {

std::string DocumentsFolder() {
  return "C:\\Users\\" + platform::environment::Current().userName() + "\\Documents";
}

std::string UserFilePath(std::string_view typed) {
  const std::string name(typed);
  if (!name.empty() && name.front() == '/') {
    platform::Raise(platform::err::InvalidProcedureCall,
                    "\"" + name + "\" is a path of this machine: its files are on drive Z:, so write Z:" +
                        NormalizeWindowsPath(name) + " (a bare name is in " + DocumentsFolder() + ").");
  }
  if (name.find('\\') != std::string::npos || name.find(':') != std::string::npos) return name;
  return JoinPath(DocumentsFolder(), name);
}

}  // namespace host
