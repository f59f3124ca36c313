#include "platform/forms/Timer.h"

#include <algorithm>
#include <optional>

#include "platform/core/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/forms/Operator.h"
#include "platform/forms/Pump.h"
#include "platform/forms/WebBrowser.h"

namespace platform::forms {

namespace pump {
// Never destroyed: a form held until the process ends takes its controls out of them at exit.
std::vector<Timer*>& Timers() {
  static auto* timers = new std::vector<Timer*>;
  return *timers;
}
std::vector<WebBrowser*>& Browsers() {
  static auto* browsers = new std::vector<WebBrowser*>;
  return *browsers;
}
}  // namespace pump

Timer::Timer(Form& form, std::string name) : Control(form, std::move(name)) { pump::Timers().push_back(this); }

Timer::~Timer() { pump::Remove(pump::Timers(), this); }

long Timer::Interval() const { Touch(); return *interval_; }

void Timer::SetInterval(long milliseconds) {
  Touch();
  if (milliseconds < 0) platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  *interval_ = milliseconds;
  Restart();
}

bool Timer::Running() const { return Parent().IsLoaded() && EnabledNow() && *interval_ > 0; }

void Timer::Restart() { due_ = platform::Now() + Milliseconds(*interval_); }

void Timer::Fire() {
  if (firing_) return;
  firing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{firing_};
  due_ = platform::Now() + Milliseconds(*interval_);
  if (onTimer) onTimer();
}

void Timer::EnabledChanged() { Restart(); }
void Timer::FormLoaded() { Restart(); }

namespace {

std::optional<TimePoint> NextDue() {
  std::optional<TimePoint> next;
  for (Timer* t : pump::Timers())
    if (t->Running() && !t->Firing() && (!next || t->Due() < *next)) next = t->Due();
  return next;
}

}  // namespace

void DoEvents() {
  TimePoint now = platform::Now();
  std::vector<Timer*> due;
  for (Timer* t : pump::Timers())
    if (t->Running() && t->Due() <= now) due.push_back(t);
  std::stable_sort(due.begin(), due.end(), [](Timer* a, Timer* b) { return a->Due() < b->Due(); });
  for (Timer* t : due) {
    // An earlier handler may have stopped, moved or destroyed this one.
    if (pump::Contains(pump::Timers(), t) && t->Running() && t->Due() <= now) t->Fire();
  }
  std::vector<WebBrowser*> browsers = pump::Browsers();
  for (WebBrowser* b : browsers)
    if (pump::Contains(pump::Browsers(), b)) b->Pump();
  if (Operator* op = CurrentOperator()) op->Idle();
}

void Wait(Milliseconds duration) {
  const TimePoint end = platform::Now() + duration;
  while (true) {
    DoEvents();
    TimePoint now = platform::Now();
    std::optional<TimePoint> next = NextDue();
    if (!next || *next > end) {
      if (end > now) platform::Sleep(std::chrono::ceil<Milliseconds>(end - now));
      DoEvents();
      return;
    }
    if (*next > now) platform::Sleep(std::chrono::ceil<Milliseconds>(*next - now));
  }
}

}  // namespace platform::forms
