// The document list: fetch the account's online documents, show them in frmDocList, filter
// them as the user types, and open the one the user picks.
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/WriterApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::writer {
namespace {

namespace xml = platform::xml;
namespace text = platform::text;

// Why a list could not be shown: a failure the caller logs and tells the user about.
struct ListFailure {
  std::string description;
};

}  // namespace

bool WriterOperations::GetDocuments() {
  return ListDocuments(GetDocumentsBody(), "Login to Tavo Writer to View Documents");
}

bool WriterOperations::GetSharedDocuments() {
  return ListDocuments(GetSharedDocumentsBody(), Msg(state_, "gMsg24").c_str());
}

bool WriterOperations::ListDocuments(const std::string& body, const char* signedOutText) {
  if (text::Trim(state_.gTicket).empty()) {
    ShowMessage(state_, signedOutText, 0);
    return false;
  }
  frmDocList& dialog = Dialogs(state_).frmDocList;
  try {
    WriteLog(state_, "Request for document lists" + body, "Info");
    const std::string response = SendWriterRequest(state_, body);
    WriteLog(state_, "Response for document lists" + response, "Info");

    // Two parses of one answer: searches build their filtered lists from the second, so the
    // full list survives any number of searches.
    xml::Document shown, full;
    if (!shown.loadXML(response)) throw ListFailure{shown.parseError()};
    state_.gDocListRoot = shown.documentElement();
    if (!full.loadXML(response)) throw ListFailure{full.parseError()};
    state_.gDocListFullRoot = full.documentElement();
    WriteLog(state_, state_.gDocListRoot.xml(), "Info");

    if (xml::Node code = shown.selectSingleNode(kWriterErrorCode)) {
      const CallerMessage message = WriterErrorMessage(state_, WriterCaller::DocumentList, code.text());
      ShowMessage(state_, message.text, message.kind);
      return false;
    }

    // A list left behind by an open that failed after the local-copy question still holds its
    // rows and search text: start from a fresh dialog.
    if (dialog.IsLoaded()) dialog.Unload();
    const std::size_t count = state_.gDocListRoot.childCount();
    for (std::size_t i = 0; i < count; ++i)
      dialog.listdoc.AddItem(state_.gDocListRoot.child(i).firstChild().text(), static_cast<int>(i));
    if (count > 0) dialog.listdoc.SetListIndex(0);

    if (!RefreshLocalMap()) throw ListFailure{};
    dialog.Show(platform::forms::ShowMode::Modal);
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While Retrieving document lists " + e.description(), "Error");
  } catch (const ListFailure& failure) {
    WriteLog(state_, "Error While Retrieving document lists " + failure.description, "Error");
  }
  ShowMessage(state_, Msg(state_, "gMsg25"), 0);
  return false;
}

void WriterOperations::SearchDocuments(const std::string& searchText) {
  platform::forms::ListBox& list = Dialogs(state_).frmDocList.listdoc;
  xml::Document filtered;
  filtered.loadXML("<methodResponse></methodResponse>");
  xml::Node target = filtered.documentElement();
  try {
    // Every row goes, as removing the first one until none is left would leave it.
    list.Clear();
    // The filtered list holds copies of the full list's entries, each looked up by its id: the
    // first entry with that id not taken yet, as moving them out of a copy of the full list
    // would find them. The full list itself stays as it is.
    const xml::Node full = state_.gDocListFullRoot;
    xml::ChildTextIndex byId(full, "//methodResponse/document", "document_id");
    // Read by position: a handle for one entry at a time, not for all 10,000 at once.
    const std::size_t count = full.childCount();
    for (std::size_t i = 0; i < count; ++i) {
      const xml::Node entry = full.child(i);
      const std::string name = entry.firstChild().text();
      const std::string id = entry.child(1).text();
      if (!text::ContainsText(name, searchText)) continue;
      target.appendCopy(byId.Take(id));
      list.AddItem(name, list.ListCount());
    }
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While searching the document in writer" + e.description(), "Error");
  }
  // The rows stand for the filtered list's entries, also when the search stopped early, and
  // the details that selecting row 0 shows are those of the filtered list's first entry.
  state_.gDocListRoot = target;
  if (list.ListCount() > 0) list.SetListIndex(0);
}

std::string WriterOperations::LocalCopyOfSelectedDocument() {
  try {
    const platform::forms::ListBox& list = Dialogs(state_).frmDocList.listdoc;
    const int row = list.ListIndex();
    if (row == -1 || !list.Selected(row) || !state_.gDocListRoot.hasChildNodes()) return {};
    const xml::Node entry = state_.gDocListRoot.child(static_cast<std::size_t>(row));
    const MapFile map(MapFilePath(state_));  // a map that does not load records no extension
    const DownloadedCopy copy = CopyOfDownload(state_, map, entry.child(1).text(), entry.child(3).text());
    return state_.gUserDocsFolder + copy.nameUrl + copy.extension;
  } catch (const platform::RuntimeError&) {
    return {};  // an entry without its details: the list names the copy
  }
}

void WriterOperations::LoadSelectedDocument() {
  AddinDialogs& dialogs = Dialogs(state_);
  std::string message = Msg(state_, "gMsg20");
  try {
    dialogs.frmlocalversion.Unload();
    Ref<word::Application> app = Word();
    platform::forms::ListBox& list = dialogs.frmDocList.listdoc;
    const int row = list.ListIndex();
    if (row == -1) {
      ShowMessage(state_, Msg(state_, "gMsg10"), 0);
    } else {
      std::string response, name, nameUrl;
      if (list.Selected(row) && state_.gDocListRoot.hasChildNodes()) {
        xml::Node entry = state_.gDocListRoot.child(static_cast<std::size_t>(row));
        name = entry.child(0).text();
        const std::string version = entry.child(2).text();
        const std::string id = entry.child(1).text();
        nameUrl = entry.child(3).text();
        response = ViewDocument(state_, name, id, version);
      }
      WriteLog(state_, "Selected Document Contents |" + response, "Info");
      if (response.empty()) {
        ShowMessage(state_, message, 0);
      } else {
        dialogs.frmDocList.Unload();
        const WriterAnswer answer = ClassifyWriterAnswer(response, "");
        if (answer.kind == AnswerKind::Success) {
          const std::string localName = OpenDocumentInWord(response, name, nameUrl);
          WriteLog(state_, "File Openned  and Local File name is " + localName, "Info");
          if (!localName.empty()) {
            app->Documents().Item(localName)->Activate();
            ShowStatus(state_, Msg(state_, "gMsg21"));
            WriteLog(state_, "Sucessfully loaded the document" + localName + " in Word", "Info");
          }
        } else {
          if (answer.kind == AnswerKind::ErrorCode)
            message = WriterErrorMessage(state_, WriterCaller::OpenDocument, answer.errorCode).text;
          ShowMessage(state_, message, 0);
          WriteLog(state_, "Error While loading the document in Word", "Error");
        }
      }
    }
  } catch (const platform::RuntimeError& e) {
    ShowMessage(state_, message, 0);
    WriteLog(state_, "Error While loading the document in Word" + e.description(), "Error");
  }
  platform::files::DeleteFileA(UploadHtmlPath(state_));
}

}  // namespace tavo::writer
