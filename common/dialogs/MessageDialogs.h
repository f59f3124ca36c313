#pragma once
// The one-button dialogs: the information and error messages of the word processor, the single
// message dialog of the spreadsheet add-in, and the About box. OK, Enter or Esc on OK, and Esc
// on the dialog itself clear the status bar and close; Enter elsewhere does nothing.
// ShowMessage (common/Messages.h) fills the message label and shows the dialog modally.
#include "common/dialogs/Dialog.h"

namespace tavo {

class OkDialog : public Dialog {
 public:
  forms::CommandButton Command1{*this, "Command1", "OK"};

 protected:
  OkDialog(AddinState& state, std::string name, std::string caption);
  void Design() override;
  void Form_Load() override;
  void Form_KeyPress(int& keyAscii) override;
  // The dialog's own captions in the interface language (OK's is done already).
  virtual void TranslateTexts() {}

 private:
  void Command1_KeyPress(int& keyAscii);
};

class frmMsgInfo : public OkDialog {
 public:
  explicit frmMsgInfo(AddinState& state) : OkDialog(state, "frmMsgInfo", "Information") {}
  forms::Label Label1{*this, "Label1"};
};

class frmMsgError : public OkDialog {
 public:
  explicit frmMsgError(AddinState& state) : OkDialog(state, "frmMsgError", "Error") {}
  forms::Label Label1{*this, "Label1"};
};

// The spreadsheet add-in's message dialog, for every kind of message.
class frmMsg : public OkDialog {
 public:
  explicit frmMsg(AddinState& state) : OkDialog(state, "frmMsg", "Tavo Sheet") {}
  forms::Label msgfld{*this, "msgfld"};
};

class frmAboutUs : public OkDialog {
 public:
  explicit frmAboutUs(AddinState& state) : OkDialog(state, "frmAboutUs", "About Tavo Office Plugin") {}
  forms::Label Label1{*this, "Label1",
                      "Tavo is an online suite of web services aimed to increase the productivity of individuals and "
                      "enterprises alike. Most of Tavo's applications have full-featured free versions."};
  forms::Label Label2{*this, "Label2", "Tavo is a service of Tavo Labs, Ltd."};

 protected:
  void TranslateTexts() override;
};

}  // namespace tavo
