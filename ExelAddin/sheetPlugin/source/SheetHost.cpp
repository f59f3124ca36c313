#include "ExelAddin/sheetPlugin/source/SheetHost.h"

#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"

namespace tavo::sheet {

void SheetHost::SetStatusBarText(const std::string& text) {
  if (gHostApp) gHostApp->SetStatusBar(text);
}

std::string SheetHost::ShownListText(const std::string& text) { return Utf8ToUnicode(text); }
void SheetHost::ShowSignedOut() {
  if (showSignedOut) showSignedOut();
}

void SheetHost::LoadSelectedDocument() { operations->LoadSelectedWorkbook(); }
void SheetHost::SearchDocuments(const std::string& text) { operations->SearchWorkbooks(text); }
void SheetHost::LoadLocalDocument() { operations->loadlocaldocument(); }
void SheetHost::DeleteLocalDocument() { operations->DeleteLocalWorkbook(); }
void SheetHost::AddActiveDocument() { operations->AddWorkbookToTavo(); }
void SheetHost::OverwriteActiveDocument() { operations->UpdateInSheet(/*overwrite=*/true); }
bool SheetHost::PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                                      const std::string& licenceImage) {
  // A publish that failed without a run-time error has told the user itself; a run-time error
  // goes on to the picker.
  operations->PublishWorkbookToTavo({licenceName, licenceUrl, licenceImage});
  return true;
}

}  // namespace tavo::sheet
