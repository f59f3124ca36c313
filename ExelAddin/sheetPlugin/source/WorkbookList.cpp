// The online workbook list: the request, the map brought in line with it, and the search that
// filters it while the list is shown.
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/Log.h"
#include "common/MapStore.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/SheetApiRequest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::sheet {

namespace xml = platform::xml;

std::string SheetOperations::ShownListText(const std::string& text) { return Utf8ToUnicode(text); }

bool SheetOperations::GetWorkbooks() {
  ShowStatus(state_, "Getting WookBooks from Tavo Sheet...");
  bool shown = false;
  std::string description;
  try {
    const std::string body = GetWorkbooksBody();
    WriteLog(state_, "Request for WorkBooks lists" + body, "Info");
    ShowStatus(state_, state_.strings["gMsg52"]);
    const std::string answer = SendSheetRequest(ApiUrl(state_), body);
    ShowStatus(state_, state_.strings["gMsg53"]);
    WriteLog(state_, "Response for workbook lists" + answer, "Info");

    xml::Document doc;
    if (!doc.loadXML(answer)) throw NoRunTimeError{};
    state_.gDocListRoot = doc.documentElement();
    state_.gDocListFullRoot = state_.gDocListRoot;
    WriteLog(state_, state_.gDocListRoot.xml(), "Info");

    if (const SheetErrorCheck check = ListAnswerError(doc); check.isError) {
      ShowMessage(state_, SheetErrorFor(state_, SheetCaller::GetWorkbooks, check.code).message, 0);
      ShowStatus(state_, "");
      return false;
    }
    // A list left behind by an open that failed still holds its entries and its search text,
    // which would stand over the whole list: start from a fresh dialog.
    frmDocList& dialog = Dialogs(state_).frmDocList;
    if (dialog.IsLoaded()) dialog.Unload();
    ShowStatus(state_, state_.strings["gMsg69"]);

    const xml::NodeList workbooks = state_.gDocListRoot.firstChild().childNodes();
    for (std::size_t i = 0; i < workbooks.size(); ++i)
      dialog.listdoc.AddItem(Utf8ToUnicode(workbooks[i].child(1).text()), static_cast<int>(i));
    if (!workbooks.empty()) dialog.listdoc.SetListIndex(0);

    if (RefreshLocalWorkbookMap()) {
      dialog.Show(platform::forms::ShowMode::Modal);
      shown = true;
    }
  } catch (const platform::RuntimeError& e) {
    description = e.description();
  } catch (const NoRunTimeError&) {
    // The answer is no XML: no description to log.
  }
  if (!shown) {
    WriteLog(state_, "Error While Retrieving WorkBook lists " + description, "Error");
    // A user who asked for the list hears why none came.
    ShowMessage(state_, state_.strings["gMsg25"], 0);
    ShowStatus(state_, "");
  }
  // Once the list was shown, the status bar tells what came of it (the open's own text, or
  // nothing after Cancel): it is not cleared over that.
  return shown;
}

// Records of workbooks that the service no longer lists go; the files stay on disk. The walk
// only notes them, and they go after it, so that removals do not disturb it.
bool SheetOperations::RefreshLocalWorkbookMap() {
  const std::string path = MapFilePath(state_);
  try {
    MapFile map(path);
    if (map.Loaded()) {
      std::vector<std::string> unlisted;  // each one's record selection, once per record walked
      for (const MapRecord& record : map.Records()) {
        const std::string id = record.Id();
        const std::string online = ListedWorkbookById(id);
        const std::string local = WorkbookRecordById(id);
        WriteLog(state_, "Query Strings are | " + online + local, "Info");
        if (!state_.gDocListFullRoot.selectSingleNode(online)) unlisted.push_back(local);
      }
      for (const std::string& local : unlisted)
        if (const MapRecord gone = map.Select(local)) map.Remove(gone);
      map.Save();
    }
    WriteLog(state_, "Local XML Sucessfully refreshed", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error while refreshing the local XML" + e.description(), "Error");
    return false;
  }
}

// The filtered list keeps the full answer's order; its root becomes the current list, so the
// list's entry i still stands for child i of the current list's result.
void SheetOperations::SearchWorkbooks(const std::string& text) {
  platform::forms::ListBox& list = Dialogs(state_).frmDocList.listdoc;
  try {
    // The list's markup is made only for a log that writes it.
    if (LogWrites(state_, "Info")) WriteLog(state_, "before Searching " + state_.gDocListRoot.xml(), "Info");
    xml::Document filtered;
    filtered.loadXML("<methodResponse><result></result></methodResponse>");
    xml::Node result = filtered.documentElement().firstChild();
    // Copies of the full list's entries, each looked up there by its id as moving them out of
    // a copy of the full list would find them; the full list itself stays as it is.
    const xml::Node full = state_.gDocListFullRoot;
    xml::ChildTextIndex byId(full, "//methodResponse/result/workbook", "workbookId");
    list.Clear();
    // Read by position: a handle for one entry at a time, not for all of them at once.
    const xml::Node workbooks = full.firstChild();
    const std::size_t count = workbooks.childCount();
    for (std::size_t i = 0; i < count; ++i) {
      const xml::Node workbook = workbooks.child(i);
      // Matched and listed as the list shows names: re-decoded.
      const std::string name = Utf8ToUnicode(workbook.child(1).text());
      const std::string id = workbook.child(0).text();
      if (!text.empty() && !platform::text::ContainsText(name, text)) continue;
      result.appendCopy(byId.Take(id));
      list.AddItem(name);
    }
    if (list.ListCount() > 0) list.SetListIndex(0);
    state_.gDocListRoot = filtered.documentElement();
    if (LogWrites(state_, "Info")) WriteLog(state_, "after Searching " + state_.gDocListRoot.xml(), "Info");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "Error While searching the workbook in sheet" + e.description(), "Error");
  }
}

}  // namespace tavo::sheet
