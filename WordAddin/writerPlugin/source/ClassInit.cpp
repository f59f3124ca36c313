#include "WordAddin/writerPlugin/source/ClassInit.h"

#include "common/RegistryStrings.h"
#include "common/LanguageText.h"
#include "common/Settings.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/office/Clipboard.h"

namespace tavo::writer {
namespace {

using platform::text::Trim;

// The tag of a control made now: the prefix word, a blank and the time as hh:nn:ss. Controls
// made in the same second differ by their prefixes.
std::string TimeTag(std::string_view prefix) {
  return std::string(prefix) + " " + platform::FormatHhNnSs(platform::LocalTime(platform::Now()));
}

// The toolbar of an earlier connection in this run of Word (the add-in was unloaded and loaded
// again): it stays until Word closes, so it is emptied and built again rather than added twice,
// which Word refuses.
office::Ref<office::CommandBar> ReusedToolbar(office::CommandBars& bars) {
  for (int i = 1; i <= bars.Count(); ++i) {
    office::Ref<office::CommandBar> bar = bars.Item(i);
    if (office::CaptionKey(bar->Name()) != office::CaptionKey(kToolbarName)) continue;
    while (bar->Controls().Count() > 0) bar->Controls().Item(1)->Delete();
    return bar;
  }
  return nullptr;
}

}  // namespace

ClassInit::ClassInit(AddinState& state, WriterOperations& operations) : state_(state), operations_(operations) {}

office::ClickHandler ClassInit::Bind(Handler handler) {
  return [this, handler](const office::Ref<office::CommandBarControl>&, bool&) { (this->*handler)(); };
}

bool ClassInit::IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string&) {
  // One row per control, in the order they are made.
  struct ControlSpec {
    bool menuItem;  // on the drop-down menu (no icon); else a toolbar button showing its caption
    const char* parameter;
    const char* caption;
    const char* captionKey;
    const char* tooltip;  // "" for none
    const char* tooltipKey;
    const char* tagPrefix;
    bool beginGroup;
    bool enabled;
    office::ControlEvents ClassInit::*reference;
    std::string ClassInit::*tag;  // null: the tag is not kept
  };
  static const ControlSpec kControls[] = {
      {true, "login_cmdbar", "&Login", "gmenu1", "", "", "login", false, true, &ClassInit::oLoginCmdBar,
       &ClassInit::glogintag},
      {true, "open_cmdbar", "&Open Document", "gmenu2", "", "", "open", true, false, &ClassInit::oopendoccmdbar,
       &ClassInit::gOpenTag},
      {true, "add_cmdbar", "&Add to Tavo Writer", "gmenu3", "", "", "add", false, false, &ClassInit::oAddDocCmdBar,
       &ClassInit::gaddbartag},
      {true, "save_cmdbar", "&Save in Tavo Writer", "gmenu4", "", "", "save", false, false,
       &ClassInit::oSaveDocCmdBar, &ClassInit::gsavebartag},
      {true, "share_cmdbar", "&Publish in Tavo Share", "gmenu8", "", "", "share", false, false,
       &ClassInit::oSaveSharecmdBar, &ClassInit::gsavesharetag},
      {true, "conf_cmdbar", "Se&ttings", "gmenu5", "", "", "conf", true, true, &ClassInit::oConfCmdBar, nullptr},
      {true, "logout_cmdbar", "Lo&gout", "gmenu6", "", "", "logout", false, false, &ClassInit::oLogoutCmdBar,
       &ClassInit::glogouttag},
      {true, "about_cmdbar", "About &Tavo Office Plugin", "gmenu7", "", "", "about", true, true,
       &ClassInit::oAboutCmdBar, nullptr},
      {false, "open_cmdbtn", " &Open ", "gsidemenu1", "Open from Tavo Writer", "gmenutip1", "openbtn", true, false,
       &ClassInit::oOpenDocumentButton, &ClassInit::goptag},
      {false, "save_cmdbtn", " &Save ", "gsidemenu2", "Save in Tavo Writer", "gmenutip2", "savebtn", true, false,
       &ClassInit::oSaveDocumentButton, &ClassInit::gsavetag},
      {false, "add_cmdbtn", " &Add ", "gsidemenu3", "Add to Tavo Writer", "gmenutip3", "addbtn", true, false,
       &ClassInit::oAddDocumentButton, &ClassInit::gaddtag},
      {false, "local_cmdbtn", "Local &Documents", "gsidemenu4", "Open LocalDocuments of Tavo Writer", "gmenutip4",
       "localbtn", true, true, &ClassInit::oopenlocalcmdbutton, &ClassInit::glocaltag},
  };
  // The built-in English texts, or the language file's texts in any other language.
  auto text = [this](const char* english, const char* key) {
    return state_.gLanguageName == "english" ? std::string(english) : LanguageText(state_, key);
  };

  try {
    oWordApp = office::RefCast<office::word::Application>(oApplication);
    oWordAppQuit_ = oWordApp->ConnectQuit([this] { oWordApp_Quit(); });
    office::CommandBars& bars = oWordApp->CommandBars();
    bars.Item("File")->Reset();
    BindFileMenuItem();

    toolbar_ = ReusedToolbar(bars);
    if (!toolbar_) toolbar_ = bars.Add({.name = std::string(kToolbarName), .temporary = true});
    menu_ = toolbar_->Controls().Add({.type = office::control_type::Popup, .temporary = true});
    menu_->SetCaption(kMenuCaption);
    menu_->SetTag(TimeTag("menu"));

    for (const ControlSpec& spec : kControls) {
      office::CommandBarControls& parent = spec.menuItem ? menu_->Controls() : toolbar_->Controls();
      office::Ref<office::CommandBarControl> control =
          parent.Add({.type = office::control_type::Button, .parameter = spec.parameter, .temporary = true});
      this->*spec.reference = control;
      control->SetCaption(text(spec.caption, spec.captionKey));
      if (*spec.tooltip) control->SetTooltipText(text(spec.tooltip, spec.tooltipKey));
      const std::string tag = TimeTag(spec.tagPrefix);
      control->SetTag(tag);
      if (spec.tag) this->*spec.tag = tag;
      if (spec.menuItem) control->SetFaceId(0);
      else control->SetStyle(office::button_style::Caption);
      control->SetBeginGroup(spec.beginGroup);
      control->SetEnabled(spec.enabled);
    }

    office::clipboard::Clear();
    office::Ref<office::CommandBar> bar = bars.Item(kToolbarName);
    bar->SetPosition(office::bar_position::Top);
    bar->SetVisible(true);
    return true;
  } catch (const platform::RuntimeError&) {
    // Controls made so far stay: they are temporary and go when Word closes.
    ReleaseReferences();
    return false;
  }
}

