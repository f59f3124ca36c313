#pragma once
// A window that is never shown: it only holds the web browser control with which the word
// processor loads an HTML file into an HTML document.
#include "common/dialogs/Dialog.h"
#include "platform/forms/WebBrowser.h"

namespace tavo {

class frmResource : public Dialog {
 public:
  explicit frmResource(AddinState& state) : Dialog(state, "frmResource", "frmResource") {}
  forms::WebBrowser utilsBrowser{*this, "utilsBrowser"};
};

}  // namespace tavo
