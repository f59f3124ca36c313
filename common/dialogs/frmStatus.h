#pragma once
// A small notification window that rises from the lower right corner of the screen, stays
// three seconds, sinks back and closes itself. Loading it starts the cycle; the timers run
// only while messages are processed (DoEvents, an operator's waits).
#include <cstdint>

#include "common/dialogs/Dialog.h"
#include "platform/forms/Timer.h"

namespace tavo {

class frmStatus : public Dialog {
 public:
  explicit frmStatus(AddinState& state);

  forms::Label Label1{*this, "Label1"};
  forms::Timer OpenTimer{*this, "OpenTimer"};
  forms::Timer ShowTimer{*this, "ShowTimer"};
  forms::Timer CloseTimer{*this, "CloseTimer"};

  static constexpr int kSteps = 70;      // each way
  static constexpr float kStep = 10;     // twips per step
  static constexpr long kStepMs = 5;
  static constexpr long kShownMs = 3000;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void OpenTimer_Timer();
  void ShowTimer_Timer();
  void CloseTimer_Timer();

  std::int16_t stepsUp_ = 0;
  std::int16_t stepsDown_ = 0;
  // The top as placed, to go back to. Kept as the position itself: on a screen taller than a
  // 16-bit count of twips a narrower copy would send the window somewhere else.
  float startTop_ = 0;
};

}  // namespace tavo
