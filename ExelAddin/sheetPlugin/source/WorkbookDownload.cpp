// Opening a listed workbook: the question when a local copy exists, the local file, the
// download, the open in Excel, the copy protected with the account password and its map record.
#include <optional>
#include <string>

#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/ExcelAlerts.h"
#include "ExelAddin/sheetPlugin/source/FileNames.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/LocalFileName.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/TempCopies.h"
#include "common/UserFiles.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/http/UrlDownload.h"

namespace tavo::sheet {
namespace {

namespace text = platform::text;
namespace xml = platform::xml;

}  // namespace

office::Ref<excel::Application> SheetOperations::Excel() const {
  office::Ref<excel::Application> app = office::RefCast<excel::Application>(gHostApp);
  if (!app) platform::Raise(platform::err::ObjectNotSet, "The add-in is not connected to Excel");
  return app;
}

void SheetOperations::LoadSelectedWorkbook() {
  ShowStatus(state_, "Opening Workbook from TavoSheet...");
  state_.gDocumentExtension = ".xls";
  AddinDialogs& dialogs = Dialogs(state_);
  const int index = dialogs.frmDocList.listdoc.ListIndex();
  if (index == -1) {
    ShowMessage(state_, state_.strings["gMsg10"], 0);
    return;
  }
  // The local copy as it was before the download, until Excel has opened what came instead: an
  // answer that is no workbook must not take the place of the user's copy.
  std::string keptPath;
  std::optional<std::string> keptCopy;
  std::string description;
  try {
    const xml::Node entry = state_.gDocListRoot.firstChild().child(static_cast<std::size_t>(index));
    WriteLog(state_, "Opening Doc XML ===" + entry.xml(), "Info");
    const std::string id = entry.selectSingleNode("workbookId").text();
    // The name as the list shows it: the map takes the re-decoded name too, and the file its
    // form as a Windows file name, so that no name the service sends leads out of the folder.
    const std::string name = Utf8ToUnicode(entry.selectSingleNode("workbookName").text());
    const std::string created = entry.selectSingleNode("createdTime").text();
    const std::string modified = entry.selectSingleNode("lastModifiedTime").text();
    const std::string updateLock = entry.selectSingleNode("updateLock").text();
    currentWorkbookId_ = id;
    currentWorkbookName_ = name;
    currentCreatedTime_ = created;
    currentModifiedTime_ = modified;

    std::string base = state_.gWriterUrl;
    if (!text::EndsWith(base, "/")) base += "/";
    const std::string url = base + "open.do?apikey=" + std::string(kApiKey) + "&ticket=" + state_.gTicket +
                            "&export=xls&docid=" + id +
                            "&time=" + platform::FormatHhMmSs(platform::LocalTime(platform::Now()));
    WriteLog(state_, "Download URl is |" + url, "Info  ");

    // A workbook brought here before: download it again over its local copy?
    const MapFile map(MapFilePath(state_));
    // The records of a map that does not load cannot be walked: run-time error 91.
    if (!map.Loaded()) platform::Raise(platform::err::ObjectNotSet);
    for (const MapRecord& record : map.Records()) {
      if (!text::EqualsText(record.Id(), id)) continue;
      // One that names a file outside the user's folder is not followed (FindWorkbookInLocalMap).
      if (!InUserDocsFolder(state_, record.Filename())) continue;
      dialogs.frmlocalversion.Show(platform::forms::ShowMode::Modal);
      if (state_.gLocalVersionAnswer != 1) return;
      break;
    }

    std::string path;
    if (FindWorkbookInLocalMap(id)) {
      path = currentWorkbookPath_;
      WriteLog(state_, "The Opening Book Name " + name, "info");
      const std::string fileName = FileNameOf(path);
      if (IsWorkbookOpenInExcel(fileName)) {
        // Excel asks about unsaved changes; a workbook the user keeps open is not replaced.
        Excel()->Workbooks().Item(fileName)->Close();
        if (IsWorkbookOpenInExcel(fileName)) {
          WriteLog(state_, "The Opening Book stays open in Excel; it is not downloaded again", "Info");
          return;
        }
      }
    } else {
      WriteLog(state_, "WorkBook is not available in the Local", "Info");
      path = getNewFileLocation(state_, state_.gUserDocsFolder + WindowsFileName(name) + ".xls", 1);
    }
    WriteLog(state_, "New Location is " + path, "Info");

    if (platform::files::FileExists(path)) {
      keptPath = path;
      keptCopy = platform::files::ReadAllBytes(path);
    }
    if (const long rc = platform::http::URLDownloadToFileA(nullptr, url.c_str(), path.c_str(), 0, nullptr)) {
      // The copy is as it was (a download that fails writes nothing; one open in another Excel
      // is not replaced), so there is nothing to put back.
      keptCopy.reset();
      WriteLog(state_, "Error Wile Download from URL error code is " + std::to_string(rc), "Error");
      throw NoRunTimeError{};
    }
    // Only a file that was written is this run's to delete again; a copy that was there before
    // becomes this run's once Excel has opened what replaced it.
    const bool temporary = state_.gSaveLocalFlag != "1";
    if (temporary && !keptCopy) RecordTempDownload(path);

    dialogs.frmDocList.Unload();
    path = text::Replace(path, "\\\\", "\\");
    office::Ref<excel::Application> app = Excel();
    app->Workbooks().Open({.filename = path, .password = state_.gLoginPassword});
    if (temporary && keptCopy) RecordTempDownload(path);
    keptCopy.reset();
    app->ActiveWorkbook()->Activate();
    {
      AlertsOff quiet(*app);
      app->ActiveWorkbook()->SaveAs(
          {.filename = path, .password = state_.gLoginPassword, .accessMode = excel::access_mode::NoChange});
    }
    // A temporary download goes at shut-down as long as it is then as it is now. A workbook the
    // user keeps stays, also when an earlier download of it in this run was temporary (the
    // keep-local choice was changed in between).
    if (temporary) RestampTempCopy(state_, path);
    else KeepTempCopy(state_, path);
    const WorkbookMapRecord record{id, name, created, modified, updateLock, path};
    if (!UpdateMapXml(state_, record)) throw NoRunTimeError{};
    RemoveOtherRecordsOfCopy(state_, record);
    WriteLog(state_, "Sucessfully loaded the WorkBook" + state_.gUserDocsFolder + name + ".xls" + " in Word", "Info");
    ShowStatus(state_, state_.strings["gMsg21"]);
    return;
  } catch (const platform::RuntimeError& e) {
    description = e.description();
  } catch (const NoRunTimeError&) {
    // Nothing raised a run-time error: the Error line ends with no description.
  }
  if (keptCopy) {
    try {
      platform::files::WriteAllBytes(keptPath, *keptCopy);
    } catch (const platform::RuntimeError&) {
      // The failure below is told all the same.
    }
  }
  ShowMessage(state_, state_.strings["gMsg16"], 0);
  WriteLog(state_, "Error While loading the workbook in Excel" + description, "Error");
}

void SheetOperations::RecordTempDownload(const std::string& path) {
  tempMapFiles_.insert(MapFilePath(state_));
  RecordTempCopy(state_, path);
}

bool SheetOperations::FindWorkbookInLocalMap(const std::string& id) {
  bool found = false;
  try {
    const MapFile map(MapFilePath(state_));
    if (map.Loaded()) {
      // The download writes over the file the record names, and may delete it at shut-down: one
      // outside the user's folder is not followed, and the workbook counts as not yet here.
      const MapRecord record = map.Select(WorkbookRecordById(id));
      if (record && !RefusedRecordedCopy(state_, record.Filename())) {
        currentWorkbookPath_ = record.Filename();
        found = true;
      }
    }
    WriteLog(state_, "The Local book location " + currentWorkbookPath_ + " |", "Info");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While Checking the Book in local" + e.description(), "Error");
  }
  return found;
}

// File names are compared as Windows compares them, ignoring case: Excel keeps two workbooks
// of one name apart no more than the file system does.
bool SheetOperations::IsWorkbookOpenInExcel(const std::string& name) {
  bool open = false;
  try {
    for (const office::Ref<excel::Workbook>& book : Excel()->Workbooks().List())
      if (text::EqualsText(book->Name(), name)) open = true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While checking a workbook open in Excel" + e.description(), "Error");
  }
  return open;
}

// The workbook the user adds is the user's own: its file stays at shut-down, also when a temporary
// download of this run once had its path.
bool SheetOperations::MoveWorkbookToUserFolder(const std::string& path) {
  try {
    const std::string file = text::Replace(path, "\\\\", "\\");
    Excel()->ActiveWorkbook()->SaveAs(
        {.filename = file, .password = state_.gLoginPassword, .accessMode = excel::access_mode::NoChange});
    KeepTempCopy(state_, file);
    WriteLog(state_, "Sucessfully moved the workbook into user folder", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While moving the workbook in user folder" + e.description(), "Error");
    return false;
  }
}

}  // namespace tavo::sheet
