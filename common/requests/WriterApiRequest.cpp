#include "common/requests/WriterApiRequest.h"

#include <array>

#include "common/AddinState.h"
#include "common/signin/SharedSignIn.h"
#include "common/requests/MessageText.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/XmlBody.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo {
namespace {

struct WriterMessages {
  WriterCaller caller;
  ShownText code1401, code1807, code1890, other;
  int kind;
};

constexpr std::string_view kPublishOther = "Document Create failed. Please try to 'Add' it again.";

constexpr std::array<WriterMessages, 7> kWriterMessages{{
    {WriterCaller::DocumentList, Key("gMsg17"), Key("gMsg18"), Key("gMsg19"), Key("gMsg20"), 1},
    {WriterCaller::OpenDocument, Key("gMsg17"), Key("gMsg18"), Key("gMsg19"), Key("gMsg20"), 0},
    {WriterCaller::VersionCheck, Key("gMsg17"), Key("gMsg18"), Key("gMsg19"), Key("gMsg20"), 1},
    {WriterCaller::Save, Key("gMsg17"), Key("gMsg32"), Key("gMsg19"), Key("gMsg32"), 0},
    {WriterCaller::Add, Key("gMsg17"), Key("gMsg33"), Key("gMsg19"), Key("gMsg33"), 0},
    {WriterCaller::ListRefresh, Key("gMsg17"), Key("gMsg25"), Key("gMsg19"), Key("gMsg25"), 0},
    {WriterCaller::Publish, Fixed("Authentication Failed.Please Login again."), Fixed(kPublishOther),
     Fixed("Your Tavo API key has been temporarily blocked. Please contact us at api-support@tavo.example for "
             "further details."),
     Fixed(kPublishOther), 0},
}};

}  // namespace

WriterApiRequest::WriterApiRequest(std::string_view methodName) : methodName_(methodName) {}

WriterApiRequest& WriterApiRequest::Member(std::string_view name, std::string_view type, std::string_view valueMarkup) {
  members_ += "<member><name>" + XmlText(name) + "</name><value><" + std::string(type) + ">" +
              std::string(valueMarkup) + "</" + std::string(type) + "></value></member>";
  return *this;
}

WriterApiRequest& WriterApiRequest::String(std::string_view name, std::string_view value) {
  return Member(name, "string", XmlText(value));
}

WriterApiRequest& WriterApiRequest::Long(std::string_view name, std::string_view value) {
  return Member(name, "long", XmlText(value));
}

WriterApiRequest& WriterApiRequest::Double(std::string_view name, std::string_view value) {
  return Member(name, "double", XmlText(value));
}

WriterApiRequest& WriterApiRequest::Content(std::string_view name, std::string_view text) {
  return Member(name, "string", CdataSection(platform::text::Replace(text, "\x01", "")));
}

std::string WriterApiRequest::Body() const {
  return "<methodCall><methodName>" + XmlText(methodName_) + "</methodName><params><param><value><struct>" +
         members_ + "</struct></value></param></params></methodCall>";
}

std::string GetDocumentsBody() { return WriterApiRequest("writer.getDocuments").Body(); }

std::string GetSharedDocumentsBody() { return WriterApiRequest("writer.getSharedDocuments").Body(); }

std::string ViewDocumentBody(std::string_view name, std::string_view id, std::string_view version) {
  return WriterApiRequest("writer.viewDocument").String("documentname", name).Long("documentid", id)
      .Double("version", version).Body();
}

std::string GetVersionBody(std::string_view id) {
  return WriterApiRequest("writer.getVersion").Double("documentid", id).Body();
}

std::string SaveDocumentBody(std::string_view name, std::string_view content, std::string_view id,
                             std::string_view version) {
  return WriterApiRequest("writer.saveDocument").String("documentname", name).Content("content", content)
      .Long("documentid", id).Double("version", version).Body();
}

std::string NewDocumentBody(std::string_view name, std::string_view content) {
  return WriterApiRequest("writer.newDocument").String("documentname", name).Content("content", content).Body();
}

std::string UploadImageBody(std::string_view type, std::string_view base64) {
  return WriterApiRequest("writer.uploadImage").String("contenttype", type).String("content", base64).Body();
}

std::string SendWriterRequest(const AddinState& state, std::string body) {
  return PostToService(ApiUrl(state), std::move(body));
}

std::string ViewDocument(const AddinState& state, std::string_view name, std::string_view id,
                         std::string_view version) {
  try {
    return SendWriterRequest(state, ViewDocumentBody(name, id, version));
  } catch (const platform::RuntimeError&) {
    return "";
  }
}

std::string GetDocumentVersion(const AddinState& state, std::string_view id) {
  try {
    return SendWriterRequest(state, GetVersionBody(id));
  } catch (const platform::RuntimeError&) {
    return "";
  }
}

WriterAnswer ClassifyWriterAnswer(std::string_view responseText, std::string_view successPath) {
  WriterAnswer answer;
  if (!answer.document.loadXML(responseText)) return answer;
  if (!successPath.empty() && answer.document.selectSingleNode(successPath)) {
    answer.kind = AnswerKind::Success;
  } else if (platform::xml::Node code = answer.document.selectSingleNode(kWriterErrorCode)) {
    answer.kind = AnswerKind::ErrorCode;
    answer.errorCode = code.text();
  } else if (successPath.empty()) {
    answer.kind = AnswerKind::Success;
  }
  return answer;
}

CallerMessage WriterErrorMessage(AddinState& state, WriterCaller caller, std::string_view code) {
  if (code == "1401") NoteRefusedTicket(state);
  for (const WriterMessages& row : kWriterMessages) {
    if (row.caller != caller) continue;
    const ShownText text = code == "1401" ? row.code1401
                             : code == "1807" ? row.code1807
                             : code == "1890" ? row.code1890
                                              : row.other;
    return {TextOf(state, text), row.kind};
  }
  return {};
}

}  // namespace tavo
