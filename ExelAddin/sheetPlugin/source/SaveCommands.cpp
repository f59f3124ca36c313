// The Save and Publish commands: the active workbook is saved on disk without an open password
// (so that its bytes can be sent), only ".xls" workbooks go online, and afterwards the workbook
// is kept in the user's folder protected with the account password.
#include "ExelAddin/sheetPlugin/source/ExcelAlerts.h"
#include "ExelAddin/sheetPlugin/source/FileNames.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/TempCopies.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::sheet {
namespace {

namespace text = platform::text;

}  // namespace

void SheetOperations::SaveInSheet() { SaveActiveWorkbook(Route::Save); }

void SheetOperations::SaveInSheetShare() { SaveActiveWorkbook(Route::Publish); }

void SheetOperations::SaveActiveWorkbook(Route route) {
  const bool save = route == Route::Save;
  std::string description;
  try {
    const office::Ref<excel::Workbook> book = WorkbookToSend(
        {.noWorkbook = save ? std::string("Open a Workbook and then Save.") : state_.strings["gMsg68"],
         .neverSaved = "The Workbook has to be locally saved for it to be added to Tavo. Please 'Save' the file "
                       "before adding it to Tavo.",
         .notXls = save ? state_.strings["gMsg36"]
                        : std::string(" File cannot be added. Please save the file as .xls and save.")});
    if (!book) return;
    state_.gDocumentExtension = ".xls";
    sentToService_ = false;
    if (save ? UpdateInSheet(false) : UpdateInSheetShare(false)) {
      KeepActiveWorkbook();
      // A temporary download that holds what the service now holds may go at shut-down.
      if (sentToService_) RestampTempCopy(state_, Excel()->ActiveWorkbook()->FullName());
      return;
    }
  } catch (const platform::RuntimeError& e) {
    description = e.description();
  }
  WriteLog(state_, "Error While Saviing the WorkBook " + description, "Error");
  ShowMessage(state_, save ? std::string("An Error occurred while saving the Workbook") : state_.strings["gMsg64"], 0);
}

office::Ref<excel::Workbook> SheetOperations::WorkbookToSend(const RefusalTexts& texts) {
  office::Ref<excel::Application> app = Excel();
  if (app->Workbooks().Count() == 0) {
    ShowMessage(state_, texts.noWorkbook, 0);
    return nullptr;
  }
  office::Ref<excel::Workbook> book = app->ActiveWorkbook();
  if (text::Trim(book->Path()).empty()) {
    ShowMessage(state_, texts.neverSaved, 0);
    return nullptr;
  }
  currentWorkbookPath_ = book->Path() + "\\" + book->Name();
  book->Save();
  {
    AlertsOff quiet(*app);
    book->SaveAs({.filename = currentWorkbookPath_, .password = "", .accessMode = excel::access_mode::NoChange});
  }
  const std::string extension = ExtensionOf(book->Name());
  if (extension == "xls") return book;
  book->Save();
  ProtectInUserFolder(*book);
  ShowMessage(state_, extension + texts.notXls, 0);
  return nullptr;
}

// A question answered on the way may have moved the workbook (an add): it is taken as it is now.
void SheetOperations::KeepActiveWorkbook() {
  office::Ref<excel::Workbook> book = Excel()->ActiveWorkbook();
  book->Save();
  ProtectInUserFolder(*book);
}

// Another file of the same name in the user's folder may be the local copy of another online
// workbook: it is never replaced by this one.
void SheetOperations::ProtectInUserFolder(excel::Workbook& book) {
  const std::string target = state_.gUserDocsFolder + text::Trim(book.Name());
  if (!text::EqualsText(target, book.FullName()) && platform::files::FileExists(target)) {
    WriteLog(state_, "The Workbook stays at " + book.FullName() + ": " + target + " is another file", "Info");
    return;
  }
  AlertsOff quiet(*Excel());
  book.SaveAs({.filename = target, .password = state_.gLoginPassword, .accessMode = excel::access_mode::NoChange});
}

}  // namespace tavo::sheet
