#include "WordAddin/writerPlugin/source/Service.h"

#include "common/Messages.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::writer {

using platform::text::Trim;

service::service() : AddinShell(ownState_) {}

service::~service() = default;

ClassInit& service::m_ClassInit() {
  if (!classInit_) classInit_ = std::make_unique<ClassInit>(state_, operations_);
  return *classInit_;
}

void WriterOperations::ShowSignedOut() { connection_.m_ClassInit().ShowSignedOut(); }

void service::OwnStartUpStep() {
  if (Trim(state_.gLoginUser).empty() || Trim(state_.gLoginPassword).empty())
    ShowStatus(state_, state_.strings["gMsg03"]);
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
