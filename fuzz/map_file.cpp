// The per-user map and credentials files as a crash, a full disk or a hand edit may leave them.
// The input is a file, then (after a 0x1F byte) an id and (after another) a name for the records
// written. For both add-ins the file is read by the local copies dialog's record walk, changed
// by every store operation and by the clean-up of temporary copies, and read as the credentials
// file. An operation may fail,
// but one that reports success has left a well-formed map holding the record, and every earlier
// record of a map that loaded.
#include <string>
#include <vector>

#include "common/AddinHost.h"
#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/MapStore.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "common/dialogs/Dialogs.h"
#include "common/dialogs/LocalFiles.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/xml/XmlDocument.h"

namespace {

namespace xml = platform::xml;
namespace files = platform::files;

class QuietHost : public tavo::AddinHost {
 public:
  void SetStatusBarText(const std::string&) override {}
  void LoadSelectedDocument() override {}
  void SearchDocuments(const std::string&) override {}
  void LoadLocalDocument() override {}
  void DeleteLocalDocument() override {}
  void AddActiveDocument() override {}
  void OverwriteActiveDocument() override {}
  bool PublishActiveDocument(const std::string&, const std::string&, const std::string&) override { return true; }
};

struct Addin {
  explicit Addin(const tavo::AddinParameterSet& params) : state(params, &host) {
    state.gLoginUser = "ann";
    state.gLoginPassword = "secret";
    state.gLogLevel = "Info";
    tavo::InitUserFiles(state, "ann");
  }
  bool sheet() const { return state.params.localFiles.locationIsFilename; }

