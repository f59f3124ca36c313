#pragma once
// The sign-in and settings dialog: account name, password, remember-me and keep-local-copy.
// The caller sets gConfigMode (1 to sign in, 2 for the settings), shows the dialog modally and
// reads the outcome from the state afterwards: gConfigResult "TRUE" (OK or Enter) or "FALSE"
// (Cancel or Esc), gLoginUser, gLoginPassword, gRememberFlag, gSaveLocalFlag. Closing the
// window with its close box sets no result. The hidden browser WBrowser is what the sign-in
// command loads the suite's home page in before signing in.
#include "common/dialogs/CredentialsDialog.h"
#include "platform/forms/WebBrowser.h"

namespace tavo {

class frmConfig : public CredentialsDialog {
 public:
  explicit frmConfig(AddinState& state);

  // Window heights in twips: the lower part with keep-local-copy shows only when expanded.
  static constexpr float kCollapsedHeight = 3840;
  static constexpr float kExpandedHeight = 5025;

  forms::Image Image1{*this, "Image1"};
  forms::CheckBox localsave{*this, "localsave"};
  forms::Label Label4{*this, "Label4", "Keep local copy"};
  forms::Label Label5{
      *this, "Label5", "Checking the 'Keep a Local copy' checkbox will save a copy of the Document in this computer"};
  forms::WebBrowser WBrowser{*this, "WBrowser"};

  // Shows the dialog modally. Every show starts again from the globals: a dialog still loaded
  // from an earlier use (the hidden one filled at start-up) shows the account in use now, not
  // the one it was filled with then.
  void ShowFromGlobals();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Command1_Click();
  void Command2_Click();
  void Box_KeyPress(int& keyAscii);
  void rememberme_KeyPress(int& keyAscii);
  void Image1_Click();
  void Label4_Click();

  // The choices as the boxes show them, into the state (what every confirmation does first).
  void TakeChoices();
  // The globals into the boxes: the name, the password and both choices.
  void TakeGlobals();
  void Confirm(std::string_view statusKey);
  void Cancel();
  void ShowBackground(std::string_view pictureName);
  // The lower part (keep-local-copy) lies below the collapsed window's edge.
  void ShowLowerPart(bool shown);
};

}  // namespace tavo
