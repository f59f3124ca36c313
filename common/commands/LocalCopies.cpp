#include "common/commands/LocalCopies.h"

#include <string>

#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "common/commands/UserFolders.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

namespace files = platform::files;
namespace text = platform::text;

}  // namespace

void ListLocalCopies(AddinState& state) {
  AddinDialogs& dialogs = Dialogs(state);
  auto message = [&state](const char* key) { ShowMessage(state, state.strings[key], 0); };
  try {
    state.gConfigMode = 1;
    osdocusernamepath(state);
    oslogusernamepath(state);
    if (text::Trim(state.gLoginUser).empty() || text::Trim(state.gLoginPassword).empty() ||
        state.gConfigResult == "FALSE")
      dialogs.frmconfiglocal.Show(platform::forms::ShowMode::Modal);
    else
      state.gConfigResult = "TRUE";
    const std::string user = state.gLoginUser;
    if (state.gConfigResult != "TRUE") return;
    // A remembered name that cannot name the account's folders: nothing is looked for under it.
    if (RefusedAccountName(state, user)) {
      state.gConfigResult = "FALSE";
      return;
    }

    const std::string dataFolder = UserFolderPath(state.gAppDataRoot, user);
    if (!files::FolderExists(dataFolder)) {
      message("gMsg41");
      state.gConfigResult = "FALSE";
      return;
    }
    const std::string credentialsFile = dataFolder + std::string(state.params.credentialsFileName);
    if (!files::FileExists(credentialsFile)) {
      message("gMsg40");
      return;
    }
    // The name as the service knows it, in any letter case; the password exactly.
    const StoredCredentials stored = ReadCredentialsFile(credentialsFile);
    if (!text::EqualsText(text::Trim(state.gLoginUser), stored.user) ||
        text::Trim(state.gLoginPassword) != stored.password) {
      message("gMsg27");
      state.gConfigResult = "FALSE";
      return;
    }

    // The account may have been signed in just now, offline: the copies' map is in its folder.
    oslogusernamepath(state);

    // Copies are listed by name without their extension; the host's lock files ("~...") are not.
    // The shown name does not tell every file apart (" Budget.xls", "Budget.xls.xls" and
    // "Budget.xls" all read "Budget" once trimmed), so each entry keeps the file it stands for.
    const std::string extension(state.params.defaultDocumentExtension);  // ".doc" / ".xls"
    const std::string folder = UserFolderPath(state.gDocsRoot, user);
    platform::forms::ListBox& list = dialogs.frmopenlocalfiles.locallist;
    list.Clear();
    for (const std::string& name : files::ListFileNames(folder)) {
      if (!text::EndsWith(name, extension.substr(1)) || text::StartsWith(name, "~")) continue;
      list.AddItem(text::Replace(name, extension, " "));
      list.SetItemData(list.ListCount() - 1, folder + name);
    }
    if (list.ListCount() == 0) {
      message("gMsg40");
      return;
    }
    list.SetListIndex(0);
    dialogs.frmopenlocalfiles.Show(platform::forms::ShowMode::Modal);
  } catch (const platform::RuntimeError&) {
    message("gMsg42");
  }
}

}  // namespace tavo
