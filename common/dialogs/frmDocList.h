#pragma once
// The list of the account's online documents (workbooks), from which the user picks one to
// open. The add-in's list operation fills `listdoc` (entry i stands for entry i of the list
// answer kept in gDocListRoot) and shows the dialog modally; every change of the search box
// asks the add-in to filter the list. The two add-ins' details differ, and so do their labels:
// each add-in shows only its own.
#include "common/dialogs/Dialog.h"
#include "platform/forms/ListBox.h"

namespace tavo {

class frmDocList : public Dialog {
 public:
  explicit frmDocList(AddinState& state);

  forms::ListBox listdoc{*this, "listdoc"};
  forms::TextBox searchtxt{*this, "searchtxt"};
  // Word processor details.
  forms::Label Label9{*this, "Label9", "Author Name"};
  forms::Label authorfld{*this, "authorfld"};
  forms::Label Label13{*this, "Label13", "Created on"};
  forms::Label createdonfld{*this, "createdonfld"};
  forms::Label Label12{*this, "Label12", "Version"};
  forms::Label versionfld{*this, "versionfld"};
  forms::Label Label11{*this, "Label11", "Document Url"};
  forms::Label documenturlfld{*this, "documenturlfld"};
  // Spreadsheet details.
  forms::Label Label1{*this, "Label1", "Created on"};
  forms::Label createdfld{*this, "createdfld"};
  forms::Label Label2{*this, "Label2", "Modified on"};
  forms::Label modifiedfld{*this, "modifiedfld"};
  forms::Label Label3{*this, "Label3", "Modified by"};
  forms::Label modifiedbyfld{*this, "modifiedbyfld"};
  forms::CommandButton Command1{*this, "Command1", "Open"};
  forms::CommandButton Command2{*this, "Command2", "Cancel"};

  // Opens the selected document: in the word processor, after asking whether to download it over
  // an existing local copy.
  void checkdocument();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_KeyPress(int& keyAscii) override;
  void Form_Unload(bool& cancel) override;

 private:
  void listdoc_Click();
  void ShowDocumentDetails(int index);
  void ShowWorkbookDetails(int index);
  // Enter and Space open, Esc closes.
  void ListKeys(int keyAscii);
};

}  // namespace tavo
