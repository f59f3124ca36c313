#include "common/MapStore.h"

#include <ctime>
#include <utility>
#include <vector>

#include "common/AddinState.h"
#include "common/Log.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

namespace xml = platform::xml;

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

// The changes themselves, on the map as loaded from `path`; each saves it there.
void AppendTo(AddinState& state, xml::Document& doc, const std::string& path, const RecordContent& record) {
  xml::Node element = NewRecordElement(doc, record);
  element = doc.documentElement().appendChild(element);
  AddChildren(state, doc, element, record);
  doc.save(path);
}

void ReplaceIn(AddinState& state, xml::Document& doc, const std::string& path, const RecordContent& record) {
  xml::Node element = NewRecordElement(doc, record);
  xml::Node root = doc.documentElement();
  xml::Node old = root.selectSingleNode(RecordSelection(record));
  if (!old) platform::Raise(platform::err::ObjectNotSet);
  root.replaceChild(element, old);
  AddChildren(state, doc, element, record);
  doc.save(path);
}

// `loaded`, when given, is the map as the caller has just loaded it from the map file: parsing a
// large map is most of an update's cost, so it is parsed once per update, not once per step.
bool Append(AddinState& state, const RecordContent& record, xml::Document* loaded = nullptr) {
  const std::string path = MapFilePath(state);
  try {
    xml::Document own;
    xml::Document* doc = loaded;
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

bool Replace(AddinState& state, const RecordContent& record, xml::Document* loaded = nullptr) {
  const std::string path = MapFilePath(state);
  try {
    xml::Document own;
    xml::Document* doc = loaded ? loaded : own.load(path) ? &own : nullptr;
    if (doc) ReplaceIn(state, *doc, path, record);
    WriteLog(state, "Sucessfully Replaces the node in Mapxml ", "Info");
    return true;
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error While Replacing a Node in Mapxml | " + e.description(), "Error");
    return false;
  }
}

bool Update(AddinState& state, const RecordContent& record) {
  try {
    xml::Document doc;
    bool done;
    if (!doc.load(MapFilePath(state))) {
      done = Append(state, record);
    } else {
      bool known = static_cast<bool>(doc.documentElement().selectSingleNode(RecordSelection(record)));
      done = known ? Replace(state, record, &doc) : Append(state, record, &doc);
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

std::string MapFilePath(const AddinState& state) {
  return platform::text::Trim(state.gUserDataFolder + std::string(state.params.mapFileName));
}

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

}  // namespace tavo
