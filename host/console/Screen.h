#pragma once
// The text screen of the emulated application that the terminal and script operator print:
// the add-ins' toolbars with their controls and enabled states, their menus, the status bar,
// the open documents or workbooks, and the dialogs shown.
#include <string>

#include "host/OfficeSession.h"

namespace host {

std::string RenderScreen(OfficeSession& session);

}  // namespace host
