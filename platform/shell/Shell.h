#pragma once
// Shell services of the current environment: the special folders of the Windows user and the
// "open" verb. Opening a URL does not start a browser on this machine: the request is recorded
// (in memory and in <root>/shell-open.log) and handed to the handler the host installs.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::shell {

inline constexpr int CSIDL_PERSONAL = 5;   // C:\Users\<user>\Documents
inline constexpr int CSIDL_APPDATA = 26;   // C:\Users\<user>\AppData\Roaming
inline constexpr int SW_SHOWNORMAL = 1;

// The folder's Windows path without a trailing "\" (the folder is created when missing).
// Empty for a CSIDL this environment does not know.
std::string GetSpecialFolderPath(int csidl);

struct ShellExecuteRecord {
  std::string operation;
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = 0;
};

// Returns a value above 32 on success, as the Windows call does.
long ShellExecuteA(const void* ownerWindow, std::string_view operation, std::string_view file,
                   std::string_view parameters, std::string_view directory, int showCommand);

// The host sees every request as it is made (to print it); tests read the record.
void SetShellExecuteHandler(std::function<void(const ShellExecuteRecord&)> handler);
std::vector<ShellExecuteRecord> ShellExecuteRecords();
void ClearShellExecuteRecords();

}  // namespace platform::shell
