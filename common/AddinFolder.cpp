#include "common/AddinFolder.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"

namespace tavo {

std::string AddinFolder() {
  Dl_info info{};
  // The code of this function lies in the library (or program) that carries the shared core.
  if (dladdr(reinterpret_cast<void*>(&AddinFolder), &info) == 0 || info.dli_fname == nullptr)
    platform::Raise(platform::err::PathNotFound, "The add-in's own file was not found");
  std::error_code ec;
  std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
  if (ec) file = std::filesystem::absolute(info.dli_fname);
  return platform::environment::Current().WindowsPath(file.parent_path());
}

}  // namespace tavo
