#include "WordAddin/writerPlugin/source/Service.h"

#include "common/Language.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "common/signin/SignInCommand.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo::writer {

using platform::text::Trim;

service::service() = default;

service::~service() = default;

ClassInit& service::m_ClassInit() {
  if (!classInit_) classInit_ = std::make_unique<ClassInit>(state_, operations_);
  return *classInit_;
}

void WriterOperations::ShowSignedOut() { connection_.m_ClassInit().ShowSignedOut(); }

void service::OnConnection(const office::Ref<office::Application>& application, int, office::AddIn& addInInst,
                           office::Custom&) {
  bool started = false;
  try {
    started = StartUp(application, addInInst);
  } catch (const platform::RuntimeError&) {
    started = false;
  }
  // Nothing is undone: what the chain set up stays, and Word keeps the add-in loaded.
  if (!started) ShowMessage(state_, state_.strings["gMsg43"], 1);
}

bool service::StartUp(const office::Ref<office::Application>& application, office::AddIn& addInInst) {
  operations_.gHostApp = application;
  if (!CreatePluginRegistryKey(state_) || !LoadApplicationSettings(state_) || !LoadSavedCredentials(state_) ||
      !LoadLanguage(state_))
    return false;
  if (Trim(state_.gLoginUser).empty() || Trim(state_.gLoginPassword).empty())
    ShowStatus(state_, state_.strings["gMsg03"]);
  PrefillSignInDialog(state_);
  const std::string progId = addInInst.ProgId();
  if (!m_ClassInit().IntiCmdBar(application, progId)) return false;
  return m_ClassInit().RefreshCmdBar();
}

void service::OnDisconnection(int, office::Custom&) {
  try {
    m_ClassInit().LogoutFromTavo();
    operations_.gHostApp.Reset();
    m_ClassInit().UnIntiCmdBar();
  } catch (const platform::RuntimeError&) {
    // Word is unloading the add-in; there is nobody left to tell.
  }
}

}  // namespace tavo::writer
