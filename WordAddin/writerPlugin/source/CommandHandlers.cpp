// What the toolbar buttons, the menu items and Word's Quit event do.
#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/commands/LocalCopies.h"
#include "common/commands/MenuCommands.h"
#include "common/signin/SharedSignIn.h"
#include "common/commands/UserFolders.h"

namespace tavo::writer {

void ClassInit::oAboutCmdBar_Click() { ShowAbout(state_); }

void ClassInit::oConfCmdBar_Click() { ShowSettings(state_); }

void ClassInit::oLogoutCmdBar_Click() { LogoutFromTavo(); }

void ClassInit::oopenlocalcmdbutton_Click() { ListLocalCopies(state_); }

// After a refused server sign-out the add-in stays signed in; after any other, the controls are
// found again by their tags and signed out, the status "0" is written once more and the ticket
// is forgotten.
bool ClassInit::LogoutFromTavo() {
  if (!SignOutOfSharedAccount(state_)) {
    if (oopendoccmdbar.IsNothing()) return false;
    SetCommandStates(true, true);
    return false;
  }
  FindControlsAgain();
  SetCommandStates(false, true);
  SetSharedAccount(state_.params.ownStatusValue, "0");
  state_.gTicket.clear();
  return false;
}

void ClassInit::ShowSignedOut() {
  // Before the command bars were built there is nothing to find.
  if (oWordApp) {
    FindControlsAgain();
    SetCommandStates(false, true);
  }
  state_.gTicket.clear();
}

void ClassInit::oOpenDocumentButton_Click() {
  SetUserFolders(state_);
  operations_.GetDocuments();
}

void ClassInit::oOpenDocCmdBar_Click() { oOpenDocumentButton_Click(); }

void ClassInit::oTavoOpenMenu_Click() { oOpenDocumentButton_Click(); }

void ClassInit::oSaveDocumentButton_Click() {
  SetUserFolders(state_);
  operations_.SaveInWriter();
}

void ClassInit::oSaveDocCmdBar_Click() { oSaveDocumentButton_Click(); }

void ClassInit::oSaveSharecmdBar_Click() {
  SetUserFolders(state_);
  operations_.SaveInShare();
}

// Add works on the active document alone and needs no user folder first.
void ClassInit::oAddDocumentButton_Click() { operations_.AddToWriter(); }

void ClassInit::oAddDocCmdBar_Click() { oAddDocumentButton_Click(); }

// The copies downloaded for this run only go when Word quits, not when the add-in disconnects.
void ClassInit::oWordApp_Quit() {
  operations_.localsavepath();
  operations_.nonlocalsavedeletedocument();
}

}  // namespace tavo::writer