  QuietHost host;
  tavo::AddinState state;
};

// The records (elements) of a map that loads; -1 when it does not. Text between them does not
// count: two pieces of it may come back as one.
long RecordCount(const std::string& path) {
  xml::Document doc;
  if (!doc.load(path) || !doc.documentElement()) return -1;
  long records = 0;
  for (const xml::Node& child : doc.documentElement().childNodes())
    if (child.nodeName().front() != '#') ++records;
  return records;
}

bool Holds(const std::string& path, const std::string& element, const std::string& id) {
  xml::Document doc;
  return doc.load(path) && doc.documentElement() &&
         doc.documentElement().selectSingleNode(element + "[@id=" + xml::XPathLiteral(id) + "]");
}

// The local paths the records name (the first few), as the add-in's readers take them.
std::vector<std::string> RecordPaths(Addin& addin) {
  std::vector<std::string> paths;
  xml::Document doc;
  if (!doc.load(tavo::MapFilePath(addin.state)) || !doc.documentElement()) return paths;
  for (const xml::Node& record : doc.documentElement().childNodes()) {
    if (paths.size() >= 8) break;
    try {
      paths.push_back(addin.sheet() ? record.attribute(1) : record.child(4).text());
    } catch (const platform::RuntimeError&) {
      // a record too short to name its file
    }
  }
  return paths;
}

// The local copies dialog shows the details of each listed file from the map.
void WalkRecords(Addin& addin) {
  platform::forms::ScriptedOperator op;
  auto& dialog = tavo::Dialogs(addin.state).frmopenlocalfiles;
  std::vector<std::string> names{"Report"};
  for (std::string path : RecordPaths(addin)) {
    path = path.substr(path.find_last_of('\\') + 1);
    names.push_back(path.substr(0, path.rfind('.')));
  }
  const char* message = addin.state.params.singleMessageDialog ? "frmMsg" : "frmMsgInfo";
  for (const std::string& name : names) {
    dialog.locallist.AddItem(name);
    op.On(message, {"click Command1"});  // a record it cannot read is reported once per entry
  }
  for (int i = 0; i < dialog.locallist.ListCount(); ++i) dialog.locallist.SetListIndex(i);
  dialog.Unload();
}

// The clean-up of temporary copies removes the records of the copies it is given, and only those.
void RemoveRecords(Addin& addin, const std::string& path, const std::string& alsoRemoved) {
  std::vector<std::string> copies = RecordPaths(addin);
  if (copies.size() > 1) copies.erase(copies.begin());  // one record that names a copy stays
  copies.push_back(alsoRemoved);
  const long before = RecordCount(path);
  std::size_t removed = 0;
  try {
    removed = tavo::RemoveLocalCopyRecords(addin.state, path, copies,
                                           addin.sheet() ? tavo::LocalCopyKey::FilenameAttribute
                                                         : tavo::LocalCopyKey::LocationChild);
  } catch (const platform::RuntimeError&) {
    return;  // a map that does not load or a record too short for its key
  }
  tavo::fuzz::Require(removed == 0 || RecordCount(path) == before - static_cast<long>(removed),
                      "the clean-up removes what it counts and keeps the map loadable");
}

void CheckUpdate(const std::string& path, long before, bool known, const std::string& element, const std::string& id,
                 bool updated) {
  if (!updated) return;
  const long after = RecordCount(path);
  tavo::fuzz::Require(after >= 0 && Holds(path, element, id), "an update that succeeded leaves the record in a loadable map");
  if (before < 0) tavo::fuzz::Require(after == 1, "an unreadable map is replaced by one holding the record");
  else tavo::fuzz::Require(after == before + (known ? 0 : 1), "an update keeps every other record");
}

void Exercise(Addin& addin, std::string_view file, const std::string& id, const std::string& name) {
  tavo::AddinState& state = addin.state;
  const std::string path = tavo::MapFilePath(state);
  const std::string element = addin.sheet() ? "workbook" : "document";
  files::WriteAllBytes(path, file);
  WalkRecords(addin);

  const long before = RecordCount(path);
  const bool known = before >= 0 && Holds(path, element, id);
  if (addin.sheet()) {
    const tavo::WorkbookMapRecord record{id, name, "c", "m", "7", "C:\\Docs\\" + name + ".xls"};
    CheckUpdate(path, before, known, element, id, tavo::UpdateMapXml(state, record));
    files::WriteAllBytes(path, file);
    (void)tavo::ReplaceWorkbookNodeInMapXml(state, record);
    (void)tavo::AppendWorkbookIntoMapXml(state, record);
  } else {
    const tavo::DocumentMapRecord record{id, name, name, "3", "C:\\Docs\\" + name + ".doc"};
    CheckUpdate(path, before, known, element, id, tavo::UpdateMapXml(state, record));
    files::WriteAllBytes(path, file);
    (void)tavo::ReplaceNodeInMapXml(state, record);
    (void)tavo::AppendIntoMapXml(state, record);
  }
  WalkRecords(addin);
  RemoveRecords(addin, path, addin.sheet() ? "C:\\Docs\\" + name + ".xls" : "C:\\Docs\\" + name + ".doc");

  const std::string credentials = tavo::CredentialsFilePath(state);
  files::WriteAllBytes(credentials, file);
  try {
    (void)tavo::ReadCredentialsFile(credentials);
  } catch (const platform::RuntimeError&) {
    // A damaged credentials file only fails the offline check.
  }

  // What a damaged map leaves beside it, and the log, would grow with every input.
  for (const std::string& kept : files::ListFileNames(state.gUserDataFolder))
    if (kept.find(".damaged-") != std::string::npos) files::DeleteFile(state.gUserDataFolder + kept);
  files::WriteAllBytes(state.gLogFile, "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tavo::fuzz::Environment();
  static Addin writer(tavo::kWriterParameters);
  static Addin sheet(tavo::kSheetParameters);
  std::string_view rest = tavo::fuzz::Text(data, size);
  const std::string_view file = tavo::fuzz::TakePiece(rest);
  // Ids and names come from the text of the service's XML answers, which holds no NUL.
  std::string id(tavo::fuzz::TakePiece(rest)), name(rest);
  std::erase(id, '\0');
  std::erase(name, '\0');
  Exercise(writer, file, id.empty() ? "42" : id, name);
  Exercise(sheet, file, id.empty() ? "42" : id, name);
  return 0;
}
