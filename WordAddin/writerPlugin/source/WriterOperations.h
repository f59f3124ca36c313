#pragma once
// The document operations of the Word add-in, as the command handlers and the shared dialogs
// call them: the online document list, the save, publish and add commands, the local copies,
// the clean-up when Word quits, and the per-user folder roots that every command works in.
//
// Every operation works on Word's active document of the running Word and talks to the online
// word processor in its request format (common/requests/WriterApiRequest.h). Failures are
// handled where they happen: logged, told to the user where the user must know, and reported
// to the caller as false or "".
#include <optional>
#include <string>

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/MapStore.h"
#include "common/requests/PublishCalls.h"

namespace tavo::writer {

class service;

// What the shared core reaches in Word through the add-in (common/AddinHost.h) is these
// operations themselves; the host application they keep is the Word the add-in is connected to.
class WriterOperations final : public AddinHost {
 public:
  // `connection` is the connection class that owns these operations.
  WriterOperations(AddinState& state, service& connection) : state_(state), connection_(connection) {}
  WriterOperations(const WriterOperations&) = delete;
  WriterOperations& operator=(const WriterOperations&) = delete;

  // The commands' signed-out state (the connection's ClassInit).
  void ShowSignedOut() override;

  // ---- the list of online documents (DocumentList.cpp)
  // Fetches the account's online documents and shows them in the document list; true when the
  // list was shown.
  bool GetDocuments();
  // The same for the documents shared to the account (no command offers it yet).
  bool GetSharedDocuments();
  // Refills the document list with the entries whose name holds the text, in any letter case.
  void SearchDocuments(const std::string& text) override;
  // Downloads and opens the online document selected in the document list.
  void LoadSelectedDocument() override;
  // The local copy that the download of the selected document writes: its file-name form with
  // the extension of its record in the user's folder; "" when no entry is selected.
  std::string LocalCopyOfSelectedDocument() override;
  // Turns a writer.viewDocument answer into the local copy of the document, open in Word and
  // recorded in the map file; the copy's file name, "" on failure (OpenInWord.cpp).
  std::string OpenDocumentInWord(const std::string& response, const std::string& name, const std::string& nameUrl);

  // ---- the three commands that send the active document (SaveCommands.cpp)
  // Saves the active document over its online copy.
  void SaveInWriter();
  // Publishes the active document (saving it again when it is online already).
  void SaveInShare();
  // Creates a new online document from the active document.
  void AddToWriter();
  // The list refresh before a save: the lists and the local map are renewed.
  bool UpdateLocalXml();
  // The active document's folder, "\" and its file name.
  std::string GetActiveDocumentFullName();

  // ---- the HTML the service receives (HtmlExport.cpp)
  // The active document as HTML, its pictures uploaded and relinked; "" when that failed. A
  // picture that is not uploaded keeps its local reference and is counted (picturesLeftOut_).
  std::string ConvertDocumentToHtml();
  // Loads the exported file and relinks its pictures; the document's HTML in `html`.
  bool ChangeImageUrls(std::string& html);
  // Uploads the picture Word exported at `src`; its new address, "" when nothing was uploaded.
  std::string UploadImage(const std::string& src);

  // ---- save with version check (SaveDocument.cpp)
  bool UpdateInWriter();
  // True when the local version is not below the online one.
  bool CheckDocumentVersion(const std::string& id, const std::string& localVersion);
  bool SaveDocument(const std::string& user, const std::string& name, const std::string& id,
                    const std::string& version, const std::string& content);
  bool UpdateSavedInfo(const std::string& reply);
  // Loads the map file and writes it back (it stays as it is when it does not load).
  bool RefreshLocalMap();

  // ---- create and publish (CreateDocument.cpp)
  bool CreateDocument(const std::string& name, const std::string& content);
  bool CreatePublicDocument(const std::string& name, const std::string& content, const std::string& licenceName,
                            const std::string& licenceUrl, const std::string& licenceImage);
  bool UpdateInShare();

  // ---- the shared dialogs' ends (see common/AddinHost.h; CreateDocument.cpp)
  // The add question's Yes: creates the active document online.
  void AddActiveDocument() override;
  // The overwrite question's Yes: saves the active document over the newer online version.
  void OverwriteActiveDocument() override;
  // The licence picker's Upload: creates the active document online, public, with the licence.
  // False when it was not published (the picker then says so).
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage) override;

  // ---- local copies (LocalCopies.cpp)
  // Saves the active document as the local copy of the document created last.
  bool MoveDocumentToUserFolder();
  // Opens the local copy selected in the local copies dialog, with its recorded password.
  void loadlocaldocument();
  void LoadLocalDocument() override { loadlocaldocument(); }
  // Deletes the selected local copy and its map record.
  void DeleteLocalDocument() override;
  // When Word quits: deletes the copies downloaded in this run only for temporary use ...
  void localsavepath();
  // ... and then their records in the map files.
  void nonlocalsavedeletedocument();

 private:
  // The map record of the active document, found by its file name; its id, version and name
  // become the pending overwrite values. A record found for a document that lies in another
  // account's folder is that account's namesake, not this document's (OtherAccount).
  enum class Lookup { NoMap, NotMapped, Mapped, OtherAccount };
  Lookup LookUpActiveDocument();
  // The save of Save (false) and Publish (true).
  bool SaveMappedDocument(bool publish);
  // Exports the active document and saves it as the pending document; false when either failed.
  bool SavePendingDocument();
  // After the Publish of a mapped document saved it: finishes its unfinished publish, if any,
  // and tells the user how it went.
  void TellPublished();
  // Save (false) or Publish (true) of the active document.
  void SendActiveDocument(bool publish);
  bool ListDocuments(const std::string& body, const char* signedOutText);
  // The part that CreateDocument and CreatePublicDocument share; `licence` null for a plain add.
  // Nullopt when no document was created and linked; else how far its publish got (Published
  // for a plain add).
  std::optional<PublishOutcome> NewDocument(const std::string& name, const std::string& content,
                                            const PublishLicence* licence);
  // After the document was sent: tells the user when pictures of the export stayed behind, which
  // the online document then lacks.
  void TellPicturesLeftOut();
  // The record of a document just created online (`created`, as the service answered), naming
  // the file in the user's folder that its copy is to be kept in (LocalCopies.cpp).
  DocumentMapRecord NewCopyRecord(const DocumentMapRecord& created);

  AddinState& state_;
  service& connection_;
  // The pictures of the last export that kept their local reference.
  int picturesLeftOut_ = 0;
};

}  // namespace tavo::writer
