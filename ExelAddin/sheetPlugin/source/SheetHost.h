#pragma once
// What the shared core reaches in Excel through the add-in: the status bar of the Excel the
// add-in is connected to, and the workbook operations in which the shared dialogs end.
#include <functional>
#include <string>

#include "common/AddinHost.h"
#include "platform/office/Application.h"

namespace tavo::sheet {

class SheetOperations;

class SheetHost final : public AddinHost {
 public:
  // The Excel application, kept from the connection to the end of the disconnection.
  platform::office::Ref<platform::office::Application> gHostApp;
  // Where the dialogs' operations go; set once by the add-in.
  SheetOperations* operations = nullptr;

  // The commands' signed-out state; set once by the add-in.
  std::function<void()> showSignedOut;

  // Nothing happens while no Excel is connected.
  void SetStatusBarText(const std::string& text) override;
  // The service's answers arrive mis-decoded (CodePageText.h): list texts are decoded again.
  std::string ShownListText(const std::string& text) override;
  void ShowSignedOut() override;

  void LoadSelectedDocument() override;
  void SearchDocuments(const std::string& text) override;
  void LoadLocalDocument() override;
  void DeleteLocalDocument() override;
  void AddActiveDocument() override;
  void OverwriteActiveDocument() override;
  // The publish flow tells the user how it went, so the picker has nothing to add.
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage) override;
};

}  // namespace tavo::sheet
