#pragma once
// Excel's alerts switched off while the add-in saves a workbook over a file without Excel asking,
// and back to what they were afterwards, also when the save fails: alerts left off would let
// Excel close a modified workbook later without asking.
#include "platform/office/Excel.h"

namespace tavo::sheet {

class AlertsOff {
 public:
  explicit AlertsOff(platform::office::excel::Application& app) : app_(app), before_(app.DisplayAlerts()) {
    app_.SetDisplayAlerts(false);
  }
  ~AlertsOff() { app_.SetDisplayAlerts(before_); }
  AlertsOff(const AlertsOff&) = delete;
  AlertsOff& operator=(const AlertsOff&) = delete;

 private:
  platform::office::excel::Application& app_;
  bool before_;
};

}  // namespace tavo::sheet
