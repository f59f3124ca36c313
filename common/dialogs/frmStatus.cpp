#include "common/dialogs/frmStatus.h"

#include "common/AddinState.h"
#include "platform/forms/ScreenMetrics.h"

namespace tavo {

frmStatus::frmStatus(AddinState& state) : Dialog(state, "frmStatus", std::string(state.params.statusWindowTitle)) {
  OpenTimer.onTimer = [this] { OpenTimer_Timer(); };
  ShowTimer.onTimer = [this] { ShowTimer_Timer(); };
  CloseTimer.onTimer = [this] { CloseTimer_Timer(); };
}

void frmStatus::Design() {
  SetWidth(3975), SetHeight(1300);
  for (forms::Timer* timer : {&OpenTimer, &ShowTimer, &CloseTimer}) timer->SetEnabled(false);
}

void frmStatus::Form_Load() {
  SetLeft(forms::Screen::Width() - 3975);
  SetTop(forms::Screen::Height() - 600);
  stepsUp_ = 0;
  stepsDown_ = 0;
  startTop_ = Top();
  OpenTimer.SetInterval(kStepMs);
  OpenTimer.SetEnabled(true);
}

void frmStatus::OpenTimer_Timer() {
  ++stepsUp_;
  SetTop(Top() - kStep);
  if (stepsUp_ == kSteps) {
    OpenTimer.SetEnabled(false);
    ShowTimer.SetInterval(kShownMs);
    ShowTimer.SetEnabled(true);
  }
}

void frmStatus::ShowTimer_Timer() {
  ShowTimer.SetEnabled(false);
  CloseTimer.SetInterval(kStepMs);
  CloseTimer.SetEnabled(true);
}

void frmStatus::CloseTimer_Timer() {
  ++stepsDown_;
  SetTop(Top() + kStep);
  if (stepsDown_ == kSteps) {
    CloseTimer.SetEnabled(false);
    Unload();
  }
}

void frmStatus::Form_Unload(bool&) {
  SetTop(startTop_);
  stepsUp_ = 0;
  stepsDown_ = 0;
  for (forms::Timer* timer : {&OpenTimer, &CloseTimer, &ShowTimer}) timer->SetEnabled(false);
  Label1.SetCaption("");
}

}  // namespace tavo
