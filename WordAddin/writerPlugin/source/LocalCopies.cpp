// The local copies of online documents: saving a new one, opening one with the password it was
// saved with, deleting one with its map record, and removing this run's temporary copies when
// Word quits.
#include <map>
#include <vector>

#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "WordAddin/writerPlugin/source/WriterSupport.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/StoredSecret.h"
#include "common/TempCopies.h"
#include "common/UserFiles.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::writer {
namespace {

namespace text = platform::text;

// The account a copy belongs to: the name of the folder it lies in
// (<Documents>\tavo\tavowriter\users\<account>\<file>).
std::string AccountOfCopy(const std::string& path) {
  const std::size_t file = path.rfind('\\');
  if (file == std::string::npos || file == 0) return {};
  const std::size_t folder = path.rfind('\\', file - 1);
  return path.substr(folder == std::string::npos ? 0 : folder + 1, file - (folder == std::string::npos ? 0 : folder + 1));
}

// The file name of a copy without its folder and without the extension copies are saved with.
std::string CopyNameUrl(const std::string& path, std::string_view extension) {
  std::string name = path.substr(path.rfind('\\') + 1);
  if (text::EndsWith(name, extension)) name.resize(name.size() - extension.size());
  return name;
}

}  // namespace

// The copy is kept under the document's file-name form, unless another file is there already (a
// kept copy holding edits of its own, a document the user saved there), which is never replaced:
// the copy then takes a free name, as a workbook's does (Plan1.doc). The record names the copy by
// that name, so that Save, Local Documents and a later download find it by the file's own name.
DocumentMapRecord WriterOperations::NewCopyRecord(const DocumentMapRecord& created) {
  DocumentMapRecord record = created;
  record.location = state_.gUserDocsFolder + created.nameUrl + state_.gDocumentExtension;
  // A blank file-name form keeps no copy at all, and the active document may be the file itself.
  if (text::Trim(created.nameUrl).empty() || SamePath(record.location, GetActiveDocumentFullName())) return record;
  const std::string free = getNewFileLocation(state_, record.location, 1);
  if (free.empty() || free == record.location) return record;
  record.location = free;
  record.nameUrl = CopyNameUrl(free, state_.gDocumentExtension);
  return record;
}

bool WriterOperations::MoveDocumentToUserFolder() {
  try {
    // The file takes the extension its map record names, so that Save and Local Documents find
    // it by its name. It is the user's own: it stays when Word quits, also when a temporary copy
    // of this run once had its path.
    const std::string copy = state_.gUserDocsFolder + state_.gDocumentNameUrl + state_.gDocumentExtension;
    Word()->ActiveDocument()->SaveAs({.fileName = copy, .password = state_.gLoginPassword});
    KeepTempCopy(state_, copy);
    WriteLog(state_, "Sucessfully moved the document into user folder", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While moving the document in user folder" + e.description(), "Error");
    return false;
  }
}

void WriterOperations::loadlocaldocument() {
  Logged(state_, "loadlocaldocument", [&] {
    const std::string chosen = Dialogs(state_).frmopenlocalfiles.LocalPath();
    std::string password;
    const MapFile map(MapFilePath(state_, state_.gLoginUser));
    if (map.Loaded()) {
      for (const MapRecord& record : map.Records()) {
        if (!text::EqualsText(record.Location(), chosen)) continue;
        password = text::Trim(DecodeStoredSecret(record.StoredPassword()));
        break;
      }
    }

    Ref<word::Application> app = Word();
    // The document that was active is closed and opened again behind the copy; one that was
    // never saved has no file to open again.
    std::string previous;
    if (app->Documents().Count() > 0) {
      Ref<word::Document> active = app->ActiveDocument();
      if (!text::Trim(active->Path()).empty()) previous = text::Trim(active->Path()) + "\\" + text::Trim(active->Name());
      active->Close();
    }
    Ref<word::Document> copy = app->Documents().Open({.fileName = chosen, .passwordDocument = password});
    app->ActiveWindow()->View().SetType(word::view_type::Normal);
    if (!previous.empty() && !text::EqualsText(previous, copy->FullName()))
      app->Documents().Open({.fileName = previous, .passwordDocument = state_.gLoginPassword});
    // The copy the user chose is the one in front.
    copy->Activate();
    app->ActiveWindow()->View().SetType(word::view_type::Normal);
    app->NormalTemplate().SetSaved(true);
  });
}

void WriterOperations::DeleteLocalDocument() {
  AddinDialogs& dialogs = Dialogs(state_);
  try {
    const std::string file = dialogs.frmopenlocalfiles.LocalPath();
    // The copy is named after its record's file-name form: " Plan.doc" is the copy of " Plan",
    // Plan.doc.doc the copy of Plan.doc.
    const std::string name = CopyNameUrl(file, state_.params.defaultDocumentExtension);
    dialogs.Frmfileconfirm.Unload();
    if (platform::files::FileExists(file)) platform::files::DeleteFile(file);
    dialogs.frmopenlocalfiles.Unload();

    // The record's name is compared as text, so a name holding "&" or "<" finds its record too.
    MapFile map(MapFilePath(state_, state_.gLoginUser));
    if (!map.Loaded()) platform::Raise(platform::err::FileNotFound, "The map file could not be loaded");
    for (const MapRecord& record : map.Records()) {
      if (!text::EqualsText(record.NameUrl(), name)) continue;
      map.Remove(record);
      map.Save();
      ShowMessage(state_, Msg(state_, "gMsg22"), 0);
      return;
    }
  } catch (const platform::RuntimeError&) {
    // As when no record matches: the user learns that the copy is not gone from the list.
  }
  ShowMessage(state_, Msg(state_, "gMsg23"), 0);
}

// Only copies still as the download left them go: one the user saved changes into, or that
// another Word has downloaded again or saved since, stays.
void WriterOperations::localsavepath() {
  Logged(state_, "localsavepath", [&] { DeleteUnchangedTempCopies(state_); });
}

// Only the records of the copies deleted, or gone already, go. They are looked up in the map of
// the account each copy belongs to, which need not be the account signed in when Word quits. A
// map that cannot be cleaned leaves the others to be.
void WriterOperations::nonlocalsavedeletedocument() {
  std::map<std::string, std::vector<std::string>> byAccount;
  for (const std::string& path : GoneTempCopies(state_)) byAccount[AccountOfCopy(path)].push_back(text::Trim(path));
  for (const auto& [account, paths] : byAccount) {
    Logged(state_, "nonlocalsavedeletedocument", [&] {
      RemoveLocalCopyRecords(state_, MapFilePath(state_, account), paths, LocalCopyKey::LocationChild);
    });
  }
}

}  // namespace tavo::writer
