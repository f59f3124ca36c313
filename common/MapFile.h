#pragma once
// The map file as the flows read it: where it lies, a record's fields by name, the selections
// the flows look records up with, and a loaded map to walk, change and save. Record writes go
// through MapStore.h; every other reading or writing of the file goes through here, so that the
// file's format (the positions of a record's children) is known in one place.
#include <string>
#include <string_view>
#include <vector>

#include "platform/xml/XmlDocument.h"

namespace tavo {

struct AddinState;

// The signed-in account's map file: trimmed(gUserDataFolder + the add-in's map file name), the
// folder that its sign-in made.
std::string MapFilePath(const AddinState& state);
// The map file of a named account, in the application-data tree of this run:
// <gAppDataRoot>\users\<trimmed account>\<map file name>.
std::string MapFilePath(const AddinState& state, std::string_view account);

// The selections of records by the flows. Each value goes in as a literal, so any text
// (apostrophes and quotes included) selects as it is.
// The word-processor record whose filename attribute is `key`.
std::string DocumentRecordByFilename(std::string_view key);
// The word-processor record whose document_id is `id`.
std::string DocumentRecordById(std::string_view id);
// The spreadsheet record whose book_id is `id`.
std::string WorkbookRecordById(std::string_view id);

// One record of the map, read by the names of its fields. The children are read by position, as
// the format fixes them; a record too short to hold a field raises run-time error 91 when the
// field is read, as an unset object does.
class MapRecord {
 public:
  MapRecord() = default;
  explicit MapRecord(platform::xml::Node node) : node_(std::move(node)) {}
  explicit operator bool() const { return static_cast<bool>(node_); }
  const platform::xml::Node& node() const { return node_; }

  // Both kinds: document_id / book_id, document_name / book_name, extension, localtime, and the
  // stored form of the password the copy was saved with.
  std::string Id() const { return Child(0); }
  std::string Name() const { return Child(1); }
  std::string Extension() const { return Child(5); }
  std::string LocalTime() const { return Child(6); }
  std::string StoredPassword() const { return Child(7); }
  // A document's: document_name_url, version, location (the local copy's full path).
  std::string NameUrl() const { return Child(2); }
  std::string Version() const { return Child(3); }
  std::string Location() const { return Child(4); }
  // A workbook's: updatelock, created_time, modified_time.
  std::string UpdateLock() const { return Child(2); }
  std::string CreatedTime() const { return Child(3); }
  std::string ModifiedTime() const { return Child(4); }

  // The "filename" attribute by name ("" when there is none).
  std::string Filename() const { return node_.getAttribute("filename"); }
  // The second attribute, where the store writes the filename (a workbook's full path); run-time
  // error 91 when the record has fewer attributes.
  std::string SecondAttribute() const { return node_.attribute(1); }
  std::size_t AttributeCount() const { return node_.attributeCount(); }
  // The record's markup, for the log.
  std::string Markup() const { return node_.xml(); }

 private:
  std::string Child(std::size_t index) const { return node_.child(index).text(); }
  platform::xml::Node node_;
};

// A map loaded from its file for a flow: walked, looked up in, changed and saved whole. It is
// read as the file stands (a file that is missing or not well-formed loads as no map, and is
// left as it is); saving replaces the file atomically, so a crash leaves the map from before or
// the one from after.
class MapFile {
 public:
  explicit MapFile(std::string path);

  bool Loaded() const { return loaded_; }
  const std::string& Path() const { return path_; }

  // Every child of <mapxml>, in the file's order; run-time error 91 when no map is loaded.
  std::vector<MapRecord> Records() const;
  // The first record that the selection (one of those above) selects; none when no map is loaded.
  MapRecord Select(std::string_view selection) const;
  // The first workbook record whose second attribute (its full path) is `path`, in any letter
  // case; a record without that attribute is passed over. Run-time error 91 when no map is loaded.
  MapRecord WorkbookOfFile(std::string_view path) const;
  // Takes the record out of the loaded map; the file changes at Save.
  void Remove(const MapRecord& record);
  // Writes the loaded map back to its file.
  void Save() const;

 private:
  std::string path_;
  platform::xml::Document doc_;
  bool loaded_ = false;
};

}  // namespace tavo
