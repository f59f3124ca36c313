#include "WordAddin/writerPlugin/source/ClassInit.h"

#include "common/commands/Toolbar.h"
#include "platform/core/RuntimeError.h"

namespace tavo::writer {

ClassInit::ClassInit(AddinState& state, WriterOperations& operations)
    : AddinCommands(state), operations_(operations) {}

bool ClassInit::IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string&) {
  // One row per control, in the order they are made.
  static const ControlRow<ClassInit> kControls[] = {
      {{true, "login_cmdbar", "&Login", "gmenu1", "", "", "login", nullptr, false, true, true},
       &ClassInit::oLoginCmdBar, &ClassInit::glogintag},
      {{true, "open_cmdbar", "&Open Document", "gmenu2", "", "", "open", nullptr, true, false, false},
       &ClassInit::oopendoccmdbar, &ClassInit::gOpenTag},
      {{true, "add_cmdbar", "&Add to Tavo Writer", "gmenu3", "", "", "add", nullptr, false, false, false},
       &ClassInit::oAddDocCmdBar, &ClassInit::gaddbartag},
      {{true, "save_cmdbar", "&Save in Tavo Writer", "gmenu4", "", "", "save", nullptr, false, false, false},
       &ClassInit::oSaveDocCmdBar, &ClassInit::gsavebartag},
      {{true, "share_cmdbar", "&Publish in Tavo Share", "gmenu8", "", "", "share", nullptr, false, false, false},
       &ClassInit::oSaveSharecmdBar, &ClassInit::gsavesharetag},
      {{true, "conf_cmdbar", "Se&ttings", "gmenu5", "", "", "conf", nullptr, true, true, false},
       &ClassInit::oConfCmdBar, nullptr},
      {{true, "logout_cmdbar", "Lo&gout", "gmenu6", "", "", "logout", nullptr, false, false, true},
       &ClassInit::oLogoutCmdBar, &ClassInit::glogouttag},
      {{true, "about_cmdbar", "About &Tavo Office Plugin", "gmenu7", "", "", "about", nullptr, true, true, false},
       &ClassInit::oAboutCmdBar, nullptr},
      {{false, "open_cmdbtn", " &Open ", "gsidemenu1", "Open from Tavo Writer", "gmenutip1", "openbtn", nullptr, true,
        false, false},
       &ClassInit::oOpenDocumentButton, &ClassInit::goptag},
      {{false, "save_cmdbtn", " &Save ", "gsidemenu2", "Save in Tavo Writer", "gmenutip2", "savebtn", nullptr, true,
        false, false},
       &ClassInit::oSaveDocumentButton, &ClassInit::gsavetag},
      {{false, "add_cmdbtn", " &Add ", "gsidemenu3", "Add to Tavo Writer", "gmenutip3", "addbtn", nullptr, true, false,
        false},
       &ClassInit::oAddDocumentButton, &ClassInit::gaddtag},
      {{false, "local_cmdbtn", "Local &Documents", "gsidemenu4", "Open LocalDocuments of Tavo Writer", "gmenutip4",
        "localbtn", nullptr, true, true, false},
       &ClassInit::oopenlocalcmdbutton, &ClassInit::glocaltag},
  };

  try {
    oWordApp = office::RefCast<office::word::Application>(oApplication);
    oWordAppQuit_ = oWordApp->ConnectQuit([this] { oWordApp_Quit(); });
    office::CommandBars& bars = oWordApp->CommandBars();
    bars.Item("File")->Reset();
    BuildCommandBars<ClassInit>(bars, kToolbarName, kMenuCaption, oTavoOpenMenu, kControls);
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

}  // namespace tavo::writer
