#pragma once
// The two questions that interrupt a save: add a document that is not online yet (frmConfirm),
// and overwrite a newer online version (frmLowVersion). Yes closes the question and runs the
// add-in's operation; No and Esc only close it.
#include "common/dialogs/Dialog.h"

namespace tavo {

class QuestionDialog : public Dialog {
 public:
  forms::Label Label1;
  forms::CommandButton Command1{*this, "Command1", "Yes"};
  forms::CommandButton Command2{*this, "Command2", "No"};

 protected:
  QuestionDialog(AddinState& state, std::string name, std::string question);
  void Design() override;
  void Form_KeyPress(int& keyAscii) override;
  void Form_Unload(bool& cancel) override;
  virtual void Yes() = 0;
  virtual void No() = 0;
};

class frmConfirm : public QuestionDialog {
 public:
  explicit frmConfirm(AddinState& state);

 protected:
  void Form_Load() override;
  void Yes() override;
  void No() override;
};

class frmLowVersion : public QuestionDialog {
 public:
  explicit frmLowVersion(AddinState& state);

 protected:
  void Form_Load() override;
  void Yes() override;
  void No() override;
};

}  // namespace tavo
