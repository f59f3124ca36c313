// What the toolbar buttons, the menu items and Word's Quit event do.
#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/Messages.h"
#include "common/RegistryStrings.h"
#include "common/dialogs/Dialogs.h"
#include "common/signin/Accounts.h"

namespace tavo::writer {

void ClassInit::oAboutCmdBar_Click() { Dialogs(state_).frmAboutUs.Show(platform::forms::ShowMode::Modal); }

// The settings only change the stored choices; nothing follows when the dialog closes.
void ClassInit::oConfCmdBar_Click() {
  state_.gConfigMode = 2;
  Dialogs(state_).frmConfig.Show(platform::forms::ShowMode::Modal);
}

void ClassInit::oLogoutCmdBar_Click() { LogoutFromTavo(); }

// The two add-ins share one sign-in: the account is signed out of the service, and the shared
// ticket and credentials cleared, only by the last add-in signed in. This add-in's own status
// always ends "0", and neither add-in's settings keep the ticket.
bool ClassInit::LogoutFromTavo() {
  const AddinParameterSet& p = state_.params;
  if (Shared(p.otherStatusValue) != "1") {
    if (Shared(p.ownStatusValue) == "1" && !LogoutFromAccounts(state_)) {
      // The service still knows the ticket: stay signed in.
      ShowMessage(state_, state_.strings["gMsg35"], 0);
      if (oopendoccmdbar.IsNothing()) return false;
      SetCommandStates(true, true);
      return false;
    }
    for (const char* value : {"tavoticketid", "tavousername", "tavopassword"}) SetShared(value, "");
  }
  SetRegistryString(HKEY_CURRENT_USER, p.otherPluginSettingsKey, "tavoticketid", "");
  SetRegistryString(HKEY_CURRENT_USER, p.pluginSettingsKey, "tavoticketid", "");
  SetShared(p.ownStatusValue, "0");
  FindControlsAgain();
  SetCommandStates(false, true);
  state_.gTicket.clear();
  return false;
}

void ClassInit::oOpenDocumentButton_Click() {
  SetUserFolders();
  operations_.GetDocuments();
}

void ClassInit::oSaveDocumentButton_Click() {
  SetUserFolders();
  operations_.SaveInWriter();
}

void ClassInit::oSaveSharecmdBar_Click() {
  SetUserFolders();
  operations_.SaveInShare();
}

// Add works on the active document alone and needs no user folder first.
void ClassInit::oAddDocumentButton_Click() { operations_.AddToWriter(); }

// The copies downloaded for this run only go when Word quits, not when the add-in disconnects.
void ClassInit::oWordApp_Quit() {
  operations_.localsavepath();
  operations_.nonlocalsavedeletedocument();
}

}  // namespace tavo::writer
