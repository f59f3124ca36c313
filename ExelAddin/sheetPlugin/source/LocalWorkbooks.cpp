// The workbooks already on this computer: opening and deleting a local workbook, and removing
// this run's temporary downloads when Excel lets the add-in go.
#include <set>
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
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

namespace tavo::sheet {
namespace {

namespace files = platform::files;
namespace text = platform::text;

// The local workbook that the local copies dialog's selection stands for.
std::string SelectedLocalWorkbook(AddinState& state) { return Dialogs(state).frmopenlocalfiles.LocalPath(); }

}  // namespace

void SheetOperations::loadlocaldocument() {
  Logged(state_, "loadlocaldocument", [&] {
    const std::string path = SelectedLocalWorkbook(state_);
    // The password it was saved with is recorded with it; a workbook without a record is
    // opened without one (Excel asks when it is protected).
    std::string password;
    const MapFile map(MapFilePath(state_));
    if (map.Loaded()) {
      for (const MapRecord& record : map.Records()) {
        if (!text::EqualsText(record.SecondAttribute(), path)) continue;
        password = DecodeStoredSecret(record.StoredPassword());
        break;
      }
    }
    office::Ref<excel::Application> app = Excel();
    app->Workbooks().Open({.filename = path, .password = password});
    app->ActiveSheet()->Activate();
    app->ActiveWindow()->SetView(excel::window_view::Normal);
  });
}

void SheetOperations::DeleteLocalWorkbook() {
  AddinDialogs& dialogs = Dialogs(state_);
  try {
    const std::string path = SelectedLocalWorkbook(state_);
    dialogs.Frmfileconfirm.Unload();
    if (files::FileExists(path)) files::DeleteFile(path);
    dialogs.frmopenlocalfiles.Unload();
    // Only the record of this very file goes, and only its removal is told.
    MapFile map(MapFilePath(state_));
    if (map.Loaded()) {
      for (const MapRecord& record : map.Records()) {
        if (!text::EqualsText(record.SecondAttribute(), path)) continue;
        map.Remove(record);
        map.Save();
        ShowMessage(state_, state_.strings["gMsg22"], 0);
        break;
      }
    }
  } catch (const platform::RuntimeError&) {
    ShowMessage(state_, state_.strings["gMsg23"], 0);
  }
}

// When Excel closes it has asked about modified workbooks already. When only the add-in is
// unloaded, the user's own workbooks stay open: only the temporary downloads, whose files go
// now, are closed (Excel asks about unsaved changes; one the user keeps open is not deleted).
// Only downloads still as this run left them go: one the user saved changes into, or that
// another Excel has downloaded again or saved since, stays.
bool SheetOperations::CloseWorkbooksAndDeleteTemp(bool closingExcel) {
  Logged(state_, "localsavepath", [&] {
    office::Ref<excel::Application> app = Excel();
    if (app->Workbooks().Count() > 0) {
      if (closingExcel) {
        app->Workbooks().Close();
      } else {
        for (const office::Ref<excel::Workbook>& book : app->Workbooks().List())
          for (const AddinState::TempCopy& temp : state_.gTempFiles)
            if (text::EqualsText(book->FullName(), temp.path)) {
              book->Close();
              break;
            }
      }
    }
    DeleteUnchangedTempCopies(state_);
  });
  return true;
}

// The records of this run's temporary downloads whose files were deleted, or were gone already,
// go, in every map that such a download was recorded in; a file that stayed (the user kept it
// open or changed it) keeps its record, so that it can still be found among the local workbooks.
bool SheetOperations::RemoveTempEntriesFromMap() {
  const std::vector<std::string> gone = GoneTempCopies(state_);
  std::set<std::string> maps = tempMapFiles_;
  // The signed-in account's map is walked too (a run without sign-in has none).
  if (!state_.gUserDataFolder.empty()) maps.insert(MapFilePath(state_));
  for (const std::string& path : maps)
    Logged(state_, "nonsavelocaldeletedocument",
           [&] { RemoveLocalCopyRecords(state_, path, gone, LocalCopyKey::FilenameAttribute); });
  return true;
}

}  // namespace tavo::sheet
