#pragma once
// The sign-in before the local copies are listed, which works without the service: it collects
// the name and password, keeps or forgets the remembered ones, and reports how it was closed in
// gConfigResult ("TRUE" confirmed, "FALSE" cancelled; the close box leaves it as it was).
#include "common/dialogs/Dialog.h"

namespace tavo {

class frmconfiglocal : public Dialog {
 public:
  explicit frmconfiglocal(AddinState& state);

  forms::Label Label1{*this, "Label1", "Tavo ID"};
  forms::TextBox tavoemailid{*this, "tavoemailid"};
  forms::Label Label2{*this, "Label2", "Password"};
  forms::TextBox tavopassword{*this, "tavopassword"};
  forms::CheckBox rememberme{*this, "rememberme"};
  forms::Label Label3{*this, "Label3", "Remember me"};
  forms::CommandButton Command1{*this, "Command1", "Open"};
  forms::CommandButton Command2{*this, "Command2", "Cancel"};
  forms::Label LblLink{*this, "LblLink", "New Tavo User? Sign Up"};

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_MouseMove() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Command1_Click();
  // Enter: takes what was typed without the checks and clean-up of the button.
  void ConfirmShort();
  void Cancel();
  void Field_KeyPress(int keyAscii);
  void LblLink_Click();
  void LblLink_MouseMove();
};

}  // namespace tavo
