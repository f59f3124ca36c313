#pragma once
// The sign-in and settings dialog: account name, password, remember-me and keep-local-copy.
// The caller sets gConfigMode (1 to sign in, 2 for the settings), shows the dialog modally and
// reads the outcome from the state afterwards: gConfigResult "TRUE" (OK or Enter) or "FALSE"
// (Cancel or Esc), gLoginUser, gLoginPassword, gRememberFlag, gSaveLocalFlag. Closing the
// window with its close box sets no result. The hidden browser WBrowser is what the sign-in
// command loads the suite's home page in before signing in.
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/WebBrowser.h"

namespace tavo {

struct AddinState;

class frmConfig : public platform::forms::Form {
 public:
  explicit frmConfig(AddinState& state);

  // Window heights in twips: the lower part with keep-local-copy shows only when expanded.
  static constexpr float kCollapsedHeight = 3840;
  static constexpr float kExpandedHeight = 5025;

  platform::forms::Label Label1{*this, "Label1", "Tavo ID"};
  platform::forms::TextBox tavoemailid{*this, "tavoemailid"};
  platform::forms::Label Label2{*this, "Label2", "Password"};
  platform::forms::TextBox tavopassword{*this, "tavopassword"};
  platform::forms::CheckBox rememberme{*this, "rememberme"};
  platform::forms::Label Label3{*this, "Label3", "Remember me"};
  platform::forms::CommandButton Command1{*this, "Command1", "Save"};
  platform::forms::CommandButton Command2{*this, "Command2", "Cancel"};
  platform::forms::Label LblLink{*this, "LblLink", "New Tavo User? Sign Up"};
  platform::forms::Image Image1{*this, "Image1"};
  platform::forms::CheckBox localsave{*this, "localsave"};
  platform::forms::Label Label4{*this, "Label4", "Keep local copy"};
  platform::forms::Label Label5{
      *this, "Label5", "Checking the 'Keep a Local copy' checkbox will save a copy of the Document in this computer"};
  platform::forms::WebBrowser WBrowser{*this, "WBrowser"};

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
  void Form_MouseMove() override;

 private:
  void Command1_Click();
  void Command2_Click();
  void Box_KeyPress(int& keyAscii);
  void rememberme_KeyPress(int& keyAscii);
  void Button_KeyPress(int& keyAscii);
  void tavoemailid_GotFocus();
  void tavopassword_GotFocus();
  void ClearStatus();
  void Image1_Click();
  void LblLink_Click();
  void LblLink_MouseMove();
  void Label4_Click();

  // The choices as the boxes show them, into the state (what every confirmation does first).
  void TakeChoices();
  void Confirm(std::string_view statusKey);
  void Cancel();
  void ShowBackground(std::string_view pictureName);
  // The lower part (keep-local-copy) lies below the collapsed window's edge.
  void ShowLowerPart(bool shown);
  void StatusText(std::string_view key);

  AddinState& state_;
};

}  // namespace tavo
