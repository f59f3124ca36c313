// Saving the active document back to the online document it belongs to: the map record found
// by the Word file name, the online version checked, the document sent, the answer recorded.
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/LocalFileName.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/TempCopies.h"
#include "common/UnfinishedPublishes.h"
#include "common/UserFiles.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/WriterApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace xml = platform::xml;

constexpr std::string_view kOtherAccountsDocument =
    "This document lies in the folder of another Tavo account. Sign in with that account to save or publish it.";

}  // namespace

WriterOperations::Lookup WriterOperations::LookUpActiveDocument() {
  Ref<word::Document> doc = Word()->ActiveDocument();
  const std::string query = DocumentRecordByFilename(MapKey(state_, doc->Name()));
  WriteLog(state_, "Query string is " + query, "Info");
  const MapFile map(MapFilePath(state_));
  if (!map.Loaded()) return Lookup::NoMap;
  const MapRecord record = map.Select(query);
  if (!record) return Lookup::NotMapped;
  if (InAnotherAccountsFolder(state_, doc->FullName())) return Lookup::OtherAccount;
  state_.gPendingDocId = record.Id();
  state_.gPendingDocVersion = record.Version();
  state_.gPendingDocName = record.Name();
  return Lookup::Mapped;
}

bool WriterOperations::SavePendingDocument() {
  // An export that failed is not sent: it would replace the online document by nothing.
  const std::string html = ConvertDocumentToHtml();
  if (html.empty() ||
      !SaveDocument(state_.gLoginUser, state_.gPendingDocName, state_.gPendingDocId, state_.gPendingDocVersion, html))
    return false;
  TellPicturesLeftOut();
  // The export saved the document in place: a temporary copy now holds what the service holds,
  // and may go at Quit; unless a picture stayed behind, which it alone holds then.
  if (picturesLeftOut_ == 0) RestampTempCopy(state_, GetActiveDocumentFullName());
  return true;
}

bool WriterOperations::UpdateInWriter() { return SaveMappedDocument(false); }
bool WriterOperations::UpdateInShare() { return SaveMappedDocument(true); }

// Save and Publish of a mapped document are one flow. A document not in the map is offered for
// adding, or for publishing under a licence; a newer online version is not overwritten without
// asking.
bool WriterOperations::SaveMappedDocument(bool publish) {
  AddinDialogs& dialogs = Dialogs(state_);
  try {
    switch (LookUpActiveDocument()) {
      case Lookup::NoMap: return false;
      case Lookup::NotMapped:
        if (publish) dialogs.frmLicense.Show(platform::forms::ShowMode::Modal);
        else dialogs.frmConfirm.Show(platform::forms::ShowMode::Modal);
        return true;
      case Lookup::OtherAccount:
        // Sending it would replace this account's online document of the same name.
        ShowMessage(state_, kOtherAccountsDocument, 0);
        return true;
      case Lookup::Mapped: break;
    }
    if (!CheckDocumentVersion(state_.gPendingDocId, state_.gPendingDocVersion)) {
      dialogs.frmLowVersion.Show(platform::forms::ShowMode::Modal);
      return true;
    }
    if (SavePendingDocument()) {
      WriteLog(state_, publish ? "Sucessfully Updated in Tavo Share" : "Sucessfully Updated in Tavo Writer", "Info");
      if (publish) TellPublished();
      return true;
    }
    WriteLog(state_, "Error while Updating into Tavo Writer", "Error");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error while Updating into Tavo Writer" + e.description(), "Error");
  }
  return false;
}

// The Publish of a saved document: a publish of it that did not get through at its creation is
// finished now, over the document as just saved.
void WriterOperations::TellPublished() {
  const std::optional<PublishOutcome> finished = FinishUnfinishedPublish(state_, state_.gPendingDocId);
  if (!finished) ShowStatus(state_, "Successfully Updated in Tavo!!!");
  else if (*finished == PublishOutcome::Published) ShowStatus(state_, "The Document is Published Successfully");
  else ShowMessage(state_, UnfinishedPublishText(*finished, "document", "Tavo Writer"), 0);
}

