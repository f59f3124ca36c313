#pragma once
// What the shared core asks of the add-in that carries it: each add-in implements this over its
// Office application, and the state of the add-in points to it.
#include <string>

namespace tavo {

class AddinHost {
 public:
  virtual ~AddinHost() = default;
  // The host application's status bar; "" clears it.
  virtual void SetStatusBarText(const std::string& text) = 0;
};

}  // namespace tavo
