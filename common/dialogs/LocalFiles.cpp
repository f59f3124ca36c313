#include "common/dialogs/LocalFiles.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/Log.h"
#include "common/MapFile.h"
#include "common/Messages.h"
#include "common/UserFiles.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {

namespace text = platform::text;

// ---- the local copies ----

frmopenlocalfiles::frmopenlocalfiles(AddinState& state) : Dialog(state, "frmopenlocalfiles", "LocalFiles") {
  locallist.onClick = [this] { locallist_Click(); };
  locallist.onDblClick = [this] { locallist_DblClick(); };
  locallist.onKeyPress = [this](int& key) { locallist_KeyPress(key); };
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Command2_Click(); };
  Command3.onClick = [this] { Command3_Click(); };
  OnEscape({&Command1, &Command3}, [this] { CloseClearingStatus(); });
}

void frmopenlocalfiles::Design() { SetWidth(6600), SetHeight(4800); }

void frmopenlocalfiles::Form_Load() {
  TranslateCaptions({{&Label1, "gfrmopenlocalfiles_label1"},
                     {&Label2, "gfrmopenlocalfiles_label2"},
                     {&Label3, "gfrmopenlocalfiles_label3"},
                     {&Label6, "gfrmopenlocalfiles_label6"},
                     {&Command1, "gfrmopenlocalfiles_command1"},
                     {&Command2, "gfrmopenlocalfiles_command2"},
                     {&Command3, "gfrmopenlocalfiles_command3"}});
  CenterForm(*this);
  Status(Text("gMsg12"));
}

void frmopenlocalfiles::Form_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyEscape) CloseClearingStatus();
}

std::string frmopenlocalfiles::LocalPath() const {
  if (std::string file = locallist.ItemData(locallist.ListIndex()); !file.empty()) return file;
  return UserFolderPath(state_.gDocsRoot, state_.gLoginUser) + text::Trim(locallist.Text()) +
         std::string(state_.params.defaultDocumentExtension);
}

// What the map knows about the selected copy. Every record is looked at, so of two records for
// the same file the later one is shown.
void frmopenlocalfiles::locallist_Click() {
  try {
    const std::string path = LocalPath();
    const MapFile map(MapFilePath(state_, state_.gLoginUser));
    if (!map.Loaded()) return;
    for (const MapRecord& record : map.Records()) {
      const std::string location =
          state_.params.localFiles.locationIsFilename ? record.SecondAttribute() : record.Location();
      if (!text::EqualsText(location, path)) continue;
      docname.SetCaption(record.Name());
      modifiedversion.SetCaption(record.LocalTime());
      modifiedby.SetCaption(state_.gLoginUser);
    }
  } catch (const platform::RuntimeError&) {
    Message(Text("gMsg15"));
  }
}

void frmopenlocalfiles::OpenSelected(ShownText empty) {
  if (locallist.Text().empty()) {
    Message(Text(empty));
    return;
  }
  Host().LoadLocalDocument();
  Unload();
}

void frmopenlocalfiles::Guarded(std::string_view name, const std::function<void()>& handler) {
  if (!state_.params.localFiles.logsHandlerErrors) {
    handler();
    return;
  }
  try {
    handler();
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, std::string(name) + ":||" + e.description() + "||" + std::to_string(e.number()), "");
  }
}

void frmopenlocalfiles::Command1_Click() {
  Guarded("frmopenlocalfiles-command1", [this] {
    if (state_.params.localFiles.openClearsStatus) Status("");
    OpenSelected(state_.params.localFiles.openEmpty);
  });
}

void frmopenlocalfiles::locallist_DblClick() {
  Guarded("LOCALLIST_DOUBLECLICK", [this] { OpenSelected({.key = "gMsg13", .fixed = ""}); });
}

void frmopenlocalfiles::locallist_KeyPress(int keyAscii) {
  if (keyAscii == forms::kKeyEscape) {
    CloseClearingStatus();
  } else if (keyAscii == forms::kKeyReturn || keyAscii == forms::kKeySpace) {
    if (state_.params.localFiles.keyOpenChecksSelection) {
      OpenSelected({.key = "", .fixed = "Select Tavo FileName"});
    } else {
      Host().LoadLocalDocument();
      Unload();
    }
  }
}

void frmopenlocalfiles::Command2_Click() {
  Unload();
  if (state_.params.localFiles.cancelClearsStatus) Status("");
}

void frmopenlocalfiles::Command3_Click() {
  const LocalFilesBehaviour& behaviour = state_.params.localFiles;
  auto remove = [&] {
    if (locallist.Text().empty()) {
      Message(Text(behaviour.deleteEmpty));
      return;
    }
    if (behaviour.deleteClearsStatus) Status("");
    if (FileLocked(LocalPath())) {
      Message(Text(behaviour.fileLocked));
      return;
    }
    Dialogs(state_).Frmfileconfirm.Show(forms::ShowMode::Modal);
  };
  // The word processor's Delete goes on past errors; the spreadsheet's logs them.
  if (behaviour.logsHandlerErrors) Guarded("OPENLOCALFILES-COMMAND3", remove);
  else IgnoreErrors(remove);
}

bool frmopenlocalfiles::FileLocked(std::string_view path) const {
  // Opening a missing file for writing would create it; a file that is not there is not in use.
  if (!platform::files::FileExists(path)) return false;
  return !platform::files::OpensForExclusiveUpdate(path);
}

// ---- the delete question ----

Frmfileconfirm::Frmfileconfirm(AddinState& state) : Dialog(state, "Frmfileconfirm", "Confirm") {
  Command1.onClick = [this] { Host().DeleteLocalDocument(); };
  Command2.onClick = [this] { Unload(); };
}

void Frmfileconfirm::Design() { SetWidth(4200), SetHeight(1800); }

void Frmfileconfirm::Form_Load() {
  TranslateCaptions({{&Label1, "gfrmfileconfirm_label1"},
                     {&Command1, "gfrmfileconfirm_command1"},
                     {&Command2, "gfrmfileconfirm_command2"}});
  CenterForm(*this);
}

// ---- the local-or-online question ----

frmlocalversion::frmlocalversion(AddinState& state) : Dialog(state, "frmlocalversion", "Confirm") {
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Command2_Click(); };
}

void frmlocalversion::Design() { SetWidth(5400), SetHeight(2100); }

void frmlocalversion::Form_Load() {
  // The question stands in for the list while it is asked.
  if (frmDocList& list = Dialogs(state_).frmDocList; list.IsLoaded()) list.Hide();
  CenterForm(*this);
  TranslateCaptions({{&Label1, "gfrmlocalversion_label1"},
                     {&Command1, "gfrmlocalversion_command1"},
                     {&Command2, "gfrmlocalversion_command2"}});
}

void frmlocalversion::Command1_Click() {
  if (state_.params.localFiles.questionRecordsAnswer) {
    state_.gLocalVersionAnswer = 1;
    Unload();
    return;
  }
  Host().LoadSelectedDocument();
}

void frmlocalversion::Command2_Click() {
  if (state_.params.localFiles.questionRecordsAnswer) state_.gLocalVersionAnswer = 0;
  Unload();
  Dialogs(state_).frmDocList.Unload();
}

}  // namespace tavo
