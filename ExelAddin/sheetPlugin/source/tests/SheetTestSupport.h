#pragma once
// What the Excel add-in's tests share: a fresh environment with the clock standing still, the
// add-in library registered as its installer would, an emulated Excel that loads it the way
// Office does (registry, dlopen, connection object), and the stand-in service in process with
// one account (the suite's names lead to it through the environment's hosts file). The
// spreadsheet's web page, which the sign-in loads first, comes from a scripted page source, so
// the sign-in's wait runs on the virtual clock. The tests see the add-in only from outside: the
// command bars, the registry, the files it writes, the dialogs it shows, what reached the service.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/AddinTestSupport.h"
#include "host/OfficeSession.h"
#include "host/excel/WorkbookFile.h"
#include "platform/core/Clock.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/forms/WebBrowser.h"
#include "platform/http/Http.h"
#include "platform/office/CommandBars.h"
#include "platform/registry/Registry.h"
#include "platform/xml/XmlDocument.h"
#include "service/Seed.h"
#include "service/Server.h"
#include "tests/HostedSession.h"
#include "tests/StandInService.h"

namespace tavo::sheet::test {

namespace forms = platform::forms;
namespace office = platform::office;
namespace reg = platform::registry;
namespace xml = platform::xml;
using tavo::test::ControlOf;
using tavo::test::FormWatcher;

inline constexpr const char* kSettingsKey = "Software\\tavo\\tavo sheet Excel Plugin\\reg";
inline constexpr const char* kWriterSettingsKey = "Software\\tavo\\tavo writer Word Plugin\\reg";
using tavo::test::kPassword;
using tavo::test::kUser;
inline constexpr const char* kSheetPage = "http://sheet.tavo.example/";
inline constexpr const char* kDocuments = "C:\\Users\\tavo\\Documents";
inline constexpr const char* kAppData = "C:\\Users\\tavo\\AppData\\Roaming";
// The account's folders: its local workbooks, and its log and map file.
inline const std::string kUserDocs = std::string(kDocuments) + "\\tavo\\tavosheet\\users\\" + kUser + "\\";
inline const std::string kUserData = std::string(kAppData) + "\\tavo\\tavosheet\\users\\" + kUser + "\\";

inline constexpr tavo::test::AddinSettings kSettings{kSettingsKey};
inline std::string Setting(std::string_view name) { return kSettings.Get(name); }
inline void SetSetting(std::string_view name, std::string_view value) { kSettings.Set(name, value); }
using tavo::test::SetShared;
using tavo::test::Shared;
inline void RememberCredentials(const std::string& user, const std::string& password, bool saveLocal = false) {
  kSettings.RememberCredentials(user, password, saveLocal);
}
// The Word add-in signed in as `user`, as its sign-in leaves the shared key.
inline void WordSignedIn(const std::string& user, const std::string& password, const std::string& ticket) {
  tavo::test::SignedInElsewhere("wordstatus", user, password, ticket);
}

// A workbook file with one sheet holding the cells.
inline std::string Workbook(std::vector<std::pair<std::string, std::string>> cells) {
  return service::WorkbookFile({{"Sheet1", std::move(cells)}});
}

// The workbook file at a Windows path, as the emulated Excel reads it.
inline host::excel::WorkbookFile WorkbookAt(const std::string& path) {
  auto file = host::excel::ReadWorkbookFile(platform::files::ReadAllBytes(path));
  if (!file) ADD_FAILURE() << path << " is no workbook file";
  return file.value_or(host::excel::WorkbookFile{});
}

inline std::string MapFile() { return kUserData + "maptavoexcel.xml"; }

// The map's records: attribute filename and the children by name.
struct MapEntry {
  std::string id, filename, bookId, name, updateLock, created, modified, extension, password;
};
inline std::vector<MapEntry> MapEntries() {
  xml::Document map;
  if (!map.load(MapFile())) return {};
  std::vector<MapEntry> entries;
  for (const xml::Node& r : map.documentElement().childNodes()) {
    auto child = [&](const char* name) { return r.selectSingleNode(name).text(); };
    entries.push_back({r.getAttribute("id"), r.getAttribute("filename"), child("book_id"), child("book_name"),
                       child("updatelock"), child("created_time"), child("modified_time"), child("extension"),
                       child("password")});
  }
  return entries;
}

class SheetTest : public ::testing::Test, public tavo::test::HostedSession {
 protected:
  SheetTest() : HostedSession(host::HostKind::Excel, TAVO_SHEET_LIBRARY, "Tavo Sheet Excel Add-In") {
    server_ = tavo::test::StartStandIn();
    // Every line of the log is written, so that tests can read what the add-in did.
    SetSetting("tavologlevel", "Info");
    pages_.Add(kSheetPage, {forms::kReadyStateComplete}, "<html><body>Tavo Sheet</body></html>");
  }
  ~SheetTest() override {
    EndSession();
    tavo::test::StopStandIn(*server_, env_.root());
  }

  // Starts Excel with the registered add-ins.
  host::OfficeSession& StartExcel() { return StartSession(); }
  // Excel started while the Word add-in is signed in as the account: the add-in adopts it.
  host::OfficeSession& StartSignedIn(bool saveLocal = true) {
    RememberCredentials(kUser, kPassword, saveLocal);
    WordSignedIn(kUser, kPassword, server_->SignIn(kUser));
    return StartExcel();
  }
  host::OfficeSession& excel() { return session(); }
  std::shared_ptr<host::excel::ExcelApplication> app() { return session().excel(); }
  bool QuitExcel() { return QuitSession(); }

  // Opens the online list and the entry with this name from it.
  void Download(const std::string& name) {
    user_.On("frmDocList", {"select listdoc \"" + name + "\"", "click Command1"});
    excel().Click("&Open Tavo Sheet");
  }

  // The user closes the next message with OK.
  void WillReadMessage(int times = 1) {
    for (int i = 0; i < times; ++i) user_.On("frmMsg", {"click Command1"});
  }
  // The messages shown so far.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : tavo::test::SeenMessages(user_)) texts.push_back(m.text);
    return texts;
  }
  std::string Status() { return excel().application()->StatusBar(); }
  std::string LogText() {
    const std::string log = kUserData + "tavosheet.log";
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : std::string();
  }

  // How many requests reached the service on the path, and those that called the method.
  size_t RequestsTo(const std::string& path) const { return tavo::test::RequestsTo(*server_, path); }
  std::vector<service::RecordedRequest> Calls(const std::string& method) const {
    return tavo::test::CallsOf(*server_, "tavosheet.userView." + method);
  }

  forms::ScriptedPages pages_;
  std::unique_ptr<service::Server> server_;
};

using tavo::test::kSignedInKeepingCopies;
using tavo::test::kSignedInWithoutCopies;
using tavo::test::kSignedOut;

}  // namespace tavo::sheet::test
