#include "ExelAddin/sheetPlugin/source/ClassInit.h"

#include "common/commands/Toolbar.h"
#include "platform/core/RuntimeError.h"

namespace tavo::sheet {

ClassInit::ClassInit(AddinState& state, SheetOperations& operations)
    : AddinCommands(state), operations_(operations) {}

bool ClassInit::IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string&) {
  // One row per control, in the order they are made. Of the tags only the Local WorkBooks
  // button's is kept; the Save button's tool tip is the language file's text in every language.
  static const ControlRow<ClassInit> kControls[] = {
      {{true, "login_cmdbar", "&Login", "gmenu1", "", "", "login", nullptr, false, true, false},
       &ClassInit::oLoginCmdBar, nullptr},
      {{true, "open_cmdbar", "&Open Tavo Sheet", "gmenu2", "", "", "open", nullptr, true, false, false},
       &ClassInit::oOpenDocCmdBar, nullptr},
      {{true, "add_cmdbar", "&Add to Tavo Sheet", "gmenu3", "", "", "add", nullptr, false, false, false},
       &ClassInit::oAddDocCmdBar, nullptr},
      {{true, "save_cmdbar", "&Save in Tavo Sheet", "gmenu4", "", "", "save", nullptr, false, false, false},
       &ClassInit::oSaveDocCmdBar, nullptr},
      {{true, "share_cmdbar", "&Publish in Tavo Share", "gmenu8", "", "", "publish", nullptr, false, false, false},
       &ClassInit::oSaveShareCmdBar, nullptr},
      {{true, "conf_cmdbar", "Se&ttings", "gmenu5", "", "", "conf", nullptr, true, true, false},
       &ClassInit::oConfCmdBar, nullptr},
      {{true, "logout_cmdbar", "Lo&gout", "gmenu6", "", "", "logout", nullptr, false, false, false},
       &ClassInit::oLogoutCmdBar, nullptr},
      {{true, "about_cmdbar", "About &Tavo Office Plugin", "gmenu7", "", "", "about", nullptr, true, true, false},
       &ClassInit::oAboutCmdBar, nullptr},
      {{false, "open_cmdbtn", " &Open ", "gsidemenu1", "Open from Tavo Sheet", "gmenutip1", "openbtn", "openbtn", true,
        false, false},
       &ClassInit::oOpenDocumentButton, nullptr},
      {{false, "save_cmdbtn", "&Save", "gsidemenu2", nullptr, "gmenutip2", "savebtn", "savebtn", true, false, false},
       &ClassInit::oSaveDocumentButton, nullptr},
      {{false, "add_cmdbtn", " &Add ", "gsidemenu3", "Add to Tavo Sheet", "gmenutip3", "addbtn", "addbtn", true, false,
        false},
       &ClassInit::oAddDocumentButton, nullptr},
      {{false, "local_cmdbtn", "Local Work&Books", "gsidemenu4", "Open LocalWorkBooks of Tavo Sheet", "gmenutip4",
        "localbtn", nullptr, true, true, false},
       &ClassInit::oopenlocalcmdbutton, &ClassInit::glocaltag},
  };

  try {
    oExcelApp = office::RefCast<excel::Application>(oApplication);
    // The File menu keeps its item: it opens the workbook list too.
    BuildCommandBars<ClassInit>(oExcelApp->CommandBars(), kToolbarName, kMenuCaption, oTavoOpenMenu, kControls);
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
