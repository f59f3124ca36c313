#pragma once
// The sign-in before the local copies are listed, which works without the service: it collects
// the name and password, keeps or forgets the remembered ones, and reports how it was closed in
// gConfigResult ("TRUE" confirmed, "FALSE" cancelled; the close box leaves it as it was).
#include "common/dialogs/CredentialsDialog.h"

namespace tavo {

class frmconfiglocal : public CredentialsDialog {
 public:
  explicit frmconfiglocal(AddinState& state);

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Command1_Click();
  // Enter: takes what was typed without the checks and clean-up of the button.
  void ConfirmShort();
  void Cancel();
  void Field_KeyPress(int keyAscii);
};

}  // namespace tavo
