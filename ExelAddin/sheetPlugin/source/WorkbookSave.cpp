// Saving the active workbook over its online workbook. The Save route sends the file and lets
// the service refuse a save over a newer version (code 2855); the publish route first compares
// the online modification time with the recorded one. A workbook that is not linked yet is
// offered for adding (Save) or publishing (publish) instead.
#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "ExelAddin/sheetPlugin/source/TimeText.h"
#include "common/Base64.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/UnfinishedPublishes.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/SheetApiRequest.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::sheet {
namespace {

namespace xml = platform::xml;

constexpr auto kModal = platform::forms::ShowMode::Modal;

}  // namespace

bool SheetOperations::UpdateInSheet(bool overwrite) { return UpdateWorkbook(Route::Save, overwrite); }

bool SheetOperations::UpdateInSheetShare(bool overwrite) { return UpdateWorkbook(Route::Publish, overwrite); }

bool SheetOperations::UpdateWorkbook(Route route, bool overwrite) {
  const bool save = route == Route::Save;
  AddinDialogs& dialogs = Dialogs(state_);
  Excel()->ActiveWorkbook()->Save();
  const MapFile map(MapFilePath(state_));
  if (!map.Loaded()) {
    // Without the map nothing can be told about the workbook: that is no success.
    WriteLog(state_, "Error while Updating into Tavo Sheet the local XML cannot be read", "Error");
    return false;
  }
  const MapRecord record = map.WorkbookOfFile(currentWorkbookPath_);
  if (!record) {
    if (save) dialogs.frmConfirm.Show(kModal);
    else dialogs.frmLicense.Show(kModal);
    return true;
  }
  WriteLog(state_, "Information of the WorkBook to be saved " + record.Markup(), "Info");
  const std::string id = record.Id();
  const std::string updateLock = record.UpdateLock();
  const std::string name = record.Name();
  const std::string modified = record.ModifiedTime();
  const std::string created = record.CreatedTime();

  if (!save && !CheckWorkbookConflict(id, modified)) {
    // The online copy is newer: the user decides whether to save over it.
    dialogs.frmLowVersion.Show(kModal);
    return true;
  }

  ShowStatus(state_, "Reading Workbook...");
  // The file's bytes as they are, for both routes: no code page stands between them. They are
  // read and encoded a piece at a time, so that the whole file is never held beside its text.
  std::string content = [&] {
    if (save) return base64::EncodeFileLines(currentWorkbookPath_, base64::FinalBreak::AfterFullLastLine);
    ShowStatus(state_, "Encoding Workbook...");
    return Base64Class().EncodeFileBytes(currentWorkbookPath_);
  }();
  currentWorkbookId_ = id;
  currentWorkbookName_ = name;
  currentModifiedTime_ = modified;
  currentCreatedTime_ = created;

  if (!SaveWorkbook(route, id, updateLock, std::move(content), overwrite)) {
    WriteLog(state_, "Error while Updating into Tavo Sheet", "Error");
    return false;
  }
  // When a question took the save's place and nothing reached the service, no status says
  // that it did.
  if (!save && sentToService_) {
    // A publish of it that did not get through at its creation is finished now, over the
    // workbook as just saved.
    const std::optional<PublishOutcome> finished = FinishUnfinishedPublish(state_, id);
    if (!finished) ShowStatus(state_, "Workbook Updated Sucessfully !!");
    else if (*finished == PublishOutcome::Published) ShowStatus(state_, "The Workbook is Published successfully!");
    else ShowMessage(state_, UnfinishedPublishText(*finished, "workbook", "Tavo Sheet"), 0);
  }
  return true;
}

// True unless the online copy is later than the recorded time. The time comes from a fresh list:
// the last one shown may be old (a save since has changed the recorded time), filtered by a
// search, or not fetched at all in this run; only when none can be had is the last one used. A
// workbook the service does not list, and times that are not understood, leave the decision to
// the service's own check when the save is sent.
bool SheetOperations::CheckWorkbookConflict(const std::string& id, const std::string& recordedTime) {
  const std::string expression = ListedWorkbookById(id);
  WriteLog(state_, expression, "Info");
  try {
    xml::Document fresh;
    xml::Node entry;
    try {
      if (fresh.loadXML(SendSheetRequest(ApiUrl(state_), GetWorkbooksBody()))) entry = fresh.selectSingleNode(expression);
    } catch (const platform::RuntimeError&) {
      // No answer: the last list it is.
    }
    if (!entry && state_.gDocListFullRoot) entry = state_.gDocListFullRoot.selectSingleNode(expression);
    if (!entry) {
      WriteLog(state_, "Error While Checking the work book for conflict", "Error");
      return true;
    }
    const std::optional<std::int64_t> online = TimeValue(entry.child(3).text());
    const std::optional<std::int64_t> recorded = TimeValue(recordedTime);
    return !online || !recorded || *online <= *recorded;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While Checking the work book for conflict" + e.description(), "Error");
    return true;
  }
}

