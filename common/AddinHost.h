#pragma once
// What the shared core asks of the add-in that carries it: each add-in's operations implement
// this over its Office application, and the state of the add-in points to them.
//
// Besides the status bar, these are the document operations in which the shared dialogs end.
// The dialogs do what is the same for both add-ins (closing themselves first, and the message
// after a failed publish); everything else that happens around an operation (logs, status texts,
// messages) belongs to the add-in's operation.
#include <string>

#include "platform/office/Application.h"

namespace tavo {

class AddinHost {
 public:
  virtual ~AddinHost() = default;
  // The host application, kept from the connection to the disconnection.
  platform::office::Ref<platform::office::Application> gHostApp;
  // The host application's status bar; "" clears it. Nothing happens while no application is
  // connected.
  virtual void SetStatusBarText(const std::string& text) {
    if (gHostApp) gHostApp->SetStatusBar(text);
  }
  // A text of the service's list answer as frmDocList shows it. An add-in whose service labels
  // its answers with the wrong character set decodes the text again, as it does the names.
  virtual std::string ShownListText(const std::string& text) { return text; }
  // Puts the add-in's commands into their signed-out state (Login offered), once the service
  // has refused the ticket of its sign-in. Nothing in a host without commands.
  virtual void ShowSignedOut() {}

  // Opens the online document (workbook) of the entry selected in frmDocList's list. Reached from
  // the list's Open, double-click, Enter and Space, and from the local-copy question's Yes in the
  // word processor; it closes the question and the list once the document is open.
  virtual void LoadSelectedDocument() = 0;
  // The local copy that opening the entry selected in frmDocList's list would write over, for the
  // question whether to download it again; "" when the add-in leaves it to the list (the copy is
  // then named after the entry's file-name form and the default extension).
  virtual std::string LocalCopyOfSelectedDocument() { return {}; }
  // Refills frmDocList's list with the entries whose name holds `text` (any letter case); called
  // with the search box's whole text at every change.
  virtual void SearchDocuments(const std::string& text) = 0;
  // Opens the local copy selected in frmopenlocalfiles' list, with the password recorded for it.
  virtual void LoadLocalDocument() = 0;
  // Deletes the local copy selected in frmopenlocalfiles' list and its map record, after the
  // delete question's Yes; it closes the question and the local copies dialog.
  virtual void DeleteLocalDocument() = 0;
  // Adds the active document to the service as a new online document (the add question's Yes,
  // after the question has closed), telling the user how it went.
  virtual void AddActiveDocument() = 0;
  // Saves the active document over the newer online version (the overwrite question's Yes,
  // after the question has closed).
  virtual void OverwriteActiveDocument() = 0;
  // Creates the active document online, makes it public and gives it the licence (the licence
  // picker's Upload, after the picker has closed); the licence name is always the English one.
  // False when it was not published and the user has not been told: the picker then shows its
  // failure message, as it does for a RuntimeError thrown from here.
  virtual bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                                     const std::string& licenceImage) = 0;
};

}  // namespace tavo
