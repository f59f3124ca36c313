#pragma once
// The text screen of the emulated application that the terminal and script operator print:
// the add-ins' toolbars with their controls and enabled states, their menus, the status bar,
// the open documents or workbooks, and the dialogs shown.
// A command usually changes a part of it, and a terminal user is shown just the parts that changed.
#include <string>
#include <vector>

#include "host/OfficeSession.h"
#include "platform/forms/Render.h"

namespace host {

// One part of the screen: the title, a toolbar or menu with its popups, the status bar, the open
// files, the start of the active one, a dialog. `key` tells the parts apart; `gone` is what
// says that the part went (empty for the parts that simply have nothing to show).
struct ScreenPart {
  std::string key;
  std::string text;
  std::string gone;
  std::vector<platform::forms::RenderedLine> lines;  // of a dialog: its text a line at a time
};

std::vector<ScreenPart> RenderParts(OfficeSession& session);
// The part of a dialog shown.
ScreenPart FormPart(const platform::forms::Form& form);
// From one screen to the next: what says that a part went, then every part new or changed; of a
// dialog shown before, only its caption and the lines that changed.
std::string ScreenChanges(const std::vector<ScreenPart>& before, const std::vector<ScreenPart>& after);

}  // namespace host
