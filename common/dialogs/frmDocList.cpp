#include "common/dialogs/frmDocList.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/UserFiles.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

// Versions of auto-saved copies come with a minus sign: -3 is shown as "3 [ auto-saved ]".
std::string ShownVersion(const std::string& version) {
  if (!platform::text::StartsWith(version, "-")) return version;
  return platform::text::Replace(version, "-", "") + " [ auto-saved ]";
}

}  // namespace

frmDocList::frmDocList(AddinState& state) : Dialog(state, "frmDocList", "My Documents") {
  listdoc.onClick = [this] { listdoc_Click(); };
  listdoc.onDblClick = [this] { checkdocument(); };
  listdoc.onKeyPress = [this](int& key) { ListKeys(key); };
  listdoc.onLostFocus = [this] {
    if (state_.params.docList.listLostFocusStatus) Status(Text("gMsg12"));
  };
  searchtxt.onKeyPress = [this](int& key) { ListKeys(key); };
  searchtxt.onChange = [this] { Host().SearchDocuments(searchtxt.Text()); };
  searchtxt.onGotFocus = [this] { Status(Text("gMsg11")); };
  searchtxt.onLostFocus = [this] { Status(Text("gMsg12")); };
  Command1.onClick = [this] { checkdocument(); };
  Command2.onClick = [this] { CloseClearingStatus(); };
  OnEscape({&Command1, &Command2}, [this] { CloseClearingStatus(); });
}

void frmDocList::Design() {
  SetWidth(7200), SetHeight(5400);
  const bool workbooks = state_.params.docList.detailsByName;
  for (forms::Label* label : {&Label9, &authorfld, &Label13, &createdonfld, &Label12, &versionfld, &Label11,
                              &documenturlfld})
    label->SetVisible(!workbooks);
  for (forms::Label* label : {&Label1, &createdfld, &Label2, &modifiedfld, &Label3, &modifiedbyfld})
    label->SetVisible(workbooks);
}

void frmDocList::Form_Load() {
  if (state_.params.docList.detailsByName) {
    TranslateCaptions({{&Label1, "gfrmdoclist_label1"},
                       {&Label2, "gfrmdoclist_label2"},
                       {&Label3, "gfrmdoclist_Label3"},
                       {&Command1, "gfrmdoclist_open"},
                       {&Command2, "gfrmdoclist_cancel"}});
  } else {
    TranslateCaptions({{&Label9, "gfrmdoclist_label9"},
                       {&Label11, "gfrmdoclist_label11"},
                       {&Label12, "gfrmdoclist_Label12"},
                       {&Label13, "gfrmdoclist_label13"},
                       {&Command1, "gfrmdoclist_open"},
                       {&Command2, "gfrmdoclist_cancel"}});
  }
  CenterForm(*this);
  Status(Text(state_.params.docList.loadStatus));
}

void frmDocList::Form_KeyPress(int& keyAscii) { ListKeys(keyAscii); }

void frmDocList::Form_Unload(bool&) { Status(""); }

void frmDocList::ListKeys(int keyAscii) {
  if (keyAscii == forms::kKeyReturn || keyAscii == forms::kKeySpace) checkdocument();
  else if (keyAscii == forms::kKeyEscape) CloseClearingStatus();
}

void frmDocList::listdoc_Click() {
  const int index = listdoc.ListIndex();
  if (index == -1) {
    Message(Text("gMsg10"));
    return;
  }
  if (!listdoc.Selected(index)) return;
  if (state_.params.docList.detailsByName) ShowWorkbookDetails(index);
  else ShowDocumentDetails(index);
}

// A document entry's children by position: 0 name, 1 id, 2 version, 3 URL name, 4 author,
// 5 created on.
void frmDocList::ShowDocumentDetails(int index) {
  const platform::xml::Node& root = state_.gDocListRoot;
  if (!root.hasChildNodes()) return;
  platform::xml::Node entry = root.child(static_cast<std::size_t>(index));
  authorfld.SetCaption(entry.child(4).text());
  createdonfld.SetCaption(entry.child(5).text());
  versionfld.SetCaption(ShownVersion(entry.child(2).text()));
  documenturlfld.SetCaption(entry.child(3).text());
}

// A workbook entry sits in the answer's first child; a detail it lacks leaves its label as it was.
void frmDocList::ShowWorkbookDetails(int index) {
  IgnoreErrors([&] {
    platform::xml::Node result = state_.gDocListRoot.firstChild();
    if (!result.hasChildNodes()) return;
    platform::xml::Node entry = result.child(static_cast<std::size_t>(index));
    IgnoreErrors([&] { createdfld.SetCaption(entry.selectSingleNode("createdTime").text()); });
    IgnoreErrors([&] { modifiedfld.SetCaption(entry.selectSingleNode("lastModifiedTime").text()); });
    IgnoreErrors([&] {
      modifiedbyfld.SetCaption(Host().ShownListText(entry.selectSingleNode("lastModifiedBy").text()));
    });
  });
}

void frmDocList::checkdocument() {
  if (!state_.params.docList.asksAboutLocalCopy) {
    Host().LoadSelectedDocument();
    return;
  }
  const std::string folder = UserFolderPath(state_.gDocsRoot, state_.gLoginUser);
  if (!platform::files::FolderExists(folder)) return;
  // The question is about the file the download would replace, which keeps the extension its
  // record gives it (a copy saved as .rtf is downloaded again as .rtf).
  std::string localFile = Host().LocalCopyOfSelectedDocument();
  if (localFile.empty())
    localFile = folder + documenturlfld.Caption() + std::string(state_.params.defaultDocumentExtension);
  if (platform::files::FileExists(localFile)) Dialogs(state_).frmlocalversion.Show(forms::ShowMode::Modal);
  else Host().LoadSelectedDocument();
}

}  // namespace tavo
