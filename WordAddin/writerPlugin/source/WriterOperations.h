#pragma once
// The document operations of the Word add-in, as the command handlers and the shared dialogs
// call them: the online document list, the save, publish and add commands, the local copies,
// the clean-up when Word quits, and the per-user folder roots that every command works in.
#include <string>

#include "common/AddinState.h"

namespace tavo::writer {

class WriterOperations {
 public:
  explicit WriterOperations(AddinState& state) : state_(state) {}
  WriterOperations(const WriterOperations&) = delete;
  WriterOperations& operator=(const WriterOperations&) = delete;

  // Fetches the account's online documents and shows them in the document list.
  void GetDocuments();
  // Saves the active document over its online copy.
  void SaveInWriter();
  // Publishes the active document (saving it again when it is online already).
  void SaveInShare();
  // Creates a new online document from the active document.
  void AddToWriter();

  // The shared dialogs' operations (see common/AddinHost.h).
  // Downloads and opens the online document selected in the document list.
  void LoadSelectedDocument();
  // Refills the document list with the entries whose name holds the text.
  void SearchDocuments(const std::string& text);
  // Opens the local copy selected in the local copies dialog, with its recorded password.
  void loadlocaldocument();
  // Deletes the selected local copy and its map record.
  void DeleteLocalDocument();
  // The add question's Yes: creates the active document online.
  void AddActiveDocument();
  // The overwrite question's Yes: saves the active document over the newer online version.
  void OverwriteActiveDocument();
  // The licence picker's Upload: creates the active document online, public, with the licence.
  // False when it was not published and the user has not been told.
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage);

  // When Word quits: deletes the copies downloaded in this run only for temporary use ...
  void localsavepath();
  // ... and then their records in the map file.
  void nonlocalsavedeletedocument();

  // gDocsRoot: <Documents>\tavo\tavowriter. No folder is created.
  void osdocusernamepath();
  // gAppDataRoot: <AppData>\tavo\tavowriter, and gUserDataFolder for gLoginUser.
  void oslogusernamepath();

 private:
  // What an operation that this build does not carry yet does: say so in the log and the
  // status bar.
  void NotAvailable(const char* procedure, const char* what);

  AddinState& state_;
};

}  // namespace tavo::writer
