#include "ExelAddin/sheetPlugin/source/ClassInit.h"

#include "common/LanguageText.h"
#include "common/Settings.h"
#include "common/commands/SharedSignIn.h"
#include "common/commands/Toolbar.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/office/Clipboard.h"

namespace tavo::sheet {
namespace {

// The tag of a control made now: the prefix word, a blank and the time as hh:nn:ss.
std::string TimeTag(std::string_view prefix) {
  return std::string(prefix) + " " + platform::FormatHhNnSs(platform::LocalTime(platform::Now()));
}

}  // namespace

ClassInit::ClassInit(AddinState& state, SheetOperations& operations) : state_(state), operations_(operations) {}

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
    const char* tooltip;  // "" for none; nullptr: the language file's text as it stands
    const char* tooltipKey;
    const char* tagPrefix;
    const char* fixedTag;  // replaces the time-stamped tag; nullptr keeps it
    bool beginGroup;
    bool enabled;
    office::ControlEvents ClassInit::*reference;
  };
  static const ControlSpec kControls[] = {
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
    BindFileMenuItem();

    toolbar_ = EmptiedToolbar(bars, kToolbarName);
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
      // The Save button's tool tip is the language file's text as it stands, in every language.
      if (!spec.tooltip) control->SetTooltipText(state_.strings[spec.tooltipKey]);
      else if (*spec.tooltip) control->SetTooltipText(text(spec.tooltip, spec.tooltipKey));
      const std::string tag = TimeTag(spec.tagPrefix);
      control->SetTag(tag);
      if (spec.fixedTag) control->SetTag(spec.fixedTag);
      if (spec.menuItem) {
        control->SetFaceId(0);
      } else {
        control->SetStyle(office::button_style::Caption);
      }
      control->SetBeginGroup(spec.beginGroup);
      control->SetEnabled(spec.enabled);
      if (spec.reference == &ClassInit::oopenlocalcmdbutton) glocaltag = tag;
    }

    office::clipboard::Clear();
    office::Ref<office::CommandBar> bar = bars.Item(kToolbarName);
    bar->SetPosition(office::bar_position::Top);
    bar->SetVisible(true);
    return true;
  } catch (const platform::RuntimeError&) {
    // Controls made so far stay: they are temporary and go when Excel closes.
    ReleaseReferences();
    return false;
  }
}

// The File menu offers the workbook list too. An item left by an earlier connection in this run
// of Excel is taken over rather than added twice.
void ClassInit::BindFileMenuItem() {
  office::Ref<office::CommandBar> file = oExcelApp->CommandBars().Item("File");
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
