// Creating a new online workbook from the active local one (Add), or creating it public under
// a licence (publish as new). The workbook then moves into the user's folder, protected with the
// account password, and a map record links it to its new online workbook.
#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/Base64.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/UnfinishedPublishes.h"
#include "common/UserFiles.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/SheetApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::sheet {
namespace {

namespace text = platform::text;
namespace xml = platform::xml;

}  // namespace

void SheetOperations::AddWorkbookToTavo() { AddActiveWorkbook(Route::Save, nullptr); }

void SheetOperations::PublishWorkbookToTavo(const LicenceChoice& licence) { AddActiveWorkbook(Route::Publish, &licence); }

void SheetOperations::AddActiveWorkbook(Route route, const LicenceChoice* licence) {
  const bool add = route == Route::Save;
  std::string description;
  try {
    const office::Ref<excel::Workbook> book = WorkbookToSend(
        {.noWorkbook = add ? state_.strings["gMsg38"] : std::string("Open a Workbook and then Add to Tavo Sheet"),
         .neverSaved = add ? state_.strings["gMsg39"]
                           : std::string("The Workbook has to be locally saved for it to be added to Tavo. Please "
                                         "'Save' the file before adding it to Tavo"),
         .notXls = add ? state_.strings["gMsg70"]
                       : std::string(" files cannot be added. Please save the file as .xls and add.")});
    if (!book) return;
    WriteLog(state_, "WorkBook Path |" + currentWorkbookPath_, "Info");
    state_.gDocumentExtension = ".xls";
    const std::string name = text::Replace(book->Name(), ".xls", "");
    ShowStatus(state_, "Transfering Workbook to Tavo...");
    if (const std::optional<PublishOutcome> added = AddWorkbook(route, name, currentWorkbookPath_, licence)) {
      if (*added == PublishOutcome::Published)
        ShowStatus(state_, add ? "The Workbook is created successfully!" : "The Workbook is Published successfully!");
      else
        ShowMessage(state_, UnfinishedPublishText(*added, "workbook", "Tavo Sheet"), 0);
      WriteLog(state_, "workbook [ " + name + " ] Created Sucessfully -", "Info");
      KeepActiveWorkbook();
      return;
    }
  } catch (const platform::RuntimeError& e) {
    // The publish has no handler of its own: the licence picker that started it tells the user.
    if (!add) throw;
    description = e.description();
  }
  WriteLog(state_, "Error While adding the workbook -" + description, "Error");
  ShowMessage(state_, "Error occured while adding the Workbook to Tavo sheet", 0);
  if (add) ShowMessage(state_, state_.strings["gMsg51"], 0);
}

std::optional<PublishOutcome> SheetOperations::AddWorkbook(Route route, const std::string& name,
                                                           const std::string& path, const LicenceChoice* licence) {
  const bool publish = route == Route::Publish;
  try {
    const std::string wanted = state_.gUserDocsFolder + name + ".xls";
    const std::string target = getNewFileLocation(state_, wanted, 1);
    WriteLog(state_, "to be saved file Name changed from " + wanted + " to " + target, "Info");
    ShowStatus(state_, "Reading the Workbook...");
    // The file's bytes as they are: no code page stands between them and the service. They are
    // read as they are encoded, so that the whole file is never held beside its text; a file
    // that cannot be read fails the add.
    ShowStatus(state_, "Encoding the Workbook...");
    const std::string body = AddWorkbookBody(name, Base64Class().EncodeFileBytes(path));
    ShowStatus(state_, "Contacting Tavo Sheet...");
    const std::string url = ApiUrl(state_);
    ShowStatus(state_, "Sending Workbook...");
    const std::string answer = SendSheetRequest(url, body);
    WriteLog(state_, (publish ? "Request for NewSharedWorkBook | " : "Request for NewWorkBook | ") + body, "Info");
    ShowStatus(state_, publish ? std::string("Creating Workbook in Tavo Sheet...") : state_.strings["gMsg65"]);

    xml::Document doc;
    if (!doc.loadXML(answer)) return std::nullopt;
    WriteLog(state_, "Response for New workbook request | " + answer, "Info");
    if (const SheetErrorCheck check = AddAnswerError(doc); check.isError) {
      const SheetCaller caller = publish ? SheetCaller::AddPublicWorkbook : SheetCaller::AddWorkbook;
      if (check.showsMessage) ShowMessage(state_, SheetErrorFor(state_, caller, check.code).message, 0);
      return std::nullopt;
    }
    const std::string id = doc.selectSingleNode("//methodResponse/result/workbookId").text();
    const std::string created = doc.selectSingleNode("//methodResponse/result/createdTime").text();
    const WorkbookMapRecord record{id,
                                   Utf8ToUnicode(doc.selectSingleNode("//methodResponse/result/workbookName").text()),
                                   created,
                                   created,
                                   doc.selectSingleNode("//methodResponse/result/updateLock").text(),
                                   target};
    // The workbook is online now, whatever becomes of its publish: it is linked all the same,
    // and a publish that did not get through is remembered, for the next Publish to finish.
    const PublishOutcome published =
        publish && licence ? PublishAndRemember(state_, id, *licence) : PublishOutcome::Published;
    WriteLog(state_, "Before Appending in to MapXML", "Info");
    if (publish) ShowStatus(state_, "Moving Workbook into Tavo UserFolder...");
    if (!MoveWorkbookToUserFolder(target)) return std::nullopt;
    ShowStatus(state_, publish ? std::string("Updating Local informations...") : state_.strings["gMsg69"]);
    if (!AppendWorkbookIntoMapXml(state_, record)) return std::nullopt;
    RemoveOtherRecordsOfCopy(state_, record);
    ShowStatus(state_, "");
    return published;
  } catch (const platform::RuntimeError&) {
    return std::nullopt;
  }
}

}  // namespace tavo::sheet
