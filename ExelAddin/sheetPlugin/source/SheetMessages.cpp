#include "ExelAddin/sheetPlugin/source/SheetMessages.h"

#include <string>

#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/Messages.h"
#include "platform/core/RuntimeError.h"

namespace tavo::sheet {

void ShowSheetMessage(AddinState& state, std::string_view text, int kind) {
  std::string shown;
  try {
    shown = DisplayText(state, text);
  } catch (const platform::RuntimeError&) {
    shown = std::string(text);
  }
  ShowStatus(state, text);
  ShowMessageDialog(state, kind, shown);
}

void ShowShownText(AddinState& state, std::string_view text) {
  ShowStatus(state, text);
  ShowMessageDialog(state, 0, std::string(text));
}

}  // namespace tavo::sheet
