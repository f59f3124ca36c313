#pragma once
// The dialogs of the local copies: the list of the account's local copies (open or delete one),
// the delete question, and the question whether to download an online document over its local
// copy. The operations they end in are the add-in's (AddinHost).
#include <string>
#include <string_view>

#include "common/dialogs/Dialog.h"
#include "platform/forms/ListBox.h"

namespace tavo {

class frmopenlocalfiles : public Dialog {
 public:
  explicit frmopenlocalfiles(AddinState& state);

  forms::Label Label6{*this, "Label6", "Local Document"};
  forms::ListBox locallist{*this, "locallist"};
  forms::Label Label1{*this, "Label1", "Doc Name"};
  forms::Label docname{*this, "docname"};
  forms::Label Label2{*this, "Label2", "Local Modified Time"};
  forms::Label modifiedversion{*this, "modifiedversion"};
  forms::Label Label3{*this, "Label3", "Modified By"};
  forms::Label modifiedby{*this, "modifiedby"};
  forms::CommandButton Command1{*this, "Command1", "Open"};
  forms::CommandButton Command3{*this, "Command3", "Delete"};
  forms::CommandButton Command2{*this, "Command2", "Cancel"};

  // True when the file cannot be opened for reading and writing for this dialog's use alone:
  // an application has it open, or it is read-only. A file that does not exist is not locked;
  // nothing is created.
  bool FileLocked(std::string_view path) const;

  // The local copy the selected entry stands for: the file the list was filled from, or, for an
  // entry without one (nothing selected), the copy its trimmed text names in the account's folder.
  std::string LocalPath() const;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_KeyPress(int& keyAscii) override;

 private:
  void locallist_Click();
  void locallist_KeyPress(int keyAscii);
  void Command1_Click();
  void locallist_DblClick();
  void Command2_Click();
  void Command3_Click();
  // Opens the selected copy and closes the dialog; with nothing selected shows `empty` instead.
  void OpenSelected(ShownText empty);
  // The spreadsheet add-in logs a run-time error of these handlers under the handler's name;
  // the word processor's go on as the platform lets them.
  void Guarded(std::string_view name, const std::function<void()>& handler);
};

class Frmfileconfirm : public Dialog {
 public:
  explicit Frmfileconfirm(AddinState& state);

  forms::Label Label1{*this, "Label1", "         Confirm Delete"};
  forms::CommandButton Command1{*this, "Command1", "Yes"};
  forms::CommandButton Command2{*this, "Command2", "No"};

 protected:
  void Design() override;
  void Form_Load() override;
};

class frmlocalversion : public Dialog {
 public:
  explicit frmlocalversion(AddinState& state);

  forms::Label Label1{*this, "Label1",
                      "A copy of this Document Exist online. Do you want to Download that file? Clicking 'Yes' "
                      "will overwrite the local copy"};
  forms::CommandButton Command1{*this, "Command1", "Yes"};
  forms::CommandButton Command2{*this, "Command2", "No"};

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Command1_Click();
  void Command2_Click();
};

}  // namespace tavo
