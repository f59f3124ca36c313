#include "common/UserFiles.h"

#include "common/AddinState.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/StoredSecret.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
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
  CreateFolderWhenMissing(root + "\\users\\" + Trim(state.gLoginUser) + "\\");
  return root;
}

std::string UserFolder(const std::string& root, const AddinState& state) {
  return root + "\\users\\" + Trim(state.gLoginUser) + "\\";
}

constexpr std::string_view kRule =
    "-------------------------------------------------------------------------------------";

}  // namespace

std::string GetSpecialFolderPath(int csidl) { return platform::shell::GetSpecialFolderPath(csidl); }

std::string CreateUserDataFolder(AddinState& state, std::string_view) {
  state.gAppDataRoot = CreateUserTree(state, platform::shell::CSIDL_APPDATA);
  state.gUserDataFolder = UserFolder(state.gAppDataRoot, state);
  return state.gUserDataFolder + std::string(state.params.logFileName);
}

std::string CreateUserDocumentsFolder(AddinState& state, std::string_view) {
  state.gDocsRoot = CreateUserTree(state, platform::shell::CSIDL_PERSONAL);
  state.gUserDocsFolder = UserFolder(state.gDocsRoot, state);
  return platform::text::Replace(state.gUserDocsFolder, "\\\\", "\\");
}

bool InitLogFile(AddinState& state, std::string_view user) {
  std::string description;
  try {
    if (!user.empty()) {
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
