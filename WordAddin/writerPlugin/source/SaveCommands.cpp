// The Save, Publish and Add commands: refresh the online list and the map, check that Word has
// a document of a kind the service takes, then hand over to the save, publish or create flow.
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/requests/WriterApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace text = platform::text;
namespace xml = platform::xml;

// Thrown where a command ends in its failure path without a run-time error.
struct CommandFailed {};

// The active document's file name and its extension (the text after the last dot), or why the
// command ends early.
struct ActiveFile {
  std::string name;
  std::string extension;
};

enum class Check { Ok, NoDocument, NoDot, OtherType };

Check ReadActiveFile(ActiveFile& file) {
  Ref<word::Application> app = Word();
  if (app->Documents().Count() == 0) return Check::NoDocument;
  file.name = app->ActiveDocument()->Name();
  const std::size_t dot = text::InStrRev(file.name, ".");
  if (dot == 0) return Check::NoDot;
  file.extension = text::Replace(file.name, file.name.substr(0, dot), "");
  for (const char* accepted : {"rtf", "doc", "docx"})
    if (text::EqualsText(file.extension, accepted)) return Check::Ok;
  return Check::OtherType;
}

}  // namespace

void WriterOperations::SaveInWriter() { SendActiveDocument(false); }
void WriterOperations::SaveInShare() { SendActiveDocument(true); }

// Save and Publish differ only in the flow they hand over to and in what they tell the user.
void WriterOperations::SendActiveDocument(bool publish) {
  try {
    if (!UpdateLocalXml()) throw CommandFailed{};
    ActiveFile file;
    switch (ReadActiveFile(file)) {
      case Check::NoDocument: ShowMessage(state_, Msg(state_, "gMsg38"), 0); return;
      case Check::NoDot: ShowMessage(state_, Msg(state_, "gMsg37"), 0); return;
      case Check::OtherType:
        if (publish) ShowMessage(state_, Msg(state_, "gMsg36"), 0);
        return;
      case Check::Ok: break;
    }
    state_.gDocumentExtension = "." + file.extension;
    WriteLog(state_, "The Extension of the current document is " + state_.gDocumentExtension, "Info");
    const std::string base = text::Replace(file.name, "." + file.extension, "");
    if (!(publish ? UpdateInShare() : UpdateInWriter())) throw CommandFailed{};
    WriteLog(state_, "Document Url Name :" + state_.gDocumentNameUrl + " Opened Doc Name : " + base, "Info");
    return;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While Saviing the Document " + e.description(), "Error");
  } catch (const CommandFailed&) {
    WriteLog(state_, "Error While Saviing the Document ", "Error");
  }
  if (publish) ShowMessage(state_, "Document Save failed. Please try to 'Save' it again.", 0);
  else ShowMessage(state_, Msg(state_, "gMsg32"), 0);
}

void WriterOperations::AddToWriter() {
  std::string why;
  if (UpdateLocalXml()) {
    try {
      ActiveFile file;
      switch (ReadActiveFile(file)) {
        case Check::NoDocument: ShowMessage(state_, Msg(state_, "gMsg38"), 0); return;
        case Check::NoDot: ShowMessage(state_, Msg(state_, "gMsg39"), 0); return;
        case Check::OtherType: return;
        case Check::Ok: break;
      }
      const std::string html = ConvertDocumentToHtml();
      if (!html.empty()) {
        // The conversion saved the document anew: its name and folder are read again.
        Ref<word::Document> doc = Word()->ActiveDocument();
        const std::string name = doc->Name();
        WriteLog(state_, "DocumentName |" + name + " DocumentPath" + doc->Path(), "Info");
        state_.gDocumentExtension = "." + file.extension;
        const std::string title = text::Replace(name, state_.gDocumentExtension, "", text::Compare::Text);
        if (CreateDocument(title, html)) {
          ShowStatus(state_, "The document is created successfully");
          WriteLog(state_, "Document [ " + title + " ] Created Sucessfully -", "Info");
          return;
        }
      }
    } catch (const platform::RuntimeError& e) {
      why = e.description();
    }
  }
  WriteLog(state_, "Error While adding the document -" + why, "Error");
  ShowMessage(state_, Msg(state_, "gMsg08"), 0);
}

bool WriterOperations::UpdateLocalXml() {
  std::string message = Msg(state_, "gMsg31");
  std::string why;
  try {
    const std::string body = GetDocumentsBody();
    WriteLog(state_, "Request for document lists" + body, "Info");
    const std::string response = SendWriterRequest(state_, body);
    WriteLog(state_, "Response for document lists" + response, "Info");
    xml::Document shown, full;
    if (!shown.loadXML(response)) throw CommandFailed{};
    state_.gDocListRoot = shown.documentElement();
    if (!full.loadXML(response)) throw CommandFailed{};
    state_.gDocListFullRoot = full.documentElement();
    WriteLog(state_, state_.gDocListRoot.xml(), "Info");
    if (!state_.gDocListRoot.selectSingleNode(kWriterErrorInfo)) {
      RefreshLocalMap();
      WriteLog(state_, "Sucessfully Updated Local XML ", "Info");
      return true;
    }
    const std::string info = state_.gDocListRoot.selectSingleNode(kWriterErrorInfo).text();
    message = WriterErrorMessage(state_, WriterCaller::ListRefresh, TextAt(shown, kWriterErrorCode)).text;
    WriteLog(state_, "Error response recieved from tavo writer " + info, "Error");
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  } catch (const CommandFailed&) {
  }
  WriteLog(state_, "Error While Updating Local XML " + why, "Error");
  if (!message.empty()) ShowMessage(state_, message, 0);
  return false;
}

std::string WriterOperations::GetActiveDocumentFullName() {
  Ref<word::Document> doc = Word()->ActiveDocument();
  return doc->Path() + "\\" + doc->Name();
}

}  // namespace tavo::writer
