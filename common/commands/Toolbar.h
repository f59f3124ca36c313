#pragma once
// The command bars both add-ins build in their host: a temporary toolbar holding a drop-down
// menu of commands and caption buttons, and an item in the host's File menu.
//
// The toolbar stays until the host application closes, also when the add-in is unloaded; an
// add-in loaded again in the same run builds its controls again in the toolbar that is still
// there (the host refuses a second bar of the same name), and takes over its File-menu item.
#include <optional>
#include <string>
#include <string_view>

#include "platform/office/CommandBars.h"

namespace tavo {

struct AddinState;

// The add-in's item in the host's File menu: its caption and the tag it is found by.
inline constexpr std::string_view kFileMenuCaption = "Open from &Tavo";
inline constexpr std::string_view kFileMenuTag = "Open from Tavo";

// The tag of a control made now: the prefix word, a blank and the time as hh:nn:ss. Controls
// made in the same second differ by their prefixes.
std::string TimeTag(std::string_view prefix);

// The File-menu item: the one an earlier connection left, or a new temporary one before the
// menu's third control (icon and caption, visible).
platform::office::Ref<platform::office::CommandBarControl> FileMenuItem(platform::office::CommandBars& bars);

struct AddinToolbar {
  platform::office::Ref<platform::office::CommandBar> bar;
  platform::office::Ref<platform::office::CommandBarControl> menu;  // the drop-down menu, the bar's first control
};
// The toolbar (the one of an earlier connection emptied, or a new temporary one) with its new
// drop-down menu, whose caption is never translated; the menu's tag is TimeTag("menu").
AddinToolbar MakeToolbar(platform::office::CommandBars& bars, std::string_view name, std::string_view menuCaption);

// What a command is made with.
struct ControlLook {
  bool menuItem;  // an item of the drop-down menu (no icon); else a toolbar button showing its caption
  std::string parameter;
  std::string caption;
  std::optional<std::string> tooltip;  // nullopt: none set
  std::string tag;
  bool beginGroup;
  bool enabled;
  bool parameterTagFirst = false;  // the Parameter text is its Tag before `tag` is
};
// Adds the temporary button to the toolbar's menu or to the toolbar itself.
platform::office::Ref<platform::office::CommandBarControl> AddControl(const AddinToolbar& toolbar, const ControlLook& look);

// A control of an add-in's table, with its built-in English texts and the language keys of
// their translations.
struct ControlLayout {
  bool menuItem;  // on the drop-down menu (no icon); else a toolbar button showing its caption
  const char* parameter;
  const char* caption;
  const char* captionKey;
  const char* tooltip;  // "" for none; nullptr: the language file's text as it stands, in every language
  const char* tooltipKey;
  const char* tagPrefix;
  const char* fixedTag;  // replaces the time-stamped tag once the control is made; nullptr keeps it
  bool beginGroup;
  bool enabled;
  bool parameterTagFirst;
};
// Adds the control as AddControl does, its texts the built-in English ones, or the language
// file's in any other language.
platform::office::Ref<platform::office::CommandBarControl> AddControl(const AddinState& state, const AddinToolbar& toolbar,
                                                                      const ControlLayout& layout);

// Empties the clipboard, then docks the toolbar at the top of the window and shows it.
void ShowToolbar(platform::office::CommandBars& bars, std::string_view name);

}  // namespace tavo
