#include "WordAddin/writerPlugin/source/WriterOperations.h"

#include <string>

#include "common/Log.h"
#include "common/Messages.h"
#include "common/UserFiles.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/shell/Shell.h"

namespace tavo::writer {
namespace {

using platform::text::Trim;

// The folder procedures log a failure as "<name>:||<description>||<number>", without a level.
template <class Body>
void Logged(AddinState& state, const char* procedure, Body body) {
  try {
    body();
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, std::string(procedure) + ":||" + e.description() + "||" + std::to_string(e.number()), "");
  }
}

}  // namespace

void WriterOperations::NotAvailable(const char* procedure, const char* what) {
  WriteLog(state_, std::string(procedure) + ": " + what + " is not available in this version", "Info");
  ShowStatus(state_, std::string(what) + " is not available in this version.");
}

void WriterOperations::GetDocuments() { NotAvailable("GetDocuments", "The document list"); }
void WriterOperations::SaveInWriter() { NotAvailable("SaveInWriter", "Saving in Tavo Writer"); }
void WriterOperations::SaveInShare() { NotAvailable("SaveInShare", "Publishing in Tavo Share"); }
void WriterOperations::AddToWriter() { NotAvailable("AddToWriter", "Adding to Tavo Writer"); }
void WriterOperations::LoadSelectedDocument() { NotAvailable("LoadSelectedDocument", "Opening online documents"); }
void WriterOperations::SearchDocuments(const std::string&) { NotAvailable("SearchDocuments", "Searching the list"); }
void WriterOperations::loadlocaldocument() { NotAvailable("loadlocaldocument", "Opening local copies"); }
void WriterOperations::DeleteLocalDocument() { NotAvailable("DeleteLocalDocument", "Deleting local copies"); }
void WriterOperations::AddActiveDocument() { NotAvailable("AddActiveDocument", "Adding to Tavo Writer"); }
void WriterOperations::OverwriteActiveDocument() {
  NotAvailable("OverwriteActiveDocument", "Saving in Tavo Writer");
}
bool WriterOperations::PublishActiveDocument(const std::string&, const std::string&, const std::string&) {
  NotAvailable("PublishActiveDocument", "Publishing in Tavo Share");
  return true;
}
void WriterOperations::localsavepath() { WriteLog(state_, "localsavepath: no temporary copies to delete", "Info"); }
void WriterOperations::nonlocalsavedeletedocument() {
  WriteLog(state_, "nonlocalsavedeletedocument: no temporary records to remove", "Info");
}

void WriterOperations::osdocusernamepath() {
  Logged(state_, "osdocusernamepath", [&] {
    state_.gDocsRoot = Trim(GetSpecialFolderPath(platform::shell::CSIDL_PERSONAL)) +
                       Trim("\\tavo\\" + std::string(state_.params.folderWord));
  });
}

void WriterOperations::oslogusernamepath() {
  Logged(state_, "oslogusernamepath", [&] {
    const std::string appData = Trim(GetSpecialFolderPath(platform::shell::CSIDL_APPDATA));
    const std::string tree = "\\tavo\\" + std::string(state_.params.folderWord);
    state_.gAppDataRoot = appData + Trim(tree);
    state_.gUserDataFolder = appData + Trim(tree + "\\users") + "\\" + Trim(state_.gLoginUser) + "\\";
  });
}

}  // namespace tavo::writer