bool SheetOperations::SaveWorkbook(Route route, const std::string& id, const std::string& updateLock,
                                   std::string content, bool overwrite) {
  const bool save = route == Route::Save;
  const SheetCaller caller = save ? SheetCaller::SaveWorkbook : SheetCaller::SaveWorkbookChecked;
  // The content becomes the body, so that the host holds the workbook's text once.
  std::string body = SaveWorkbookBody(id, updateLock, std::move(content), overwrite);
  ShowStatus(state_, "Contacting Tavo Sheet...");
  // The time parameter of two saves in a row must differ.
  platform::Sleep(platform::Milliseconds(1000));
  const std::string url = SaveWorkbookUrl(state_);
  std::string answer;
  std::string description;
  try {
    answer = SendSheetRequest(url, std::move(body));
  } catch (const platform::RuntimeError& e) {
    // No answer: reported below as an answer that does not parse.
    description = e.description();
  }
  ShowStatus(state_, save ? state_.strings["gMsg59"] : std::string("Sending Workbook to Tavo Sheet..."));
  xml::Document doc;
  if (!doc.loadXML(answer)) {
    WriteLog(state_, "Error while saving the workbook" + description, "Error");
    ShowMessage(state_, save ? state_.strings["gMsg64"] : std::string("An error occurred while saving the Workbook."), 0);
    return false;
  }
  ShowStatus(state_, save ? state_.strings["gMsg60"] : std::string("WorkBook Sent Sucessfully..."));
  WriteLog(state_, doc.xml(), "Info");

  const SheetErrorCheck check = SaveAnswerError(doc);
  // An answer that holds neither an error code nor a result has not saved anything either.
  const bool saved = !check.isError && doc.selectSingleNode("//methodResponse/result");
  if (!saved) {
    const SheetErrorAction action = SheetErrorFor(state_, caller, check.isError ? check.code : std::nullopt);
    AddinDialogs& dialogs = Dialogs(state_);
    switch (action.dialog) {
      case SheetDialog::Confirm: dialogs.frmConfirm.Show(kModal); return true;
      case SheetDialog::License: dialogs.frmLicense.Show(kModal); return true;
      case SheetDialog::LowVersion: dialogs.frmLowVersion.Show(kModal); return true;
      case SheetDialog::None: break;
    }
    if (!check.isError) WriteLog(state_, "Error in UpdateSavedInfo the answer holds no result", "Error");
    ShowMessage(state_, action.message, 0);
    return false;
  }
  ShowStatus(state_, save ? "Workbook Saved Sucessfully !" : "Workbook Updated Sucessfully !");
  sentToService_ = true;
  UpdateSavedInfo(answer);
  return true;
}

bool SheetOperations::UpdateSavedInfo(const std::string& response) {
  std::string description;
  try {
    xml::Document doc;
    if (doc.loadXML(response)) {
      WriteLog(state_, "Saved Response" + doc.xml(), "Info");
      if (const xml::Node result = doc.selectSingleNode("//methodResponse/result")) {
        const WorkbookMapRecord record{result.selectSingleNode("workbookId").text(),
                                       Utf8ToUnicode(result.selectSingleNode("workbookName").text()),
                                       currentCreatedTime_,
                                       result.selectSingleNode("modifiedTime").text(),
                                       result.selectSingleNode("updateLock").text(),
                                       currentWorkbookPath_};
        if (!UpdateMapXml(state_, record)) return false;
        WriteLog(state_, "informations updated Sucessfully in local XML", "Info");
        return true;
      }
      if (doc.selectSingleNode("//methodResponse/Error/info")) return false;
    }
  } catch (const platform::RuntimeError& e) {
    description = e.description();
  }
  WriteLog(state_, "Error in UpdateSavedInfo" + description, "Error");
  return false;
}

}  // namespace tavo::sheet
