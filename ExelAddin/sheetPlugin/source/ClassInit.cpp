#include "ExelAddin/sheetPlugin/source/ClassInit.h"

#include "common/LanguageText.h"
#include "common/Settings.h"
#include "common/commands/SharedSignIn.h"
#include "common/commands/Toolbar.h"
#include "platform/core/RuntimeError.h"

namespace tavo::sheet {

ClassInit::ClassInit(AddinState& state, SheetOperations& operations) : state_(state), operations_(operations) {}

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
    const char* tooltip;  // "" for none; nullptr: the language file's text as it stands
    const char* tooltipKey;
    const char* tagPrefix;
    const char* fixedTag;  // replaces the time-stamped tag; nullptr keeps it
    bool beginGroup;
    bool enabled;
    office::ControlEvents ClassInit::*reference;
  };
  static const ControlLayout kControls[] = {
      {true, "login_cmdbar", "&Login", "gmenu1", "", "", "login", nullptr, false, true, &ClassInit::oLoginCmdBar},
      {true, "open_cmdbar", "&Open Tavo Sheet", "gmenu2", "", "", "open", nullptr, true, false,
       &ClassInit::oOpenDocCmdBar},
      {true, "add_cmdbar", "&Add to Tavo Sheet", "gmenu3", "", "", "add", nullptr, false, false,
       &ClassInit::oAddDocCmdBar},
      {true, "save_cmdbar", "&Save in Tavo Sheet", "gmenu4", "", "", "save", nullptr, false, false,
       &ClassInit::oSaveDocCmdBar},
      {true, "share_cmdbar", "&Publish in Tavo Share", "gmenu8", "", "", "publish", nullptr, false, false,
       &ClassInit::oSaveShareCmdBar},
      {true, "conf_cmdbar", "Se&ttings", "gmenu5", "", "", "conf", nullptr, true, true, &ClassInit::oConfCmdBar},
      {true, "logout_cmdbar", "Lo&gout", "gmenu6", "", "", "logout", nullptr, false, false,
       &ClassInit::oLogoutCmdBar},
      {true, "about_cmdbar", "About &Tavo Office Plugin", "gmenu7", "", "", "about", nullptr, true, true,
       &ClassInit::oAboutCmdBar},
      {false, "open_cmdbtn", " &Open ", "gsidemenu1", "Open from Tavo Sheet", "gmenutip1", "openbtn", "openbtn", true,
       false, &ClassInit::oOpenDocumentButton},
      {false, "save_cmdbtn", "&Save", "gsidemenu2", nullptr, "gmenutip2", "savebtn", "savebtn", true, false,
       &ClassInit::oSaveDocumentButton},
      {false, "add_cmdbtn", " &Add ", "gsidemenu3", "Add to Tavo Sheet", "gmenutip3", "addbtn", "addbtn", true, false,
       &ClassInit::oAddDocumentButton},
      {false, "local_cmdbtn", "Local Work&Books", "gsidemenu4", "Open LocalWorkBooks of Tavo Sheet", "gmenutip4",
       "localbtn", nullptr, true, true, &ClassInit::oopenlocalcmdbutton},
  };
  // The built-in English texts, or the language file's texts in any other language.
  auto text = [this](const char* english, const char* key) {
    return state_.gLanguageName == "english" ? std::string(english) : LanguageText(state_, key);
  };

  try {
    oExcelApp = office::RefCast<excel::Application>(oApplication);
    office::CommandBars& bars = oExcelApp->CommandBars();
    // The File menu keeps its item: it opens the workbook list too.
    oTavoOpenMenu = FileMenuItem(bars);
    const AddinToolbar toolbar = MakeToolbar(bars, kToolbarName, kMenuCaption);
    toolbar_ = toolbar.bar;
    menu_ = toolbar.menu;
    for (const ControlLayout& layout : kControls) {
      // The Save button's tool tip is the language file's text as it stands, in every language.
      const std::optional<std::string> tooltip = !layout.tooltip ? std::optional<std::string>(state_.strings[layout.tooltipKey])
                                                 : *layout.tooltip ? std::optional<std::string>(text(layout.tooltip, layout.tooltipKey))
                                                                 : std::nullopt;
      office::Ref<office::CommandBarControl> control =
          AddControl(toolbar, {layout.menuItem, layout.parameter, text(layout.caption, layout.captionKey), tooltip,
                               TimeTag(layout.tagPrefix), layout.beginGroup, layout.enabled});
      this->*layout.reference = control;
      if (layout.reference == &ClassInit::oopenlocalcmdbutton) glocaltag = control->Tag();
      if (layout.fixedTag) control->SetTag(layout.fixedTag);
    }
    ShowToolbar(bars, kToolbarName);
    return true;
  } catch (const platform::RuntimeError&) {
    // Controls made so far stay: they are temporary and go when Excel closes.
    ReleaseReferences();
    return false;
  }
}

bool ClassInit::UnIntiCmdBar() {
  oTavoOpenMenu.Release();
  ReleaseReferences();
  return true;
}

// The Open, Save and Add buttons and the File-menu item stay bound until this object goes.
void ClassInit::ReleaseReferences() {
  for (office::ControlEvents* reference : {&oAboutCmdBar, &oConfCmdBar, &oAddDocCmdBar, &oSaveDocCmdBar,
                                           &oSaveShareCmdBar, &oLoginCmdBar, &oLogoutCmdBar, &oOpenDocCmdBar,
                                           &oopenlocalcmdbutton})
    reference->Release();
  oExcelApp.Reset();
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

void ClassInit::SetCommandStates(bool signedIn, bool localWorkbooks) {
  if (oOpenDocCmdBar.IsNothing()) return;
  oLoginCmdBar->SetEnabled(!signedIn);
  for (office::ControlEvents* reference : {&oOpenDocCmdBar, &oAddDocCmdBar, &oSaveDocCmdBar, &oSaveShareCmdBar,
                                           &oLogoutCmdBar, &oOpenDocumentButton, &oSaveDocumentButton,
                                           &oAddDocumentButton})
    (*reference)->SetEnabled(signedIn);
  oopenlocalcmdbutton->SetEnabled(localWorkbooks);
}

}  // namespace tavo::sheet
