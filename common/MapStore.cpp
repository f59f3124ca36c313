#include "common/MapStore.h"

#include <ctime>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/AddinState.h"
#include "common/Log.h"
#include "common/UserFiles.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {

namespace xml = platform::xml;

// The map as the store saved it last: where, the bytes written and the tree they were written
// from. Parsing a large map, and faulting in the memory its tree takes, is most of what an update
// costs; while the file still holds exactly these bytes, the tree is what parsing would give.
struct SavedMap {
  std::string path;
  std::string bytes;
  xml::Document doc;
};

namespace {

constexpr std::string_view kEmptyMap = "<mapxml></mapxml>";

// A record as it is written: element, its two attributes and its eight children in order.
struct RecordContent {
  std::string element;
  std::string id;
  std::string filename;
  std::vector<std::pair<std::string, std::string>> children;
};

std::string LocalTimeText() { return platform::FormatMapLocalTime(platform::LocalTime(platform::Now())); }

RecordContent Content(const AddinState& state, const DocumentMapRecord& r) {
  return {"document",
          r.id,
          r.nameUrl,
          {{"document_id", r.id},
           {"document_name", r.name},
           {"document_name_url", r.nameUrl},
           {"version", r.version},
           {"location", r.location},
           {"extension", state.gDocumentExtension},
           {"localtime", LocalTimeText()},
           {"password", state.gEncodedPassword}}};
}

RecordContent Content(const AddinState& state, const WorkbookMapRecord& r) {
  return {"workbook",
          r.id,
          r.path,
          {{"book_id", r.id},
           {"book_name", r.name},
           {"updatelock", r.updateLock},
           {"created_time", r.createdTime},
           {"modified_time", r.modifiedTime},
           {"extension", state.gDocumentExtension},
           {"localtime", LocalTimeText()},
           {"password", state.gEncodedPassword}}};
}

std::string RecordSelection(const RecordContent& record) {
  return record.element + "[@id=" + xml::XPathLiteral(record.id) + "]";
}

xml::Node NewRecordElement(const xml::Document& doc, const RecordContent& record) {
  xml::Node element = doc.createElement(record.element);
  element.setAttribute("id", record.id);
  element.setAttribute("filename", record.filename);
  return element;
}

void AddChildren(AddinState& state, const xml::Document& doc, xml::Node& element, const RecordContent& record) {
  for (const auto& [name, text] : record.children) AddChildElement(state, doc, element, name, text);
}

std::string BackupName(const std::string& path) {
  std::tm t = platform::LocalTime(platform::Now());
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &t);
  std::string name = path + ".damaged-" + stamp;
  for (int n = 1; platform::files::FileExists(name); ++n) name = path + ".damaged-" + stamp + "-" + std::to_string(n);
  return name;
}

