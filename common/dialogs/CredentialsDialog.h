#pragma once
// What the two sign-in dialogs (online, and offline before the local copies) share: the name,
// password and remember-me fields with their status hints, the two buttons, and the sign-up link.
#include <string>

#include "common/dialogs/Dialog.h"

namespace tavo {

class CredentialsDialog : public Dialog {
 public:
  forms::Label Label1{*this, "Label1", "Tavo ID"};
  forms::TextBox tavoemailid{*this, "tavoemailid"};
  forms::Label Label2{*this, "Label2", "Password"};
  forms::TextBox tavopassword{*this, "tavopassword"};
  forms::CheckBox rememberme{*this, "rememberme"};
  forms::Label Label3{*this, "Label3", "Remember me"};
  forms::CommandButton Command1;
  forms::CommandButton Command2{*this, "Command2", "Cancel"};
  forms::Label LblLink{*this, "LblLink", "New Tavo User? Sign Up"};

 protected:
  CredentialsDialog(AddinState& state, std::string name, std::string caption, std::string command1Caption);

  void Design() override;
  // Over the rest of the dialog the link is shown bold, not underlined.
  void Form_MouseMove() override;

  // "Remember me" unticked on the button: nothing of this account is to be remembered any more.
  void ForgetRememberedCredentials();

  // True, after telling the user, when the name typed cannot name the account's folders, or
  // when it or the password would change the account of the add-in's sign-in: the dialog then
  // takes nothing and stays open.
  bool TypedCredentialsRefused();

 private:
  void Field_GotFocus(forms::TextBox& field, const char* hintKey);
  void LblLink_Click();
  void LblLink_MouseMove();
};

}  // namespace tavo
