#pragma once
// A timer control and the one message pump of the process.
//
// A timer with a non-zero Interval that is Enabled on a loaded form fires its onTimer event
// every Interval milliseconds of the platform clock (platform/core/Clock.h), but only when
// messages are processed: from DoEvents, and from the waits of a modal form's operator. Setting
// Interval or Enabled starts the interval again. Sleep (platform::Sleep) processes nothing.
#include <functional>
#include <string>

#include "platform/core/Clock.h"
#include "platform/forms/Control.h"

namespace platform::forms {

class Timer final : public Control {
 public:
  Timer(Form& form, std::string name);
  ~Timer() override;
  std::string_view Kind() const override { return "Timer"; }

  long Interval() const;
  // RuntimeError 380 when negative.
  void SetInterval(long milliseconds);

  std::function<void()> onTimer;

  // For the pump: whether the timer runs now, and when it is next due.
  bool Running() const;
  TimePoint Due() const { return due_; }
  bool Firing() const { return firing_; }

 protected:
  void EnabledChanged() override;
  void FormLoaded() override;

 private:
  friend void DoEvents();
  void Restart();
  void Fire();
  Designed<long> interval_{*this, 0};
  TimePoint due_{};
  bool firing_ = false;
};

// Processes what is pending: fires every running timer that is due now (each at most once, in
// order of due time) and lets web browsers finish loads that have arrived.
void DoEvents();

// The user waits for `duration`: the platform clock moves on (for real with the real clock,
// at once with a virtual one), and every timer fires as it falls due in between, in order.
// With a virtual clock a 5 ms timer thus fires 70 times in a wait of 350 ms.
void Wait(Milliseconds duration);

}  // namespace platform::forms
