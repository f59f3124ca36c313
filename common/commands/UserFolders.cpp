#include "common/commands/UserFolders.h"

#include <string>

#include "common/AddinState.h"
#include "common/Log.h"
#include "common/UserFiles.h"
#include "platform/core/Text.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

using platform::text::Trim;

}  // namespace

void osdocusernamepath(AddinState& state) {
  Logged(state, state.params.docsRootName, [&] {
    state.gDocsRoot = Trim(GetSpecialFolderPath(platform::shell::CSIDL_PERSONAL)) +
                      Trim("\\tavo\\" + std::string(state.params.folderWord));
  });
}

void oslogusernamepath(AddinState& state) {
  Logged(state, "oslogusernamepath", [&] {
    state.gAppDataRoot = Trim(GetSpecialFolderPath(platform::shell::CSIDL_APPDATA)) +
                         Trim("\\tavo\\" + std::string(state.params.folderWord));
    state.gUserDataFolder = UserFolderPath(state.gAppDataRoot, state.gLoginUser);
  });
}

void SetUserFolders(AddinState& state) {
  osdocusernamepath(state);
  oslogusernamepath(state);
}

}  // namespace tavo
