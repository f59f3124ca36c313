// What the toolbar buttons, the menu items and Word's Quit event do.
#include "WordAddin/writerPlugin/source/ClassInit.h"

namespace tavo::writer {

void ClassInit::oLogoutCmdBar_Click() { LogoutFromTavo(); }

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
