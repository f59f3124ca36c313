// What the toolbar buttons, the menu items and the File-menu item do.
#include "ExelAddin/sheetPlugin/source/ClassInit.h"
#include "common/Messages.h"
#include "common/commands/LocalCopies.h"
#include "common/commands/MenuCommands.h"
#include "common/signin/SharedSignIn.h"
#include "common/commands/UserFolders.h"

namespace tavo::sheet {

void ClassInit::oLogoutCmdBar_Click() { LogoutFromTavo(); }

// Signing out leaves Excel's alerts as they are: Excel goes on asking before it closes a
// modified workbook or replaces a file.
bool ClassInit::LogoutFromTavo() {
  if (!SignOutOfSharedAccount(state_)) {
    SetCommandStates(true, true);
    return false;
  }
  ShowStatus(state_, state_.strings["gMsg57"]);
  SetCommandStates(false, true);
  return false;
}

void ClassInit::ShowSignedOut() { SetCommandStates(false, true); }

void ClassInit::oOpenDocumentButton_Click() {
  SetUserFolders(state_);
  operations_.GetWorkbooks();
}

void ClassInit::oOpenDocCmdBar_Click() { oOpenDocumentButton_Click(); }

void ClassInit::oTavoOpenMenu_Click() { operations_.GetWorkbooks(); }

void ClassInit::oSaveDocumentButton_Click() { operations_.SaveInSheet(); }

void ClassInit::oSaveDocCmdBar_Click() { oSaveDocumentButton_Click(); }

void ClassInit::oSaveShareCmdBar_Click() { operations_.SaveInSheetShare(); }

void ClassInit::oAddDocumentButton_Click() {
  SetUserFolders(state_);
  operations_.AddWorkbookToTavo();
}

void ClassInit::oAddDocCmdBar_Click() { oAddDocumentButton_Click(); }

void ClassInit::oConfCmdBar_Click() { ShowSettings(state_); }

void ClassInit::oAboutCmdBar_Click() { ShowAbout(state_); }

void ClassInit::oopenlocalcmdbutton_Click() { ListLocalCopies(state_); }

}  // namespace tavo::sheet
