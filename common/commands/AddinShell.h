#pragma once
// The connection class that the host creates for an add-in, as both add-ins share it. When the
// host connects it, the start-up chain runs: the add-in's registry key, the application
// settings, the remembered credentials and the language texts, the add-in's own step, the
// sign-in dialog's prefill, then the command bars are built and refreshed. A failed chain undoes
// nothing: what it set up stays, and the host keeps the add-in loaded. What each add-in does when
// the host disconnects it is its own.
#include <string>

#include "common/AddinState.h"
#include "common/commands/AddinCommands.h"
#include "platform/office/AddinConnection.h"

namespace tavo {

class AddinShell : public platform::office::AddinConnection {
 public:
  // Runs the start-up chain; when it fails, StartUpFailed and then gMsg43 tell the user.
  void OnConnection(const platform::office::Ref<platform::office::Application>& application, int connectMode,
                    platform::office::AddIn& addInInst, platform::office::Custom& custom) final;
  void OnAddInsUpdate(platform::office::Custom&) override {}
  void OnStartupComplete(platform::office::Custom&) override {}
  void OnBeginShutdown(platform::office::Custom&) override {}

 protected:
  // The add-in's state, whose host is the add-in's operations: both belong to the add-in's
  // connection class and are only stored here.
  explicit AddinShell(AddinState& state) : state_(state) {}

  // The add-in's command bars (its m_ClassInit).
  virtual AddinCommands& Commands() = 0;
  // The add-in's own step, once the language texts are loaded.
  virtual void OwnStartUpStep() {}
  // What the add-in tells after a failed start-up, before gMsg43: the run-time error that ended
  // the chain, or number 0 and "" when a step returned false.
  virtual void StartUpFailed(long /*number*/, const std::string& /*description*/) {}

  AddinState& state_;

 private:
  // The start-up chain; false as soon as one step fails.
  bool StartUp(const platform::office::Ref<platform::office::Application>& application,
               platform::office::AddIn& addInInst);
};

}  // namespace tavo
