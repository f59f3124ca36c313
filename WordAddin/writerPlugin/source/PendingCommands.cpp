// The commands that show the shared dialogs still to come; they are completed as those
// dialogs arrive.
#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/Log.h"

namespace tavo::writer {

void ClassInit::oAboutCmdBar_Click() { WriteLog(state_, "About: not available yet", "Info"); }
void ClassInit::oopenlocalcmdbutton_Click() { state_.gConfigMode = 1; }

}  // namespace tavo::writer
