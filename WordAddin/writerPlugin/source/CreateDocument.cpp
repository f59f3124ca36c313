// New online documents: create one from the active document (optionally public, under a
// licence), record it in the map and keep the Word document as its local copy; and the ends of
// the add, overwrite and licence dialogs.
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/LocalFileName.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/UnfinishedPublishes.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/WriterApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace xml = platform::xml;

}  // namespace

bool WriterOperations::CreateDocument(const std::string& name, const std::string& content) {
  return NewDocument(name, content, nullptr).has_value();
}

// True when the document was created and linked, public or not (the caller tells which).
bool WriterOperations::CreatePublicDocument(const std::string& name, const std::string& content,
                                            const std::string& licenceName, const std::string& licenceUrl,
                                            const std::string& licenceImage) {
  const PublishLicence licence{licenceName, licenceUrl, licenceImage};
  return NewDocument(name, content, &licence).has_value();
}

std::optional<PublishOutcome> WriterOperations::NewDocument(const std::string& name, const std::string& content,
                                                            const PublishLicence* licence) {
  std::string why;
  try {
    const std::string body = NewDocumentBody(name, content);
    const std::string reply = SendWriterRequest(state_, body);
    WriteLog(state_, "Request for NewDocument | " + body, "Info");
    const WriterAnswer answer = ClassifyWriterAnswer(reply, "//methodResponse/create");
    if (!answer.document.documentElement()) throw FlowFailed{answer.document.parseError()};
    WriteLog(state_, "Response for New Document request | " + reply, "Info");
    if (answer.kind == AnswerKind::ErrorCode) {
      const CallerMessage message =
          WriterErrorMessage(state_, licence ? WriterCaller::Publish : WriterCaller::Add, answer.errorCode);
      ShowMessage(state_, message.text, message.kind);
      return std::nullopt;
    }
    if (answer.kind != AnswerKind::Success) throw FlowFailed{};

    const xml::Document& created = answer.document;
    const DocumentMapRecord record{TextAt(created, "//methodResponse/create/document_id"),
                                   TextAt(created, "//methodResponse/create/document_name"),
                                   NotADeviceName(TextAt(created, "//methodResponse/create/document_name_url")),
                                   TextAt(created, "//methodResponse/create/version"), ""};
    TextAt(created, "//methodResponse/create/info");
    // The copy is kept under the file-name form the service sends (a device name made a file
    // name, as on open): one that leads out of the user's folder is neither written nor recorded.
    if (LeavesFolder(record.nameUrl))
      throw FlowFailed{"the document's file name leaves the user folder: " + record.nameUrl};
    // The document is online now, whatever becomes of its publish: it is linked all the same,
    // and a publish that did not get through is remembered, for the next Publish to finish.
    const PublishOutcome published =
        licence ? PublishAndRemember(state_, record.id, *licence) : PublishOutcome::Published;

    const DocumentMapRecord local = NewCopyRecord(record);
    state_.gDocumentNameUrl = local.nameUrl;
    WriteLog(state_, "Before Appending in to MapXML", "Info");
    if (!AppendIntoMapXml(state_, local)) throw FlowFailed{};
    RemoveOtherRecordsOfCopy(state_, local);
    if (!platform::text::Trim(state_.gDocumentNameUrl).empty() && !MoveDocumentToUserFolder()) throw FlowFailed{};
    WriteLog(state_, "Sucessfully created the document", "Info");
    TellPicturesLeftOut();
    return published;
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  } catch (const FlowFailed& failure) {
    why = failure.description;
  }
  WriteLog(state_, "Error While creating the document " + why, "Error");
  return std::nullopt;
}

void WriterOperations::AddActiveDocument() {
  std::string why;
  try {
    Ref<word::Application> app = Word();
    const std::string html = ConvertDocumentToHtml();
    const std::string name = MapKey(state_, app->ActiveDocument()->Name());
    WriteLog(state_, "Before Saving the New Document", "Info");
    // A failed export is not created as an empty online document.
    if (!html.empty() && CreateDocument(name, html)) {
      WriteLog(state_, "After Saving the New Document", "Info");
      ShowStatus(state_, Msg(state_, "gMsg04"));
      return;
    }
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  }
  ShowMessage(state_, Msg(state_, "gMsg08"), 0);
  WriteLog(state_, "Error While Creating Document |" + why, "Error");
}

// The version sent is the one the local copy was made from; a failed export sends nothing. A
// failure is told as the Save command tells it: the user answered Yes to have it saved.
void WriterOperations::OverwriteActiveDocument() {
  if (SavePendingDocument()) {
    WriteLog(state_, "Sucessfully Updated in Tavo Writer after version conflict", "Info");
    return;
  }
  WriteLog(state_, "unable to save in tavo writer after version conflict", "Error");
  ShowMessage(state_, Msg(state_, "gMsg32"), 0);
}

bool WriterOperations::PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                                             const std::string& licenceImage) {
  Ref<word::Application> app = Word();
  const std::string html = ConvertDocumentToHtml();
  if (html.empty()) return false;
  const std::string name = MapKey(state_, app->ActiveDocument()->Name());
  WriteLog(state_, "Before Saving the New Document", "Info");
  const PublishLicence licence{licenceName, licenceUrl, licenceImage};
  const std::optional<PublishOutcome> created = NewDocument(name, html, &licence);
  if (!created) return false;
  WriteLog(state_, "After Saving the New Document", "Info");
  // Created and linked, but not published: not the picker's failure, which would have the user
  // add it a second time.
  if (*created == PublishOutcome::Published) ShowStatus(state_, "The Document is Published Successfully");
  else ShowMessage(state_, UnfinishedPublishText(*created, "document", "Tavo Writer"), 0);
  return true;
}

}  // namespace tavo::writer