void ClassInit::BindFileMenuItem() {
  office::Ref<office::CommandBar> file = oWordApp->CommandBars().Item("File");
  office::Ref<office::CommandBarControl> item =
      file->FindControl({.type = office::control_type::Button, .tag = std::string(kFileMenuTag)});
  if (!item) {
    item = file->Controls().Add({.type = office::control_type::Button, .before = 3, .temporary = true});
    item->SetStyle(office::button_style::IconAndCaption);
    item->SetCaption(kFileMenuCaption);
    item->SetTag(kFileMenuTag);
    item->SetVisible(true);
  }
  oTavoOpenMenu = item;
}

bool ClassInit::UnIntiCmdBar() {
  if (oWordApp) {
    office::Ref<office::CommandBar> file = oWordApp->CommandBars().Item("File");
    if (auto item = file->FindControl({.tag = std::string(kFileMenuTag)})) item->Delete();
  }
  // The Open, Save and Add buttons stay bound until this object goes.
  ReleaseReferences();
  return true;
}

void ClassInit::ReleaseReferences() {
  for (office::ControlEvents* reference : {&oTavoOpenMenu, &oAboutCmdBar, &oConfCmdBar, &oAddDocCmdBar,
                                           &oSaveDocCmdBar, &oSaveSharecmdBar, &oLoginCmdBar, &oLogoutCmdBar,
                                           &oopendoccmdbar, &oopenlocalcmdbutton})
    reference->Release();
  oWordAppQuit_.Disconnect();
  oWordApp.Reset();
}

bool ClassInit::RefreshCmdBar() {
  try {
    LoadServerSettings(state_);
    if (Shared(state_.params.otherStatusValue) != "1") return true;

    // The spreadsheet add-in is signed in: take over its sign-in.
    const std::string user = Shared("tavousername");
    const std::string password = Shared("tavopassword");
    state_.gTicket = Shared("tavoticketid");
    if (!Trim(user).empty()) state_.gLoginUser = DecodeStoredSecret(user);
    if (!Trim(password).empty()) state_.gLoginPassword = DecodeStoredSecret(password);
    SetCommandStates(true, state_.gSaveLocalFlag == "1");
    InitUserFiles(state_, state_.gLoginUser);
    SetShared(state_.params.ownStatusValue, "1");
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void ClassInit::FindControlsAgain() {
  const struct {
    std::string ClassInit::*tag;
    office::ControlEvents ClassInit::*reference;
  } kOrder[] = {
      {&ClassInit::gOpenTag, &ClassInit::oopendoccmdbar},
      {&ClassInit::glogintag, &ClassInit::oLoginCmdBar},
      {&ClassInit::gaddbartag, &ClassInit::oAddDocCmdBar},
      {&ClassInit::gsavebartag, &ClassInit::oSaveDocCmdBar},
      {&ClassInit::gsavesharetag, &ClassInit::oSaveSharecmdBar},
      {&ClassInit::glogouttag, &ClassInit::oLogoutCmdBar},
      {&ClassInit::gaddtag, &ClassInit::oAddDocumentButton},
      {&ClassInit::gsavetag, &ClassInit::oSaveDocumentButton},
      {&ClassInit::goptag, &ClassInit::oOpenDocumentButton},
      {&ClassInit::glocaltag, &ClassInit::oopenlocalcmdbutton},
  };
  office::CommandBars& bars = oWordApp->CommandBars();
  for (const auto& entry : kOrder) {
    const std::string& tag = this->*entry.tag;
    // A tag never given (the bars were not built) finds nothing rather than any untagged control.
    this->*entry.reference = tag.empty() ? office::Ref<office::CommandBarControl>() : bars.FindControl({.tag = tag});
  }
}

void ClassInit::SetCommandStates(bool signedIn, bool localDocuments) {
  oLoginCmdBar->SetEnabled(!signedIn);
  for (office::ControlEvents* reference : {&oopendoccmdbar, &oSaveDocCmdBar, &oSaveSharecmdBar, &oAddDocCmdBar,
                                           &oLogoutCmdBar, &oAddDocumentButton, &oSaveDocumentButton,
                                           &oOpenDocumentButton})
    (*reference)->SetEnabled(signedIn);
  oopenlocalcmdbutton->SetEnabled(localDocuments);
}

std::string ClassInit::Shared(std::string_view name) {
  return GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name);
}

void ClassInit::SetShared(std::string_view name, std::string_view value) {
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name, value);
}

void ClassInit::SetUserFolders() {
  operations_.osdocusernamepath();
  operations_.oslogusernamepath();
}

}  // namespace tavo::writer
