#include "WordAddin/writerPlugin/source/ClassInit.h"

#include "common/LanguageText.h"
#include "common/Settings.h"
#include "common/commands/SharedSignIn.h"
#include "common/commands/Toolbar.h"
#include "common/commands/UserFolders.h"
#include "platform/core/RuntimeError.h"

namespace tavo::writer {

ClassInit::ClassInit(AddinState& state, WriterOperations& operations) : state_(state), operations_(operations) {}

office::ClickHandler ClassInit::Bind(Handler handler) {
  return [this, handler](const office::Ref<office::CommandBarControl>&, bool&) { (this->*handler)(); };
}

bool ClassInit::IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string&) {
  // One row per control, in the order they are made.
  struct ControlLayout {
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
  static const ControlLayout kControls[] = {
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
    oTavoOpenMenu = FileMenuItem(bars);
    const AddinToolbar toolbar = MakeToolbar(bars, kToolbarName, kMenuCaption);
    toolbar_ = toolbar.bar;
    menu_ = toolbar.menu;
    for (const ControlLayout& layout : kControls) {
      const std::optional<std::string> tooltip =
          *layout.tooltip ? std::optional<std::string>(text(layout.tooltip, layout.tooltipKey)) : std::nullopt;
      office::Ref<office::CommandBarControl> control =
          AddControl(toolbar, {layout.menuItem, layout.parameter, text(layout.caption, layout.captionKey), tooltip,
                               TimeTag(layout.tagPrefix), layout.beginGroup, layout.enabled,
                               /*parameterTagFirst=*/layout.reference == &ClassInit::oLoginCmdBar ||
                                   layout.reference == &ClassInit::oLogoutCmdBar});
      this->*layout.reference = control;
      if (layout.tag) this->*layout.tag = control->Tag();
    }
    ShowToolbar(bars, kToolbarName);
    return true;
  } catch (const platform::RuntimeError&) {
    // Controls made so far stay: they are temporary and go when Word closes.
    ReleaseReferences();
    return false;
  }
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
    AdoptOtherSignIn(state_, [this] { SetCommandStates(true, state_.gSaveLocalFlag == "1"); });
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

void ClassInit::SetUserFolders() {
  osdocusernamepath(state_);
  oslogusernamepath(state_);
}

}  // namespace tavo::writer
