#pragma once
// What the Word add-in's tests share: the add-in in the emulated Word, as tests/HostedSession.h
// starts it, with its settings, its messages and its log as the tests read them.
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
#include "tests/HostedSession.h"

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

class WriterTest : public ::testing::Test, public tavo::test::HostedSession {
 protected:
  WriterTest() : HostedSession(host::HostKind::Word, TAVO_WRITER_LIBRARY, "Tavo Writer Word Add-In") {}

  // Word quits, if it runs.
  void EndWord() { EndSession(); }
  // Starts Word with the registered add-ins.
  host::OfficeSession& StartWord() { return StartSession(); }
  host::OfficeSession& word() { return session(); }
  void QuitWord() { ASSERT_TRUE(QuitSession()); }

  // The user closes the next information message (or error message) with OK.
  void WillReadMessage(const char* dialog = "frmMsgInfo") { user_.On(dialog, {"click Command1"}); }
  // The messages shown so far, each as "<dialog>: <text>".
  std::vector<std::string> Messages() const { return tavo::test::MessageLines(user_); }

  std::string LogText(const std::string& user) {
    const std::string log = std::string(kAppData) + "\\tavo\\tavowriter\\users\\" + user + "\\tavowriter.log";
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : std::string();
  }
};

using tavo::test::kSignedInKeepingCopies;
using tavo::test::kSignedInWithoutCopies;
using tavo::test::kSignedOut;

}  // namespace tavo::writer::test
