#pragma once
// The add-in's messages. Many of them are fixed English texts, not language texts; in a
// translated interface the message procedure would take them for escape runs and fail on
// them, so a text that is no escape run is shown as it stands.
#include <string_view>

namespace tavo {
struct AddinState;
}

namespace tavo::sheet {

// ShowMessage (common/Messages.h), but a text that does not decode is shown as it is.
void ShowSheetMessage(AddinState& state, std::string_view text, int kind);
// An information message whose text is shown exactly as given (made of texts already decoded).
void ShowShownText(AddinState& state, std::string_view text);

}  // namespace tavo::sheet
