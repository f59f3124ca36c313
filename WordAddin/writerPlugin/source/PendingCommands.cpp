// The commands that show the shared dialogs or sign in with the accounts service; they are
// completed as those pieces of the shared core arrive.
#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/Log.h"

namespace tavo::writer {

void ClassInit::oAboutCmdBar_Click() { WriteLog(state_, "About: not available yet", "Info"); }
void ClassInit::oConfCmdBar_Click() { state_.gConfigMode = 2; }
void ClassInit::oLoginCmdBar_Click() { state_.gConfigMode = 1; }
void ClassInit::oopenlocalcmdbutton_Click() { state_.gConfigMode = 1; }
bool ClassInit::LogoutFromTavo() { return false; }
bool ClassInit::WaitForHomePage(std::string&) { return false; }

}  // namespace tavo::writer
