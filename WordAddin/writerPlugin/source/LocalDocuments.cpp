// The Local Documents command: the account is checked offline against the credentials file of
// its last sign-in, then its local copies are listed.
#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/Messages.h"
#include "common/StoredSecret.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::writer {
namespace {

namespace files = platform::files;
namespace text = platform::text;

}  // namespace

void ClassInit::oopenlocalcmdbutton_Click() {
  AddinDialogs& dialogs = Dialogs(state_);
  auto message = [this](const char* key) { ShowMessage(state_, state_.strings[key], 0); };
  try {
    state_.gConfigMode = 1;
    SetUserFolders();
    if (text::Trim(state_.gLoginUser).empty() || text::Trim(state_.gLoginPassword).empty() ||
        state_.gConfigResult == "FALSE")
      dialogs.frmconfiglocal.Show(platform::forms::ShowMode::Modal);
    else
      state_.gConfigResult = "TRUE";
    const std::string user = state_.gLoginUser;
    if (state_.gConfigResult != "TRUE") return;

    const std::string dataFolder = state_.gAppDataRoot + "\\users\\" + user;
    if (!files::FolderExists(dataFolder)) {
      message("gMsg41");
      state_.gConfigResult = "FALSE";
      return;
    }
    const std::string credentialsFile = dataFolder + "\\" + std::string(state_.params.credentialsFileName);
    if (!files::FileExists(credentialsFile)) {
      message("gMsg40");
      return;
    }
    // The name as the service knows it, in any letter case; the password exactly.
    const StoredCredentials stored = ReadCredentialsFile(credentialsFile);
    if (!text::EqualsText(state_.gLoginUser, stored.user) || text::Trim(state_.gLoginPassword) != stored.password) {
      message("gMsg27");
      state_.gConfigResult = "FALSE";
      return;
    }

    // Copies are listed by name without their extension; Word's lock files ("~...") are not.
    const std::string extension(state_.params.defaultDocumentExtension);  // ".doc"
    platform::forms::ListBox& list = dialogs.frmopenlocalfiles.locallist;
    list.Clear();
    for (const std::string& name : files::ListFileNames(state_.gDocsRoot + "\\users\\" + user)) {
      if (!text::EndsWith(name, extension.substr(1)) || text::StartsWith(name, "~")) continue;
      list.AddItem(text::Replace(name, extension, " "));
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

}  // namespace tavo::writer