bool FileHolds(const std::string& path, const std::string& bytes) {
  try {
    return platform::files::ReadAllBytes(path) == bytes;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

// Loads the map file into `doc`, or takes the tree saved last when the file is unchanged since.
// The saved tree leaves the state here: only a successful save puts one back, so a tree that an
// operation changed and then could not save is never used again.
bool LoadMap(AddinState& state, const std::string& path, xml::Document& doc) {
  std::shared_ptr<SavedMap> saved = std::move(state.savedMap);
  state.savedMap.reset();
  if (saved && saved->path == path && FileHolds(path, saved->bytes)) {
    doc = saved->doc;
    return true;
  }
  return doc.load(path);
}

// Whether the record reads back from the file as it stands in the tree; text of blanks only, for
// one, does not (the reader drops it), and a tree holding such a record is not kept.
bool ReadsBack(const xml::Node& record) {
  const std::string markup = record.xml();
  xml::Document copy;
  return copy.loadXML(markup) && copy.documentElement().xml() == markup;
}

// What Document::save does, keeping the tree for the next operation. `written` is the record the
// operation wrote, if any.
void SaveMap(AddinState& state, const xml::Document& doc, const std::string& path, const xml::Node& written) {
  std::string bytes = doc.xml();
  platform::files::WriteAllBytes(path, bytes);
  if (!written || ReadsBack(written)) state.savedMap = std::make_shared<SavedMap>(SavedMap{path, std::move(bytes), doc});
}

// The changes themselves, on the map as loaded from `path`; each saves it there.
void AppendTo(AddinState& state, xml::Document& doc, const std::string& path, const RecordContent& record) {
  xml::Node element = NewRecordElement(doc, record);
  element = doc.documentElement().appendChild(element);
  AddChildren(state, doc, element, record);
  SaveMap(state, doc, path, element);
}

// `old`: the record to replace when the caller has selected it already.
void ReplaceIn(AddinState& state, xml::Document& doc, const std::string& path, const RecordContent& record,
               xml::Node old) {
  xml::Node element = NewRecordElement(doc, record);
  xml::Node root = doc.documentElement();
  if (!old) old = root.selectSingleNode(RecordSelection(record));
  if (!old) platform::Raise(platform::err::ObjectNotSet);
  root.replaceChild(element, old);
  AddChildren(state, doc, element, record);
  SaveMap(state, doc, path, element);
}

// `loaded`, when given, is the map as the caller has just loaded it from the map file: parsing a
// large map is most of an update's cost, so it is parsed once per update, not once per step.
bool Append(AddinState& state, const RecordContent& record, xml::Document* loaded = nullptr) {
  const std::string path = MapFilePath(state);
  try {
    xml::Document own;
    xml::Document* doc = loaded;
    // EnsureMapFile would load the file only to find it well-formed; loading it here first
    // spares that parse, and a file that does not load is made good as before.
    if (!doc && LoadMap(state, path, own)) doc = &own;
    if (!doc) {
      EnsureMapFile(state, path);
      if (own.load(path)) doc = &own;
    }
    if (doc) AppendTo(state, *doc, path, record);
    WriteLog(state, "Sucessfully Appended into Mapxml  ", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error While Appending into Mapxml | " + e.description(), "Error");
    return false;
  }
}

bool Replace(AddinState& state, const RecordContent& record, xml::Document* loaded = nullptr, xml::Node old = {}) {
  const std::string path = MapFilePath(state);
  try {
    xml::Document own;
    xml::Document* doc = loaded ? loaded : LoadMap(state, path, own) ? &own : nullptr;
    if (doc) ReplaceIn(state, *doc, path, record, old);
    WriteLog(state, "Sucessfully Replaces the node in Mapxml ", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error While Replacing a Node in Mapxml | " + e.description(), "Error");
    return false;
  }
}

// The local copy a record names, as its text: the location is read by name and text, not by its
// markup, so that a path holding "&" (escaped in the markup) still finds its record. A record
// too short to hold it raises run-time error 91.
std::string LocalCopyOf(const xml::Node& record, LocalCopyKey key) {
  if (key == LocalCopyKey::FilenameAttribute) return MapRecord(record).SecondAttribute();
  const xml::Node location = record.child(4);
  if (platform::text::FoldCase(location.nodeName()) != "location") return std::string();
  return location.text();
}

// Whether the record names the local copy at `copy` (or, in the word processor, by the copy's
// filename `sameName`). A record too short to name a file names none.
bool NamesCopy(const xml::Node& record, const std::string& copy, LocalCopyKey key, const std::string& sameName) {
  if (!sameName.empty() && key == LocalCopyKey::LocationChild && MapRecord(record).Filename() == sameName)
    return true;
  try {
    return SamePath(LocalCopyOf(record, key), copy);
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

// `sameName`: the word processor's filename of the copy, "" for the spreadsheet.
std::size_t RemoveOthers(AddinState& state, const std::string& id, const std::string& copy, LocalCopyKey key,
                         const std::string& sameName) {
  if (platform::text::Trim(copy).empty()) return 0;
  const std::string path = MapFilePath(state);
  try {
    xml::Document doc;
    if (!LoadMap(state, path, doc)) platform::Raise(platform::err::ObjectNotSet);
    xml::Node root = doc.documentElement();
    bool ownSeen = false;
    std::size_t removed = 0;
    for (std::size_t i = 0; i < root.childCount();) {
      const xml::Node record = root.child(i);
      const std::string recordId = record.getAttribute("id");
      if (!ownSeen && recordId == id) {
        ownSeen = true;
        ++i;
        continue;
      }
      if (!NamesCopy(record, copy, key, sameName)) {
        ++i;
        continue;
      }
      WriteLog(state, "Removed the map record of " + recordId + ", which named the file of " + id + " too: " + copy,
               "Info");
      root.removeChild(record);
      ++removed;
    }
    if (removed > 0) SaveMap(state, doc, path, xml::Node());
    return removed;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error While removing the other records of a local copy in Mapxml | " + e.description(), "Error");
    return 0;
  }
}

bool Update(AddinState& state, const RecordContent& record) {
  try {
    xml::Document doc;
    bool done;
    if (!LoadMap(state, MapFilePath(state), doc)) {
      done = Append(state, record);
    } else {
      xml::Node known = doc.documentElement().selectSingleNode(RecordSelection(record));
      done = known ? Replace(state, record, &doc, known) : Append(state, record, &doc);
    }
    if (done) {
      WriteLog(state, "Mapxml Updated Sucessfully", "Info");
      return true;
    }
    // The operation that failed has logged why; its error is over by now.
    WriteLog(state, "Error While updating Mapxml | ", "Error");
    return false;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error While updating Mapxml | " + e.description(), "Error");
    return false;
  }
}

}  // namespace

void EnsureMapFile(AddinState& state, std::string_view path) {
  xml::Document doc;
  if (doc.load(path)) return;
  const std::string file(path);
  if (platform::files::FileExists(file)) {
    // Its records would be lost with it: keep the damaged file for the user or support.
    const std::string backup = BackupName(file);
    platform::files::WriteAllBytes(backup, platform::files::ReadAllBytes(file));
    WriteLog(state, "Mapxml was not well-formed; it was kept as " + backup + " and replaced by an empty map", "Error");
  }
  doc.loadXML(kEmptyMap);
  doc.save(path);
}

void AddChildElement(AddinState& state, const xml::Document& doc, xml::Node& parent, std::string_view name,
                     std::string_view text) {
  try {
    xml::Node element = parent.appendChild(doc.createElement(name));
    element.setText(text);
    WriteLog(state, "Sucessfully added the child" + (name == "password" ? std::string("***") : std::string(text)),
             "Info");
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error while adding the child" + e.description(), "Error");
  }
}

bool AppendIntoMapXml(AddinState& state, const DocumentMapRecord& record) {
  return Append(state, Content(state, record));
}
bool ReplaceNodeInMapXml(AddinState& state, const DocumentMapRecord& record) {
  return Replace(state, Content(state, record));
}
bool UpdateMapXml(AddinState& state, const DocumentMapRecord& record) { return Update(state, Content(state, record)); }

bool AppendWorkbookIntoMapXml(AddinState& state, const WorkbookMapRecord& record) {
  return Append(state, Content(state, record));
}
bool ReplaceWorkbookNodeInMapXml(AddinState& state, const WorkbookMapRecord& record) {
  return Replace(state, Content(state, record));
}
bool UpdateMapXml(AddinState& state, const WorkbookMapRecord& record) { return Update(state, Content(state, record)); }

bool InUserDocsFolder(const AddinState& state, std::string_view path) {
  if (platform::text::Trim(state.gUserDocsFolder).empty()) return false;
  const std::string file = ComparablePath(path);
  const std::string folder = ComparablePath(state.gUserDocsFolder) + "\\";
  // Right in the folder: what follows it is one file name, not "" and not a further step.
  return platform::text::StartsWith(file, folder) && file.size() > folder.size() &&
         file.find('\\', folder.size()) == std::string::npos;
}

bool RefusedRecordedCopy(AddinState& state, std::string_view path) {
  if (InUserDocsFolder(state, path)) return false;
  WriteLog(state, "A map record names a file outside the user folder, which is not used: " + std::string(path),
           "Error");
  return true;
}

std::size_t RemoveOtherRecordsOfCopy(AddinState& state, const DocumentMapRecord& record) {
  return RemoveOthers(state, record.id, record.location, LocalCopyKey::LocationChild, record.nameUrl);
}
std::size_t RemoveOtherRecordsOfCopy(AddinState& state, const WorkbookMapRecord& record) {
  return RemoveOthers(state, record.id, record.path, LocalCopyKey::FilenameAttribute, "");
}

std::size_t RemoveLocalCopyRecords(AddinState& state, std::string_view mapPath, std::span<const std::string> localCopies,
                                   LocalCopyKey key) {
  const std::string path(mapPath);
  std::unordered_set<std::string> copies;
  for (const std::string& copy : localCopies) copies.insert(platform::text::FoldCase(copy));
  auto keyOf = [key](const xml::Node& record) { return platform::text::FoldCase(LocalCopyOf(record, key)); };

  xml::Document doc;
  if (!LoadMap(state, path, doc)) platform::Raise(platform::err::ObjectNotSet);
  xml::Node root = doc.documentElement();
  std::size_t removed = 0;
  try {
    for (std::size_t i = 0; i < root.childCount();) {
      const xml::Node record = root.child(i);
      if (copies.count(keyOf(record)) != 0) {
        root.removeChild(record);
        ++removed;
      } else {
        ++i;
      }
    }
  } catch (const platform::RuntimeError&) {
    if (removed > 0) SaveMap(state, doc, path, xml::Node());
    throw;
  }
  if (removed > 0) SaveMap(state, doc, path, xml::Node());
  return removed;
}

}  // namespace tavo
