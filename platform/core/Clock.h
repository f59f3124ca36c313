#pragma once
// One clock for the whole process: the wall-clock time that log lines, map records and tags
// carry, and the blocking sleep. Tests install a virtual clock so that waits of seconds run
// without real waiting and time stamps are fixed.
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

namespace platform {

using TimePoint = std::chrono::system_clock::time_point;
using Milliseconds = std::chrono::milliseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint Now() = 0;
  // Blocks the calling thread (no message processing: that is DoEvents' job).
  virtual void Sleep(Milliseconds duration) = 0;
  // A time limit, in this clock's time, for a wait on something outside the process (a page
  // loading): what takes real time is given the whole limit in real time.
  virtual Milliseconds LimitForOutside(Milliseconds limit) { return limit; }
};

class RealClock final : public Clock {
 public:
  TimePoint Now() override;
  void Sleep(Milliseconds duration) override;
};

// Time that moves only when someone sleeps or advances it.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(TimePoint start);
  TimePoint Now() override;
  void Sleep(Milliseconds duration) override;
  void Advance(Milliseconds duration);

 private:
  TimePoint now_;
};

// Real time running `rate` times faster from the moment it is made: a sleep takes 1/rate of
// its length, and Now moves on by rate times the real time passed. For runs of the emulated
// host that go through many waits (a loop of sign-ins); what waits for something real, such as
// a page loading, keeps its time limit in real time (LimitForOutside), so that a busy machine
// fails nothing that it would not fail on the real clock.
class FastClock final : public Clock {
 public:
  explicit FastClock(int rate);
  TimePoint Now() override;
  void Sleep(Milliseconds duration) override;
  Milliseconds LimitForOutside(Milliseconds limit) override { return limit * rate_; }

 private:
  int rate_;
  TimePoint start_;
  std::chrono::steady_clock::time_point realStart_;
};

Clock& CurrentClock();
// Installs `clock` for the process (nullptr restores the real clock). Returns the previous one.
Clock* SetCurrentClock(Clock* clock);

// RAII installation of a virtual clock for a test.
class ScopedVirtualClock {
 public:
  explicit ScopedVirtualClock(TimePoint start);
  ~ScopedVirtualClock();
  VirtualClock& clock() { return clock_; }

 private:
  VirtualClock clock_;
  Clock* previous_;
};

TimePoint Now();
void Sleep(Milliseconds duration);
Milliseconds LimitForOutside(Milliseconds limit);

// Local broken-down time of a time point (the TZ of the process).
std::tm LocalTime(TimePoint t);
// A local time given as fields, for tests and fixed time stamps.
TimePoint MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

// Time texts the add-ins write.
std::string FormatLogTimestamp(const std::tm& t);   // "2009-06-02 13:05:07"
std::string FormatLogHeaderTime(const std::tm& t);  // "Tue Jun 2009 13:05:07" (no day of month)
std::string FormatMapLocalTime(const std::tm& t);   // "Tuesday, June 02, 2009/13:05:07"
std::string FormatHhNnSs(const std::tm& t);         // "13:05:07"
std::string FormatHhMmSs(const std::tm& t);         // "130507"

}  // namespace platform
