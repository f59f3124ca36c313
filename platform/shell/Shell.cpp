#include "platform/shell/Shell.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/core/Clock.h"
#include "platform/environment/Environment.h"
#include "platform/environment/PrivateFiles.h"
#include "platform/files/Files.h"

namespace platform::shell {
namespace {

// The success value ShellExecuteA returns here (any value above 32 means success).
constexpr long kExecuted = 42;
constexpr long kFileNotFound = 2;  // SE_ERR_FNF

struct State {
  std::mutex mutex;
  std::vector<ShellExecuteRecord> records;
  std::function<void(const ShellExecuteRecord&)> handler;
};

State& TheState() {
  static State state;
  return state;
}

// One request per line: line breaks and tabs inside a field would split or shift it.
std::string Field(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return out;
}

void AppendToLog(const ShellExecuteRecord& r) {
  std::string line = FormatLogTimestamp(LocalTime(Now())) + "\t" + Field(r.operation) + "\t" + Field(r.file) + "\t" +
                     Field(r.parameters) + "\t" + Field(r.directory) + "\t" + std::to_string(r.showCommand) + "\n";
  try {
    const environment::Environment& env = environment::Current();
    files::AppendText(env.WindowsPath(env.root() / "shell-open.log"), line);
  } catch (...) {
    // The log is a record for people; a request is not refused because it cannot be written.
  }
}

}  // namespace

std::string GetSpecialFolderPath(int csidl) {
  const environment::Environment& env = environment::Current();
  std::string profile = "C:\\Users\\" + env.userName();
  std::string path;
  switch (csidl) {
    case CSIDL_PERSONAL: path = profile + "\\Documents"; break;
    case CSIDL_APPDATA: path = profile + "\\AppData\\Roaming"; break;
    default: return {};
  }
  std::error_code ec;
  environment::CreatePrivateFolders(env.HostPath(path), ec);
  return path;
}

long ShellExecuteA(const void* /*ownerWindow*/, std::string_view operation, std::string_view file,
                   std::string_view parameters, std::string_view directory, int showCommand) {
  if (file.empty()) return kFileNotFound;
  ShellExecuteRecord record{std::string(operation), std::string(file), std::string(parameters),
                            std::string(directory), showCommand};
  std::function<void(const ShellExecuteRecord&)> handler;
  {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.records.push_back(record);
    handler = state.handler;
  }
  AppendToLog(record);
  if (handler) handler(record);  // outside the lock: the handler may ask for the records
  return kExecuted;
}

void SetShellExecuteHandler(std::function<void(const ShellExecuteRecord&)> handler) {
  State& state = TheState();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.handler = std::move(handler);
}

std::vector<ShellExecuteRecord> ShellExecuteRecords() {
  State& state = TheState();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.records;
}

void ClearShellExecuteRecords() {
  State& state = TheState();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.records.clear();
}

}  // namespace platform::shell
