#include "ExelAddin/sheetPlugin/source/Connect.h"

#include <string>

#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "common/Language.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "common/signin/SignInCommand.h"
#include "platform/core/RuntimeError.h"

namespace tavo::sheet {

Connect::Connect() = default;

Connect::~Connect() = default;

ClassInit& Connect::m_ClassInit() {
  if (!classInit_) classInit_ = std::make_unique<ClassInit>(state_, operations_);
  return *classInit_;
}

std::string SheetOperations::ShownListText(const std::string& text) { return Utf8ToUnicode(text); }

void SheetOperations::ShowSignedOut() { connection_.m_ClassInit().ShowSignedOut(); }

void Connect::OnConnection(const office::Ref<office::Application>& application, int, office::AddIn& addInInst,
                           office::Custom&) {
  long number = 0;
  std::string description;
  try {
    if (StartUp(application, addInInst)) return;
  } catch (const platform::RuntimeError& e) {
    number = e.number();
    description = e.description();
  }
  // Nothing is undone: what the chain set up stays, and Excel keeps the add-in loaded.
  ShowMessage(state_, "error" + std::to_string(number) + description, 0);
  WriteLog(state_, "Addininstance_onconnection" + std::to_string(number) + "||" + description, "Info");
  ShowMessage(state_, state_.strings["gMsg43"], 1);
}

bool Connect::StartUp(const office::Ref<office::Application>& application, office::AddIn& addInInst) {
  operations_.gHostApp = application;
  if (!CreatePluginRegistryKey(state_) || !LoadApplicationSettings(state_) || !LoadSavedCredentials(state_) ||
      !LoadLanguage(state_))
    return false;
  PrefillSignInDialog(state_);
  const std::string progId = addInInst.ProgId();
  if (!m_ClassInit().IntiCmdBar(application, progId)) return false;
  return m_ClassInit().RefreshCmdBar();
}

void Connect::OnDisconnection(int removeMode, office::Custom&) {
  try {
    m_ClassInit().LogoutFromTavo();
    operations_.CloseWorkbooksAndDeleteTemp(removeMode == office::disconnect_mode::HostShutdown);
    WriteLog(state_, "addininstance:workbook deleted", "Info");
    operations_.RemoveTempEntriesFromMap();
    WriteLog(state_, "addininstance:workbook xml deleted", "Info");
    operations_.gHostApp.Reset();
  } catch (const platform::RuntimeError& e) {
    WriteLog(state_, "addininstance_ondisconnection" + std::to_string(e.number()) + e.description(), "Info");
  }
}

}  // namespace tavo::sheet
