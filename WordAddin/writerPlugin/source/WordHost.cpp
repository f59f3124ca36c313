#include "WordAddin/writerPlugin/source/WordHost.h"

namespace tavo::writer {

void WordHost::SetStatusBarText(const std::string& text) {
  if (gHostApp) gHostApp->SetStatusBar(text);
}

}  // namespace tavo::writer
