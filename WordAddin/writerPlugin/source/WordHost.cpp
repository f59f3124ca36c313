#include "WordAddin/writerPlugin/source/WordHost.h"

#include "WordAddin/writerPlugin/source/WriterOperations.h"

namespace tavo::writer {

void WordHost::SetStatusBarText(const std::string& text) {
  if (gHostApp) gHostApp->SetStatusBar(text);
}

void WordHost::ShowSignedOut() {
  if (showSignedOut) showSignedOut();
}

void WordHost::LoadSelectedDocument() { operations->LoadSelectedDocument(); }
std::string WordHost::LocalCopyOfSelectedDocument() { return operations->LocalCopyOfSelectedDocument(); }
void WordHost::SearchDocuments(const std::string& text) { operations->SearchDocuments(text); }
void WordHost::LoadLocalDocument() { operations->loadlocaldocument(); }
void WordHost::DeleteLocalDocument() { operations->DeleteLocalDocument(); }
void WordHost::AddActiveDocument() { operations->AddActiveDocument(); }
void WordHost::OverwriteActiveDocument() { operations->OverwriteActiveDocument(); }
bool WordHost::PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                                     const std::string& licenceImage) {
  return operations->PublishActiveDocument(licenceName, licenceUrl, licenceImage);
}

}  // namespace tavo::writer
