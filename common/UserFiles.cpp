#include "common/UserFiles.h"

#include "common/AddinState.h"
#include "common/LocalFileName.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/StoredSecret.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

using platform::text::Trim;

void CreateFolderWhenMissing(const std::string& path) {
  if (!platform::files::FolderExists(path)) platform::files::CreateFolder(path);
}

// Creates <base>\tavo\<svc>\users\<user>\ step by step; returns <base>\tavo\<svc>.
std::string CreateUserTree(const AddinState& state, int csidl) {
  const std::string base = Trim(GetSpecialFolderPath(csidl));
  const std::string tavo = base + "\\tavo\\";
  const std::string root = tavo + Trim(state.params.folderWord);
  CreateFolderWhenMissing(tavo);
  CreateFolderWhenMissing(root + "\\");
  CreateFolderWhenMissing(root + "\\users\\");
  CreateFolderWhenMissing(UserFolderPath(root, state.gLoginUser));
  return root;
}

constexpr std::string_view kRule =
    "-------------------------------------------------------------------------------------";

}  // namespace

std::string GetSpecialFolderPath(int csidl) { return platform::shell::GetSpecialFolderPath(csidl); }

std::string UserFolderPath(std::string_view root, std::string_view account) {
  return std::string(root) + "\\users\\" + Trim(account) + "\\";
}

bool RefusedAccountName(AddinState& state, std::string_view account) {
  if (!UnusableAccountName(account)) return false;
  ShowMessage(state, kUnusableAccountNameMessage, 0);
  return true;
}

std::string ComparablePath(std::string_view path) {
  std::string comparable = platform::text::FoldCase(platform::environment::LexicalWindowsPath(Trim(path)));
  while (platform::text::EndsWith(comparable, "\\")) comparable.pop_back();
  return comparable;
}

bool SamePath(std::string_view a, std::string_view b) { return ComparablePath(a) == ComparablePath(b); }

bool InAnotherAccountsFolder(const AddinState& state, std::string_view path) {
  const std::string file = ComparablePath(path);
  const std::string users = ComparablePath(state.gDocsRoot + "\\users") + "\\";
  const std::string own = ComparablePath(UserFolderPath(state.gDocsRoot, state.gLoginUser)) + "\\";
  return platform::text::StartsWith(file, users) && !platform::text::StartsWith(file, own);
}

std::string getNewFileLocation(AddinState& state, const std::string& path, int counter) {
  try {
    WriteLog(state, "Entering into Function getNewFileLocation =" + path, "Info");
    if (!platform::files::FileExists(path)) {
      WriteLog(state, "Extiting into Function getNewFileLocation |" + path, "Info");
      return path;
    }
    const size_t dot = path.find_last_of(".\\");
    const bool hasExtension = dot != std::string::npos && path[dot] == '.';
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    // Only the file's own extension goes: a folder whose name holds it stays as it is.
    const std::string base = path.substr(0, path.size() - extension.size());
    return getNewFileLocation(state, base + std::to_string(counter) + extension, counter + 1);
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error getting New File name for the workbook |" + e.description(), "Error");
    return {};
  }
}

std::string CreateUserDataFolder(AddinState& state, std::string_view) {
  state.gAppDataRoot = CreateUserTree(state, platform::shell::CSIDL_APPDATA);
  state.gUserDataFolder = UserFolderPath(state.gAppDataRoot, state.gLoginUser);
  return state.gUserDataFolder + std::string(state.params.logFileName);
}

std::string CreateUserDocumentsFolder(AddinState& state, std::string_view) {
  state.gDocsRoot = CreateUserTree(state, platform::shell::CSIDL_PERSONAL);
  state.gUserDocsFolder = UserFolderPath(state.gDocsRoot, state.gLoginUser);
  return platform::text::Replace(state.gUserDocsFolder, "\\\\", "\\");
}

bool InitLogFile(AddinState& state, std::string_view user) {
  std::string description;
  try {
    // A blank name would put the files in ...\users\ itself.
    if (!Trim(user).empty()) {
      const std::string docsFolder = CreateUserDocumentsFolder(state, user);
      state.gLogFile = CreateUserDataFolder(state, user);
      if (!state.gLogFile.empty()) {
        const std::string header =
            std::string(kRule) + "\r\n" + std::string(state.params.logHeaderTitle) + EscapeControls(user) + " - " +
            platform::FormatLogHeaderTime(platform::LocalTime(platform::Now())) + "\r\n" + " Version - " +
            std::string(kPluginVersion) + "\r\n" + std::string(kRule) + "\r\n\r\n";
        platform::files::AppendText(state.gLogFile, platform::codepage::Utf8ToAnsi(header));
      }
      WriteLog(state, "The Current User Folder is " + docsFolder, "Info");
      WriteLog(state, "The Current User Log File is " + state.gUserDataFolder + std::string(state.params.logFileName),
               "Info");
      if (state.params.logInitialisedLine) WriteLog(state, "Log File Initialised Sucessfully", "Info");
      return true;
    }
  } catch (const platform::RuntimeError& e) {
    description = e.description();
  }
  WriteLog(state, "Intializing log file Failed " + description, "Error");
  return false;
}

void InitUserFiles(AddinState& state, std::string_view user) {
  try {
    InitLogFile(state, user);
    // Nothing is written for no account: its folder would be ...\users\ itself.
    if (Trim(user).empty() || Trim(state.gLoginUser).empty()) return;
    const std::string mapPath = MapFilePath(state);
    const std::string credentialsPath = CredentialsFilePath(state);
    EnsureMapFile(state, mapPath);
    state.gEncodedUser = EncodeBase64(state.gLoginUser);
    state.gEncodedPassword = EncodeBase64(state.gLoginPassword);
    WriteCredentialsFile(state, credentialsPath);
  } catch (const platform::RuntimeError&) {
    ShowMessage(state, state.strings[state.params.initUserFilesFailureKey], 0);
  }
}

}  // namespace tavo
