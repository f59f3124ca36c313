#include "common/commands/Toolbar.h"

#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "platform/core/Clock.h"
#include "platform/office/Clipboard.h"

namespace tavo {

namespace office = platform::office;

std::string TimeTag(std::string_view prefix) {
  return std::string(prefix) + " " + platform::FormatHhNnSs(platform::LocalTime(platform::Now()));
}

office::Ref<office::CommandBarControl> FileMenuItem(office::CommandBars& bars) {
  office::Ref<office::CommandBar> file = bars.Item("File");
  office::Ref<office::CommandBarControl> item =
      file->FindControl({.type = office::control_type::Button, .tag = std::string(kFileMenuTag)});
  if (item) return item;
  item = file->Controls().Add({.type = office::control_type::Button, .before = 3, .temporary = true});
  item->SetStyle(office::button_style::IconAndCaption);
  item->SetCaption(kFileMenuCaption);
  item->SetTag(kFileMenuTag);
  item->SetVisible(true);
  return item;
}

AddinToolbar MakeToolbar(office::CommandBars& bars, std::string_view name, std::string_view menuCaption) {
  AddinToolbar toolbar;
  for (int i = 1; i <= bars.Count() && !toolbar.bar; ++i) {
    office::Ref<office::CommandBar> bar = bars.Item(i);
    if (office::CaptionKey(bar->Name()) != office::CaptionKey(name)) continue;
    while (bar->Controls().Count() > 0) bar->Controls().Item(1)->Delete();
    toolbar.bar = bar;
  }
  if (!toolbar.bar) toolbar.bar = bars.Add({.name = std::string(name), .temporary = true});
  toolbar.menu = toolbar.bar->Controls().Add({.type = office::control_type::Popup, .temporary = true});
  toolbar.menu->SetCaption(menuCaption);
  toolbar.menu->SetTag(TimeTag("menu"));
  return toolbar;
}

office::Ref<office::CommandBarControl> AddControl(const AddinToolbar& toolbar, const ControlLook& look) {
  office::CommandBarControls& parent = look.menuItem ? toolbar.menu->Controls() : toolbar.bar->Controls();
  office::Ref<office::CommandBarControl> control =
      parent.Add({.type = office::control_type::Button, .parameter = look.parameter, .temporary = true});
  control->SetCaption(look.caption);
  if (look.tooltip) control->SetTooltipText(*look.tooltip);
  if (look.parameterTagFirst) control->SetTag(look.parameter);
  control->SetTag(look.tag);
  if (look.menuItem) control->SetFaceId(0);
  else control->SetStyle(office::button_style::Caption);
  control->SetBeginGroup(look.beginGroup);
  control->SetEnabled(look.enabled);
  return control;
}

office::Ref<office::CommandBarControl> AddControl(const AddinState& state, const AddinToolbar& toolbar,
                                                  const ControlLayout& layout) {
  auto text = [&state](const char* english, const char* key) {
    return state.gLanguageName == "english" ? std::string(english) : LanguageText(state, key);
  };
  const std::optional<std::string> tooltip = !layout.tooltip ? std::optional<std::string>(state.strings[layout.tooltipKey])
                                             : *layout.tooltip ? std::optional<std::string>(text(layout.tooltip, layout.tooltipKey))
                                                             : std::nullopt;
  office::Ref<office::CommandBarControl> control =
      AddControl(toolbar, {layout.menuItem, layout.parameter, text(layout.caption, layout.captionKey), tooltip,
                           TimeTag(layout.tagPrefix), layout.beginGroup, layout.enabled, layout.parameterTagFirst});
  if (layout.fixedTag) control->SetTag(layout.fixedTag);
  return control;
}

void ShowToolbar(office::CommandBars& bars, std::string_view name) {
  office::clipboard::Clear();
  office::Ref<office::CommandBar> bar = bars.Item(name);
  bar->SetPosition(office::bar_position::Top);
  bar->SetVisible(true);
}

}  // namespace tavo
