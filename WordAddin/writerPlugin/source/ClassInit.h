#pragma once
// The Word add-in's user interface in Word: a toolbar holding a drop-down menu of eight
// commands and four buttons, and an item in Word's File menu. Every control is kept in an
// event-receiving reference whose Click reaches the handler of the same name; the controls
// whose state changes also keep a time-stamped tag, by which code finds them again.
#include <string>

#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "common/AddinState.h"
#include "common/commands/AddinCommands.h"
#include "platform/office/CommandBars.h"
#include "platform/office/Events.h"
#include "platform/office/Word.h"

namespace tavo::writer {

namespace office = platform::office;

inline constexpr std::string_view kToolbarName = "Tavo Writer Word Add-In";
inline constexpr std::string_view kMenuCaption = "&Tavo Writer";

class ClassInit final : public AddinCommands {
 public:
  ClassInit(AddinState& state, WriterOperations& operations);

  // The Tag of each control that changes state (always equal to the control's Tag).
  std::string gOpenTag;       // menu item Open Document
  std::string goptag;         // toolbar button Open
  std::string glogintag;      // menu item Login
  std::string gsavetag;       // toolbar button Save
  std::string gsavebartag;    // menu item Save
  std::string gaddtag;        // toolbar button Add
  std::string gaddbartag;     // menu item Add
  std::string glogouttag;     // menu item Logout
  std::string glocaltag;      // toolbar button Local Documents
  std::string gsavesharetag;  // menu item Publish

  // Also binds Word's Quit event, after resetting Word's File menu.
  bool IntiCmdBar(const office::Ref<office::Application>& oApplication, const std::string& lProgId) override;
  // Removes the File-menu item and lets go of the controls and of Word.
  bool UnIntiCmdBar();
  // Signs this add-in out (and the account out of the service when the spreadsheet add-in is
  // not signed in) and puts the controls into the signed-out state. Always false.
  bool LogoutFromTavo();
  // The controls found again by their tags and put into the signed-out state; the ticket is
  // forgotten.
  void ShowSignedOut() override;

 private:
  // Handlers of the controls and of Word's Quit event.
  void oAboutCmdBar_Click();
  void oConfCmdBar_Click();
  void oLoginCmdBar_Click();
  void oLogoutCmdBar_Click();
  void oOpenDocumentButton_Click();
  void oOpenDocCmdBar_Click();  // as the Open button
  void oTavoOpenMenu_Click();   // as the Open button
  void oSaveDocumentButton_Click();
  void oSaveDocCmdBar_Click();  // as the Save button
  void oSaveSharecmdBar_Click();
  void oAddDocumentButton_Click();
  void oAddDocCmdBar_Click();  // as the Add button
  void oopenlocalcmdbutton_Click();
  void oWordApp_Quit();

  // Finds the ten controls that change state again by their tags and rebinds them.
  void FindControlsAgain();
  void SetCommandStates(bool signedIn, bool localDocuments) override;
  void ReleaseReferences();

  WriterOperations& operations_;

  office::Ref<office::word::Application> oWordApp;
  office::EventConnection oWordAppQuit_;

  office::ControlEvents oTavoOpenMenu{Bind(&ClassInit::oTavoOpenMenu_Click)};
  office::ControlEvents oLoginCmdBar{Bind(&ClassInit::oLoginCmdBar_Click)};
  office::ControlEvents oConfCmdBar{Bind(&ClassInit::oConfCmdBar_Click)};
  office::ControlEvents oLogoutCmdBar{Bind(&ClassInit::oLogoutCmdBar_Click)};
  office::ControlEvents oAboutCmdBar{Bind(&ClassInit::oAboutCmdBar_Click)};
  office::ControlEvents oopendoccmdbar{Bind(&ClassInit::oOpenDocCmdBar_Click)};
  office::ControlEvents oSaveDocCmdBar{Bind(&ClassInit::oSaveDocCmdBar_Click)};
  office::ControlEvents oAddDocCmdBar{Bind(&ClassInit::oAddDocCmdBar_Click)};
  office::ControlEvents oSaveSharecmdBar{Bind(&ClassInit::oSaveSharecmdBar_Click)};
  office::ControlEvents oOpenDocumentButton{Bind(&ClassInit::oOpenDocumentButton_Click)};
  office::ControlEvents oSaveDocumentButton{Bind(&ClassInit::oSaveDocumentButton_Click)};
  office::ControlEvents oAddDocumentButton{Bind(&ClassInit::oAddDocumentButton_Click)};
  office::ControlEvents oopenlocalcmdbutton{Bind(&ClassInit::oopenlocalcmdbutton_Click)};
};

}  // namespace tavo::writer
