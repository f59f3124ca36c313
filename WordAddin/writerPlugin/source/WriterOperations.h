#pragma once
// The document operations of the Word add-in, as the command handlers call them: the online
// document list, the save, publish and add commands, the clean-up when Word quits, and the
// per-user folder roots that every command works in.
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
