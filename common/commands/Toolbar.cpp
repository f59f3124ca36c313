#include "common/commands/Toolbar.h"

namespace tavo {

namespace office = platform::office;

office::Ref<office::CommandBar> EmptiedToolbar(office::CommandBars& bars, std::string_view name) {
  for (int i = 1; i <= bars.Count(); ++i) {
    office::Ref<office::CommandBar> bar = bars.Item(i);
    if (office::CaptionKey(bar->Name()) != office::CaptionKey(name)) continue;
    while (bar->Controls().Count() > 0) bar->Controls().Item(1)->Delete();
    return bar;
  }
  return nullptr;
}

}  // namespace tavo
