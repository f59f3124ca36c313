#pragma once
// What the Word add-in's tests share: a fresh environment with the clock standing still, the
// add-in library registered as its installer would, and an emulated Word that loads it the way
// Office does (registry, dlopen, connection object). The tests see the add-in only from
// outside: the command bars, the registry, the files it writes, the dialogs it shows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/AddinTestSupport.h"
#include "host/OfficeSession.h"
#include "platform/core/Clock.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/forms/Form.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/office/CommandBars.h"
#include "platform/registry/Registry.h"

namespace tavo::writer::test {

namespace forms = platform::forms;
namespace office = platform::office;
namespace reg = platform::registry;

using tavo::test::ControlOf;
using tavo::test::FormWatcher;

inline constexpr const char* kSettingsKey = "Software\\tavo\\tavo writer Word Plugin\\reg";
inline constexpr const char* kSheetSettingsKey = "Software\\tavo\\tavo sheet Excel Plugin\\reg";
inline constexpr const char* kAppData = "C:\\Users\\tavo\\AppData\\Roaming";
inline constexpr const char* kDocuments = "C:\\Users\\tavo\\Documents";

inline constexpr tavo::test::AddinSettings kSettings{kSettingsKey};
inline std::string Setting(std::string_view name) { return kSettings.Get(name); }
inline void SetSetting(std::string_view name, std::string_view value) { kSettings.Set(name, value); }
using tavo::test::SetShared;
using tavo::test::Shared;
inline void RememberCredentials(const std::string& user, const std::string& password, bool saveLocal = false) {
  kSettings.RememberCredentials(user, password, saveLocal);
}
// The spreadsheet add-in signed in as `user`, as its sign-in leaves the shared key.
inline void SheetSignedIn(const std::string& user, const std::string& password, const std::string& ticket) {
  tavo::test::SignedInElsewhere("excelstatus", user, password, ticket);
}

class WriterTest : public ::testing::Test {
 protected:
  WriterTest() {
    reg::SetLocalMachineWritable(true);
    EXPECT_EQ(host::RegisterLibrary(TAVO_WRITER_LIBRARY), 0);
  }
  ~WriterTest() override { EndWord(); }

  // Word quits, if it runs.
  void EndWord() {
    if (word_) word_->Quit(true);
    word_.reset();
  }

  // Starts Word with the registered add-ins.
  host::OfficeSession& StartWord() {
    word_ = std::make_unique<host::OfficeSession>(host::HostKind::Word,
                                                  [this](const std::string& m) { reports.push_back(m); });
    EXPECT_EQ(word_->Start(), 1);
    return *word_;
  }
  host::OfficeSession& word() { return *word_; }
  void QuitWord() { ASSERT_TRUE(word_->Quit(true)); }

  office::Ref<office::CommandBar> Toolbar() { return word_->bars().Item("Tavo Writer Word Add-In"); }
  bool HasToolbar() {
    for (const auto& bar : word_->bars().bars())
      if (bar->Name() == "Tavo Writer Word Add-In") return true;
    return false;
  }
  // The menu items 1-8 and the toolbar buttons 9-12, in the order they were made, and their
  // enabled states as "1" and "0".
  std::vector<office::Ref<office::CommandBarControl>> Controls() { return tavo::test::ToolbarCommands(Toolbar()); }
  std::string EnabledStates() { return tavo::test::EnabledStates(Toolbar()); }
  // After the service refused the ticket: the add-in is back in its signed-out state, and the
  // Login its message asks for signs in again through the dialog, which shows the account in use.
  void SignInAgain() {
    EXPECT_EQ(EnabledStates(), "100001010001");
    user_.On("frmConfig", {"click Command1"});
    word_->Click("&Login");
    EXPECT_EQ(EnabledStates().substr(0, 8), "01111111");
  }

  // The user closes the next information message (or error message) with OK.
  void WillReadMessage(const char* dialog = "frmMsgInfo") { user_.On(dialog, {"click Command1"}); }
  // The messages shown so far, each as "<dialog>: <text>".
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : tavo::test::SeenMessages(user_)) texts.push_back(m.dialog + ": " + m.text);
    return texts;
  }

  std::string LogText(const std::string& user) {
    const std::string log = std::string(kAppData) + "\\tavo\\tavowriter\\users\\" + user + "\\tavowriter.log";
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : std::string();
  }

  platform::environment::TempEnvironment env_;
  platform::ScopedVirtualClock clock_{platform::MakeLocalTime(2009, 6, 2, 13, 5, 7)};
  platform::forms::ScriptedOperator user_;
  std::vector<std::string> reports;

 private:
  std::unique_ptr<host::OfficeSession> word_;
};

// The enabled states of the twelve controls (menu Login, Open Document, Add, Save, Publish,
// Settings, Logout, About; buttons Open, Save, Add, Local Documents).
inline constexpr const char* kAfterStartUp = "100001010001";
inline constexpr const char* kSignedInKeepingCopies = "011111111111";
inline constexpr const char* kSignedInWithoutCopies = "011111111110";
inline constexpr const char* kSignedOut = "100001010001";

}  // namespace tavo::writer::test
