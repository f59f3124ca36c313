#pragma once
// What the command bars of both add-ins (each add-in's ClassInit) share: the toolbar made from
// the add-in's table of controls, the refresh after the start-up, and the binding of a control's
// Click to the handler of the same name. Each add-in keeps its table, its handlers and how its
// controls reach their signed-in and signed-out states.
#include <span>
#include <string>

#include "common/commands/Toolbar.h"
#include "platform/office/Application.h"
#include "platform/office/CommandBars.h"

namespace tavo {

struct AddinState;

class AddinCommands {
 public:
  AddinCommands(const AddinCommands&) = delete;
  AddinCommands& operator=(const AddinCommands&) = delete;
  virtual ~AddinCommands() = default;

  // Builds the toolbar, its menu and the File-menu item in the signed-out state. False after
  // any error (what was made stays; the host discards it when it closes). lProgId is not used.
  virtual bool IntiCmdBar(const platform::office::Ref<platform::office::Application>& oApplication,
                          const std::string& lProgId) = 0;
  // Reloads the service settings and adopts the other add-in's sign-in when it has one. False
  // after any error.
  bool RefreshCmdBar();
  // The controls in their signed-out state, once the service has refused the sign-in's ticket.
  virtual void ShowSignedOut() = 0;

 protected:
  explicit AddinCommands(AddinState& state) : state_(state) {}

  // Login enabled exactly when signed out; the commands that need a sign-in enabled exactly
  // when signed in; the local copies button as given.
  virtual void SetCommandStates(bool signedIn, bool localCopies) = 0;

  // A Click that reaches the handler of the add-in's commands `Commands`.
  template <class Commands>
  platform::office::ClickHandler Bind(void (Commands::*handler)()) {
    return [this, handler](const platform::office::Ref<platform::office::CommandBarControl>&, bool&) {
      (static_cast<Commands*>(this)->*handler)();
    };
  }

  // One row of an add-in's table of controls: how the control looks, the reference it is kept
  // in and the member that keeps its tag (null: the tag is not kept).
  template <class Commands>
  struct ControlRow {
    ControlLayout layout;
    platform::office::ControlEvents Commands::*reference;
    std::string Commands::*tag;
  };

  // Makes the File-menu item (kept in `fileMenuItem`), the toolbar with its drop-down menu and
  // the table's controls in their order, then shows the toolbar.
  template <class Commands>
  void BuildCommandBars(platform::office::CommandBars& bars, std::string_view toolbarName,
                        std::string_view menuCaption, platform::office::ControlEvents& fileMenuItem,
                        std::span<const ControlRow<Commands>> rows) {
    fileMenuItem = FileMenuItem(bars);
    const AddinToolbar toolbar = MakeToolbar(bars, toolbarName, menuCaption);
    Commands& commands = *static_cast<Commands*>(this);
    for (const ControlRow<Commands>& row : rows) {
      platform::office::Ref<platform::office::CommandBarControl> control = AddControl(state_, toolbar, row.layout);
      commands.*row.reference = control;
      if (row.tag) commands.*row.tag = control->Tag();
    }
    ShowToolbar(bars, toolbarName);
  }

  AddinState& state_;
};

}  // namespace tavo