bool WriterOperations::CheckDocumentVersion(const std::string& id, const std::string& localVersion) {
  try {
    xml::Document reply;
    if (!reply.loadXML(GetDocumentVersion(state_, id))) {
      WriteLog(state_, "Error While performing version check" + reply.parseError(), "Error");
      return false;
    }
    WriteLog(state_, "Document Version" + reply.documentElement().xml(), "Info");
    if (xml::Node online = reply.selectSingleNode("//methodResponse/version"))
      return platform::text::Val(localVersion) >= platform::text::Val(online.text());
    const CallerMessage message = WriterErrorMessage(state_, WriterCaller::VersionCheck, TextAt(reply, kWriterErrorCode));
    ShowMessage(state_, message.text, message.kind);
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While performing version check" + e.description(), "Error");
  }
  return false;
}

bool WriterOperations::SaveDocument(const std::string&, const std::string& name, const std::string& id,
                                    const std::string& version, const std::string& content) {
  try {
    const std::string body = SaveDocumentBody(name, content, id, version);
    WriteLog(state_, "Request for save" + body, "Info");
    const std::string reply = SendWriterRequest(state_, body);
    const WriterAnswer answer = ClassifyWriterAnswer(reply, "//methodResponse/save/info");
    if (answer.kind == AnswerKind::Success) {
      ShowStatus(state_, answer.document.selectSingleNode("//methodResponse/save/info").text());
      // Saved online whatever the map makes of it.
      UpdateSavedInfo(reply);
      return true;
    }
    if (answer.kind == AnswerKind::ErrorCode) {
      const CallerMessage message = WriterErrorMessage(state_, WriterCaller::Save, answer.errorCode);
      ShowMessage(state_, message.text, message.kind);
      return false;
    }
    WriteLog(state_, "Error while saving the Document" + answer.document.parseError(), "Error");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error while saving the Document" + e.description(), "Error");
  }
  return false;
}

bool WriterOperations::UpdateSavedInfo(const std::string& replyText) {
  try {
    xml::Document reply;
    if (!reply.loadXML(replyText)) platform::Raise(platform::err::Automation, reply.parseError());
    WriteLog(state_, "Saved Response" + reply.documentElement().xml(), "Info");
    if (reply.selectSingleNode("//methodResponse/save/document_id")) {
      // A record names the copy in the account's own folder, and the version that copy holds. A
      // file saved elsewhere (Save As into another folder) found the record by its name and is
      // online now, but the record does not move to it: it would lead the add-in outside the
      // account's folders, and the account's copy, saved next, is to meet the newer version.
      const std::string saved = GetActiveDocumentFullName();
      if (!InUserDocsFolder(state_, saved)) {
        WriteLog(state_, "Saved from outside the user folder; the map record stays as it was: " + saved, "Info");
        return true;
      }
      // The record keeps the file-name form the save found it by, the name of the copy: the
      // next Save of the same file finds it again (a copy kept under a free name is not named
      // after the document).
      const DocumentMapRecord record{TextAt(reply, "//methodResponse/save/document_id"),
                                     TextAt(reply, "//methodResponse/save/document_name"),
                                     MapKey(state_, Word()->ActiveDocument()->Name()),
                                     TextAt(reply, "//methodResponse/save/version"), saved};
      if (!UpdateMapXml(state_, record)) return false;
      WriteLog(state_, "Version updated Sucessfully", "Info");
      return true;
    }
    if (xml::Node info = reply.selectSingleNode(kWriterErrorInfo)) {
      ShowMessage(state_, info.text(), 1);
      return false;
    }
    WriteLog(state_, "Error in UpdateSavedInfo", "Error");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error in UpdateSavedInfo" + e.description(), "Error");
  }
  return false;
}

bool WriterOperations::RefreshLocalMap() {
  try {
    const MapFile map(MapFilePath(state_));
    if (map.Loaded()) map.Save();
    WriteLog(state_, "Local XML Sucessfully refreshed", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error while refreshing the local XML" + e.description(), "Error");
    return false;
  }
}

}  // namespace tavo::writer
