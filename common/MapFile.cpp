#include "common/MapFile.h"

#include <utility>

#include "common/AddinState.h"
#include "common/UserFiles.h"
#include "platform/core/Text.h"

namespace tavo {

namespace xml = platform::xml;

namespace {

std::string MapFileIn(const AddinState& state, const std::string& userFolder) {
  return platform::text::Trim(userFolder + std::string(state.params.mapFileName));
}

}  // namespace

std::string MapFilePath(const AddinState& state) { return MapFileIn(state, state.gUserDataFolder); }

std::string MapFilePath(const AddinState& state, std::string_view account) {
  return MapFileIn(state, UserFolderPath(state.gAppDataRoot, account));
}

std::string DocumentRecordByFilename(std::string_view key) {
  return "//mapxml/document[@filename=" + xml::XPathLiteral(key) + "]";
}

std::string DocumentRecordById(std::string_view id) {
  return "//mapxml/document[document_id=" + xml::XPathLiteral(id) + "]";
}

std::string WorkbookRecordById(std::string_view id) {
  return "//mapxml/workbook[book_id=" + xml::XPathLiteral(id) + "]";
}

MapFile::MapFile(std::string path) : path_(std::move(path)) { loaded_ = doc_.load(path_); }

std::vector<MapRecord> MapFile::Records() const {
  std::vector<MapRecord> records;
  for (xml::Node& node : doc_.documentElement().childNodes()) records.emplace_back(std::move(node));
  return records;
}

MapRecord MapFile::Select(std::string_view selection) const { return MapRecord(doc_.selectSingleNode(selection)); }

MapRecord MapFile::WorkbookOfFile(std::string_view path) const {
  for (const MapRecord& record : Records())
    if (record.AttributeCount() > 1 && platform::text::EqualsText(record.SecondAttribute(), path)) return record;
  return {};
}

void MapFile::Remove(const MapRecord& record) { doc_.documentElement().removeChild(record.node()); }

void MapFile::Save() const { doc_.save(path_); }

}  // namespace tavo
