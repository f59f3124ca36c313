#pragma once
#include <string>

namespace tavo {

// The folder of the add-in's own library file as a Windows path of the current environment
// (a folder outside the environment's drive C reads Z:\...), without a trailing "\".
std::string AddinFolder();

}  // namespace tavo
