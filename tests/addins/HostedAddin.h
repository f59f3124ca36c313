#pragma once
// The start-up and sign-in of the two add-ins, tested as one suite: a row of what a user sees of
// each add-in (its registration, toolbar, settings, messages and texts), and a fixture that runs
// the add-in of the row in its emulated host (tests/HostedSession.h) against the stand-in service
// in process. The suite's home pages come from a scripted page source, so the sign-in's wait runs
// on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/AddinTestSupport.h"
#include "host/OfficeSession.h"
#include "platform/core/Clock.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/forms/WebBrowser.h"
#include "platform/office/CommandBars.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"
#include "tests/HostedSession.h"
#include "tests/StandInService.h"

namespace tavo::test {

// One of the twelve controls: its English caption and tool tip, the markers of their translated
// texts, its tag and whether a group begins with it. A null tool tip is the language file's text
// as it stands, in English too.
struct ControlText {
  const char* english;
  const char* key;
  const char* tooltip;
  const char* tooltipKey;
  const char* tag;
  bool beginGroup;
};

struct HostedAddin {
  const char* name;  // in the test names
  host::HostKind host;
  const char* library;
  const char* otherHost;  // the host name the add-in is not registered for

  // Registration.
  const char* progId;
  const char* friendlyName;
  const char* description;
  const char* userAddinKey;
  const char* machineAddinKey;

  // Settings and the shared sign-in.
  const char* settingsKey;
  const char* otherSettingsKey;
  const char* ownStatus;    // its status value in the shared key
  const char* otherStatus;  // the other add-in's
  std::vector<std::pair<const char*, const char*>> startUpSettings;  // what a fresh start writes
  const char* webUrlSetting;                                         // written by the refresh

  // The toolbar.
  const char* toolbar;
  const char* menuCaption;
  const char* languagePrefix;  // of the translated Menu section
  std::array<ControlText, 12> controls;

  // Messages and the status bar.
  const char* infoDialog;
  const char* errorDialog;
  std::vector<std::string> startUpErrorNotice;  // shown before the start-up message
  const char* statusNobodyRemembered;           // after start-up
  const char* statusRemembered;                 // after start-up, credentials remembered
  const char* statusSignedIn;                   // after a sign-in through the dialog
  const char* statusSignedOut;                  // after a sign-out

  // Sign-in, its log and its files.
  const char* homePage;
  std::chrono::seconds homePageGiveUp;  // from the Login click
  const char* userFolder;               // "tavowriter" / "tavosheet"
  const char* logFile;
  const char* logTitle;
  const char* mapFile;

  // Open from Tavo while nobody is signed in: the list call it sends and what the user reads.
  const char* listMethod;
  std::size_t listCallsSignedOut;
  std::vector<std::string> openSignedOutMessages;
};

inline void PrintTo(const HostedAddin* addin, std::ostream* os) { *os << addin->name; }
inline std::string AddinName(const ::testing::TestParamInfo<const HostedAddin*>& info) { return info.param->name; }

inline const HostedAddin kWordAddin{
    "Word", host::HostKind::Word, TAVO_WRITER_LIBRARY, "Excel",
    "tavowriterwordaddin.service", "TavoWriter", "TavoWriter Word Plug-In",
    "Software\\Microsoft\\Office\\Word\\Addins\\tavowriterwordaddin.service",
    "SOFTWARE\\Microsoft\\Office\\Word\\Addins\\tavowriterwordaddin.service",
    "Software\\tavo\\tavo writer Word Plugin\\reg", "Software\\tavo\\tavo sheet Excel Plugin\\reg",
    "wordstatus", "excelstatus",
    {{"tavowriterurl", "http://writer.tavo.example"},
     {"tavowriterapiurl", "http://writer.tavo.example/api"},
     {"tavoaccountsurl", "https://accounts.tavo.example/"},
     {"tavologlevel", "Error"}},
    "tavowriterurl",
    "Tavo Writer Word Add-In", "&Tavo Writer", "WRITER_",
    {{{"&Login", "M1", "", "", "login 13:05:07", false},
      {"&Open Document", "M2", "", "", "open 13:05:07", true},
      {"&Add to Tavo Writer", "M3", "", "", "add 13:05:07", false},
      {"&Save in Tavo Writer", "M4", "", "", "save 13:05:07", false},
      {"&Publish in Tavo Share", "M8", "", "", "share 13:05:07", false},
      {"Se&ttings", "M5", "", "", "conf 13:05:07", true},
      {"Lo&gout", "M6", "", "", "logout 13:05:07", false},
      {"About &Tavo Office Plugin", "M7", "", "", "about 13:05:07", true},
      {" &Open ", "S1", "Open from Tavo Writer", "T1", "openbtn 13:05:07", true},
      {" &Save ", "S2", "Save in Tavo Writer", "T2", "savebtn 13:05:07", true},
      {" &Add ", "S3", "Add to Tavo Writer", "T3", "addbtn 13:05:07", true},
      {"Local &Documents", "S4", "Open LocalDocuments of Tavo Writer", "T4", "localbtn 13:05:07", true}}},
    "frmMsgInfo", "frmMsgError", {},
    "You are not signed in to Tavo. Use Login to sign in.", "", "Your sign-in details have been accepted.", "",
    "http://www.tavo.example/", std::chrono::seconds(31), "tavowriter", "tavowriter.log",
    " Tavo Writer Word Addin Log - ", "maptavoword.xml",
    "writer.getDocuments", 0, {"frmMsgInfo: Login to Tavo Writer to View Documents"}};

inline const HostedAddin kExcelAddin{
    "Excel", host::HostKind::Excel, TAVO_SHEET_LIBRARY, "Word",
    "tavosheet.Connect", "TavoSheet", "Tavo Sheet Excel Plugin",
    "Software\\Microsoft\\Office\\Excel\\Addins\\tavosheet.Connect",
    "Software\\Microsoft\\Office\\Excel\\Addins\\tavosheet.Connect",
    "Software\\tavo\\tavo sheet Excel Plugin\\reg", "Software\\tavo\\tavo writer Word Plugin\\reg",
    "excelstatus", "wordstatus",
    {{"tavosheeturl", "http://sheet.tavo.example/"}, {"tavosheetapiurl", "http://sheet.tavo.example/api/xml"}},
    "tavosheeturl",
    "Tavo Sheet Excel Add-In", "&Tavo Sheet", "SHEET_",
    {{{"&Login", "M1", "", "", "login 13:05:07", false},
      {"&Open Tavo Sheet", "M2", "", "", "open 13:05:07", true},
      {"&Add to Tavo Sheet", "M3", "", "", "add 13:05:07", false},
      {"&Save in Tavo Sheet", "M4", "", "", "save 13:05:07", false},
      {"&Publish in Tavo Share", "M8", "", "", "publish 13:05:07", false},
      {"Se&ttings", "M5", "", "", "conf 13:05:07", true},
      {"Lo&gout", "M6", "", "", "logout 13:05:07", false},
      {"About &Tavo Office Plugin", "M7", "", "", "about 13:05:07", true},
      {" &Open ", "S1", "Open from Tavo Sheet", "T1", "openbtn", true},
      {"&Save", "S2", nullptr, "T2", "savebtn", true},
      {" &Add ", "S3", "Add to Tavo Sheet", "T3", "addbtn", true},
      {"Local Work&Books", "S4", "Open LocalWorkBooks of Tavo Sheet", "T4", "localbtn 13:05:07", true}}},
    "frmMsg", "frmMsg", {"frmMsg: error0"},
    // Nobody remembered gives no hint: the status bar shows what the sign-in dialog, loaded
    // hidden to be prefilled, says.
    "Fill in the Login Informations...", "Fill in the Login Informations...", "Tavo Sheet sign-in status updated.",
    "Tavo Sheet sign-in status updated.",
    "http://sheet.tavo.example/", std::chrono::seconds(30), "tavosheet", "tavosheet.log",
    " Tavo Sheet Excel Addin Log - ", "maptavoexcel.xml",
    "tavosheet.userView.getWorkbooks", 1, {"frmMsg: Authentication failed. Please sign in again."}};

inline const HostedAddin* const kBothAddins[] = {&kWordAddin, &kExcelAddin};

class HostedAddinTest : public ::testing::TestWithParam<const HostedAddin*>, public HostedSession {
 protected:
  HostedAddinTest()
      : HostedSession(GetParam()->host, GetParam()->library, GetParam()->toolbar),
        addin(*GetParam()),
        settings(addin.settingsKey) {
    server_ = StartStandIn();
    pages_.Add(addin.homePage, {platform::forms::kReadyStateComplete}, "<html><body>Tavo</body></html>");
  }
  ~HostedAddinTest() override {
    EndSession();  // its last log lines are written as it quits
    StopStandIn(*server_, env_.root());
  }

