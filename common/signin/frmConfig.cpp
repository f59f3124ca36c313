#include "common/signin/frmConfig.h"

#include <string>

#include "common/AddinFolder.h"
#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

using platform::text::Trim;

constexpr int kTicked = 1;
constexpr int kUnticked = 0;

}  // namespace

frmConfig::frmConfig(AddinState& state) : CredentialsDialog(state, "frmConfig", "Tavo Credentials", "Save") {
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Cancel(); };
  tavoemailid.onKeyPress = [this](int& key) { Box_KeyPress(key); };
  tavopassword.onKeyPress = [this](int& key) { Box_KeyPress(key); };
  rememberme.onKeyPress = [this](int& key) { rememberme_KeyPress(key); };
  OnEscape({&Command1, &Command2}, [this] { Cancel(); });
  Image1.onClick = [this] { Image1_Click(); };
  Label4.onClick = [this] { Label4_Click(); };
}

void frmConfig::Design() {
  CredentialsDialog::Design();
  Move(0, 0, 5400, kCollapsedHeight);
  Label1.Move(360, 360, 1335, 255);
  tavoemailid.Move(1800, 330, 3000, 315);
  tavoemailid.SetFontName("Verdana");
  Label2.Move(360, 840, 1335, 255);
  tavopassword.Move(1800, 810, 3000, 315);
  tavopassword.SetFontName("Verdana");
  rememberme.Move(1800, 1320, 255, 255);
  Label3.Move(2160, 1320, 2000, 255);
  Command1.Move(1800, 1920, 1335, 375);
  Command2.Move(3360, 1920, 1335, 375);
  LblLink.Move(360, 2640, 3000, 255);
  LblLink.SetFontBold(true);
  LblLink.SetForeColor(forms::kBlue);
  Image1.Move(4800, 2880, 360, 360);
  Image1.SetToolTipText("Click me");
  localsave.Move(360, 3960, 255, 255);
  Label4.Move(720, 3960, 3000, 255);
  Label5.Move(360, 4320, 4560, 495);
  WBrowser.Move(0, 0, 15, 15);
  WBrowser.SetVisible(false);
  ShowLowerPart(false);
}

void frmConfig::ShowLowerPart(bool shown) {
  localsave.SetVisible(shown);
  Label4.SetVisible(shown);
  Label5.SetVisible(shown);
}

void frmConfig::Form_Load() {
  TranslateCaptions({{&Label1, "gusername"},
                     {&Label2, "gpassword"},
                     {&Label3, "grememberme"},
                     {&Label4, "gkeeplocalcopy"},
                     {&Command1, "gcommandsave"},
                     {&Command2, "gcommandcancel"},
                     {&LblLink, "glinklabel"},
                     {&Label5, "glocalkeepcaption"}});
  CenterForm(*this);
  TakeGlobals();
  if (!state_.params.configLoadStatusText.empty()) Status(state_.params.configLoadStatusText);
}

void frmConfig::TakeGlobals() {
  tavoemailid.SetText(state_.gLoginUser);
  tavopassword.SetText(state_.gLoginPassword);
  localsave.SetValue(state_.gSaveLocalFlag == "1" ? kTicked : kUnticked);
  rememberme.SetValue(state_.gRememberFlag == "remember" ? kTicked : kUnticked);
}

void frmConfig::ShowFromGlobals() {
  if (IsLoaded()) TakeGlobals();
  Show(forms::ShowMode::Modal);
}

void frmConfig::Form_Unload(bool&) {
  if (!state_.params.configCloseShowsHint) return;
  if (Trim(state_.gLoginUser).empty() || Trim(state_.gLoginPassword).empty()) Status(Text("gMsg03"));
}

void frmConfig::TakeChoices() {
  state_.gLoginPassword = tavopassword.Text();
  state_.gLoginUser = tavoemailid.Text();
  state_.gRememberFlag = "";
  state_.gSaveLocalFlag = std::to_string(localsave.Value());
  if (rememberme.Value() == kTicked) {
    state_.gRememberFlag = "remember";
    SaveCredentials(state_);
  }
}

void frmConfig::Confirm(std::string_view statusKey) {
  if (TypedCredentialsRefused()) return;
  TakeChoices();
  state_.gConfigResult = "TRUE";
  Status(Text(statusKey));
  Unload();
}

void frmConfig::Cancel() {
  state_.gConfigResult = "FALSE";
  CloseClearingStatus();
}

void frmConfig::Command1_Click() {
  if (state_.gConfigMode == 1 && (tavoemailid.Text().empty() || tavopassword.Text().empty())) {
    Message(Text("gMsg01"));
    return;
  }
  if (TypedCredentialsRefused()) return;
  TakeChoices();
  if (rememberme.Value() != kTicked) ForgetRememberedCredentials();
  state_.gConfigResult = "TRUE";
  Status(Text("gMsg02"));
  tavoemailid.SetText("");
  tavopassword.SetText("");
  Unload();
}

void frmConfig::Box_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyReturn) Confirm("gMsg02");
  else if (keyAscii == forms::kKeyEscape) Cancel();
}

void frmConfig::rememberme_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyReturn) Confirm("gMsg04");
  else if (keyAscii == forms::kKeyEscape) Cancel();
}

void frmConfig::Image1_Click() {
  if (Height() != kExpandedHeight) {
    SetHeight(kExpandedHeight);
    ShowLowerPart(true);
    ShowBackground("dividesign-in.jpg");
  } else {
    SetHeight(kCollapsedHeight);
    ShowLowerPart(false);
    ShowBackground("dividesign-in-hide.jpg");
  }
}

void frmConfig::ShowBackground(std::string_view pictureName) {
  const std::string path = AddinFolder() + "\\images\\" + std::string(pictureName);
  if (platform::files::FileExists(path)) SetPicture(forms::LoadPicture(path));
}

void frmConfig::Label4_Click() {
  if (state_.params.configLabel4SetsPointer) SetMousePointer(forms::kCustom);
}

}  // namespace tavo
