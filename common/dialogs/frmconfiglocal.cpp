#include "common/dialogs/frmconfiglocal.h"

#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "platform/core/Text.h"

namespace tavo {

frmconfiglocal::frmconfiglocal(AddinState& state)
    : CredentialsDialog(state, "frmconfiglocal", "Tavo Login", "Open") {
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Cancel(); };
  for (forms::Control* field : std::initializer_list<forms::Control*>{&tavoemailid, &tavopassword, &rememberme})
    field->onKeyPress = [this](int& key) { Field_KeyPress(key); };
  OnEscape({&Command1, &Command2}, [this] { Cancel(); });
}

void frmconfiglocal::Design() {
  CredentialsDialog::Design();
  SetWidth(5100), SetHeight(3000);
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
  bool refused = false;
  IgnoreErrors([&] { refused = TypedCredentialsRefused(); });
  if (refused) return;
  state_.gLoginPassword = password;
  state_.gLoginUser = user;
  state_.gRememberFlag = "";
  if (rememberme.Value() == 1) {
    state_.gRememberFlag = "remember";
    IgnoreErrors([&] { SaveCredentials(state_); });
  } else {
    ForgetRememberedCredentials();
  }
  state_.gConfigResult = "TRUE";
  tavoemailid.SetText("");
  tavopassword.SetText("");
  IgnoreErrors([&] { Status(Text("gMsg02")); });
  Unload();
}

void frmconfiglocal::ConfirmShort() {
  if (TypedCredentialsRefused()) return;
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
  if (keyAscii == forms::kKeyReturn) ConfirmShort();
  else if (keyAscii == forms::kKeyEscape) Cancel();
}

void frmconfiglocal::Form_Unload(bool&) {
  if (platform::text::Trim(state_.gLoginUser).empty() || platform::text::Trim(state_.gLoginPassword).empty())
    Status("Fill in the login informations...");
}

}  // namespace tavo
