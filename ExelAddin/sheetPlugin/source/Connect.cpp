#include "ExelAddin/sheetPlugin/source/Connect.h"

#include <string>

#include "common/Log.h"
#include "common/Messages.h"
#include "platform/core/RuntimeError.h"

namespace tavo::sheet {

Connect::Connect() : AddinShell(ownState_) {}

Connect::~Connect() = default;

ClassInit& Connect::m_ClassInit() {
  if (!classInit_) classInit_ = std::make_unique<ClassInit>(state_, operations_);
  return *classInit_;
}

void SheetOperations::ShowSignedOut() { connection_.m_ClassInit().ShowSignedOut(); }

void Connect::StartUpFailed(long number, const std::string& description) {
  ShowMessage(state_, "error" + std::to_string(number) + description, 0);
  WriteLog(state_, "Addininstance_onconnection" + std::to_string(number) + "||" + description, "Info");
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
