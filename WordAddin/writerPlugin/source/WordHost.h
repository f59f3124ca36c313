#pragma once
// What the shared core reaches in Word through the add-in: the status bar of the Word the
// add-in is connected to, and the document operations in which the shared dialogs end.
#include <functional>
#include <string>

#include "common/AddinHost.h"
#include "platform/office/Application.h"

namespace tavo::writer {

class WriterOperations;

class WordHost final : public AddinHost {
 public:
  // The Word application, kept from the connection to the disconnection.
  platform::office::Ref<platform::office::Application> gHostApp;
  // Where the dialogs' operations go; set once by the add-in.
  WriterOperations* operations = nullptr;

  // The commands' signed-out state; set once by the add-in.
  std::function<void()> showSignedOut;

  // Nothing happens while no Word is connected.
  void SetStatusBarText(const std::string& text) override;
  void ShowSignedOut() override;

  void LoadSelectedDocument() override;
  std::string LocalCopyOfSelectedDocument() override;
  void SearchDocuments(const std::string& text) override;
  void LoadLocalDocument() override;
  void DeleteLocalDocument() override;
  void AddActiveDocument() override;
  void OverwriteActiveDocument() override;
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage) override;
};

}  // namespace tavo::writer
