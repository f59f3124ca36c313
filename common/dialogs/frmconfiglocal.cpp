#include "common/dialogs/frmconfiglocal.h"

#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/RegistryStrings.h"
#include "common/Settings.h"
#include "platform/core/Text.h"
#include "platform/shell/Shell.h"

namespace tavo {

frmconfiglocal::frmconfiglocal(AddinState& state) : Dialog(state, "frmconfiglocal", "Tavo Login") {
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Cancel(); };
  for (forms::Control* field : std::initializer_list<forms::Control*>{&tavoemailid, &tavopassword, &rememberme}) {
    field->onKeyPress = [this](int& key) { Field_KeyPress(key); };
    field->onLostFocus = [this] { Status(""); };
  }
  OnEscape({&Command1, &Command2}, [this] { Cancel(); });
  tavoemailid.onGotFocus = [this] {
    Status(Text("gMsg05"));
    tavoemailid.SetSelLength(tavoemailid.LengthInCharacters());
  };
  tavopassword.onGotFocus = [this] {
    Status(Text("gMsg06"));
    tavopassword.SetSelLength(tavopassword.LengthInCharacters());
  };
  LblLink.onClick = [this] { LblLink_Click(); };
  LblLink.onMouseMove = [this] { LblLink_MouseMove(); };
}

void frmconfiglocal::Design() {
  SetWidth(5100), SetHeight(3000);
  tavopassword.SetPasswordChar("*");
}

void frmconfiglocal::Form_Load() {
  TranslateCaptions({{&Label1, "gusernamelocal"},
                     {&Label2, "gpasswordlocal"},
                     {&Label3, "gremembermelocal"},
                     {&Command1, "gcommandopenlocal"},
                     {&Command2, "gcommandcancellocal"},
                     {&LblLink, "glinklabellocal"}});
  CenterForm(*this);
  tavoemailid.SetText(state_.gLoginUser);
  tavopassword.SetText(state_.gLoginPassword);
  if (state_.gRememberFlag == "remember") rememberme.SetValue(1);
  Status("Fill in the Login Informations...");
}

void frmconfiglocal::Command1_Click() {
  // The button goes on past any error, as the sign-in it stands in for does.
  const std::string password = tavopassword.Text();
  const std::string user = tavoemailid.Text();
  if (state_.gConfigMode == 1 && (user.empty() || password.empty())) {
    IgnoreErrors([&] { Message(Text("gMsg01")); });
    return;
  }
  state_.gLoginPassword = password;
  state_.gLoginUser = user;
  state_.gRememberFlag = "";
  if (rememberme.Value() == 1) {
    state_.gRememberFlag = "remember";
    IgnoreErrors([&] { SaveCredentials(state_); });
  } else {
    for (const char* value : {"tavousername", "tavopassword", "tavoremember", "tavosavelocal"})
      SetRegistryString(HKEY_CURRENT_USER, state_.params.pluginSettingsKey, value, "");
  }
  state_.gConfigResult = "TRUE";
  tavoemailid.SetText("");
  tavopassword.SetText("");
  IgnoreErrors([&] { Status(Text("gMsg02")); });
  Unload();
}

void frmconfiglocal::ConfirmShort() {
  state_.gLoginPassword = tavopassword.Text();
  state_.gLoginUser = tavoemailid.Text();
  state_.gRememberFlag = "";
  if (rememberme.Value() == 1) {
    state_.gRememberFlag = "remember";
    SaveCredentials(state_);
  }
  state_.gConfigResult = "TRUE";
  Status(Text("gMsg02"));
  Unload();
}

void frmconfiglocal::Cancel() {
  state_.gConfigResult = "FALSE";
  CloseClearingStatus();
}

void frmconfiglocal::Field_KeyPress(int keyAscii) {
  if (keyAscii == forms::vbKeyReturn) ConfirmShort();
  else if (keyAscii == forms::vbKeyEscape) Cancel();
}

void frmconfiglocal::LblLink_Click() {
  platform::shell::ShellExecuteA(this, "open", state_.params.registrationUrl, "", "", platform::shell::SW_SHOWNORMAL);
}

void frmconfiglocal::LblLink_MouseMove() {
  LblLink.SetFontBold(true);
  LblLink.SetFontUnderline(true);
  LblLink.SetForeColor(forms::vbBlue);
  SetMousePointer(forms::vbCustom);
}

void frmconfiglocal::Form_MouseMove() {
  LblLink.SetFontBold(true);
  LblLink.SetFontUnderline(false);
  LblLink.SetForeColor(forms::vbBlue);
}

void frmconfiglocal::Form_Unload(bool&) {
  if (platform::text::Trim(state_.gLoginUser).empty() || platform::text::Trim(state_.gLoginPassword).empty())
    Status("Fill in the login informations...");
}

}  // namespace tavo
