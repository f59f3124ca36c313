#pragma once
// The word processor's request format: an XML method call posted to the API URL, answered by an
// XML methodResponse.
//
//   <methodCall><methodName>writer.viewDocument</methodName><params><param><value><struct>
//   <member><name>documentname</name><value><string>Plan</string></value></member> ...
//   </struct></value></param></params></methodCall>
//
// written as one string without declaration or whitespace. Members are typed string, long or
// double; numbers go in as the text the caller holds. The document contents are CDATA strings
// from which every character U+0001 is removed.
#include <string>
#include <string_view>

#include "platform/xml/XmlDocument.h"

namespace tavo {

struct AddinState;

class WriterApiRequest {
 public:
  explicit WriterApiRequest(std::string_view methodName);

  WriterApiRequest& String(std::string_view name, std::string_view value);
  WriterApiRequest& Long(std::string_view name, std::string_view value);
  WriterApiRequest& Double(std::string_view name, std::string_view value);
  // A document content: a string member holding the text as CDATA.
  WriterApiRequest& Content(std::string_view name, std::string_view text);

  std::string Body() const;

 private:
  WriterApiRequest& Member(std::string_view name, std::string_view type, std::string_view valueMarkup);
  std::string methodName_;
  std::string members_;
};

// Every method with its members in order.
std::string GetDocumentsBody();
std::string GetSharedDocumentsBody();
std::string ViewDocumentBody(std::string_view name, std::string_view id, std::string_view version);
std::string GetVersionBody(std::string_view id);
std::string SaveDocumentBody(std::string_view name, std::string_view content, std::string_view id,
                             std::string_view version);
std::string NewDocumentBody(std::string_view name, std::string_view content);
// `type` is the picture file's extension ("gif", "png", "jpg"), `base64` its bytes.
std::string UploadImageBody(std::string_view type, std::string_view base64);

// Posts a method call to ApiUrl(state) and returns the answer's text; raises
// platform::RuntimeError on a transport failure.
std::string SendWriterRequest(const AddinState& state, std::string body);

// writer.viewDocument and writer.getVersion: the answer's text unparsed, "" when the exchange
// fails.
std::string ViewDocument(const AddinState& state, std::string_view name, std::string_view id,
                         std::string_view version);
std::string GetDocumentVersion(const AddinState& state, std::string_view id);

// Answer elements every caller reads.
inline constexpr std::string_view kWriterErrorCode = "//methodResponse/error/errorCode";
inline constexpr std::string_view kWriterErrorInfo = "//methodResponse/error/info";

// How a caller takes an answer: its success element is present (for lists and views, which
// have none, the answer carries no error code), else an error code decides the message, else
// the caller's general failure path runs (also for an answer that is not XML).
enum class AnswerKind { Success, ErrorCode, Failure };

struct WriterAnswer {
  AnswerKind kind = AnswerKind::Failure;
  std::string errorCode;               // the code's text, as sent, when kind is ErrorCode
  platform::xml::Document document;    // the parsed answer (empty when it did not parse)
};

// `successPath` is the element whose presence means success ("//methodResponse/save/info",
// "//methodResponse/create", "//methodResponse/url"), or "" for lists and views.
WriterAnswer ClassifyWriterAnswer(std::string_view responseText, std::string_view successPath);

// The procedures that map an error code to a message, each with its own texts.
enum class WriterCaller {
  DocumentList,  // GetDocuments, GetSharedDocuments
  OpenDocument,  // LoadSelectedDocument
  VersionCheck,  // CheckDocumentVersion
  Save,          // SaveDocument
  Add,           // CreateDocument
  ListRefresh,   // UpdateLocalXml
  Publish,       // CreatePublicDocument
};

struct CallerMessage {
  std::string text;  // a language text as loaded, or a fixed English text
  int kind = 0;      // the ShowMessage kind: 0 information, 1 error
};

// The message a caller shows for an error code, compared as text with "1401", "1807" and
// "1890" ("01401" or " 1401" are other codes). "1401", the service refusing the ticket, is
// also noted as such (NoteRefusedTicket).
CallerMessage WriterErrorMessage(AddinState& state, WriterCaller caller, std::string_view code);

}  // namespace tavo
