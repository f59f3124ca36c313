#pragma once
// What the shared core reaches in Word through the add-in: the status bar of the Word the
// add-in is connected to.
#include <string>

#include "common/AddinHost.h"
#include "platform/office/Application.h"

namespace tavo::writer {

class WordHost final : public AddinHost {
 public:
  // The Word application, kept from the connection to the disconnection.
  platform::office::Ref<platform::office::Application> gHostApp;

  // Nothing happens while no Word is connected.
  void SetStatusBarText(const std::string& text) override;
};

}  // namespace tavo::writer
