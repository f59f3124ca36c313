#pragma once
// An add-in in the emulated Office host, as the add-ins' tests start it: a fresh environment with
// the clock standing still, the add-in library registered as its installer would, a scripted
// user, and the host that loads the add-in the way Office does (registry, dlopen, connection
// object). The tests see the add-in only from outside: the command bars, the registry, the files
// it writes, the dialogs it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/dialogs/TestSupport.h"
#include "common/tests/AddinTestSupport.h"
#include "host/OfficeSession.h"
#include "platform/core/Clock.h"
#include "platform/environment/TestSupport.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/office/CommandBars.h"
#include "platform/registry/Registry.h"

namespace tavo::test {

// The enabled states of the twelve controls (menu Login, Open, Add, Save, Publish, Settings,
// Logout, About; buttons Open, Save, Add, local files), alike in both add-ins.
inline constexpr const char* kSignedOut = "100001010001";
inline constexpr const char* kSignedInKeepingCopies = "011111111111";
inline constexpr const char* kSignedInWithoutCopies = "011111111110";

// The messages the user was shown, each as "<dialog>: <text>".
inline std::vector<std::string> MessageLines(const platform::forms::ScriptedOperator& user) {
  std::vector<std::string> lines;
  for (const auto& m : SeenMessages(user)) lines.push_back(m.dialog + ": " + m.text);
  return lines;
}

class HostedSession {
 public:
  HostedSession(host::HostKind kind, const char* library, const char* toolbar) : kind_(kind), toolbar_(toolbar) {
    platform::registry::SetLocalMachineWritable(true);
    EXPECT_EQ(host::RegisterLibrary(library), 0);
  }
  virtual ~HostedSession() { EndSession(); }
  HostedSession(const HostedSession&) = delete;
  HostedSession& operator=(const HostedSession&) = delete;

 protected:
  // Starts the host with the registered add-ins.
  host::OfficeSession& StartSession() {
    session_ = std::make_unique<host::OfficeSession>(kind_, [this](const std::string& m) { reports.push_back(m); });
    EXPECT_EQ(session_->Start(), 1);
    return *session_;
  }
  host::OfficeSession& session() { return *session_; }
  bool QuitSession() { return session_->Quit(true); }
  // The host quits, if it runs.
  void EndSession() {
    if (session_) session_->Quit(true);
    session_.reset();
  }

  platform::office::Ref<platform::office::CommandBar> Toolbar() { return session_->bars().Item(toolbar_); }
  bool HasToolbar() {
    const auto& bars = session_->bars().bars();
    return std::any_of(bars.begin(), bars.end(), [&](const auto& bar) { return bar->Name() == toolbar_; });
  }
  // The menu items 1-8 and the toolbar buttons 9-12, in the order they were made, and their
  // enabled states as "1" and "0".
  std::vector<platform::office::Ref<platform::office::CommandBarControl>> Controls() {
    return ToolbarCommands(Toolbar());
  }
  std::string EnabledStates() { return tavo::test::EnabledStates(Toolbar()); }
  // After the service refused the ticket: the add-in is back in its signed-out state, and the
  // Login its message asks for signs in again through the dialog, which shows the account in use.
  void SignInAgain() {
    EXPECT_EQ(EnabledStates(), kSignedOut);
    user_.On("frmConfig", {"click Command1"});
    session_->Click("&Login");
    EXPECT_EQ(EnabledStates().substr(0, 8), "01111111");
  }

  platform::environment::TempEnvironment env_;
  platform::ScopedVirtualClock clock_{platform::MakeLocalTime(2009, 6, 2, 13, 5, 7)};
  platform::forms::ScriptedOperator user_;
  std::vector<std::string> reports;  // what the host told of loading the add-ins

 private:
  host::HostKind kind_;
  std::string_view toolbar_;
  std::unique_ptr<host::OfficeSession> session_;
};

}  // namespace tavo::test