  host::OfficeSession& Start() { return StartSession(); }
  void Quit() { ASSERT_TRUE(QuitSession()); }
  void Click(std::string_view caption) { session().Click(caption); }
  void Login() { Click("&Login"); }
  std::string Status() { return session().application()->StatusBar(); }
  // Whether a session of its own holds the add-in's toolbar with controls on it.
  bool BuiltToolbar(host::OfficeSession& other) const {
    const auto& bars = other.bars().bars();
    return std::any_of(bars.begin(), bars.end(),
                       [&](const auto& bar) { return bar->Name() == addin.toolbar && bar->Controls().Count() > 0; });
  }

  std::string Setting(std::string_view name) const { return settings.Get(name); }
  void SetSetting(std::string_view name, std::string_view value) const { settings.Set(name, value); }
  void RememberCredentials(const std::string& user, const std::string& password, bool saveLocal = false) const {
    settings.RememberCredentials(user, password, saveLocal);
  }
  // The other add-in signed in as `user`, as its sign-in leaves the shared key.
  void OtherSignedIn(const std::string& user, const std::string& password, const std::string& ticket) const {
    SignedInElsewhere(addin.otherStatus, user, password, ticket);
  }

  // The user types the credentials into the sign-in dialog and signs in.
  void TypeCredentials(const std::string& user, const std::string& password) {
    user_.On("frmConfig", {"type tavoemailid " + user, "type tavopassword " + password, "click Command1"});
  }
  // The user closes the next information message with OK.
  void WillReadMessage() { user_.On(addin.infoDialog, {"click Command1"}); }
  // The messages shown so far, each as "<dialog>: <text>".
  std::vector<std::string> Messages() const { return MessageLines(user_); }
  std::string Info(const char* text) const { return std::string(addin.infoDialog) + ": " + text; }

  std::string UserData(const std::string& user) const {
    return std::string("C:\\Users\\tavo\\AppData\\Roaming\\tavo\\") + addin.userFolder + "\\users\\" + user + "\\";
  }
  std::string LogText(const std::string& user) const {
    const std::string log = UserData(user) + addin.logFile;
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : std::string();
  }

  // How many requests reached the service on the path, and how many called the method.
  size_t RequestsTo(const std::string& path) const { return tavo::test::RequestsTo(*server_, path); }
  size_t Calls(const std::string& method) const { return CallsOf(*server_, method).size(); }

  const HostedAddin& addin;
  const AddinSettings settings;
  platform::forms::ScriptedPages pages_;
  std::unique_ptr<service::Server> server_;
};

}  // namespace tavo::test
