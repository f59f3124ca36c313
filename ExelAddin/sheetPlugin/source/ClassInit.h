#pragma once
// The Excel add-in's user interface in Excel: a toolbar holding a drop-down menu of eight
// commands and four buttons, and an item in Excel's File menu. Every control is kept in an
// event-receiving reference whose Click reaches the handler of the same name; later changes of
// the controls' states go through these references.
#include <string>
#include <string_view>

#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/AddinState.h"
#include "common/commands/AddinCommands.h"
#include "platform/office/CommandBars.h"
#include "platform/office/Events.h"
#include "platform/office/Excel.h"

namespace tavo::sheet {

inline constexpr std::string_view kToolbarName = "Tavo Sheet Excel Add-In";
inline constexpr std::string_view kMenuCaption = "&Tavo Sheet";

class ClassInit final : public AddinCommands {
 public:
  ClassInit(AddinState& state, SheetOperations& operations);

  // Of these tags only glocaltag is given: the Local WorkBooks button's. The controls are
  // reached through their references, never looked up by tag.
  std::string gOpenTag;
  std::string goptag;
  std::string glogintag;
  std::string gsavetag;
  std::string gsavesharetag;
  std::string gsavebartag;
  std::string gaddtag;
  std::string gaddbartag;
  std::string glogouttag;
  std::string glocaltag;

  // The File menu keeps Excel's own items, and the Open, Save and Add buttons keep fixed tags.
  bool IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string& lProgId) override;
  // Lets go of the File-menu item, the menu items and Excel; deletes no control.
  bool UnIntiCmdBar();
  // Signs this add-in out (and the account out of the service when the Word add-in is not
  // signed in) and puts the controls into the signed-out state. Always false.
  bool LogoutFromTavo();
  // The controls in their signed-out state.
  void ShowSignedOut() override;

 private:
  void oLoginCmdBar_Click();
  void oLogoutCmdBar_Click();
  void oOpenDocumentButton_Click();
  void oOpenDocCmdBar_Click();  // as the Open button
  void oTavoOpenMenu_Click();
  void oSaveDocumentButton_Click();
  void oSaveDocCmdBar_Click();  // as the Save button
  void oSaveShareCmdBar_Click();
  void oAddDocumentButton_Click();
  void oAddDocCmdBar_Click();  // as the Add button
  void oConfCmdBar_Click();
  void oAboutCmdBar_Click();
  void oopenlocalcmdbutton_Click();

  // Nothing happens before the controls are made.
  void SetCommandStates(bool signedIn, bool localWorkbooks) override;
  void ReleaseReferences();

  SheetOperations& operations_;

  office::Ref<excel::Application> oExcelApp;

  office::ControlEvents oTavoOpenMenu{Bind(&ClassInit::oTavoOpenMenu_Click)};
  office::ControlEvents oLoginCmdBar{Bind(&ClassInit::oLoginCmdBar_Click)};
  office::ControlEvents oConfCmdBar{Bind(&ClassInit::oConfCmdBar_Click)};
  office::ControlEvents oLogoutCmdBar{Bind(&ClassInit::oLogoutCmdBar_Click)};
  office::ControlEvents oAboutCmdBar{Bind(&ClassInit::oAboutCmdBar_Click)};
  office::ControlEvents oOpenDocCmdBar{Bind(&ClassInit::oOpenDocCmdBar_Click)};
  office::ControlEvents oSaveDocCmdBar{Bind(&ClassInit::oSaveDocCmdBar_Click)};
  office::ControlEvents oSaveShareCmdBar{Bind(&ClassInit::oSaveShareCmdBar_Click)};
  office::ControlEvents oAddDocCmdBar{Bind(&ClassInit::oAddDocCmdBar_Click)};
  office::ControlEvents oOpenDocumentButton{Bind(&ClassInit::oOpenDocumentButton_Click)};
  office::ControlEvents oSaveDocumentButton{Bind(&ClassInit::oSaveDocumentButton_Click)};
  office::ControlEvents oAddDocumentButton{Bind(&ClassInit::oAddDocumentButton_Click)};
  office::ControlEvents oopenlocalcmdbutton{Bind(&ClassInit::oopenlocalcmdbutton_Click)};
};

}  // namespace tavo::sheet
