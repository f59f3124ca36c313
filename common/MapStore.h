#pragma once
// The per-user map file that ties every online document (word processor) or workbook
// (spreadsheet) brought to this computer to its local copy: <mapxml> holding one record per
// online item, in the order of first appending. Readers address a record's children by
// position (MapRecord in MapFile.h names them), so the order of the children is part of the format.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "common/MapFile.h"
#include "platform/xml/XmlDocument.h"

namespace tavo {

struct AddinState;

// The fields of a word-processor record, element "document".
struct DocumentMapRecord {
  std::string id;
  std::string name;
  std::string nameUrl;  // file-name form of the name, also the record's "filename"
  std::string version;
  std::string location;  // full path of the local copy
};

// The fields of a spreadsheet record, element "workbook".
struct WorkbookMapRecord {
  std::string id;
  std::string name;
  std::string createdTime;
  std::string modifiedTime;
  std::string updateLock;
  std::string path;  // full local path, also the record's "filename"
};

// Makes sure a loadable map file exists at the path: a missing one is created empty; one that is
// not well-formed is first kept beside it as <name>.damaged-<YYYYMMDDHHMMSS> (logged), then
// replaced by an empty map.
void EnsureMapFile(AddinState& state, std::string_view path);

// Creates the element, appends it to the parent and sets its text (the password child is
// logged as "***").
void AddChildElement(AddinState& state, const platform::xml::Document& doc, platform::xml::Node& parent,
                     std::string_view name, std::string_view text);

bool AppendIntoMapXml(AddinState& state, const DocumentMapRecord& record);
bool ReplaceNodeInMapXml(AddinState& state, const DocumentMapRecord& record);
// Replaces the record with the same id, in place, or appends a new one.
bool UpdateMapXml(AddinState& state, const DocumentMapRecord& record);

bool AppendWorkbookIntoMapXml(AddinState& state, const WorkbookMapRecord& record);
bool ReplaceWorkbookNodeInMapXml(AddinState& state, const WorkbookMapRecord& record);
bool UpdateMapXml(AddinState& state, const WorkbookMapRecord& record);

// How a clean-up knows the record of a local copy: the word processor's by the record's child 4,
// its "location" element, holding the path; the spreadsheet's by the record's second attribute,
// its "filename", being the path. Paths compare without regard to case.
enum class LocalCopyKey { LocationChild, FilenameAttribute };

// The map store's part of the clean-up of temporary copies: removes from the map file at `mapPath`
// the records of the given local copies, walking the records once from the first to the last (the
// record after a removed one is examined next, so neighbours that both match both go). The map is
// saved once, after the walk, and only when a record was removed: the same file as saving after
// each removal, written once instead of once per copy. The file is replaced atomically, so a crash
// leaves the map from before or the one from after. A run-time error (a map that does not load, a
// record too short to hold its key) ends the walk: what was removed before it is saved, then the
// error goes on to the caller, as when every removal is saved at once. Returns how many went.
std::size_t RemoveLocalCopyRecords(AddinState& state, std::string_view mapPath, std::span<const std::string> localCopies,
                                   LocalCopyKey key);

// True when the path names a file right in the signed-in account's documents folder
// (gUserDocsFolder), where the local copies lie. Letter case, doubled separators and "." or ".."
// steps do not hide where a file lies.
bool InUserDocsFolder(const AddinState& state, std::string_view path);
// A map record leads the add-in to write or delete the file it names (the local copy of its
// document or workbook). A hand-edited or damaged map may name any file: true, after an Error
// line, when `path`, where the record leads, is not in the account's documents folder. The caller
// then takes the record as absent.
bool RefusedRecordedCopy(AddinState& state, std::string_view path);

// A download or an add has just written the local copy of `record` and recorded it: every other
// record that names the same file goes from the map, so that no two records ever name one file.
// The save flow takes the first record of a file it finds, and would send this file over the
// online document of a record left from before (one whose file was gone, say). A record names a
// file by its path (the word processor's location, the spreadsheet's filename; any spelling of
// the path) and, in the word processor, by its filename too, the name by which the save flow
// finds the copy. The record of the copy itself, the first with its id, stays. Each removal is
// logged; a map that cannot be cleaned is logged too and left as it is. Returns how many went.
std::size_t RemoveOtherRecordsOfCopy(AddinState& state, const DocumentMapRecord& record);
std::size_t RemoveOtherRecordsOfCopy(AddinState& state, const WorkbookMapRecord& record);

}  // namespace tavo
