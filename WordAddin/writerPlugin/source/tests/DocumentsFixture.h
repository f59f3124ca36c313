#pragma once
// What the end-to-end tests of the Word add-in's document operations share: an emulated Word
// with the add-in, signed in to the stand-in service (the spreadsheet add-in's sign-in adopted,
// so no dialog comes first), and the places the add-in keeps its files in.
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/ServiceFixture.h"
#include "host/files/PasswordHash.h"
#include "host/word/DocumentFile.h"
#include "host/word/WordApplication.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDocument.h"

namespace tavo::writer::test {

inline std::string DocsFolder(const std::string& user = kUser) {
  return std::string(kDocuments) + "\\tavo\\tavowriter\\users\\" + user;
}
inline std::string MapPath(const std::string& user = kUser) {
  return std::string(kAppData) + "\\tavo\\tavowriter\\users\\" + user + "\\maptavoword.xml";
}

// One record of the map file, by its children's names.
struct MapEntry {
  std::string id, filename, documentId, name, nameUrl, version, location, extension, password;
};

inline std::vector<MapEntry> MapEntries(const std::string& user = kUser) {
  std::vector<MapEntry> entries;
  platform::xml::Document map;
  if (!map.load(MapPath(user))) return entries;
  for (const auto& r : map.documentElement().childNodes()) {
    auto child = [&](const char* name) {
      auto node = r.selectSingleNode(name);
      return node ? node.text() : std::string("<missing>");
    };
    entries.push_back({r.getAttribute("id"), r.getAttribute("filename"), child("document_id"), child("document_name"),
                       child("document_name_url"), child("version"), child("location"), child("extension"),
                       child("password")});
  }
  return entries;
}

class DocumentsTest : public ServiceTest {
 protected:
  // Word started, signed in as the demo account; `keepCopies` is the keep-local choice.
  void SignedInWord(bool keepCopies = false) {
    ticket = server_->SignIn(kUser);
    SheetSignedIn(kUser, kPassword, ticket);
    RememberCredentials(kUser, kPassword, keepCopies);
    StartWord();
  }
  std::shared_ptr<host::word::WordApplication> app() { return word().word(); }
  std::shared_ptr<host::word::WordDocument> Active() { return app()->activeDocument(); }
  std::string ActiveName() { return Active() ? Active()->Name() : std::string(); }
  std::string ActiveText() {
    auto doc = Active();
    return host::word::TextOfItems(doc->items(), 0, doc->items().size());
  }
  std::string Status() { return word().application()->StatusBar(); }

  // The user opens the list and picks row `row` (after typing `search`, when given).
  void OpenFromList(int row, const std::string& search = "") {
    std::vector<std::string> actions;
    if (!search.empty()) actions.push_back("type searchtxt " + search);
    actions.push_back("select listdoc " + std::to_string(row));
    actions.push_back("click Command1");
    user_.On("frmDocList", actions);
    word().Click("&Open Document");
  }
  // Whether the file on disk is a document protected by `password`.
  static bool SavedWithPassword(const std::string& path, const std::string& password) {
    if (!platform::files::FileExists(path)) return false;
    auto file = host::word::ReadDocumentFile(platform::files::ReadAllBytes(path));
    return file && !file->passwordHash.empty() && host::PasswordMatches(file->passwordHash, password);
  }
  // The requests that carried this method call, in order.
  std::vector<service::RecordedRequest> Calls(const std::string& method) const {
    return tavo::test::CallsOf(*server_, method);
  }

  std::string ticket;
};

}  // namespace tavo::writer::test
