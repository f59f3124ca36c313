#include "common/dialogs/CredentialsDialog.h"

#include "common/AddinState.h"
#include "common/RegistryStrings.h"
#include "common/UserFiles.h"
#include "common/signin/SharedSignIn.h"
#include "platform/shell/Shell.h"

namespace tavo {

CredentialsDialog::CredentialsDialog(AddinState& state, std::string name, std::string caption,
                                     std::string command1Caption)
    : Dialog(state, std::move(name), std::move(caption)), Command1{*this, "Command1", std::move(command1Caption)} {
  tavoemailid.onGotFocus = [this] { Field_GotFocus(tavoemailid, "gMsg05"); };
  tavopassword.onGotFocus = [this] { Field_GotFocus(tavopassword, "gMsg06"); };
  for (forms::Control* field : std::initializer_list<forms::Control*>{&tavoemailid, &tavopassword, &rememberme})
    field->onLostFocus = [this] { Status(""); };
  LblLink.onClick = [this] { LblLink_Click(); };
  LblLink.onMouseMove = [this] { LblLink_MouseMove(); };
}

void CredentialsDialog::Design() { tavopassword.SetPasswordChar("*"); }

void CredentialsDialog::Field_GotFocus(forms::TextBox& field, const char* hintKey) {
  Status(Text(hintKey));
  field.SetSelStart(0);
  field.SetSelLength(field.LengthInCharacters());
}

void CredentialsDialog::ForgetRememberedCredentials() {
  for (const char* value : {"tavousername", "tavopassword", "tavoremember", "tavosavelocal"})
    SetRegistryString(HKEY_CURRENT_USER, state_.params.pluginSettingsKey, value, "");
}

bool CredentialsDialog::TypedCredentialsRefused() {
  return RefusedAccountName(state_, tavoemailid.Text()) ||
         RefusedAccountChange(state_, tavoemailid.Text(), tavopassword.Text());
}

void CredentialsDialog::LblLink_Click() {
  platform::shell::ShellExecuteA(this, "open", state_.params.registrationUrl, "", "", platform::shell::SW_SHOWNORMAL);
}

void CredentialsDialog::LblLink_MouseMove() {
  LblLink.SetFontBold(true);
  LblLink.SetFontUnderline(true);
  LblLink.SetForeColor(forms::kBlue);
  SetMousePointer(forms::kCustom);
}

void CredentialsDialog::Form_MouseMove() {
  LblLink.SetFontBold(true);
  LblLink.SetFontUnderline(false);
  LblLink.SetForeColor(forms::kBlue);
}

}  // namespace tavo
