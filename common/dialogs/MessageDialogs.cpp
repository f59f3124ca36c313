#include "common/dialogs/MessageDialogs.h"

#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "platform/forms/Operator.h"

namespace tavo {

OkDialog::OkDialog(AddinState& state, std::string name, std::string caption)
    : Dialog(state, std::move(name), std::move(caption)) {
  Command1.onClick = [this] { CloseClearingStatus(); };
  Command1.onKeyPress = [this](int& key) { Command1_KeyPress(key); };
}

void OkDialog::Design() {
  SetWidth(5400), SetHeight(2400);
  Command1.SetTabIndex(static_cast<int>(Controls().size()) - 1);  // below the text it answers
}

void OkDialog::Form_Load() {
  TranslateCaptions({{&Command1, "gfrmAboutus_command1"}});
  TranslateTexts();
  CenterForm(*this);
}

void OkDialog::Command1_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyReturn || keyAscii == forms::kKeyEscape) CloseClearingStatus();
}

void OkDialog::Form_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyEscape) CloseClearingStatus();
}

void frmAboutUs::TranslateTexts() {
  TranslateCaptions({{&Label1, "gfrmAboutus_label1"}, {&Label2, "gfrmAboutus_label2"}});
}

void ShowMessageDialog(AddinState& state, int kind, const std::string& label) {
  AddinDialogs& dialogs = Dialogs(state);
  if (state.params.singleMessageDialog) {
    dialogs.frmMsg.msgfld.SetCaption(label);
    dialogs.frmMsg.Show(forms::ShowMode::Modal);
  } else if (kind == 0) {
    dialogs.frmMsgInfo.Label1.SetCaption(label);
    dialogs.frmMsgInfo.Show(forms::ShowMode::Modal);
  } else if (kind == 1) {
    dialogs.frmMsgError.Label1.SetCaption(label);
    dialogs.frmMsgError.Show(forms::ShowMode::Modal);
  } else if (kind == 2) {
    forms::MsgBox(label, forms::kOKOnly + forms::kExclamation, state.params.messageBoxTitle);
  }
}

}  // namespace tavo
