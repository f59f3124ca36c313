#include "common/dialogs/QuestionDialogs.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/Messages.h"

namespace tavo {

QuestionDialog::QuestionDialog(AddinState& state, std::string name, std::string question)
    : Dialog(state, std::move(name), "Confirm"), Label1(*this, "Label1", std::move(question)) {
  Command1.onClick = [this] { Yes(); };
  Command2.onClick = [this] { No(); };
  OnEscape({&Command1, &Command2}, [this] { CloseClearingStatus(); });
}

void QuestionDialog::Design() { SetWidth(5400), SetHeight(2100); }

void QuestionDialog::Form_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyEscape) CloseClearingStatus();
}

void QuestionDialog::Form_Unload(bool&) { Status(""); }

frmConfirm::frmConfirm(AddinState& state)
    : QuestionDialog(state, "frmConfirm", "This Document is not available in Tavo Writer.Do you want to add it?") {}

void frmConfirm::Form_Load() {
  TranslateCaptions({{&Label1, "gfrmconfirm_label1"}, {&Command1, "gfrmconfirm_yes"}, {&Command2, "gfrmconfirm_cancel"}});
  CenterForm(*this);
  // The status bar says what the question is about: the document (workbook) is not online yet.
  Status(Text("gMsg09"));
}

// The question closes before the long operation starts.
void frmConfirm::Yes() {
  Unload();
  Host().AddActiveDocument();
}

void frmConfirm::No() { Unload(); }

frmLowVersion::frmLowVersion(AddinState& state)
    : QuestionDialog(state, "frmLowVersion",
                     "You are trying to save a lower Version Online. Do you want to overwrite the changes?") {}

void frmLowVersion::Form_Load() {
  if (Translated()) {
    // A language file without this section leaves the keys at their built-in defaults, which
    // are plain English texts: they are shown as they are, not decoded.
    const std::pair<forms::CaptionedControl*, std::string_view> captions[] = {
        {&Label1, "gfrmlowversion_label1"}, {&Command1, "gfrmlowversion_command1"}, {&Command2, "gfrmlowversion_command2"}};
    for (std::size_t i = 0; i < std::size(captions); ++i) {
      const auto& [control, key] = captions[i];
      const std::string_view fallback = state_.params.lowVersionDefaults[i];
      const std::string& value = Text(key);
      control->SetCaption(!fallback.empty() && value == fallback ? value : LanguageText(state_, key));
    }
  }
  CenterForm(*this);
}

void frmLowVersion::Yes() {
  Unload();
  Host().OverwriteActiveDocument();
}

void frmLowVersion::No() { CloseClearingStatus(); }

}  // namespace tavo
